// Ground textures: the five terrain layers, the modulation map, water and the street atlas. Every
// one of them tiles: noise is sampled in tile coordinates with a wrapping lattice, and strokes drawn
// near an edge are drawn again on the opposite side.

#include "contentgen.h"

#include <QPainter>

#include <array>
#include <string>

namespace cg {

namespace {

constexpr int kTerrainSize = 512;

QImage fromPixels(int size, Colour (*shade)(float u, float v, int x, int y))
{
    QImage image(size, size, QImage::Format_RGB888);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            putRGB(image, x, y, shade(static_cast<float>(x) / size, static_cast<float>(y) / size, x, y));
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Calls draw at the point and at its copies one tile away wherever the shape of the given reach
// crosses an edge, so strokes continue on the other side.
template <typename Draw>
void wrapped(float x, float y, float reach, int size, Draw draw)
{
    const float s = static_cast<float>(size);
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const float px = x + static_cast<float>(i) * s, py = y + static_cast<float>(j) * s;
            if (px + reach < 0.0f || px - reach > s || py + reach < 0.0f || py - reach > s)
                continue;
            draw(px, py);
        }
}

QColor qcolour(const Colour& c, float alpha = 1.0f)
{
    return QColor::fromRgbF(clamp01(c.r), clamp01(c.g), clamp01(c.b), clamp01(alpha));
}

// Short blades in every direction: the grass seen from above.
void grassBlades(QImage& image, std::uint64_t seed, int count, const Colour& light, const Colour& dark)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    Random random(seed);
    for (int i = 0; i < count; ++i) {
        const float x = random.range(0.0f, kTerrainSize), y = random.range(0.0f, kTerrainSize);
        const float angle = random.range(0.0f, 6.2831853f);
        const float length = random.range(3.0f, 8.0f);
        const bool bright = random.uniform() < 0.55f;
        const Colour c = mix(bright ? light : dark, bright ? light * 1.08f : dark * 0.85f, random.uniform());
        QPen pen(qcolour(c, random.range(0.35f, 0.7f)), random.range(1.0f, 1.8f), Qt::SolidLine, Qt::RoundCap);
        painter.setPen(pen);
        const float dx = std::cos(angle) * length, dy = std::sin(angle) * length;
        wrapped(x, y, length + 2.0f, kTerrainSize,
                [&](float px, float py) { painter.drawLine(QPointF(px, py), QPointF(px + dx, py + dy)); });
    }
}

Colour grassShade(float u, float v, int x, int y)
{
    const float patches = fbm2(u, v, 4, 5, 11);
    const float detail = fbm2(u, v, 16, 3, 12);
    Colour c = mix(rgb(0x4f9a2c), rgb(0x7cc23f), clamp01(0.5f + 0.55f * patches));
    c = mix(c, rgb(0x9bc84a), clamp01(fbm2(u, v, 3, 3, 13) - 0.35f) * 0.8f); // sunny dry spots
    return c * (0.93f + 0.09f * detail + 0.05f * (hashFloat(x, y, 0, 14) - 0.5f));
}

Colour meadowShade(float u, float v, int x, int y)
{
    const float patches = fbm2(u, v, 4, 5, 21);
    const float detail = fbm2(u, v, 16, 3, 22);
    Colour c = mix(rgb(0x3d8a2a), rgb(0x5fae35), clamp01(0.5f + 0.55f * patches));
    return c * (0.92f + 0.1f * detail + 0.05f * (hashFloat(x, y, 0, 24) - 0.5f));
}

Colour earthShade(float u, float v, int x, int y)
{
    const float patches = fbm2(u, v, 4, 5, 31);
    Colour c = mix(rgb(0x8a5f3c), rgb(0xad8156), clamp01(0.5f + 0.5f * patches));
    c = mix(c, rgb(0x6e4a2f), clamp01(fbm2(u, v, 6, 3, 32) - 0.25f) * 0.9f); // damp patches
    // Crumbs of soil: a fine cellular grain, each crumb lit from the upper left.
    const Cell crumb = worley2(u, v, 64, 36);
    c = c * (0.94f + 0.06f * (1.0f - crumb.f1) - 0.05f * (crumb.dx + crumb.dy));
    if (hashFloat(x / 2, y / 2, 0, 37) > 0.985f)
        c = c * 0.7f; // bits of root and leaf
    // Fine cracks where a ridged noise folds.
    const float ridge = std::fabs(fbm2(u, v, 8, 3, 33));
    c = c * (1.0f - 0.2f * (1.0f - smoothstep(0.0f, 0.035f, ridge)));
    // A few flat pebbles half sunk into the soil, each turned its own way.
    const Cell cell = worley2(u, v, 18, 34);
    if ((cell.id & 7) < 2) {
        const float size = 0.2f + 0.18f * static_cast<float>((cell.id >> 4) & 255) / 255.0f;
        const float turn = static_cast<float>((cell.id >> 20) & 255) / 255.0f * 3.1415927f;
        const float along = cell.dx * std::cos(turn) + cell.dy * std::sin(turn);
        const float across = -cell.dx * std::sin(turn) + cell.dy * std::cos(turn);
        const float d = std::sqrt(along * along + 2.2f * across * across);
        const float inside = 1.0f - smoothstep(size - 0.04f, size, d);
        const float lit = 1.0f - 0.7f * (cell.dx + cell.dy) / (size + 1e-3f);
        const Colour stone = mix(rgb(0x8d7d6a), rgb(0xb8a991), static_cast<float>((cell.id >> 12) & 255) / 255.0f);
        c = c * (1.0f - 0.25f * (1.0f - smoothstep(size, size + 0.08f, d)));
        c = mix(c, stone * (0.8f + 0.2f * lit), inside);
    }
    return c * (0.94f + 0.1f * (hashFloat(x, y, 0, 35) - 0.5f));
}

Colour rockShade(float u, float v, int x, int y)
{
    // Chiselled facets: each cell of a warped cellular noise is a tilted plane lit from one side,
    // with smaller chips inside and cracks that come and go along the facet edges.
    const float wu = u + 0.04f * fbm2(u, v, 3, 3, 41), wv = v + 0.04f * fbm2(u, v, 3, 3, 42);
    const Cell facet = worley2(wu, wv, 5, 43);
    const Cell chip = worley2(wu, wv, 13, 48);
    const auto tilt = [](std::uint32_t id, float& nx, float& ny) {
        nx = static_cast<float>(id & 255) / 255.0f - 0.5f;
        ny = static_cast<float>((id >> 8) & 255) / 255.0f - 0.5f;
    };
    float nx, ny, cx, cy;
    tilt(facet.id, nx, ny);
    tilt(chip.id, cx, cy);
    float lit = 0.86f + 0.42f * (-0.6f * nx - 0.8f * ny) + 0.3f * (facet.dx * nx + facet.dy * ny);
    lit += 0.1f * (-0.6f * cx - 0.8f * cy);
    Colour c = mix(rgb(0x8f8a83), rgb(0xb5afa5), static_cast<float>((facet.id >> 16) & 255) / 255.0f);
    c = mix(c, rgb(0x8c93a0), 0.35f * clamp01(fbm2(u, v, 3, 3, 44) + 0.3f));             // cool streaks
    c = c * (1.0f + 0.05f * std::sin(37.699112f * v + 6.0f * fbm2(u, v, 2, 3, 49))); // strata, six to a tile
    c = c * lit;
    const float crack = clamp01(0.3f + fbm2(u, v, 6, 2, 50));
    const float edge = facet.f2 - facet.f1;
    c = c * (1.0f - 0.4f * crack * (1.0f - smoothstep(0.0f, 0.035f, edge)));
    c = c * (1.0f + 0.08f * crack * (smoothstep(0.03f, 0.05f, edge) - smoothstep(0.06f, 0.1f, edge))); // worn rims
    c = c * (1.0f - 0.12f * (1.0f - smoothstep(0.0f, 0.03f, chip.f2 - chip.f1)));
    c = mix(c, rgb(0xa9b35a), 0.5f * smoothstep(0.5f, 0.75f, fbm2(u, v, 6, 4, 45)));       // lichen
    return c * (0.94f + 0.1f * fbm2(u, v, 32, 2, 46) + 0.06f * (hashFloat(x, y, 0, 47) - 0.5f));
}

Colour concreteShade(float u, float v, int x, int y)
{
    constexpr int kSlabs = 4;
    const float su = u * kSlabs, sv = v * kSlabs;
    const int slabX = static_cast<int>(su), slabY = static_cast<int>(sv);
    const float slabTint = hashFloat(slabX, slabY, 0, 51) - 0.5f;
    Colour c = rgb(0xc4c1ba) * (1.0f + 0.06f * slabTint);
    c = mix(c, rgb(0xa8a59e), 0.5f * clamp01(fbm2(u, v, 4, 5, 52) + 0.1f));  // stains
    c = c * (0.96f + 0.05f * fbm2(u, v, 24, 2, 53));
    const float speck = hashFloat(x, y, 0, 54);
    if (speck > 0.985f)
        c = c * 0.72f;
    else if (speck < 0.01f)
        c = c * 1.12f;
    // Joints between slabs, with a lit bevel on their lower side.
    const float pixels = static_cast<float>(kTerrainSize / kSlabs);
    const float jx = std::fabs(su - std::round(su)) * pixels, jy = std::fabs(sv - std::round(sv)) * pixels;
    const float joint = std::min(jx, jy);
    c = c * (0.62f + 0.38f * smoothstep(0.8f, 2.0f, joint));
    if (joint >= 2.0f && joint < 3.5f)
        c = c * 1.06f;
    return c;
}

// Summer flowers and clover scattered over the meadow.
void meadowFlowers(QImage& image)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    Random random(61);
    for (int i = 0; i < 360; ++i) { // clover
        const float x = random.range(0.0f, kTerrainSize), y = random.range(0.0f, kTerrainSize);
        const float r = random.range(1.6f, 2.6f);
        const float turn = random.range(0.0f, 6.2831853f);
        painter.setBrush(qcolour(random.uniform() < 0.5f ? rgb(0x2f7a24) : rgb(0x6cb83f), 0.9f));
        wrapped(x, y, 4.0f * r, kTerrainSize, [&](float px, float py) {
            for (int leaf = 0; leaf < 3; ++leaf) {
                const float a = turn + static_cast<float>(leaf) * 2.0943951f;
                painter.drawEllipse(QPointF(px + std::cos(a) * r, py + std::sin(a) * r), r, r);
            }
        });
    }
    const std::array<Colour, 5> petals = {rgb(0xffffff), rgb(0xffe14d), rgb(0xffb3d1), rgb(0xc9a7ff), rgb(0xfff4c2)};
    for (int i = 0; i < 170; ++i) {
        const float x = random.range(0.0f, kTerrainSize), y = random.range(0.0f, kTerrainSize);
        const Colour petal = petals[static_cast<std::size_t>(random.integer(0, 4))];
        const float r = random.range(1.4f, 2.2f);
        const float turn = random.range(0.0f, 6.2831853f);
        wrapped(x, y, 3.0f * r, kTerrainSize, [&](float px, float py) {
            painter.setBrush(qcolour(petal));
            for (int leaf = 0; leaf < 5; ++leaf) {
                const float a = turn + static_cast<float>(leaf) * 1.2566371f;
                painter.drawEllipse(QPointF(px + std::cos(a) * r, py + std::sin(a) * r), r * 0.8f, r * 0.8f);
            }
            painter.setBrush(qcolour(rgb(0xf0a020)));
            painter.drawEllipse(QPointF(px, py), r * 0.6f, r * 0.6f);
        });
    }
}

// For the natural ground layers and the modulation map. Concrete and the street atlas keep the
// blend of two levels: there the step would run along the slab joints and the road markings.
const char* kNearestLevelScript =
    "# Bilinear within the nearer mipmap level instead of a blend of two: on grass, earth, rock and\n"
    "# the soft blotches of the modulation map the step between levels does not show, and a\n"
    "# software renderer saves about a tenth of its frame.\n"
    "set filter mipmapping\n";

} // namespace

void makeTerrainTextures(Output& out)
{
    for (const char* name : {"terrain0", "terrain1", "terrain2", "terrain3", "modulation"})
        out.text(std::string("textures/terrain/") + name + ".texture", kNearestLevelScript);

    QImage grass = fromPixels(kTerrainSize, grassShade);
    grassBlades(grass, 1, 9000, rgb(0x9fd65a), rgb(0x3f7f25));
    out.jpeg("textures/terrain/terrain0.jpg", grass);

    QImage meadow = fromPixels(kTerrainSize, meadowShade);
    grassBlades(meadow, 2, 11000, rgb(0x86c94e), rgb(0x2e6b1f));
    meadowFlowers(meadow);
    out.jpeg("textures/terrain/terrain1.jpg", meadow);

    out.jpeg("textures/terrain/terrain2.jpg", fromPixels(kTerrainSize, earthShade));
    out.jpeg("textures/terrain/terrain3.jpg", fromPixels(kTerrainSize, rockShade));
    out.jpeg("textures/terrain/terrain4.jpg", fromPixels(kTerrainSize, concreteShade));

    // Four independent large-scale fields, one per channel, for the terrain shader to break up
    // the repetition and to blend the layers: the channels differ in scale so they rarely align.
    QImage modulation(kTerrainSize, kTerrainSize, QImage::Format_RGBA8888);
    for (int y = 0; y < kTerrainSize; ++y)
        for (int x = 0; x < kTerrainSize; ++x) {
            const float u = static_cast<float>(x) / kTerrainSize, v = static_cast<float>(y) / kTerrainSize;
            const Colour c{0.5f + 0.5f * fbm2(u, v, 2, 5, 71), 0.5f + 0.5f * fbm2(u, v, 3, 5, 72),
                           0.5f + 0.5f * fbm2(u, v, 5, 4, 73)};
            putRGBA(modulation, x, y, c, 0.5f + 0.5f * fbm2(u, v, 8, 3, 74));
        }
    out.png("textures/terrain/modulation.png", modulation);
}

void makeWater(Output& out)
{
    QImage water(kTerrainSize, kTerrainSize, QImage::Format_RGB888);
    for (int y = 0; y < kTerrainSize; ++y)
        for (int x = 0; x < kTerrainSize; ++x) {
            const float u = static_cast<float>(x) / kTerrainSize, v = static_cast<float>(y) / kTerrainSize;
            // A warped cellular network gives the bright caustic lines of sunlit shallow water.
            const float wu = u + 0.035f * fbm2(u, v, 3, 3, 81), wv = v + 0.035f * fbm2(u, v, 3, 3, 82);
            const Cell big = worley2(wu, wv, 6, 83);
            const Cell small = worley2(wu + 0.31f, wv + 0.17f, 11, 84);
            const float lines = 1.0f - smoothstep(0.0f, 0.16f, big.f2 - big.f1);
            const float fine = 1.0f - smoothstep(0.0f, 0.12f, small.f2 - small.f1);
            Colour c = mix(rgb(0x1e78b4), rgb(0x2fa3c9), clamp01(0.5f + 0.6f * fbm2(u, v, 2, 4, 85)));
            c = c * (0.92f + 0.12f * fbm2(u, v, 12, 3, 86));
            c = mix(c, rgb(0x9fe6f2), 0.55f * lines + 0.3f * fine);
            putRGB(water, x, y, c);
        }
    out.jpeg("textures/water/water.jpg", water);
}

StreetLinks streetLinks(int code)
{
    // x-1, x+1, z-1, z+1; code 0 is a cell without a street, code 1 also stands for a lone cell.
    static constexpr std::array<StreetLinks, 16> links = {{
        {false, false, false, false}, {true, true, false, false}, {false, false, true, true}, {true, true, true, true},
        {true, false, false, true},   {false, true, false, true}, {true, false, true, false}, {false, true, true, false},
        {true, false, true, true},    {false, true, true, true},  {true, true, false, true},  {true, true, true, false},
        {false, false, false, true},  {false, false, true, false}, {true, false, false, false}, {false, true, false, false},
    }};
    return links[static_cast<std::size_t>(code & 15)];
}

int streetCode(bool xMinus, bool xPlus, bool zMinus, bool zPlus)
{
    for (int code = 2; code < 16; ++code) {
        const StreetLinks l = streetLinks(code);
        if (l.xMinus == xMinus && l.xPlus == xPlus && l.zMinus == zMinus && l.zPlus == zPlus)
            return code;
    }
    return 1; // straight along X, or a lone cell
}

namespace {

constexpr int kTile = 256;
constexpr float kEdgeLow = 0.02f, kEdgeHigh = 0.98f; // the part of a tile one ground cell shows
constexpr float kRoad = 0.25f, kKerb = 0.272f, kWalk = 0.40f;
constexpr float kDashPeriod = 0.24f, kDashHalf = 0.05f, kLineHalf = 0.011f;

// Rounds the inner corners where two arms meet.
float smoothMin(float a, float b, float k)
{
    const float h = clamp01(0.5f + 0.5f * (b - a) / k);
    return mix(b, a, h) - k * h * (1.0f - h);
}

// Along-road dashes centred on multiples of the period from the tile centre, so the pattern is
// mirror-symmetric and continues across neighbouring cells.
float dashCoverage(float along, float across, float period, float pixel)
{
    const float phase = along / period - std::round(along / period);
    const float alongCover = 1.0f - smoothstep(kDashHalf - pixel, kDashHalf + pixel, std::fabs(phase) * period);
    const float acrossCover = 1.0f - smoothstep(kLineHalf - pixel, kLineHalf + pixel, std::fabs(across));
    return alongCover * acrossCover;
}

struct StreetPixel {
    Colour colour;
    float alpha = 0.0f;
};

// One pixel of the tile for code at tile coordinates (a towards +X, b towards +Z).
StreetPixel streetPixel(int code, float a, float b)
{
    const float pixel = 1.0f / kTile;
    const StreetLinks links = streetLinks(code);
    if (code == 0)
        return {};
    float distance = 1e9f, along = 0.0f, across = 0.0f;
    float dashFrom = 0.0f; // dashes only this far along from the centre (junction boxes stay clean)
    float dashPeriod = kDashPeriod;
    const bool corner = code >= 4 && code <= 7;
    if (corner) {
        // A quarter circle around the visible corner between the two connected edges.
        const float cx = links.xPlus ? kEdgeHigh : kEdgeLow;
        const float cy = links.zPlus ? kEdgeHigh : kEdgeLow;
        const float radius = 0.5f - kEdgeLow;
        const float r = std::sqrt((a - cx) * (a - cx) + (b - cy) * (b - cy));
        distance = std::fabs(r - radius);
        across = r - radius;
        const float angle = std::atan2(std::fabs(b - cy), std::fabs(a - cx)); // 0..pi/2 between the edges
        along = angle * radius;
        dashPeriod = radius * 1.5707963f / 3.0f; // dashes centred on both ends, as on the straights
    } else {
        // Arms along X and along Z; two arms on one axis form a straight line through the centre.
        const auto axis = [&](bool minus, bool plus, float alongCoord, float acrossCoord, float& d, float& t) {
            if (!minus && !plus)
                return false;
            const bool onSide = (minus && alongCoord <= 0.5f) || (plus && alongCoord >= 0.5f);
            t = onSide ? std::fabs(alongCoord - 0.5f) : 0.0f;
            d = onSide ? std::fabs(acrossCoord - 0.5f)
                       : std::sqrt((alongCoord - 0.5f) * (alongCoord - 0.5f) + (acrossCoord - 0.5f) * (acrossCoord - 0.5f));
            return true;
        };
        float dX = 1e9f, tX = 0.0f, dZ = 1e9f, tZ = 0.0f;
        const bool hasX = axis(links.xMinus, links.xPlus, a, b, dX, tX);
        const bool hasZ = axis(links.zMinus, links.zPlus, b, a, dZ, tZ);
        distance = hasX && hasZ ? smoothMin(dX, dZ, 0.12f) : std::min(dX, dZ);
        const bool nearX = dX <= dZ;
        along = nearX ? tX : tZ;
        across = nearX ? b - 0.5f : a - 0.5f;
        const int arms = links.xMinus + links.xPlus + links.zMinus + links.zPlus;
        if (arms == 1) { // dead end: a turning circle
            const float bulb = std::sqrt((a - 0.5f) * (a - 0.5f) + (b - 0.5f) * (b - 0.5f)) - 0.04f;
            distance = smoothMin(distance, bulb, 0.1f);
            dashFrom = 0.2f;
        } else if (arms >= 3) {
            dashFrom = 0.4f;
        }
    }

    const float u = (a - kEdgeLow) / (kEdgeHigh - kEdgeLow), v = (b - kEdgeLow) / (kEdgeHigh - kEdgeLow);
    // Paving: square slabs on a grid that divides the visible cell, with darker joints.
    const float slab = (kEdgeHigh - kEdgeLow) / 16.0f;
    const float gu = u * 16.0f, gv = v * 16.0f;
    const float joint = std::min(std::fabs(gu - std::round(gu)), std::fabs(gv - std::round(gv))) * slab;
    Colour walk = rgb(0xd8cbb3) * (0.95f + 0.08f * hashFloat(static_cast<int>(std::floor(gu)) & 15,
                                                              static_cast<int>(std::floor(gv)) & 15, 0, 91));
    walk = walk * (0.8f + 0.2f * smoothstep(0.5f * pixel, 1.5f * pixel, joint));
    const Colour kerb = rgb(0xeeece6) * (0.9f + 0.15f * smoothstep(kRoad, kKerb, distance));
    Colour asphalt = rgb(0x4a4f58) * (0.94f + 0.08f * fbm2(u, v, 4, 4, 92) + 0.06f * (hashFloat(static_cast<int>(a * kTile), static_cast<int>(b * kTile), 0, 93) - 0.5f));

    Colour c = walk;
    c = mix(c, kerb, 1.0f - smoothstep(kKerb - pixel, kKerb + pixel, distance));
    c = mix(c, rgb(0x8c8a85), 1.0f - smoothstep(kRoad + 0.004f - pixel, kRoad + 0.004f + pixel, distance)); // kerb face
    c = mix(c, asphalt, 1.0f - smoothstep(kRoad - pixel, kRoad + pixel, distance));

    const Colour paint = rgb(0xf6f4ea);
    if (along >= dashFrom) {
        float cover = dashCoverage(along, across, dashPeriod, pixel);
        if (!corner && along < dashFrom + kDashHalf)
            cover *= smoothstep(dashFrom, dashFrom + 2.0f * pixel, along);
        c = mix(c, paint, cover * (1.0f - smoothstep(kRoad - 0.03f, kRoad - 0.02f, distance)));
    }
    if (code == 3 || (code >= 8 && code <= 11)) {
        // Zebra crossings on every arm of a junction.
        const float fromCentre = std::max(std::fabs(a - 0.5f), std::fabs(b - 0.5f));
        const bool onArmX = std::fabs(b - 0.5f) < kRoad && std::fabs(a - 0.5f) > kRoad;
        const bool onArmZ = std::fabs(a - 0.5f) < kRoad && std::fabs(b - 0.5f) > kRoad;
        if ((onArmX || onArmZ) && fromCentre > 0.28f && fromCentre < 0.37f) {
            const float crosswise = onArmX ? b - 0.5f : a - 0.5f;
            const float stripe = std::fabs((crosswise / 0.05f) - std::round(crosswise / 0.05f));
            const float cover = (1.0f - smoothstep(0.25f - 0.5f * pixel / 0.05f, 0.25f + 0.5f * pixel / 0.05f, stripe)) *
                                (1.0f - smoothstep(kRoad - 0.035f, kRoad - 0.025f, std::fabs(crosswise))) *
                                smoothstep(0.28f, 0.28f + pixel, fromCentre) * (1.0f - smoothstep(0.37f - pixel, 0.37f, fromCentre));
            c = mix(c, paint, cover);
        }
    }
    const float alpha = 1.0f - smoothstep(kWalk - pixel, kWalk + pixel, distance);
    return {c, alpha};
}

} // namespace

void makeStreets(Output& out)
{
    QImage atlas(4 * kTile, 4 * kTile, QImage::Format_RGBA8888);
    for (int code = 0; code < 16; ++code) {
        const int left = (code % 4) * kTile, top = (code / 4) * kTile;
        for (int y = 0; y < kTile; ++y)
            for (int x = 0; x < kTile; ++x) {
                // Picture rows run downwards; +Z runs up the tile (texture v grows with z).
                const float a = (static_cast<float>(x) + 0.5f) / kTile;
                const float b = 1.0f - (static_cast<float>(y) + 0.5f) / kTile;
                const StreetPixel p = streetPixel(code, a, b);
                // Transparent pixels keep the pavement colour so filtering never darkens the verge.
                putRGBA(atlas, left + x, top + y, p.alpha > 0.0f ? p.colour : rgb(0xd8cbb3), p.alpha);
            }
    }
    out.png("textures/terrain/streets.png", atlas);
}

} // namespace cg
