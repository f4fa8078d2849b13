// The props: the monkeys' banana, Turbo-Kip's red streak, the five papers to collect and the 22
// advertisement boards, each showing one of the generated posters.

#include "contentgen_models.h"

#include <cmath>
#include <cstdio>

namespace cg {

namespace {

constexpr float kPi = 3.14159265358979f;

// Papers float upright above their placing point and spin about it.
constexpr float kPaperBottom = 0.5f, kPaperTop = 1.5f, kPaperHalfWidth = 0.36f;

// A sheet facing -Z and +Z, with the picture on both faces so it reads the right way round from
// either side while it spins.
void sheet(Mesh& m, float halfWidth, float y0, float y1, float halfThickness, const UVRect& front, const UVRect& back,
           const Colour& edge)
{
    m.box({-halfWidth, y0, -halfThickness}, {halfWidth, y1, halfThickness}, edge);
    m.setSlot(kDetails);
    const float z = halfThickness + 0.004f;
    m.picture({halfWidth, y0, -z}, {-halfWidth, y0, -z}, {-halfWidth, y1, -z}, {halfWidth, y1, -z}, front);
    m.picture({-halfWidth, y0, z}, {halfWidth, y0, z}, {halfWidth, y1, z}, {-halfWidth, y1, z}, back);
    m.setSlot(kPainted);
}

Mesh journalArticle()
{
    Mesh m;
    const Colour white = rgb(0xfbfbf8), shade = rgb(0xe7e5df);
    // Three stapled pages fanned out a little.
    for (int page = 2; page >= 1; --page) {
        Place fan(m, Frame::translate(0.035f * static_cast<float>(page), -0.03f * static_cast<float>(page),
                                      0.02f * static_cast<float>(page)) *
                         Frame::rotateZ(-4.0f * static_cast<float>(page)));
        m.box({-kPaperHalfWidth, kPaperBottom, -0.004f}, {kPaperHalfWidth, kPaperTop, 0.004f}, shade);
    }
    sheet(m, kPaperHalfWidth, kPaperBottom, kPaperTop, 0.004f, atlas::journal(), atlas::journal(), white);
    // The staple in the top corner (on the left seen from the front).
    Place staple(m, Frame::translate(kPaperHalfWidth - 0.045f, kPaperTop - 0.045f, 0.0f) * Frame::rotateZ(45.0f));
    m.box({-0.035f, -0.007f, -0.012f}, {0.035f, 0.007f, 0.012f}, rgb(0x8d99ae));
    return m;
}

Mesh thesis()
{
    Mesh m;
    const Colour cover = rgb(0x8e2c3d), pages = rgb(0xf6efdc), gold = rgb(0xe9c46a);
    m.box({-0.34f, kPaperBottom + 0.02f, -0.05f}, {0.34f, kPaperTop - 0.02f, 0.05f}, pages);
    // Hard covers and the spine on the left when seen from the front.
    m.setSlot(kDetails);
    const UVRect front = atlas::thesis();
    m.picture({0.37f, kPaperBottom, -0.069f}, {-0.37f, kPaperBottom, -0.069f}, {-0.37f, kPaperTop, -0.069f},
              {0.37f, kPaperTop, -0.069f}, front);
    m.setSlot(kPainted);
    m.box({-0.37f, kPaperBottom, -0.065f}, {0.37f, kPaperTop, -0.05f}, cover);
    m.box({-0.37f, kPaperBottom, 0.05f}, {0.37f, kPaperTop, 0.065f}, cover);
    m.box({0.34f, kPaperBottom, -0.065f}, {0.38f, kPaperTop, 0.065f}, cover);
    m.box({0.372f, kPaperBottom + 0.12f, -0.055f}, {0.385f, kPaperBottom + 0.16f, 0.055f}, gold);
    m.box({0.372f, kPaperTop - 0.16f, -0.055f}, {0.385f, kPaperTop - 0.12f, 0.055f}, gold);
    // The university's crest on the back cover.
    m.setSlot(kDetails);
    m.picture({-0.14f, 0.86f, 0.069f}, {0.14f, 0.86f, 0.069f}, {0.14f, 1.14f, 0.069f}, {-0.14f, 1.14f, 0.069f}, atlas::crest());
    m.setSlot(kPainted);
    return m;
}

Mesh proceedings()
{
    Mesh m;
    const Colour cover = rgb(0x2ec4b6), metal = rgb(0xb8c0cc);
    m.box({-0.35f, kPaperBottom, -0.03f}, {0.35f, kPaperTop, 0.03f}, rgb(0xfbfbf8));
    m.box({-0.36f, kPaperBottom, 0.03f}, {0.36f, kPaperTop, 0.042f}, cover);
    m.setSlot(kDetails);
    m.picture({0.36f, kPaperBottom, -0.047f}, {-0.36f, kPaperBottom, -0.047f}, {-0.36f, kPaperTop, -0.047f},
              {0.36f, kPaperTop, -0.047f}, atlas::proceedings());
    m.setSlot(kPainted);
    m.box({-0.36f, kPaperBottom, -0.043f}, {0.36f, kPaperTop, -0.03f}, cover);
    // The spiral binding along the top edge.
    for (int ring = 0; ring < 9; ++ring) {
        Place at(m, Frame::translate(-0.3f + 0.075f * static_cast<float>(ring), kPaperTop + 0.005f, 0.0f) *
                        Frame::rotateZ(90.0f));
        m.lathe(6, {{0.045f, -0.012f}, {0.06f, -0.012f}, {0.06f, 0.012f}, {0.045f, 0.012f}, {0.045f, -0.012f}}, metal, 0.0f,
                false);
    }
    return m;
}

Mesh diplomaScroll()
{
    Mesh m;
    const Colour paper = rgb(0xf6efdc), paperDark = rgb(0xd9ccaa), ribbon = rgb(0xe63946), gold = rgb(0xffd23f);
    constexpr int kSides = 14;
    constexpr float kRadius = 0.24f, y0 = kPaperBottom + 0.02f, y1 = kPaperTop - 0.02f;
    const UVRect d = atlas::diploma();
    m.setSlot(kDetails);
    for (int i = 0; i < kSides; ++i) {
        // The picture runs once round the roll from its left side, so that the front half of the
        // picture (the title) faces the front (-Z).
        const float a0 = 2.0f * kPi * (static_cast<float>(i) / kSides - 0.25f);
        const float a1 = 2.0f * kPi * (static_cast<float>(i + 1) / kSides - 0.25f);
        const float u0 = d.u0 + (d.u1 - d.u0) * static_cast<float>(i) / kSides;
        const float u1 = d.u0 + (d.u1 - d.u0) * static_cast<float>(i + 1) / kSides;
        const Vec3 p0{-kRadius * std::sin(a0), 0.0f, -kRadius * std::cos(a0)};
        const Vec3 p1{-kRadius * std::sin(a1), 0.0f, -kRadius * std::cos(a1)};
        // Seen from outside, the angle grows to the right: corners counter-clockwise from bottom left.
        m.polygon({{p0.x, y0, p0.z}, {p1.x, y0, p1.z}, {p1.x, y1, p1.z}, {p0.x, y1, p0.z}},
                  {{{u0, d.v0}}, {{u1, d.v0}}, {{u1, d.v1}}, {{u0, d.v1}}}, {1.0f, 1.0f, 1.0f});
    }
    m.setSlot(kPainted);
    m.prism(kSides, kRadius * 0.98f, kRadius * 0.98f, y0 - 0.01f, y0, paperDark, paperDark, 0.0f, true, false);
    m.prism(kSides, kRadius * 0.98f, kRadius * 0.98f, y1, y1 + 0.01f, paperDark, paperDark, 0.0f, false, true);
    m.prism(kSides, kRadius * 0.5f, kRadius * 0.5f, y1 + 0.01f, y1 + 0.012f, paper, paper, 0.0f, false, true);
    // A red ribbon round the middle, its tails and a golden seal.
    const float mid = (y0 + y1) * 0.5f;
    m.prism(kSides, kRadius + 0.015f, kRadius + 0.015f, mid - 0.05f, mid + 0.05f, ribbon, ribbon);
    m.tube({{-0.05f, mid, -0.25f}, {-0.09f, mid - 0.15f, -0.28f}, {-0.1f, mid - 0.32f, -0.27f}}, {0.03f, 0.03f, 0.03f}, 4, ribbon);
    m.tube({{0.05f, mid, -0.25f}, {0.1f, mid - 0.14f, -0.29f}, {0.13f, mid - 0.28f, -0.29f}}, {0.03f, 0.03f, 0.03f}, 4, ribbon);
    Place seal(m, Frame::translate(0.0f, mid, -0.265f) * Frame::rotateX(90.0f));
    m.prism(10, 0.085f, 0.085f, -0.02f, 0.02f, gold, rgb(0xf4a261), 18.0f);
    return m;
}

Mesh manuscript()
{
    Mesh m;
    const Colour pages = rgb(0xf6f4ee), lines = rgb(0xd8d4ca), clip = rgb(0x22315b);
    m.box({-kPaperHalfWidth, kPaperBottom, -0.08f}, {kPaperHalfWidth, kPaperTop, 0.08f}, pages);
    for (float z : {-0.05f, -0.01f, 0.03f, 0.065f})
        m.box({-kPaperHalfWidth - 0.003f, kPaperBottom + 0.01f, z}, {kPaperHalfWidth + 0.003f, kPaperTop - 0.01f, z + 0.008f}, lines);
    sheet(m, kPaperHalfWidth, kPaperBottom, kPaperTop, 0.082f, atlas::manuscript(), atlas::manuscript(), pages);
    // A big binder clip on the top edge.
    m.box({-0.14f, kPaperTop - 0.12f, -0.1f}, {0.14f, kPaperTop + 0.03f, 0.1f}, clip);
    const Colour wire = rgb(0xb8c0cc);
    for (float side : {-1.0f, 1.0f}) {
        m.tube({{-0.1f, kPaperTop + 0.02f, side * 0.1f}, {-0.1f, kPaperTop + 0.16f, side * 0.15f}, {0.1f, kPaperTop + 0.16f, side * 0.15f},
                {0.1f, kPaperTop + 0.02f, side * 0.1f}},
               {0.012f, 0.012f, 0.012f, 0.012f}, 4, wire);
    }
    return m;
}

ModelSpec single(const std::string& path, const std::string& level, Mesh mesh)
{
    ModelSpec spec;
    spec.path = path;
    spec.levels.push_back({level, std::move(mesh)});
    return spec;
}

Mesh redStreak()
{
    Mesh m;
    m.setSlot(kGlow);
    // Along the flight: the head at -Z, the trail behind it fading out. Additive, so the layers add
    // up to a white-hot core inside red.
    const std::vector<Vec3> trail = {{0, 0, -0.75f}, {0, 0, -0.45f}, {0, 0, 0.1f}, {0, 0, 0.8f}, {0, 0, 1.6f}};
    const float radii[] = {0.0f, 0.17f, 0.15f, 0.09f, 0.0f};
    const float alphas[] = {0.7f, 0.55f, 0.35f, 0.18f};
    for (std::size_t k = 0; k + 1 < trail.size(); ++k) {
        m.setAlpha(alphas[k]);
        m.tube({trail[k], trail[k + 1]}, {radii[k], radii[k + 1]}, 8, rgb(0xff2020), false);
        m.setAlpha(alphas[k] * 0.35f);
        m.tube({trail[k], trail[k + 1]}, {radii[k] * 1.9f, radii[k + 1] * 1.9f}, 8, rgb(0xff3a2a), false);
    }
    m.setAlpha(1.0f);
    m.tube({{0, 0, -0.6f}, {0, 0, -0.4f}, {0, 0, 0.2f}, {0, 0, 1.0f}}, {0.0f, 0.085f, 0.07f, 0.0f}, 6, rgb(0xffb0a0), false);
    m.tube({{0, 0, -0.5f}, {0, 0, -0.35f}, {0, 0, 0.3f}}, {0.0f, 0.04f, 0.0f}, 6, rgb(0xffffff), false);
    return m;
}

Mesh adBoard()
{
    Mesh m;
    const Colour post = rgb(0x5c677d), frame = rgb(0x22315b), cap = rgb(0xffd23f), concrete = rgb(0xb8b8b0);
    for (float side : {-1.0f, 1.0f}) {
        m.box({side * 1.32f - 0.08f, -0.4f, -0.08f}, {side * 1.32f + 0.08f, 6.0f, 0.08f}, post);
        m.box({side * 1.32f - 0.22f, -0.4f, -0.22f}, {side * 1.32f + 0.22f, 0.18f, 0.22f}, concrete);
    }
    // The frame around the poster, the poster on both faces, a cap on top.
    m.box({-1.24f, 1.25f, -0.1f}, {1.24f, 1.4f, 0.1f}, frame);
    m.box({-1.24f, 5.8f, -0.1f}, {1.24f, 5.95f, 0.1f}, frame);
    m.box({-1.24f, 1.4f, -0.1f}, {-1.1f, 5.8f, 0.1f}, frame);
    m.box({1.1f, 1.4f, -0.1f}, {1.24f, 5.8f, 0.1f}, frame);
    m.box({-1.1f, 1.4f, -0.05f}, {1.1f, 5.8f, 0.05f}, rgb(0xeeeeee));
    m.box({-1.36f, 5.95f, -0.2f}, {1.36f, 6.1f, 0.2f}, cap);
    m.setSlot(kPoster);
    const UVRect poster{0.0f, 0.0f, 1.0f, 1.0f};
    m.picture({1.1f, 1.4f, -0.055f}, {-1.1f, 1.4f, -0.055f}, {-1.1f, 5.8f, -0.055f}, {1.1f, 5.8f, -0.055f}, poster);
    m.picture({-1.1f, 1.4f, 0.055f}, {1.1f, 1.4f, 0.055f}, {1.1f, 5.8f, 0.055f}, {-1.1f, 5.8f, 0.055f}, poster);
    m.setSlot(kPainted);
    return m;
}

} // namespace

void addBanana(Mesh& mesh)
{
    const Colour yellow = rgb(0xffd23f), brown = rgb(0x6b4f1d);
    std::vector<Vec3> points;
    std::vector<float> radii;
    constexpr int kSteps = 8;
    constexpr float kBend = 0.85f;
    for (int i = 0; i <= kSteps; ++i) {
        const float a = (-42.0f + 84.0f * static_cast<float>(i) / kSteps) * (kPi / 180.0f);
        points.push_back({kBend * std::sin(a), kBend * (1.0f - std::cos(a)) - 0.1f, 0.0f});
        const float t = static_cast<float>(i) / kSteps;
        radii.push_back(0.035f + 0.1f * std::sin(kPi * std::min(1.0f, 0.15f + 0.85f * t)));
    }
    mesh.tube(points, radii, 5, yellow);
    const Vec3 stemStart = points.back(), tipEnd = points.front();
    mesh.tube({stemStart, stemStart + Vec3{0.07f, 0.07f, 0.0f}, stemStart + Vec3{0.1f, 0.12f, 0.0f}}, {0.04f, 0.035f, 0.03f}, 5, brown);
    mesh.tube({tipEnd + Vec3{0.01f, -0.005f, 0.0f}, tipEnd + Vec3{-0.04f, 0.02f, 0.0f}}, {0.037f, 0.02f}, 5, brown);
}

std::vector<ModelSpec> propModels()
{
    std::vector<ModelSpec> models;
    {
        Mesh banana;
        addBanana(banana);
        models.push_back(single("models\\props\\banana.model", "banana", std::move(banana)));
    }
    models.push_back(single("models\\props\\redstreak.model", "red streak", redStreak()));
    models.push_back(single("models\\props\\paper_1.model", "journal article", journalArticle()));
    models.push_back(single("models\\props\\paper_2.model", "thesis", thesis()));
    models.push_back(single("models\\props\\paper_3.model", "proceedings", proceedings()));
    models.push_back(single("models\\props\\paper_4.model", "diploma", diplomaScroll()));
    models.push_back(single("models\\props\\paper_5.model", "manuscript", manuscript()));
    const Mesh board = adBoard();
    for (int i = 1; i <= 22; ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%02d", i);
        ModelSpec spec = single(std::string("models\\environment\\ads\\ad_") + number + ".model", "board", board);
        spec.poster = std::string("textures\\ads\\ad_") + number + ".jpg";
        models.push_back(std::move(spec));
    }
    return models;
}

} // namespace cg
