#include "environment/app_envr_blockmesh.h"

#include "environment/app_envr_layerreach.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"

#include <algorithm>

namespace {
constexpr int kCellSteps = APPENVRMain::kVerticesPerCell;
constexpr int kRowVertices = kCellSteps + 1;
constexpr std::uint32_t kLastShape = 15;
constexpr int kLastCell = APPENVRMain::kCellCount - 1;

// The buffer slot's vertex at column i (along X) and row j (along Z) of its cell.
int cellVertex(int slot, int i, int j)
{
    return slot * APPENVRBlockMesh::kCellVertexCount + i * kRowVertices + j;
}
} // namespace

APPENVRBlockMesh::APPENVRBlockMesh(QRObject* owner)
    : QRObject(owner, "Terrain Block Mesh"), buffer_(qrNew<QRVISXVertexBuffer>(this))
{
    buffer_->setPrimitive(true, GL_TRIANGLES);
    buffer_->setComponentCounts(3, 0, 0);
    buffer_->setTexCoordComponents(0, 2);
    buffer_->setTexCoordComponents(1, 2);
    buffer_->setTexCoordComponents(2, 1);
}

APPENVRBlockMesh::~APPENVRBlockMesh() = default;

float APPENVRBlockMesh::streetCoordinate(int step)
{
    static const std::array<float, kRowVertices> coordinates = [] {
        std::array<float, kRowVertices> values{};
        float value = 0.02f;
        for (float& entry : values) {
            entry = value;
            value += 0.24f;
        }
        return values;
    }();
    return coordinates.at(static_cast<std::size_t>(step));
}

float APPENVRBlockMesh::streetCode(std::uint32_t cellWord)
{
    const std::uint32_t shape = cellWord >> 8;
    return shape <= kLastShape ? static_cast<float>(shape) : 0.0f;
}

int APPENVRBlockMesh::clampLevel(int level)
{
    return std::clamp(level, 0, kLevelCount - 1);
}

void APPENVRBlockMesh::build(const APPENVRMain& environment, APPENVRGridIndex firstCell)
{
    // Grass cells take the slots from the front, concrete cells the ones behind them, each in the
    // order the cell-by-cell drawing visits them.
    std::vector<Cell> grass;
    std::vector<Cell> concrete;
    for (int cx = firstCell.x; cx < firstCell.x + APPENVRMain::kCellsPerBlock; ++cx)
        for (int cz = firstCell.z; cz < firstCell.z + APPENVRMain::kCellsPerBlock; ++cz)
            (environment.isDefaultGround(cx, cz) ? grass : concrete)
                .push_back({cx, cz, 0, environment.getCellNeeds(cx, cz), environment.getStreetTileQuads(cx, cz), {}});
    // Cells that need the same shading next to each other, each group one draw.
    for (std::vector<Cell>* cells : {&grass, &concrete})
        std::stable_sort(cells->begin(), cells->end(),
                         [](const Cell& a, const Cell& b) { return a.needs < b.needs; });
    grassCells_ = static_cast<int>(grass.size());
    int slot = 0;
    for (std::vector<Cell>* cells : {&grass, &concrete})
        for (Cell& cell : *cells)
            cell.slot = slot++;

    // The skirts' bottom vertices follow the cells' own, five for each border edge of a cell.
    int borderEdges = 0;
    for (const std::vector<Cell>* cells : {&grass, &concrete})
        for (const Cell& cell : *cells)
            borderEdges += static_cast<int>(borderSides(firstCell, cell).size());
    buffer_->create(cellCount() * kCellVertexCount + borderEdges * kRowVertices, 0);
    int nextVertex = cellCount() * kCellVertexCount;
    for (std::vector<Cell>* cells : {&grass, &concrete}) {
        for (Cell& cell : *cells) {
            addCellVertices(environment, cell.cx, cell.cz, cell.slot);
            cell.edges = addSkirtVertices(firstCell, cell, nextVertex);
        }
    }

    std::vector<int> indices;
    for (int level = 0; level < kLevelCount; ++level) {
        const int step = 1 << level;
        Level& ranges = levels_[static_cast<std::size_t>(level)];
        ranges.draws.clear();
        ranges.grass.first = static_cast<int>(indices.size());
        appendSkirtDraw(indices, ranges.draws, grass, false, step);
        ranges.cells.first = static_cast<int>(indices.size());
        appendCellDraws(indices, ranges.draws, grass, false, step);
        ranges.grass.count = static_cast<int>(indices.size()) - ranges.grass.first;
        ranges.concrete.first = static_cast<int>(indices.size());
        appendCellDraws(indices, ranges.draws, concrete, true, step);
        ranges.cells.count = static_cast<int>(indices.size()) - ranges.cells.first;
        appendSkirtDraw(indices, ranges.draws, concrete, true, step);
        ranges.concrete.count = static_cast<int>(indices.size()) - ranges.concrete.first;
    }
    buffer_->resize(nextVertex, static_cast<int>(indices.size()));
    for (std::size_t i = 0; i < indices.size(); ++i)
        buffer_->setIndex(static_cast<int>(i), indices[i]);
    buffer_->generateVBO();
    built_ = true;
}

void APPENVRBlockMesh::addCellVertices(const APPENVRMain& environment, int cx, int cz, int slot)
{
    QRVISXVertexBuffer& buffer = *buffer_;
    const float code = streetCode(environment.getGroundCell(cx, cz));
    const int x0 = cx * kCellSteps;
    const int z0 = cz * kCellSteps;
    for (int i = 0; i < kRowVertices; ++i) {
        for (int j = 0; j < kRowVertices; ++j) {
            const int x = x0 + i;
            const int z = z0 + j;
            const int vertex = cellVertex(slot, i, j);
            buffer.setVertexPosition(vertex, environment.getVertexPosition(x, z));
            buffer.setNormal(vertex, environment.getVertex(x, z).normal);
            buffer.setTexCoord(0, vertex, {static_cast<float>(x), static_cast<float>(z)});
            buffer.setTexCoord(1, vertex, {streetCoordinate(i), streetCoordinate(j)});
            buffer.setTexCoord(2, vertex, {code, 0.0f});
        }
    }
}

std::vector<APPENVRBlockMesh::Side> APPENVRBlockMesh::borderSides(APPENVRGridIndex firstCell, const Cell& cell)
{
    // The world's own border needs no skirt: nothing lies beyond it.
    const int lastX = firstCell.x + APPENVRMain::kCellsPerBlock - 1;
    const int lastZ = firstCell.z + APPENVRMain::kCellsPerBlock - 1;
    std::vector<Side> sides;
    if (cell.cx == firstCell.x && cell.cx > 0)
        sides.push_back({true, 0});
    if (cell.cx == lastX && cell.cx < kLastCell)
        sides.push_back({true, kCellSteps});
    if (cell.cz == firstCell.z && cell.cz > 0)
        sides.push_back({false, 0});
    if (cell.cz == lastZ && cell.cz < kLastCell)
        sides.push_back({false, kCellSteps});
    return sides;
}

std::vector<APPENVRBlockMesh::Edge> APPENVRBlockMesh::addSkirtVertices(APPENVRGridIndex firstCell, const Cell& cell,
                                                                       int& nextVertex)
{
    std::vector<Edge> edges;
    QRVISXVertexBuffer& buffer = *buffer_;
    for (const Side& side : borderSides(firstCell, cell)) {
        Edge edge;
        float lowest = 0.0f;
        for (int t = 0; t < kRowVertices; ++t) {
            const int i = side.column ? side.fixed : t;
            const int j = side.column ? t : side.fixed;
            edge.top[static_cast<std::size_t>(t)] = cellVertex(cell.slot, i, j);
            const float height = buffer.getVertexPosition(edge.top[static_cast<std::size_t>(t)]).y;
            lowest = t == 0 ? height : std::min(lowest, height);
        }
        // Every level's border lies between the lowest and the highest of these five heights, so a
        // skirt down to below the lowest closes whatever gap a neighbour at another level leaves.
        for (int t = 0; t < kRowVertices; ++t) {
            const int top = edge.top[static_cast<std::size_t>(t)];
            buffer.copyVertex(buffer, top, nextVertex);
            Vector3 position = buffer.getVertexPosition(top);
            position.y = lowest - kSkirtDepth;
            buffer.setVertexPosition(nextVertex, position);
            edge.bottom[static_cast<std::size_t>(t)] = nextVertex++;
        }
        edges.push_back(edge);
    }
    return edges;
}

void APPENVRBlockMesh::appendCellTriangles(std::vector<int>& indices, const Cell& cell, int step, bool covered)
{
    // The triangles a strip along X through rows z and z + step makes, in the strip's own order
    // and winding: (a0, b0, a1) and (a1, b0, b1) for each column step, with a on row z, b on the
    // next row.
    for (int j = 0; j < kCellSteps; j += step) {
        for (int i = 0; i < kCellSteps; i += step) {
            unsigned spanned = 0;
            for (int di = 0; di < step; ++di)
                for (int dj = 0; dj < step; ++dj)
                    spanned |= 1u << ((i + di) * kCellSteps + j + dj);
            if (((cell.tileQuads & spanned) == spanned) != covered)
                continue;
            const int a0 = cellVertex(cell.slot, i, j);
            const int b0 = cellVertex(cell.slot, i, j + step);
            const int a1 = cellVertex(cell.slot, i + step, j);
            const int b1 = cellVertex(cell.slot, i + step, j + step);
            indices.insert(indices.end(), {a0, b0, a1, a1, b0, b1});
        }
    }
}

void APPENVRBlockMesh::appendSkirtTriangles(std::vector<int>& indices, const Cell& cell, int step)
{
    // Both windings: the skirt is seen from either side, whatever faces are culled.
    for (const Edge& edge : cell.edges) {
        for (int t = 0; t < kCellSteps; t += step) {
            const int top0 = edge.top[static_cast<std::size_t>(t)];
            const int top1 = edge.top[static_cast<std::size_t>(t + step)];
            const int bottom0 = edge.bottom[static_cast<std::size_t>(t)];
            const int bottom1 = edge.bottom[static_cast<std::size_t>(t + step)];
            indices.insert(indices.end(), {top0, bottom0, top1, top1, bottom0, bottom1});
            indices.insert(indices.end(), {top0, top1, bottom0, top1, bottom1, bottom0});
        }
    }
}

void APPENVRBlockMesh::addDraw(std::vector<Draw>& draws, const Draw& draw)
{
    if (draw.range.count <= 0)
        return;
    Draw* last = draws.empty() ? nullptr : &draws.back();
    if (last && last->concrete == draw.concrete && last->needs == draw.needs &&
        last->range.first + last->range.count == draw.range.first)
        last->range.count += draw.range.count;
    else
        draws.push_back(draw);
}

void APPENVRBlockMesh::appendCellDraws(std::vector<int>& indices, std::vector<Draw>& draws,
                                       const std::vector<Cell>& cells, bool concrete, int step)
{
    for (const Cell& cell : cells) {
        const int first = static_cast<int>(indices.size());
        appendCellTriangles(indices, cell, step, false);
        addDraw(draws, {concrete, cell.needs, {first, static_cast<int>(indices.size()) - first}});
    }
    for (const Cell& cell : cells) {
        const int first = static_cast<int>(indices.size());
        if (cell.tileQuads != 0)
            appendCellTriangles(indices, cell, step, true);
        addDraw(draws, {concrete, APPENVRLayerReach::kStreetTileOnly, {first, static_cast<int>(indices.size()) - first}});
    }
}

void APPENVRBlockMesh::appendSkirtDraw(std::vector<int>& indices, std::vector<Draw>& draws,
                                       const std::vector<Cell>& cells, bool concrete, int step)
{
    // The skirts only show in the gaps beside coarser neighbours; one draw for all of them, shaded
    // with whatever any of their cells reads.
    const int first = static_cast<int>(indices.size());
    unsigned needs = 0;
    for (const Cell& cell : cells) {
        if (cell.edges.empty())
            continue;
        appendSkirtTriangles(indices, cell, step);
        needs |= cell.needs;
    }
    addDraw(draws, {concrete, needs, {first, static_cast<int>(indices.size()) - first}});
}

const std::vector<APPENVRBlockMesh::Draw>& APPENVRBlockMesh::getShadingDraws(int level) const
{
    return levels_[static_cast<std::size_t>(clampLevel(level))].draws;
}

APPENVRBlockMesh::Range APPENVRBlockMesh::getCellTriangles(int level) const
{
    return levels_[static_cast<std::size_t>(clampLevel(level))].cells;
}

APPENVRBlockMesh::Range APPENVRBlockMesh::getGrassDraw(int level) const
{
    return levels_[static_cast<std::size_t>(clampLevel(level))].grass;
}

APPENVRBlockMesh::Range APPENVRBlockMesh::getConcreteDraw(int level) const
{
    return levels_[static_cast<std::size_t>(clampLevel(level))].concrete;
}

void APPENVRBlockMesh::renderRange(const Range& range)
{
    if (range.count <= 0)
        return;
    buffer_->renderRange(GL_TRIANGLES, range.first, range.first + range.count - 1);
}

void APPENVRBlockMesh::renderGrass(int level)
{
    if (grassCells_ > 0)
        renderRange(getGrassDraw(level));
}

void APPENVRBlockMesh::renderConcrete(int level)
{
    if (getConcreteCellCount() > 0)
        renderRange(getConcreteDraw(level));
}
