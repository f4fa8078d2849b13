#pragma once
// Texture capabilities of the driver and the cache of texture-unit bindings: materials request a
// texture per unit, applyTextures binds only what changed. Also uploads pictures into OpenGL
// textures. Owned by the material manager.

#include "core/qr_core_object.h"

#include <GL/glew.h>

#include <array>
#include <string_view>

class QRRESCImage2;
class QRVISXTexture;
class QRVISXTexture2;

class QRVISXTextureManager : public QRObject {
public:
    static constexpr int kUnitSlots = 16;
    // Cache entry for a unit with nothing bound.
    static constexpr GLint kNone = -1;

    explicit QRVISXTextureManager(QRObject* owner);
    // Needs a current context: loads the texture extensions and reads the driver's limits.
    void initialize() override;

    void lock() { locked_ = true; }
    void unlock() { locked_ = false; }
    bool isLocked() const { return locked_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }

    // Every unit unbound and disabled, the cache emptied; after each context activation.
    void resetAllTextures();
    // Drops every request; units not requested again are disabled at the next apply. Unless locked.
    void resetTextures();
    // The texture to bind on unit at the next applyTextures (null: none); unless locked.
    void requestTexture(const QRVISXTexture2* texture, int unit);
    // Binds what was requested where it differs from what is bound (everywhere when forced), on
    // the units the hardware has, at most 16.
    void applyTextures(bool force);

    // The OpenGL internal format for texture data and pixel formats; -1 (reported) when the table
    // has none.
    GLint getTextureComponents(int dataFormat, int pixelFormat, bool compressed) const;
    // Creates the OpenGL texture of texture from image (null: no data, as for depth textures that
    // are copied from the read buffer) and applies its sampling parameters.
    void generateTextureContentsInGL(QRVISXTexture2& texture, const QRRESCImage2* image);
    // Deletes the OpenGL texture if OpenGL still knows it; the texture is left without one.
    void deleteTexture(QRVISXTexture& texture);
    // Filter, anisotropy and wrapping of an uploaded texture, sent at once.
    void applyTextureParameters(const QRVISXTexture2& texture);

    int getMaxTextureSize() const { return maxTextureSize_; }
    int getMaxTexelUnits() const { return maxTexelUnits_; }
    int getMaxAnisotropy() const { return maxAnisotropy_; }
    // The degree textures made from now on take: the maximum, or 1 on a software renderer.
    int getAnisotropyDegree() const { return anisotropyDegree_; }
    // Clamped to 1 .. the maximum (1 without the extension).
    void setAnisotropyDegree(int degree);
    // Whether an OpenGL renderer name is one of the known software rasterizers.
    static bool isSoftwareRenderer(std::string_view renderer);
    bool isGenerateMipmapSupported() const { return generateMipmapSupported_; }
    bool isNonPowerOfTwoSupported() const { return nonPowerOfTwoSupported_; }
    bool isFloatTexturesSupported() const { return floatTexturesSupported_; }
    bool isTexture3DSupported() const { return texture3DSupported_; }
    bool isCompressionSupported() const { return compressionSupported_; }
    bool isS3TCSupported() const { return s3tcSupported_; }
    // The cache: what was last bound on a unit, and what the next applyTextures binds there.
    GLint getBoundTexture(int unit) const;
    GLint getRequestedTexture(int unit) const;

private:
    // Cache entry for a unit whose binding the cache no longer knows.
    static constexpr GLint kUnknown = -2;

    int unitCount() const;
    void selectUnit(int unit);
    void setTexturing(int unit, bool enabled);
    // Binds id on unit 0 so that parameters and uploads reach it.
    void bindForEditing(GLuint id);
    void applyFilter(const QRVISXTexture2& texture);
    void applyAnisotropy(const QRVISXTexture2& texture);
    void applyWrapping(const QRVISXTexture2& texture);

    int maxTextureSize_ = 0;
    int maxTexelUnits_ = 0;
    // Units shaders can sample from; at least maxTexelUnits_.
    int imageUnits_ = 0;
    int maxAnisotropy_ = 0;
    bool multitextureSupported_ = false;
    bool edgeClampSupported_ = true;
    bool generateMipmapSupported_ = false;
    bool nonPowerOfTwoSupported_ = false;
    bool floatTexturesSupported_ = false;
    bool texture3DSupported_ = false;
    bool compressionSupported_ = false;
    bool s3tcSupported_ = false;
    std::array<GLint, kUnitSlots> boundTextures_{};
    std::array<GLint, kUnitSlots> requestedTextures_{};
    int anisotropyDegree_ = 1;
    bool enabled_ = true;
    bool locked_ = false;
};
