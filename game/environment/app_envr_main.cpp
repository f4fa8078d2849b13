#include "environment/app_envr_main.h"

#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "math/qr_math_round.h"
#include "math/qr_math_vector.h"

#include <algorithm>

namespace {
constexpr Vector3 kUp{0.0f, 1.0f, 0.0f};
constexpr int kLastStoredVertex = APPENVRMain::kStoredVertexCount - 1;
constexpr int kLastCell = APPENVRMain::kCellCount - 1;

// Street shape code for each pattern of street neighbours, indexed by W << 3 | E << 2 | S << 1 | N
// (W = x - 1, E = x + 1, S = z - 1, N = z + 1): 1 and 2 straight along X and Z (1 also for a lone
// cell), 3 the crossing, 4..7 corners, 8..11 T pieces, 12..15 dead ends.
constexpr std::uint32_t kStreetShapes[16] = {1, 12, 13, 2, 15, 5, 7, 9, 14, 4, 6, 8, 1, 10, 11, 3};

bool isCell(int x, int z)
{
    return x >= 0 && x < APPENVRMain::kCellCount && z >= 0 && z < APPENVRMain::kCellCount;
}

// An inclusive index rectangle cut down to 0..last on both axes.
struct Span {
    int firstX, lastX, firstZ, lastZ;
};

Span limitSpan(int x0, int z0, int x1, int z1, int last)
{
    return {std::max(x0, 0), std::min(x1, last), std::max(z0, 0), std::min(z1, last)};
}

bool isStoredVertex(int x, int z)
{
    return x >= 0 && x <= kLastStoredVertex && z >= 0 && z <= kLastStoredVertex;
}
} // namespace

APPENVRMain::APPENVRMain(QRObject* owner) : QRObject(owner, "Environment")
{
    for (int ax = 0; ax < kAreaCount; ++ax)
        for (int az = 0; az < kAreaCount; ++az)
            areas_[ax][az] = qrNew<APPENVRArea>(this, ax, az);
}

APPENVRMain::~APPENVRMain() = default;

void APPENVRMain::initialize()
{
    QRObject::initialize();
    for (auto& column : areas_)
        for (auto& area : column)
            area->initialize();
    resetTerrain();
    updateBounds();
}

void APPENVRMain::resetTerrain()
{
    for (int x = 0; x <= kLastStoredVertex; ++x)
        for (int z = 0; z <= kLastStoredVertex; ++z)
            vertices_[x][z] = {0.0f, kUp};
}

void APPENVRMain::updateBounds()
{
    for (auto& column : areas_)
        for (auto& area : column)
            area->updateBounds();
}

void APPENVRMain::updateNormals()
{
    updateNormalsInRange(0, 0, kStoredVertexCount, kStoredVertexCount);
}

void APPENVRMain::updateNormalsInRange(int x0, int z0, int x1, int z1)
{
    const Span span = limitSpan(x0, z0, x1, z1, kLastStoredVertex);
    for (int x = span.firstX; x <= span.lastX; ++x) {
        for (int z = span.firstZ; z <= span.lastZ; ++z) {
            // The two triangles meeting at the vertex from its +X/+Z and its -X/-Z side; neighbours
            // beyond the edge repeat the edge height, so border normals stay well defined.
            const Vector3 centre = getVertexPosition(x, z);
            const Vector3 plusX = getVertexPosition(x + 1, z);
            const Vector3 plusZ = getVertexPosition(x, z + 1);
            const Vector3 minusX = getVertexPosition(x - 1, z);
            const Vector3 minusZ = getVertexPosition(x, z - 1);
            const Vector3 ahead = QRMATHVector3::cross(plusZ - centre, plusX - centre);
            const Vector3 behind = QRMATHVector3::cross(centre - minusZ, centre - minusX);
            vertices_[x][z].normal = QRMATHVector3::normalize(ahead + behind);
        }
    }
}

void APPENVRMain::updateStreets()
{
    updateStreetsInRange(0, 0, kCellCount, kCellCount);
}

void APPENVRMain::updateStreetsInRange(int x0, int z0, int x1, int z1)
{
    const Span span = limitSpan(x0, z0, x1, z1, kLastCell);
    for (int x = span.firstX; x <= span.lastX; ++x) {
        for (int z = span.firstZ; z <= span.lastZ; ++z) {
            if (!hasStreet(x, z))
                continue;
            // Only "has a street" is asked of the neighbours, which every shape keeps, so the
            // order in which cells are shaped does not matter.
            const int pattern = (hasStreet(x - 1, z) << 3) | (hasStreet(x + 1, z) << 2) | (hasStreet(x, z - 1) << 1) |
                                static_cast<int>(hasStreet(x, z + 1));
            cells_[x][z] = (kStreetShapes[pattern] << 8) | (cells_[x][z] & kGroundTypeMask);
        }
    }
}

APPENVRAreaIndex APPENVRMain::getAreaIndex(const Vector3& position) const
{
    return {QRMATHRound::floor(position.x / kAreaSize), QRMATHRound::floor(position.z / kAreaSize)};
}

APPENVRBlockIndex APPENVRMain::getBlockIndex(const Vector3& position) const
{
    const APPENVRAreaIndex area = getAreaIndex(position);
    return {area.ax, area.az,
            QRMATHRound::floor((position.x - kAreaSize * static_cast<float>(area.ax)) / kBlockSize),
            QRMATHRound::floor((position.z - kAreaSize * static_cast<float>(area.az)) / kBlockSize)};
}

APPENVRArea* APPENVRMain::getArea(int ax, int az) const
{
    return areas_[std::clamp(ax, 0, kAreaCount - 1)][std::clamp(az, 0, kAreaCount - 1)].get();
}

APPENVRBlock* APPENVRMain::getBlock(int ax, int az, int bx, int bz) const
{
    return getArea(ax, az)->getBlock(bx, bz);
}

APPENVRBlock* APPENVRMain::getBlockAt(const Vector3& position) const
{
    const APPENVRBlockIndex index = getBlockIndex(position);
    return getBlock(index.ax, index.az, index.bx, index.bz);
}

const APPENVRVertex& APPENVRMain::getVertex(int x, int z) const
{
    return vertices_[std::clamp(x, 0, kVertexCount - 1)][std::clamp(z, 0, kVertexCount - 1)];
}

void APPENVRMain::setHeight(int x, int z, float height)
{
    if (isStoredVertex(x, z))
        vertices_[x][z].height = height;
}

void APPENVRMain::setVertex(int x, int z, const APPENVRVertex& vertex)
{
    if (isStoredVertex(x, z))
        vertices_[x][z] = vertex;
}

Vector3 APPENVRMain::getVertexPosition(int x, int z) const
{
    const float height =
        vertices_[std::clamp(x, 0, kLastStoredVertex)][std::clamp(z, 0, kLastStoredVertex)].height;
    return {kVertexSpacing * static_cast<float>(x), height, kVertexSpacing * static_cast<float>(z)};
}

float APPENVRMain::getHeight(const Vector3& position) const
{
    // The quad is clamped to the world but the fractions are not, so beyond an edge the height
    // continues the slope of the edge quad.
    const int i = std::clamp(QRMATHRound::floor(position.x / kVertexSpacing), 0, kLastStoredVertex - 1);
    const int j = std::clamp(QRMATHRound::floor(position.z / kVertexSpacing), 0, kLastStoredVertex - 1);
    const float fx = (position.x - kVertexSpacing * static_cast<float>(i)) / kVertexSpacing;
    const float fz = (position.z - kVertexSpacing * static_cast<float>(j)) / kVertexSpacing;
    const float near = (1.0f - fx) * vertices_[i][j].height + fx * vertices_[i + 1][j].height;
    const float far = (1.0f - fx) * vertices_[i][j + 1].height + fx * vertices_[i + 1][j + 1].height;
    return (1.0f - fz) * near + fz * far;
}

bool APPENVRMain::isDefaultGround(int x, int z) const
{
    return (getGroundCell(x, z) & kGroundTypeMask) == 0;
}

bool APPENVRMain::hasStreet(int x, int z) const
{
    return getGroundCell(x, z) > kGroundTypeMask;
}

std::uint32_t APPENVRMain::getGroundCell(int x, int z) const
{
    // Outside the grid is grass without street, which is what the street shapes assume there.
    return isCell(x, z) ? cells_[x][z] : 0;
}

void APPENVRMain::setGroundCell(int x, int z, std::uint32_t word)
{
    if (isCell(x, z))
        cells_[x][z] = word;
}

void APPENVRMain::setGroundType(int x, int z, std::uint8_t groundType)
{
    setGroundCell(x, z, (getGroundCell(x, z) & ~kGroundTypeMask) | groundType);
}

void APPENVRMain::setStreet(int x, int z)
{
    setGroundCell(x, z, kNewStreetBits | (getGroundCell(x, z) & kGroundTypeMask));
}

void APPENVRMain::deleteStreet(int x, int z)
{
    setGroundCell(x, z, getGroundCell(x, z) & kGroundTypeMask);
}

void APPENVRMain::saveAreas()
{
    for (auto& column : areas_)
        for (auto& area : column)
            area->save();
}

void APPENVRMain::loadAreas()
{
    for (auto& column : areas_)
        for (auto& area : column)
            area->load();
}
