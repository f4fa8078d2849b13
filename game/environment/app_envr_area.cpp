#include "environment/app_envr_area.h"

#include "core/qr_core_log.h"
#include "core/qr_util_main.h"
#include "environment/app_envr_block.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_main.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {
constexpr float kEmptyBox = 999999.0f;
constexpr Vector3 kUp{0.0f, 1.0f, 0.0f};
} // namespace

APPENVRArea::APPENVRArea(APPENVRMain* owner, int ax, int az)
    : QRObject(owner, "Area"), environment_(owner), ax_(ax), az_(az)
{
    for (int bx = 0; bx < APPENVRMain::kBlocksPerArea; ++bx)
        for (int bz = 0; bz < APPENVRMain::kBlocksPerArea; ++bz)
            blocks_[bx][bz] = qrNew<APPENVRBlock>(this, bx, bz);
}

APPENVRArea::~APPENVRArea() = default;

void APPENVRArea::initialize()
{
    QRObject::initialize();
    for (auto& column : blocks_)
        for (auto& block : column)
            block->initialize();
}

APPENVRGridRange APPENVRArea::getGroundRange() const
{
    const int x0 = APPENVRMain::kCellsPerArea * ax_;
    const int z0 = APPENVRMain::kCellsPerArea * az_;
    return {x0, z0, x0 + APPENVRMain::kCellsPerArea, z0 + APPENVRMain::kCellsPerArea};
}

APPENVRGridRange APPENVRArea::getVertexRange() const
{
    const int x0 = APPENVRMain::kVerticesPerArea * ax_;
    const int z0 = APPENVRMain::kVerticesPerArea * az_;
    return {x0, z0, x0 + APPENVRMain::kVerticesPerArea, z0 + APPENVRMain::kVerticesPerArea};
}

void APPENVRArea::updateBounds()
{
    bounds_ = {{kEmptyBox, kEmptyBox, kEmptyBox}, {-kEmptyBox, -kEmptyBox, -kEmptyBox}};
    for (auto& column : blocks_) {
        for (auto& block : column) {
            block->updateBounds();
            bounds_.minimum = QRUTILMain::minVector3(bounds_.minimum, block->getBounds().minimum);
            bounds_.maximum = QRUTILMain::maxVector3(bounds_.maximum, block->getBounds().maximum);
        }
    }
}

APPENVRBox APPENVRArea::getCullingBounds() const
{
    APPENVRBox box{{kEmptyBox, kEmptyBox, kEmptyBox}, {-kEmptyBox, -kEmptyBox, -kEmptyBox}};
    for (const auto& column : blocks_) {
        for (const auto& block : column) {
            box.minimum = QRUTILMain::minVector3(box.minimum, block->getCullingBounds().minimum);
            box.maximum = QRUTILMain::maxVector3(box.maximum, block->getCullingBounds().maximum);
        }
    }
    return box;
}

APPENVRBlock* APPENVRArea::getBlock(int bx, int bz) const
{
    const int last = APPENVRMain::kBlocksPerArea - 1;
    return blocks_[std::clamp(bx, 0, last)][std::clamp(bz, 0, last)].get();
}

std::string APPENVRArea::getFileNameIn(std::string_view folder) const
{
    return std::string(folder) + "\\area_" + std::to_string(ax_) + "_" + std::to_string(az_) + ".world";
}

bool APPENVRArea::save()
{
    if (!saveAs(getFileName()))
        return false;
    environment_->notifyAreaSaved(*this);
    return true;
}

bool APPENVRArea::saveAs(const std::string& name)
{
    if (unreadEntities_) {
        reportError("save", "The area file \"" + getFileName() +
                                "\" holds entities that could not be loaded; it is left as it is");
        return false;
    }
    auto* files = qrFile();
    if (!files)
        return false;
    if (auto* log = qrLog())
        log->logInformation("Saving Area File: \"" + name + "\"");
    // A fresh program folder has no world folder yet; a failure shows up when the file is created.
    const std::string target = files->absolutePath(name);
    std::error_code ignored;
    std::filesystem::create_directories(qrdrive::nativePath(QRFILEMain::extractFolder(target)), ignored);

    auto file = qrNew<QRFILEFile>(this);
    if (!file->open(name, QRFileAccess::Write, QRFileType::Binary, true))
        return false;
    // Writing stops at the first failure (the file reports it); the file then keeps the previous
    // area file in place when it closes.
    bool written = writeTerrain(*file);
    for (auto& column : blocks_)
        for (auto& block : column)
            written = written && block->save(*file);
    written = written && file->write(bounds_.minimum) && file->write(bounds_.maximum);
    return file->close() && written;
}

bool APPENVRArea::writeTerrain(QRFILEFile& file) const
{
    const APPENVRGridRange cells = getGroundRange();
    for (int x = cells.x0; x < cells.x1; ++x)
        for (int z = cells.z0; z < cells.z1; ++z)
            if (!file.write(environment_->getGroundCell(x, z)))
                return false;
    const APPENVRGridRange vertices = getVertexRange();
    for (int x = vertices.x0; x < vertices.x1; ++x) {
        for (int z = vertices.z0; z < vertices.z1; ++z) {
            const APPENVRVertex& vertex = environment_->getVertex(x, z);
            if (!file.write(vertex.height) || !file.write(vertex.normal))
                return false;
        }
    }
    return true;
}

void APPENVRArea::removeEntities()
{
    for (auto& column : blocks_)
        for (auto& block : column)
            block->removeEntities();
}

void APPENVRArea::loadFrom(const std::string& name, bool keepEntities)
{
    environment_->countAreaLoad();
    auto* files = qrFile();
    if (!files)
        return;
    // A save cut off by a crash leaves its temporary file beside the area file, which is still
    // the previous one, whole.
    QRFILEFile::removeUnfinishedWrite(name);
    if (!files->fileExists(name, false))
        return;
    if (auto* log = qrLog())
        log->logInformation("Loading Area File: \"" + name + "\"");
    auto file = qrNew<QRFILEFile>(this);
    if (!file->open(name, QRFileAccess::Read, QRFileType::Binary, true))
        return;
    unreadEntities_ = false;
    // Cleared for the whole area before any block is read: a record may stand its entity on a
    // block read later, which must not take it away again.
    if (!keepEntities)
        removeEntities();
    // Reading stops at the first failure: every later read would fail as well, and one report is
    // enough.
    int nonFiniteNumbers = 0;
    if (readTerrain(*file, nonFiniteNumbers))
        readRecords(*file, nonFiniteNumbers);
    file->close();
    // Stored boxes are only as good as the file (not read, stale, not numbers at all: a box of
    // NaN hides its block for good); measured from the terrain, a consistent file's come out the
    // same.
    updateBounds();
    if (nonFiniteNumbers > 0)
        reportError("load", "The area file \"" + name + "\" holds " + std::to_string(nonFiniteNumbers) +
                                " numbers that are not finite (heights, normals or boxes); the heights became 0, "
                                "the normals point up and the boxes were measured again");
}

bool APPENVRArea::readTerrain(QRFILEFile& file, int& nonFiniteNumbers)
{
    const APPENVRGridRange cells = getGroundRange();
    for (int x = cells.x0; x < cells.x1; ++x) {
        for (int z = cells.z0; z < cells.z1; ++z) {
            std::uint32_t word = environment_->getGroundCell(x, z);
            if (!file.read(word))
                return false;
            environment_->setGroundCell(x, z, word);
        }
    }
    const APPENVRGridRange vertices = getVertexRange();
    for (int x = vertices.x0; x < vertices.x1; ++x) {
        for (int z = vertices.z0; z < vertices.z1; ++z) {
            APPENVRVertex vertex = environment_->getVertex(x, z);
            const bool heightRead = file.read(vertex.height);
            const bool normalRead = heightRead && file.read(vertex.normal);
            // A NaN height would reach every height query, and through it the positions of
            // whatever stands there; a broken normal only shades, but equally wrongly.
            if (!std::isfinite(vertex.height)) {
                ++nonFiniteNumbers;
                vertex.height = 0.0f;
            }
            const int brokenNormal = countNonFinite(vertex.normal);
            if (brokenNormal > 0) {
                nonFiniteNumbers += brokenNormal;
                vertex.normal = kUp;
            }
            environment_->setVertex(x, z, vertex);
            if (!normalRead)
                return false;
        }
    }
    return true;
}

bool APPENVRArea::readRecords(QRFILEFile& file, int& nonFiniteNumbers)
{
    for (auto& column : blocks_) {
        for (auto& block : column) {
            const APPENVRBlockLoad result = block->load(file, nonFiniteNumbers);
            if (result == APPENVRBlockLoad::EntitiesUnread)
                unreadEntities_ = true;
            if (result != APPENVRBlockLoad::Loaded)
                return false;
        }
    }
    Vector3 minimum = bounds_.minimum;
    Vector3 maximum = bounds_.maximum;
    if (!file.read(minimum))
        return false;
    bounds_.minimum = minimum;
    if (!file.read(maximum))
        return false;
    bounds_.maximum = maximum;
    nonFiniteNumbers += countNonFinite(minimum) + countNonFinite(maximum);
    return true;
}
