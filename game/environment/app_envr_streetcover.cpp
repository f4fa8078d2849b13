#include "environment/app_envr_streetcover.h"

#include "environment/app_envr_blockmesh.h"
#include "environment/app_envr_main.h"
#include "resource/qr_resc_image.h"

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
    readAtlas(path);
}

void APPENVRStreetCover::updateFromFile()
{
    readAtlas(getFileName());
    if (changed_)
        changed_();
}

std::uint16_t APPENVRStreetCover::getCoveredQuads(int code) const
{
    return code > 0 && code < static_cast<int>(covered_.size()) ? covered_[static_cast<std::size_t>(code)] : 0;
}

void APPENVRStreetCover::readAtlas(const std::string& path)
{
    covered_.fill(0);
    auto image = qrNew<QRRESCImage2>(this, path);
    // Rows in OpenGL's order, so that row t is what the shader samples at t.
    image->setFlipForGL(true);
    image->loadFromFile(path);
    if (!image->isValid() || image->getWidth() <= 0 || image->getHeight() <= 0)
        return;
    const int width = image->getWidth();
    const int height = image->getHeight();
    const int channels = image->getChannelCount();
    const std::vector<std::uint8_t>& bytes = image->getByteData();
    if (channels < 1 || bytes.size() < static_cast<std::size_t>(width) * height * channels)
        return;
    // Pictures without alpha are opaque everywhere.
    const int alphaChannel = channels == 2 || channels == 4 ? channels - 1 : -1;
    auto opaque = [&](int x, int y) {
        return alphaChannel < 0 ||
               bytes[(static_cast<std::size_t>(y) * width + x) * channels + static_cast<std::size_t>(alphaChannel)] == 255;
    };
    // Beyond the atlas's edge the filter reads the texel across the repeat or the edge texel,
    // depending on the wrap mode: both must be opaque.
    auto opaqueAround = [&](int s, int t) {
        const int wrappedS = ((s % width) + width) % width;
        const int wrappedT = ((t % height) + height) % height;
        const int clampedS = std::clamp(s, 0, width - 1);
        const int clampedT = std::clamp(t, 0, height - 1);
        return opaque(wrappedS, wrappedT) && opaque(clampedS, clampedT);
    };
    auto marginFor = [](int size) {
        return std::max(kLeastMarginTexels, static_cast<int>(std::ceil(size / kTilesPerSide * kMarginShare)));
    };
    const int marginS = marginFor(width);
    const int marginT = marginFor(height);
    for (int code = 1; code < static_cast<int>(covered_.size()); ++code) {
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
                bool covered = true;
                for (int s = s0; s <= s1 && covered; ++s)
                    for (int t = t0; t <= t1 && covered; ++t)
                        covered = opaqueAround(s, t);
                if (covered)
                    quads |= static_cast<std::uint16_t>(1u << (i * kQuadsPerSide + j));
            }
        }
        covered_[static_cast<std::size_t>(code)] = quads;
    }
}
