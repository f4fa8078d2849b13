#pragma once
// A growable in-memory byte stream with a read/write position: the compiled form of a material
// pass that the material manager executes. Encodings: little-endian 32-bit integers and singles,
// booleans as one byte, strings as a 32-bit length and the characters, Vector4 as four singles.
// Owned by whoever compiled or copied it.

#include "file/qr_file_stream.h"
#include "math/qr_math_types.h"
#include "resource/qr_resc_main.h"

#include <cstdint>
#include <string>

class QRRESCStream : public QRRESCMain {
public:
    explicit QRRESCStream(QRObject* owner);

    void clear() override { buffer_.clear(); }
    bool isEmpty() const override { return buffer_.getSize() == 0; }
    std::int64_t getSize() const { return buffer_.getSize(); }
    std::int64_t getPosition() const { return buffer_.getPosition(); }
    void rewind() { buffer_.seek(0); }
    void seek(std::int64_t position) { buffer_.seek(position); }
    const std::vector<std::uint8_t>& getBytes() const { return buffer_.getBytes(); }

    void writeInt(std::int32_t value);
    void writeFloat(float value);
    void writeBool(bool value);
    void writeString(const std::string& value);
    void writeVector4(const Vector4& value);

    // A short read reports and leaves the value unchanged (a string keeps the characters that
    // were there); all return whether the whole value was read.
    bool readInt(std::int32_t& value);
    bool readFloat(float& value);
    bool readBool(bool& value);
    // A length of zero or less is the empty string and consumes only the length.
    bool readString(std::string& value);
    bool readVector4(Vector4& value);

    // Copies the other stream's whole content; both end up at the source's position.
    void assign(const QRObject& source) override;

private:
    void writeBytes(const void* bytes, std::int64_t count);
    bool readBytes(void* bytes, std::int64_t count);

    QRFILEMemoryStream buffer_;
};
