#pragma once
// The surfaces a render target configuration draws into: a render buffer (depth or stencil, never
// sampled) or a colour texture that materials sample afterwards. Targets are made and owned by the
// render target manager and attached to a configuration's frame buffer object while it is bound.

#include "core/qr_core_object.h"

#include <GL/glew.h>

class QRVISXRenderTargetConfiguration;
class QRVISXTexture2;

class QRVISXRenderTarget : public QRObject {
public:
    // Target types.
    static constexpr int kTypeUndefined = -1;
    static constexpr int kTypeColor = 0;
    static constexpr int kTypeDepth = 1;
    static constexpr int kTypeStencil = 2;
    // Data formats (as for textures).
    static constexpr int kData8 = 0;
    static constexpr int kData16 = 1;
    static constexpr int kData24 = 2;
    static constexpr int kData32 = 3;
    // Pixel formats of colour targets.
    static constexpr int kPixelRGB = 0;
    static constexpr int kPixelRGBA = 1;

    QRVISXRenderTarget(QRObject* owner, std::string_view name);
    ~QRVISXRenderTarget() override;

    virtual void release() {}
    // Makes the surface anew with these parameters; false when it could not be made.
    virtual bool generate(int type, int dataFormat, int height, int width, int pixelFormat) = 0;
    // Attaches the surface to the configuration's frame buffer object (making it again first when
    // its size changed or it is invalid); the configuration's frame buffer stays bound.
    virtual void bindToRenderTargetConfiguration(QRVISXRenderTargetConfiguration* configuration, int index,
                                                 int height, int width) = 0;
    // Detaches the surface from the configuration it is attached to, if any.
    virtual void unbind() = 0;

    // The configuration's frame buffer object is gone (it lived in another GL context): the
    // attachment is forgotten without calling OpenGL.
    void forgetConfiguration() { configuration_ = nullptr; }

    GLuint getGLId() const { return glId_; }
    int getTargetType() const { return targetType_; }
    int getDataFormat() const { return dataFormat_; }
    int getPixelFormat() const { return pixelFormat_; }
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    bool isValid() const { return valid_; }
    QRVISXRenderTargetConfiguration* getConfiguration() const { return configuration_; }
    int getAttachmentIndex() const { return attachmentIndex_; }
    // Colour attachment 0 + index, the depth or the stencil attachment.
    GLenum getAttachmentPoint() const;

protected:
    // Binds the configuration's frame buffer, lets detach clear the attachment point, forgets the
    // configuration and binds again what the manager has bound, so that detaching never leaves
    // drawing redirected.
    template <class Detach>
    void detachFromConfiguration(Detach detach);
    std::string quotedName() const { return "\"" + getName() + "\""; }

    GLuint glId_ = 0;
    int targetType_ = kTypeUndefined;
    int dataFormat_ = kData8;
    int pixelFormat_ = kPixelRGBA;
    int width_ = 0;
    int height_ = 0;
    bool valid_ = false;
    QRVISXRenderTargetConfiguration* configuration_ = nullptr;
    int attachmentIndex_ = 0;
};

// A render buffer: depth or stencil for a configuration, or a colour surface that is only drawn to.
class QRVISXRenderTargetBuffer : public QRVISXRenderTarget {
public:
    QRVISXRenderTargetBuffer(QRObject* owner, std::string_view name);
    ~QRVISXRenderTargetBuffer() override;

    void release() override;
    bool generate(int type, int dataFormat, int height, int width, int pixelFormat) override;
    void bindToRenderTargetConfiguration(QRVISXRenderTargetConfiguration* configuration, int index, int height,
                                         int width) override;
    void unbind() override;

    // The render buffer's internal format for the stored type, data and pixel format.
    GLenum calculateInternalFormat() const;
};

// A colour texture drawn into by a configuration and sampled by materials afterwards. Owns its
// texture; fetch it with getTexture after binding, since a size or filter change makes it anew.
class QRVISXRenderTargetTexture : public QRVISXRenderTarget {
public:
    QRVISXRenderTargetTexture(QRObject* owner, std::string_view name);
    ~QRVISXRenderTargetTexture() override;

    bool generate(int type, int dataFormat, int height, int width, int pixelFormat) override;
    void bindToRenderTargetConfiguration(QRVISXRenderTargetConfiguration* configuration, int index, int height,
                                         int width) override;
    void unbind() override;

    // Takes effect when the texture is made again, at the next bind.
    void setFilter(int filter);
    void setMipmapping(bool mipmapping) { mipmapping_ = mipmapping; }
    int getFilter() const { return filter_; }
    bool getMipmapping() const { return mipmapping_; }
    QRVISXTexture2* getTexture() const { return texture_.get(); }

private:
    void freeTexture();

    QROwned<QRVISXTexture2> texture_;
    int filter_ = 0;
    bool mipmapping_ = false;
};
