// The editor's import maps: one height pixel per terrain vertex (640 x 640, height = red * 127.5)
// and one ground pixel per ground cell (160 x 160, red 0 grass, 128 concrete, 192 grass with a
// street, 255 concrete with a street). Both describe the same land: a campus town on a plateau in
// the middle, a ridge along the z = 0 edge, hills towards +x and a lake with a river towards +z.

#include "contentgen.h"

#include <array>

namespace cg {

namespace {

constexpr int kVertices = 640;  // height pixels per side, 4 world units each
constexpr int kCells = 160;     // ground pixels per side, 16 world units each
constexpr float kWorld = 2560.0f;

// The town in ground cells, inclusive.
constexpr int kTownX0 = 60, kTownX1 = 106, kTownZ0 = 66, kTownZ1 = 116;
constexpr float kTownHeight = 12.0f;
// The lake, in world units.
constexpr float kLakeX = 560.0f, kLakeZ = 2000.0f, kLakeRadius = 290.0f;

float riverX(float z) { return kLakeX + 60.0f + 90.0f * std::sin(z * 0.006f); }

float worldHeight(float x, float z)
{
    const float u = x / kWorld, v = z / kWorld;
    float h = 16.0f + 9.0f * fbm2(u, v, 3, 5, 501);
    // The ridge along z = 0: folded noise gives sharp crests.
    const float ridged = 1.0f - std::fabs(fbm2(u, v, 4, 4, 502));
    h += smoothstep(0.32f, 0.04f, v) * (40.0f + 55.0f * ridged * ridged);
    // Rounded hills towards +x.
    h += smoothstep(0.6f, 0.92f, u) * (14.0f + 30.0f * clamp01(0.5f + 0.7f * fbm2(u, v, 5, 3, 503)));
    // The lake bowl and the river that leaves it towards +z, both below the water line (3).
    const float wobble = 40.0f * fbm2(u, v, 6, 2, 504);
    const float lake = std::sqrt((x - kLakeX) * (x - kLakeX) + (z - kLakeZ) * (z - kLakeZ)) + wobble;
    h = mix(h, 0.5f, smoothstep(kLakeRadius + 170.0f, kLakeRadius, lake));
    if (z > kLakeZ)
        h = mix(h, 1.0f, smoothstep(70.0f, 24.0f, std::fabs(x - riverX(z))));
    // The town's plateau with a soft rim.
    const float tx = std::max({kTownX0 * 16.0f - x, x - (kTownX1 + 1) * 16.0f, 0.0f});
    const float tz = std::max({kTownZ0 * 16.0f - z, z - (kTownZ1 + 1) * 16.0f, 0.0f});
    h = mix(h, kTownHeight, smoothstep(220.0f, 40.0f, std::sqrt(tx * tx + tz * tz)));
    return std::max(0.0f, std::min(127.5f, h));
}

constexpr std::uint8_t kGrass = 0, kConcrete = 128, kGrassStreet = 192, kConcreteStreet = 255;

class GroundMap {
public:
    GroundMap() { cells_.fill(kGrass); }

    void concrete(int x0, int z0, int x1, int z1)
    {
        for (int z = z0; z <= z1; ++z)
            for (int x = x0; x <= x1; ++x)
                at(x, z) = at(x, z) == kGrassStreet ? kConcreteStreet : (at(x, z) == kGrass ? kConcrete : at(x, z));
    }
    // A street along axis-parallel pieces between consecutive points.
    void street(std::initializer_list<std::array<int, 2>> points)
    {
        const std::array<int, 2>* previous = nullptr;
        for (const auto& point : points) {
            if (previous) {
                int x = (*previous)[0], z = (*previous)[1];
                mark(x, z);
                while (x != point[0] || z != point[1]) {
                    if (x != point[0])
                        x += (point[0] > x) - (point[0] < x);
                    else
                        z += (point[1] > z) - (point[1] < z);
                    mark(x, z);
                }
            }
            previous = &point;
        }
    }
    std::uint8_t get(int x, int z) const { return cells_[static_cast<std::size_t>(z * kCells + x)]; }

private:
    std::uint8_t& at(int x, int z) { return cells_[static_cast<std::size_t>(z * kCells + x)]; }
    void mark(int x, int z) { at(x, z) = (at(x, z) == kConcrete || at(x, z) == kConcreteStreet) ? kConcreteStreet : kGrassStreet; }

    std::array<std::uint8_t, kCells * kCells> cells_{};
};

GroundMap townGround()
{
    GroundMap map;
    // Concrete first: the campus square, the forecourts and a car park.
    map.concrete(77, 86, 87, 94);
    map.concrete(68, 78, 72, 82);
    map.concrete(92, 98, 96, 102);
    map.concrete(100, 78, 104, 88);
    map.concrete(62, 92, 64, 100);
    // A ring road with the two avenues: corners, T-junctions and crossings.
    map.street({{66, 76}, {98, 76}, {98, 104}, {66, 104}, {66, 76}});
    map.street({{66, 90}, {110, 90}});  // ends in a dead end towards +x
    map.street({{82, 76}, {82, 114}});  // ends in a dead end towards +z
    map.street({{74, 84}, {74, 96}});   // a crossing with dead ends both ways
    map.street({{92, 84}, {98, 84}});   // a dead end towards -x
    map.street({{90, 70}, {90, 76}});   // a dead end towards -z
    map.street({{90, 90}, {90, 104}});  // side streets between the blocks
    map.street({{66, 98}, {82, 98}});
    map.street({{82, 82}, {98, 82}});
    // The country road to the lake shore, a staircase of corners.
    map.street({{70, 104}, {70, 108}, {67, 108}, {67, 112}, {63, 112}, {63, 116}, {59, 116}, {59, 118}, {54, 118}});
    // A lane up into the hills, and a lone parking bay.
    map.street({{110, 84}, {110, 86}, {116, 86}, {116, 80}, {124, 80}, {124, 72}, {128, 72}});
    map.street({{104, 96}, {104, 96}});
    return map;
}

} // namespace

void makeImportMaps(Output& out)
{
    QImage heights(kVertices, kVertices, QImage::Format_Grayscale8);
    for (int z = 0; z < kVertices; ++z)
        for (int x = 0; x < kVertices; ++x) {
            // A one-step dither keeps gentle slopes from turning into half-unit terraces.
            const float red = worldHeight(4.0f * x, 4.0f * z) / 127.5f * 255.0f + (hashFloat(x, z, 0, 505) - 0.5f);
            heights.scanLine(z)[x] = static_cast<uchar>(std::lround(std::max(0.0f, std::min(255.0f, red))));
        }
    out.png("textures/heightmaps/heightmap.png", heights);

    const GroundMap map = townGround();
    QImage ground(kCells, kCells, QImage::Format_Grayscale8);
    for (int z = 0; z < kCells; ++z)
        for (int x = 0; x < kCells; ++x)
            ground.scanLine(z)[x] = map.get(x, z);
    out.png("textures/heightmaps/groundmap.png", ground);
}

} // namespace cg
