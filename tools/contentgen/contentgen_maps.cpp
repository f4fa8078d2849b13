// The editor's import maps: one height pixel per terrain vertex (640 x 640, height = red * 127.5)
// and one ground pixel per ground cell (160 x 160, red 0 grass, 128 concrete, 192 grass with a
// street, 255 concrete with a street). Both show the default world's land (contentgen_land.h), so
// importing them into every block gives its terrain again, in half-unit height steps.

#include "contentgen.h"
#include "contentgen_land.h"

#include <algorithm>

namespace cg {

namespace {
constexpr int kVertices = 640; // height pixels per side, 4 world units each
constexpr std::uint8_t kGrass = 0, kConcrete = 128, kGrassStreet = 192, kConcreteStreet = 255;
} // namespace

void makeImportMaps(Output& out)
{
    QImage heights(kVertices, kVertices, QImage::Format_Grayscale8);
    for (int z = 0; z < kVertices; ++z)
        for (int x = 0; x < kVertices; ++x) {
            // A one-step dither keeps gentle slopes from turning into half-unit terraces.
            const float red = land::height(4.0f * static_cast<float>(x), 4.0f * static_cast<float>(z)) / 127.5f * 255.0f +
                              (hashFloat(x, z, 0, 505) - 0.5f);
            heights.scanLine(z)[x] = static_cast<uchar>(std::lround(std::max(0.0f, std::min(255.0f, red))));
        }
    out.png("textures/heightmaps/heightmap.png", heights);

    const land::Ground& cells = land::ground();
    QImage ground(land::kCells, land::kCells, QImage::Format_Grayscale8);
    for (int z = 0; z < land::kCells; ++z)
        for (int x = 0; x < land::kCells; ++x)
            ground.scanLine(z)[x] = cells.street(x, z) ? (cells.concrete(x, z) ? kConcreteStreet : kGrassStreet)
                                                       : (cells.concrete(x, z) ? kConcrete : kGrass);
    out.png("textures/heightmaps/groundmap.png", ground);
}

} // namespace cg
