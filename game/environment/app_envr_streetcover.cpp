#include "environment/app_envr_streetcover.h"

#include "environment/app_envr_blockmesh.h"
#include "environment/app_envr_main.h"
#include "file/qr_file_file.h"
#include "resource/qr_resc_image.h"
#include "resource/qr_resc_imagedecode.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int kTilesPerSide = 4;
constexpr int kQuadsPerSide = APPENVRMain::kVerticesPerCell;

// The texels [first, last] a filter reads for the atlas coordinates [from, to] of a size-texel
// side: the bilinear neighbours of every sample in it, and margin more on both sides.
std::pair<int, int> texelSpan(double from, double to, int size, int margin)
{
    return {static_cast<int>(std::floor(from * size - 0.5)) - margin,
            static_cast<int>(std::floor(to * size - 0.5)) + 1 + margin};
}
} // namespace

APPENVRStreetCover::APPENVRStreetCover(QRObject* owner) : QRManagedObject(owner, "Terrain Street Cover") {}

void APPENVRStreetCover::loadFromFile(const std::string& path)
{
    setFileName(path);
    settle();
    covered_.fill(0);
    // The texture made from the same file reports whatever is wrong with it; without a readable
    // atlas no quad is covered.
    auto bytes = QRFILEFile::readWhole(this, path, false);
    if (!bytes)
        return;
    measuring_ = std::async(std::launch::async, [bytes = std::move(*bytes)] {
        // Rows in OpenGL's order, so that row t is what the shader samples at t.
        return measure(qrrescDecodeImage(bytes, true));
    });
}

void APPENVRStreetCover::updateFromFile()
{
    loadFromFile(getFileName());
    settle();
    if (changed_)
        changed_();
}

std::uint16_t APPENVRStreetCover::getCoveredQuads(int code) const
{
    settle();
    return code > 0 && code < static_cast<int>(covered_.size()) ? covered_[static_cast<std::size_t>(code)] : 0;
}

void APPENVRStreetCover::settle() const
{
    if (!measuring_.valid())
        return;
    try {
        covered_ = measuring_.get();
    } catch (const std::exception&) {
        covered_.fill(0);
    }
}

APPENVRStreetCover::Quads APPENVRStreetCover::measure(const QRRESCDecodedImage& atlas)
{
    Quads covered{};
    const int width = atlas.width;
    const int height = atlas.height;
    const int channels = QRRESCImage2::channelsOf(atlas.pixelFormat);
    const std::vector<std::uint8_t>& bytes = atlas.pixels;
    if (atlas.outcome != QRRESCDecodedImage::Outcome::Decoded || width <= 0 || height <= 0 ||
        bytes.size() < static_cast<std::size_t>(width) * height * channels)
        return covered;
    // Pictures without alpha are opaque everywhere.
    const int alphaChannel = channels == 4 ? 3 : -1;
    auto opaque = [&](int x, int y) {
        return alphaChannel < 0 ||
               bytes[(static_cast<std::size_t>(y) * width + x) * channels + static_cast<std::size_t>(alphaChannel)] == 255;
    };
    auto marginFor = [](int size) {
        return std::max(kLeastMarginTexels, static_cast<int>(std::ceil(size / kTilesPerSide * kMarginShare)));
    };
    const int marginS = marginFor(width);
    const int marginT = marginFor(height);
    // Texels not to be relied on, summed over every rectangle from the corner of the atlas grown
    // by what a span reaches beyond its edges: then each quad's span is four look-ups. Beyond the
    // atlas's edge the filter reads the texel across the repeat or the edge texel, depending on
    // the wrap mode: both must be opaque.
    const int pad = std::max(marginS, marginT) + 2;
    const int grownWidth = width + 2 * pad;
    const int grownHeight = height + 2 * pad;
    std::vector<std::int32_t> open(static_cast<std::size_t>(grownWidth + 1) * (grownHeight + 1), 0);
    auto sumAt = [&](int s, int t) -> std::int32_t& {
        return open[static_cast<std::size_t>(t + pad) * (grownWidth + 1) + static_cast<std::size_t>(s + pad)];
    };
    for (int t = -pad; t < height + pad; ++t) {
        for (int s = -pad; s < width + pad; ++s) {
            const bool reliable = opaque(((s % width) + width) % width, ((t % height) + height) % height) &&
                                  opaque(std::clamp(s, 0, width - 1), std::clamp(t, 0, height - 1));
            sumAt(s + 1, t + 1) = sumAt(s, t + 1) + sumAt(s + 1, t) - sumAt(s, t) + (reliable ? 0 : 1);
        }
    }
    auto allOpaque = [&](int s0, int s1, int t0, int t1) {
        return sumAt(s1 + 1, t1 + 1) - sumAt(s0, t1 + 1) - sumAt(s1 + 1, t0) + sumAt(s0, t0) == 0;
    };
    for (int code = 1; code < static_cast<int>(covered.size()); ++code) {
        // The shader's tile: column code mod 4, row code / 4 counted from the top.
        const double column = code % kTilesPerSide;
        const double row = kTilesPerSide - 1 - code / kTilesPerSide;
        std::uint16_t quads = 0;
        for (int i = 0; i < kQuadsPerSide; ++i) {
            const auto [s0, s1] = texelSpan((column + APPENVRBlockMesh::streetCoordinate(i)) / kTilesPerSide,
                                            (column + APPENVRBlockMesh::streetCoordinate(i + 1)) / kTilesPerSide,
                                            width, marginS);
            for (int j = 0; j < kQuadsPerSide; ++j) {
                const auto [t0, t1] = texelSpan((row + APPENVRBlockMesh::streetCoordinate(j)) / kTilesPerSide,
                                                (row + APPENVRBlockMesh::streetCoordinate(j + 1)) / kTilesPerSide,
                                                height, marginT);
                if (allOpaque(s0, s1, t0, t1))
                    quads |= static_cast<std::uint16_t>(1u << (i * kQuadsPerSide + j));
            }
        }
        covered[static_cast<std::size_t>(code)] = quads;
    }
    return covered;
}
