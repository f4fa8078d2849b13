#include "visual/textures/qr_visx_mipmapchain.h"

#include <algorithm>

namespace {

using Level = QRVISXMipmapChain::Level;

int halved(int size)
{
    return std::max(1, size / 2);
}

std::size_t byteCount(int width, int height, int components)
{
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(components);
}

// The source texels [first, last) along one axis that fall on destination texel index: two, one
// where the source is a single texel, three for the last texel when the source size is odd.
void sourceSpan(int index, int sourceSize, int destinationSize, int& first, int& last)
{
    first = index * 2;
    last = index == destinationSize - 1 ? sourceSize : first + 2;
}

// Writes the width x height level below source to out.
void shrink(const Level& source, int width, int height, int components, std::uint8_t* out)
{
    const std::size_t row = byteCount(source.width, 1, components);
    for (int y = 0; y < height; ++y) {
        int top = 0, bottom = 0;
        sourceSpan(y, source.height, height, top, bottom);
        for (int x = 0; x < width; ++x) {
            int left = 0, right = 0;
            sourceSpan(x, source.width, width, left, right);
            const unsigned count = static_cast<unsigned>((bottom - top) * (right - left));
            for (int c = 0; c < components; ++c) {
                unsigned sum = 0;
                for (int sy = top; sy < bottom; ++sy) {
                    const std::uint8_t* texel = source.texels + row * static_cast<std::size_t>(sy) +
                                                byteCount(left, 1, components) + static_cast<std::size_t>(c);
                    for (int sx = left; sx < right; ++sx, texel += components)
                        sum += *texel;
                }
                *out++ = static_cast<std::uint8_t>((sum + count / 2) / count);
            }
        }
    }
}

} // namespace

QRVISXMipmapChain::QRVISXMipmapChain(const std::uint8_t* base, int width, int height, int components)
{
    if (!base || width < 1 || height < 1 || components < 1)
        return;
    std::size_t total = 0;
    for (int w = width, h = height; w > 1 || h > 1;) {
        w = halved(w);
        h = halved(h);
        levels_.push_back({w, h, nullptr});
        total += byteCount(w, h, components);
    }
    texels_.resize(total);
    std::uint8_t* out = texels_.data();
    Level source{width, height, base};
    for (Level& level : levels_) {
        shrink(source, level.width, level.height, components, out);
        level.texels = out;
        out += byteCount(level.width, level.height, components);
        source = level;
    }
}
