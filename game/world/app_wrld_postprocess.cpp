#include "world/app_wrld_postprocess.h"

#include "core/qr_core_device.h"
#include "core/qr_core_devicemanager.h"
#include "core/qr_core_main.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/qr_visx_main.h"
#include "visual/targets/qr_visx_rendertarget.h"
#include "visual/targets/qr_visx_rendertargetconfiguration.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "world/app_wrld_rendertargets.h"

#include <algorithm>

namespace {
const char* const kDeviceName = "Visual Device";
} // namespace

APPWRLDPostProcess::APPWRLDPostProcess(QRObject* owner) : QRObject(owner, "Post Process Effects") {}

APPWRLDPostProcess::~APPWRLDPostProcess()
{
    releaseTargets();
}

void APPWRLDPostProcess::releaseTargets()
{
    releaseRenderTargetSet(configuration_, colorTarget_, depthTarget_);
}

void APPWRLDPostProcess::initialize()
{
    QRObject::initialize();
    auto* visual = qrVisual();
    auto* core = qrCore();
    if (!visual || !core)
        return;
    releaseTargets();
    // Without frame buffer objects there is no off-screen frame; the render target manager has
    // logged that post-processing is off.
    if (!visual->getRenderTargetManager()->isFrameBufferSupported())
        return;
    // A minimised or squeezed panel has no pixels; targets need at least one.
    const QRCOREDevice* device = core->getDeviceManager()->findDevice(kDeviceName);
    const int width = std::max(device ? device->getPixelWidth() : 1, 1);
    const int height = std::max(device ? device->getPixelHeight() : 1, 1);
    QRVISXRenderTargetManager& targets = *visual->getRenderTargetManager();
    colorTarget_ = targets.createRenderTargetTexture("Frame Buffer Color", QRVISXRenderTarget::kData8, width, height,
                                                     QRVISXRenderTarget::kPixelRGB);
    depthTarget_ = targets.createRenderBuffer("Frame Buffer Depth", QRVISXRenderTarget::kData24, width, height);
    configuration_ = targets.createRenderTargetConfigurationForDevice("Frame Buffer", kDeviceName);
    if (configuration_) {
        configuration_->setColorTarget(colorTarget_);
        configuration_->setDepthTarget(depthTarget_);
    }
    if (colorTarget_)
        colorTarget_->setFilter(QRVISXTexture2::kFilterLinear);
}

void APPWRLDPostProcess::applyPostProcess()
{
    // The frame buffer is not drawn into: full-screen effects would render the scene there and
    // draw it back here. What stays is leaving both cameras applied for what comes next.
    auto* visual = qrVisual();
    if (!visual)
        return;
    QRVISXCameraManager& cameras = *visual->getCameraManager();
    cameras.get2DCamera()->apply();
    cameras.get3DCamera()->apply();
}
