#include "environment/app_envr_blockmesh.h"

#include "visual/geometry/qr_visx_vertexbuffer.h"

#include <array>

namespace {
constexpr int kCellSteps = APPENVRMain::kVerticesPerCell;
constexpr int kRowVertices = kCellSteps + 1;
constexpr std::uint32_t kLastShape = 15;
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

void APPENVRBlockMesh::build(const APPENVRMain& environment, APPENVRGridIndex firstCell)
{
    buffer_->create(cellCount() * kCellVertexCount, cellCount() * kCellIndexCount);
    // Grass cells fill the slots from the front, concrete cells from the back, each in the order
    // the cell-by-cell drawing visits them; so every ground type is one contiguous range.
    int grass = 0;
    int concrete = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int cx = firstCell.x; cx < firstCell.x + APPENVRMain::kCellsPerBlock; ++cx) {
            for (int cz = firstCell.z; cz < firstCell.z + APPENVRMain::kCellsPerBlock; ++cz) {
                const bool isGrass = environment.isDefaultGround(cx, cz);
                if (pass == 0 && isGrass)
                    addCell(environment, cx, cz, grass++);
                else if (pass == 1 && !isGrass)
                    addCell(environment, cx, cz, grass + concrete++);
            }
        }
    }
    grassCells_ = grass;
    buffer_->generateVBO();
    built_ = true;
}

void APPENVRBlockMesh::addCell(const APPENVRMain& environment, int cx, int cz, int slot)
{
    QRVISXVertexBuffer& buffer = *buffer_;
    const int base = slot * kCellVertexCount;
    const float code = streetCode(environment.getGroundCell(cx, cz));
    const int x0 = cx * kCellSteps;
    const int z0 = cz * kCellSteps;
    for (int i = 0; i < kRowVertices; ++i) {
        for (int j = 0; j < kRowVertices; ++j) {
            const int x = x0 + i;
            const int z = z0 + j;
            const int vertex = base + i * kRowVertices + j;
            buffer.setVertexPosition(vertex, environment.getVertexPosition(x, z));
            buffer.setNormal(vertex, environment.getVertex(x, z).normal);
            buffer.setTexCoord(0, vertex, {static_cast<float>(x), static_cast<float>(z)});
            buffer.setTexCoord(1, vertex, {streetCoordinate(i), streetCoordinate(j)});
            buffer.setTexCoord(2, vertex, {code, 0.0f});
        }
    }
    // The triangles a strip along X through rows z and z + 1 makes, in the strip's own order and
    // winding: (a0, b0, a1) and (a1, b0, b1) for each column step, with a on row z, b on z + 1.
    int index = slot * kCellIndexCount;
    for (int j = 0; j < kCellSteps; ++j) {
        for (int i = 0; i < kCellSteps; ++i) {
            const int a0 = base + i * kRowVertices + j;
            const int b0 = a0 + 1;
            const int a1 = a0 + kRowVertices;
            const int b1 = a1 + 1;
            for (int corner : {a0, b0, a1, a1, b0, b1})
                buffer.setIndex(index++, corner);
        }
    }
}

void APPENVRBlockMesh::renderCells(int firstCell, int count)
{
    if (count <= 0)
        return;
    buffer_->renderRange(GL_TRIANGLES, firstCell * kCellIndexCount, (firstCell + count) * kCellIndexCount - 1);
}

void APPENVRBlockMesh::renderGrass()
{
    renderCells(0, grassCells_);
}

void APPENVRBlockMesh::renderConcrete()
{
    renderCells(grassCells_, getConcreteCellCount());
}
