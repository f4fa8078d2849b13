#pragma once
// One frame buffer object with up to four colour targets, one depth and one stencil target, sized
// after a core device. Binding it redirects drawing into its targets; unbinding returns drawing to
// the current render context. Frame buffer objects are not shared between GL contexts, so a
// configuration remembers the context its object was made in and makes a new one when it is bound
// in another (a rebuilt "Main RC"). Made and owned by the render target manager.

#include "core/qr_core_object.h"

#include <GL/glew.h>

#include <array>
#include <cstdint>

class QRCOREDevice;
class QRVISXRenderTarget;
class QRVISXRenderTargetBuffer;
class QRVISXRenderTargetTexture;

class QRVISXRenderTargetConfiguration : public QRObject {
public:
    static constexpr int kColorSlots = 4;
    static constexpr int kDepthSlot = 4;
    static constexpr int kStencilSlot = 5;
    static constexpr int kSlotCount = 6;

    QRVISXRenderTargetConfiguration(QRObject* owner, QRCOREDevice* device, std::string_view name);
    ~QRVISXRenderTargetConfiguration() override;

    void generateFrameBufferObject();
    // Detaches and forgets every target, then deletes the frame buffer object.
    void deleteFrameBufferObject();

    void setColorTarget(QRVISXRenderTargetTexture* target);
    void setDepthTarget(QRVISXRenderTargetBuffer* target);
    // Clears every slot holding target, without calling OpenGL.
    void forgetTarget(const QRVISXRenderTarget* target);

    // Draws into the targets from now on, at the device's current size; nothing when already bound.
    void bind();
    // Back to the window of the current render context; only when this configuration is bound.
    void unbind();

    GLint getFrameBufferId() const { return frameBufferId_; }
    // Whether the frame buffer object was made in the GL context that is current now.
    bool ownsCurrentFrameBuffer() const;
    // Whether the current GL context can delete the object: its own, or one of another context
    // that the share group shares.
    bool isFrameBufferReachable() const;
    bool isValid() const { return valid_; }
    // Whether the driver answered the last bind with a complete frame buffer.
    bool isComplete() const { return lastStatus_ == GL_FRAMEBUFFER_COMPLETE_EXT; }
    QRCOREDevice* getDevice() const { return device_; }
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    QRVISXRenderTarget* getSlot(int slot) const;

private:
    // The frame buffer object belongs to another GL context: a new one for the current context
    // (the old one deleted where it is reachable); the bind that follows attaches the targets.
    void recreateForCurrentContext();
    void replaceSlot(int slot, QRVISXRenderTarget* target);
    void createFrameBuffer();
    void checkCompleteness();
    std::string quotedName() const { return "\"" + getName() + "\""; }

    GLint frameBufferId_ = -1;
    std::uint64_t frameBufferContext_ = 0;
    bool valid_ = false;
    QRCOREDevice* device_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::array<QRVISXRenderTarget*, kSlotCount> slots_{};
    GLenum lastStatus_ = 0;
};
