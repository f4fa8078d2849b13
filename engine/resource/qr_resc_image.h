#pragma once
// Pictures in memory: QRRESCImage2 decodes a picture file (PNG, JPEG, BMP, GIF, ... through Qt's
// image readers) into tightly packed rows of 8-bit or float components, or is generated empty, and
// gives clamped pixel access. Owned by whoever loads it (a texture while uploading, the terrain
// block while importing a map); images are not shared through the asset manager.

#include "math/qr_math_types.h"
#include "resource/qr_resc_main.h"

#include <cstdint>
#include <string>
#include <vector>

struct QRRESCDecodedImage;

class QRRESCImage : public QRRESCMain {
public:
    using QRRESCMain::QRRESCMain;
};

class QRRESCImage2 : public QRRESCImage {
public:
    static constexpr int kFormatUndefined = -1;
    // Data formats.
    static constexpr int kDataByte = 0;
    static constexpr int kDataFloat = 1;
    // Pixel formats.
    static constexpr int kPixelLuminance = 0;
    static constexpr int kPixelRGB = 1;
    static constexpr int kPixelRGBA = 2;
    // Components per pixel of a pixel format: 3, 4, or 1 for luminance and anything else.
    static constexpr int channelsOf(int pixelFormat)
    {
        return pixelFormat == kPixelRGB ? 3 : pixelFormat == kPixelRGBA ? 4 : 1;
    }

    explicit QRRESCImage2(QRObject* owner, std::string_view name = "Resource 2D Image");

    // Decodes the picture; its rows start at the top unless flipForGL asks for OpenGL's bottom-up
    // order. Greyscale pictures give one component, pictures with alpha RGBA, all others RGB.
    void loadFromFile(const std::string& fileName) override;
    void clear() override;
    bool isEmpty() const override { return !valid_; }
    // Takes over name and file name like every resource, and from another image its pixels.
    void assign(const QRObject& source) override;

    // Zero-filled pixels of the given formats.
    void generateEmptyImage(int dataFormat, int pixelFormat, int width, int height);
    // Every component becomes value (8-bit data: round(value * 255), clamped).
    void fillImageWithColor(float value);
    // Coordinates are clamped into the image, so reads beyond an edge repeat the edge pixels.
    void setPixelColor(const Vector4& colour, int x, int y);
    // (r, g, b, a) in 0..1 for 8-bit data; a one-component image answers (v, v, v, 1), RGB an
    // alpha of 1, and an image without pixels black (0, 0, 0, 0).
    Vector4 getPixelColor(int x, int y) const;
    // Pads with zeros or crops, keeping the pixels from (0, 0); it never scales.
    void setImageSize(int width, int height);
    void copyImageData(const QRRESCImage2& source);
    // Copies source's pixels to (left, top) onwards; pixels that fall outside this image are
    // skipped. Both images must hold pixels of the same formats.
    void insertImage(const QRRESCImage2& source, int left, int top);

    bool isValid() const { return valid_; }
    int getDataFormat() const { return dataFormat_; }
    int getPixelFormat() const { return pixelFormat_; }
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    int getChannelCount() const { return channelCount_; }
    const std::vector<std::uint8_t>& getByteData() const { return byteData_; }
    const std::vector<float>& getFloatData() const { return floatData_; }
    bool getFlipForGL() const { return flipForGL_; }
    void setFlipForGL(bool flip) { flipForGL_ = flip; }

private:
    // Takes over a decoded picture, or reports why there is none.
    void adopt(QRRESCDecodedImage decoded, const std::string& fileName);

    std::size_t pixelOffset(int x, int y) const;

    int width_ = 0;
    int height_ = 0;
    int dataFormat_ = kFormatUndefined;
    int pixelFormat_ = kFormatUndefined;
    std::vector<std::uint8_t> byteData_;
    std::vector<float> floatData_;
    int channelCount_ = 1;
    bool valid_ = false;
    bool flipForGL_ = false;
};
