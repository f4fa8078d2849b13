#include "visual/targets/qr_visx_rendertarget.h"

#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/targets/qr_visx_rendertargetconfiguration.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/textures/qr_visx_texture.h"

#include <string>

namespace {

QRVISXRenderTargetManager* targetManager()
{
    auto* visual = qrVisual();
    return visual ? visual->getRenderTargetManager() : nullptr;
}

std::string renderBufferFormatName(GLenum format)
{
    switch (format) {
    case GL_RGB:
        return "GL_RGB";
    case GL_RGBA:
        return "GL_RGBA";
    case GL_RGB16F_ARB:
        return "GL_RGB16F_ARB";
    case GL_RGBA16F_ARB:
        return "GL_RGBA16F_ARB";
    case GL_RGB32F_ARB:
        return "GL_RGB32F_ARB";
    case GL_RGBA32F_ARB:
        return "GL_RGBA32F_ARB";
    case GL_DEPTH_COMPONENT16:
        return "GL_DEPTH_COMPONENT16";
    case GL_DEPTH_COMPONENT24:
        return "GL_DEPTH_COMPONENT24";
    case GL_DEPTH_COMPONENT32:
        return "GL_DEPTH_COMPONENT32";
    case GL_STENCIL_INDEX8_EXT:
        return "GL_STENCIL_INDEX_EXT";
    default:
        return "unknown format";
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------

QRVISXRenderTarget::QRVISXRenderTarget(QRObject* owner, std::string_view name) : QRObject(owner, name) {}

QRVISXRenderTarget::~QRVISXRenderTarget()
{
    // A configuration must not keep a slot pointing at a target that is gone.
    if (auto* manager = targetManager())
        manager->forgetTargetInConfigurations(this);
}

GLenum QRVISXRenderTarget::getAttachmentPoint() const
{
    switch (targetType_) {
    case kTypeColor:
        return GL_COLOR_ATTACHMENT0_EXT + static_cast<GLenum>(attachmentIndex_);
    case kTypeDepth:
        return GL_DEPTH_ATTACHMENT_EXT;
    case kTypeStencil:
        return GL_STENCIL_ATTACHMENT_EXT;
    default:
        reportError("bindToRenderTargetConfiguration", "Undefined rendertarget type");
        return GL_COLOR_ATTACHMENT0_EXT;
    }
}

template <class Detach>
void QRVISXRenderTarget::detachFromConfiguration(Detach detach)
{
    QRVISXRenderTargetConfiguration* configuration = configuration_;
    if (!configuration)
        return;
    configuration_ = nullptr;
    // The frame buffer object of another GL context cannot be reached from this one; it went (or
    // goes) with its context.
    if (!configuration->ownsCurrentFrameBuffer())
        return;
    QRVISXGL& gl = qrGL();
    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(configuration->getFrameBufferId()));
    detach(gl, getAttachmentPoint());
    auto* manager = targetManager();
    QRVISXRenderTargetConfiguration* bound = manager ? manager->getBoundConfiguration() : nullptr;
    if (bound == configuration)
        return;
    const bool boundIsReachable = bound && bound->getFrameBufferId() >= 0 && bound->ownsCurrentFrameBuffer();
    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, boundIsReachable ? static_cast<GLuint>(bound->getFrameBufferId()) : 0);
}

// ---------------------------------------------------------------------------------------------

QRVISXRenderTargetBuffer::QRVISXRenderTargetBuffer(QRObject* owner, std::string_view name)
    : QRVISXRenderTarget(owner, name)
{
}

QRVISXRenderTargetBuffer::~QRVISXRenderTargetBuffer()
{
    release();
}

void QRVISXRenderTargetBuffer::release()
{
    if (glId_ == 0)
        return;
    unbind();
    qrGL().deleteRenderbuffer(glId_);
    glId_ = 0;
    valid_ = false;
    logDebug("Deleting Render Target " + quotedName());
}

GLenum QRVISXRenderTargetBuffer::calculateInternalFormat() const
{
    const bool rgba = pixelFormat_ == kPixelRGBA;
    const bool knownPixelFormat = pixelFormat_ == kPixelRGB || pixelFormat_ == kPixelRGBA;
    switch (targetType_) {
    case kTypeColor:
        if (!knownPixelFormat)
            break;
        if (dataFormat_ == kData8)
            return rgba ? GL_RGBA : GL_RGB;
        if (dataFormat_ == kData16)
            return rgba ? GL_RGBA16F_ARB : GL_RGB16F_ARB;
        if (dataFormat_ == kData32)
            return rgba ? GL_RGBA32F_ARB : GL_RGB32F_ARB;
        break;
    case kTypeDepth:
        if (dataFormat_ == kData16)
            return GL_DEPTH_COMPONENT16;
        if (dataFormat_ == kData24)
            return GL_DEPTH_COMPONENT24;
        if (dataFormat_ == kData32)
            return GL_DEPTH_COMPONENT32;
        break;
    case kTypeStencil:
        // Render buffers take a sized stencil format only.
        return GL_STENCIL_INDEX8_EXT;
    default:
        break;
    }
    reportError("calculateInternalFormat", "Undefined combination of type, data format and pixel format");
    return GL_RGB;
}

bool QRVISXRenderTargetBuffer::generate(int type, int dataFormat, int height, int width, int pixelFormat)
{
    release();
    QRVISXGL& gl = qrGL();
    auto* manager = targetManager();
    const GLuint id = manager && manager->isFrameBufferSupported() ? gl.genRenderbuffer() : 0;
    if (id == 0) {
        reportError("generate", "Could not generate render buffer.");
        return false;
    }
    glId_ = id;
    targetType_ = type;
    dataFormat_ = dataFormat;
    pixelFormat_ = pixelFormat;
    width_ = width;
    height_ = height;
    const GLenum format = calculateInternalFormat();
    logDebug("Render Buffer " + quotedName() + " created");
    gl.bindRenderbuffer(GL_RENDERBUFFER_EXT, glId_);
    gl.renderbufferStorage(GL_RENDERBUFFER_EXT, format, width, height);
    const bool known = gl.isRenderbuffer(glId_);
    gl.bindRenderbuffer(GL_RENDERBUFFER_EXT, 0);
    if (!known) {
        reportError("generate", "Render buffer not created correctly");
        return false;
    }
    logDebug("Render Buffer info:  Format: " + renderBufferFormatName(format) + "  Size: " + std::to_string(width) +
             "*" + std::to_string(height));
    valid_ = true;
    return true;
}

void QRVISXRenderTargetBuffer::bindToRenderTargetConfiguration(QRVISXRenderTargetConfiguration* configuration,
                                                               int index, int height, int width)
{
    unbind();
    if (!configuration || configuration->getFrameBufferId() < 0)
        return;
    QRVISXGL& gl = qrGL();
    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(configuration->getFrameBufferId()));
    if (width != width_ || height != height_)
        valid_ = false;
    // Made again before the configuration is remembered: generating releases, and releasing
    // detaches whatever this target is attached to.
    if (!valid_ || !gl.isRenderbuffer(glId_))
        generate(targetType_, dataFormat_, height, width, pixelFormat_);
    configuration_ = configuration;
    attachmentIndex_ = index;
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER_EXT, getAttachmentPoint(), GL_RENDERBUFFER_EXT, glId_);
}

void QRVISXRenderTargetBuffer::unbind()
{
    detachFromConfiguration([](QRVISXGL& gl, GLenum attachment) {
        gl.framebufferRenderbuffer(GL_FRAMEBUFFER_EXT, attachment, GL_RENDERBUFFER_EXT, 0);
    });
}

// ---------------------------------------------------------------------------------------------

QRVISXRenderTargetTexture::QRVISXRenderTargetTexture(QRObject* owner, std::string_view name)
    : QRVISXRenderTarget(owner, name)
{
}

QRVISXRenderTargetTexture::~QRVISXRenderTargetTexture()
{
    unbind();
    freeTexture();
}

void QRVISXRenderTargetTexture::freeTexture()
{
    if (!texture_)
        return;
    logDebug("Deleting Render Target Texture: " + quotedName());
    texture_.reset();
    glId_ = 0;
    valid_ = false;
}

bool QRVISXRenderTargetTexture::generate(int type, int dataFormat, int height, int width, int pixelFormat)
{
    targetType_ = type;
    dataFormat_ = dataFormat;
    pixelFormat_ = pixelFormat;
    width_ = width;
    height_ = height;
    valid_ = false;

    int textureDataFormat = -1;
    if (dataFormat == kData8 || dataFormat == kData16 || dataFormat == kData32)
        textureDataFormat = dataFormat;
    int texturePixelFormat = -1;
    if (pixelFormat == kPixelRGB)
        texturePixelFormat = QRVISXTexture2::kPixelRGB;
    else if (pixelFormat == kPixelRGBA)
        texturePixelFormat = QRVISXTexture2::kPixelRGBA;
    // Only colour textures are made; a depth or stencil surface is a render buffer.
    if (type != kTypeColor || textureDataFormat < 0 || texturePixelFormat < 0) {
        reportError("generate", "No texture data or pixel format specified");
        return false;
    }

    freeTexture();
    logDebug("Creating Render Target Texture: " + quotedName());
    texture_ = qrNew<QRVISXTexture2>(this);
    texture_->setName(getName());
    texture_->setFilter(filter_);
    texture_->setClamp(true, true);
    texture_->setMipmapping(mipmapping_);
    texture_->setCompression(false);
    texture_->generateEmptyTexture(textureDataFormat, texturePixelFormat, width, height, 0.0f);
    const GLint id = texture_->getGLTextureId();
    glId_ = id > 0 ? static_cast<GLuint>(id) : 0;
    // A texture that could not be uploaded stays invalid and is tried again at the next bind.
    valid_ = glId_ != 0;
    return valid_;
}

void QRVISXRenderTargetTexture::setFilter(int filter)
{
    filter_ = filter;
    valid_ = false;
}

void QRVISXRenderTargetTexture::bindToRenderTargetConfiguration(QRVISXRenderTargetConfiguration* configuration,
                                                                int index, int height, int width)
{
    unbind();
    if (!configuration || configuration->getFrameBufferId() < 0)
        return;
    if (!texture_ && !generate(targetType_, dataFormat_, height, width, pixelFormat_)) {
        reportError("bindToRenderTargetConfiguration", "Could not create render target texture");
        return;
    }
    if (width != width_ || height != height_)
        valid_ = false;
    if (!texture_ || texture_->getGLTextureId() <= 0 || !valid_)
        generate(targetType_, dataFormat_, height, width, pixelFormat_);
    configuration_ = configuration;
    attachmentIndex_ = index;
    QRVISXGL& gl = qrGL();
    gl.bindFramebuffer(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(configuration->getFrameBufferId()));
    gl.framebufferTexture2D(GL_FRAMEBUFFER_EXT, getAttachmentPoint(), GL_TEXTURE_2D, glId_, 0);
}

void QRVISXRenderTargetTexture::unbind()
{
    detachFromConfiguration([](QRVISXGL& gl, GLenum attachment) {
        gl.framebufferTexture2D(GL_FRAMEBUFFER_EXT, attachment, GL_TEXTURE_2D, 0, 0);
    });
}
