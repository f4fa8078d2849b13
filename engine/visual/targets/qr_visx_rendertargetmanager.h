#pragma once
// Off-screen rendering through frame buffer objects: creates and owns the render targets (render
// buffers and colour textures) and the configurations that draw into them, and knows which
// configuration is bound. Every render context activation returns drawing to the window.
// Owned by the visual module.

#include "core/qr_core_object.h"

#include <GL/glew.h>

#include <cstdint>
#include <string_view>

class QRCOREDevice;
class QRRESCList;
class QRVISXRenderTarget;
class QRVISXRenderTargetBuffer;
class QRVISXRenderTargetTexture;
class QRVISXRenderTargetConfiguration;

class QRVISXRenderTargetManager : public QRObject {
public:
    explicit QRVISXRenderTargetManager(QRObject* owner);
    ~QRVISXRenderTargetManager() override;
    // Needs a current context: loads the frame buffer extension and reads the limits.
    void initialize() override;

    // A depth render buffer, generated at once.
    QRVISXRenderTargetBuffer* createRenderBuffer(std::string_view name, int dataFormat, int width, int height);
    // A colour texture target, generated at once.
    QRVISXRenderTargetTexture* createRenderTargetTexture(std::string_view name, int dataFormat, int width, int height,
                                                         int pixelFormat);
    // Takes the target out of every configuration and frees it.
    void removeTarget(QRVISXRenderTarget* target);

    // The configuration of that name; made for device when there is none.
    QRVISXRenderTargetConfiguration* createRenderTargetConfiguration(std::string_view name, QRCOREDevice* device);
    QRVISXRenderTargetConfiguration* createRenderTargetConfigurationForDevice(std::string_view name,
                                                                              std::string_view deviceName);
    QRVISXRenderTargetConfiguration* findConfiguration(std::string_view name) const;
    // Unbinds it when bound, then frees it.
    void removeConfiguration(QRVISXRenderTargetConfiguration* configuration);

    // No configuration bound, drawing into the window's back buffer; after every context activation.
    void resetTargets();
    // Called by a target that goes away: no configuration may keep it in a slot.
    void forgetTargetInConfigurations(const QRVISXRenderTarget* target);

    QRVISXRenderTargetConfiguration* getBoundConfiguration() const { return boundConfiguration_; }
    void setBoundConfiguration(QRVISXRenderTargetConfiguration* configuration) { boundConfiguration_ = configuration; }
    // The GL context current now, as the render contexts number them; 0 when none is known.
    std::uint64_t getCurrentContextSerial() const;
    // Whether a configuration holds this frame buffer object name in the current GL context.
    bool isFrameBufferOfCurrentContext(GLint frameBufferId) const;
    bool isFrameBufferSupported() const { return frameBufferSupported_; }
    int getMaxRenderTargets() const { return maxRenderTargets_; }
    int getMaxRenderBufferSize() const { return maxRenderBufferSize_; }
    QRRESCList* getConfigurations() const { return configurations_.get(); }
    QRRESCList* getTargets() const { return targets_.get(); }

private:
    bool frameBufferSupported_ = false;
    int maxRenderTargets_ = 1;
    int maxRenderBufferSize_ = 0;
    QRVISXRenderTargetConfiguration* boundConfiguration_ = nullptr;
    QROwned<QRRESCList> configurations_;
    QROwned<QRRESCList> targets_;
};
