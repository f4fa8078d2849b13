#include "world/app_wrld_shadow.h"

#include "core/qr_core_device.h"
#include "core/qr_core_devicemanager.h"
#include "core/qr_core_main.h"
#include "core/qr_mngr_assetmanager.h"
#include "math/qr_math_quaternion.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_frustum.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/text/qr_visx_render.h"
#include "visual/targets/qr_visx_rendertarget.h"
#include "visual/targets/qr_visx_rendertargetconfiguration.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/view/qr_visx_viewport.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"
#include "world/app_wrld_rendertargets.h"
#include "world/app_wrld_shadowcasters.h"

#include <cmath>

namespace {
// The camera's square, 2 x 70 = 140 units a side, is drawn into the inner 1022 x 1022 texels (the
// outer ring keeps the clear colour). The centre moves by two whole texels at a time, so a caster
// standing still lands on the same texels however the focus moves and its shadow's edges do not
// crawl; and -70 .. 70 is 511 texels each way, so the texel grid stays on whole multiples too.
constexpr float kTexelSize = 2.0f * APPWRLDShadow::kCoveredSize / 1022.0f;
constexpr float kSnapStep = 2.0f * kTexelSize;

float snap(float value)
{
    return std::round(value / kSnapStep) * kSnapStep;
}
} // namespace

APPWRLDShadow::APPWRLDShadow(QRObject* owner) : QRObject(owner, "Projective Texture Shadows") {}

APPWRLDShadow::~APPWRLDShadow()
{
    releaseTargets();
    if (auto* assets = qrAssets()) {
        assets->release(intoShadowMapShader_);
        assets->release(unlitTexturedShader_);
    }
}

void APPWRLDShadow::releaseTargets()
{
    releaseRenderTargetSet(configuration_, colorTarget_, depthTarget_);
    auto* core = qrCore();
    if (device_ && core && core->getDeviceManager())
        core->getDeviceManager()->removeDevice(device_);
    device_ = nullptr;
}

void APPWRLDShadow::initialize()
{
    QRObject::initialize();
    auto* visual = qrVisual();
    auto* core = qrCore();
    if (!visual || !core)
        return;
    releaseTargets();
    // Without frame buffer objects there is nothing to draw the map into, and without GLSL nothing
    // to draw or project it with: the world goes without shadows, as the log has said already.
    if (visual->getRenderTargetManager()->isFrameBufferSupported() &&
        visual->getMaterialManager()->getShaderManager()->isGLSLAvailable()) {
        // Only a map the driver can draw into: a map it cannot would stay black and darken the
        // whole ground. The map holds only black and white, so 8-bit components give the same
        // picture as float ones, and a software renderer clears and reads them far faster.
        if (!createTargets())
            logWarning("initialize", "The driver cannot draw into a shadow map; the world is drawn without shadows");
    }
    if (auto* assets = qrAssets()) {
        assets->release(intoShadowMapShader_);
        assets->release(unlitTexturedShader_);
        intoShadowMapShader_ = assets->acquire<QRVISXShaderConfiguration>("shaders\\into_shadowmap.shader");
        unlitTexturedShader_ = assets->acquire<QRVISXShaderConfiguration>("shaders\\unlit_textured.shader");
    }
}

bool APPWRLDShadow::createTargets()
{
    releaseTargets();
    QRVISXRenderTargetManager& targets = *qrVisual()->getRenderTargetManager();
    device_ = qrCore()->getDeviceManager()->createVirtualDevice("Shadow Map Device", shadowMapSize_, shadowMapSize_);
    colorTarget_ = targets.createRenderTargetTexture("Shadow Map Color", QRVISXRenderTarget::kData8, shadowMapSize_,
                                                     shadowMapSize_, QRVISXRenderTarget::kPixelRGB);
    depthTarget_ = targets.createRenderBuffer("Shadow Map Depth", QRVISXRenderTarget::kData24, shadowMapSize_,
                                              shadowMapSize_);
    configuration_ = targets.createRenderTargetConfiguration("Shadow Map", device_);
    if (!configuration_) {
        releaseTargets();
        return false;
    }
    configuration_->setColorTarget(colorTarget_);
    configuration_->setDepthTarget(depthTarget_);
    colorTarget_->setFilter(QRVISXTexture2::kFilterLinear);
    // One bind tells whether the driver can draw into this set at all.
    configuration_->bind();
    const bool complete = configuration_->isComplete();
    configuration_->unbind();
    if (!complete)
        releaseTargets();
    return complete;
}

QRVISXTexture2* APPWRLDShadow::getShadowMapTexture() const
{
    return colorTarget_ ? colorTarget_->getTexture() : nullptr;
}

Vector3 APPWRLDShadow::snapCenter(const Vector3& focus)
{
    return {snap(focus.x), kCameraHeight, snap(focus.z)};
}

void APPWRLDShadow::renderShadowMap()
{
    auto* world = dynamic_cast<APPWRLDMain*>(getOwner());
    if (!world)
        return;
    const Vector3 focus = world->getCamera() ? world->getCamera()->getPosition() : Vector3{};
    const Vector3 centre = snapCenter(focus);
    const std::uint64_t casters = APPWRLDShadowCasters::fingerprint(*world, centre, kCoveredSize);
    const QRVISXTexture2* texture = getShadowMapTexture();
    const GLint textureId = texture ? texture->getGLTextureId() : 0;
    redrawn_ = !drawn_ || centre.x != drawnCentre_.x || centre.z != drawnCentre_.z || casters != drawnCasters_ ||
               texture != drawnTexture_ || textureId != drawnTextureId_;
    if (!redrawn_) {
        publish(centre);
        return;
    }
    renderShadowMapAt(focus, [world] {
        if (world->getEntities())
            world->getEntities()->renderShadowCasters();
    });
    // The targets may only now exist (made at the first bind); without them nothing was drawn.
    texture = getShadowMapTexture();
    drawn_ = texture != nullptr;
    drawnCentre_ = centre;
    drawnCasters_ = casters;
    drawnTexture_ = texture;
    drawnTextureId_ = texture ? texture->getGLTextureId() : 0;
}

void APPWRLDShadow::publish(const Vector3& centre)
{
    if (auto* visual = qrVisual()) {
        QRVISXMaterialVariablePool& pool = *visual->getMaterialManager()->getVariablePool();
        pool.setVector3("ShadowMapCenter", centre);
        pool.setFloat("ShadowMapSize", kCoveredSize);
    }
}

void APPWRLDShadow::renderShadowMapAt(const Vector3& focus, const std::function<void()>& drawCasters)
{
    auto* visual = qrVisual();
    if (!visual || !configuration_)
        return;
    configuration_->bind();
    QRVISXRender& render = *visual->getRender();
    render.setClearColor(1.0f, 1.0f, 1.0f);
    // Casters are all the same black, so which lies in front of which changes nothing: the pass
    // neither tests nor writes depth, and clearing the depth buffer would only cost a software
    // renderer a pass over four megabytes a frame.
    render.clear(true, false, false);
    // The outermost ring of texels keeps the clear colour: ground beyond the map reads it
    // through the clamped texture and stays unshadowed.
    visual->getViewPort()->set(1, 1, shadowMapSize_ - 1, shadowMapSize_ - 1);

    const Vector3 centre = snapCenter(focus);
    QRVISXCamera3D& camera = *visual->getCameraManager()->get3DCamera();
    QRVISXFrustum& frustum = *visual->getCameraManager()->getFrustum();
    // The pass borrows the one 3D camera and gives it back whole, so whatever draws next sees
    // the view as it was, not the sun's.
    const QRVISXCamera3D::Settings viewSettings = camera.getSettings();
    camera.setPosition(centre);
    camera.setOrientation(QRMATHQuaternion::fromAxisAngle({1.0f, 0.0f, 0.0f}, 90.0f));
    camera.setOrthographic(true);
    camera.setOrthoExtents({kCoveredSize, kCoveredSize, kCameraDepth});
    camera.apply();
    // Casters are culled by the map's own box: with the view's frustum every model in sight was
    // drawn into the map, nearly all of them beside it, and casters behind the eye were left out.
    frustum.extractPlanes(camera.getProjectionMatrix(), camera.getViewMatrix());

    QRVISXMaterialManager& materials = *visual->getMaterialManager();
    materials.resetForMaterial();
    materials.getShaderManager()->setConfiguration(intoShadowMapShader_);
    // Seen from above, the camera meets the casters' undersides: both sides must draw, or open
    // shapes (boards, leaves) would cast nothing.
    materials.getStateManager()->setCullFace(false, true);
    materials.getStateManager()->setDepthTest(false);
    materials.getStateManager()->setDepthWrite(false);
    materials.apply();
    materials.lock();
    drawCasters();
    configuration_->unbind();
    materials.unlock();

    // Applied after the unbind, so the projection takes the view's aspect again, not the map's.
    camera.setSettings(viewSettings);
    camera.apply();
    frustum.extractPlanes(camera.getProjectionMatrix(), camera.getViewMatrix());
    publish(centre);
}
