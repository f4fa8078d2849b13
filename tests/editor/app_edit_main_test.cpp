#include "editor_fixture.h"

#include "editor/app_edit_cursor.h"
#include "interaction/qr_inta_platforminput.h"
#include "world/app_wrld_camera.h"

#include <gtest/gtest.h>

#include <filesystem>

using EditorTest = EditorFixture;

TEST_F(EditorTest, TheCameraTurnsZoomsPansAndWheelsFromItsStart)
{
    struct Case {
        const char* what;
        APPEDITInput input;
        Vector3 position;
        float pitch;
        float yaw;
    };
    auto input = [](bool right, bool zoom, bool pan, int mx, int my, int wheel) {
        APPEDITInput in;
        in.rightHeld = right;
        in.zoomHeld = zoom;
        in.panHeld = pan;
        in.motionX = mx;
        in.motionY = my;
        in.wheel = wheel;
        return in;
    };
    // From (20, 50, 200) looking along -Z: forward (0, 0, -1), up (0, 1, 0), side (1, 0, 0).
    const Case cases[] = {
        {"turn", input(true, false, false, 10, 4, 0), {20, 50, 200}, 2.0f, -5.0f},
        {"zoom", input(true, true, false, 10, 10, 0), {20, 50, 198.5f}, 0.0f, 0.0f},
        {"pan", input(true, false, true, 10, 10, 0), {18.5f, 48.5f, 200}, 0.0f, 0.0f},
        {"wheel", input(false, false, false, 10, 10, 120), {20, 50, 198.8f}, 0.0f, 0.0f},
        {"motion without the right button", input(false, false, false, 10, 10, 0), {20, 50, 200}, 0.0f, 0.0f},
        {"pitch stops at 80", input(true, false, false, 0, 400, 0), {20, 50, 200}, 80.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        editor().setCamera({20.0f, 50.0f, 200.0f}, 0.0f, 0.0f);
        editor().update(c.input);
        expectPoint(editor().getCameraPosition(), c.position);
        EXPECT_FLOAT_EQ(editor().getCameraPitch(), c.pitch);
        EXPECT_FLOAT_EQ(editor().getCameraYaw(), c.yaw);
        expectPoint(world().getCamera()->getPosition(), c.position);
    }
    // The world camera looks where the editor camera does.
    editor().setCamera({0.0f, 0.0f, 0.0f}, 0.0f, 90.0f);
    expectPoint(world().getCamera()->getForward(), {-1.0f, 0.0f, 0.0f});
}

TEST_F(EditorTest, TheStatusBarShowsTheCursorAndTheEntityCount)
{
    entities().createEntity("Entity", {10.0f, 0.0f, 10.0f});
    editor().update(APPEDITInput{});
    EXPECT_EQ(host_.status[0], "Position: (402.00, 0.00, 402.00)");
    EXPECT_EQ(host_.status[1], "Entities: 1");
}

TEST_F(EditorTest, ToolButtonsSelectTheCursorToolAndTheToolsWindowFollowsTheMode)
{
    ASSERT_TRUE(tools_.toolHandler);
    tools_.toolHandler(APPEDITCursor::MoveEntity);
    EXPECT_EQ(cursor().getTool(), APPEDITCursor::MoveEntity);
    EXPECT_EQ(tools_.downTool, APPEDITCursor::MoveEntity);
    EXPECT_EQ(tools_.groundType, 0) << "the cursor selects the first ground type";
    EXPECT_EQ(tools_.actor, 0) << "and the first actor";

    editor().showTools();
    const auto [left, top, bottom, right] = QRINTAPlatformInput::getScreenBounds();
    EXPECT_EQ(tools_.shownAt, std::make_pair(right - left - 300 - 50, bottom - top - 420 - 100));
    editor().toggleTools();
    EXPECT_FALSE(tools_.shown);
    editor().toggleTools();
    EXPECT_TRUE(tools_.shown);
}

TEST_F(EditorTest, SaveAreaWritesTheAreaUnderTheCursorAndSaveWorldAll)
{
    const auto worldFolder = programFolder().path() / "world";
    std::filesystem::create_directories(worldFolder);
    lookDownAt({700.0f, 0.0f, 1300.0f});
    editor().update(APPEDITInput{});
    editor().saveArea();
    EXPECT_TRUE(std::filesystem::exists(worldFolder / "area_1_2.world"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(worldFolder), {}), 1);
    editor().saveWorld();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(worldFolder), {}), 16);
}
