#include "visual/device/rendercontexts/qr_visx_visualrendercontext.h"

#include "core/qr_core_device.h"
#include "core/qr_core_feedback.h"
#include "visual/qr_visx_main.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

#include <QWidget>

#include <stdexcept>

QRVISXVisualRenderContext::QRVISXVisualRenderContext(QRObject* owner, QRCOREDevice* device, std::string_view name)
    : QRVISXRenderContext(owner, device, name)
{
}

QRVISXVisualRenderContext::~QRVISXVisualRenderContext()
{
    releaseContext();
}

QRVISXRenderContextManager* QRVISXVisualRenderContext::manager() const
{
    return dynamic_cast<QRVISXRenderContextManager*>(getOwner());
}

qrglx::WindowHandle QRVISXVisualRenderContext::controlWindow() const
{
    auto* device = dynamic_cast<QRCOREControlDevice*>(device_);
    return device && device->getControl() ? static_cast<qrglx::WindowHandle>(device->getControl()->winId()) : 0;
}

void QRVISXVisualRenderContext::createContext()
{
    releaseContext();
    logDebug("Generating RC " + quotedName());
    // One failure, one box: the step that failed tells why, the summary goes to the log.
    QRCOREFeedback::Group failure;
    if (!createDeviceContext()) {
        reportError("createContext", "Could not create device context");
        markBuildFailed();
        return;
    }
    if (!createRenderContext()) {
        reportError("createContext", "Could not create render context");
        markBuildFailed();
        return;
    }
    // The defaults go into the new context itself; issued with no context current they would be lost.
    if (qrglx::makeCurrent(deviceContextHandle_, panel_.window, glContextHandle_)) {
        initGLDefaults();
        qrglx::releaseCurrent();
    }
    valid_ = true;
}

void QRVISXVisualRenderContext::releaseContext()
{
    logDebug("Deleting RC " + quotedName());
    if (auto* owner = manager())
        owner->setCurrentContext(nullptr);
    qrglx::releaseCurrent();
    if (glContextHandle_) {
        qrglx::destroyContext(deviceContextHandle_, glContextHandle_);
        logDebug("Releasing RC");
    }
    if (deviceContextHandle_)
        logDebug("Releasing DC");
    if (panel_.window) {
        qrglx::destroyPanel(deviceContextHandle_, panel_);
        logDebug("Deleting Child Control");
    }
    glContextHandle_ = nullptr;
    deviceContextHandle_ = nullptr;
    panel_ = {};
    config_ = nullptr;
    parentWindow_ = 0;
    valid_ = false;
}

void QRVISXVisualRenderContext::updateContext()
{
    logDebug("Render Context " + quotedName() + ": Updating RC");
    createContext();
}

void QRVISXVisualRenderContext::markBuildFailed()
{
    buildFailed_ = true;
    failedWindow_ = controlWindow();
}

void QRVISXVisualRenderContext::checkIfContextIsValid()
{
    if (!device_) {
        if (!buildFailed_)
            reportError("checkIfContextIsValid", "This render context is not bound to a device");
        buildFailed_ = true;
        return;
    }
    const qrglx::WindowHandle window = controlWindow();
    if (buildFailed_) {
        // Rebuilding every frame would repeat the failure and its box until the program is
        // killed; a window the GUI made anew is worth another try.
        if (window == failedWindow_)
            return;
        buildFailed_ = false;
    }
    // Qt re-creates a control's native window on some changes (window flags, re-parenting); the
    // server then destroyed our child window together with the old one.
    if (window != parentWindow_ || !valid_)
        updateContext();
}

void QRVISXVisualRenderContext::recreateChildControl()
{
    logDebug("Recreating Child Control");
    if (panel_.window)
        qrglx::destroyPanel(deviceContextHandle_, panel_);
    parentWindow_ = controlWindow();
    panelWidth_ = device_->getPixelWidth();
    panelHeight_ = device_->getPixelHeight();
    panel_ = qrglx::createPanel(deviceContextHandle_, parentWindow_, config_, panelWidth_, panelHeight_);
}

bool QRVISXVisualRenderContext::createDeviceContext()
{
    if (!device_) {
        reportError("createDeviceContext", "No device specified");
        return false;
    }
    auto* controlDevice = dynamic_cast<QRCOREControlDevice*>(device_);
    if (!controlDevice || !controlDevice->getControl()) {
        reportError("createDeviceContext", "Device is no control device");
        return false;
    }
    deviceContextHandle_ = qrglx::display();
    if (!deviceContextHandle_ || !controlWindow()) {
        deviceContextHandle_ = nullptr;
        reportError("createDeviceContext", "Could not bind device context to device");
        return false;
    }
    qrglx::PixelFormat format;
    format.depthBits = depthBits_;
    format.stencilBits = stencil_ ? 8 : 0;
    format.samples = getSampleCount();
    const auto result = qrglx::chooseConfig(deviceContextHandle_, format, config_);
    if (format.samples == 0 && result != qrglx::ConfigResult::Found) {
        reportError("createDeviceContext", "Could not create desired pixel format");
        return false;
    }
    if (result == qrglx::ConfigResult::CallFailed) {
        reportError("createDeviceContext", "Could not create pixel format");
        return false;
    }
    if (result == qrglx::ConfigResult::NoMatch) {
        reportError("createDeviceContext", "Pixel format not supported");
        return false;
    }
    // An X window's visual is fixed at its creation, so the pixel format is set by making the child.
    recreateChildControl();
    if (!panel_.window) {
        reportError("createDeviceContext", "Could not bind pixel format to device");
        return false;
    }
    logDebug("Render Context " + quotedName() + ": Device Context created");
    return true;
}

bool QRVISXVisualRenderContext::createRenderContext()
{
    if (!deviceContextHandle_ || !panel_.window) {
        reportError("createRenderContext", "No valid device context has been created yet!");
        return false;
    }
    auto* owner = manager();
    glContextHandle_ = qrglx::createContext(deviceContextHandle_, config_, owner ? owner->shareLists(this) : nullptr);
    if (glContextHandle_) {
        takeNewGLContextSerial();
        logDebug("Render Context " + quotedName() + ": Rendering context created");
    }
    else
        reportError("createRenderContext", "Could not create rendering context");
    width_ = device_->getPixelWidth();
    height_ = device_->getPixelHeight();
    return glContextHandle_ != nullptr;
}

void QRVISXVisualRenderContext::activate()
{
    checkIfContextIsValid();
    if (buildFailed_)
        return; // reported when it failed
    if (!qrglx::makeCurrent(deviceContextHandle_, panel_.window, glContextHandle_)) {
        logWarning("activate", "glXMakeCurrent failed. Trying to update the RC");
        qrglx::releaseCurrent();
        updateContext();
        if (buildFailed_)
            return;
        if (!qrglx::makeCurrent(deviceContextHandle_, panel_.window, glContextHandle_)) {
            reportError("activate", "Could not activate the render context for GL");
            markBuildFailed();
            return;
        }
    }
    if (!panel_.window)
        throw std::logic_error(
            "RC must have a child control (visual experience\\render contexts\\qr_visx_visualrendercontext)");
    if (auto* owner = manager())
        owner->setCurrentContext(this);
    width_ = device_->getPixelWidth();
    height_ = device_->getPixelHeight();
    if (width_ != panelWidth_ || height_ != panelHeight_) {
        qrglx::resizePanel(deviceContextHandle_, panel_, width_, height_);
        panelWidth_ = width_;
        panelHeight_ = height_;
    }
    restoreEngineState();
    if (auto* visual = qrVisual())
        visual->checkGLError();
}

void QRVISXVisualRenderContext::swapBuffers()
{
    checkIfContextIsValid();
    if (!buildFailed_ && valid_)
        qrglx::swapBuffers(deviceContextHandle_, panel_.window);
}
