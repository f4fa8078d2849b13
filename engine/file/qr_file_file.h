#pragma once
// One file opened for one purpose: read (found through the file module's lookup paths, small files
// copied into memory at once) or written (created or replaced). Its write and read primitives
// define every binary format of the program: little-endian 32-bit integers, IEEE singles, bytes,
// strings as a 32-bit length and the bytes. Owned by whoever opens it; closed when destroyed.
//
// Every failure is reported through reportError and leaves the file closed or the value read
// unchanged; every primitive on a closed file does nothing and returns false.

#include "core/qr_core_object.h"
#include "file/qr_file_stream.h"
#include "math/qr_math_types.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class QRFileType : std::int32_t { None = -1, Binary = 0, Text = 1 };
enum class QRFileAccess : std::int32_t { None = -1, Read = 0, Write = 1 };
enum class QRFileLocation : std::int32_t { None = -1, Drive = 0, LookupPath = 1, Archive = 2 };

class QRFILEFile : public QRObject {
public:
    explicit QRFILEFile(QRObject* owner);
    // Opens at once, reporting errors.
    QRFILEFile(QRObject* owner, const std::string& path, QRFileAccess accessMode, QRFileType type);
    ~QRFILEFile() override;

    bool open(const std::string& path, QRFileAccess accessMode, QRFileType type, bool reportErrors);
    // Reads a copy of the whole stream; a null stream leaves the file closed with only its name set.
    bool openFromStream(QRFILEStream* stream, QRFileType type, const std::string& name, QRFileLocation location);
    // Writes into memory instead of the drive (records kept by the program, e.g. for undo);
    // copyToMemory hands out what was written so far.
    bool openForMemoryWriting(QRFileType type, const std::string& name);
    // A file being written replaces the file on the drive only here, and only when every byte
    // reached the drive; otherwise the previous file stays as it was. False when that failed.
    bool close();

    // A write cut off before close (the program killed, the machine stopped) leaves its bytes in a
    // temporary file beside the target, whose previous file stays whole. Removes that leftover of
    // path (logged as a warning); true when there was one.
    static bool removeUnfinishedWrite(const std::string& path);

    bool isOpen() const { return open_; }
    bool isBinary() const { return type_ == QRFileType::Binary; }
    std::int64_t getSize() const { return stream_ ? stream_->getSize() : 0; }
    std::int64_t getPosition() const { return stream_ ? stream_->getPosition() : 0; }
    void rewind();
    bool isEndOfFile() const;
    // The whole content in a new memory stream at its start; the file's own position stays.
    std::unique_ptr<QRFILEMemoryStream> copyToMemory();
    // The whole content of the file at path, read through a file owned by owner while it reads;
    // nothing when it cannot be found, opened or read.
    static std::optional<std::vector<std::uint8_t>> readWhole(QRObject* owner, const std::string& path,
                                                              bool reportErrors);

    const std::string& getFileName() const { return fileName_; }
    const std::string& getContainer() const { return container_; }
    QRFileType getType() const { return type_; }
    QRFileAccess getAccessMode() const { return accessMode_; }
    QRFileLocation getLocation() const { return location_; }

    bool write(std::int32_t value);
    bool write(std::uint32_t value);
    bool write(float value);
    bool write(std::uint8_t value);
    bool write(bool value);
    // x, y, z (, w) as singles, in member order.
    bool write(const Vector3& value);
    bool write(const Vector4& value);
    bool write(const Quaternion& value);
    bool write(const void* buffer, std::int64_t count);
    // Exactly count bytes of text, no length and no terminator; zeros fill up a shorter text.
    bool write(const std::string& text, std::int32_t count);
    // A pointer with a count is ambiguous between characters and a raw buffer: say which.
    bool write(const char* text, std::int32_t count) = delete;
    // Binary: 32-bit length and the bytes; text: one line.
    bool write(const std::string& text);
    bool write(const char* text) { return write(std::string(text)); }

    bool read(std::int32_t& value);
    bool read(std::uint32_t& value);
    bool read(float& value);
    bool read(std::uint8_t& value);
    bool read(bool& value);
    bool read(Vector3& value);
    bool read(Vector4& value);
    bool read(Quaternion& value);
    bool read(void* buffer, std::int64_t count);
    bool read(std::string& text, std::int32_t count);
    bool read(std::string& text);

    // The text and CR LF.
    bool writeLine(std::string_view text);
    // The next line without its terminator (CR LF, CR, LF or NUL); the last line may have none.
    std::string readLine();

private:
    void resetToClosed();
    bool openForWriting(const std::string& path, QRFileType type);
    bool openFromDrive(const std::string& fullPath, QRFileType type, QRFileLocation location,
                       const std::string& container);
    bool locate(const std::string& path, bool reportErrors, QRFileLocation& location, std::string& container);
    bool existsOnDrive(const std::string& path);
    bool writeBytes(const void* buffer, std::int64_t count);
    bool readBytes(void* buffer, std::int64_t count);
    void reportReadError() const;
    void reportWriteError() const;

    std::string fileName_;
    std::string container_;
    QRFileType type_ = QRFileType::None;
    QRFileAccess accessMode_ = QRFileAccess::None;
    QRFileLocation location_ = QRFileLocation::None;
    bool open_ = false;
    std::unique_ptr<QRFILEStream> stream_;
    // While writing: the drive stream goes to a sibling file that replaces target at close.
    QRFILEDriveStream* writer_ = nullptr;
    QRFILEMemoryStream* memoryWriter_ = nullptr;
    std::filesystem::path writeTarget_;
    std::filesystem::path writeTemporary_;
    bool writeFailed_ = false;
};
