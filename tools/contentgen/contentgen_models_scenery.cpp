// The scenery of the campus: trees, bushes and rocks, the lecture hall, the library, two houses, and
// benches, street lamps, a fountain and fences. Each stands on its origin, its front towards -Z,
// with foundations reaching below the ground so that it sits on a slope without floating.

#include "contentgen_models.h"

#include <cmath>
#include <functional>

namespace cg {

namespace {

const Colour kBark = rgb(0x7a4a2a), kBarkDark = rgb(0x5e3820);
const Colour kGlass = rgb(0x8ecae6), kGlassDark = rgb(0x4f8fb5), kWhite = rgb(0xfaf7ef);

// Level 0 in full, and the level "far" the game draws beyond a distance.
ModelSpec scenery(const std::string& name, const std::function<Mesh(Detail)>& make)
{
    ModelSpec spec;
    spec.path = "models\\environment\\" + name + ".model";
    spec.levels.push_back({name, make(Detail::Full)});
    spec.levels.push_back({"far", make(Detail::Far)});
    spec.scenery = true;
    return spec;
}

// A window on the plane z = 0 facing -Z, centred at (x, y): a white frame, glass and a cross bar.
void window(Mesh& m, float x, float y, float width, float height)
{
    const float w = width * 0.5f, h = height * 0.5f;
    m.quad({x + w + 0.1f, y - h - 0.1f, -0.03f}, {x - w - 0.1f, y - h - 0.1f, -0.03f}, {x - w - 0.1f, y + h + 0.1f, -0.03f},
           {x + w + 0.1f, y + h + 0.1f, -0.03f}, kWhite);
    m.quad({x + w, y - h, -0.06f}, {x - w, y - h, -0.06f}, {x - w, y + h, -0.06f}, {x + w, y + h, -0.06f}, kGlass);
    m.quad({x + w, y - h, -0.061f}, {x, y - h, -0.061f}, {x, y, -0.061f}, {x + w, y, -0.061f}, kGlassDark);
    m.quad({x + 0.05f, y - h, -0.07f}, {x - 0.05f, y - h, -0.07f}, {x - 0.05f, y + h, -0.07f}, {x + 0.05f, y + h, -0.07f}, kWhite);
    m.quad({x + w, y - 0.05f, -0.07f}, {x - w, y - 0.05f, -0.07f}, {x - w, y + 0.05f, -0.07f}, {x + w, y + 0.05f, -0.07f}, kWhite);
}

// A wall face: frames that stand on each side of a box of half sizes hx, hz, facing outwards.
Frame face(int side, float hx, float hz)
{
    switch (side) {
    case 0: return Frame::translate(0.0f, 0.0f, -hz);                          // front, -Z
    case 1: return Frame::translate(hx, 0.0f, 0.0f) * Frame::rotateY(-90.0f);  // right, +X
    case 2: return Frame::translate(0.0f, 0.0f, hz) * Frame::rotateY(180.0f);  // back, +Z
    default: return Frame::translate(-hx, 0.0f, 0.0f) * Frame::rotateY(90.0f); // left, -X
    }
}

// A gable roof over x in [-hx, hx], z in [-hz, hz] from the eaves at y0 to the ridge at y1,
// running along X, with overhangs.
void gableRoof(Mesh& m, float hx, float hz, float y0, float y1, const Colour& roof, const Colour& gable)
{
    const float o = 0.35f;
    m.quad({hx + o, y0 - 0.2f, -hz - o}, {-hx - o, y0 - 0.2f, -hz - o}, {-hx - o, y1, 0.0f}, {hx + o, y1, 0.0f}, roof);
    m.quad({-hx - o, y0 - 0.2f, hz + o}, {hx + o, y0 - 0.2f, hz + o}, {hx + o, y1, 0.0f}, {-hx - o, y1, 0.0f}, roof);
    // Undersides, so the roof is closed seen from below.
    m.quad({-hx - o, y0 - 0.2f, -hz - o}, {hx + o, y0 - 0.2f, -hz - o}, {hx + o, y1 - 0.15f, 0.0f}, {-hx - o, y1 - 0.15f, 0.0f}, gable * 0.8f);
    m.quad({hx + o, y0 - 0.2f, hz + o}, {-hx - o, y0 - 0.2f, hz + o}, {-hx - o, y1 - 0.15f, 0.0f}, {hx + o, y1 - 0.15f, 0.0f}, gable * 0.8f);
    m.polygon({{hx, y0, -hz}, {hx, y1 - 0.1f, 0.0f}, {hx, y0, hz}}, gable);
    m.polygon({{-hx, y0, hz}, {-hx, y1 - 0.1f, 0.0f}, {-hx, y0, -hz}}, gable);
}

Mesh oak(Detail detail)
{
    Mesh m(detail);
    m.prism(6, 0.38f, 0.24f, -0.5f, 2.8f, kBark, kBarkDark);
    m.tube({{0.0f, 2.0f, 0.0f}, {0.6f, 2.8f, 0.1f}, {1.0f, 3.3f, 0.2f}}, {0.16f, 0.12f, 0.08f}, 5, kBark);
    m.tube({{0.0f, 2.3f, 0.0f}, {-0.5f, 3.0f, -0.3f}, {-0.8f, 3.5f, -0.5f}}, {0.15f, 0.11f, 0.07f}, 5, kBark);
    m.setShading(0.07f, 21);
    m.ball({0.0f, 4.2f, 0.0f}, {1.9f, 1.6f, 1.9f}, 1, rgb(0x4caf50), 0.12f, 11);
    m.ball({1.1f, 3.6f, 0.4f}, {1.2f, 1.05f, 1.2f}, 1, rgb(0x5cbf3a), 0.12f, 12);
    m.ball({-1.0f, 3.7f, -0.5f}, {1.25f, 1.1f, 1.2f}, 1, rgb(0x43a047), 0.12f, 13);
    m.ball({0.2f, 5.3f, -0.2f}, {1.0f, 0.8f, 1.0f}, 0, rgb(0x66c34a), 0.1f, 14);
    return m;
}

Mesh pine(Detail detail)
{
    Mesh m(detail);
    m.prism(5, 0.28f, 0.2f, -0.5f, 1.6f, kBark, kBarkDark);
    m.setShading(0.06f, 22);
    const float tiers[][3] = {{2.2f, 1.0f, 4.0f}, {1.8f, 2.4f, 5.4f}, {1.35f, 3.8f, 6.7f}, {0.9f, 5.2f, 8.0f}};
    int i = 0;
    for (const auto& t : tiers) {
        m.prism(7, t[0], 0.0f, t[1], t[2], i % 2 == 0 ? rgb(0x2d7d46) : rgb(0x34915a), rgb(0x23633a), 13.0f * static_cast<float>(i));
        ++i;
    }
    return m;
}

Mesh birch(Detail detail)
{
    Mesh m(detail);
    const Colour bark = rgb(0xf1efe6), mark = rgb(0x3a3a3a);
    m.prism(6, 0.2f, 0.11f, -0.5f, 4.6f, bark, bark);
    const float marks[][3] = {{0.4f, 0.0f, 0.0f}, {1.1f, 120.0f, 0.0f}, {1.7f, 240.0f, 0.0f}, {2.5f, 60.0f, 0.0f},
                              {3.2f, 180.0f, 0.0f}, {3.9f, 300.0f, 0.0f}};
    for (const auto& k : marks) {
        Place around(m, Frame::rotateY(k[1]));
        const float r = 0.2f - 0.09f * (k[0] + 0.5f) / 5.1f;
        m.box({-0.07f, k[0], -r - 0.012f}, {0.07f, k[0] + 0.08f, -r + 0.04f}, mark);
    }
    m.tube({{0.0f, 2.8f, 0.0f}, {0.5f, 3.6f, 0.2f}}, {0.07f, 0.04f}, 4, bark);
    m.setShading(0.07f, 23);
    m.ball({0.0f, 4.9f, 0.0f}, {1.2f, 1.9f, 1.2f}, 1, rgb(0x9acd32), 0.12f, 31);
    m.ball({0.6f, 3.9f, 0.3f}, {0.8f, 1.0f, 0.8f}, 1, rgb(0x7cbf2a), 0.12f, 32);
    m.ball({-0.5f, 4.1f, -0.3f}, {0.75f, 0.9f, 0.75f}, 0, rgb(0x8bc34a), 0.1f, 33);
    return m;
}

Mesh bush(Detail detail)
{
    Mesh m(detail);
    m.setShading(0.08f, 24);
    m.ball({0.0f, 0.55f, 0.0f}, {0.85f, 0.7f, 0.8f}, 1, rgb(0x3fa34d), 0.12f, 41);
    m.ball({0.65f, 0.4f, 0.2f}, {0.55f, 0.45f, 0.55f}, 1, rgb(0x4caf50), 0.12f, 42);
    m.ball({-0.6f, 0.4f, -0.15f}, {0.6f, 0.48f, 0.55f}, 1, rgb(0x379a44), 0.12f, 43);
    m.setShading(0.0f, 0);
    // Flowers dotted over the top.
    const float flowers[][4] = {{0.3f, 1.15f, -0.4f, 0}, {-0.4f, 1.0f, -0.45f, 1}, {0.75f, 0.8f, -0.3f, 0}, {-0.85f, 0.75f, -0.35f, 1},
                                {0.0f, 1.2f, 0.3f, 1},   {-0.3f, 1.0f, 0.5f, 0},   {0.6f, 0.85f, 0.5f, 1}};
    for (const auto& f : flowers)
        m.ball({f[0], f[1], f[2]}, {0.09f, 0.07f, 0.09f}, 0, f[3] > 0.5f ? rgb(0xffffff) : rgb(0xf72585));
    return m;
}

Mesh largeRock(Detail detail)
{
    Mesh m(detail);
    m.setShading(0.08f, 25);
    m.ball({0.0f, 0.6f, 0.0f}, {1.7f, 1.2f, 1.4f}, 1, rgb(0x9aa0a6), 0.16f, 51);
    m.ball({1.1f, 0.2f, 0.6f}, {0.7f, 0.55f, 0.6f}, 0, rgb(0x8a9096), 0.15f, 52);
    return m;
}

Mesh smallRocks(Detail detail)
{
    Mesh m(detail);
    m.setShading(0.08f, 26);
    m.ball({0.0f, 0.15f, 0.0f}, {0.6f, 0.45f, 0.5f}, 0, rgb(0xa5abb1), 0.18f, 61);
    m.ball({0.8f, 0.05f, 0.3f}, {0.4f, 0.3f, 0.35f}, 0, rgb(0x8f959b), 0.18f, 62);
    m.ball({-0.6f, 0.05f, 0.5f}, {0.35f, 0.28f, 0.4f}, 0, rgb(0x9aa0a6), 0.18f, 63);
    m.ball({0.2f, 0.0f, -0.7f}, {0.3f, 0.22f, 0.3f}, 0, rgb(0xb0b5ba), 0.18f, 64);
    return m;
}

Mesh lectureHall(Detail detail)
{
    Mesh m(detail);
    const Colour wall = rgb(0xf4ecd6), trim = rgb(0xe4572e), roof = rgb(0x3d405b), column = rgb(0xffffff);
    constexpr float hx = 10.0f, hz = 6.0f, h = 7.0f;
    m.box({-hx, -1.0f, -hz}, {hx, h, hz}, wall, roof, wall);
    // The raked auditorium rises towards the back under a sloping roof.
    m.quad({hx, h, -1.0f}, {-hx, h, -1.0f}, {-hx, h + 2.5f, hz}, {hx, h + 2.5f, hz}, roof);
    m.quad({-hx, h, hz}, {hx, h, hz}, {hx, h + 2.5f, hz}, {-hx, h + 2.5f, hz}, wall);
    m.polygon({{hx, h, -1.0f}, {hx, h + 2.5f, hz}, {hx, h, hz}}, wall);
    m.polygon({{-hx, h, hz}, {-hx, h + 2.5f, hz}, {-hx, h, -1.0f}}, wall);
    // Ledges end a little below the roof: faces in one plane would flicker against each other.
    m.box({-hx - 0.2f, h - 0.55f, -hz - 0.2f}, {hx + 0.2f, h - 0.05f, hz + 0.2f}, trim);
    m.box({-hx - 0.2f, -1.0f, -hz - 0.2f}, {hx + 0.2f, 0.4f, hz + 0.2f}, rgb(0xb8b2a0));
    // The portico: steps, a canopy on six columns, glass doors and the sign.
    for (int s = 0; s < 3; ++s)
        m.box({-5.0f + 0.3f * static_cast<float>(s), -1.0f, -hz - 3.0f + 0.6f * static_cast<float>(s)},
              {5.0f - 0.3f * static_cast<float>(s), 0.2f + 0.2f * static_cast<float>(s), -hz},
              rgb(0xd6d2c4));
    m.box({-5.4f, 4.6f, -hz - 3.0f}, {5.4f, 5.2f, -hz}, trim, wall, trim);
    for (int c = 0; c < 6; ++c) {
        Place at(m, Frame::translate(-4.5f + 1.8f * static_cast<float>(c), 0.0f, -hz - 2.5f));
        m.prism(8, 0.28f, 0.24f, 0.8f, 4.6f, column, column, 22.5f);
    }
    {
        Place front(m, face(0, hx, hz));
        m.quad({2.0f, 0.8f, -0.04f}, {-2.0f, 0.8f, -0.04f}, {-2.0f, 3.6f, -0.04f}, {2.0f, 3.6f, -0.04f}, kGlassDark);
        m.box({-0.06f, 0.8f, -0.08f}, {0.06f, 3.6f, -0.04f}, kWhite);
        m.setSlot(kDetails);
        m.picture({3.5f, 5.4f, -0.05f}, {-3.5f, 5.4f, -0.05f}, {-3.5f, 6.2f, -0.05f}, {3.5f, 6.2f, -0.05f}, atlas::lectureHallSign());
        m.setSlot(kPainted);
        for (float x : {-8.0f, -6.2f, 6.2f, 8.0f})
            window(m, x, 3.0f, 1.2f, 2.4f);
    }
    for (int side : {1, 3}) {
        Place wallFace(m, face(side, hx, hz));
        for (float x : {-3.5f, 0.0f, 3.5f})
            window(m, x, 3.6f, 1.6f, 3.2f);
    }
    {
        Place back(m, face(2, hx, hz));
        for (float x : {-6.0f, -2.0f, 2.0f, 6.0f})
            window(m, x, 3.6f, 1.6f, 2.4f);
    }
    return m;
}

Mesh library(Detail detail)
{
    Mesh m(detail);
    const Colour brick = rgb(0xc0563b), stone = rgb(0xf4ecd6), dome = rgb(0x52b69a), roof = rgb(0x6b705c);
    constexpr float hx = 8.0f, hz = 7.0f, h = 8.5f;
    m.box({-hx, -1.0f, -hz}, {hx, h, hz}, brick, roof, brick);
    m.box({-hx - 0.25f, -1.0f, -hz - 0.25f}, {hx + 0.25f, 0.5f, hz + 0.25f}, stone);
    m.box({-hx - 0.3f, h - 0.65f, -hz - 0.3f}, {hx + 0.3f, h - 0.05f, hz + 0.3f}, stone);
    m.box({-hx - 0.15f, 4.0f, -hz - 0.15f}, {hx + 0.15f, 4.35f, hz + 0.15f}, stone);
    for (float x : {-hx, hx})
        for (float z : {-hz, hz})
            m.box({x - 0.45f, -0.5f, z - 0.45f}, {x + 0.45f, h - 0.4f, z + 0.45f}, stone);
    // A drum and a copper dome on the roof, a lantern on top.
    m.prism(10, 3.4f, 3.4f, h, h + 1.2f, stone, stone, 18.0f);
    m.lathe(10, {{3.5f, h + 1.2f}, {3.3f, h + 2.4f}, {2.6f, h + 3.5f}, {1.5f, h + 4.3f}, {0.0f, h + 4.6f}}, dome, 18.0f);
    m.prism(6, 0.35f, 0.35f, h + 4.5f, h + 5.3f, stone, stone);
    m.prism(6, 0.5f, 0.0f, h + 5.3f, h + 5.9f, dome, dome);
    {
        Place front(m, face(0, hx, hz));
        m.box({-1.8f, -0.5f, -0.6f}, {1.8f, 4.0f, 0.0f}, stone);
        m.quad({1.3f, 0.5f, -0.64f}, {-1.3f, 0.5f, -0.64f}, {-1.3f, 3.2f, -0.64f}, {1.3f, 3.2f, -0.64f}, kGlassDark);
        m.polygon({{1.3f, 3.2f, -0.64f}, {-1.3f, 3.2f, -0.64f}, {0.0f, 3.7f, -0.64f}}, kGlassDark);
        m.setSlot(kDetails);
        m.picture({4.2f, 6.2f, -0.05f}, {-4.2f, 6.2f, -0.05f}, {-4.2f, 7.15f, -0.05f}, {4.2f, 7.15f, -0.05f}, atlas::librarySign());
        m.setSlot(kPainted);
        for (float x : {-5.5f, -3.4f, 3.4f, 5.5f})
            window(m, x, 2.2f, 1.2f, 2.2f);
        for (float x : {-5.5f, -3.4f, 3.4f, 5.5f})
            window(m, x, 6.0f, 1.2f, 2.0f);
    }
    for (int side : {1, 2, 3}) {
        Place wallFace(m, face(side, hx, hz));
        const float half = side == 2 ? hx : hz;
        for (float x : {-half * 0.55f, 0.0f, half * 0.55f}) {
            window(m, x, 2.2f, 1.4f, 2.2f);
            window(m, x, 6.0f, 1.4f, 2.0f);
        }
    }
    // Steps up to the door.
    for (int s = 0; s < 2; ++s)
        m.box({-2.2f + 0.3f * static_cast<float>(s), -1.0f, -hz - 2.0f + 0.7f * static_cast<float>(s)},
              {2.2f - 0.3f * static_cast<float>(s), 0.15f + 0.2f * static_cast<float>(s), -hz - 0.6f}, stone);
    return m;
}

Mesh house(Detail detail, const Colour& walls, const Colour& roof, const Colour& door, bool twoFloors)
{
    Mesh m(detail);
    const float hx = twoFloors ? 3.2f : 3.6f, hz = 2.6f, h = twoFloors ? 5.2f : 3.2f;
    m.box({-hx, -1.0f, -hz}, {hx, h, hz}, walls);
    m.box({-hx - 0.1f, -1.0f, -hz - 0.1f}, {hx + 0.1f, 0.3f, hz + 0.1f}, rgb(0xb8b2a0));
    gableRoof(m, hx, hz, h, h + 2.3f, roof, walls);
    // Chimney.
    m.box({hx * 0.45f - 0.35f, h + 0.6f, 0.6f}, {hx * 0.45f + 0.35f, h + 2.8f, 1.3f}, rgb(0xa8553c), rgb(0x3d3d3d), rgb(0xa8553c));
    {
        Place front(m, face(0, hx, hz));
        m.box({-0.65f, 0.3f, -0.05f}, {0.65f, 2.5f, 0.0f}, door);
        m.box({-0.8f, 2.5f, -0.3f}, {0.8f, 2.65f, 0.0f}, roof);
        m.ball({0.45f, 1.4f, -0.08f}, {0.07f, 0.07f, 0.05f}, 0, rgb(0xffd23f));
        window(m, -2.0f, 1.7f, 1.1f, 1.1f);
        window(m, 2.0f, 1.7f, 1.1f, 1.1f);
        if (twoFloors) {
            window(m, -1.6f, 4.0f, 1.0f, 1.0f);
            window(m, 1.6f, 4.0f, 1.0f, 1.0f);
        }
    }
    {
        Place back(m, face(2, hx, hz));
        window(m, 0.0f, 1.7f, 1.3f, 1.1f);
    }
    for (int side : {1, 3}) {
        Place wallFace(m, face(side, hx, hz));
        window(m, 0.0f, 1.7f, 1.0f, 1.0f);
    }
    // Flower boxes under the front windows.
    for (float x : {-2.0f, 2.0f}) {
        m.box({x - 0.7f, 0.8f, -hz - 0.3f}, {x + 0.7f, 1.05f, -hz}, rgb(0x9c6644));
        for (int f = 0; f < 4; ++f)
            m.ball({x - 0.5f + 0.33f * static_cast<float>(f), 1.12f, -hz - 0.15f}, {0.1f, 0.09f, 0.1f}, 0,
                   f % 2 == 0 ? rgb(0xf72585) : rgb(0xffd23f));
    }
    return m;
}

Mesh bench(Detail detail)
{
    Mesh m(detail);
    const Colour wood = rgb(0xc68642), metal = rgb(0x2f3e46);
    for (float x : {-0.85f, 0.85f}) {
        m.box({x - 0.05f, -0.2f, -0.28f}, {x + 0.05f, 0.45f, -0.2f}, metal);
        m.box({x - 0.05f, -0.2f, 0.2f}, {x + 0.05f, 0.45f, 0.28f}, metal);
        m.box({x - 0.05f, 0.4f, -0.3f}, {x + 0.05f, 0.48f, 0.3f}, metal);
        Place back(m, Frame::translate(x, 0.45f, 0.26f) * Frame::rotateX(-12.0f));
        m.box({-0.05f, 0.0f, -0.04f}, {0.05f, 0.55f, 0.04f}, metal);
    }
    for (int s = 0; s < 3; ++s) {
        const float z = -0.26f + 0.18f * static_cast<float>(s);
        m.box({-1.0f, 0.48f, z}, {1.0f, 0.54f, z + 0.15f}, wood);
    }
    Place back(m, Frame::translate(0.0f, 0.45f, 0.3f) * Frame::rotateX(-12.0f));
    for (int s = 0; s < 2; ++s)
        m.box({-1.0f, 0.2f + 0.2f * static_cast<float>(s), -0.03f}, {1.0f, 0.34f + 0.2f * static_cast<float>(s), 0.03f}, wood);
    return m;
}

Mesh streetLamp(Detail detail)
{
    Mesh m(detail);
    const Colour metal = rgb(0x355c7d), trim = rgb(0xffd23f);
    // A park lamp: a footed post, a ring, and a lantern with a glowing glass under a little roof.
    m.prism(8, 0.24f, 0.2f, -0.3f, 0.45f, metal, metal, 22.5f);
    m.prism(8, 0.1f, 0.08f, 0.45f, 3.6f, metal, metal, 22.5f);
    m.prism(8, 0.15f, 0.15f, 1.2f, 1.32f, trim, trim, 22.5f);
    m.prism(8, 0.16f, 0.12f, 3.6f, 3.75f, metal, metal, 22.5f);
    m.prism(4, 0.2f, 0.28f, 3.75f, 3.82f, metal, metal, 45.0f);
    for (int corner = 0; corner < 4; ++corner) {
        Place post(m, Frame::rotateY(90.0f * static_cast<float>(corner)) * Frame::translate(0.19f, 0.0f, 0.19f));
        m.box({-0.025f, 3.8f, -0.025f}, {0.025f, 4.45f, 0.025f}, metal);
    }
    m.prism(4, 0.36f, 0.0f, 4.45f, 4.8f, metal, metal, 45.0f);
    m.prism(8, 0.06f, 0.0f, 4.78f, 4.98f, trim, trim, 22.5f);
    m.setSlot(kGlow);
    m.setAlpha(0.9f);
    m.prism(4, 0.25f, 0.25f, 3.82f, 4.45f, rgb(0xffe8a3), rgb(0xfff4cc), 45.0f);
    m.setAlpha(1.0f);
    m.setSlot(kPainted);
    return m;
}

Mesh fountain(Detail detail)
{
    Mesh m(detail);
    const Colour stone = rgb(0xd6d2c4), stoneDark = rgb(0xb8b2a0), water = rgb(0x4cc9f0);
    // Basin: outer wall, rim, inner wall down to the water.
    m.lathe(12, {{2.6f, -0.3f}, {2.6f, 0.55f}, {2.7f, 0.65f}, {2.25f, 0.65f}, {2.25f, 0.35f}, {0.0f, 0.35f}}, stone, 15.0f, true);
    m.prism(12, 2.26f, 2.26f, 0.38f, 0.42f, water, water, 15.0f, false, true);
    m.prism(8, 0.35f, 0.28f, 0.4f, 1.6f, stoneDark, stoneDark, 22.5f);
    m.lathe(8, {{0.2f, 1.55f}, {0.9f, 1.7f}, {0.95f, 1.9f}, {0.75f, 1.9f}, {0.75f, 1.78f}, {0.0f, 1.78f}}, stone, 22.5f, true);
    m.prism(8, 0.76f, 0.76f, 1.78f, 1.8f, water, water, 22.5f, false, true);
    m.prism(6, 0.12f, 0.08f, 1.8f, 2.3f, stoneDark, stoneDark);
    // Water: a jet rising from the top and the veil falling from the bowl, bright and additive.
    m.setSlot(kGlow);
    m.setAlpha(0.55f);
    m.prism(6, 0.1f, 0.03f, 2.3f, 3.2f, rgb(0xbde9ff), rgb(0xbde9ff), 0.0f, false, false);
    m.prism(6, 0.03f, 0.35f, 3.2f, 2.7f, rgb(0xbde9ff), rgb(0xbde9ff), 0.0f, false, false);
    m.lathe(12, {{1.3f, 0.45f}, {1.05f, 1.2f}, {0.95f, 1.8f}}, rgb(0x9ad9f5), 15.0f, false);
    m.setAlpha(1.0f);
    m.setSlot(kPainted);
    return m;
}

Mesh fence(Detail detail)
{
    Mesh m(detail);
    const Colour white = rgb(0xfaf7ef), shade = rgb(0xe2ddd0);
    // A 4-unit picket fence along X, from -2 to 2.
    for (float x : {-2.0f, 2.0f})
        m.box({x - 0.08f, -0.4f, -0.08f}, {x + 0.08f, 1.2f, 0.08f}, shade, white, shade);
    m.box({-2.0f, 0.3f, 0.02f}, {2.0f, 0.42f, 0.08f}, shade);
    m.box({-2.0f, 0.8f, 0.02f}, {2.0f, 0.92f, 0.08f}, shade);
    for (int p = 0; p < 10; ++p) {
        const float x = -1.8f + 0.4f * static_cast<float>(p);
        m.box({x - 0.07f, 0.0f, -0.02f}, {x + 0.07f, 1.0f, 0.02f}, white);
        m.polygon({{x + 0.07f, 1.0f, -0.02f}, {x - 0.07f, 1.0f, -0.02f}, {x, 1.15f, -0.02f}}, white);
        m.polygon({{x - 0.07f, 1.0f, 0.02f}, {x + 0.07f, 1.0f, 0.02f}, {x, 1.15f, 0.02f}}, white);
        m.polygon({{x + 0.07f, 1.0f, 0.02f}, {x + 0.07f, 1.0f, -0.02f}, {x, 1.15f, -0.02f}, {x, 1.15f, 0.02f}}, shade);
        m.polygon({{x - 0.07f, 1.0f, -0.02f}, {x - 0.07f, 1.0f, 0.02f}, {x, 1.15f, 0.02f}, {x, 1.15f, -0.02f}}, shade);
    }
    return m;
}

} // namespace

std::vector<ModelSpec> sceneryModels()
{
    std::vector<ModelSpec> models;
    models.push_back(scenery("tree_oak", oak));
    models.push_back(scenery("tree_pine", pine));
    models.push_back(scenery("tree_birch", birch));
    models.push_back(scenery("bush", bush));
    models.push_back(scenery("rock_large", largeRock));
    models.push_back(scenery("rocks_small", smallRocks));
    models.push_back(scenery("lecture_hall", lectureHall));
    models.push_back(scenery("library", library));
    models.push_back(scenery("house_yellow", [](Detail d) {
        return house(d, rgb(0xffe08a), rgb(0xd1495b), rgb(0x2ec4b6), false);
    }));
    models.push_back(scenery("house_blue", [](Detail d) {
        return house(d, rgb(0x9bd3ee), rgb(0x3d5a80), rgb(0xef476f), true);
    }));
    models.push_back(scenery("bench", bench));
    models.push_back(scenery("street_lamp", streetLamp));
    models.push_back(scenery("fountain", fountain));
    models.push_back(scenery("fence", fence));
    return models;
}

} // namespace cg
