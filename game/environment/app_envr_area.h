#pragma once
// An area: 640 x 640 world units of the environment, stored in a file of its own
// ("world\area_X_Z.world") and made of 4 x 4 terrain blocks that it owns. Owned by the
// environment, whose grids it reads and writes through its index ranges.

#include "core/qr_core_object.h"
#include "environment/app_envr_main.h"

#include <string>
#include <string_view>

class APPENVRBlock;
class QRFILEFile;

class APPENVRArea : public QRObject {
public:
    static constexpr const char* kWorldFolder = "world";

    APPENVRArea(APPENVRMain* owner, int ax, int az);
    ~APPENVRArea() override;

    // Computes the index ranges and initialises the blocks.
    void initialize() override;
    // Every block recomputes its box first; the area's box is their union.
    void updateBounds();
    const APPENVRBox& getBounds() const { return bounds_; }
    // Puts back a box exactly as it was (the editor's undo); the blocks keep theirs.
    void setBounds(const APPENVRBox& bounds) { bounds_ = bounds; }
    // What the area is culled by: the union of its blocks' culling boxes, so that an area is
    // drawn whenever one of its blocks would be.
    APPENVRBox getCullingBounds() const;
    APPENVRAreaIndex getIndex() const { return {ax_, az_}; }
    APPENVRGridRange getGroundRange() const;
    APPENVRGridRange getVertexRange() const;
    // Indices clamped to 0..3.
    APPENVRBlock* getBlock(int bx, int bz) const;
    APPENVRMain* getEnvironment() const { return environment_; }

    // "world\area_X_Z.world"; getFileNameIn gives the same name in another folder (the editor
    // keeps its recovery copies in "recovery").
    std::string getFileName() const { return getFileNameIn(kWorldFolder); }
    std::string getFileNameIn(std::string_view folder) const;
    // Writes the area file beside the old one, which is replaced only once every byte is written,
    // and then tells the environment (setAreaSavedObserver). Refuses when the file holds entity
    // entries that could not be made sense of (an impossible count, values that are not numbers),
    // which saving would lose.
    bool save();
    // The same bytes written to another file (a copy, never the area's own file).
    bool saveAs(const std::string& fileName);
    // A missing file leaves the area as it is. A short or unreadable file keeps every value it
    // did not hold. Heights, normals and boxes that are not finite numbers are reported (naming
    // the file) and replaced: height 0, normal up. Every box is measured again from the terrain
    // afterwards, which gives a consistent file's boxes back unchanged.
    void load() { loadFrom(getFileName()); }
    // What stood on the area goes first, unless keepEntities: then whatever another area's file
    // already placed here stays (the environment clears every area before it loads them all).
    void loadFrom(const std::string& fileName, bool keepEntities = false);
    void removeEntities();
    bool holdsUnreadEntities() const { return unreadEntities_; }

private:
    bool writeTerrain(QRFILEFile& file) const;
    // Both add the numbers they had to replace to nonFiniteNumbers.
    bool readTerrain(QRFILEFile& file, int& nonFiniteNumbers);
    bool readRecords(QRFILEFile& file, int& nonFiniteNumbers);

    APPENVRMain* environment_;
    int ax_;
    int az_;
    APPENVRBox bounds_;
    std::array<std::array<QROwned<APPENVRBlock>, APPENVRMain::kBlocksPerArea>, APPENVRMain::kBlocksPerArea> blocks_;
    bool unreadEntities_ = false;
};
