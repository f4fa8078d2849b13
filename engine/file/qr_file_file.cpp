#include "file/qr_file_file.h"

#include "core/qr_core_log.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_main.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

static_assert(std::endian::native == std::endian::little, "the binary formats are little-endian");
static_assert(sizeof(float) == 4, "singles are IEEE 754 single precision");

namespace fs = std::filesystem;

namespace {
// Where a file being written collects its bytes until close puts it in place.
const char* const kWritingSuffix = ".saving";

// A rename is an entry in the folder, which lasts a power failure only once the folder is synced.
// The file is in place either way, so a failure here is not reported.
void syncFolder(const fs::path& folder)
{
    const int handle = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (handle < 0)
        return;
    fsync(handle);
    ::close(handle);
}
} // namespace

QRFILEFile::QRFILEFile(QRObject* owner) : QRObject(owner) {}

QRFILEFile::QRFILEFile(QRObject* owner, const std::string& path, QRFileAccess accessMode, QRFileType type)
    : QRObject(owner, QRFILEMain::canonicalName(path))
{
    open(path, accessMode, type, true);
}

QRFILEFile::~QRFILEFile()
{
    close();
}

void QRFILEFile::resetToClosed()
{
    fileName_.clear();
    container_.clear();
    type_ = QRFileType::None;
    accessMode_ = QRFileAccess::None;
    location_ = QRFileLocation::None;
    open_ = false;
    writer_ = nullptr;
    memoryWriter_ = nullptr;
    stream_.reset();
    writeTarget_.clear();
    writeTemporary_.clear();
    writeFailed_ = false;
}

bool QRFILEFile::close()
{
    bool finished = true;
    if (writer_) {
        const std::string target = fileName_;
        std::error_code error;
        if (!writer_->finish() || writeFailed_) {
            if (!writeFailed_)
                reportWriteError();
            fs::remove(writeTemporary_, error);
            finished = false;
        } else {
            fs::rename(writeTemporary_, writeTarget_, error);
            if (error) {
                reportError("saveStreamToDrive", "Could not create file \"" + target + "\" to write");
                fs::remove(writeTemporary_, error);
                finished = false;
            } else {
                syncFolder(writeTarget_.parent_path());
            }
        }
    }
    resetToClosed();
    return finished;
}

bool QRFILEFile::removeUnfinishedWrite(const std::string& path)
{
    const auto* files = qrFile();
    const std::string target = files ? files->absolutePath(path) : QRFILEMain::canonicalName(path);
    const fs::path leftover = qrdrive::nativePath(target).string() + kWritingSuffix;
    std::error_code error;
    if (!fs::is_regular_file(leftover, error) || !fs::remove(leftover, error))
        return false;
    if (auto* log = qrLog())
        log->logWarning("Removed the unfinished copy of \"" + target + "\" left by a save that was cut off");
    return true;
}

bool QRFILEFile::open(const std::string& path, QRFileAccess accessMode, QRFileType type, bool reportErrors)
{
    close();
    setName(QRFILEMain::canonicalName(path));
    if (accessMode == QRFileAccess::Write)
        return openForWriting(path, type);

    QRFileLocation location = QRFileLocation::None;
    std::string container;
    if (!locate(path, reportErrors, location, container))
        return false;
    switch (location) {
    case QRFileLocation::Drive:
        return openFromDrive(path, type, location, container);
    case QRFileLocation::LookupPath:
        return openFromDrive(QRFILEMain::excludeTrailingSeparator(container) + "\\" +
                                 QRFILEMain::excludeLeadingSeparator(path),
                             type, location, container);
    default:
        return openFromStream(nullptr, type, path, location);
    }
}

bool QRFILEFile::locate(const std::string& path, bool reportErrors, QRFileLocation& location, std::string& container)
{
    if (auto* files = qrFile())
        return files->locateFile(path, location, reportErrors, container);
    // Without the file module there are no lookup paths: only absolute paths can be found.
    if (QRFILEMain::isAbsolute(path) && qrdrive::isFile(path)) {
        location = QRFileLocation::Drive;
        return true;
    }
    if (reportErrors)
        reportError("locateFile", "File \"" + path + "\" could not be found!");
    return false;
}

bool QRFILEFile::existsOnDrive(const std::string& path)
{
    if (auto* files = qrFile())
        return files->existsOnDrive(path, true);
    if (QRFILEMain::isAbsolute(path) && qrdrive::isFile(path))
        return true;
    reportError("doesFileExistOnDrive", "File \"" + path + "\" not found!");
    return false;
}

bool QRFILEFile::openForWriting(const std::string& path, QRFileType type)
{
    const auto* files = qrFile();
    const std::string target = files ? files->absolutePath(path) : QRFILEMain::canonicalName(path);
    logDebug("Writing file to drive: \"" + target + "\"");
    const fs::path native = qrdrive::nativePath(target);
    std::error_code error;
    std::unique_ptr<QRFILEDriveStream> writer;
    if (!fs::is_directory(native, error))
        writer = QRFILEDriveStream::open(native.string() + kWritingSuffix, QRFILEDriveStream::Mode::Write);
    if (!writer) {
        reportError("saveStreamToDrive", "Could not create file \"" + target + "\" to write");
        return false;
    }
    fileName_ = target;
    type_ = type;
    accessMode_ = QRFileAccess::Write;
    location_ = QRFileLocation::Drive;
    writeTarget_ = native;
    writeTemporary_ = native.string() + kWritingSuffix;
    writer_ = writer.get();
    stream_ = std::move(writer);
    open_ = true;
    return true;
}

bool QRFILEFile::openFromDrive(const std::string& fullPath, QRFileType type, QRFileLocation location,
                               const std::string& container)
{
    if (!existsOnDrive(fullPath))
        return false;
    fileName_ = fullPath;
    type_ = type;
    accessMode_ = QRFileAccess::Read;
    location_ = location;
    container_ = container;
    logDebug("Reading file from drive: \"" + fullPath + "\"");
    auto drive = QRFILEDriveStream::open(qrdrive::nativePath(fullPath), QRFILEDriveStream::Mode::Read);
    if (!drive) {
        reportError("loadStreamFromDrive", "Could not open file \"" + fullPath + "\"");
        resetToClosed();
        return false;
    }
    const auto* files = qrFile();
    const std::int64_t threshold = files ? files->getMemoryThreshold() : QRFILEMain::kDefaultMemoryThreshold;
    if (drive->getSize() <= threshold) {
        logDebug("Copying file stream into memory");
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(drive->getSize()));
        if (drive->read(bytes.data(), drive->getSize()) != drive->getSize()) {
            reportError("loadFileStreamIntoMemoryAtOnce", "Could not copy memory stream");
            resetToClosed();
            return false;
        }
        stream_ = std::make_unique<QRFILEMemoryStream>(std::move(bytes));
    } else {
        stream_ = std::move(drive);
    }
    open_ = true;
    return true;
}

bool QRFILEFile::openFromStream(QRFILEStream* stream, QRFileType type, const std::string& name,
                                QRFileLocation location)
{
    close();
    setName(QRFILEMain::canonicalName(name));
    if (!stream)
        return false;
    type_ = type;
    accessMode_ = QRFileAccess::Read;
    location_ = location;
    container_ = name;
    logDebug("Reading file from stream: \"" + name + "\"");
    auto copy = stream->copyWhole();
    if (!copy) {
        reportError("loadStreamFromMemoryStream", "Could not copy memory stream");
        resetToClosed();
        return false;
    }
    stream_ = std::move(copy);
    open_ = true;
    return true;
}

bool QRFILEFile::openForMemoryWriting(QRFileType type, const std::string& name)
{
    close();
    setName(QRFILEMain::canonicalName(name));
    fileName_ = name;
    type_ = type;
    accessMode_ = QRFileAccess::Write;
    auto memory = std::make_unique<QRFILEMemoryStream>();
    memoryWriter_ = memory.get();
    stream_ = std::move(memory);
    open_ = true;
    return true;
}

void QRFILEFile::rewind()
{
    if (stream_ && !writer_ && !memoryWriter_)
        stream_->seek(0);
}

bool QRFILEFile::isEndOfFile() const
{
    return !open_ || stream_->getPosition() >= stream_->getSize();
}

std::unique_ptr<QRFILEMemoryStream> QRFILEFile::copyToMemory()
{
    if (!open_ || writer_)
        return nullptr;
    auto copy = stream_->copyWhole();
    if (!copy)
        reportError("copyToMemory", "Could not copy memory stream");
    return copy;
}

std::optional<std::vector<std::uint8_t>> QRFILEFile::readWhole(QRObject* owner, const std::string& path,
                                                               bool reportErrors)
{
    auto file = qrNew<QRFILEFile>(owner);
    if (!file->open(path, QRFileAccess::Read, QRFileType::Binary, reportErrors))
        return std::nullopt;
    const auto memory = file->copyToMemory();
    file->close();
    if (!memory)
        return std::nullopt;
    return memory->getBytes();
}

void QRFILEFile::reportReadError() const
{
    reportError("read", "Error on reading data from stream");
}

void QRFILEFile::reportWriteError() const
{
    reportError("write", "Error on writing data to stream");
}

bool QRFILEFile::writeBytes(const void* buffer, std::int64_t count)
{
    if (!open_)
        return false;
    if (count <= 0)
        return true;
    QRFILEStream* output = writer_ ? static_cast<QRFILEStream*>(writer_) : memoryWriter_;
    if (!output || output->write(buffer, count) != count) {
        writeFailed_ = output != nullptr;
        reportWriteError();
        return false;
    }
    return true;
}

bool QRFILEFile::readBytes(void* buffer, std::int64_t count)
{
    if (!open_)
        return false;
    if (count <= 0)
        return true;
    if (writer_ || memoryWriter_ || stream_->read(buffer, count) != count) {
        reportReadError();
        return false;
    }
    return true;
}

bool QRFILEFile::write(std::int32_t value) { return writeBytes(&value, 4); }
bool QRFILEFile::write(std::uint32_t value) { return writeBytes(&value, 4); }
bool QRFILEFile::write(float value) { return writeBytes(&value, 4); }
bool QRFILEFile::write(std::uint8_t value) { return writeBytes(&value, 1); }
bool QRFILEFile::write(bool value) { return write(static_cast<std::uint8_t>(value ? 1 : 0)); }
bool QRFILEFile::write(const Vector3& value) { return writeBytes(&value, 12); }
bool QRFILEFile::write(const Vector4& value) { return writeBytes(&value, 16); }
bool QRFILEFile::write(const Quaternion& value) { return writeBytes(&value, 16); }
bool QRFILEFile::write(const void* buffer, std::int64_t count) { return writeBytes(buffer, count); }

bool QRFILEFile::write(const std::string& text, std::int32_t count)
{
    if (count <= 0)
        return open_;
    std::string bytes(text.substr(0, static_cast<std::size_t>(count)));
    bytes.resize(static_cast<std::size_t>(count), '\0');
    return writeBytes(bytes.data(), count);
}

bool QRFILEFile::write(const std::string& text)
{
    if (!open_)
        return false;
    if (!isBinary())
        return writeLine(text);
    return write(static_cast<std::int32_t>(text.size())) && writeBytes(text.data(), static_cast<std::int64_t>(text.size()));
}

// A short read leaves the value as it was: the bytes land in a scratch copy first.
template <class T>
static bool readValue(QRFILEFile& file, T& value)
{
    T scratch;
    if (!file.read(static_cast<void*>(&scratch), static_cast<std::int64_t>(sizeof(T))))
        return false;
    value = scratch;
    return true;
}

bool QRFILEFile::read(std::int32_t& value) { return readValue(*this, value); }
bool QRFILEFile::read(std::uint32_t& value) { return readValue(*this, value); }
bool QRFILEFile::read(float& value) { return readValue(*this, value); }
bool QRFILEFile::read(std::uint8_t& value) { return readValue(*this, value); }
bool QRFILEFile::read(Vector3& value) { return readValue(*this, value); }
bool QRFILEFile::read(Vector4& value) { return readValue(*this, value); }
bool QRFILEFile::read(Quaternion& value) { return readValue(*this, value); }

bool QRFILEFile::read(bool& value)
{
    std::uint8_t byte = 0;
    if (!read(byte))
        return false;
    value = byte != 0;
    return true;
}

bool QRFILEFile::read(void* buffer, std::int64_t count)
{
    return readBytes(buffer, count);
}

bool QRFILEFile::read(std::string& text, std::int32_t count)
{
    if (!open_)
        return false;
    if (count <= 0) {
        text.clear();
        return true;
    }
    if (writer_) {
        reportReadError();
        return false;
    }
    // A corrupt count never allocates more than the file still holds.
    std::string bytes(static_cast<std::size_t>(std::min<std::int64_t>(count, stream_->getRemaining())), '\0');
    bytes.resize(static_cast<std::size_t>(stream_->read(bytes.data(), static_cast<std::int64_t>(bytes.size()))));
    text = std::move(bytes);
    if (static_cast<std::int64_t>(text.size()) < count) {
        reportReadError();
        return false;
    }
    return true;
}

bool QRFILEFile::read(std::string& text)
{
    if (!open_)
        return false;
    if (!isBinary()) {
        if (writer_) {
            reportReadError();
            return false;
        }
        text = readLine();
        return true;
    }
    std::int32_t length = 0;
    if (!read(length))
        return false;
    return read(text, length);
}

bool QRFILEFile::writeLine(std::string_view text)
{
    if (!open_)
        return false;
    std::string line(text);
    line += "\r\n";
    return writeBytes(line.data(), static_cast<std::int64_t>(line.size()));
}

std::string QRFILEFile::readLine()
{
    std::string line;
    if (!open_ || writer_)
        return line;
    char c = 0;
    while (stream_->read(&c, 1) == 1) {
        if (c == '\n' || c == '\0')
            break;
        if (c == '\r') {
            // Only the LF of a CR LF pair belongs to this line's end; after a lone CR the next
            // line starts at once.
            const std::int64_t next = stream_->getPosition();
            char following = 0;
            if (stream_->read(&following, 1) == 1 && following != '\n')
                stream_->seek(next);
            break;
        }
        line += c;
    }
    return line;
}
