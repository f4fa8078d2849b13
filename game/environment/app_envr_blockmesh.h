#pragma once
// The static geometry of one terrain block: the vertices its 10 x 10 ground cells draw (grid
// indices, street-tile coordinates, street code, normal, position), as indexed triangles in
// buffer objects, at three levels of detail: every height step, every second, and only the cell
// corners. Each level keeps grass cells apart from concrete cells, so that a ground type is one
// draw, and within a ground type sorts them by what their shading must read (the street atlas,
// the earth and rock layers: APPENVRLayerReach), so that each such group is one draw with the
// cheapest program that shades it right; the quads a cell's street tile covers completely
// (APPENVRStreetCover) go into one more group, shaded from the tile alone. Where a coarser block
// meets a finer one their borders differ, so every level hangs a skirt from the block's border
// down below the lowest height of each border cell edge: no gap between them ever shows. Owned by
// its block, which builds it again after the terrain under it changed.

#include "core/qr_core_object.h"
#include "environment/app_envr_main.h"

#include <array>
#include <cstdint>
#include <vector>

class QRVISXVertexBuffer;

class APPENVRBlockMesh : public QRObject {
public:
    // 5 x 5 vertices and 4 x 4 quads of two triangles per ground cell at full detail.
    static constexpr int kCellVertexCount = 25;
    static constexpr int kCellIndexCount = 96;
    // Level l steps 2^l height steps: 4 x 4, 2 x 2 and 1 x 1 quads per cell.
    static constexpr int kLevelCount = 3;
    // How far a skirt reaches below the lowest vertex of its cell edge.
    static constexpr float kSkirtDepth = 1.0f;

    // An index range of the buffer: first index and number of indices.
    struct Range {
        int first = 0;
        int count = 0;
    };
    // Cells of one ground type whose shading needs the same (APPENVRLayerReach::kStreet, kEarth,
    // kRock), the quads of its cells their street tiles cover (kStreetTileOnly), or the skirts of
    // a ground type with what any of their cells needs.
    struct Draw {
        bool concrete = false;
        unsigned needs = 0;
        Range range;
    };

    explicit APPENVRBlockMesh(QRObject* owner);
    ~APPENVRBlockMesh() override;

    // Fills the buffer from the 10 x 10 cells starting at firstCell and uploads it.
    void build(const APPENVRMain& environment, APPENVRGridIndex firstCell);
    bool isBuilt() const { return built_; }
    int getGrassCellCount() const { return grassCells_; }
    int getConcreteCellCount() const { return cellCount() - grassCells_; }
    // One draw each (the cells of that ground type at the level, with their skirts); nothing
    // when the block has no cell of that ground type. Levels outside 0..2 are clamped.
    void renderGrass(int level = 0);
    void renderConcrete(int level = 0);
    const QRVISXVertexBuffer& getBuffer() const { return *buffer_; }
    // What those draws send: the cells' own triangles, and with them their skirts.
    Range getCellTriangles(int level) const;
    Range getGrassDraw(int level) const;
    Range getConcreteDraw(int level) const;
    // The grass draw and the concrete draw cut by what the shading must read, in buffer order:
    // together they cover both, each range once.
    const std::vector<Draw>& getShadingDraws(int level) const;
    // Draws that range of the buffer's indices; nothing for an empty one.
    void renderRange(const Range& range);

    // The street-tile coordinate of vertex column or row step (0..4) of a cell: 0.02 plus step
    // times 0.24, summed up step by step as the cell-by-cell drawing does, so both give the same.
    static float streetCoordinate(int step);
    // The code texture coordinate set 2 carries for a cell word: its shape 1..15, or 0 for a cell
    // without a street and for a street still waiting for its shape.
    static float streetCode(std::uint32_t cellWord);

private:
    // A border edge of a cell: its five vertices, in order along the edge.
    struct Edge {
        std::array<int, 5> top{};
        std::array<int, 5> bottom{};
    };
    struct Cell {
        int cx = 0;
        int cz = 0;
        int slot = 0;
        unsigned needs = 0;
        std::uint16_t tileQuads = 0;
        std::vector<Edge> edges;
    };
    // Draw ranges by level: grass (skirts, then cells) and concrete (cells, then skirts) meet in
    // the middle, so the cells of both ground types are one range too.
    struct Level {
        Range grass;
        Range concrete;
        Range cells;
        std::vector<Draw> draws;
    };

    static int cellCount() { return APPENVRMain::kCellsPerBlock * APPENVRMain::kCellsPerBlock; }
    static int clampLevel(int level);
    void addCellVertices(const APPENVRMain& environment, int cx, int cz, int slot);
    // A block-border edge of a cell: the column (i) or row (j) of its vertices, 0 or 4.
    struct Side {
        bool column;
        int fixed;
    };
    static std::vector<Side> borderSides(APPENVRGridIndex firstCell, const Cell& cell);
    // The cell's border edges, with the skirts' bottom vertices written from nextVertex on.
    std::vector<Edge> addSkirtVertices(APPENVRGridIndex firstCell, const Cell& cell, int& nextVertex);
    // The cell's quads at step, only those its street tile covers or only the others: a coarser
    // quad counts as covered when its tile covers every quad it spans.
    static void appendCellTriangles(std::vector<int>& indices, const Cell& cell, int step, bool covered);
    static void appendSkirtTriangles(std::vector<int>& indices, const Cell& cell, int step);
    // Appends draw, or lengthens the last draw when it is the same kind and ends where draw starts.
    static void addDraw(std::vector<Draw>& draws, const Draw& draw);
    // Appends the draws of cells (sorted by needs) at step, then of the quads their tiles cover,
    // or of their skirts.
    static void appendCellDraws(std::vector<int>& indices, std::vector<Draw>& draws, const std::vector<Cell>& cells,
                                bool concrete, int step);
    static void appendSkirtDraw(std::vector<int>& indices, std::vector<Draw>& draws, const std::vector<Cell>& cells,
                                bool concrete, int step);

    QROwned<QRVISXVertexBuffer> buffer_;
    std::array<Level, kLevelCount> levels_{};
    int grassCells_ = 0;
    bool built_ = false;
};
