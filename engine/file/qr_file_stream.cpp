#include "file/qr_file_stream.h"

#include <algorithm>
#include <cstring>

#include <unistd.h>

std::int64_t QRFILEStream::getRemaining() const
{
    return std::max<std::int64_t>(0, getSize() - getPosition());
}

std::unique_ptr<QRFILEMemoryStream> QRFILEStream::copyWhole()
{
    const std::int64_t position = getPosition();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(getSize()));
    seek(0);
    const bool copied = read(bytes.data(), getSize()) == getSize();
    seek(position);
    return copied ? std::make_unique<QRFILEMemoryStream>(std::move(bytes)) : nullptr;
}

std::int64_t QRFILEMemoryStream::read(void* buffer, std::int64_t count)
{
    const std::int64_t moved = std::clamp<std::int64_t>(count, 0, getRemaining());
    if (moved > 0)
        std::memcpy(buffer, bytes_.data() + position_, static_cast<std::size_t>(moved));
    position_ += moved;
    return moved;
}

std::int64_t QRFILEMemoryStream::write(const void* buffer, std::int64_t count)
{
    if (count <= 0)
        return 0;
    const auto end = static_cast<std::size_t>(position_ + count);
    if (end > bytes_.size())
        bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, buffer, static_cast<std::size_t>(count));
    position_ += count;
    return count;
}

void QRFILEMemoryStream::clear()
{
    bytes_ = {};
    position_ = 0;
}

std::unique_ptr<QRFILEDriveStream> QRFILEDriveStream::open(const std::filesystem::path& path, Mode mode)
{
    std::FILE* handle = std::fopen(path.c_str(), mode == Mode::Read ? "rb" : "wb");
    if (!handle)
        return nullptr;
    std::int64_t size = 0;
    if (mode == Mode::Read) {
        if (std::fseek(handle, 0, SEEK_END) != 0 || (size = ftello(handle)) < 0 || std::fseek(handle, 0, SEEK_SET) != 0) {
            std::fclose(handle);
            return nullptr;
        }
    }
    return std::unique_ptr<QRFILEDriveStream>(new QRFILEDriveStream(handle, mode, size));
}

QRFILEDriveStream::QRFILEDriveStream(std::FILE* handle, Mode mode, std::int64_t size)
    : handle_(handle), mode_(mode), size_(size)
{
}

QRFILEDriveStream::~QRFILEDriveStream()
{
    finish();
}

std::int64_t QRFILEDriveStream::read(void* buffer, std::int64_t count)
{
    if (!handle_ || mode_ != Mode::Read || count <= 0)
        return 0;
    const auto moved = static_cast<std::int64_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), handle_));
    position_ += moved;
    // Another program may shorten the file while it is open: where it really ends is its end
    // now, or a reader waiting for the end of the file would wait forever.
    if (moved < count)
        size_ = std::min(size_, position_);
    return moved;
}

std::int64_t QRFILEDriveStream::write(const void* buffer, std::int64_t count)
{
    if (!handle_ || mode_ != Mode::Write || count <= 0)
        return 0;
    const auto moved = static_cast<std::int64_t>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), handle_));
    position_ += moved;
    size_ = std::max(size_, position_);
    return moved;
}

void QRFILEDriveStream::seek(std::int64_t position)
{
    if (!handle_)
        return;
    position = std::max<std::int64_t>(0, position);
    if (fseeko(handle_, static_cast<off_t>(position), SEEK_SET) == 0)
        position_ = position;
}

bool QRFILEDriveStream::finish()
{
    if (!handle_)
        return true;
    bool flushed = std::fflush(handle_) == 0 && !std::ferror(handle_);
    // Written bytes count only once they are on the drive, not in a cache that a power failure
    // empties: a file written to replace another must be whole before it takes the other's place.
    if (mode_ == Mode::Write)
        flushed = flushed && fsync(fileno(handle_)) == 0;
    const bool closed = std::fclose(handle_) == 0;
    handle_ = nullptr;
    return flushed && closed;
}
