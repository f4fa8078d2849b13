#include "environment/app_envr_block.h"

#include "entities/app_entt_main.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_blockdetail.h"
#include "environment/app_envr_blockmesh.h"
#include "environment/app_envr_fixedterrain.h"
#include "file/qr_file_file.h"
#include "math/qr_math_vector.h"
#include "resource/qr_resc_image.h"
#include "resource/qr_resc_list.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_frustum.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/text/qr_visx_render.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/view/qr_visx_transform.h"
#include "world/app_wrld_entities.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {
constexpr float kNoHeightBelow = 999999.0f;
// Around the ground the block draws: sideways for what stands at its border, 50 up for what
// stands on it, and some way down for what reaches under the surface (feet sunk into a slope).
constexpr Vector3 kCullingMarginBelow{10.0f, 10.0f, 10.0f};
constexpr Vector3 kCullingMarginAbove{10.0f, 50.0f, 10.0f};
// The shortest entity entry: an empty type name's length, position, orientation and size.
constexpr std::int64_t kSmallestEntityEntry = 4 + 12 + 16 + 4;

// Texture units of the terrain shader: four ground layers, then the modulation map, the shadow
// map and the street atlas.
constexpr int kModulationUnit = 4;
constexpr int kShadowMapUnit = 5;
constexpr int kStreetsUnit = 6;
constexpr int kConcreteTexture = 4;
constexpr int kStreetCodeUnit = 2;
constexpr float kStreetStep = 0.24f;
constexpr float kOutlineLift = 0.05f;

// Ground map colours (red channel): concrete, grass with street, concrete with street; every
// other value is grass without street.
std::uint32_t groundCellForRed(long red)
{
    switch (red) {
    case 128:
        return 1;
    case 192:
        return 256;
    case 255:
        return 257;
    default:
        return 0;
    }
}
} // namespace

APPENVRBlock::APPENVRBlock(APPENVRArea* owner, int bx, int bz)
    : QRObject(owner, "Terrain Block"), area_(owner), bx_(bx), bz_(bz), entities_(qrNew<QRRESCList>(this, false))
{
}

APPENVRBlock::~APPENVRBlock() = default;

APPENVRMain& APPENVRBlock::environment() const
{
    return *area_->getEnvironment();
}

void APPENVRBlock::initialize()
{
    QRObject::initialize();
    const APPENVRAreaIndex area = area_->getIndex();
    groundStart_ = {APPENVRMain::kCellsPerArea * area.ax + APPENVRMain::kCellsPerBlock * bx_,
                    APPENVRMain::kCellsPerArea * area.az + APPENVRMain::kCellsPerBlock * bz_};
    vertexStart_ = {APPENVRMain::kVerticesPerArea * area.ax + APPENVRMain::kVerticesPerBlock * bx_,
                    APPENVRMain::kVerticesPerArea * area.az + APPENVRMain::kVerticesPerBlock * bz_};
}

APPENTTMain* APPENVRBlock::getEntity(int index) const
{
    return static_cast<APPENTTMain*>(entities_->get(index));
}

int APPENVRBlock::getEntityCount() const
{
    return entities_->getCount();
}

void APPENVRBlock::addEntity(APPENTTMain* entity)
{
    entities_->add(entity);
}

void APPENVRBlock::removeEntity(APPENTTMain* entity)
{
    entities_->remove(entity);
}

bool APPENVRBlock::hasEntity(const APPENTTMain* entity) const
{
    return entities_->contains(entity);
}

int APPENVRBlock::indexOfEntity(const APPENTTMain* entity) const
{
    return entities_->indexOf(entity);
}

void APPENVRBlock::moveEntityTo(APPENTTMain* entity, int index)
{
    if (entities_->remove(entity) < 0)
        return;
    // The list only appends: the entries from index on are taken out and put back behind it.
    index = std::clamp(index, 0, entities_->getCount());
    std::vector<QRObject*> behind(entities_->begin() + index, entities_->end());
    for (QRObject* object : behind)
        entities_->remove(object);
    entities_->add(entity);
    for (QRObject* object : behind)
        entities_->add(object);
}

void APPENVRBlock::removeEntities()
{
    // Loading replaces what stood on the block. Dropping only the references would leave the old
    // entities in the world without a block: never updated or drawn in the game, never saved.
    for (int i = entities_->getLastIndex(); i >= 0; i = std::min(i, entities_->getCount()) - 1)
        getEntity(i)->removeFromWorld();
    entities_->clear();
}

APPENVRGridIndex APPENVRBlock::getGroundRangeEnd() const
{
    return {groundStart_.x + APPENVRMain::kCellsPerBlock, groundStart_.z + APPENVRMain::kCellsPerBlock};
}

APPENVRGridIndex APPENVRBlock::getVertexRangeEnd() const
{
    return {vertexStart_.x + APPENVRMain::kVerticesPerBlock, vertexStart_.z + APPENVRMain::kVerticesPerBlock};
}

void APPENVRBlock::updateBounds()
{
    const APPENVRGridIndex end = getVertexRangeEnd();
    bounds_.minimum = {APPENVRMain::kVertexSpacing * static_cast<float>(vertexStart_.x), kNoHeightBelow,
                       APPENVRMain::kVertexSpacing * static_cast<float>(vertexStart_.z)};
    bounds_.maximum = {APPENVRMain::kVertexSpacing * static_cast<float>(end.x), -kNoHeightBelow,
                       APPENVRMain::kVertexSpacing * static_cast<float>(end.z)};
    const APPENVRMain& terrain = environment();
    for (int x = vertexStart_.x; x < end.x; ++x) {
        for (int z = vertexStart_.z; z < end.z; ++z) {
            const float height = terrain.getVertex(x, z).height;
            bounds_.minimum.y = std::min(bounds_.minimum.y, height);
            bounds_.maximum.y = std::max(bounds_.maximum.y, height);
        }
    }
}

void APPENVRBlock::setBounds(const APPENVRBox& bounds)
{
    bounds_ = bounds;
}

const APPENVRBox& APPENVRBlock::getCullingBounds() const
{
    if (cullingStale_) {
        cullingBounds_ = measureDrawnGround();
        cullingBounds_.minimum = cullingBounds_.minimum - kCullingMarginBelow;
        cullingBounds_.maximum = cullingBounds_.maximum + kCullingMarginAbove;
        cullingStale_ = false;
    }
    return cullingBounds_;
}

APPENVRBox APPENVRBlock::measureDrawnGround() const
{
    // The strips of the block's last cells reach the first row and column of the next blocks: a
    // step there rises inside this block's drawing, so those vertices count, at the positions
    // drawn (heights clamped at the world's far edge). Whatever decides which vertices a block
    // draws must keep this box around them.
    const APPENVRMain& terrain = environment();
    const APPENVRGridIndex end = getVertexRangeEnd();
    APPENVRBox box{terrain.getVertexPosition(vertexStart_.x, vertexStart_.z),
                   terrain.getVertexPosition(end.x, end.z)};
    box.minimum.y = kNoHeightBelow;
    box.maximum.y = -kNoHeightBelow;
    for (int x = vertexStart_.x; x <= end.x; ++x) {
        for (int z = vertexStart_.z; z <= end.z; ++z) {
            const float height = terrain.getVertexPosition(x, z).y;
            box.minimum.y = std::min(box.minimum.y, height);
            box.maximum.y = std::max(box.maximum.y, height);
        }
    }
    return box;
}

bool APPENVRBlock::save(QRFILEFile& file) const
{
    // Projectiles and particle effects live only during play; their records could not be read
    // back as what they were, so they are not stored at all.
    std::int32_t count = 0;
    for (QRObject* object : *entities_)
        if (!static_cast<APPENTTMain*>(object)->isTransient())
            ++count;
    if (!file.write(bounds_.minimum) || !file.write(bounds_.maximum) || !file.write(count))
        return false;
    for (QRObject* object : *entities_) {
        const auto* entity = static_cast<APPENTTMain*>(object);
        if (!entity->isTransient() && (!file.write(entity->getTypeName()) || !entity->save(file)))
            return false;
    }
    return true;
}

APPENVRBlockLoad APPENVRBlock::load(QRFILEFile& file, int& nonFiniteNumbers)
{
    Vector3 minimum = bounds_.minimum;
    Vector3 maximum = bounds_.maximum;
    if (!file.read(minimum))
        return APPENVRBlockLoad::ReadFailed;
    bounds_.minimum = minimum;
    if (!file.read(maximum))
        return APPENVRBlockLoad::ReadFailed;
    bounds_.maximum = maximum;
    const int nonFinite = countNonFinite(minimum) + countNonFinite(maximum);
    nonFiniteNumbers += nonFinite;
    // The area measures every box again once it is loaded; the centre of this one places the
    // entities below already, so a broken one is measured now (the terrain is read by then).
    if (nonFinite > 0)
        updateBounds();
    std::int32_t count = 0;
    if (!file.read(count))
        return APPENVRBlockLoad::ReadFailed;
    // A negative count lists nothing; the entries of the next block follow, so loading goes on.
    if (count < 0)
        reportError("load", "The block claims " + std::to_string(count) + " entities in \"" + file.getFileName() +
                                "\"; it is loaded without entities");
    if (count <= 0)
        return APPENVRBlockLoad::Loaded;
    APPWRLDEntities* world = environment().getEntityList();
    if (!world) {
        reportError("load", "The block holds " + std::to_string(count) +
                                " entities but belongs to no world that could hold them; the rest of the "
                                "area file is skipped");
        return APPENVRBlockLoad::EntitiesUnread;
    }
    // Every entry takes at least its type name's length and the base record, so a count that the
    // rest of the file cannot hold is corrupt; believing it would create entities without end.
    const std::int64_t remaining = file.getSize() - file.getPosition();
    if (count > remaining / kSmallestEntityEntry) {
        reportError("load", "The block claims " + std::to_string(count) + " entities, but only " +
                                std::to_string(remaining) + " bytes of \"" + file.getFileName() +
                                "\" are left; the rest of the area file is skipped");
        return APPENVRBlockLoad::EntitiesUnread;
    }
    const Vector3 centre = (bounds_.minimum + bounds_.maximum) * 0.5f;
    for (std::int32_t i = 0; i < count; ++i) {
        std::string typeName;
        if (!file.read(typeName))
            return APPENVRBlockLoad::ReadFailed;
        // The entity starts at the block's centre, so it registers here until its record moves it.
        APPENTTMain* entity = world->createEntity(typeName, centre);
        const bool read = entity->load(file);
        if (!read) {
            // Half an entity would stand in the world at the block's centre.
            world->removeEntity(entity);
            return file.getPosition() < file.getSize() ? APPENVRBlockLoad::EntitiesUnread
                                                       : APPENVRBlockLoad::ReadFailed;
        }
    }
    return APPENVRBlockLoad::Loaded;
}

void APPENVRBlock::importHeightmap()
{
    APPENVRMain& terrain = environment();
    {
        auto image = qrNew<QRRESCImage2>(this);
        image->loadFromFile(kHeightmapFile);
        // The picture covers the whole world, one pixel per vertex; only this block's part is used.
        const APPENVRGridIndex end = getVertexRangeEnd();
        for (int x = vertexStart_.x; x < end.x; ++x)
            for (int z = vertexStart_.z; z < end.z; ++z)
                terrain.setHeight(x, z, image->getPixelColor(x, z).x * 255.0f * 0.5f);
    }
    terrain.updateNormals();
    terrain.updateBounds();
}

void APPENVRBlock::importGroundmap()
{
    APPENVRMain& terrain = environment();
    {
        auto image = qrNew<QRRESCImage2>(this);
        image->loadFromFile(kGroundmapFile);
        const APPENVRGridIndex end = getGroundRangeEnd();
        for (int x = groundStart_.x; x < end.x; ++x)
            for (int z = groundStart_.z; z < end.z; ++z)
                terrain.setGroundCell(x, z, groundCellForRed(std::lround(image->getPixelColor(x, z).x * 255.0f)));
    }
    terrain.updateNormals();
    terrain.updateBounds();
    terrain.updateStreets();
}

bool APPENVRBlock::isInView() const
{
    auto* visual = qrVisual();
    const APPENVRBox& culling = getCullingBounds();
    return visual && visual->getCameraManager()->getFrustum()->isBoxVisible(culling.minimum, culling.maximum);
}

bool APPENVRBlock::render()
{
    if (!isInView())
        return false;
    renderTerrain();
    return true;
}

bool APPENVRBlock::renderEditor()
{
    if (!isInView())
        return false;
    renderTerrain();
    renderOutline();
    return true;
}

void APPENVRBlock::renderTerrain()
{
    QRVISXMaterialManager& materials = *qrVisual()->getMaterialManager();
    const APPENVRMain& terrain = environment();
    // A driver without GLSL draws the same static geometry in the fixed-function look.
    if (!terrain.isDrawnWithShader()) {
        terrain.getFixedTerrain()->renderBlock(*this, builtMesh());
        return;
    }
    const bool buffers = terrain.getDrawing() == APPENVRDrawing::StaticBuffers;
    materials.resetForMaterial();
    materials.getShaderManager()->setConfiguration(terrain.getShaderConfiguration());
    QRVISXTextureManager& textures = *materials.getTextureManager();
    textures.requestTexture(terrain.getModulationTexture(), kModulationUnit);
    textures.requestTexture(terrain.getShadowMapTexture(), kShadowMapUnit);
    textures.requestTexture(terrain.getStreetsTexture(), kStreetsUnit);
    if (buffers)
        renderMesh(getDetail());
    else
        renderCells();
}

APPENVRBlockDetail APPENVRBlock::getDetail() const
{
    const QRVISXMain* visual = qrVisual();
    const QRVISXCamera3D* camera = visual ? visual->getCameraManager()->get3DCamera() : nullptr;
    if (!camera || !environment().isLevelOfDetail())
        return {};
    return APPENVRBlockDetail::choose(camera->getPosition(), getCullingBounds(), !camera->isOrthographic());
}

void APPENVRBlock::requestGroundTextures(bool grass)
{
    // Grass blends the four ground layers; concrete is the same texture on all four.
    const APPENVRMain& terrain = environment();
    QRVISXTextureManager& textures = *qrVisual()->getMaterialManager()->getTextureManager();
    for (int unit = 0; unit < kConcreteTexture; ++unit)
        textures.requestTexture(terrain.getTerrainTexture(grass ? unit : kConcreteTexture), unit);
}

void APPENVRBlock::renderCells()
{
    const APPENVRGridIndex end = getGroundRangeEnd();
    for (int cx = groundStart_.x; cx < end.x; ++cx)
        for (int cz = groundStart_.z; cz < end.z; ++cz)
            renderCell(cx, cz);
}

void APPENVRBlock::renderCell(int cx, int cz)
{
    const APPENVRMain& terrain = environment();
    QRVISXMain& visual = *qrVisual();
    requestGroundTextures(terrain.isDefaultGround(cx, cz));
    visual.getMaterialManager()->apply();
    QRVISXRender& render = *visual.getRender();
    render.setTexCoord1(kStreetCodeUnit, APPENVRBlockMesh::streetCode(terrain.getGroundCell(cx, cz)));
    QRVISXTransformWorld& world = *visual.getTransform()->getWorld();
    world.reset();
    world.apply();
    render.setVertexColor(1.0f, 1.0f, 1.0f, 1.0f);

    auto emit = [&](int x, int z, float u, float v) {
        const Vector3 normal = terrain.getVertex(x, z).normal;
        const Vector3 position = terrain.getVertexPosition(x, z);
        render.setTexCoord2(0, static_cast<float>(x), static_cast<float>(z));
        render.setTexCoord2(1, u, v);
        render.setNormal(normal.x, normal.y, normal.z);
        render.vertex(position.x, position.y, position.z);
    };
    const int x0 = cx * APPENVRMain::kVerticesPerCell;
    const int z0 = cz * APPENVRMain::kVerticesPerCell;
    float v = APPENVRBlockMesh::streetCoordinate(0);
    for (int z = z0; z < z0 + APPENVRMain::kVerticesPerCell; ++z) {
        render.beginTriangleStrip();
        float u = APPENVRBlockMesh::streetCoordinate(0);
        for (int x = x0; x <= x0 + APPENVRMain::kVerticesPerCell; ++x) {
            emit(x, z, u, v);
            emit(x, z + 1, u, v + kStreetStep);
            u += kStreetStep;
        }
        render.end();
        v += kStreetStep;
    }
}

APPENVRBlockMesh& APPENVRBlock::builtMesh()
{
    if (!mesh_)
        mesh_ = qrNew<APPENVRBlockMesh>(this);
    if (geometryChanged_ || !mesh_->isBuilt()) {
        mesh_->build(environment(), groundStart_);
        geometryChanged_ = false;
    }
    return *mesh_;
}

void APPENVRBlock::renderMesh(const APPENVRBlockDetail& detail)
{
    builtMesh();
    QRVISXMain& visual = *qrVisual();
    QRVISXTransformWorld& world = *visual.getTransform()->getWorld();
    world.reset();
    world.apply();
    const APPENVRMain& terrain = environment();
    QRVISXMaterialManager& materials = *visual.getMaterialManager();
    // Neighbouring draws that end up with the same program (all far ground, say) go as one.
    struct Pending {
        bool concrete = false;
        QRVISXShaderConfiguration* shading = nullptr;
        APPENVRBlockMesh::Range range;
    } pending;
    auto flush = [&] {
        if (pending.range.count <= 0)
            return;
        requestGroundTextures(!pending.concrete);
        materials.getShaderManager()->setConfiguration(pending.shading);
        materials.apply();
        visual.getRender()->setVertexColor(1.0f, 1.0f, 1.0f, 1.0f);
        mesh_->renderRange(pending.range);
        pending.range.count = 0;
    };
    for (const APPENVRBlockMesh::Draw& draw : mesh_->getShadingDraws(detail.level)) {
        QRVISXShaderConfiguration* shading = terrain.getShading(draw.concrete, detail.farShading, draw.needs);
        if (pending.range.count > 0 && pending.concrete == draw.concrete && pending.shading == shading &&
            pending.range.first + pending.range.count == draw.range.first) {
            pending.range.count += draw.range.count;
            continue;
        }
        flush();
        pending = {draw.concrete, shading, draw.range};
    }
    flush();
}

void APPENVRBlock::renderOutline()
{
    QRVISXMain& visual = *qrVisual();
    QRVISXTransformWorld& world = *visual.getTransform()->getWorld();
    world.reset();
    world.translate({0.0f, kOutlineLift, 0.0f});
    world.apply();
    QRVISXMaterialManager& materials = *visual.getMaterialManager();
    materials.resetForMaterial();
    materials.resetForMaterialUnlit();
    QRVISXStateManager& states = *materials.getStateManager();
    states.setBlendingMode(3);
    states.setCurrentColor(0.0f, 1.0f, 0.0f, 0.5f);
    states.setDepthWrite(false);
    states.setLineWidth(2.0f);
    materials.apply();

    // Around the border, corners repeated: along +X at the near edge, +Z at the far X edge, back
    // along -X at the far Z edge and -Z at the near X edge.
    const APPENVRMain& terrain = environment();
    QRVISXRender& render = *visual.getRender();
    auto point = [&](int x, int z) {
        const Vector3 position = terrain.getVertexPosition(x, z);
        render.vertex(position.x, position.y, position.z);
    };
    const int x0 = vertexStart_.x;
    const int z0 = vertexStart_.z;
    const int x1 = x0 + APPENVRMain::kVerticesPerBlock;
    const int z1 = z0 + APPENVRMain::kVerticesPerBlock;
    render.beginLineStrip();
    for (int x = x0; x <= x1; ++x)
        point(x, z0);
    for (int z = z0; z <= z1; ++z)
        point(x1, z);
    for (int x = x1; x >= x0; --x)
        point(x, z1);
    for (int z = z1; z >= z0; --z)
        point(x0, z);
    render.end();
}
