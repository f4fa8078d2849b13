#include "visual/textures/qr_visx_texturemanager.h"

#include "core/qr_core_log.h"
#include "core/qr_util_strings.h"
#include "resource/qr_resc_image.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/textures/qr_visx_mipmapchain.h"
#include "visual/textures/qr_visx_texture.h"

#include <algorithm>
#include <exception>

namespace {

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

const char* boolText(bool value)
{
    return value ? "TRUE" : "FALSE";
}

// Level 0 of the bound texture and every level below it, shrunk here: the driver's own mipmap
// generation compiles a shader per pixel format on software renderers, at start-up.
void uploadWithMipmaps(GLint internalFormat, int width, int height, GLenum format, int components,
                       const std::uint8_t* texels)
{
    qrGL().texImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, GL_UNSIGNED_BYTE, texels);
    const QRVISXMipmapChain chain(texels, width, height, components);
    for (int index = 0; index < chain.getLevelCount(); ++index) {
        const QRVISXMipmapChain::Level level = chain.getLevel(index);
        qrGL().texImage2D(GL_TEXTURE_2D, index + 1, internalFormat, level.width, level.height, 0, format,
                          GL_UNSIGNED_BYTE, level.texels);
    }
}

std::string formatName(GLint format)
{
    switch (format) {
    case GL_STENCIL_INDEX:
        return "GL_STENCIL_INDEX";
    case GL_DEPTH_COMPONENT:
        return "GL_DEPTH_COMPONENT";
    case GL_RGB:
        return "GL_RGB";
    case GL_RGBA:
        return "GL_RGBA";
    case GL_LUMINANCE:
        return "GL_LUMINANCE";
    case GL_DEPTH_COMPONENT16:
        return "GL_DEPTH_COMPONENT16";
    case GL_DEPTH_COMPONENT24:
        return "GL_DEPTH_COMPONENT24";
    case GL_DEPTH_COMPONENT32:
        return "GL_DEPTH_COMPONENT32";
    case GL_COMPRESSED_LUMINANCE:
        return "GL_COMPRESSED_LUMINANCE";
    case GL_COMPRESSED_RGB:
        return "GL_COMPRESSED_RGB";
    case GL_COMPRESSED_RGBA:
        return "GL_COMPRESSED_RGBA";
    case GL_RGBA32F_ARB:
        return "GL_RGBA32F_ARB";
    case GL_RGB32F_ARB:
        return "GL_RGB32F_ARB";
    case GL_LUMINANCE32F_ARB:
        return "GL_LUMINANCE32F_ARB";
    case GL_RGBA16F_ARB:
        return "GL_RGBA16F_ARB";
    case GL_RGB16F_ARB:
        return "GL_RGB16F_ARB";
    case GL_LUMINANCE16F_ARB:
        return "GL_LUMINANCE16F_ARB";
    default:
        return "unknown format";
    }
}

// Formats that are filled from the read buffer instead of from picture data.
bool isCopiedFromReadBuffer(GLint format)
{
    return format == GL_STENCIL_INDEX || format == GL_DEPTH_COMPONENT || format == GL_DEPTH_COMPONENT16 ||
           format == GL_DEPTH_COMPONENT24 || format == GL_DEPTH_COMPONENT32;
}

} // namespace

QRVISXTextureManager::QRVISXTextureManager(QRObject* owner) : QRObject(owner, "QR VISX Texture Manager")
{
    boundTextures_.fill(kNone);
    requestedTextures_.fill(kNone);
}

bool QRVISXTextureManager::isSoftwareRenderer(std::string_view renderer)
{
    const std::string name = QRUTILStrings::lowerCase(renderer);
    for (const char* software : {"llvmpipe", "softpipe", "software rasterizer", "swiftshader"})
        if (name.find(software) != std::string::npos)
            return true;
    return false;
}

void QRVISXTextureManager::setAnisotropyDegree(int degree)
{
    anisotropyDegree_ = std::clamp(degree, 1, std::max(1, maxAnisotropy_));
}

void QRVISXTextureManager::initialize()
{
    auto* visual = qrVisual();
    auto* extensions = visual ? visual->getExtensionManager() : nullptr;
    const auto load = [extensions](const char* name, bool required) {
        return extensions && extensions->loadExtension(name, required);
    };
    auto* log = qrLog();

    multitextureSupported_ = load("GL_ARB_multitexture", true);
    edgeClampSupported_ = extensions && (extensions->isSupported("GL_version_1_2") ||
                                         extensions->isSupported("GL_SGIS_texture_edge_clamp"));
    // Without multitexturing there is still the one unit OpenGL 1.1 has.
    GLint units = 1;
    if (multitextureSupported_)
        qrGL().getIntegerv(GL_MAX_TEXTURE_UNITS, &units);
    maxTexelUnits_ = std::max<GLint>(1, units);
    // Shaders sample from more units than fixed-function texturing can switch on (many drivers
    // offer 4 of the one and 16 of the other); the terrain needs seven.
    imageUnits_ = maxTexelUnits_;
    if (visual && visual->getExtensionManager()->getGLVersion() >= QRVISXExtensionManager::kGL20) {
        GLint imageUnits = 0;
        qrGL().getIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &imageUnits);
        imageUnits_ = std::max<GLint>(imageUnits_, imageUnits);
    }
    GLint size = 0;
    qrGL().getIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    maxTextureSize_ = size;
    if (log) {
        log->logInformation("Maximum texel units: " + std::to_string(maxTexelUnits_));
        log->logInformation("Maximum texture size: " + std::to_string(maxTextureSize_));
    }

    if (load("GL_EXT_texture_filter_anisotropic", false)) {
        GLfloat degree = 0.0f;
        qrGL().getFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &degree);
        maxAnisotropy_ = static_cast<int>(degree);
        if (log)
            log->logInformation("Maximum anisotropy degree: " + std::to_string(maxAnisotropy_));
        anisotropyDegree_ = std::max(1, maxAnisotropy_);
        // A software rasterizer leaves its vectorised sampling for any degree above 1 and filters
        // pixel by pixel, which made the terrain alone take seconds a frame; there new textures
        // filter trilinearly unless the program asks for more (setAnisotropyDegree).
        if (isSoftwareRenderer(qrGL().getString(GL_RENDERER))) {
            anisotropyDegree_ = 1;
            if (log)
                log->logInformation("Software renderer: anisotropic filtering off");
        }
    }
    generateMipmapSupported_ = load("GL_SGIS_generate_mipmap", false);
    nonPowerOfTwoSupported_ = load("GL_ARB_texture_non_power_of_two", false);

    load("GL_ARB_texture_cube_map", true);
    texture3DSupported_ = load("GL_EXT_texture3D", false);
    floatTexturesSupported_ = load("GL_ARB_texture_float", false);

    compressionSupported_ = load("GL_ARB_texture_compression", false);
    s3tcSupported_ = load("GL_EXT_texture_compression_s3tc", false);
}

int QRVISXTextureManager::unitCount() const
{
    // Units beyond the hardware's answer with OpenGL errors, and the cache has only 16 slots.
    return std::clamp(imageUnits_, 0, kUnitSlots);
}

void QRVISXTextureManager::setTexturing(int unit, bool enabled)
{
    // Fixed-function texturing exists only on the first units; beyond them only shaders sample,
    // and switching it there is an OpenGL error.
    if (unit >= maxTexelUnits_)
        return;
    if (enabled)
        qrGL().enable(GL_TEXTURE_2D);
    else
        qrGL().disable(GL_TEXTURE_2D);
}

void QRVISXTextureManager::selectUnit(int unit)
{
    // glActiveTexture exists only with multitexturing; without it unit 0 is the only one.
    if (multitextureSupported_)
        qrGL().activeTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
}

GLint QRVISXTextureManager::getBoundTexture(int unit) const
{
    return unit >= 0 && unit < kUnitSlots ? boundTextures_[static_cast<std::size_t>(unit)] : kNone;
}

GLint QRVISXTextureManager::getRequestedTexture(int unit) const
{
    return unit >= 0 && unit < kUnitSlots ? requestedTextures_[static_cast<std::size_t>(unit)] : kNone;
}

void QRVISXTextureManager::resetAllTextures()
{
    for (int unit = 0; unit < unitCount(); ++unit) {
        selectUnit(unit);
        qrGL().bindTexture(GL_TEXTURE_2D, 0);
        setTexturing(unit, false);
    }
    boundTextures_.fill(kNone);
    requestedTextures_.fill(kNone);
    if (unitCount() > 0)
        selectUnit(0);
}

void QRVISXTextureManager::resetTextures()
{
    if (locked_)
        return;
    // Only the requests are dropped: applyTextures disables the units nobody asks for again and
    // keeps the bindings that the next material requests anyway, so consecutive materials sharing
    // textures (every material script starts with a reset) cost no binds.
    requestedTextures_.fill(kNone);
}

void QRVISXTextureManager::requestTexture(const QRVISXTexture2* texture, int unit)
{
    // Units come from scripts; one outside the cache is ignored rather than written past it.
    if (locked_ || unit < 0 || unit >= kUnitSlots)
        return;
    requestedTextures_[static_cast<std::size_t>(unit)] = texture ? texture->getGLTextureId() : kNone;
}

void QRVISXTextureManager::applyTextures(bool force)
{
    if (locked_ || !enabled_)
        return;
    for (int unit = 0; unit < unitCount(); ++unit) {
        const auto slot = static_cast<std::size_t>(unit);
        const GLint requested = requestedTextures_[slot];
        if (!force && requested == boundTextures_[slot])
            continue;
        selectUnit(unit);
        if (requested <= 0) {
            setTexturing(unit, false);
            // Remembered as unbound, so that requesting the previous texture again enables and
            // binds it instead of being taken for a binding that is still in force.
            boundTextures_[slot] = kNone;
        } else {
            setTexturing(unit, true);
            qrGL().bindTexture(GL_TEXTURE_2D, static_cast<GLuint>(requested));
            boundTextures_[slot] = requested;
        }
    }
}

GLint QRVISXTextureManager::getTextureComponents(int dataFormat, int pixelFormat, bool compressed) const
{
    constexpr GLint kUndefined = -1;
    // Rows: data formats 8, 16, 24 and 32 bit; columns: luminance, RGB, RGBA, depth, stencil.
    static constexpr GLint kTable[4][5] = {
        {GL_LUMINANCE, GL_RGB, GL_RGBA, kUndefined, GL_STENCIL_INDEX},
        {GL_LUMINANCE16F_ARB, GL_RGB16F_ARB, GL_RGBA16F_ARB, GL_DEPTH_COMPONENT16, GL_STENCIL_INDEX},
        {kUndefined, kUndefined, kUndefined, GL_DEPTH_COMPONENT24, GL_STENCIL_INDEX},
        {GL_LUMINANCE32F_ARB, GL_RGB32F_ARB, GL_RGBA32F_ARB, GL_DEPTH_COMPONENT32, GL_STENCIL_INDEX},
    };
    static constexpr GLint kCompressed[5] = {GL_COMPRESSED_LUMINANCE, GL_COMPRESSED_RGB, GL_COMPRESSED_RGBA,
                                             kUndefined, GL_STENCIL_INDEX};
    GLint format = kUndefined;
    if (dataFormat >= 0 && dataFormat < 4 && pixelFormat >= 0 && pixelFormat < 5)
        format = dataFormat == 0 && compressed ? kCompressed[pixelFormat] : kTable[dataFormat][pixelFormat];
    if (format == kUndefined)
        reportError("getTextureComponents", "Undefined data or pixel format!");
    return format;
}

void QRVISXTextureManager::bindForEditing(GLuint id)
{
    selectUnit(0);
    qrGL().bindTexture(GL_TEXTURE_2D, id);
    // Unit 0 now holds this texture, with 2D texturing on or off; the next applyTextures must
    // bind and enable (or disable) it afresh instead of trusting the cache.
    boundTextures_[0] = kUnknown;
}

void QRVISXTextureManager::generateTextureContentsInGL(QRVISXTexture2& texture, const QRRESCImage2* image)
{
    constexpr GLenum kUndefined = 0;
    try {
        logDebug("Uploading Texture to GL: " + quoted(texture.getName()));

        const void* data = nullptr;
        std::size_t available = 0;
        GLenum type = GL_UNSIGNED_BYTE;
        GLenum sourceFormat = GL_RGB;
        if (image && image->isValid()) {
            if (image->getDataFormat() == QRRESCImage2::kDataByte) {
                data = image->getByteData().data();
                available = image->getByteData().size();
            } else if (image->getDataFormat() == QRRESCImage2::kDataFloat) {
                data = image->getFloatData().data();
                available = image->getFloatData().size();
                type = GL_FLOAT;
            } else {
                reportError("generateTextureContentsInGL", "Undefined data format for source image!");
                return;
            }
            switch (image->getPixelFormat()) {
            case QRRESCImage2::kPixelLuminance:
                // Luminance, not alpha: an alpha source leaves a luminance texture black.
                sourceFormat = GL_LUMINANCE;
                break;
            case QRRESCImage2::kPixelRGB:
                sourceFormat = GL_RGB;
                break;
            case QRRESCImage2::kPixelRGBA:
                sourceFormat = GL_RGBA;
                break;
            default:
                sourceFormat = kUndefined;
                break;
            }
        }
        // Compressed formats are asked for only where the driver knows them.
        const bool compressed = texture.getCompression() && compressionSupported_;
        // Float colour components only where the driver has float textures; elsewhere the
        // texture keeps 8 bits per component (depth formats are no float textures).
        const bool floatColour = (texture.getDataFormat() == QRVISXTexture2::kData16 ||
                                  texture.getDataFormat() == QRVISXTexture2::kData32) &&
                                 texture.getPixelFormat() >= QRVISXTexture2::kPixelLuminance &&
                                 texture.getPixelFormat() <= QRVISXTexture2::kPixelRGBA;
        const int dataFormat = floatColour && !floatTexturesSupported_ ? QRVISXTexture2::kData8 : texture.getDataFormat();
        const GLint internalFormat = getTextureComponents(dataFormat, texture.getPixelFormat(), compressed);
        const int width = texture.getWidth();
        const int height = texture.getHeight();
        // OpenGL reads width x height pixels of the source format from the data; never more than
        // the image holds.
        const std::size_t channels = sourceFormat == GL_RGBA ? 4 : sourceFormat == GL_RGB ? 3 : 1;
        const bool dataFits =
            !data || (width >= 0 && height >= 0 &&
                      static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * channels <= available);
        if (internalFormat == -1 || sourceFormat == kUndefined || !dataFits) {
            reportError("generateTextureContentsInGL", "Some parameters have not been defined!");
            return;
        }

        const GLuint id = qrGL().genTexture();
        if (id == 0) {
            reportError("generateTextureContentsInGL", "An error occured while generating a GL texture");
            return;
        }
        bindForEditing(id);
        texture.setGLTextureId(static_cast<GLint>(id));

        qrGL().pixelStorei(GL_UNPACK_ALIGNMENT, 1);
        if (isCopiedFromReadBuffer(internalFormat)) {
            qrGL().copyTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLenum>(internalFormat), 0, 0, width, height, 0);
        } else if (!texture.getMipmapping()) {
            qrGL().texImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, sourceFormat, type, data);
        } else if (data && type == GL_UNSIGNED_BYTE) {
            uploadWithMipmaps(internalFormat, width, height, sourceFormat, static_cast<int>(channels),
                              static_cast<const std::uint8_t*>(data));
        } else if (generateMipmapSupported_) {
            qrGL().texParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP_SGIS, GL_TRUE);
            qrGL().texImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, sourceFormat, type, data);
            qrGL().texParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP_SGIS, GL_FALSE);
        } else {
            qrGL().build2DMipmaps(GL_TEXTURE_2D, internalFormat, width, height, sourceFormat, type, data);
        }
        qrGL().pixelStorei(GL_UNPACK_ALIGNMENT, 4);

        logDebug("Texture info:  Format: " + formatName(internalFormat) + "  Size: " + std::to_string(width) + "*" +
                 std::to_string(height) + "  Mipmapping: " + boolText(texture.getMipmapping()) +
                 "  Compression: " + boolText(compressed));
        applyTextureParameters(texture);
    } catch (const std::exception&) {
        reportError("generateTextureContentsInGL", "An error occured while generating a GL texture");
    }
}

void QRVISXTextureManager::deleteTexture(QRVISXTexture& texture)
{
    const GLint id = texture.getGLTextureId();
    if (id > 0) {
        if (qrGL().isTexture(static_cast<GLuint>(id)))
            qrGL().deleteTexture(static_cast<GLuint>(id));
        // OpenGL unbinds a deleted texture everywhere, and may hand its id out again: the cache
        // must neither skip binding a new texture with that id nor bind the dead one.
        for (std::size_t unit = 0; unit < kUnitSlots; ++unit) {
            if (boundTextures_[unit] == id)
                boundTextures_[unit] = kUnknown;
            if (requestedTextures_[unit] == id)
                requestedTextures_[unit] = kNone;
        }
    }
    texture.setGLTextureId(QRVISXTexture::kNoTexture);
}

void QRVISXTextureManager::applyTextureParameters(const QRVISXTexture2& texture)
{
    if (texture.getGLTextureId() <= 0)
        return;
    // The parameters go to the texture bound on the active unit, so this texture is bound first.
    bindForEditing(static_cast<GLuint>(texture.getGLTextureId()));
    applyFilter(texture);
    applyAnisotropy(texture);
    applyWrapping(texture);
}

void QRVISXTextureManager::applyFilter(const QRVISXTexture2& texture)
{
    GLint minification = GL_NEAREST;
    GLint magnification = GL_NEAREST;
    switch (texture.getFilter()) {
    case QRVISXTexture2::kFilterLinear:
        minification = magnification = GL_LINEAR;
        break;
    case QRVISXTexture2::kFilterMipmapping:
        magnification = GL_LINEAR;
        minification = GL_LINEAR_MIPMAP_NEAREST;
        break;
    case QRVISXTexture2::kFilterTrilinear:
        magnification = GL_LINEAR;
        minification = GL_LINEAR_MIPMAP_LINEAR;
        break;
    default:
        break;
    }
    // A mipmap filter on a texture uploaded without mipmaps makes it incomplete, and OpenGL then
    // draws as if it were not there.
    if (!texture.getMipmapping() && minification != GL_NEAREST)
        minification = GL_LINEAR;
    qrGL().texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minification);
    qrGL().texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnification);
}

void QRVISXTextureManager::applyAnisotropy(const QRVISXTexture2& texture)
{
    if (maxAnisotropy_ <= 0)
        return;
    // Unfiltered textures stay unfiltered; values outside what the driver accepts are errors there.
    const int degree =
        texture.getFilter() == QRVISXTexture2::kFilterNone ? 1 : std::clamp(texture.getAnisotropy(), 1, maxAnisotropy_);
    qrGL().texParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, static_cast<GLfloat>(degree));
}

void QRVISXTextureManager::applyWrapping(const QRVISXTexture2& texture)
{
    // Edge clamping is core from OpenGL 1.2; OpenGL 1.1 clamps to the border instead.
    const GLint clamp = edgeClampSupported_ ? GL_CLAMP_TO_EDGE : GL_CLAMP;
    qrGL().texParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, texture.getHorizontalClamp() ? clamp : GL_REPEAT);
    qrGL().texParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, texture.getVerticalClamp() ? clamp : GL_REPEAT);
}
