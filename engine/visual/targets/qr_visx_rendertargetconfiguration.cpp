#include "visual/targets/qr_visx_rendertargetconfiguration.h"

#include "core/qr_core_device.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/targets/qr_visx_rendertarget.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/view/qr_visx_viewport.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

#include <cstdio>
#include <vector>

namespace {

QRVISXRenderTargetManager* targetManager()
{
    auto* visual = qrVisual();
    return visual ? visual->getRenderTargetManager() : nullptr;
}

std::string statusText(GLenum status)
{
    switch (status) {
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT";
    case GL_FRAMEBUFFER_UNSUPPORTED_EXT:
        return "GL_FRAMEBUFFER_UNSUPPORTED_EXT";
    default: {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(status));
        return hex;
    }
    }
}

} // namespace

QRVISXRenderTargetConfiguration::QRVISXRenderTargetConfiguration(QRObject* owner, QRCOREDevice* device,
                                                                 std::string_view name)
    : QRObject(owner, name), device_(device)
{
    if (!device) {
        reportError("Create", "No device specified");
        return;
    }
    slots_.fill(nullptr);
    generateFrameBufferObject();
}

QRVISXRenderTargetConfiguration::~QRVISXRenderTargetConfiguration()
{
    unbind();
    deleteFrameBufferObject();
}

QRVISXRenderTarget* QRVISXRenderTargetConfiguration::getSlot(int slot) const
{
    return slot >= 0 && slot < kSlotCount ? slots_[static_cast<std::size_t>(slot)] : nullptr;
}

bool QRVISXRenderTargetConfiguration::ownsCurrentFrameBuffer() const
{
    auto* manager = targetManager();
    return !manager || manager->getCurrentContextSerial() == frameBufferContext_;
}

void QRVISXRenderTargetConfiguration::createFrameBuffer()
{
    auto* manager = targetManager();
    const GLuint id = manager && manager->isFrameBufferSupported() ? qrGL().genFramebuffer() : 0;
    if (id == 0) {
        frameBufferId_ = -1;
        reportError("generateFrameBufferObject", "Could not create frame buffer object");
        return;
    }
    frameBufferId_ = static_cast<GLint>(id);
    frameBufferContext_ = manager->getCurrentContextSerial();
    lastStatus_ = 0;
    logDebug("Render Target Configuration " + quotedName() + " created!");
}

void QRVISXRenderTargetConfiguration::generateFrameBufferObject()
{
    deleteFrameBufferObject();
    createFrameBuffer();
}

void QRVISXRenderTargetConfiguration::deleteFrameBufferObject()
{
    for (QRVISXRenderTarget*& target : slots_) {
        if (target && target->getConfiguration() == this)
            target->unbind();
        target = nullptr;
    }
    valid_ = false;
    if (frameBufferId_ == -1)
        return;
    auto* manager = targetManager();
    if (manager && manager->getBoundConfiguration() == this)
        manager->setBoundConfiguration(nullptr);
    if (isFrameBufferReachable())
        qrGL().deleteFramebuffer(static_cast<GLuint>(frameBufferId_));
    frameBufferId_ = -1;
    logDebug("Render Target Configuration " + quotedName() + " deleted!");
}

bool QRVISXRenderTargetConfiguration::isFrameBufferReachable() const
{
    if (ownsCurrentFrameBuffer())
        return true;
    // Made in another context. Where the share group shares frame buffer objects, the object
    // outlives that context (a rebuilt "Main RC") and must be deleted from here, or it lingers
    // with its attachments; elsewhere it went with its context, and its name may already stand
    // for an object another configuration made in this one.
    auto* manager = targetManager();
    return manager && manager->isFrameBufferSupported() && qrGL().isFramebuffer(static_cast<GLuint>(frameBufferId_)) &&
           !manager->isFrameBufferOfCurrentContext(frameBufferId_);
}

void QRVISXRenderTargetConfiguration::recreateForCurrentContext()
{
    for (QRVISXRenderTarget* target : slots_)
        if (target && target->getConfiguration() == this)
            target->forgetConfiguration();
    valid_ = false;
    if (isFrameBufferReachable()) {
        qrGL().deleteFramebuffer(static_cast<GLuint>(frameBufferId_));
        logDebug("Render Target Configuration " + quotedName() + " deleted!");
    }
    createFrameBuffer();
}

void QRVISXRenderTargetConfiguration::replaceSlot(int slot, QRVISXRenderTarget* target)
{
    QRVISXRenderTarget*& current = slots_[static_cast<std::size_t>(slot)];
    // A target taken out while attached here would keep pointing at this configuration after it
    // is gone, since only the slots are detached when it goes: detach it now.
    if (current && current != target && current->getConfiguration() == this)
        current->unbind();
    current = target;
    valid_ = false;
}

void QRVISXRenderTargetConfiguration::setColorTarget(QRVISXRenderTargetTexture* target)
{
    replaceSlot(0, target);
}

void QRVISXRenderTargetConfiguration::setDepthTarget(QRVISXRenderTargetBuffer* target)
{
    replaceSlot(kDepthSlot, target);
}

void QRVISXRenderTargetConfiguration::forgetTarget(const QRVISXRenderTarget* target)
{
    for (QRVISXRenderTarget*& slot : slots_) {
        if (slot == target) {
            slot = nullptr;
            valid_ = false;
        }
    }
}

void QRVISXRenderTargetConfiguration::bind()
{
    auto* manager = targetManager();
    if (frameBufferId_ == -1 || !manager || manager->getBoundConfiguration() == this)
        return;
    if (!ownsCurrentFrameBuffer()) {
        recreateForCurrentContext();
        if (frameBufferId_ == -1)
            return;
    }
    manager->setBoundConfiguration(this);
    QRVISXGL& gl = qrGL();
    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(frameBufferId_));
    width_ = device_->getPixelWidth();
    height_ = device_->getPixelHeight();
    std::vector<GLenum> drawBuffers;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        QRVISXRenderTarget* target = slots_[static_cast<std::size_t>(slot)];
        if (!target)
            continue;
        const bool color = slot < kColorSlots;
        target->bindToRenderTargetConfiguration(this, color ? slot : 0, height_, width_);
        if (color)
            drawBuffers.push_back(GL_COLOR_ATTACHMENT0_EXT + static_cast<GLenum>(slot));
    }
    valid_ = true;
    // Several draw buffers need GL_ARB_draw_buffers; a single one is plain glDrawBuffer, and a
    // configuration without colour targets (depth only) draws into none and reads from none:
    // strict drivers call it incomplete while its read buffer names a missing colour attachment.
    // Both belong to the frame buffer object, so the window's buffers are not touched.
    if (drawBuffers.empty()) {
        gl.drawBuffer(GL_NONE);
        gl.readBuffer(GL_NONE);
    } else if (drawBuffers.size() == 1 || manager->getMaxRenderTargets() < 2)
        gl.drawBuffer(drawBuffers.front());
    else
        gl.drawBuffers(static_cast<GLsizei>(drawBuffers.size()), drawBuffers.data());
    checkCompleteness();
    if (auto* visual = qrVisual()) {
        visual->getViewPort()->set(0, 0, width_, height_);
        visual->getCameraManager()->applyCurrentCamera();
    }
}

void QRVISXRenderTargetConfiguration::checkCompleteness()
{
    // Reported when the answer changes, not every frame.
    const GLenum status = qrGL().checkFramebufferStatus(GL_FRAMEBUFFER_EXT);
    if (status != lastStatus_ && status != GL_FRAMEBUFFER_COMPLETE_EXT)
        logWarning("bind", "Render Target Configuration " + quotedName() + " is incomplete: " + statusText(status));
    lastStatus_ = status;
}

void QRVISXRenderTargetConfiguration::unbind()
{
    auto* manager = targetManager();
    if (!manager || manager->getBoundConfiguration() != this)
        return;
    manager->setBoundConfiguration(nullptr);
    QRVISXGL& gl = qrGL();
    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
    gl.drawBuffer(GL_BACK);
    if (auto* visual = qrVisual())
        if (QRVISXRenderContext* context = visual->getRenderContextManager()->getCurrentContext())
            context->restoreEngineState();
}
