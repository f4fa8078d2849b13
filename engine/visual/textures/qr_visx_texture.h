#pragma once
// OpenGL textures. QRVISXTexture2 is a 2D texture made from a picture file (with the optional
// ".texture" script beside it) or generated empty; file-loaded textures are shared assets
// (qrAssets()->acquire<QRVISXTexture2>(path)), render targets own theirs. The OpenGL texture is
// freed when the texture is cleared or destroyed.

#include "resource/qr_resc_main.h"

#include <GL/glew.h>

#include <cstdint>
#include <string>

class QRRESCImage2;

class QRVISXTexture : public QRRESCMain {
public:
    static constexpr GLint kNoTexture = -1;

    QRVISXTexture(QRObject* owner, std::string_view name);

    bool isEmpty() const override { return glTextureId_ == kNoTexture; }
    GLint getGLTextureId() const { return glTextureId_; }
    // Set by the texture manager when it creates or deletes the OpenGL texture.
    void setGLTextureId(GLint id) { glTextureId_ = id; }

private:
    GLint glTextureId_ = kNoTexture;
};

class QRVISXTexture2 : public QRVISXTexture {
public:
    static constexpr int kFormatUndefined = -1;
    // Texture data formats.
    static constexpr int kData8 = 0;
    static constexpr int kData16 = 1;
    static constexpr int kData24 = 2;
    static constexpr int kData32 = 3;
    // Texture pixel formats.
    static constexpr int kPixelLuminance = 0;
    static constexpr int kPixelRGB = 1;
    static constexpr int kPixelRGBA = 2;
    static constexpr int kPixelDepth = 3;
    static constexpr int kPixelStencil = 4;
    // Filters.
    static constexpr int kFilterNone = 0;
    static constexpr int kFilterLinear = 1;
    static constexpr int kFilterMipmapping = 2;
    static constexpr int kFilterTrilinear = 3;

    explicit QRVISXTexture2(QRObject* owner);
    ~QRVISXTexture2() override;

    // Frees the OpenGL texture; the settings stay.
    void clear() override;
    // Loads the picture (rows bottom-up, as OpenGL wants them) after the ".texture" script beside it.
    void loadFromFile(const std::string& fileName) override;
    // A picture that fails to load keeps the texture as it was.
    void updateFromFile() override;
    // The ".texture" script beside the picture belongs to the texture.
    bool usesFile(std::uint32_t fileID) const override;

    // Uploads image, padded to powers of two where the hardware needs them; image may be changed.
    void generateFromImage(QRRESCImage2& image);
    // A texture of the given texture formats with every component fillValue; render targets use it.
    void generateEmptyTexture(int dataFormat, int pixelFormat, int width, int height, float fillValue);

    // These re-apply the sampling parameters at once when an OpenGL texture exists.
    void setFilter(int filter);
    void setAnisotropy(int anisotropy);
    void setClamp(bool horizontal, bool vertical);
    void setHorizontalClamp(bool clamp);
    void setVerticalClamp(bool clamp);
    // These take effect at the next upload.
    void setMipmapping(bool mipmapping) { mipmapping_ = mipmapping; }
    void setCompression(bool compression) { compression_ = compression; }

    int getDataFormat() const { return dataFormat_; }
    int getPixelFormat() const { return pixelFormat_; }
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    int getFilter() const { return filter_; }
    int getAnisotropy() const { return anisotropy_; }
    bool getHorizontalClamp() const { return horizontalClamp_; }
    bool getVerticalClamp() const { return verticalClamp_; }
    bool getMipmapping() const { return mipmapping_; }
    bool getCompression() const { return compression_; }

    // The image formats an empty texture of these texture formats is generated from.
    int getImageDataFormatForTextureFormat(int dataFormat, int pixelFormat) const;
    int getImagePixelFormatForTextureFormat(int pixelFormat) const;

private:
    void applyParametersIfUploaded();
    // Compiles the ".texture" script beside fileName into this texture, when there is one, after
    // the settings the previous script changed went back to their defaults.
    void compileScriptFor(const std::string& fileName);
    void resetScriptSettings();
    // The upload part of loading, once the picture is in memory.
    void loadFromImage(QRRESCImage2& image);

    int dataFormat_ = kFormatUndefined;
    int pixelFormat_ = kFormatUndefined;
    int width_ = 0;
    int height_ = 0;
    int filter_ = kFilterTrilinear;
    int anisotropy_ = 1;
    bool horizontalClamp_ = false;
    bool verticalClamp_ = false;
    bool mipmapping_ = true;
    bool compression_ = false;
    std::uint32_t scriptFileID_ = 0;
    // The settings the last compiled script changed (one bit each).
    std::uint8_t scriptSettings_ = 0;
};
