// Which quads of a street cell its tile covers completely, read from the street atlas: only where
// the tile is opaque as far as the texture filter reaches around the quad, across tile borders and
// the atlas's repeat, and in the orientation the shader samples the tile.

#include "engine_fixture.h"

#include "environment/app_envr_streetcover.h"

#include <QImage>

#include <filesystem>

namespace {
constexpr const char* kAtlas = "textures\\terrain\\streets.png";

std::uint16_t quads(std::initializer_list<std::pair<int, int>> covered)
{
    std::uint16_t mask = 0;
    for (auto [i, j] : covered)
        mask |= static_cast<std::uint16_t>(1u << (i * 4 + j));
    return mask;
}

std::uint16_t allBut(std::initializer_list<std::pair<int, int>> open)
{
    return static_cast<std::uint16_t>(0xFFFFu & ~quads(open));
}

// A 64 x 64 atlas of 16-texel tiles (a filter margin of 2 texels), opaque but for: the 4 leftmost
// columns of the tile of code 1, the top right 4 x 4 corner of code 6, the whole tiles beside and
// above code 13 (codes 12, 14 and 9), and part of a column at the atlas's right edge, across the
// repeat from code 4.
void saveAtlas(const std::filesystem::path& path)
{
    std::filesystem::create_directories(path.parent_path());
    QImage atlas(64, 64, QImage::Format_RGBA8888);
    atlas.fill(QColor(50, 50, 50, 255));
    auto clear = [&](int x0, int y0, int x1, int y1) {
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y)
                atlas.setPixelColor(x, y, QColor(50, 50, 50, 0));
    };
    clear(16, 0, 19, 15);
    clear(44, 16, 47, 19);
    clear(0, 48, 15, 63);
    clear(32, 48, 47, 63);
    clear(16, 32, 31, 47);
    clear(62, 16, 62, 27);
    ASSERT_TRUE(atlas.save(QString::fromStdString(path.string()), "PNG"));
}
} // namespace

class StreetCover : public EngineFixture {};

TEST_F(StreetCover, TilesCoverTheQuadsTheyAreOpaqueOverWithTheFiltersReach)
{
    saveAtlas(programFolder().path() / "textures" / "terrain" / "streets.png");
    auto cover = qrNew<APPENVRStreetCover>(nullptr);
    cover->loadFromFile(kAtlas);
    struct Case {
        const char* what;
        int code;
        std::uint16_t covered;
    };
    // Filters reach diagonally too: corner quads see the corners of the tiles beside them.
    const Case cases[] = {
        {"opaque tile: all but the corners reaching transparent tiles below, one across the repeat", 11,
         allBut({{0, 0}, {3, 0}})},
        {"left columns transparent: only the quads two away from them", 1,
         quads({{2, 0}, {2, 1}, {2, 2}, {2, 3}, {3, 0}, {3, 1}, {3, 2}})},
        {"top right of the picture is +X and +Z", 6, allBut({{0, 0}, {2, 2}, {2, 3}, {3, 2}, {3, 3}})},
        {"transparent tiles beside and above; below, across the repeat, code 1's columns", 13,
         quads({{1, 1}, {1, 2}, {2, 0}, {2, 1}, {2, 2}})},
        {"a transparent column across the repeat", 4,
         quads({{1, 0}, {1, 1}, {1, 2}, {1, 3}, {2, 0}, {2, 1}, {2, 2}, {2, 3}, {3, 1}, {3, 2}})},
        {"no street", 0, 0},
        {"a code beyond the atlas", 16, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(cover->getCoveredQuads(c.code), c.covered);
    }
}

TEST_F(StreetCover, AtlasWithoutAlphaCoversAllAndAMissingOneNothing)
{
    const auto path = programFolder().path() / "textures" / "terrain" / "streets.png";
    std::filesystem::create_directories(path.parent_path());
    QImage plain(32, 32, QImage::Format_RGB888);
    plain.fill(Qt::darkGray);
    ASSERT_TRUE(plain.save(QString::fromStdString(path.string()), "PNG"));
    auto cover = qrNew<APPENVRStreetCover>(nullptr);
    cover->loadFromFile(kAtlas);
    EXPECT_EQ(cover->getCoveredQuads(7), 0xFFFF);
    std::filesystem::remove(path);
    cover->loadFromFile(kAtlas);
    EXPECT_EQ(cover->getCoveredQuads(7), 0);
}
