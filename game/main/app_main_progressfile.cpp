#include "main/app_main_progressfile.h"

#include "core/qr_core_log.h"
#include "core/qr_util_fingerprint.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_file.h"
#include "file/qr_file_main.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace {
constexpr char kMagic[8] = {'K', 'I', 'P', 'P', 'R', 'O', 'G', '1'};
constexpr std::int64_t kVectorBytes = 12;
// Magic, digest, position, yaw, pitch, personality, level, papers, health, time, finished flag.
constexpr std::int64_t kFixedBytes = 8 + 8 + kVectorBytes + 4 + 4 + 4 + 4 + 4 + 4 + 4 + 1;
constexpr int kLastLevel = 5;

bool finite(const Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

std::int64_t remaining(const QRFILEFile& file)
{
    return file.getSize() - file.getPosition();
}

bool writePositions(QRFILEFile& file, const std::vector<Vector3>& positions)
{
    bool written = file.write(static_cast<std::int32_t>(positions.size()));
    for (const Vector3& position : positions)
        written = written && file.write(position);
    return written;
}

// The count is checked against the bytes left before anything is reserved: a hostile count must
// not turn into a huge allocation.
bool readPositions(QRFILEFile& file, std::vector<Vector3>& positions)
{
    std::int32_t count = 0;
    if (remaining(file) < 4 || !file.read(count) || count < 0 || count > remaining(file) / kVectorBytes)
        return false;
    positions.resize(static_cast<std::size_t>(count));
    for (Vector3& position : positions)
        if (!file.read(position) || !finite(position))
            return false;
    return true;
}
} // namespace

APPMAINProgressFile::APPMAINProgressFile(QRObject* owner, std::string path)
    : QRObject(owner, "Progress File"), path_(std::move(path))
{
}

bool APPMAINProgressFile::exists() const
{
    auto* files = qrFile();
    return files && files->fileExists(path_, false);
}

void APPMAINProgressFile::remove()
{
    auto* files = qrFile();
    if (!files)
        return;
    std::error_code ignored;
    std::filesystem::remove(qrdrive::nativePath(files->absolutePath(path_)), ignored);
}

bool APPMAINProgressFile::save(const APPMAINProgress& progress)
{
    auto file = qrNew<QRFILEFile>(this);
    if (!file->open(path_, QRFileAccess::Write, QRFileType::Binary, true))
        return false;
    bool written = file->write(static_cast<const void*>(kMagic), static_cast<std::int64_t>(sizeof(kMagic))) &&
                   file->write(static_cast<std::uint32_t>(progress.worldDigest)) &&
                   file->write(static_cast<std::uint32_t>(progress.worldDigest >> 32)) &&
                   file->write(progress.heroPosition) && file->write(progress.heroYaw) &&
                   file->write(progress.heroPitch) && file->write(static_cast<std::int32_t>(progress.personality)) &&
                   file->write(static_cast<std::int32_t>(progress.level)) &&
                   file->write(static_cast<std::int32_t>(progress.papersCollected)) &&
                   file->write(static_cast<std::int32_t>(progress.health)) && file->write(progress.timePlayed) &&
                   file->write(progress.finished);
    written = written && writePositions(*file, progress.collectedPapers) &&
              writePositions(*file, progress.defeatedMonkeys);
    // Closing replaces the previous file only when everything reached the drive.
    return file->close() && written;
}

std::optional<APPMAINProgress> APPMAINProgressFile::load()
{
    if (!exists())
        return std::nullopt;
    auto file = qrNew<QRFILEFile>(this);
    if (!file->open(path_, QRFileAccess::Read, QRFileType::Binary, true))
        return std::nullopt;
    if (auto* log = qrLog())
        log->logInformation("Loading Progress File: \"" + file->getFileName() + "\"");
    if (file->getSize() < kFixedBytes) {
        damaged("it is too short");
        return std::nullopt;
    }
    std::array<char, sizeof(kMagic)> magic{};
    APPMAINProgress progress;
    std::uint32_t digestLow = 0;
    std::uint32_t digestHigh = 0;
    std::int32_t personality = 0;
    std::int32_t level = 0;
    std::int32_t papers = 0;
    std::int32_t health = 0;
    const bool read = file->read(magic.data(), static_cast<std::int64_t>(magic.size())) && file->read(digestLow) &&
                      file->read(digestHigh) && file->read(progress.heroPosition) &&
                      file->read(progress.heroYaw) && file->read(progress.heroPitch) && file->read(personality) &&
                      file->read(level) && file->read(papers) && file->read(health) &&
                      file->read(progress.timePlayed) && file->read(progress.finished);
    if (!read || !std::equal(magic.begin(), magic.end(), kMagic)) {
        damaged("it is no progress file");
        return std::nullopt;
    }
    if (!finite(progress.heroPosition) || !std::isfinite(progress.heroYaw) || !std::isfinite(progress.heroPitch) ||
        !std::isfinite(progress.timePlayed) || progress.timePlayed < 0.0f || personality < 0 || personality > 1 ||
        level < 0 || level > kLastLevel || papers < 0) {
        damaged("it holds values no game can reach");
        return std::nullopt;
    }
    if (!readPositions(*file, progress.collectedPapers) || !readPositions(*file, progress.defeatedMonkeys)) {
        damaged("its lists of papers and monkeys are cut off or broken");
        return std::nullopt;
    }
    progress.worldDigest = static_cast<std::uint64_t>(digestHigh) << 32 | digestLow;
    progress.personality = personality;
    progress.level = level;
    progress.papersCollected = papers;
    progress.health = health;
    return progress;
}

bool APPMAINProgressFile::damaged(const std::string& why)
{
    reportError("load", "The progress file \"" + path_ + "\" cannot be used (" + why + "); a new game starts");
    return false;
}

std::uint64_t APPMAINProgressFile::worldDigest(const std::vector<std::string>& fileNames)
{
    QRUTILFingerprint digest;
    const auto mix = [&digest](const char* bytes, std::size_t count) { digest.mixBytes(bytes, count); };
    auto* files = qrFile();
    std::array<char, 1 << 16> buffer{};
    for (const std::string& name : fileNames) {
        // The name and a separator first, so moving bytes from one file to the next changes it too.
        mix(name.data(), name.size() + 1);
        std::ifstream in(qrdrive::nativePath(files ? files->absolutePath(name) : name), std::ios::binary);
        if (!in) {
            mix("\x01missing", 8);
            continue;
        }
        while (in) {
            in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            mix(buffer.data(), static_cast<std::size_t>(in.gcount()));
        }
        mix("\x02", 1);
    }
    return digest.value();
}
