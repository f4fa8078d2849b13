#pragma once
// Base of the OpenGL rendercontexts: the device a context draws into, the pixel-format wishes and
// the platform handles. A context is created invalid and is built lazily by its first activation.
// Owned by the render context manager.

#include "core/qr_core_object.h"
#include "visual/device/rendercontexts/qr_visx_glx.h"

class QRCOREDevice;

class QRVISXRenderContext : public QRObject {
public:
    QRVISXRenderContext(QRObject* owner, QRCOREDevice* device, std::string_view name);

    virtual void releaseContext() {}
    // Tells the modules that cache GL state that this context has (again) been made current.
    virtual void restoreEngineState();
    virtual void initGLDefaults();
    // colorMode is kept for completeness; the pixel format does not depend on it.
    virtual void setPixelFormatParameters(int colorMode, int depthBits, bool stencil);
    virtual void bindToDevice(QRCOREDevice* device);
    virtual void activate() {}
    virtual void swapBuffers() {}

    QRCOREDevice* getDevice() const { return device_; }
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    qrglx::ContextHandle getGLContextHandle() const { return glContextHandle_; }
    // Tells GL contexts apart for objects that are not shared between contexts (frame buffer
    // objects): a new number for every GL context created, where a handle may be handed out
    // again once the context it named was destroyed. 0 before the first GL context.
    std::uint64_t getGLContextSerial() const { return glContextSerial_; }
    bool isValid() const { return valid_; }
    // 2^level samples for the primary context when antialiasing is on; 0 for every other context.
    int getSampleCount() const;

protected:
    // Called whenever this context has created a new GL context.
    void takeNewGLContextSerial();

    QRCOREDevice* device_ = nullptr;
    int colorMode_ = 1;
    bool stencil_ = false;
    int depthBits_ = 24;
    int width_ = 0;
    int height_ = 0;
    bool valid_ = false;
    // Set when building the context failed and was reported: no retry (and no new error box every
    // frame) until something that could make it work changes, such as the device or pixel format.
    bool buildFailed_ = false;
    qrglx::Panel panel_;
    qrglx::DisplayHandle deviceContextHandle_ = nullptr;
    qrglx::ContextHandle glContextHandle_ = nullptr;
    std::uint64_t glContextSerial_ = 0;
};
