#pragma once
// Byte streams behind the file object: a file on the drive or a growable buffer in memory.
// Plain objects owned by whoever holds them (a QRFILEFile, a resource stream, a caller of
// copyToMemory). Reads and writes return how many bytes they moved; they never throw.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

class QRFILEMemoryStream;

class QRFILEStream {
public:
    virtual ~QRFILEStream() = default;
    virtual std::int64_t read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t write(const void* buffer, std::int64_t count) = 0;
    virtual std::int64_t getSize() const = 0;
    virtual std::int64_t getPosition() const = 0;
    // Positions below 0 become 0; reading past the end moves nothing.
    virtual void seek(std::int64_t position) = 0;

    std::int64_t getRemaining() const;
    // The whole content in a new memory stream at its start, this stream's position kept; null
    // when not all of it could be read.
    std::unique_ptr<QRFILEMemoryStream> copyWhole();
};

class QRFILEMemoryStream : public QRFILEStream {
public:
    QRFILEMemoryStream() = default;
    explicit QRFILEMemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    std::int64_t read(void* buffer, std::int64_t count) override;
    // Writing past the end grows the buffer (filling a gap left by seek with zeros).
    std::int64_t write(const void* buffer, std::int64_t count) override;
    std::int64_t getSize() const override { return static_cast<std::int64_t>(bytes_.size()); }
    std::int64_t getPosition() const override { return position_; }
    void seek(std::int64_t position) override { position_ = position < 0 ? 0 : position; }

    const std::vector<std::uint8_t>& getBytes() const { return bytes_; }
    void clear();

private:
    std::vector<std::uint8_t> bytes_;
    std::int64_t position_ = 0;
};

class QRFILEDriveStream : public QRFILEStream {
public:
    enum class Mode { Read, Write };
    // Null when the file cannot be opened (read) or created (write, which truncates).
    static std::unique_ptr<QRFILEDriveStream> open(const std::filesystem::path& path, Mode mode);
    ~QRFILEDriveStream() override;

    std::int64_t read(void* buffer, std::int64_t count) override;
    std::int64_t write(const void* buffer, std::int64_t count) override;
    std::int64_t getSize() const override { return size_; }
    std::int64_t getPosition() const override { return position_; }
    void seek(std::int64_t position) override;

    // Flushes and closes; false when any buffered byte could not reach the drive.
    bool finish();

private:
    QRFILEDriveStream(std::FILE* handle, Mode mode, std::int64_t size);

    std::FILE* handle_;
    Mode mode_;
    std::int64_t size_;
    std::int64_t position_ = 0;
};
