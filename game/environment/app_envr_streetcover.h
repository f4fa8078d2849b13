#pragma once
// Where a street tile covers the ground under it completely, read on the CPU from the same street
// atlas the terrain shader reads: for each street shape, the quads of a ground cell over which the
// tile is opaque, with room around them for the texture filter near the eye. Those quads are drawn
// with a program that reads the tile alone (terrain_streettile.shader) instead of the ground
// layers and the modulation map under it: on a software renderer every texture read costs, and
// roads cover much of a town. The atlas is decoded and measured on a thread of its own while the
// world goes on loading, and waited for at the first question. Reloaded with the atlas's file,
// after which every block sorts its cells again. Owned by the environment.

#include "core/qr_core_managedobject.h"

#include <array>
#include <cstdint>
#include <functional>
#include <future>

struct QRRESCDecodedImage;

class APPENVRStreetCover : public QRManagedObject {
public:
    // Share of a tile's side left around a quad for the reach of the filter at the mipmap levels
    // the ground near the eye reads (16 texels of a 256-texel tile), and the least in texels.
    static constexpr double kMarginShare = 1.0 / 16.0;
    static constexpr int kLeastMarginTexels = 2;

    explicit APPENVRStreetCover(QRObject* owner);

    void loadFromFile(const std::string& path) override;
    void updateFromFile() override;
    // Told after a reload changed what the tiles cover.
    void setChangeObserver(std::function<void()> observer) { changed_ = std::move(observer); }

    // The quads of a ground cell with street shape code (1..15) that show its tile alone: bit
    // 4 i + j for the quad i steps along +X and j along +Z (0..3 each, one height step a side).
    // None for other codes, and none when the atlas could not be read.
    std::uint16_t getCoveredQuads(int code) const;

private:
    using Quads = std::array<std::uint16_t, 16>;
    static Quads measure(const QRRESCDecodedImage& atlas);
    // The measurement started last, if it is still to be taken.
    void settle() const;

    mutable Quads covered_{};
    mutable std::future<Quads> measuring_;
    std::function<void()> changed_;
};
