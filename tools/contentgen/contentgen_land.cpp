#include "contentgen_land.h"

#include "contentgen_common.h"

#include <algorithm>
#include <cmath>

namespace cg::land {

namespace {

constexpr float kDegrees = 3.14159265f / 180.0f;

float gauss(float d, float sigma) { return std::exp(-(d * d) / (sigma * sigma)); }
float distance(float x, float z, const Spot& s) { return std::hypot(x - s.x, z - s.z); }

// The flat core of the town in world units (cells 64..101); the land blends into it over
// kTownBlend units.
constexpr float kTownLow = 1024.0f, kTownHigh = 1632.0f, kTownBlend = 200.0f;
constexpr Spot kKnoll{975.0f, 975.0f};
// The river leaves the lake at its east shore.
constexpr float kRiverMouthX = 700.0f;

float lakeRadius(float angle)
{
    return 265.0f + 30.0f * std::sin(3.0f * angle + 1.0f) + 18.0f * std::sin(5.0f * angle + 2.0f);
}

// Rolling ground, the ridge and the hills, before water and town shape it.
float natural(float x, float z)
{
    const float u = x / kWorldSize, v = z / kWorldSize;
    float h = 10.0f + 5.0f * fbm2(u, v, 4, 5, 601);
    // The ridge: a long gaussian crest with folded noise on top; behind it (north) the land stays
    // high up to the world's edge, so the ridge closes the world off.
    const float d = z - crestZ(x);
    const float profile = d >= 0.0f ? gauss(d, 210.0f) : 0.45f + 0.55f * gauss(d, 160.0f);
    const float crest = 46.0f + 16.0f * (0.5f + 0.5f * std::sin(x * 0.0043f + 1.3f));
    const float ridged = 1.0f - std::fabs(fbm2(u, v, 6, 4, 602));
    h += profile * (crest + 20.0f * ridged * ridged - 10.0f);
    const Spot top = summit();
    h += 24.0f * gauss(distance(x, z, top), 150.0f);
    // The spur: a shelf leaning on the ridge that ends in a steep face above the town.
    h += 40.0f * gauss(x - kLookout.x, 150.0f) * smoothstep(kLookout.z + 95.0f, kLookout.z + 5.0f, z) *
         smoothstep(kLookout.z - 420.0f, kLookout.z - 200.0f, z);
    // Round hills in the east, lower ones in the west and beyond the river in the south.
    const float east = smoothstep(1580.0f, 1980.0f, x) * smoothstep(crestZ(x) + 120.0f, crestZ(x) + 380.0f, z);
    h += east * (6.0f + 36.0f * clamp01(0.4f + 0.9f * fbm2(u, v, 10, 3, 603)));
    const float west = smoothstep(470.0f, 150.0f, x) * smoothstep(1720.0f, 1380.0f, z);
    h += west * (5.0f + 28.0f * clamp01(0.45f + 0.8f * fbm2(u, v, 8, 3, 604)));
    const float south = smoothstep(2270.0f, 2500.0f, z);
    h += south * (4.0f + 14.0f * clamp01(0.5f + 0.8f * fbm2(u, v, 5, 3, 605)));
    return h;
}

// The lake bowl with its island, and the river valley, all below the water line.
float withWater(float x, float z)
{
    float h = natural(x, z);
    const float shore = lakeDistance(x, z);
    if (shore < 0.0f)
        h = 0.3f + 1.1f * smoothstep(-120.0f, 0.0f, shore);
    else
        h = mix(1.4f, h, std::sqrt(smoothstep(0.0f, 110.0f, shore))); // a short beach, then the land
    const float river = riverDistance(x, z);
    // Higher banks get a wider valley, so the river never runs in a gorge.
    const float bank = 46.0f + 0.8f * std::max(0.0f, h - 9.0f);
    h = std::min(h, mix(0.6f, h, smoothstep(12.0f, 12.0f + bank, river)));
    h = std::max(h, 7.5f * smoothstep(40.0f, 10.0f, distance(x, z, kIsland)));
    return h;
}

// The town's flat land, the hero's knoll and the pond in the town's park.
float withTown(float x, float z)
{
    float h = withWater(x, z);
    const float dx = std::max({kTownLow - x, x - kTownHigh, 0.0f});
    const float dz = std::max({kTownLow - z, z - kTownHigh, 0.0f});
    h = mix(h, kTownHeight, smoothstep(kTownBlend, 0.0f, std::hypot(dx, dz)));
    h += 5.0f * smoothstep(85.0f, 20.0f, distance(x, z, kKnoll));
    h = mix(h, 0.8f, smoothstep(34.0f, 16.0f, distance(x, z, kPond)));
    return h;
}

// The flat tops of the summit and the lookout.
float withSummit(float x, float z)
{
    float h = withTown(x, z);
    const Spot top = summit();
    if (const float d = distance(x, z, top); d < 40.0f)
        h = mix(h, withTown(top.x, top.z), smoothstep(36.0f, 18.0f, d));
    if (const float d = distance(x, z, kLookout); d < 40.0f)
        h = mix(h, withTown(kLookout.x, kLookout.z), smoothstep(20.0f, 9.0f, d));
    return h;
}

} // namespace

float crestZ(float x)
{
    return 320.0f + 55.0f * std::sin(x * 0.0029f + 0.7f) + 22.0f * std::sin(x * 0.0071f + 2.1f);
}

Spot summit()
{
    return {1250.0f, crestZ(1250.0f)};
}

float riverZ(float x)
{
    return 2080.0f + 100.0f * std::sin((x - 760.0f) * 0.0033f) + 35.0f * std::sin(x * 0.0097f + 0.5f);
}

float riverDistance(float x, float z)
{
    if (x < kRiverMouthX)
        return 1e9f;
    const float slope = 0.33f * std::cos((x - 760.0f) * 0.0033f) + 0.3395f * std::cos(x * 0.0097f + 0.5f);
    return std::fabs(z - riverZ(x)) / std::sqrt(1.0f + slope * slope);
}

float lakeDistance(float x, float z)
{
    return distance(x, z, kLake) - lakeRadius(std::atan2(z - kLake.z, x - kLake.x));
}

Spot lakeShore(float angleDegrees, float d)
{
    const float angle = angleDegrees * kDegrees;
    const float r = lakeRadius(angle) + d;
    return {kLake.x + r * std::cos(angle), kLake.z + r * std::sin(angle)};
}

const std::vector<Mesa>& mesas()
{
    static const std::vector<Mesa> list = {
        {{2150.0f, 1250.0f}, 9.0f}, {{2330.0f, 1650.0f}, 8.0f}, {{1960.0f, 880.0f}, 9.0f},
        {{420.0f, 1250.0f}, 9.0f},  {{1030.0f, 640.0f}, 8.0f},
    };
    return list;
}

float height(float x, float z)
{
    float h = withSummit(x, z);
    for (const Mesa& mesa : mesas()) {
        const float d = distance(x, z, mesa.centre);
        if (d < mesa.radius + 4.0f)
            h = std::max(h, withSummit(mesa.centre.x, mesa.centre.z) + kMesaRise * smoothstep(mesa.radius + 4.0f, mesa.radius, d));
    }
    return std::max(0.0f, std::min(127.0f, h));
}

bool Ground::nearStreet(int x, int z) const
{
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j)
            if (street(x + i, z + j))
                return true;
    return false;
}

void Ground::setConcrete(int x0, int z0, int x1, int z1)
{
    for (int x = std::max(0, x0); x <= std::min(kCells - 1, x1); ++x)
        for (int z = std::max(0, z0); z <= std::min(kCells - 1, z1); ++z)
            cells_[index(x, z)] |= kConcreteBit;
}

void Ground::markStreet(int x, int z)
{
    if (inside(x, z))
        cells_[index(x, z)] |= kStreetBit;
}

void Ground::addStreet(const std::vector<std::array<int, 2>>& points)
{
    for (std::size_t i = 1; i < points.size(); ++i) {
        int x = points[i - 1][0], z = points[i - 1][1];
        markStreet(x, z);
        while (x != points[i][0] || z != points[i][1]) {
            if (x != points[i][0])
                x += points[i][0] > x ? 1 : -1;
            else
                z += points[i][1] > z ? 1 : -1;
            markStreet(x, z);
        }
    }
}

const Ground& ground()
{
    static const Ground built = [] {
        Ground g;
        const int first = kTownLines.front(), last = kTownLines.back();
        auto block = [](int b) { return std::array<int, 2>{kTownLines[static_cast<std::size_t>(b)] + 1, kTownLines[static_cast<std::size_t>(b) + 1] - 1}; };
        // Concrete: the campus square and the market square fill their blocks; forecourts before
        // the lecture halls and the library; a car park; the two trailheads.
        g.setConcrete(block(1)[0], block(1)[0], block(1)[1], block(1)[1]);
        g.setConcrete(block(2)[0], block(2)[0], block(2)[1], block(2)[1]);
        g.setConcrete(block(1)[0], block(0)[1] - 1, block(1)[1], block(0)[1]);
        g.setConcrete(block(1)[1] - 1, block(2)[0], block(1)[1], block(2)[1]);
        g.setConcrete(block(2)[0], block(1)[0], block(2)[0] + 1, block(1)[1]);
        g.setConcrete(block(3)[0], block(3)[0] + 2, block(3)[1], block(3)[1]);
        g.setConcrete(80, 53, 84, 55);
        g.setConcrete(110, 79, 114, 81);
        // The town's grid: corners, T-junctions on every edge, crossings inside.
        for (int line : kTownLines) {
            g.addStreet({{first, line}, {last, line}});
            g.addStreet({{line, first}, {line, last}});
        }
        // Roads out of town, each ending in a dead end: north to the ridge's trailhead, south to
        // the river, east to the hills' car park, west to the lake, and the hero's road up the knoll.
        g.addStreet({{82, first}, {82, 56}});
        g.addStreet({{82, last}, {82, 110}});
        g.addStreet({{last, 82}, {112, 82}});
        g.addStreet({{first, 90}, {57, 90}});
        g.addStreet({{first, 70}, {62, 70}, {62, 63}});
        // A lone parking bay in the car park: a street cell without neighbours.
        g.markStreet(94, 95);
        return g;
    }();
    return built;
}

} // namespace cg::land
