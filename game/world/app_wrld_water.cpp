#include "world/app_wrld_water.h"

#include "core/qr_mngr_assetmanager.h"
#include "core/qr_time_main.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "environment/app_envr_main.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/geometry/qr_visx_displaylist.h"
#include "visual/view/qr_visx_frustum.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/view/qr_visx_transform.h"
#include "world/app_wrld_main.h"

#include <algorithm>

namespace {

constexpr int kAlphaBlending = 3;
// Without GLSL: the surface's rest height, how many world units the picture spans and how fast
// it drifts (picture widths a second), as the water program's near layer.
constexpr float kRestLevel = 2.0f;
constexpr float kPictureRepeat = 48.0f;
constexpr float kDriftX = 0.030f;
constexpr float kDriftZ = 0.020f;

// A terrain box lies below the water surface where the land is lowest, so the surface is tested
// for visibility with the box raised to the water line.
bool isWaterVisible(const QRVISXFrustum& frustum, const APPENVRBox& terrain)
{
    Vector3 maximum = terrain.maximum;
    maximum.y = std::max(maximum.y, APPWRLDWater::kWaterLine);
    return frustum.isBoxVisible(terrain.minimum, maximum);
}

} // namespace

APPWRLDWater::APPWRLDWater(QRObject* owner) : QRObject(owner, "Water Plane") {}

APPWRLDWater::~APPWRLDWater()
{
    releaseAssets();
}

void APPWRLDWater::releaseAssets()
{
    if (auto* assets = qrAssets()) {
        assets->release(configuration_);
        assets->release(texture_);
    }
}

void APPWRLDWater::initialize()
{
    // Within the world, the water lies over the world's own terrain.
    if (!environment_)
        if (const auto* world = dynamic_cast<const APPWRLDMain*>(getOwner()))
            environment_ = world->getEnvironment();
    releaseAssets();
    if (auto* assets = qrAssets()) {
        configuration_ = assets->acquire<QRVISXShaderConfiguration>("shaders\\water.shader");
        texture_ = assets->acquire<QRVISXTexture2>("textures\\water\\water.jpg");
    }
    compileGrid();
}

void APPWRLDWater::compileGrid()
{
    grid_ = qrNew<QRVISXDisplayList>(this);
    grid_->beginCompile();
    // Positions only: the shader gives the surface its height, normal and texture coordinates.
    QRVISXGL& gl = qrGL();
    for (int i = 0; i < kGridSteps; ++i) {
        gl.begin(GL_TRIANGLE_STRIP);
        for (int j = 0; j <= kGridSteps; ++j) {
            gl.vertex3f(static_cast<float>(j), 0.0f, static_cast<float>(i));
            gl.vertex3f(static_cast<float>(j), 0.0f, static_cast<float>(i + 1));
        }
        gl.end();
    }
    grid_->endCompile();
}

void APPWRLDWater::render()
{
    drawnBlocks_ = 0;
    auto* visual = qrVisual();
    if (!environment_ || !grid_ || !visual || !visual->getMaterialManager())
        return;
    QRVISXMaterialManager& materials = *visual->getMaterialManager();
    // Without GLSL fixed-function OpenGL places, lights and textures the grid; with GLSL only the
    // water program can, and a water program that failed leaves the water out.
    const bool programmed = configuration_ && configuration_->isValid();
    if (!programmed && materials.getShaderManager()->isGLSLAvailable())
        return;
    materials.resetForMaterial();
    if (programmed)
        materials.getShaderManager()->setConfiguration(configuration_);
    QRVISXStateManager& states = *materials.getStateManager();
    states.setBlendingMode(kAlphaBlending);
    states.setCurrentColor(1.0f, 1.0f, 1.0f, 0.5f);
    states.setDepthWrite(false);
    materials.getTextureManager()->requestTexture(texture_, 0);
    // The grid is placed by the shader alone; the engine matrices it may read must be the view's.
    QRVISXTransformWorld& world = *visual->getTransform()->getWorld();
    world.reset();
    world.apply();
    materials.applyAll(true);

    const QRVISXFrustum& frustum = *visual->getCameraManager()->getFrustum();
    for (int ax = 0; ax < APPENVRMain::kAreaCount; ++ax) {
        for (int az = 0; az < APPENVRMain::kAreaCount; ++az) {
            const APPENVRArea& area = *environment_->getArea(ax, az);
            if (area.getBounds().minimum.y >= kWaterLine || !isWaterVisible(frustum, area.getBounds()))
                continue;
            for (int bx = 0; bx < APPENVRMain::kBlocksPerArea; ++bx) {
                for (int bz = 0; bz < APPENVRMain::kBlocksPerArea; ++bz) {
                    const APPENVRBlock& block = *area.getBlock(bx, bz);
                    if (block.getBounds().minimum.y >= kWaterLine || !isWaterVisible(frustum, block.getBounds()))
                        continue;
                    const APPENVRGridIndex corner = block.getVertexRange();
                    const Vector3 offset{APPENVRMain::kVertexSpacing * static_cast<float>(corner.x), 0.0f,
                                         APPENVRMain::kVertexSpacing * static_cast<float>(corner.z)};
                    if (programmed)
                        configuration_->setVector3Uniform("worldoffset", offset);
                    else
                        placeFixedFunction(offset);
                    grid_->call();
                    ++drawnBlocks_;
                }
            }
        }
    }
    if (!programmed) {
        QRVISXGL& gl = qrGL();
        gl.disable(GL_TEXTURE_GEN_S);
        gl.disable(GL_TEXTURE_GEN_T);
        world.reset();
        world.apply();
    }
}

void APPWRLDWater::placeFixedFunction(const Vector3& offset)
{
    auto* visual = qrVisual();
    QRVISXTransformWorld& world = *visual->getTransform()->getWorld();
    // The grid's unit squares become the block's vertex steps, at the water's rest level.
    world.reset();
    world.translate({offset.x, kRestLevel, offset.z});
    world.scaleVector({APPENVRMain::kVertexSpacing, 1.0f, APPENVRMain::kVertexSpacing});
    world.apply();
    // The water picture by world position, drifting as the program's near layer does.
    const float time = qrTime() ? qrTime()->getTotalTime() : 0.0f;
    const float scale = APPENVRMain::kVertexSpacing / kPictureRepeat;
    const GLfloat alongX[4] = {scale, 0.0f, 0.0f, offset.x / kPictureRepeat + kDriftX * time};
    const GLfloat alongZ[4] = {0.0f, 0.0f, scale, offset.z / kPictureRepeat + kDriftZ * time};
    QRVISXGL& gl = qrGL();
    gl.activeTexture(GL_TEXTURE0);
    gl.texGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    gl.texGenfv(GL_S, GL_OBJECT_PLANE, alongX);
    gl.texGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    gl.texGenfv(GL_T, GL_OBJECT_PLANE, alongZ);
    gl.enable(GL_TEXTURE_GEN_S);
    gl.enable(GL_TEXTURE_GEN_T);
    gl.normal3f(0.0f, 1.0f, 0.0f);
}
