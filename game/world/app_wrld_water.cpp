#include "world/app_wrld_water.h"

#include "core/qr_mngr_assetmanager.h"
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
    if (!configuration_ || !configuration_->isValid())
        return;
    QRVISXMaterialManager& materials = *visual->getMaterialManager();
    materials.resetForMaterial();
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
                    configuration_->setVector3Uniform(
                        "worldoffset", {APPENVRMain::kVertexSpacing * static_cast<float>(corner.x), 0.0f,
                                        APPENVRMain::kVertexSpacing * static_cast<float>(corner.z)});
                    grid_->call();
                    ++drawnBlocks_;
                }
            }
        }
    }
}
