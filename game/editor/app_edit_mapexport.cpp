#include "editor/app_edit_mapexport.h"

#include "core/qr_core_log.h"
#include "environment/app_envr_block.h"
#include "environment/app_envr_main.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_main.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <sstream>

namespace {

constexpr int kSide = APPENVRMain::kStoredVertexCount;
constexpr int kCells = APPENVRMain::kCellCount;
constexpr float kLargest = 65535.0f;

// Rows of values, one picture row per z, in the picture's own layout (which pads rows).
template <class Value>
QByteArray encodePng(const std::vector<Value>& values, int side, QImage::Format format)
{
    QImage picture(side, side, format);
    for (int row = 0; row < side; ++row)
        std::memcpy(picture.scanLine(row), values.data() + static_cast<std::size_t>(row) * side, side * sizeof(Value));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        bytes.clear();
    return bytes;
}

std::string number(float value)
{
    std::ostringstream text;
    text.precision(std::numeric_limits<float>::max_digits10);
    text << value;
    return text.str();
}

} // namespace

APPEDITMapExport::APPEDITMapExport(QRObject* owner) : QRObject(owner, "Map Export") {}

std::uint16_t APPEDITMapExport::heightValue(float height)
{
    // NaN would pass any clamp; it stands for no height at all.
    if (std::isnan(height))
        return 0;
    return static_cast<std::uint16_t>(std::lround(std::clamp(height, 0.0f, kHighest) / kHighest * kLargest));
}

std::uint8_t APPEDITMapExport::groundValue(std::uint32_t cell)
{
    const bool street = cell > APPENVRMain::kGroundTypeMask;
    const bool concrete = (cell & APPENVRMain::kGroundTypeMask) != 0;
    if (street)
        return concrete ? 255 : 192;
    return concrete ? 128 : 0;
}

std::vector<std::uint16_t> APPEDITMapExport::heightValues(const APPENVRMain& terrain)
{
    std::vector<std::uint16_t> values(static_cast<std::size_t>(kSide) * kSide);
    for (int z = 0; z < kSide; ++z)
        for (int x = 0; x < kSide; ++x)
            values[static_cast<std::size_t>(z) * kSide + x] = heightValue(terrain.getVertex(x, z).height);
    return values;
}

std::vector<std::uint8_t> APPEDITMapExport::groundValues(const APPENVRMain& terrain)
{
    std::vector<std::uint8_t> values(static_cast<std::size_t>(kCells) * kCells);
    for (int z = 0; z < kCells; ++z)
        for (int x = 0; x < kCells; ++x)
            values[static_cast<std::size_t>(z) * kCells + x] = groundValue(terrain.getGroundCell(x, z));
    return values;
}

bool APPEDITMapExport::exportHeightmap(const APPENVRMain& terrain)
{
    const QByteArray png = encodePng(heightValues(terrain), kSide, QImage::Format_Grayscale16);
    if (png.isEmpty()) {
        reportError("exportHeightmap", "The height map could not be encoded as PNG");
        return false;
    }
    float lowest = std::numeric_limits<float>::infinity();
    float highest = -lowest;
    int clamped = 0;
    for (int x = 0; x < kSide; ++x) {
        for (int z = 0; z < kSide; ++z) {
            const float height = terrain.getVertex(x, z).height;
            lowest = std::min(lowest, height);
            highest = std::max(highest, height);
            clamped += !(height >= 0.0f && height <= kHighest);
        }
    }
    return writePicture(APPENVRBlock::kHeightmapFile, png) && writeFile(kHeightmapNotesFile, QRFileType::Text, [&](QRFILEFile& file) {
        return file.writeLine("Height map of the whole world: heightmap.png") &&
               file.writeLine("640 x 640 pixels, 16-bit greyscale; pixel (column x, row z) is terrain vertex (x, z).") &&
               file.writeLine("value = round(clamp(height, 0, 127.5) / 127.5 * 65535)") &&
               file.writeLine("Importing reads height = value / 65535 * 127.5 to the nearest 0.5 unit.") &&
               file.writeLine("Lowest height: " + number(lowest)) && file.writeLine("Highest height: " + number(highest)) &&
               file.writeLine("Vertices outside 0..127.5 (clamped): " + std::to_string(clamped));
    });
}

bool APPEDITMapExport::exportGroundmap(const APPENVRMain& terrain)
{
    const QByteArray png = encodePng(groundValues(terrain), kCells, QImage::Format_Grayscale8);
    if (png.isEmpty()) {
        reportError("exportGroundmap", "The ground map could not be encoded as PNG");
        return false;
    }
    return writePicture(APPENVRBlock::kGroundmapFile, png);
}

bool APPEDITMapExport::writePicture(const std::string& name, const QByteArray& png)
{
    return writeFile(name, QRFileType::Binary, [&](QRFILEFile& file) {
        return file.write(static_cast<const void*>(png.constData()), static_cast<std::int64_t>(png.size()));
    });
}

std::string APPEDITMapExport::locate(const std::string& name)
{
    const auto* files = qrFile();
    return qrdrive::nativePath(files ? files->absolutePath(name) : name).string();
}

bool APPEDITMapExport::exists(const std::string& name)
{
    std::error_code ignored;
    return std::filesystem::exists(locate(name), ignored);
}

bool APPEDITMapExport::writeFile(const std::string& name, QRFileType type,
                                 const std::function<bool(QRFILEFile& file)>& content)
{
    if (auto* log = qrLog())
        log->logInformation("Exporting: \"" + name + "\"");
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(locate(name)).parent_path(), ignored);
    auto file = qrNew<QRFILEFile>(this);
    if (!file->open(name, QRFileAccess::Write, type, true))
        return false;
    // The file replaces the old one at close only when every byte was written.
    const bool written = content(*file);
    return file->close() && written;
}
