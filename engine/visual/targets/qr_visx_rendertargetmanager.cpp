#include "visual/targets/qr_visx_rendertargetmanager.h"

#include "core/qr_core_devicemanager.h"
#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "resource/qr_resc_list.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/targets/qr_visx_rendertarget.h"
#include "visual/targets/qr_visx_rendertargetconfiguration.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

QRVISXRenderTargetManager::QRVISXRenderTargetManager(QRObject* owner)
    : QRObject(owner, "QR VISX Render Target Manager")
{
    configurations_ = qrNew<QRRESCList>(this, true);
    targets_ = qrNew<QRRESCList>(this, true);
}

QRVISXRenderTargetManager::~QRVISXRenderTargetManager()
{
    resetTargets();
    // The visual module no longer hands this manager out while it goes, so the targets cannot
    // take themselves out of the configurations; they are taken out here. Each still detaches
    // itself from the frame buffer object it is attached to as it is freed.
    for (QRObject* target : *targets_)
        forgetTargetInConfigurations(static_cast<QRVISXRenderTarget*>(target));
    targets_->clear();
    configurations_->clear();
    targets_.reset();
    configurations_.reset();
}

void QRVISXRenderTargetManager::initialize()
{
    auto* visual = qrVisual();
    QRVISXExtensionManager* extensions = visual ? visual->getExtensionManager() : nullptr;
    maxRenderTargets_ = 1;
    if (extensions && extensions->loadExtension("GL_ARB_draw_buffers", false)) {
        GLint value = 1;
        qrGL().getIntegerv(GL_MAX_DRAW_BUFFERS_ARB, &value);
        maxRenderTargets_ = value > 0 ? value : 1;
    }
    // Asked for without the required flag: without frame buffer objects the world is drawn
    // without shadows and post-processing, which one log line says instead of a message box.
    frameBufferSupported_ = extensions && extensions->loadExtension("GL_EXT_framebuffer_object", false);
    maxRenderBufferSize_ = 0;
    if (frameBufferSupported_)
        qrGL().getIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &maxRenderBufferSize_);
    if (auto* log = qrLog()) {
        if (!frameBufferSupported_)
            log->logWarning("Frame buffer objects are not available: drawing without shadows and post-processing");
        log->logInformation("Maximum render targets: " + std::to_string(maxRenderTargets_));
        log->logInformation("Maximum render buffer size: " + std::to_string(maxRenderBufferSize_));
    }
}

QRVISXRenderTargetBuffer* QRVISXRenderTargetManager::createRenderBuffer(std::string_view name, int dataFormat,
                                                                        int width, int height)
{
    auto target = qrNew<QRVISXRenderTargetBuffer>(this, name);
    target->generate(QRVISXRenderTarget::kTypeDepth, dataFormat, height, width, QRVISXRenderTarget::kPixelRGBA);
    targets_->add(target.get());
    return target.release();
}

QRVISXRenderTargetTexture* QRVISXRenderTargetManager::createRenderTargetTexture(std::string_view name, int dataFormat,
                                                                                int width, int height, int pixelFormat)
{
    auto target = qrNew<QRVISXRenderTargetTexture>(this, name);
    target->generate(QRVISXRenderTarget::kTypeColor, dataFormat, height, width, pixelFormat);
    targets_->add(target.get());
    return target.release();
}

void QRVISXRenderTargetManager::removeTarget(QRVISXRenderTarget* target)
{
    if (!target || !targets_->contains(target))
        return;
    forgetTargetInConfigurations(target);
    targets_->remove(target);
}

void QRVISXRenderTargetManager::forgetTargetInConfigurations(const QRVISXRenderTarget* target)
{
    if (!configurations_)
        return;
    for (QRObject* object : *configurations_)
        static_cast<QRVISXRenderTargetConfiguration*>(object)->forgetTarget(target);
}

QRVISXRenderTargetConfiguration* QRVISXRenderTargetManager::createRenderTargetConfiguration(std::string_view name,
                                                                                            QRCOREDevice* device)
{
    if (QRVISXRenderTargetConfiguration* existing = findConfiguration(name))
        return existing;
    auto configuration = qrNew<QRVISXRenderTargetConfiguration>(this, device, name);
    configurations_->add(configuration.get());
    return configuration.release();
}

QRVISXRenderTargetConfiguration* QRVISXRenderTargetManager::createRenderTargetConfigurationForDevice(
    std::string_view name, std::string_view deviceName)
{
    auto* core = qrCore();
    QRCOREDevice* device = core ? core->getDeviceManager()->findDevice(deviceName) : nullptr;
    if (!device) {
        reportError("createRenderTargetConfiguration",
                    "No device was found by the name \"" + std::string(deviceName) + "\"");
        return nullptr;
    }
    return createRenderTargetConfiguration(name, device);
}

QRVISXRenderTargetConfiguration* QRVISXRenderTargetManager::findConfiguration(std::string_view name) const
{
    return static_cast<QRVISXRenderTargetConfiguration*>(configurations_->findByName(name));
}

void QRVISXRenderTargetManager::removeConfiguration(QRVISXRenderTargetConfiguration* configuration)
{
    if (!configuration || !configurations_->contains(configuration))
        return;
    configuration->unbind();
    configurations_->remove(configuration);
}

void QRVISXRenderTargetManager::resetTargets()
{
    boundConfiguration_ = nullptr;
    if (!frameBufferSupported_)
        return;
    QRVISXGL& gl = qrGL();
    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
    gl.drawBuffer(GL_BACK);
}

bool QRVISXRenderTargetManager::isFrameBufferOfCurrentContext(GLint frameBufferId) const
{
    for (QRObject* object : *configurations_) {
        const auto* configuration = static_cast<const QRVISXRenderTargetConfiguration*>(object);
        if (configuration->getFrameBufferId() == frameBufferId && configuration->ownsCurrentFrameBuffer())
            return true;
    }
    return false;
}

std::uint64_t QRVISXRenderTargetManager::getCurrentContextSerial() const
{
    auto* visual = qrVisual();
    QRVISXRenderContext* context = visual ? visual->getRenderContextManager()->getCurrentContext() : nullptr;
    return context ? context->getGLContextSerial() : 0;
}
