#include "entity_world_fixture.h"

#include "editor/app_edit_mapexport.h"
#include "environment/app_envr_block.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

// The exported pictures read back through the block imports, which is what they are for.
class MapExportTest : public EntityWorldFixture {
protected:
    void importEverywhere(void (APPENVRBlock::*import)())
    {
        for (int ax = 0; ax < 4; ++ax)
            for (int az = 0; az < 4; ++az)
                for (int bx = 0; bx < 4; ++bx)
                    for (int bz = 0; bz < 4; ++bz)
                        (environment().getBlock(ax, az, bx, bz)->*import)();
    }
    QImage picture(const char* name) const
    {
        return QImage(QString::fromStdString((programFolder() / "textures/heightmaps" / name).string()));
    }

    QROwned<APPEDITMapExport> exporter_ = qrNew<APPEDITMapExport>(nullptr);
    std::mt19937 random_{20240607};
};

TEST_F(MapExportTest, TheGroundMapReadsBackEveryCell)
{
    // Grass, concrete and streets on both, at random, so every street shape occurs.
    constexpr std::uint32_t kKinds[] = {0, 1, 256, 257};
    for (int x = 0; x < 160; ++x) {
        for (int z = 0; z < 160; ++z) {
            const std::uint32_t kind = kKinds[random_() % 4];
            environment().setGroundCell(x, z, kind & 0xFF);
            if (kind > 255)
                environment().setStreet(x, z);
        }
    }
    environment().updateStreets();
    std::vector<std::uint32_t> expected;
    for (int x = 0; x < 160; ++x)
        for (int z = 0; z < 160; ++z)
            expected.push_back(environment().getGroundCell(x, z));
    ASSERT_NE(std::count(expected.begin(), expected.end(), 3u << 8), 0) << "no crossing in the test pattern";

    ASSERT_TRUE(exporter_->exportGroundmap(environment()));
    const QImage written = picture("groundmap.png");
    EXPECT_EQ(written.size(), QSize(160, 160));
    EXPECT_EQ(written.format(), QImage::Format_Grayscale8);
    for (int x = 0; x < 160; ++x)
        for (int z = 0; z < 160; ++z)
            environment().setGroundCell(x, z, 0);
    importEverywhere(&APPENVRBlock::importGroundmap);

    int differences = 0;
    for (int x = 0; x < 160; ++x)
        for (int z = 0; z < 160; ++z)
            differences += environment().getGroundCell(x, z) != expected[static_cast<std::size_t>(x * 160 + z)];
    EXPECT_EQ(differences, 0);
}

TEST_F(MapExportTest, HeightsReadBackWithinHalfAUnitAndTheNoteGivesTheRealRange)
{
    EXPECT_EQ(APPEDITMapExport::heightValue(-3.0f), 0);
    EXPECT_EQ(APPEDITMapExport::heightValue(63.75f), 32768);
    EXPECT_EQ(APPEDITMapExport::heightValue(127.5f), 65535);
    EXPECT_EQ(APPEDITMapExport::heightValue(300.0f), 65535);

    // Beyond 0..127.5 at both ends: the picture clamps, the note tells the real range.
    std::uniform_real_distribution<float> heights(-10.0f, 140.0f);
    for (int x = 0; x < 640; ++x)
        for (int z = 0; z < 640; ++z)
            environment().setHeight(x, z, heights(random_));
    environment().setHeight(17, 600, -12.25f);
    environment().setHeight(600, 17, 141.5f);
    std::vector<float> expected;
    for (int x = 0; x < 640; ++x)
        for (int z = 0; z < 640; ++z)
            expected.push_back(std::clamp(environment().getVertex(x, z).height, 0.0f, 127.5f));

    ASSERT_TRUE(exporter_->exportHeightmap(environment()));
    const QImage written = picture("heightmap.png");
    EXPECT_EQ(written.size(), QSize(640, 640));
    EXPECT_EQ(written.format(), QImage::Format_Grayscale16);
    const std::string note = programFolder().read("textures/heightmaps/heightmap.txt");
    EXPECT_NE(note.find("Lowest height: -12.25\r\n"), std::string::npos) << note;
    EXPECT_NE(note.find("Highest height: 141.5\r\n"), std::string::npos) << note;
    environment().resetTerrain();
    importEverywhere(&APPENVRBlock::importHeightmap);

    float worst = 0.0f;
    for (int x = 0; x < 640; ++x)
        for (int z = 0; z < 640; ++z)
            worst = std::max(worst, std::abs(environment().getVertex(x, z).height - expected[static_cast<std::size_t>(x * 640 + z)]));
    EXPECT_LE(worst, 0.5f);
}
