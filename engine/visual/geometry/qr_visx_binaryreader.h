#pragma once
// Guarded reads for binary records: each read first makes sure the file still holds the bytes it
// asks for, and counts are checked against what is left before anything is sized, so a truncated
// or hostile file yields one clear message instead of a read error per field or a huge allocation.
// Used on the stack by the loaders of vertex buffers and models.

#include "file/qr_file_file.h"

#include <cstdint>
#include <string>

class QRVISXBinaryReader {
public:
    explicit QRVISXBinaryReader(QRFILEFile& file) : file_(file) {}

    std::int64_t remaining() const { return file_.isOpen() ? file_.getSize() - file_.getPosition() : 0; }

    bool readInt(std::int32_t& value) { return remaining() >= 4 && file_.read(value); }
    bool readFloat(float& value) { return remaining() >= 4 && file_.read(value); }
    bool readByte(std::uint8_t& value) { return remaining() >= 1 && file_.read(value); }
    bool readVector3(Vector3& value) { return remaining() >= 12 && file_.read(value); }
    bool readBytes(void* buffer, std::int64_t count)
    {
        return count >= 0 && remaining() >= count && (count == 0 || file_.read(buffer, count));
    }
    // A length-prefixed string whose length fits in the rest of the file.
    bool readString(std::string& text)
    {
        std::int32_t length = 0;
        if (!readInt(length))
            return false;
        if (length <= 0) {
            text.clear();
            return true;
        }
        return remaining() >= length && file_.read(text, length);
    }
    // count records of at least recordSize bytes each can still be in the file.
    bool fits(std::int64_t count, std::int64_t recordSize) const
    {
        return count >= 0 && (count == 0 || count <= remaining() / recordSize);
    }

private:
    QRFILEFile& file_;
};
