#include "environment/app_envr_main.h"

#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "environment/app_envr_blockmesh.h"
#include "environment/app_envr_layerreach.h"
#include "environment/app_envr_streetcover.h"
#include "environment/app_envr_fixedterrain.h"
#include "core/qr_mngr_assetmanager.h"
#include "file/qr_file_main.h"
#include "math/qr_math_round.h"
#include "math/qr_math_vector.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_frustum.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/view/qr_visx_transform.h"
#include "world/app_wrld_main.h"
#include "world/app_wrld_shadow.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {
constexpr Vector3 kUp{0.0f, 1.0f, 0.0f};
constexpr int kLastStoredVertex = APPENVRMain::kStoredVertexCount - 1;
constexpr int kLastCell = APPENVRMain::kCellCount - 1;

// Street shape code for each pattern of street neighbours, indexed by W << 3 | E << 2 | S << 1 | N
// (W = x - 1, E = x + 1, S = z - 1, N = z + 1): 1 and 2 straight along X and Z (1 also for a lone
// cell), 3 the crossing, 4..7 corners, 8..11 T pieces, 12..15 dead ends.
constexpr std::uint32_t kStreetShapes[16] = {1, 12, 13, 2, 15, 5, 7, 9, 14, 4, 6, 8, 1, 10, 11, 3};

bool isCell(int x, int z)
{
    return x >= 0 && x < APPENVRMain::kCellCount && z >= 0 && z < APPENVRMain::kCellCount;
}

// An inclusive index rectangle cut down to 0..last on both axes.
struct Span {
    int firstX, lastX, firstZ, lastZ;
};

Span limitSpan(int x0, int z0, int x1, int z1, int last)
{
    return {std::max(x0, 0), std::min(x1, last), std::max(z0, 0), std::min(z1, last)};
}

// The shading variants' files (shaders\<name>.shader): near grass indexed by needs (street 1,
// earth 2, rock 4), near concrete and far ground by street.
constexpr const char* kGrassShadings[8] = {"terrain_meadow_plain", "terrain_meadow", "terrain_norock_plain",
                                           "terrain_norock",       "terrain_noearth_plain", "terrain_noearth",
                                           "terrain_plain",        "terrain"};
constexpr const char* kConcreteShadings[2] = {"terrain_concrete_plain", "terrain_concrete"};
constexpr const char* kFarShadings[2] = {"terrain_far_plain", "terrain_far"};

bool isStoredVertex(int x, int z)
{
    return x >= 0 && x <= kLastStoredVertex && z >= 0 && z <= kLastStoredVertex;
}
} // namespace

APPENVRMain::APPENVRMain(QRObject* owner) : QRObject(owner, "Environment")
{
    for (int ax = 0; ax < kAreaCount; ++ax)
        for (int az = 0; az < kAreaCount; ++az)
            areas_[ax][az] = qrNew<APPENVRArea>(this, ax, az);
    fixedTerrain_ = qrNew<APPENVRFixedTerrain>(this);
    layerReach_ = qrNew<APPENVRLayerReach>(this);
    layerReach_->setChangeObserver([this] { markCellsChanged(0, 0, kLastCell, kLastCell); });
    streetCover_ = qrNew<APPENVRStreetCover>(this);
    streetCover_->setChangeObserver([this] { markCellsChanged(0, 0, kLastCell, kLastCell); });
}

APPENVRMain::~APPENVRMain()
{
    releaseDrawingResources();
}

void APPENVRMain::initialize()
{
    QRObject::initialize();
    loadDrawingResources();
    for (auto& column : areas_)
        for (auto& area : column)
            area->initialize();
    resetTerrain();
    updateBounds();
}

void APPENVRMain::resetTerrain()
{
    for (int x = 0; x <= kLastStoredVertex; ++x)
        for (int z = 0; z <= kLastStoredVertex; ++z)
            vertices_[x][z] = {0.0f, kUp};
    markVerticesChanged(0, 0, kLastStoredVertex, kLastStoredVertex);
}

void APPENVRMain::updateBounds()
{
    for (auto& column : areas_)
        for (auto& area : column)
            area->updateBounds();
}

void APPENVRMain::updateNormals()
{
    updateNormalsInRange(0, 0, kStoredVertexCount, kStoredVertexCount);
}

void APPENVRMain::updateNormalsInRange(int x0, int z0, int x1, int z1)
{
    const Span span = limitSpan(x0, z0, x1, z1, kLastStoredVertex);
    for (int x = span.firstX; x <= span.lastX; ++x) {
        for (int z = span.firstZ; z <= span.lastZ; ++z) {
            // The two triangles meeting at the vertex from its +X/+Z and its -X/-Z side; neighbours
            // beyond the edge repeat the edge height, so border normals stay well defined.
            const Vector3 centre = getVertexPosition(x, z);
            const Vector3 plusX = getVertexPosition(x + 1, z);
            const Vector3 plusZ = getVertexPosition(x, z + 1);
            const Vector3 minusX = getVertexPosition(x - 1, z);
            const Vector3 minusZ = getVertexPosition(x, z - 1);
            const Vector3 ahead = QRMATHVector3::cross(plusZ - centre, plusX - centre);
            const Vector3 behind = QRMATHVector3::cross(centre - minusZ, centre - minusX);
            vertices_[x][z].normal = QRMATHVector3::normalize(ahead + behind);
        }
    }
    markVerticesChanged(span.firstX, span.firstZ, span.lastX, span.lastZ);
}

void APPENVRMain::updateStreets()
{
    updateStreetsInRange(0, 0, kCellCount, kCellCount);
}

void APPENVRMain::updateStreetsInRange(int x0, int z0, int x1, int z1)
{
    const Span span = limitSpan(x0, z0, x1, z1, kLastCell);
    for (int x = span.firstX; x <= span.lastX; ++x) {
        for (int z = span.firstZ; z <= span.lastZ; ++z) {
            if (!hasStreet(x, z))
                continue;
            // Only "has a street" is asked of the neighbours, which every shape keeps, so the
            // order in which cells are shaped does not matter.
            const int pattern = (hasStreet(x - 1, z) << 3) | (hasStreet(x + 1, z) << 2) | (hasStreet(x, z - 1) << 1) |
                                static_cast<int>(hasStreet(x, z + 1));
            cells_[x][z] = (kStreetShapes[pattern] << 8) | (cells_[x][z] & kGroundTypeMask);
        }
    }
    markCellsChanged(span.firstX, span.firstZ, span.lastX, span.lastZ);
}

APPENVRAreaIndex APPENVRMain::getAreaIndex(const Vector3& position) const
{
    return {QRMATHRound::floor(position.x / kAreaSize), QRMATHRound::floor(position.z / kAreaSize)};
}

APPENVRBlockIndex APPENVRMain::getBlockIndex(const Vector3& position) const
{
    const APPENVRAreaIndex area = getAreaIndex(position);
    return {area.ax, area.az,
            QRMATHRound::floor((position.x - kAreaSize * static_cast<float>(area.ax)) / kBlockSize),
            QRMATHRound::floor((position.z - kAreaSize * static_cast<float>(area.az)) / kBlockSize)};
}

APPENVRArea* APPENVRMain::getArea(int ax, int az) const
{
    return areas_[std::clamp(ax, 0, kAreaCount - 1)][std::clamp(az, 0, kAreaCount - 1)].get();
}

APPENVRBlock* APPENVRMain::getBlock(int ax, int az, int bx, int bz) const
{
    return getArea(ax, az)->getBlock(bx, bz);
}

APPENVRBlock* APPENVRMain::getBlockAt(const Vector3& position) const
{
    const APPENVRBlockIndex index = getBlockIndex(position);
    return getBlock(index.ax, index.az, index.bx, index.bz);
}

const APPENVRVertex& APPENVRMain::getVertex(int x, int z) const
{
    return vertices_[std::clamp(x, 0, kVertexCount - 1)][std::clamp(z, 0, kVertexCount - 1)];
}

void APPENVRMain::setHeight(int x, int z, float height)
{
    if (isStoredVertex(x, z)) {
        vertices_[x][z].height = height;
        markVerticesChanged(x, z, x, z);
    }
}

void APPENVRMain::setVertex(int x, int z, const APPENVRVertex& vertex)
{
    if (isStoredVertex(x, z)) {
        vertices_[x][z] = vertex;
        markVerticesChanged(x, z, x, z);
    }
}

Vector3 APPENVRMain::getVertexPosition(int x, int z) const
{
    const float height =
        vertices_[std::clamp(x, 0, kLastStoredVertex)][std::clamp(z, 0, kLastStoredVertex)].height;
    return {kVertexSpacing * static_cast<float>(x), height, kVertexSpacing * static_cast<float>(z)};
}

float APPENVRMain::getHeight(const Vector3& position) const
{
    // The quad is clamped to the world but the fractions are not, so beyond an edge the height
    // continues the slope of the edge quad.
    const int i = std::clamp(QRMATHRound::floor(position.x / kVertexSpacing), 0, kLastStoredVertex - 1);
    const int j = std::clamp(QRMATHRound::floor(position.z / kVertexSpacing), 0, kLastStoredVertex - 1);
    const float fx = (position.x - kVertexSpacing * static_cast<float>(i)) / kVertexSpacing;
    const float fz = (position.z - kVertexSpacing * static_cast<float>(j)) / kVertexSpacing;
    const float near = (1.0f - fx) * vertices_[i][j].height + fx * vertices_[i + 1][j].height;
    const float far = (1.0f - fx) * vertices_[i][j + 1].height + fx * vertices_[i + 1][j + 1].height;
    return (1.0f - fz) * near + fz * far;
}

bool APPENVRMain::isDefaultGround(int x, int z) const
{
    return (getGroundCell(x, z) & kGroundTypeMask) == 0;
}

bool APPENVRMain::hasStreet(int x, int z) const
{
    return getGroundCell(x, z) > kGroundTypeMask;
}

std::uint32_t APPENVRMain::getGroundCell(int x, int z) const
{
    // Outside the grid is grass without street, which is what the street shapes assume there.
    return isCell(x, z) ? cells_[x][z] : 0;
}

void APPENVRMain::setGroundCell(int x, int z, std::uint32_t word)
{
    if (isCell(x, z)) {
        cells_[x][z] = word;
        markCellsChanged(x, z, x, z);
    }
}

void APPENVRMain::setGroundType(int x, int z, std::uint8_t groundType)
{
    setGroundCell(x, z, (getGroundCell(x, z) & ~kGroundTypeMask) | groundType);
}

void APPENVRMain::setStreet(int x, int z)
{
    setGroundCell(x, z, kNewStreetBits | (getGroundCell(x, z) & kGroundTypeMask));
}

void APPENVRMain::deleteStreet(int x, int z)
{
    setGroundCell(x, z, getGroundCell(x, z) & kGroundTypeMask);
}

void APPENVRMain::saveAreas()
{
    for (auto& column : areas_)
        for (auto& area : column)
            area->save();
}

void APPENVRMain::notifyAreaSaved(const APPENVRArea& area) const
{
    if (areaSaved_)
        areaSaved_(area);
}

APPWRLDEntities* APPENVRMain::getEntityList() const
{
    auto* world = dynamic_cast<APPWRLDMain*>(getOwner());
    return world ? world->getEntities() : nullptr;
}

void APPENVRMain::loadAreas()
{
    // A record may stand its entity on another area's ground: every area that is about to be
    // read is cleared first, so that reading one never takes away what another placed on it.
    auto* files = qrFile();
    for (auto& column : areas_)
        for (auto& area : column)
            if (files && files->fileExists(area->getFileName(), false))
                area->removeEntities();
    for (auto& column : areas_)
        for (auto& area : column)
            area->loadFrom(area->getFileName(), true);
}

void APPENVRMain::markVerticesChanged(int x0, int z0, int x1, int z1)
{
    // Global block g draws vertices 40g .. 40g + 40, so a vertex on a block border belongs to two.
    constexpr int kLastBlock = kAreaCount * kBlocksPerArea - 1;
    const int firstX = x0 > 0 ? (x0 - 1) / kVerticesPerBlock : 0;
    const int firstZ = z0 > 0 ? (z0 - 1) / kVerticesPerBlock : 0;
    const int lastX = std::min(x1 / kVerticesPerBlock, kLastBlock);
    const int lastZ = std::min(z1 / kVerticesPerBlock, kLastBlock);
    for (int gx = firstX; gx <= lastX; ++gx)
        for (int gz = firstZ; gz <= lastZ; ++gz)
            getBlock(gx / kBlocksPerArea, gz / kBlocksPerArea, gx % kBlocksPerArea, gz % kBlocksPerArea)
                ->markGeometryChanged();
}

void APPENVRMain::markCellsChanged(int x0, int z0, int x1, int z1)
{
    for (int gx = x0 / kCellsPerBlock; gx <= x1 / kCellsPerBlock; ++gx)
        for (int gz = z0 / kCellsPerBlock; gz <= z1 / kCellsPerBlock; ++gz)
            getBlock(gx / kBlocksPerArea, gz / kBlocksPerArea, gx % kBlocksPerArea, gz % kBlocksPerArea)
                ->markGeometryChanged();
}

void APPENVRMain::loadDrawingResources()
{
    // Without a visual module (terrain tools, rule tests) nothing can be drawn, and nothing is
    // loaded that would then only be reported missing.
    auto* assets = qrAssets();
    if (!qrVisual() || !assets)
        return;
    releaseDrawingResources();
    shader_ = assets->acquire<QRVISXShaderConfiguration>("shaders\\terrain.shader");
    // The far shading reads the layers' average colours in its vertex shader, which a driver
    // without texture units for vertex shaders cannot do.
    GLint vertexUnits = 0;
    qrGL().getIntegerv(GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS, &vertexUnits);
    farShadingSupported_ = vertexUnits >= kFarShadingVertexUnits;
    for (std::size_t i = 0; i < terrainTextures_.size(); ++i)
        terrainTextures_[i] =
            assets->acquire<QRVISXTexture2>("textures\\terrain\\terrain" + std::to_string(i) + ".jpg");
    modulation_ = assets->acquire<QRVISXTexture2>(kModulationFile);
    streets_ = assets->acquire<QRVISXTexture2>(kStreetsFile);
    // What each cell's shading must read is known before any block groups its cells by it.
    if (isDrawnWithShader()) {
        layerReach_->loadFromFile(kModulationFile);
        if (farShadingSupported_)
            streetCover_->loadFromFile(kStreetsFile);
    } else {
        fixedTerrain_->prepare();
    }
}

void APPENVRMain::loadShadingVariants()
{
    // The terrain shader alone draws everything right; the cheaper variants (a dozen programs for
    // a software renderer to compile) come with the second frame, so the first is not kept waiting.
    auto* assets = qrAssets();
    shadingVariantsLoaded_ = true;
    if (!assets || !isDrawnWithShader())
        return;
    auto acquire = [assets](const char* name) {
        return assets->acquire<QRVISXShaderConfiguration>("shaders\\" + std::string(name) + ".shader");
    };
    for (std::size_t i = 0; i < grassShadings_.size(); ++i)
        grassShadings_[i] = acquire(kGrassShadings[i]);
    for (std::size_t i = 0; i < concreteShadings_.size(); ++i) {
        concreteShadings_[i] = acquire(kConcreteShadings[i]);
        farShadings_[i] = acquire(kFarShadings[i]);
    }
    streetTileShading_ = acquire("terrain_streettile");
}

void APPENVRMain::releaseDrawingResources()
{
    auto* assets = qrAssets();
    if (!assets)
        return;
    assets->release(shader_);
    for (auto& shading : grassShadings_)
        assets->release(shading);
    for (auto& shading : concreteShadings_)
        assets->release(shading);
    for (auto& shading : farShadings_)
        assets->release(shading);
    assets->release(streetTileShading_);
    shadingVariantsLoaded_ = false;
    framesDrawn_ = 0;
    for (auto*& texture : terrainTextures_)
        assets->release(texture);
    assets->release(modulation_);
    assets->release(streets_);
}

bool APPENVRMain::isDrawnWithShader() const
{
    return shader_ && shader_->isValid();
}

QRVISXShaderConfiguration* APPENVRMain::getShading(bool concrete, bool far, unsigned needs) const
{
    auto usable = [](QRVISXShaderConfiguration* shading) { return shading && shading->isValid(); };
    const bool tileOnly = (needs & APPENVRLayerReach::kStreetTileOnly) != 0;
    const std::size_t street = tileOnly || (needs & APPENVRLayerReach::kStreet) != 0 ? 1 : 0;
    if (far && farShadingSupported_ && usable(farShadings_[street]))
        return farShadings_[street];
    // Quads under an opaque tile say nothing about their cell's layers: without their own
    // program only the terrain shader shades them right.
    if (tileOnly)
        return usable(streetTileShading_) ? streetTileShading_ : shader_;
    QRVISXShaderConfiguration* near =
        concrete ? concreteShadings_[street] : grassShadings_[needs & APPENVRLayerReach::kEverything];
    return usable(near) ? near : shader_;
}

unsigned APPENVRMain::getCellNeeds(int cx, int cz) const
{
    unsigned needs = APPENVRBlockMesh::streetCode(getGroundCell(cx, cz)) > 0.0f ? APPENVRLayerReach::kStreet : 0u;
    if (!isDefaultGround(cx, cz))
        return needs;
    // Steepness is interpolated between the vertices, so the cell's steepest vertex bounds it.
    float steepest = 0.0f;
    for (int x = cx * kVerticesPerCell; x <= (cx + 1) * kVerticesPerCell; ++x) {
        for (int z = cz * kVerticesPerCell; z <= (cz + 1) * kVerticesPerCell; ++z) {
            const Vector3 normal = getVertex(x, z).normal;
            const float length = std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
            if (length > 0.0f)
                steepest = std::max(steepest, 1.0f - normal.y / length);
        }
    }
    return needs | layerReach_->layersOfCell(cx, cz, steepest);
}

std::uint16_t APPENVRMain::getStreetTileQuads(int cx, int cz) const
{
    if (!isDrawnWithShader() || !farShadingSupported_)
        return 0;
    return streetCover_->getCoveredQuads(static_cast<int>(APPENVRBlockMesh::streetCode(getGroundCell(cx, cz))));
}

QRVISXTexture2* APPENVRMain::getTerrainTexture(int index) const
{
    if (index < 0 || index >= static_cast<int>(terrainTextures_.size()))
        return nullptr;
    return terrainTextures_[static_cast<std::size_t>(index)];
}

QRVISXTexture2* APPENVRMain::getShadowMapTexture() const
{
    return shadow_ ? shadow_->getShadowMapTexture() : nullptr;
}

void APPENVRMain::render()
{
    renderAreas(false);
}

void APPENVRMain::renderEditor()
{
    renderAreas(true);
}

void APPENVRMain::renderAreas(bool editor)
{
    auto* visual = qrVisual();
    if (!visual)
        return;
    if (!shadingVariantsLoaded_ && framesDrawn_++ > 0)
        loadShadingVariants();
    QRVISXTransformWorld& world = *visual->getTransform()->getWorld();
    world.reset();
    world.apply();
    const QRVISXFrustum& frustum = *visual->getCameraManager()->getFrustum();
    // Nearest blocks first: a software renderer then skips the shading of every ground pixel a
    // nearer hill already covers, which in the order of the areas it shaded again and again.
    const QRVISXCamera3D* camera = visual->getCameraManager()->get3DCamera();
    const Vector3 eye = camera ? camera->getPosition() : Vector3{};
    std::vector<std::pair<float, APPENVRBlock*>> blocks;
    for (auto& column : areas_) {
        for (auto& area : column) {
            const APPENVRBox box = area->getCullingBounds();
            if (!frustum.isBoxVisible(box.minimum, box.maximum))
                continue;
            for (int bx = 0; bx < kBlocksPerArea; ++bx) {
                for (int bz = 0; bz < kBlocksPerArea; ++bz) {
                    APPENVRBlock* block = area->getBlock(bx, bz);
                    const Vector3 centre = (block->getBounds().minimum + block->getBounds().maximum) * 0.5f;
                    const float dx = centre.x - eye.x;
                    const float dz = centre.z - eye.z;
                    blocks.emplace_back(dx * dx + dz * dz, block);
                }
            }
        }
    }
    std::stable_sort(blocks.begin(), blocks.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // A software renderer draws nothing until its queue is handed over, and until then this thread
    // alone works (transforming vertices) while its drawing threads wait. Handed over early, the
    // nearest ground (most of the screen's pixels) is shaded while the rest of the terrain and the
    // entities are still being transformed. Handing over more often measured slower.
    int drawn = 0;
    for (const auto& [distance, block] : blocks) {
        if (!(editor ? block->renderEditor() : block->render()))
            continue;
        if (++drawn == kBlocksBeforeHandOver)
            qrGL().flush();
    }
    if (drawn > kBlocksBeforeHandOver)
        qrGL().flush();
}
