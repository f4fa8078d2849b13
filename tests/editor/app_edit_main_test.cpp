#include "editor_fixture.h"

#include "editor/app_edit_cursor.h"
#include "entities/app_entt_kip.h"
#include "entities/app_entt_main.h"
#include "interaction/qr_inta_platforminput.h"
#include "math/qr_math_vector.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_entities.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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

TEST_F(EditorTest, EnteringTheEditorLooksAtTheHeroFromBehindAndAboveTheGround)
{
    // A hill where the camera goes behind the hero: it must end above the hill, not inside it.
    for (int x = 60; x <= 90; ++x)
        for (int z = 130; z <= 140; ++z)
            environment().setHeight(x, z, 30.0f);
    environment().updateNormals();
    environment().updateBounds();
    struct Case {
        const char* what;
        bool hero;
        Vector3 target;
        float yaw;
    };
    // Without a hero first: the hero, once made, stays in the world. The hill lies behind him.
    const Case cases[] = {{"no hero", false, {1280.0f, 0.0f, 1280.0f}, 0.0f},
                          {"the hero", true, {300.0f, 0.0f, 500.0f}, 0.0f},
                          {"the hero turned", true, {300.0f, 0.0f, 500.0f}, 135.0f}};
    APPENTTKip* kip = nullptr;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Vector3 target = c.target;
        Vector3 facing{0.0f, 0.0f, -1.0f};
        if (c.hero) {
            if (!kip)
                kip = static_cast<APPENTTKip*>(entities().createEntity("Kip", c.target));
            kip->setHeading(c.yaw, 0.0f);
            kip->setTargetHeading(c.yaw, 0.0f);
            target = kip->getPosition();
            facing = kip->getLookDirection();
        }
        editor().placeCameraBehindHero();
        editor().update(APPEDITInput{});
        const Vector3 camera = world().getCamera()->getPosition();
        EXPECT_GE(camera.y, environment().getHeight(camera) + 1.0f) << "above the ground";
        const Vector3 toTarget = QRMATHVector3::normalize(target - camera);
        EXPECT_GT(QRMATHVector3::dot(world().getCamera()->getForward(), toTarget), 0.999f) << "looking at the target";
        const Vector3 behind = camera - target;
        EXPECT_LT(behind.x * facing.x + behind.z * facing.z, -10.0f) << "behind it";
        EXPECT_LT(camera.y - c.target.y, 60.0f) << "near enough to see it";
    }
}

TEST_F(EditorTest, KeysFlyTheCameraWhileTheRightButtonIsHeldAndItStaysAboveTheGround)
{
    struct Case {
        const char* what;
        std::function<void(APPEDITInput&)> keys;
        Vector3 start;
        Vector3 end;
    };
    // Half a second at 40 units a second, four times that with Shift; the camera looks along -Z.
    const Case cases[] = {
        {"W", [](APPEDITInput& in) { in.flyForward = true; }, {20, 50, 200}, {20, 50, 180}},
        {"Shift+D", [](APPEDITInput& in) { in.flyRight = in.zoomHeld = true; }, {20, 50, 200}, {100, 50, 200}},
        {"S and A", [](APPEDITInput& in) { in.flyBack = in.flyLeft = true; }, {20, 50, 200}, {0, 50, 220}},
        {"E", [](APPEDITInput& in) { in.flyUp = true; }, {20, 50, 200}, {20, 70, 200}},
        {"Q down to the ground", [](APPEDITInput& in) { in.flyDown = true; }, {20, 5, 200}, {20, 2, 200}},
        {"W without the right button", [](APPEDITInput& in) { in.flyForward = true; in.rightHeld = false; }, {20, 50, 200}, {20, 50, 200}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        editor().setCamera(c.start, 0.0f, 0.0f);
        APPEDITInput input;
        input.rightHeld = true;
        input.delta = 0.5f;
        c.keys(input);
        editor().update(input);
        expectPoint(editor().getCameraPosition(), c.end);
    }
}

TEST_F(EditorTest, SaveAreaSavesWhereTheMouseLastPointedAndTheStatusBarSaysWhat)
{
    const auto worldFolder = programFolder().path() / "world";
    std::filesystem::create_directories(worldFolder);
    EXPECT_FALSE(editor().saveArea());
    EXPECT_EQ(host_.status[2].rfind("Nothing saved", 0), 0u) << host_.status[2];

    lookDownAt({700.0f, 0.0f, 1300.0f});
    editor().update(APPEDITInput{});
    // The menu opens over the view: frames go on with the mouse on its items, over area (0, 0).
    host_.viewUnderMouse = false;
    lookDownAt({100.0f, 0.0f, 100.0f});
    editor().update(APPEDITInput{});
    EXPECT_TRUE(editor().saveArea());
    EXPECT_TRUE(std::filesystem::exists(worldFolder / "area_1_2.world"));
    EXPECT_FALSE(std::filesystem::exists(worldFolder / "area_0_0.world"));
    EXPECT_EQ(host_.status[2], "Saved world\\area_1_2.world");

    EXPECT_TRUE(editor().saveWorld());
    EXPECT_EQ(host_.status[2], "Saved the world: 16 areas");
}

TEST_F(EditorTest, AutosaveWaitsForTheEndOfAStroke)
{
    using namespace std::chrono_literals;
    editor().getRecovery()->setIntervalSeconds(1);
    const auto copy = programFolder().path() / "recovery" / "area_0_0.world";
    cursor().setTool(APPEDITCursor::RaiseTerrain);
    const auto start = APPEDITRecovery::Clock::now();
    // A first stroke leaves an edit waiting for the autosave; the second runs past the interval.
    editor().update(mouse(true, true, false), start);
    editor().update(mouse(false, false, true), start);
    editor().update(mouse(true, true, false), start + 2s);
    editor().update(mouse(false, true, false), start + 3s);
    EXPECT_FALSE(std::filesystem::exists(copy)) << "written in the middle of the stroke";
    editor().update(mouse(false, false, true), start + 4s);
    EXPECT_TRUE(std::filesystem::exists(copy));
}

TEST_F(EditorTest, DuplicateAndPasteMakeOneStepEachWithEverythingButThePlace)
{
    lookDownAt({402.0f, 0.0f, 402.0f});
    APPENTTMain* ad = entities().createEntity("Ad", {402.0f, 2.0f, 402.0f});
    ad->rotateLocalY(30.0f);
    ad->setSize(1.1f);
    ad->setName("Poster");
    editor().update(APPEDITInput{});
    ASSERT_EQ(cursor().getSelectedEntity(), ad);
    struct Case {
        const char* what;
        std::function<bool()> act;
        // Where the copy's feet are, horizontally; NaN: anywhere clear of the original.
        float x;
    };
    const Case cases[] = {
        {"Duplicate", [&] { return editor().duplicateSelection(); }, std::nanf("")},
        {"Paste",
         [&] {
             EXPECT_TRUE(editor().copySelection());
             lookDownAt({600.0f, 0.0f, 402.0f});
             editor().update(APPEDITInput{});
             return editor().paste();
         },
         600.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int count = entities().getEntityCount();
        ASSERT_TRUE(c.act());
        ASSERT_EQ(entities().getEntityCount(), count + 1);
        const APPENTTMain* copy = entities().getEntity(count);
        EXPECT_EQ(copy->getTypeName(), "Ad");
        EXPECT_EQ(copy->getName(), "Poster");
        EXPECT_EQ(copy->getSize(), 1.1f);
        const Quaternion& turn = copy->getOrientation();
        const Quaternion& original = ad->getOrientation();
        EXPECT_NEAR(std::fabs(turn.x * original.x + turn.y * original.y + turn.z * original.z + turn.w * original.w), 1.0f, 1e-5f)
            << "turned as the original";
        EXPECT_NEAR(copy->getPosition().y - environment().getHeight(copy->getPosition()), 2.0f, 1e-3f) << "as high above the ground";
        if (std::isnan(c.x))
            EXPECT_GE(QRMATHVector3::distance(copy->getPosition(), ad->getPosition()), 2.0f) << "beside the original";
        else
            EXPECT_NEAR(copy->getPosition().x, c.x, 0.01f);
        EXPECT_EQ(editor().getHistory()->getUndoName(), c.what) << "one step";
        editor().undo();
        EXPECT_EQ(entities().getEntityCount(), count);
        editor().redo();
        EXPECT_EQ(entities().getEntityCount(), count + 1);
        // Back to the original for the next case.
        editor().undo();
        lookDownAt({402.0f, 0.0f, 402.0f});
        editor().update(APPEDITInput{});
    }
}

TEST_F(EditorTest, TheHeroIsNeitherDuplicatedNorCopiedAndTheStatusBarSaysWhy)
{
    entities().createEntity("Kip", {402.0f, 0.0f, 402.0f});
    editor().update(APPEDITInput{});
    EXPECT_FALSE(editor().duplicateSelection());
    EXPECT_FALSE(editor().copySelection());
    EXPECT_EQ(entities().getEntityCount(), 1);
    EXPECT_EQ(host_.status[2].rfind("Kip cannot be copied", 0), 0u) << host_.status[2];
}

TEST_F(EditorTest, TheEntityListFiltersByEveryWordAndChoosingFliesToTheEntity)
{
    APPENTTMain* paper = entities().createEntity("Paper", {100.0f, 0.0f, 100.0f});
    entities().createEntity("Ad", {900.0f, 0.0f, 300.0f});
    entities().createEntity("CoderMonkey", {2000.0f, 0.0f, 2000.0f});
    struct Case {
        const char* filter;
        std::vector<std::string> types;
    };
    const Case cases[] = {
        {"", {"Paper", "Ad", "CoderMonkey"}}, {"PAPER", {"Paper"}}, {"ad 900", {"Ad"}},
        {"monkey 100", {}},                    {"2000.00", {"CoderMonkey"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> types;
        for (const APPEDITEntityRow& row : editor().listEntities(c.filter))
            types.push_back(row.typeName);
        EXPECT_EQ(types, c.types) << "\"" << c.filter << "\"";
    }

    ASSERT_TRUE(editor().flyTo(paper->getSerial()));
    const Vector3 camera = world().getCamera()->getPosition();
    EXPECT_LT(QRMATHVector3::distance(camera, paper->getPosition()), 30.0f);
    EXPECT_GT(QRMATHVector3::dot(world().getCamera()->getForward(), QRMATHVector3::normalize(paper->getPosition() - camera)), 0.99f);
    // Chosen: selected while the mouse is over no other entity, until the next click.
    editor().update(APPEDITInput{});
    EXPECT_EQ(cursor().getSelectedEntity(), paper);
    cursor().update(mouse(true, true, false));
    EXPECT_EQ(cursor().getSelectedEntity(), nullptr);
}

TEST_F(EditorTest, BracketKeysStepTheBrushWithinItsRange)
{
    struct Case {
        int size;
        int intensity;
        int sizeStep;
        int intensityStep;
        int sizeAfter;
        int intensityAfter;
    };
    const Case cases[] = {{2, 2, -1, 0, 1, 2}, {10, 2, 1, 0, 10, 2}, {2, 0, 0, -1, 2, 0}, {2, 9, 0, 1, 2, 10}};
    for (const Case& c : cases) {
        tools_.brushSize = c.size;
        tools_.intensity = c.intensity;
        editor().stepBrush(c.sizeStep, c.intensityStep);
        EXPECT_EQ(tools_.brushSize, c.sizeAfter);
        EXPECT_EQ(tools_.intensity, c.intensityAfter);
        EXPECT_EQ(host_.status[2], "Brush size " + std::to_string(c.sizeAfter) + ", intensity " + std::to_string(c.intensityAfter));
    }
}
