#include "environment/app_envr_layerreach.h"

#include "environment/app_envr_fixedterrain.h"
#include "environment/app_envr_main.h"
#include "resource/qr_resc_image.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kRepeatCells = APPENVRMain::kCellsPerArea;
// Texels read around a cell beyond those its bilinear samples touch: the smaller mipmap levels
// a steep view angle asks for average over wider squares of the map.
constexpr int kMarginTexels = 4;
// Rounding between the map's bytes, the texture filter and the shader's arithmetic.
constexpr float kSlack = 0.005f;
} // namespace

APPENVRLayerReach::APPENVRLayerReach(QRObject* owner) : QRManagedObject(owner, "Terrain Layer Reach") {}

void APPENVRLayerReach::loadFromFile(const std::string& path)
{
    setFileName(path);
    readMap(path);
}

void APPENVRLayerReach::updateFromFile()
{
    readMap(getFileName());
    if (changed_)
        changed_();
}

void APPENVRLayerReach::readMap(const std::string& path)
{
    greenest_.clear();
    bluest_.clear();
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
    if (channels < 3 || bytes.size() < static_cast<std::size_t>(width) * height * channels)
        return;
    // A cell spans 1/40 of the map each way; the bilinear filter reaches half a texel beyond the
    // samples' texel centres, and the repeat wraps around the map's edges.
    auto texelSpan = [](int cell, int size) {
        const double first = static_cast<double>(cell) / kRepeatCells * size - 0.5;
        const double last = static_cast<double>(cell + 1) / kRepeatCells * size - 0.5;
        return std::pair{static_cast<int>(std::floor(first)) - kMarginTexels,
                         static_cast<int>(std::floor(last)) + 1 + kMarginTexels};
    };
    greenest_.assign(kRepeatCells * kRepeatCells, 0);
    bluest_.assign(kRepeatCells * kRepeatCells, 0);
    for (int cx = 0; cx < kRepeatCells; ++cx) {
        const auto [s0, s1] = texelSpan(cx, width);
        for (int cz = 0; cz < kRepeatCells; ++cz) {
            const auto [t0, t1] = texelSpan(cz, height);
            std::uint8_t green = 0;
            std::uint8_t blue = 0;
            for (int s = s0; s <= s1; ++s) {
                for (int t = t0; t <= t1; ++t) {
                    const int x = ((s % width) + width) % width;
                    const int y = ((t % height) + height) % height;
                    const std::uint8_t* pixel = &bytes[(static_cast<std::size_t>(y) * width + x) * channels];
                    green = std::max(green, pixel[1]);
                    blue = std::max(blue, pixel[2]);
                }
            }
            greenest_[static_cast<std::size_t>(cx * kRepeatCells + cz)] = green;
            bluest_[static_cast<std::size_t>(cx * kRepeatCells + cz)] = blue;
        }
    }
}

unsigned APPENVRLayerReach::layersOfCell(int cx, int cz, float steepest) const
{
    if (!isLoaded())
        return kEarth | kRock;
    const auto at = static_cast<std::size_t>((((cx % kRepeatCells) + kRepeatCells) % kRepeatCells) * kRepeatCells +
                                             (((cz % kRepeatCells) + kRepeatCells) % kRepeatCells));
    const float green = greenest_[at] / 255.0f;
    const float blue = bluest_[at] / 255.0f;
    // The shader's weights as the fixed-function terrain computes them on the processor, taken
    // a little generously.
    unsigned layers = 0;
    if (APPENVRFixedTerrain::layerWeight(APPENVRFixedTerrain::Layer::Earth, green + kSlack) > 0.0f)
        layers |= kEarth;
    const float steepness = steepest + kRockBlueShare * (blue - 0.5f) + kSlack;
    if (APPENVRFixedTerrain::rockWeight(1.0f - steepness) > 0.0f)
        layers |= kRock;
    return layers;
}
