#include "resource/qr_resc_imagedecode.h"

#include "resource/qr_resc_image.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstring>
#include <new>

namespace {
// Whether a picture of width x height can really be stored in fileBytes bytes. The densest
// encoding the readers know is a one-bit PNG whose deflate stream reaches its best ratio of about
// 1032 to 1: some 8256 pixels per byte of file. A header claiming more is forged or corrupt, and
// believing it would let a tiny file demand gigabytes. Sides beyond 16384 exceed every texture
// size the renderer can use.
bool isPlausibleSize(int width, int height, std::size_t fileBytes)
{
    constexpr std::int64_t kMaxSide = 16384;
    constexpr std::int64_t kMaxPixelsPerFileByte = 8 * 1032;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return false;
    const auto pixels = static_cast<std::int64_t>(width) * height;
    return pixels <= kMaxPixelsPerFileByte * static_cast<std::int64_t>(fileBytes);
}
} // namespace

QRRESCDecodedImage qrrescDecodeImage(const std::vector<std::uint8_t>& bytes, bool flipForGL)
{
    QRRESCDecodedImage result;
    result.fileBytes = bytes.size();
    QByteArray encoded =
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer device(&encoded);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device);
    // The header is read before any pixel memory is taken, so a forged size is refused here.
    const QSize claimed = reader.size();
    if (claimed.isValid() && !isPlausibleSize(claimed.width(), claimed.height(), bytes.size())) {
        result.outcome = QRRESCDecodedImage::Outcome::Implausible;
        result.claimedWidth = claimed.width();
        result.claimedHeight = claimed.height();
        return result;
    }
    QImage decoded;
    if (!reader.read(&decoded) || decoded.isNull())
        return result;
    // Qt hands out its own layouts (indexed, ARGB32, 16-bit, float, ...); they all come down to
    // 8-bit components in one of the three layouts the engine knows.
    int channels = 3;
    result.pixelFormat = QRRESCImage2::kPixelRGB;
    QImage::Format layout = QImage::Format_RGB888;
    if (decoded.format() == QImage::Format_Grayscale8 || decoded.format() == QImage::Format_Grayscale16) {
        channels = 1;
        result.pixelFormat = QRRESCImage2::kPixelLuminance;
        layout = QImage::Format_Grayscale8;
    } else if (decoded.hasAlphaChannel()) {
        channels = 4;
        result.pixelFormat = QRRESCImage2::kPixelRGBA;
        layout = QImage::Format_RGBA8888;
    }
    QImage packed = decoded.convertToFormat(layout);
    if (packed.isNull())
        throw std::bad_alloc();
    // Qt's rows start at the top; OpenGL wants the bottom row first.
    if (flipForGL) {
        packed = packed.mirrored(false, true);
        if (packed.isNull())
            throw std::bad_alloc();
        result.flipped = true;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(packed.width()) * static_cast<std::size_t>(channels);
    result.pixels.resize(rowBytes * static_cast<std::size_t>(packed.height()));
    for (int row = 0; row < packed.height(); ++row)
        std::memcpy(result.pixels.data() + rowBytes * static_cast<std::size_t>(row), packed.constScanLine(row),
                    rowBytes);
    result.width = packed.width();
    result.height = packed.height();
    result.outcome = QRRESCDecodedImage::Outcome::Decoded;
    return result;
}
