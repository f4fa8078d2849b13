#pragma once
// The smaller levels of an 8-bit texture, built on the processor: letting the driver generate
// them costs a shader compile per pixel format on software renderers, far longer than the box
// filter itself. Each level halves the one above (never below 1 texel per axis) and each of its
// texels is the rounded mean of every texel above that falls on it, so an odd last row or column
// is folded into its neighbour. Level 0 stays the caller's; the chain holds levels 1 and below in
// one block of exactly their size.

#include <cstddef>
#include <cstdint>
#include <vector>

class QRVISXMipmapChain {
public:
    struct Level {
        int width;
        int height;
        const std::uint8_t* texels;
    };

    // base: width x height texels of components (1, 3 or 4) bytes, rows tightly packed; read
    // while building only. An empty base has no smaller levels.
    QRVISXMipmapChain(const std::uint8_t* base, int width, int height, int components);
    // The levels point into the chain's own block.
    QRVISXMipmapChain(const QRVISXMipmapChain&) = delete;
    QRVISXMipmapChain& operator=(const QRVISXMipmapChain&) = delete;

    // Levels 1 .. 1x1; none for a 1x1 base.
    int getLevelCount() const { return static_cast<int>(levels_.size()); }
    // Level index + 1 of the texture.
    Level getLevel(int index) const { return levels_[static_cast<std::size_t>(index)]; }

private:
    std::vector<std::uint8_t> texels_;
    std::vector<Level> levels_;
};
