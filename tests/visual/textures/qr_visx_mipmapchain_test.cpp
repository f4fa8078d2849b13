#include "visual/textures/qr_visx_mipmapchain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// "WxH:" and the bytes of each level below the base; "=v" for a level whose bytes are all v.
std::string describe(const QRVISXMipmapChain& chain, int components)
{
    std::string text;
    for (int i = 0; i < chain.getLevelCount(); ++i) {
        const auto level = chain.getLevel(i);
        const std::vector<int> bytes(level.texels, level.texels + level.width * level.height * components);
        text += (i ? " " : "") + std::to_string(level.width) + "x" + std::to_string(level.height) + ":";
        const bool uniform =
            bytes.size() > 1 && std::all_of(bytes.begin(), bytes.end(), [&](int byte) { return byte == bytes[0]; });
        if (uniform)
            text += "=" + std::to_string(bytes[0]);
        else
            for (std::size_t b = 0; b < bytes.size(); ++b)
                text += (b ? "," : "") + std::to_string(bytes[b]);
    }
    return text;
}

} // namespace

TEST(MipmapChain, LevelsHalveDownToOneTexelEachTheRoundedMeanOfTheTexelsAboveIt)
{
    struct Case {
        int width, height, components;
        std::vector<std::uint8_t> base; // empty: every byte 77
        const char* levels;
    };
    const Case cases[] = {
        {1, 1, 4, {}, ""},
        {0, 8, 1, {}, ""},
        {8, 0, 3, {}, ""},
        {2, 2, 1, {0, 255, 255, 0}, "1x1:128"},
        {2, 1, 4, {255, 0, 10, 200, 0, 255, 20, 100}, "1x1:128,128,15,150"},
        {4, 2, 3, {}, "2x1:=77 1x1:=77"},
        {4, 2, 1, {0, 0, 100, 100, 0, 0, 200, 200}, "2x1:0,150 1x1:75"},
        {5, 3, 4, {}, "2x1:=77 1x1:=77"},
        // An odd last column or row is folded into its neighbour; both at once make a 3x3 block.
        {5, 1, 1, {10, 20, 30, 40, 60}, "2x1:15,43 1x1:29"},
        {1, 3, 3, {0, 0, 0, 30, 30, 30, 90, 90, 90}, "1x1:=40"},
        {3, 3, 1, {0, 9, 18, 27, 36, 45, 54, 63, 72}, "1x1:36"},
        {1, 6, 1, {}, "1x3:=77 1x1:77"},
        {512, 512, 3, {}, "256x256:=77 128x128:=77 64x64:=77 32x32:=77 16x16:=77 8x8:=77 4x4:=77 2x2:=77 1x1:=77"},
        {300, 200, 4, {}, "150x100:=77 75x50:=77 37x25:=77 18x12:=77 9x6:=77 4x3:=77 2x1:=77 1x1:=77"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "x" + std::to_string(c.components));
        auto base = c.base;
        if (base.empty())
            base.assign(static_cast<std::size_t>(std::max(0, c.width * c.height * c.components)), 77);
        EXPECT_EQ(describe(QRVISXMipmapChain(base.data(), c.width, c.height, c.components), c.components), c.levels);
    }
}
