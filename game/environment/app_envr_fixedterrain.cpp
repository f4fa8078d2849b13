#include "environment/app_envr_fixedterrain.h"

#include "environment/app_envr_block.h"
#include "environment/app_envr_blockmesh.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_types.h"
#include "resource/qr_resc_image.h"
#include "math/qr_math_matrix.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/qr_visx_main.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/text/qr_visx_render.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/view/qr_visx_transform.h"

#include <algorithm>

namespace {
constexpr int kGrassLayer = 0;
constexpr int kMeadowLayer = 1;
constexpr int kEarthLayer = 2;
constexpr int kRockLayer = 3;
constexpr int kSlopeSteps = 64;
constexpr int kConcreteLayer = 4;
constexpr int kBlendingAverage = 3;
// The street atlas holds 4 x 4 tiles; shape c lies at column c mod 4, row c / 4 from the top.
constexpr int kAtlasTiles = 4;
constexpr float kTileSize = 1.0f / kAtlasTiles;

float smoothStep(float edge0, float edge1, float value)
{
    const float t = std::clamp((value - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

QRVISXMaterialManager& materials()
{
    return *qrVisual()->getMaterialManager();
}
} // namespace

APPENVRFixedTerrain::APPENVRFixedTerrain(APPENVRMain* owner)
    : QRObject(owner, "Fixed-Function Terrain"), environment_(owner)
{
}

APPENVRFixedTerrain::~APPENVRFixedTerrain() = default;

float APPENVRFixedTerrain::layerWeight(Layer layer, float modulation)
{
    // The thresholds the terrain shader blends the meadow and earth layers on.
    if (layer == Layer::Meadow)
        return smoothStep(0.45f, 0.62f, modulation);
    return 0.85f * smoothStep(0.62f, 0.76f, modulation);
}

void APPENVRFixedTerrain::makeWeightImage(const QRRESCImage2& modulation, Layer layer, QRRESCImage2& weights)
{
    weights.clear();
    if (!modulation.isValid())
        return;
    const int width = modulation.getWidth();
    const int height = modulation.getHeight();
    weights.generateEmptyImage(QRRESCImage2::kDataByte, QRRESCImage2::kPixelRGBA, width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Vector4 colour = modulation.getPixelColor(x, y);
            const float weight = layerWeight(layer, layer == Layer::Meadow ? colour.x : colour.y);
            weights.setPixelColor({1.0f, 1.0f, 1.0f, weight}, x, y);
        }
    }
}

float APPENVRFixedTerrain::rockWeight(float normalY)
{
    // The terrain shader's slope threshold, without its modulation noise.
    return smoothStep(0.22f, 0.4f, 1.0f - normalY);
}

QRVISXTexture2* APPENVRFixedTerrain::getWeightTexture(Layer layer) const
{
    return layer == Layer::Meadow ? meadowWeights_.get() : earthWeights_.get();
}

void APPENVRFixedTerrain::prepare()
{
    meadowWeights_.reset();
    earthWeights_.reset();
    slopeWeights_.reset();
    QRVISXExtensionManager* extensions = qrVisual() ? qrVisual()->getExtensionManager() : nullptr;
    if (extensions && (extensions->isSupported("GL_version_1_3") || extensions->isSupported("GL_ARB_texture_cube_map"))) {
        auto ramp = qrNew<QRRESCImage2>(this);
        ramp->generateEmptyImage(QRRESCImage2::kDataByte, QRRESCImage2::kPixelRGBA, kSlopeSteps, 1);
        for (int i = 0; i < kSlopeSteps; ++i)
            ramp->setPixelColor({1.0f, 1.0f, 1.0f, rockWeight((static_cast<float>(i) + 0.5f) / kSlopeSteps)}, i, 0);
        slopeWeights_ = qrNew<QRVISXTexture2>(this);
        slopeWeights_->setName("Slope Weights");
        slopeWeights_->setMipmapping(false);
        slopeWeights_->setFilter(QRVISXTexture2::kFilterLinear);
        slopeWeights_->setClamp(true, true);
        slopeWeights_->generateFromImage(*ramp);
    }
    auto modulation = qrNew<QRRESCImage2>(this, APPENVRMain::kModulationFile);
    // Rows as the modulation texture has them, so both line up on the ground.
    modulation->setFlipForGL(true);
    modulation->loadFromFile(APPENVRMain::kModulationFile);
    if (!modulation->isValid())
        return;
    for (Layer layer : {Layer::Meadow, Layer::Earth}) {
        auto weights = qrNew<QRRESCImage2>(this);
        makeWeightImage(*modulation, layer, *weights);
        auto texture = qrNew<QRVISXTexture2>(this);
        texture->setName(layer == Layer::Meadow ? "Meadow Weights" : "Earth Weights");
        texture->generateFromImage(*weights);
        (layer == Layer::Meadow ? meadowWeights_ : earthWeights_) = std::move(texture);
    }
}

void APPENVRFixedTerrain::projectFromAbove(int unit, float repeat)
{
    QRVISXGL& gl = qrGL();
    gl.activeTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    const GLfloat alongX[4] = {1.0f / repeat, 0.0f, 0.0f, 0.0f};
    const GLfloat alongZ[4] = {0.0f, 0.0f, 1.0f / repeat, 0.0f};
    for (const auto& [coordinate, plane, generation] :
         {std::tuple{GL_S, alongX, GL_TEXTURE_GEN_S}, std::tuple{GL_T, alongZ, GL_TEXTURE_GEN_T}}) {
        gl.texGeni(coordinate, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
        gl.texGenfv(coordinate, GL_OBJECT_PLANE, plane);
        gl.enable(generation);
    }
}

void APPENVRFixedTerrain::stopProjecting(int unit)
{
    QRVISXGL& gl = qrGL();
    gl.activeTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    gl.disable(GL_TEXTURE_GEN_S);
    gl.disable(GL_TEXTURE_GEN_T);
}

void APPENVRFixedTerrain::renderBlock(const APPENVRBlock& block, APPENVRBlockMesh& mesh)
{
    auto* visual = qrVisual();
    if (!visual)
        return;
    QRVISXTransformWorld& world = *visual->getTransform()->getWorld();
    world.reset();
    world.apply();
    drawBaseLayers(mesh);
    // The blend needs a second unit for the weights; with one, grass stays plain grass.
    if (mesh.getGrassCellCount() > 0 && materials().getTextureManager()->getMaxTexelUnits() > 1)
        drawBlendedLayers(mesh);
    if (mesh.getGrassCellCount() > 0 && slopeWeights_ && materials().getTextureManager()->getMaxTexelUnits() > 1)
        drawRock(mesh);
    drawStreets(block);
    qrGL().activeTexture(GL_TEXTURE0);
}

void APPENVRFixedTerrain::drawBaseLayers(APPENVRBlockMesh& mesh)
{
    QRVISXMaterialManager& manager = materials();
    QRVISXTextureManager& textures = *manager.getTextureManager();
    // Lit by the sun, as every program but the unlit ones lights what it draws.
    manager.resetForMaterial();
    projectFromAbove(0, kLayerRepeat);
    for (const bool grass : {true, false}) {
        if ((grass ? mesh.getGrassCellCount() : mesh.getConcreteCellCount()) == 0)
            continue;
        textures.requestTexture(environment_->getTerrainTexture(grass ? kGrassLayer : kConcreteLayer), 0);
        manager.apply();
        qrVisual()->getRender()->setVertexColor(1.0f, 1.0f, 1.0f, 1.0f);
        if (grass)
            mesh.renderGrass();
        else
            mesh.renderConcrete();
    }
    stopProjecting(0);
}

void APPENVRFixedTerrain::drawBlendedLayers(APPENVRBlockMesh& mesh)
{
    QRVISXMaterialManager& manager = materials();
    QRVISXTextureManager& textures = *manager.getTextureManager();
    QRVISXStateManager& states = *manager.getStateManager();
    // Unit 0 gives the layer's colour, unit 1 (white with the weight as alpha) its weight; the
    // layer is blended over the ground drawn already, on the same depths.
    projectFromAbove(0, kLayerRepeat);
    projectFromAbove(1, kModulationRepeat);
    for (const auto& [layer, texture] : {std::pair{Layer::Meadow, kMeadowLayer}, std::pair{Layer::Earth, kEarthLayer}}) {
        QRVISXTexture2* weights = getWeightTexture(layer);
        if (!weights)
            continue;
        manager.resetForMaterial();
        states.setBlendingMode(kBlendingAverage);
        states.setDepthWrite(false);
        states.setDepthFunc(GL_LEQUAL);
        textures.requestTexture(environment_->getTerrainTexture(texture), 0);
        textures.requestTexture(weights, 1);
        manager.apply();
        qrVisual()->getRender()->setVertexColor(1.0f, 1.0f, 1.0f, 1.0f);
        mesh.renderGrass();
    }
    stopProjecting(1);
    stopProjecting(0);
}

void APPENVRFixedTerrain::drawRock(APPENVRBlockMesh& mesh)
{
    QRVISXMaterialManager& manager = materials();
    QRVISXStateManager& states = *manager.getStateManager();
    manager.resetForMaterial();
    states.setBlendingMode(kBlendingAverage);
    states.setDepthWrite(false);
    states.setDepthFunc(GL_LEQUAL);
    manager.getTextureManager()->requestTexture(environment_->getTerrainTexture(kRockLayer), 0);
    manager.getTextureManager()->requestTexture(slopeWeights_.get(), 1);
    manager.apply();
    projectFromAbove(0, kLayerRepeat);
    // Unit 1 takes the eye-space normal as coordinates; the texture matrix turns it back into the
    // world and keeps its upward part as s, which the slope ramp reads the weight at.
    const QRVISXCamera3D* camera = qrVisual()->getCameraManager()->get3DCamera();
    const Matrix4 view = camera ? camera->getViewMatrix() : QRMATHMatrix4::identity();
    GLfloat upward[16] = {};
    upward[0] = view[4];
    upward[4] = view[5];
    upward[8] = view[6];
    upward[13] = 0.5f;
    upward[15] = 1.0f;
    QRVISXGL& gl = qrGL();
    gl.activeTexture(GL_TEXTURE1);
    for (const GLenum coordinate : {GL_S, GL_T, GL_R})
        gl.texGeni(coordinate, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
    for (const GLenum generation : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R})
        gl.enable(generation);
    gl.matrixMode(GL_TEXTURE);
    gl.loadMatrixf(upward);
    gl.matrixMode(GL_MODELVIEW);
    qrVisual()->getRender()->setVertexColor(1.0f, 1.0f, 1.0f, 1.0f);
    mesh.renderGrass();
    gl.activeTexture(GL_TEXTURE1);
    gl.matrixMode(GL_TEXTURE);
    gl.loadIdentity();
    gl.matrixMode(GL_MODELVIEW);
    for (const GLenum generation : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R})
        gl.disable(generation);
    stopProjecting(0);
}

void APPENVRFixedTerrain::drawStreets(const APPENVRBlock& block)
{
    const APPENVRMain& terrain = *environment_;
    QRVISXMaterialManager& manager = materials();
    QRVISXStateManager& states = *manager.getStateManager();
    QRVISXRender& render = *qrVisual()->getRender();
    bool prepared = false;
    const APPENVRGridIndex first = block.getGroundRange();
    const APPENVRGridIndex end = block.getGroundRangeEnd();
    for (int cx = first.x; cx < end.x; ++cx) {
        for (int cz = first.z; cz < end.z; ++cz) {
            const int code = static_cast<int>(APPENVRBlockMesh::streetCode(terrain.getGroundCell(cx, cz)));
            if (code == 0)
                continue;
            if (!prepared) {
                // The tiles' alpha lays them over the ground, on the ground's depths.
                manager.resetForMaterial();
                states.setBlendingMode(kBlendingAverage);
                states.setDepthWrite(false);
                states.setDepthFunc(GL_LEQUAL);
                manager.getTextureManager()->requestTexture(terrain.getStreetsTexture(), 0);
                manager.apply();
                render.setVertexColor(1.0f, 1.0f, 1.0f, 1.0f);
                prepared = true;
            }
            const float column = static_cast<float>(code % kAtlasTiles);
            const float row = static_cast<float>(kAtlasTiles - 1 - code / kAtlasTiles);
            const int x0 = cx * APPENVRMain::kVerticesPerCell;
            const int z0 = cz * APPENVRMain::kVerticesPerCell;
            for (int j = 0; j < APPENVRMain::kVerticesPerCell; ++j) {
                render.beginTriangleStrip();
                for (int i = 0; i <= APPENVRMain::kVerticesPerCell; ++i) {
                    for (const int step : {j, j + 1}) {
                        const Vector3 normal = terrain.getVertex(x0 + i, z0 + step).normal;
                        const Vector3 position = terrain.getVertexPosition(x0 + i, z0 + step);
                        render.setTexCoord2(0, (column + APPENVRBlockMesh::streetCoordinate(i)) * kTileSize,
                                            (row + APPENVRBlockMesh::streetCoordinate(step)) * kTileSize);
                        render.setNormal(normal.x, normal.y, normal.z);
                        render.vertex(position.x, position.y, position.z);
                    }
                }
                render.end();
            }
        }
    }
}
