#include "resource/qr_resc_stream.h"

#include <algorithm>
#include <bit>

static_assert(std::endian::native == std::endian::little, "the stream encodings are little-endian");

QRRESCStream::QRRESCStream(QRObject* owner) : QRRESCMain(owner, "Resource Stream") {}

void QRRESCStream::writeBytes(const void* bytes, std::int64_t count)
{
    if (buffer_.write(bytes, count) != count)
        reportError("write", "Error on writing data to stream");
}

bool QRRESCStream::readBytes(void* bytes, std::int64_t count)
{
    if (buffer_.getRemaining() < count) {
        reportError("read", "Error on reading data from stream");
        buffer_.seek(buffer_.getSize());
        return false;
    }
    buffer_.read(bytes, count);
    return true;
}

void QRRESCStream::writeInt(std::int32_t value) { writeBytes(&value, 4); }
void QRRESCStream::writeFloat(float value) { writeBytes(&value, 4); }
void QRRESCStream::writeVector4(const Vector4& value) { writeBytes(&value, 16); }

void QRRESCStream::writeBool(bool value)
{
    const std::uint8_t byte = value ? 1 : 0;
    writeBytes(&byte, 1);
}

void QRRESCStream::writeString(const std::string& value)
{
    writeInt(static_cast<std::int32_t>(value.size()));
    writeBytes(value.data(), static_cast<std::int64_t>(value.size()));
}

bool QRRESCStream::readInt(std::int32_t& value)
{
    std::int32_t read = 0;
    if (!readBytes(&read, 4))
        return false;
    value = read;
    return true;
}

bool QRRESCStream::readFloat(float& value)
{
    float read = 0.0f;
    if (!readBytes(&read, 4))
        return false;
    value = read;
    return true;
}

bool QRRESCStream::readBool(bool& value)
{
    std::uint8_t read = 0;
    if (!readBytes(&read, 1))
        return false;
    value = read != 0;
    return true;
}

bool QRRESCStream::readVector4(Vector4& value)
{
    Vector4 read;
    if (!readBytes(&read, 16))
        return false;
    value = read;
    return true;
}

bool QRRESCStream::readString(std::string& value)
{
    std::int32_t length = 0;
    if (!readInt(length))
        return false;
    if (length <= 0) {
        value.clear();
        return true;
    }
    // A corrupt length never allocates more than the stream still holds.
    std::string read(static_cast<std::size_t>(std::min<std::int64_t>(length, buffer_.getRemaining())), '\0');
    buffer_.read(read.data(), static_cast<std::int64_t>(read.size()));
    value = std::move(read);
    if (static_cast<std::int64_t>(value.size()) < length) {
        reportError("read", "Error on reading data from stream");
        return false;
    }
    return true;
}

void QRRESCStream::assign(const QRObject& source)
{
    QRRESCMain::assign(source);
    if (const auto* other = dynamic_cast<const QRRESCStream*>(&source); other && other != this) {
        buffer_ = QRFILEMemoryStream(other->buffer_.getBytes());
        buffer_.seek(other->getPosition());
    }
}
