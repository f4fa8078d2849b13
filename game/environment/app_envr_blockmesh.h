#pragma once
// The static geometry of one terrain block: the vertices its 10 x 10 ground cells draw (grid
// indices, street-tile coordinates, street code, normal, position), as indexed triangles in
// buffer objects, grass cells first and concrete cells after them, so that each ground type is a
// single draw. Owned by its block, which builds it again after the terrain under it changed.

#include "core/qr_core_object.h"
#include "environment/app_envr_main.h"

#include <cstdint>

class QRVISXVertexBuffer;

class APPENVRBlockMesh : public QRObject {
public:
    // 5 x 5 vertices and 4 x 4 quads of two triangles per ground cell.
    static constexpr int kCellVertexCount = 25;
    static constexpr int kCellIndexCount = 96;

    explicit APPENVRBlockMesh(QRObject* owner);
    ~APPENVRBlockMesh() override;

    // Fills the buffer from the 10 x 10 cells starting at firstCell and uploads it.
    void build(const APPENVRMain& environment, APPENVRGridIndex firstCell);
    bool isBuilt() const { return built_; }
    int getGrassCellCount() const { return grassCells_; }
    int getConcreteCellCount() const { return cellCount() - grassCells_; }
    // One draw each; nothing when the block has no cell of that ground type.
    void renderGrass();
    void renderConcrete();
    const QRVISXVertexBuffer& getBuffer() const { return *buffer_; }

    // The street-tile coordinate of vertex column or row step (0..4) of a cell: 0.02 plus step
    // times 0.24, summed up step by step as the cell-by-cell drawing does, so both give the same.
    static float streetCoordinate(int step);
    // The code texture coordinate set 2 carries for a cell word: its shape 1..15, or 0 for a cell
    // without a street and for a street still waiting for its shape.
    static float streetCode(std::uint32_t cellWord);

private:
    static int cellCount() { return APPENVRMain::kCellsPerBlock * APPENVRMain::kCellsPerBlock; }
    void addCell(const APPENVRMain& environment, int cx, int cz, int slot);
    void renderCells(int firstCell, int count);

    QROwned<QRVISXVertexBuffer> buffer_;
    int grassCells_ = 0;
    bool built_ = false;
};
