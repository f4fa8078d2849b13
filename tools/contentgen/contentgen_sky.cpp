// The sky box and the particle sheets. The sky is one function of the view direction (gradient,
// horizon haze, sun and a layer of clouds), sampled for each face through the corners the sky box
// draws it with, so the six faces meet without a seam.

#include "contentgen.h"

#include <array>

namespace cg {

namespace {

constexpr int kFace = 512;

struct Vec3 {
    float x, y, z;
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    float dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec3 normalised() const
    {
        const float l = std::sqrt(dot(*this));
        return {x / l, y / l, z / l};
    }
};

// The sun stands where the world's light comes from: up and towards -z.
const Vec3 kSun = Vec3{0.0f, 0.7f, -0.7f}.normalised();

Colour sky(const Vec3& d)
{
    const float elevation = d.y;
    const Colour zenith = rgb(0x2a6fdb), upper = rgb(0x57a0ee), horizon = rgb(0xcfe6f7), below = rgb(0xa3bfb4);
    Colour c;
    if (elevation >= 0.0f) {
        const float t = std::pow(elevation, 0.45f);
        c = t < 0.5f ? mix(horizon, upper, t / 0.5f) : mix(upper, zenith, (t - 0.5f) / 0.5f);
    } else {
        c = mix(horizon, below, smoothstep(0.0f, 0.25f, -elevation));
    }
    // Haze hugging the horizon.
    c = mix(c, rgb(0xeef6fb), 0.55f * std::exp(-std::fabs(elevation) * 18.0f));

    const float towardSun = std::max(0.0f, d.dot(kSun));
    c = c + rgb(0xfff1c9) * (0.35f * std::pow(towardSun, 48.0f) + 0.12f * std::pow(towardSun, 6.0f));

    if (elevation > 0.0f) {
        // Fair-weather clouds on a flat layer above the world: puffy bodies with crisp rims, lit
        // on the side that faces the sun and greyer where more cloud lies between them and it.
        const float scale = 1.3f / (elevation + 0.1f);
        const float px = d.x * scale, pz = d.z * scale;
        const auto density = [](float x, float z) {
            const float warp = 0.35f * fbm3(x * 0.5f, z * 0.5f, 3.1f, 2, 601);
            return fbm3(x + warp, z - warp, 7.3f, 5, 602, 0.55f) + 0.1f;
        };
        const float here = density(px, pz);
        const float body = smoothstep(0.14f, 0.22f, here) * smoothstep(0.01f, 0.16f, elevation);
        if (body > 0.0f) {
            const float towardSunSide = density(px, pz - 0.25f); // the sun stands towards -z
            const float shade = clamp01((towardSunSide - here) * 2.2f + 0.25f);
            Colour cloud = mix(rgb(0xffffff), rgb(0xa9b7cc), shade);
            cloud = mix(cloud, rgb(0xc4cfde), 0.5f * smoothstep(0.25f, 0.7f, here) * (1.0f - 0.6f * towardSun));
            c = mix(c, cloud, body);
        }
    }
    // The sun's disc.
    c = mix(c, rgb(0xfffbea), smoothstep(0.9989f, 0.9993f, towardSun));
    return c;
}

struct Face {
    const char* name;
    Vec3 topLeft, topRight, bottomLeft; // the corners drawn with texture coordinates (0,1), (1,1), (0,0)
};

// Bottom is never drawn; it continues the sky below the horizon for completeness.
const std::array<Face, 6> kFaces = {{
    {"north", {-1, 1, -1}, {1, 1, -1}, {-1, -1, -1}},
    {"west", {-1, 1, 1}, {-1, 1, -1}, {-1, -1, 1}},
    {"south", {1, 1, 1}, {-1, 1, 1}, {1, -1, 1}},
    {"east", {1, 1, -1}, {1, 1, 1}, {1, -1, -1}},
    {"top", {-1, 1, 1}, {1, 1, 1}, {-1, 1, -1}},
    {"bottom", {-1, -1, -1}, {1, -1, -1}, {-1, -1, 1}},
}};

const char* kClampScript =
    "# Clamped in both directions: a face must not pick up its opposite edge where the cube's faces meet.\n"
    "set horizontalclamp true\n"
    "set verticalclamp true\n";

const char* kParticleScript =
    "# Clamped so that a billboard's edge never shows the opposite side of the sheet.\n"
    "set horizontalclamp true\n"
    "set verticalclamp true\n";

// Particles blend additively weighted by alpha (source alpha, one): the colour stays whole and the
// alpha carries the intensity.
void putGlow(QImage& image, int x, int y, const Colour& c, float intensity)
{
    putRGBA(image, x, y, c, clamp01(intensity));
}

float radial(float x, float y) { return std::sqrt(x * x + y * y); }

QImage explosionSheet()
{
    constexpr int kCell = 64;
    constexpr int kPuffs = 7;
    Random random(702);
    std::array<std::array<float, 4>, kPuffs> puffs{}; // direction x, y, size, speed
    for (auto& puff : puffs) {
        const float angle = random.range(0.0f, 6.2831853f);
        puff = {std::cos(angle), std::sin(angle), random.range(0.75f, 1.15f), random.range(0.6f, 1.0f)};
    }
    QImage sheet(8 * kCell, 8 * kCell, QImage::Format_RGBA8888);
    for (int frame = 0; frame < 64; ++frame) {
        // Frames run left to right, top row first: the order the explosion plays them in.
        const int left = (frame % 8) * kCell, top = (frame / 8) * kCell;
        const float p = static_cast<float>(frame) / 63.0f;
        const float grow = 1.0f - std::pow(1.0f - std::min(1.0f, p * 1.6f), 3.0f);
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) {
                const float lx = (static_cast<float>(x) + 0.5f) / kCell * 2.0f - 1.0f;
                const float ly = (static_cast<float>(y) + 0.5f) / kCell * 2.0f - 1.0f;
                // A cluster of billowing puffs flying apart from a hot core.
                float density = 1.0f - radial(lx, ly) / (0.22f + 0.25f * grow);
                for (const auto& puff : puffs) {
                    const float reach = (0.08f + 0.4f * grow) * puff[3];
                    const float r = (0.14f + 0.24f * grow) * puff[2];
                    density = std::max(density, 1.0f - radial(lx - puff[0] * reach, ly - puff[1] * reach) / r);
                }
                const float n = fbm3(lx * 3.0f, ly * 3.0f, p * 3.0f, 4, 701);
                density += 0.22f * n;
                const float heat = clamp01(density * 1.5f + 0.2f) * clamp01(1.1f - 1.25f * p);
                Colour c;
                if (heat > 0.7f)
                    c = mix(rgb(0xffd34d), rgb(0xfffbe6), (heat - 0.7f) / 0.3f);
                else if (heat > 0.4f)
                    c = mix(rgb(0xff7a1a), rgb(0xffd34d), (heat - 0.4f) / 0.3f);
                else if (heat > 0.15f)
                    c = mix(rgb(0xc2361c), rgb(0xff7a1a), (heat - 0.15f) / 0.25f);
                else
                    c = mix(rgb(0x5a3a30), rgb(0xc2361c), heat / 0.15f);
                const float cover = smoothstep(0.0f, 0.12f, density);
                const float fadeOut = 1.0f - smoothstep(0.55f, 1.0f, p);
                const float border = 1.0f - smoothstep(0.86f, 0.98f, radial(lx, ly));
                putGlow(sheet, left + x, top + y, c, cover * fadeOut * (0.45f + 0.55f * heat) * border);
            }
    }
    return sheet;
}

QImage glowPicture(int size, float (*intensity)(float x, float y), const Colour& outer, const Colour& inner)
{
    QImage picture(size, size, QImage::Format_RGBA8888);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float lx = (static_cast<float>(x) + 0.5f) / size * 2.0f - 1.0f;
            const float ly = (static_cast<float>(y) + 0.5f) / size * 2.0f - 1.0f;
            const float i = intensity(lx, ly) * (1.0f - smoothstep(0.85f, 0.99f, radial(lx, ly)));
            putGlow(picture, x, y, mix(outer, inner, smoothstep(0.5f, 1.0f, i)), i);
        }
    return picture;
}

// A four-pointed sparkle with a softer diagonal cross.
float sparkle(float x, float y)
{
    const float r = radial(x, y);
    const float main = std::exp(-std::fabs(x) * 22.0f) * std::exp(-std::fabs(y) * 2.6f) +
                       std::exp(-std::fabs(y) * 22.0f) * std::exp(-std::fabs(x) * 2.6f);
    const float u = (x + y) * 0.7071f, v = (x - y) * 0.7071f;
    const float diagonal = 0.45f * (std::exp(-std::fabs(u) * 26.0f) * std::exp(-std::fabs(v) * 5.0f) +
                                    std::exp(-std::fabs(v) * 26.0f) * std::exp(-std::fabs(u) * 5.0f));
    return std::min(1.0f, main + diagonal + 0.55f * std::exp(-r * r * 22.0f) + 0.25f * std::exp(-r * r * 4.0f));
}

// A muzzle flash: a hot core with eight uneven spikes.
float muzzle(float x, float y)
{
    const float r = radial(x, y);
    const float angle = std::atan2(y, x);
    const float spikes = std::pow(std::fabs(std::cos(4.0f * angle)), 10.0f) * (0.75f + 0.25f * std::sin(3.0f * angle + 1.0f));
    return std::min(1.0f, 1.2f * std::exp(-r * r * 9.0f) + 0.3f * std::exp(-r * 3.0f) + spikes * std::exp(-r * 2.4f));
}

// An impact: a shock ring around a flash, with short sparks flying out.
float impact(float x, float y)
{
    const float r = radial(x, y);
    const float angle = std::atan2(y, x);
    const float ring = std::exp(-std::pow((r - 0.55f) / 0.07f, 2.0f));
    const float sparks = std::pow(std::fabs(std::sin(5.0f * angle + 0.4f)), 40.0f) * smoothstep(0.2f, 0.45f, r) *
                         (1.0f - smoothstep(0.65f, 0.85f, r));
    return std::min(1.0f, 0.85f * ring + 0.9f * std::exp(-r * r * 14.0f) + 0.8f * sparks);
}

} // namespace

void makeSky(Output& out)
{
    for (const Face& face : kFaces) {
        QImage picture(kFace, kFace, QImage::Format_RGB888);
        const Vec3 across = face.topRight - face.topLeft, down = face.bottomLeft - face.topLeft;
        for (int y = 0; y < kFace; ++y)
            for (int x = 0; x < kFace; ++x) {
                const float s = (static_cast<float>(x) + 0.5f) / kFace, t = (static_cast<float>(y) + 0.5f) / kFace;
                putRGB(picture, x, y, sky((face.topLeft + across * s + down * t).normalised()));
            }
        const std::string name = std::string("textures/skybox/") + face.name;
        out.png(name + ".png", picture);
        out.text(name + ".texture", kClampScript);
    }
}

void makeParticles(Output& out)
{
    out.png("textures/particles/explosion.png", explosionSheet());
    out.png("textures/particles/pickup.png", glowPicture(128, sparkle, rgb(0xffc23a), rgb(0xfffbe8)));
    out.png("textures/particles/redstreak_shot.png", glowPicture(128, muzzle, rgb(0xff2a1a), rgb(0xffe0c8)));
    out.png("textures/particles/redstreak_impact.png", glowPicture(128, impact, rgb(0xff3322), rgb(0xffd0b0)));
    for (const char* name : {"explosion", "pickup", "redstreak_shot", "redstreak_impact"})
        out.text(std::string("textures/particles/") + name + ".texture", kParticleScript);
}

} // namespace cg
