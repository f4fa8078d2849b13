#include "editor_fixture.h"

#include "editor/app_edit_cursor.h"
#include "editor/app_edit_recovery.h"
#include "environment/app_envr_area.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class RecoveryTest : public EditorFixture {
protected:
    APPEDITRecovery& recovery() { return *editor().getRecovery(); }
    fs::path recoveryFile(int ax, int az) const
    {
        return programFolder() / ("recovery/area_" + std::to_string(ax) + "_" + std::to_string(az) + ".world");
    }
    int recoveryFileCount() const
    {
        std::error_code ignored;
        int count = 0;
        for (const auto& entry : fs::directory_iterator(programFolder() / "recovery", ignored))
            count += entry.is_regular_file();
        return count;
    }
    // A stroke of "Raise Terrain" under the camera, which looks at area (0, 0).
    void raise()
    {
        cursor().setTool(APPEDITCursor::RaiseTerrain);
        frame(true, true, false);
        frame(false, false, true);
    }
};

TEST_F(RecoveryTest, OnlyEditedAreasAreCopiedAfterTheIntervalAndSavingClearsThem)
{
    editor().saveWorld();
    const std::string savedArea = programFolder().read(areaFileName(0, 0));
    EXPECT_FALSE(host_.worldModified);
    raise();
    ASSERT_TRUE(recovery().isUnsaved({0, 0}));
    EXPECT_FALSE(recovery().isUnsaved({1, 0}));
    EXPECT_TRUE(host_.worldModified);

    const auto start = APPEDITRecovery::Clock::now();
    for (const auto& [after, copies] : {std::pair{0s, 0}, {119s, 0}, {120s, 1}}) {
        SCOPED_TRACE(after.count());
        recovery().update(start + after);
        EXPECT_EQ(recoveryFileCount(), copies);
    }
    ASSERT_TRUE(fs::exists(recoveryFile(0, 0)));
    EXPECT_EQ(fs::file_size(recoveryFile(0, 0)), savedArea.size());
    EXPECT_EQ(programFolder().read(areaFileName(0, 0)), savedArea) << "the world's file was touched";
    EXPECT_NE(programFolder().read("recovery/area_0_0.world"), savedArea) << "the copy lacks the edit";
    // Nothing new to copy: the next interval writes nothing.
    fs::remove(recoveryFile(0, 0));
    recovery().update(start + 300s);
    recovery().update(start + 500s);
    EXPECT_EQ(recoveryFileCount(), 0);

    raise();
    EXPECT_EQ(recovery().writeRecovery(), 1);
    editor().saveArea();
    EXPECT_FALSE(fs::exists(recoveryFile(0, 0))) << "saving keeps a stale copy";
    EXPECT_FALSE(recovery().hasUnsavedEdits());
    EXPECT_FALSE(host_.worldModified);
}

TEST_F(RecoveryTest, OnlyCopiesNewerThanTheWorldAreOfferedAndRestoreShowsTheirEdits)
{
    editor().saveWorld();
    const auto worldTime = fs::last_write_time(programFolder() / areaFileName(0, 0));
    struct Case {
        APPENVRAreaIndex area;
        bool worldFile;
        fs::file_time_type::duration copyAge;
        bool offered;
    };
    const Case cases[] = {
        {{1, 1}, true, -10s, true},   // written after the last save
        {{2, 3}, true, 10s, false},   // saved over since: stale
        {{3, 0}, false, 10s, true},   // the world never had this area
    };
    for (const Case& c : cases) {
        environment().setHeight(160 * c.area.ax + 5, 160 * c.area.az + 5, 42.0f);
        APPENVRArea* area = environment().getArea(c.area.ax, c.area.az);
        ASSERT_TRUE(area->saveAs(APPEDITRecovery::getFileName(c.area)));
        fs::last_write_time(recoveryFile(c.area.ax, c.area.az), worldTime - c.copyAge);
        if (!c.worldFile)
            fs::remove(programFolder() / areaFileName(c.area.ax, c.area.az));
    }
    environment().resetTerrain();

    const std::vector<APPENVRAreaIndex> found = recovery().findRecovery();
    std::vector<APPENVRAreaIndex> expected;
    for (const Case& c : cases) {
        if (c.offered)
            expected.push_back(c.area);
        EXPECT_EQ(fs::exists(recoveryFile(c.area.ax, c.area.az)), c.offered) << c.area.ax << "," << c.area.az;
    }
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < found.size(); ++i)
        EXPECT_TRUE(found[i].ax == expected[i].ax && found[i].az == expected[i].az);

    recovery().restore(found);
    for (const Case& c : cases) {
        EXPECT_EQ(environment().getVertex(160 * c.area.ax + 5, 160 * c.area.az + 5).height, c.offered ? 42.0f : 0.0f);
        EXPECT_EQ(recovery().isUnsaved(c.area), c.offered);
    }
    EXPECT_TRUE(host_.worldModified);
    recovery().discard();
    EXPECT_EQ(recoveryFileCount(), 0);
}
