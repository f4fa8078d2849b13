#include "environment_fixture.h"

#include "core/qr_core_log.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace {
constexpr std::size_t kEmptyAreaFileSize = 416472;
constexpr std::size_t kBlockRecordsOffset = 6400 + 409600;

template <class T>
T valueAt(const std::string& bytes, std::size_t offset)
{
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

template <class T>
void putValue(std::string& bytes, std::size_t offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

// Hills, slopes and streets everywhere, so that a round trip has something to lose.
void sculpt(APPENVRMain& environment)
{
    for (int x = 0; x < 640; ++x)
        for (int z = 0; z < 640; ++z)
            environment.setHeight(x, z, std::sin(x * 0.05f) * 20.0f + std::cos(z * 0.031f) * 7.5f + x * 0.01f);
    for (int x = 0; x < 160; ++x)
        for (int z = 0; z < 160; ++z) {
            environment.setGroundType(x, z, static_cast<std::uint8_t>((x / 3 + z / 5) % 2));
            if (x % 7 == 0 || z % 11 == 0)
                environment.setStreet(x, z);
        }
    environment.updateNormals();
    environment.updateStreets();
    environment.updateBounds();
}
} // namespace

class AreaTest : public EnvironmentFixture {
protected:
    std::filesystem::path areaPath(int ax, int az) const
    {
        return programFolder() / "world" / ("area_" + std::to_string(ax) + "_" + std::to_string(az) + ".world");
    }
    std::string areaBytes(int ax, int az) const { return readWholeFile(areaPath(ax, az)); }
    void writeAreaBytes(int ax, int az, const std::string& bytes) const
    {
        programFolder().write("world/area_" + std::to_string(ax) + "_" + std::to_string(az) + ".world", bytes);
    }
};

TEST_F(AreaTest, NamesAndRanges)
{
    const APPENVRArea* area = environment().getArea(2, 0);
    EXPECT_EQ(area->getName(), "Area");
    EXPECT_EQ(area->getFileName(), "world\\area_2_0.world");
    const APPENVRGridRange cells = environment().getArea(1, 3)->getGroundRange();
    EXPECT_EQ((std::vector<int>{cells.x0, cells.z0, cells.x1, cells.z1}), (std::vector<int>{40, 120, 80, 160}));
    const APPENVRGridRange vertices = environment().getArea(1, 3)->getVertexRange();
    EXPECT_EQ((std::vector<int>{vertices.x0, vertices.z0, vertices.x1, vertices.z1}),
              (std::vector<int>{160, 480, 320, 640}));
}

TEST_F(AreaTest, AnEmptyAreaFileHasTheFixedLayout)
{
    ASSERT_FALSE(std::filesystem::exists(programFolder() / "world"));
    ASSERT_TRUE(environment().getArea(1, 2)->save()) << "the world folder is created when missing";
    const std::string bytes = areaBytes(1, 2);
    ASSERT_EQ(bytes.size(), kEmptyAreaFileSize);
    EXPECT_EQ(bytes.substr(0, 6400), std::string(6400, '\0')) << "1600 grass cells without street";
    EXPECT_EQ(valueAt<float>(bytes, 6400), 0.0f);
    EXPECT_EQ(valueAt<Vector3>(bytes, 6404), (Vector3{0.0f, 1.0f, 0.0f}));
    // Block [3][1] of area (1, 2): vertices from (160 + 120, 320 + 40), the 14th record.
    const std::size_t record = kBlockRecordsOffset + 13 * 28;
    EXPECT_EQ(valueAt<Vector3>(bytes, record), (Vector3{1120.0f, 0.0f, 1440.0f}));
    EXPECT_EQ(valueAt<Vector3>(bytes, record + 12), (Vector3{1280.0f, 0.0f, 1600.0f}));
    EXPECT_EQ(valueAt<std::int32_t>(bytes, record + 24), 0);
    EXPECT_EQ(valueAt<Vector3>(bytes, kEmptyAreaFileSize - 24), (Vector3{640.0f, 0.0f, 1280.0f}));
    EXPECT_EQ(valueAt<Vector3>(bytes, kEmptyAreaFileSize - 12), (Vector3{1280.0f, 0.0f, 1920.0f}));
    EXPECT_FALSE(std::filesystem::exists(areaPath(1, 2).string() + ".saving"));
    const auto& lines = core().getLog()->getLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QRCORELogLine& line) {
        return line.kind == QRLogKind::Information && line.text == "Saving Area File: \"world\\area_1_2.world\"";
    }));
}

TEST_F(AreaTest, SaveThenLoadReproducesTheWorldExactly)
{
    sculpt(environment());
    environment().saveAreas();
    for (int ax = 0; ax < 4; ++ax)
        for (int az = 0; az < 4; ++az)
            ASSERT_EQ(areaBytes(ax, az).size(), kEmptyAreaFileSize);

    auto loaded = qrNew<APPENVRMain>(nullptr);
    loaded->initialize();
    loaded->loadAreas();
    for (int x = 0; x < 641; ++x)
        for (int z = 0; z < 641; ++z) {
            ASSERT_EQ(loaded->getVertex(x, z).height, environment().getVertex(x, z).height) << x << "," << z;
            ASSERT_EQ(loaded->getVertex(x, z).normal, environment().getVertex(x, z).normal) << x << "," << z;
        }
    for (int x = 0; x < 160; ++x)
        for (int z = 0; z < 160; ++z)
            ASSERT_EQ(loaded->getGroundCell(x, z), environment().getGroundCell(x, z)) << x << "," << z;
    for (int ax = 0; ax < 4; ++ax)
        for (int az = 0; az < 4; ++az) {
            EXPECT_EQ(loaded->getArea(ax, az)->getBounds().minimum, environment().getArea(ax, az)->getBounds().minimum);
            EXPECT_EQ(loaded->getArea(ax, az)->getBounds().maximum, environment().getArea(ax, az)->getBounds().maximum);
            for (int bx = 0; bx < 4; ++bx)
                for (int bz = 0; bz < 4; ++bz) {
                    const APPENVRBox& box = loaded->getBlock(ax, az, bx, bz)->getBounds();
                    const APPENVRBox& original = environment().getBlock(ax, az, bx, bz)->getBounds();
                    ASSERT_EQ(box.minimum, original.minimum);
                    ASSERT_EQ(box.maximum, original.maximum);
                    // Not stored, but it must follow the loaded box, not the flat land before it.
                    const APPENVRBox& culling = loaded->getBlock(ax, az, bx, bz)->getCullingBounds();
                    const APPENVRBox& originalCulling = environment().getBlock(ax, az, bx, bz)->getCullingBounds();
                    ASSERT_EQ(culling.minimum, originalCulling.minimum);
                    ASSERT_EQ(culling.maximum, originalCulling.maximum);
                }
        }
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(AreaTest, AMissingFileLeavesTheAreaAsItIs)
{
    environment().setHeight(3, 3, 8.0f);
    environment().loadAreas();
    EXPECT_EQ(environment().getVertex(3, 3).height, 8.0f);
    EXPECT_TRUE(shownBoxes().empty()) << "a missing area file is not an error";
}

TEST_F(AreaTest, SavingReplacesTheOldFileOnlyWhenComplete)
{
    APPENVRArea* area = environment().getArea(0, 1);
    ASSERT_TRUE(area->save());
    const std::string before = areaBytes(0, 1);

    // Nothing can be written beside the old file: the save fails and the old file stays.
    std::filesystem::create_directory(areaPath(0, 1).string() + ".saving");
    environment().setHeight(10, 170, 55.0f);
    EXPECT_FALSE(area->save());
    EXPECT_EQ(areaBytes(0, 1), before);
    EXPECT_FALSE(shownBoxes().empty());

    std::filesystem::remove(areaPath(0, 1).string() + ".saving");
    ASSERT_TRUE(area->save());
    const std::string after = areaBytes(0, 1);
    ASSERT_EQ(after.size(), kEmptyAreaFileSize);
    EXPECT_EQ(valueAt<float>(after, 6400 + (10 * 160 + 10) * 16), 55.0f);
}

TEST_F(AreaTest, LoadingRemovesWhatACutOffSaveLeftBehind)
{
    environment().setHeight(3, 3, 8.0f);
    ASSERT_TRUE(environment().getArea(0, 0)->save());
    const std::string saved = areaBytes(0, 0);
    // A save killed halfway: the old file whole, the new bytes beside it; and one beside an area
    // that had no file yet.
    writeAreaBytes(0, 0, saved);
    programFolder().write("world/area_0_0.world.saving", saved.substr(0, 5000));
    programFolder().write("world/area_2_3.world.saving", saved.substr(0, 100));
    environment().resetTerrain();

    environment().loadAreas();
    EXPECT_EQ(environment().getVertex(3, 3).height, 8.0f);
    EXPECT_FALSE(std::filesystem::exists(areaPath(0, 0).string() + ".saving"));
    EXPECT_FALSE(std::filesystem::exists(areaPath(2, 3).string() + ".saving"));
    EXPECT_FALSE(std::filesystem::exists(areaPath(2, 3)));
    EXPECT_NE(logText().find("left by a save that was cut off"), std::string::npos);
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(AreaTest, AShortFileKeepsEverythingItDoesNotHold)
{
    sculpt(environment());
    ASSERT_TRUE(environment().getArea(2, 1)->save());
    std::string bytes = areaBytes(2, 1);
    // The cells, 100 whole vertices and the height of the next one.
    writeAreaBytes(2, 1, bytes.substr(0, 6400 + 100 * 16 + 6));

    auto loaded = qrNew<APPENVRMain>(nullptr);
    loaded->initialize();
    for (int x = 320; x < 480; ++x)
        for (int z = 160; z < 320; ++z)
            loaded->setVertex(x, z, {-7.0f, {0.0f, 0.0f, 1.0f}});
    loaded->loadAreas();

    ASSERT_EQ(shownBoxes().size(), 1u) << "reading stops at the first failure";
    EXPECT_NE(shownBoxes().front().find("Method: read: \r\nError on reading data from stream"), std::string::npos);
    for (int x = 80; x < 120; ++x)
        for (int z = 40; z < 80; ++z)
            ASSERT_EQ(loaded->getGroundCell(x, z), environment().getGroundCell(x, z));
    EXPECT_EQ(loaded->getVertex(320, 160).height, environment().getVertex(320, 160).height);
    EXPECT_EQ(loaded->getVertex(320, 259).normal, environment().getVertex(320, 259).normal);
    EXPECT_EQ(loaded->getVertex(320, 260).height, environment().getVertex(320, 260).height);
    EXPECT_EQ(loaded->getVertex(320, 260).normal, (Vector3{0.0f, 0.0f, 1.0f})) << "the normal was cut off";
    EXPECT_EQ(loaded->getVertex(320, 261).height, -7.0f);
    EXPECT_EQ(loaded->getVertex(479, 319).height, -7.0f);
    EXPECT_EQ(loaded->getArea(2, 1)->getBounds().minimum.y, -7.0f) << "boxes follow the terrain in memory";
}

TEST_F(AreaTest, GarbageOfAFewBytesIsReportedOnce)
{
    writeAreaBytes(3, 3, "abc");
    environment().getArea(3, 3)->load();
    EXPECT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(environment().getVertex(600, 600).height, 0.0f);
}

TEST_F(AreaTest, EntitiesOutsideAWorldAreNeitherLoadedNorSavedOver)
{
    sculpt(environment());
    ASSERT_TRUE(environment().getArea(1, 1)->save());
    std::string bytes = areaBytes(1, 1);
    putValue<std::int32_t>(bytes, kBlockRecordsOffset + 24, 3);
    bytes += std::string(200, 'x');
    writeAreaBytes(1, 1, bytes);

    auto loaded = qrNew<APPENVRMain>(nullptr);
    loaded->initialize();
    loaded->getArea(1, 1)->load();
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes().front().find("The block holds 3 entities"), std::string::npos);
    EXPECT_TRUE(loaded->getArea(1, 1)->holdsUnreadEntities());
    EXPECT_EQ(loaded->getVertex(200, 200).height, environment().getVertex(200, 200).height)
        << "the terrain before the records is loaded";
    EXPECT_EQ(loaded->getBlock(1, 1, 3, 3)->getBounds().maximum.y,
              environment().getBlock(1, 1, 3, 3)->getBounds().maximum.y);

    EXPECT_FALSE(loaded->getArea(1, 1)->save());
    EXPECT_EQ(shownBoxes().size(), 2u);
    EXPECT_EQ(areaBytes(1, 1), bytes) << "the entities in the file are not lost";

    // A negative count lists nothing; it is reported, and the rest of the file loads.
    putValue<std::int32_t>(bytes, kBlockRecordsOffset + 24, -5);
    writeAreaBytes(1, 1, bytes.substr(0, kEmptyAreaFileSize));
    loaded->getArea(1, 1)->load();
    ASSERT_EQ(shownBoxes().size(), 3u);
    EXPECT_NE(shownBoxes().back().find("The block claims -5 entities"), std::string::npos);
    EXPECT_FALSE(loaded->getArea(1, 1)->holdsUnreadEntities());
    EXPECT_TRUE(loaded->getArea(1, 1)->save());
}

TEST_F(AreaTest, NumbersThatAreNotFiniteAreReportedReplacedAndEveryBoxMeasuredAgain)
{
    sculpt(environment());
    ASSERT_TRUE(environment().getArea(1, 2)->save());
    const std::string consistent = areaBytes(1, 2);
    std::string damaged = consistent;
    // Heights of vertices 0 and 807, the normal of vertex 3, a block box and the area box.
    for (const auto& [offset, value] : {std::pair<std::size_t, float>{6400, std::nanf("")}, {6400 + 807 * 16, -HUGE_VALF},
                                        {6400 + 3 * 16 + 8, std::nanf("")}, {kBlockRecordsOffset + 5 * 28 + 4, HUGE_VALF},
                                        {kEmptyAreaFileSize - 20, std::nanf("")}})
        putValue(damaged, offset, value);
    writeAreaBytes(1, 2, damaged);
    auto loaded = qrNew<APPENVRMain>(nullptr);
    loaded->initialize();
    loaded->getArea(1, 2)->load();

    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes().front().find("\"world\\area_1_2.world\" holds 5 numbers that are not finite"),
              std::string::npos);
    // Vertex k of the area stands at (160 + k / 160, 320 + k % 160).
    EXPECT_EQ(loaded->getVertex(160, 320).height, 0.0f);
    EXPECT_EQ(loaded->getVertex(165, 327).height, 0.0f);
    EXPECT_EQ(loaded->getVertex(160, 323).normal, (Vector3{0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(loaded->getVertex(160, 323).height, environment().getVertex(160, 323).height);
    const APPENVRBox block = loaded->getBlock(1, 2, 1, 1)->getBounds();
    const APPENVRBox area = loaded->getArea(1, 2)->getBounds();
    loaded->getArea(1, 2)->updateBounds();
    EXPECT_EQ(block.minimum, loaded->getBlock(1, 2, 1, 1)->getBounds().minimum) << "measured from the terrain";
    EXPECT_EQ(area.minimum, loaded->getArea(1, 2)->getBounds().minimum);

    // A consistent file comes back byte for byte, boxes measured again and all.
    writeAreaBytes(1, 2, consistent);
    loaded->getArea(1, 2)->load();
    ASSERT_TRUE(loaded->getArea(1, 2)->save());
    EXPECT_EQ(areaBytes(1, 2), consistent);
}
