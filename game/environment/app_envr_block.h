#pragma once
// A terrain block: 160 x 160 world units of an area (40 x 40 height steps, 10 x 10 ground cells),
// the unit of culling and of entity bookkeeping. It owns no terrain samples, only its index
// ranges into the environment's grids, its boxes and the list of entities standing on it (which
// belong to the world's entity list). Owned by its area.

#include "core/qr_core_object.h"
#include "environment/app_envr_blockdetail.h"
#include "environment/app_envr_main.h"

class APPENVRArea;
class APPENVRBlockMesh;
class QRFILEFile;
class APPENTTMain;
class QRRESCList;
class QRVISXShaderConfiguration;

// How far reading a block record got.
enum class APPENVRBlockLoad {
    Loaded,
    // A read failed (reported by the file); everything after it is missing.
    ReadFailed,
    // The entity entries make no sense (an impossible count, values that are not numbers); the
    // rest of the file is not read, and the area will not be saved over it.
    EntitiesUnread,
};

class APPENVRBlock : public QRObject {
public:
    APPENVRBlock(APPENVRArea* owner, int bx, int bz);
    ~APPENVRBlock() override;

    // Computes the index ranges from the owning area's index.
    void initialize() override;

    // The entity list does not own its entities (the world's entity list does).
    APPENTTMain* getEntity(int index) const;
    int getEntityCount() const;
    void addEntity(APPENTTMain* entity);
    void removeEntity(APPENTTMain* entity);
    // Compares the address only, so it may be asked about an entity that is gone.
    bool hasEntity(const APPENTTMain* entity) const;
    // -1 when the entity does not stand here.
    int indexOfEntity(const APPENTTMain* entity) const;
    // Moves an entity standing here to index (clamped) of the list, which is the order the area
    // file stores them in.
    void moveEntityTo(APPENTTMain* entity, int index);

    // Height range of the block's own 40 x 40 vertices: the box its area file stores.
    void updateBounds();
    // The box around every vertex the block draws: its own 41 x 41 including the first row and
    // column of the next blocks.
    APPENVRBox measureDrawnGround() const;
    const APPENVRBox& getBounds() const { return bounds_; }
    // Puts back a box exactly as it was (the editor's undo).
    void setBounds(const APPENVRBox& bounds);
    // What the block is culled by: the ground it draws (measureDrawnGround) with 10 units sideways
    // and downwards and 50 upwards for whatever stands on it. It follows the terrain, measured
    // again on first use after a vertex the block draws changed (markGeometryChanged), whether
    // an edit, an undo or a load of this or the next area changed it.
    const APPENVRBox& getCullingBounds() const;

    APPENVRGridIndex getIndex() const { return {bx_, bz_}; }
    APPENVRGridIndex getGroundRange() const { return groundStart_; }
    APPENVRGridIndex getGroundRangeEnd() const;
    APPENVRGridIndex getVertexRange() const { return vertexStart_; }
    APPENVRGridIndex getVertexRangeEnd() const;
    APPENVRArea* getArea() const { return area_; }

    // The block's record in its area file: the bounding box and the entity entries (transient
    // entities are left out). Both stop at the first failed read or write (which the file
    // reports). Loading replaces the entities standing on the block with the stored ones, created
    // through the world's entity list; an entry that cannot be read completely is dropped.
    // A stored box with numbers that are not finite is measured from the terrain instead (read
    // before the blocks), and those numbers are added to nonFiniteNumbers.
    bool save(QRFILEFile& file) const;
    APPENVRBlockLoad load(QRFILEFile& file, int& nonFiniteNumbers);

    // The pictures the imports read (and the editor's export writes).
    static constexpr const char* kHeightmapFile = "textures\\heightmaps\\heightmap.png";
    static constexpr const char* kGroundmapFile = "textures\\heightmaps\\groundmap.png";
    // Editor imports: heights from the red channel of "textures\heightmaps\heightmap.png" (one
    // pixel per vertex of the whole world, 0..127.5 units), ground cells from
    // "textures\heightmaps\groundmap.png" (one pixel per cell). Only this block's part changes.
    void importHeightmap();
    void importGroundmap();

    // Draws the block's ground cells when its culling box is in view; the editor form then
    // outlines the block. With static buffers the block's geometry is built on its first draw
    // and again on the first draw after the terrain under it changed. Both say whether the block
    // was in view.
    bool render();
    bool renderEditor();
    void markGeometryChanged()
    {
        geometryChanged_ = true;
        cullingStale_ = true;
    }
    bool isGeometryChanged() const { return geometryChanged_; }
    // How the block draws from static buffers seen from the current 3D camera.
    APPENVRBlockDetail getDetail() const;
    // Null until the block first drew from static buffers.
    const APPENVRBlockMesh* getMesh() const { return mesh_.get(); }

    // Takes the entities standing here out of the world (before its area is loaded again).
    void removeEntities();

private:
    APPENVRMain& environment() const;
    bool isInView() const;
    void renderTerrain();
    void renderCells();
    void renderCell(int cx, int cz);
    // The mesh at the detail's level, each group of cells with the cheapest shading that draws
    // it right there (APPENVRMain::getShading).
    void renderMesh(const APPENVRBlockDetail& detail);
    // The static geometry, built on first use and again after the terrain under it changed.
    APPENVRBlockMesh& builtMesh();
    void requestGroundTextures(bool grass);
    void renderOutline();

    APPENVRArea* area_;
    int bx_;
    int bz_;
    APPENVRBox bounds_;
    mutable APPENVRBox cullingBounds_;
    mutable bool cullingStale_ = true;
    APPENVRGridIndex groundStart_;
    APPENVRGridIndex vertexStart_;
    QROwned<QRRESCList> entities_;
    bool geometryChanged_ = true;
    QROwned<APPENVRBlockMesh> mesh_;
};
