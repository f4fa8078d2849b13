#pragma once
// The land of the default world, shared by the world's area files and the editor's import maps:
// the terrain height anywhere in the 2560 x 2560 square and the ground cells (grass or concrete,
// streets) of the campus town and its country roads. A ridge with a lookout summit runs along the
// north (small z) and sends a spur south to a lookout over the town, hills roll in the east and the
// west, a lake lies in the south-west and its river runs east along the south; the town sits on flat
// land in the middle, the hero's knoll at its north-west corner. Everything is a pure function of
// the code.

#include <array>
#include <cstdint>
#include <vector>

namespace cg::land {

constexpr float kWorldSize = 2560.0f;
constexpr int kCells = 160;          // ground cells per side
constexpr float kCellSize = 16.0f;   // world units per ground cell
constexpr float kWaterSurface = 2.0f; // the water's rest level (shaders\water.vertex)
constexpr float kWaterLine = 3.0f;    // a block whose terrain reaches below it is drawn with water
constexpr float kTownHeight = 8.0f;

struct Spot {
    float x = 0.0f, z = 0.0f;
};

// The hero's start, on the knoll at the town's north-west corner: the hero's fixed first heading
// (yaw 220, looking towards +x +z) runs straight down into the town.
constexpr Spot kStart{1004.0f, 1010.0f};
constexpr Spot kLake{540.0f, 1960.0f};
constexpr Spot kIsland{610.0f, 1905.0f};
constexpr Spot kPond{1512.0f, 1128.0f};

// The town's street grid: streets along x on these cell rows and along z on these cell columns,
// each from the first line to the last. Between two neighbouring lines lies a block of 7 x 7 cells.
constexpr std::array<int, 5> kTownLines{66, 74, 82, 90, 98};
// World coordinate of the middle of a ground cell.
inline float cellCentre(int cell) { return kCellSize * static_cast<float>(cell) + 0.5f * kCellSize; }
// The interior of town block b (0..3) along one axis, in world units: [first, last).
inline float blockStart(int b) { return kCellSize * static_cast<float>(kTownLines[static_cast<std::size_t>(b)] + 1); }
inline float blockEnd(int b) { return kCellSize * static_cast<float>(kTownLines[static_cast<std::size_t>(b) + 1]); }

// The designed terrain height at a world position.
float height(float x, float z);
// Distance from the river's middle line (very large west of its mouth); from the lake's shore
// (negative inside the lake).
float riverDistance(float x, float z);
float lakeDistance(float x, float z);
// z of the river's middle line at x.
float riverZ(float x);
// A point d units outside the lake's shore in direction angle (degrees, 0 = +x, 90 = +z).
Spot lakeShore(float angleDegrees, float d);
// z of the ridge's crest line at x.
float crestZ(float x);
// The ridge's highest point, a flat top.
Spot summit();
// The flat end of the spur the ridge sends south towards the town: the view over the town.
constexpr Spot kLookout{1250.0f, 740.0f};
// Knolls with flat tops and rims too steep to walk up: the hero gets on top by jumping.
struct Mesa {
    Spot centre;
    float radius; // of the flat top; the rim adds 4 units
};
const std::vector<Mesa>& mesas();
constexpr float kMesaRise = 7.0f;

// The ground cells: concrete or grass, with or without a street.
class Ground {
public:
    bool concrete(int x, int z) const { return inside(x, z) && (cells_[index(x, z)] & kConcreteBit) != 0; }
    bool street(int x, int z) const { return inside(x, z) && (cells_[index(x, z)] & kStreetBit) != 0; }
    // A street cell or one of its eight neighbours.
    bool nearStreet(int x, int z) const;

    void setConcrete(int x0, int z0, int x1, int z1); // inclusive
    // A street along axis-parallel pieces between consecutive cells.
    void addStreet(const std::vector<std::array<int, 2>>& points);
    void markStreet(int x, int z);

private:
    static constexpr std::uint8_t kConcreteBit = 1, kStreetBit = 2;
    static bool inside(int x, int z) { return x >= 0 && z >= 0 && x < kCells && z < kCells; }
    static std::size_t index(int x, int z) { return static_cast<std::size_t>(x) * kCells + static_cast<std::size_t>(z); }
    std::array<std::uint8_t, kCells * kCells> cells_{};
};
const Ground& ground();

} // namespace cg::land
