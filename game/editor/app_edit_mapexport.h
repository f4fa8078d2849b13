#pragma once
// Writes the whole world's terrain as the two pictures the block imports read: the height map (a
// 16-bit greyscale PNG, one pixel per stored vertex, with a note of the real height range beside
// it) and the ground map (an 8-bit PNG, one pixel per ground cell). Made by the editor for one
// export and dropped afterwards.

#include "core/qr_core_object.h"
#include "file/qr_file_file.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class APPENVRMain;
class QByteArray;

class APPEDITMapExport : public QRObject {
public:
    static constexpr const char* kHeightmapNotesFile = "textures\\heightmaps\\heightmap.txt";
    // The import gives heights from 0 to this; the export clamps to the same range.
    static constexpr float kHighest = 127.5f;

    explicit APPEDITMapExport(QRObject* owner);

    // round(clamp(height, 0, 127.5) / 127.5 * 65535).
    static std::uint16_t heightValue(float height);
    // The red value the import turns back into this cell: 0 grass, 128 concrete, 192 grass with
    // street, 255 concrete with street. The street's shape is not stored; the import recomputes it.
    static std::uint8_t groundValue(std::uint32_t cell);
    // Row z, column x: 640 x 640 height values and 160 x 160 ground values.
    static std::vector<std::uint16_t> heightValues(const APPENVRMain& terrain);
    static std::vector<std::uint8_t> groundValues(const APPENVRMain& terrain);

    // Both replace their files only once every byte is written; false after a reported failure.
    bool exportHeightmap(const APPENVRMain& terrain);
    bool exportGroundmap(const APPENVRMain& terrain);
    // Where a program-folder name ends up on the drive, for the user to see.
    static std::string locate(const std::string& name);
    static bool exists(const std::string& name);

private:
    bool writePicture(const std::string& name, const QByteArray& png);
    // Creates the folder when needed; content writes into the open file.
    bool writeFile(const std::string& name, QRFileType type, const std::function<bool(QRFILEFile& file)>& content);
};
