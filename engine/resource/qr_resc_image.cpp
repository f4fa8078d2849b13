#include "resource/qr_resc_image.h"

#include "core/qr_core_log.h"
#include "file/qr_file_file.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_imagedecode.h"
#include "resource/qr_resc_imageprefetch.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <future>
#include <new>
#include <optional>

namespace {
std::uint8_t toByte(float component)
{
    const float scaled = component * 255.0f;
    if (!(scaled > 0.0f))
        return 0;
    if (scaled >= 255.0f)
        return 255;
    return static_cast<std::uint8_t>(std::lround(scaled));
}

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

} // namespace

QRRESCImage2::QRRESCImage2(QRObject* owner, std::string_view name) : QRRESCImage(owner, name) {}

void QRRESCImage2::clear()
{
    width_ = 0;
    height_ = 0;
    dataFormat_ = kFormatUndefined;
    pixelFormat_ = kFormatUndefined;
    byteData_ = {};
    floatData_ = {};
    channelCount_ = 1;
    valid_ = false;
}

void QRRESCImage2::loadFromFile(const std::string& fileName)
{
    clear();
    auto* files = qrFile();
    if (!files || !files->fileExists(fileName, true))
        return;
    setName(fileName);
    setFileName(fileName);
    try {
        // A decode the start-up prefetch already ran (or is running) for this file is taken over;
        // it read the file itself.
        QRRESCImagePrefetch* prefetch = qrImagePrefetch();
        if (auto ahead = prefetch ? prefetch->take(fileName, flipForGL_) : std::nullopt) {
            adopt(ahead->get(), fileName);
            return;
        }
        if (const auto bytes = QRFILEFile::readWhole(this, fileName, true))
            adopt(qrrescDecodeImage(*bytes, flipForGL_), fileName);
    } catch (const std::exception&) {
        clear();
        reportError("loadFromFile", "A runtime error occurred while loading an image");
    }
}

void QRRESCImage2::adopt(QRRESCDecodedImage decoded, const std::string& fileName)
{
    using Outcome = QRRESCDecodedImage::Outcome;
    if (decoded.outcome == Outcome::Implausible) {
        reportError("loadFromFile", "The image " + quoted(fileName) + " claims " +
                                        std::to_string(decoded.claimedWidth) + " * " +
                                        std::to_string(decoded.claimedHeight) + " pixels, more than its " +
                                        std::to_string(decoded.fileBytes) + " bytes can hold");
        return;
    }
    if (decoded.outcome == Outcome::Unreadable) {
        reportError("loadFromFile", "IL could not load the image " + quoted(fileName) + "!");
        return;
    }
    if (decoded.flipped)
        logDebug("Flipping image vertically");
    width_ = decoded.width;
    height_ = decoded.height;
    dataFormat_ = kDataByte;
    pixelFormat_ = decoded.pixelFormat;
    channelCount_ = channelsOf(decoded.pixelFormat);
    byteData_ = std::move(decoded.pixels);
    valid_ = true;
}

void QRRESCImage2::assign(const QRObject& source)
{
    QRRESCImage::assign(source);
    if (const auto* image = dynamic_cast<const QRRESCImage2*>(&source))
        copyImageData(*image);
}

void QRRESCImage2::generateEmptyImage(int dataFormat, int pixelFormat, int width, int height)
{
    clear();
    if (auto* log = qrLog())
        log->logPlain("Generating empty image with size " + std::to_string(width) + " * " + std::to_string(height));
    if (width <= 0 || height <= 0) {
        reportError("generateEmptyImage", "width and height must both be positive values!");
        return;
    }
    if (pixelFormat < kPixelLuminance || pixelFormat > kPixelRGBA) {
        reportError("generateEmptyImage", "Undefined pixel format!");
        return;
    }
    if (dataFormat != kDataByte && dataFormat != kDataFloat) {
        reportError("generateEmptyImage", "Undefined data format!");
        return;
    }
    const int channels = channelsOf(pixelFormat);
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * channels;
    try {
        // Two sides near 2^31 overflow even 64 bits once multiplied by four channels.
        if (static_cast<std::size_t>(width) * static_cast<std::size_t>(height) > floatData_.max_size() / 4)
            throw std::bad_alloc();
        if (dataFormat == kDataByte)
            byteData_.assign(count, 0);
        else
            floatData_.assign(count, 0.0f);
    } catch (const std::bad_alloc&) {
        clear();
        reportError("generateEmptyImage", "Not enough memory for an image of " + std::to_string(width) + " * " +
                                              std::to_string(height) + " pixels");
        return;
    }
    width_ = width;
    height_ = height;
    dataFormat_ = dataFormat;
    pixelFormat_ = pixelFormat;
    channelCount_ = channels;
    valid_ = true;
}

void QRRESCImage2::fillImageWithColor(float value)
{
    if (dataFormat_ == kDataByte)
        std::fill(byteData_.begin(), byteData_.end(), toByte(value));
    else if (dataFormat_ == kDataFloat)
        std::fill(floatData_.begin(), floatData_.end(), value);
    else
        reportError("fillImageWithColor", "Undefined image data format!");
}

std::size_t QRRESCImage2::pixelOffset(int x, int y) const
{
    const int column = std::clamp(x, 0, width_ - 1);
    const int row = std::clamp(y, 0, height_ - 1);
    return (static_cast<std::size_t>(row) * width_ + column) * channelCount_;
}

void QRRESCImage2::setPixelColor(const Vector4& colour, int x, int y)
{
    if (pixelFormat_ == kFormatUndefined || !valid_) {
        reportError("setPixelColor", "Undefined image pixel format!");
        return;
    }
    if (dataFormat_ == kFormatUndefined) {
        reportError("setPixelColor", "Undefined image data format!");
        return;
    }
    const float components[4] = {colour.x, colour.y, colour.z, colour.w};
    const std::size_t offset = pixelOffset(x, y);
    for (int channel = 0; channel < channelCount_; ++channel) {
        if (dataFormat_ == kDataByte)
            byteData_[offset + channel] = toByte(components[channel]);
        else
            floatData_[offset + channel] = components[channel];
    }
}

Vector4 QRRESCImage2::getPixelColor(int x, int y) const
{
    if (!valid_)
        return {};
    const std::size_t offset = pixelOffset(x, y);
    float components[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    for (int channel = 0; channel < channelCount_; ++channel)
        components[channel] =
            dataFormat_ == kDataByte ? byteData_[offset + channel] / 255.0f : floatData_[offset + channel];
    if (channelCount_ == 1)
        components[1] = components[2] = components[0];
    return {components[0], components[1], components[2], components[3]};
}

void QRRESCImage2::setImageSize(int width, int height)
{
    if (!valid_) {
        reportError("setImageSize",
                    "Cannot reset size of an empty image because no data and pixel format were specified!");
        return;
    }
    if (width == width_ && height == height_)
        return;
    if (width <= 0 || height <= 0) {
        // Checked here so that a bad size keeps the picture instead of clearing it.
        reportError("setImageSize", "width and height must both be positive values!");
        return;
    }
    auto previous = qrNew<QRRESCImage2>(nullptr);
    previous->copyImageData(*this);
    generateEmptyImage(previous->dataFormat_, previous->pixelFormat_, width, height);
    insertImage(*previous, 0, 0);
}

void QRRESCImage2::copyImageData(const QRRESCImage2& source)
{
    if (&source == this)
        return;
    try {
        byteData_ = source.byteData_;
        floatData_ = source.floatData_;
    } catch (const std::bad_alloc&) {
        clear();
        reportError("copyImageData", "Could not copy pixel data!");
        return;
    }
    width_ = source.width_;
    height_ = source.height_;
    dataFormat_ = source.dataFormat_;
    pixelFormat_ = source.pixelFormat_;
    channelCount_ = source.channelCount_;
    valid_ = source.valid_;
}

void QRRESCImage2::insertImage(const QRRESCImage2& source, int left, int top)
{
    if (!valid_ || !source.valid_ || &source == this || source.dataFormat_ != dataFormat_ ||
        source.pixelFormat_ != pixelFormat_) {
        reportError("insertImage", "Could not copy image contents");
        return;
    }
    // Only the part of source that lands inside this image is copied, a row at a time. 64-bit
    // arithmetic keeps far-off offsets from overflowing.
    const std::int64_t x = left;
    const std::int64_t y = top;
    const int firstColumn = static_cast<int>(std::clamp<std::int64_t>(-x, 0, source.width_));
    const int lastColumn = static_cast<int>(std::clamp<std::int64_t>(width_ - x, 0, source.width_));
    const int firstRow = static_cast<int>(std::clamp<std::int64_t>(-y, 0, source.height_));
    const int lastRow = static_cast<int>(std::clamp<std::int64_t>(height_ - y, 0, source.height_));
    if (firstColumn >= lastColumn || firstRow >= lastRow)
        return;
    const std::size_t count = static_cast<std::size_t>(lastColumn - firstColumn) * channelCount_;
    for (int row = firstRow; row < lastRow; ++row) {
        const std::size_t from = source.pixelOffset(firstColumn, row);
        const std::size_t to = pixelOffset(static_cast<int>(x + firstColumn), static_cast<int>(y + row));
        if (dataFormat_ == kDataByte)
            std::copy_n(source.byteData_.begin() + from, count, byteData_.begin() + to);
        else
            std::copy_n(source.floatData_.begin() + from, count, floatData_.begin() + to);
    }
}
