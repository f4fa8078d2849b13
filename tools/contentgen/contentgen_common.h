#pragma once
// Shared tools of the content generator: the output folder that records every file written, a
// small deterministic random generator, tileable noise and colour helpers. Everything here is a
// pure function of its seeds, so a run writes the same bytes every time.

#include <QImage>
#include <QString>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace cg {

// Writes the generated files below the program folder and remembers their relative names (with
// "/" separators, lower case, as the program names them with "\").
class Output {
public:
    explicit Output(std::string root) : root_(std::move(root)) {}

    const std::string& root() const { return root_; }
    std::string path(const std::string& relative) const { return root_ + "/" + relative; }
    // Opaque pictures are stored as RGB, pictures with alpha as RGBA, Grayscale8 as one component.
    void png(const std::string& relative, const QImage& image);
    void jpeg(const std::string& relative, const QImage& image, int quality = 92);
    void text(const std::string& relative, const std::string& content);
    // 16-bit PCM mono.
    void wav(const std::string& relative, const std::vector<float>& samples, int rate);
    // For files another writer (the engine) puts there: creates the folder, records the file and
    // returns its full path.
    std::string claim(const std::string& relative)
    {
        prepare(relative);
        return path(relative);
    }
    // Marks the run as failed because relative could not be written.
    void fail(const std::string& relative);
    const std::vector<std::string>& files() const { return files_; }
    bool ok() const { return ok_; }

private:
    void prepare(const std::string& relative);
    void writeBytes(const std::string& relative, const std::string& bytes);

    std::string root_;
    std::vector<std::string> files_;
    bool ok_ = true;
};

// xorshift64* seeded through splitmix64: small, fast and the same on every platform (the standard
// library's distributions are not).
class Random {
public:
    explicit Random(std::uint64_t seed);
    std::uint32_t next();
    // [0, 1)
    float uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
    float range(float low, float high) { return low + (high - low) * uniform(); }
    // [low, high]
    int integer(int low, int high) { return low + static_cast<int>(next() % static_cast<std::uint32_t>(high - low + 1)); }

private:
    std::uint64_t state_;
};

std::uint32_t hash(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed);
// [0, 1) from a lattice point.
inline float hashFloat(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed)
{
    return static_cast<float>(hash(x, y, z, seed) >> 8) * (1.0f / 16777216.0f);
}

// Gradient noise on a lattice that repeats every periodX x periodY cells: about -1..1.
float perlin2(float x, float y, int periodX, int periodY, std::uint32_t seed);
// Octaves of perlin2 over tile coordinates u, v in [0, 1): the result repeats with period 1 in
// both, so a picture sampled at (x / width, y / height) tiles without a seam. About -1..1.
float fbm2(float u, float v, int basePeriod, int octaves, std::uint32_t seed, float gain = 0.5f);
// Unbounded 3D gradient noise and its octaves (the sky, the explosion).
float perlin3(float x, float y, float z, std::uint32_t seed);
float fbm3(float x, float y, float z, int octaves, std::uint32_t seed, float gain = 0.5f);

// Cellular noise over tile coordinates with period x period jittered feature points, repeating
// with period 1. f1, f2: distances to the nearest two points in cell units; id names the nearest.
struct Cell {
    float f1 = 0.0f;
    float f2 = 0.0f;
    std::uint32_t id = 0;
    float dx = 0.0f, dy = 0.0f; // from the nearest point to the sample, cell units
};
Cell worley2(float u, float v, int period, std::uint32_t seed);

inline float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
inline float mix(float a, float b, float t) { return a + (b - a) * t; }
inline float smoothstep(float edge0, float edge1, float x)
{
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

struct Colour {
    float r = 0.0f, g = 0.0f, b = 0.0f;
    Colour operator+(const Colour& o) const { return {r + o.r, g + o.g, b + o.b}; }
    Colour operator-(const Colour& o) const { return {r - o.r, g - o.g, b - o.b}; }
    Colour operator*(float s) const { return {r * s, g * s, b * s}; }
    Colour operator*(const Colour& o) const { return {r * o.r, g * o.g, b * o.b}; }
};
inline Colour mix(const Colour& a, const Colour& b, float t) { return a + (b - a) * t; }
// From a hex literal such as 0x4fa83d.
inline Colour rgb(std::uint32_t hex)
{
    return {static_cast<float>((hex >> 16) & 255) / 255.0f, static_cast<float>((hex >> 8) & 255) / 255.0f,
            static_cast<float>(hex & 255) / 255.0f};
}
inline std::uint8_t toByte(float v) { return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255.0f)); }

// Stores a colour (and alpha) into an RGBA8888 / RGB888 picture.
void putRGBA(QImage& image, int x, int y, const Colour& c, float alpha);
void putRGB(QImage& image, int x, int y, const Colour& c);

// A DejaVu face loaded by file path; the generator stops when the font package is missing.
QString fontFamily(const char* fileName);

} // namespace cg
