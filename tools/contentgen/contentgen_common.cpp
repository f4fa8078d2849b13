#include "contentgen_common.h"

#include <QFontDatabase>
#include <QImageWriter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace cg {

namespace {
constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu/";

float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

int wrap(int value, int period) { return ((value % period) + period) % period; }

float gradient2(int ix, int iy, std::uint32_t seed, float dx, float dy)
{
    const float angle = hashFloat(ix, iy, 0, seed) * 6.2831853f;
    return std::cos(angle) * dx + std::sin(angle) * dy;
}

// Twelve edge directions of a cube, as in improved gradient noise.
float gradient3(int ix, int iy, int iz, std::uint32_t seed, float dx, float dy, float dz)
{
    switch (hash(ix, iy, iz, seed) % 12) {
    case 0: return dx + dy;
    case 1: return -dx + dy;
    case 2: return dx - dy;
    case 3: return -dx - dy;
    case 4: return dx + dz;
    case 5: return -dx + dz;
    case 6: return dx - dz;
    case 7: return -dx - dz;
    case 8: return dy + dz;
    case 9: return -dy + dz;
    case 10: return dy - dz;
    default: return -dy - dz;
    }
}

void putLE(std::string& bytes, std::uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 255));
}
} // namespace

void Output::prepare(const std::string& relative)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path(relative)).parent_path(), error);
    files_.push_back(relative);
}

void Output::fail(const std::string& relative)
{
    std::fprintf(stderr, "contentgen: cannot write %s\n", path(relative).c_str());
    ok_ = false;
}

void Output::png(const std::string& relative, const QImage& image)
{
    prepare(relative);
    QImage stored = image;
    if (image.format() != QImage::Format_Grayscale8)
        stored = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    QImageWriter writer(QString::fromStdString(path(relative)), "png");
    if (!writer.write(stored))
        fail(relative);
}

void Output::jpeg(const std::string& relative, const QImage& image, int quality)
{
    prepare(relative);
    QImageWriter writer(QString::fromStdString(path(relative)), "jpeg");
    writer.setQuality(quality);
    writer.setOptimizedWrite(false);
    writer.setProgressiveScanWrite(false);
    if (!writer.write(image.convertToFormat(QImage::Format_RGB888)))
        fail(relative);
}

void Output::text(const std::string& relative, const std::string& content)
{
    prepare(relative);
    writeBytes(relative, content);
}

void Output::writeBytes(const std::string& relative, const std::string& bytes)
{
    std::ofstream out(path(relative), std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        fail(relative);
}

void Output::wav(const std::string& relative, const std::vector<float>& samples, int rate)
{
    prepare(relative);
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string bytes = "RIFF";
    putLE(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    putLE(bytes, 16, 4);
    putLE(bytes, 1, 2);                                  // PCM
    putLE(bytes, 1, 2);                                  // mono
    putLE(bytes, static_cast<std::uint32_t>(rate), 4);
    putLE(bytes, static_cast<std::uint32_t>(rate * 2), 4); // bytes per second
    putLE(bytes, 2, 2);                                  // bytes per frame
    putLE(bytes, 16, 2);
    bytes += "data";
    putLE(bytes, dataBytes, 4);
    for (float sample : samples) {
        const long value = std::lround(std::max(-1.0f, std::min(1.0f, sample)) * 32767.0f);
        putLE(bytes, static_cast<std::uint32_t>(static_cast<std::int16_t>(value)) & 0xFFFF, 2);
    }
    writeBytes(relative, bytes);
}

Random::Random(std::uint64_t seed)
{
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    state_ = (z ^ (z >> 31)) | 1u;
}

std::uint32_t Random::next()
{
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<std::uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
}

std::uint32_t hash(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h = (h << 17) | (h >> 15);
    h ^= static_cast<std::uint32_t>(z) * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float perlin2(float x, float y, int periodX, int periodY, std::uint32_t seed)
{
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(x0);
    const float fy = y - static_cast<float>(y0);
    const int ax = wrap(x0, periodX), bx = wrap(x0 + 1, periodX);
    const int ay = wrap(y0, periodY), by = wrap(y0 + 1, periodY);
    const float n00 = gradient2(ax, ay, seed, fx, fy);
    const float n10 = gradient2(bx, ay, seed, fx - 1.0f, fy);
    const float n01 = gradient2(ax, by, seed, fx, fy - 1.0f);
    const float n11 = gradient2(bx, by, seed, fx - 1.0f, fy - 1.0f);
    const float u = fade(fx), v = fade(fy);
    return mix(mix(n00, n10, u), mix(n01, n11, u), v);
}

float fbm2(float u, float v, int basePeriod, int octaves, std::uint32_t seed, float gain)
{
    float sum = 0.0f, amplitude = 1.0f, norm = 0.0f;
    int period = basePeriod;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude * perlin2(u * static_cast<float>(period), v * static_cast<float>(period), period, period,
                                   seed + 1013u * static_cast<std::uint32_t>(octave));
        norm += amplitude;
        amplitude *= gain;
        period *= 2;
    }
    return sum / norm * 1.5f;
}

float perlin3(float x, float y, float z, std::uint32_t seed)
{
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const int z0 = static_cast<int>(std::floor(z));
    const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0), fz = z - static_cast<float>(z0);
    const float u = fade(fx), v = fade(fy), w = fade(fz);
    float corners[2][2][2];
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            for (int k = 0; k < 2; ++k)
                corners[i][j][k] = gradient3(x0 + i, y0 + j, z0 + k, seed, fx - static_cast<float>(i),
                                             fy - static_cast<float>(j), fz - static_cast<float>(k));
    const float x00 = mix(corners[0][0][0], corners[1][0][0], u);
    const float x10 = mix(corners[0][1][0], corners[1][1][0], u);
    const float x01 = mix(corners[0][0][1], corners[1][0][1], u);
    const float x11 = mix(corners[0][1][1], corners[1][1][1], u);
    return mix(mix(x00, x10, v), mix(x01, x11, v), w);
}

float fbm3(float x, float y, float z, int octaves, std::uint32_t seed, float gain)
{
    float sum = 0.0f, amplitude = 1.0f, norm = 0.0f, frequency = 1.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude * perlin3(x * frequency, y * frequency, z * frequency, seed + 7919u * static_cast<std::uint32_t>(octave));
        norm += amplitude;
        amplitude *= gain;
        frequency *= 2.0f;
    }
    return sum / norm * 1.4f;
}

Cell worley2(float u, float v, int period, std::uint32_t seed)
{
    const float x = u * static_cast<float>(period), y = v * static_cast<float>(period);
    const int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
    Cell cell;
    cell.f1 = cell.f2 = 1e9f;
    for (int j = -2; j <= 2; ++j)
        for (int i = -2; i <= 2; ++i) {
            const int wx = wrap(cx + i, period), wy = wrap(cy + j, period);
            const float px = static_cast<float>(cx + i) + 0.1f + 0.8f * hashFloat(wx, wy, 1, seed);
            const float py = static_cast<float>(cy + j) + 0.1f + 0.8f * hashFloat(wx, wy, 2, seed);
            const float dx = x - px, dy = y - py;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d < cell.f1) {
                cell.f2 = cell.f1;
                cell.f1 = d;
                cell.id = hash(wx, wy, 3, seed);
                cell.dx = dx;
                cell.dy = dy;
            } else if (d < cell.f2) {
                cell.f2 = d;
            }
        }
    return cell;
}

void putRGBA(QImage& image, int x, int y, const Colour& c, float alpha)
{
    uchar* p = image.scanLine(y) + x * 4;
    p[0] = toByte(c.r);
    p[1] = toByte(c.g);
    p[2] = toByte(c.b);
    p[3] = toByte(alpha);
}

void putRGB(QImage& image, int x, int y, const Colour& c)
{
    uchar* p = image.scanLine(y) + x * 3;
    p[0] = toByte(c.r);
    p[1] = toByte(c.g);
    p[2] = toByte(c.b);
}

QString fontFamily(const char* fileName)
{
    const QString path = QString(kFontFolder) + fileName;
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    if (families.isEmpty()) {
        std::fprintf(stderr, "contentgen: cannot load the font %s (package fonts-dejavu-core)\n", qPrintable(path));
        std::exit(1);
    }
    return families.first();
}

} // namespace cg
