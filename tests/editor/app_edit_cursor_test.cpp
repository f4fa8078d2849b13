#include "editor_fixture.h"

#include "editor/app_edit_cursor.h"
#include "entities/app_entt_main.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "math/qr_math_random.h"
#include "math/qr_math_vector.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr float kDelta = 0.1f;
// 5 units per second times (intensity 2 + 1).
constexpr float kCentreRise = 5.0f * kDelta * 3.0f;

float falloff(int i, int j, int cx, int cz)
{
    const float d = std::hypot(static_cast<float>(i - cx), static_cast<float>(j - cz));
    return std::sin(std::clamp(1.0f - d / 3.0f, 0.0f, 1.0f) * std::numbers::pi_v<float> / 2.0f);
}

// The pick goes through the inverted camera matrices in single precision: a few thousandths far
// out in the world.
void expectNearPoint(const Vector3& actual, const Vector3& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 0.01f);
    EXPECT_NEAR(actual.y, expected.y, 0.01f);
    EXPECT_NEAR(actual.z, expected.z, 0.01f);
}

void expectOrientation(const Quaternion& actual, const Quaternion& expected)
{
    // q and -q are the same rotation.
    const float sign = actual.x * expected.x + actual.y * expected.y + actual.z * expected.z + actual.w * expected.w < 0
                           ? -1.0f
                           : 1.0f;
    EXPECT_NEAR(actual.x * sign, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y * sign, expected.y, 1e-4f);
    EXPECT_NEAR(actual.z * sign, expected.z, 1e-4f);
    EXPECT_NEAR(actual.w * sign, expected.w, 1e-4f);
}

class CursorTest : public EditorFixture {
protected:
    CursorTest() { lookDownAt(kTarget); }

    // (401, 401.5) lies in the quad of vertex (100, 100), ground cell (25, 25), block (2, 2) of area (0, 0).
    static constexpr Vector3 kTarget{401.0f, 0.0f, 401.5f};

    APPENTTMain* placeEntityUnderCursor(float aboveGround)
    {
        const Vector3 ground{kTarget.x, environment().getHeight(kTarget), kTarget.z};
        return entities().createEntity("Entity", {ground.x, ground.y + aboveGround, ground.z});
    }
    // A slope rising along X: a quarter unit per vertex.
    void buildSlope()
    {
        for (int x = 0; x < 200; ++x)
            for (int z = 0; z < 200; ++z)
                environment().setHeight(x, z, 0.25f * static_cast<float>(x));
        environment().updateNormals();
        environment().updateBounds();
    }
};

} // namespace

TEST_F(CursorTest, PicksTheTerrainUnderTheMouse)
{
    frame(false, false, false);
    expectNearPoint(cursor().getPosition(), kTarget);
    EXPECT_EQ(cursor().getPickedVertex().x, 100);
    EXPECT_EQ(cursor().getPickedVertex().z, 100);
    EXPECT_EQ(cursor().getPickedCell().x, 25);
    EXPECT_EQ(cursor().getPickedCell().z, 25);
    EXPECT_EQ(cursor().getArea(), environment().getArea(0, 0));
    EXPECT_EQ(cursor().getBlock(), environment().getBlock(0, 0, 2, 2));

    lookDownAt({-50.0f, 0.0f, 30.0f});
    frame(false, false, false);
    EXPECT_EQ(cursor().getPickedVertex().x, -1) << "outside the world there is no vertex to pick";
    EXPECT_EQ(cursor().getPickedCell().x, -1);
}

TEST_F(CursorTest, RaiseAndLowerFollowTheBrushShape)
{
    struct Case {
        int tool;
        Vector3 target;
        int cx, cz;
        float sign;
    };
    const Case cases[] = {
        {APPEDITCursor::RaiseTerrain, kTarget, 100, 100, 1.0f},
        {APPEDITCursor::LowerTerrain, kTarget, 100, 100, -1.0f},
        // At the world's corner the brush square is cut to vertices 0..3.
        {APPEDITCursor::RaiseTerrain, {1.0f, 0.0f, 1.5f}, 0, 0, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);
        environment().resetTerrain();
        environment().updateBounds();
        lookDownAt(c.target);
        cursor().setTool(c.tool);
        frame(true, true, false);
        for (int i = std::max(c.cx - 5, 0); i <= c.cx + 5; ++i)
            for (int j = std::max(c.cz - 5, 0); j <= c.cz + 5; ++j)
                ASSERT_NEAR(height(i, j), c.sign * kCentreRise * falloff(i, j, c.cx, c.cz), 1e-5f) << i << "," << j;
        EXPECT_NEAR(height(c.cx, c.cz), c.sign * kCentreRise, 1e-5f);
        EXPECT_EQ(height(c.cx + 3, c.cz), 0.0f) << "distance 3 is outside a brush of size 2";
        EXPECT_EQ(height(c.cx + 3, c.cz + 3), 0.0f);
        EXPECT_NE(environment().getVertex(c.cx + 1, c.cz).normal.y, 1.0f) << "normals follow the new slope";
        frame(false, false, true);
    }
}

TEST_F(CursorTest, RaisingStaysOnItsFirstVertexWhileSmoothingFollowsTheMouse)
{
    struct Case {
        int tool;
        bool follows;
    };
    // Smoothing first: on flat land it leaves the heights for the raise to be measured.
    for (const Case& c : {Case{APPEDITCursor::SmoothTerrain, true}, Case{APPEDITCursor::RaiseTerrain, false}}) {
        SCOPED_TRACE(c.tool);
        cursor().setTool(c.tool);
        frame(true, true, false);
        frame(false, true, false, {0.3f, 0.0f});
        EXPECT_EQ(cursor().getPickedVertex().x != 100, c.follows);
        EXPECT_EQ(cursor().isRefreshing(), c.follows);
        frame(false, false, true, {0.3f, 0.0f});
        EXPECT_TRUE(cursor().isRefreshing());
    }
    EXPECT_NEAR(height(100, 100), 2.0f * kCentreRise, 1e-5f) << "two frames on the first vertex";
    EXPECT_NEAR(environment().getBlock(0, 0, 2, 2)->getBounds().maximum.y, 2.0f * kCentreRise, 1e-3f)
        << "the stroke's end refreshes the boxes";
}

TEST_F(CursorTest, SmoothingFlattensASpikeAndLeavesFlatLandAlone)
{
    cursor().setTool(APPEDITCursor::SmoothTerrain);
    frame(true, true, false);
    for (int i = 95; i <= 105; ++i)
        for (int j = 95; j <= 105; ++j)
            ASSERT_EQ(height(i, j), 0.0f);

    environment().setHeight(100, 100, 10.0f);
    frame(false, true, false);
    // The mean of the 7 x 7 square is 10 / 49; the centre moves towards it by falloff 1 * 3 * dt.
    EXPECT_NEAR(height(100, 100), 10.0f + (10.0f / 49.0f - 10.0f) * 0.3f, 1e-4f);
    EXPECT_NEAR(height(101, 100), (10.0f / 49.0f) * falloff(101, 100, 100, 100) * 0.3f, 1e-5f);
}

TEST_F(CursorTest, RougheningStaysWithinItsAmplitude)
{
    QRMATHRandom::setSeed(1234);
    cursor().setTool(APPEDITCursor::RoughenTerrain);
    frame(true, true, false);
    int changed = 0;
    for (int i = 96; i <= 104; ++i) {
        for (int j = 96; j <= 104; ++j) {
            const float limit = 5.0f * falloff(i, j, 100, 100) * 3.0f * kDelta;
            ASSERT_LE(std::fabs(height(i, j)), limit + 1e-6f) << i << "," << j;
            changed += height(i, j) != 0.0f;
        }
    }
    EXPECT_GT(changed, 20);
}

TEST_F(CursorTest, GroundToolsPaintTheCellAndReshapeTheStreetsAround)
{
    // A straight street along X just north of the picked cell (25, 25).
    for (int x = 24; x <= 26; ++x)
        environment().setStreet(x, 26);
    environment().updateStreets();
    ASSERT_EQ(environment().getGroundCell(25, 26), 1u << 8);

    struct Step {
        int tool;
        int groundType;
        std::uint32_t picked;
        std::uint32_t north;
    };
    const Step steps[] = {
        {APPEDITCursor::SetStreet, 0, 12u << 8, 11u << 8},      // a dead end; the neighbour becomes a T
        {APPEDITCursor::SetGroundType, 1, (12u << 8) | 1u, 11u << 8}, // concrete keeps the street
        {APPEDITCursor::DeleteStreet, 1, 1u, 1u << 8},           // the street goes, concrete stays
        {APPEDITCursor::SetGroundType, 0, 0u, 1u << 8},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.tool);
        tools_.groundType = step.groundType;
        cursor().setTool(step.tool);
        frame(true, true, false);
        frame(false, false, true);
        EXPECT_EQ(environment().getGroundCell(25, 25), step.picked);
        EXPECT_EQ(environment().getGroundCell(25, 26), step.north);
    }
}

TEST_F(CursorTest, ImportsChangeOnlyThePickedBlock)
{
    const auto folder = programFolder().path() / "textures" / "heightmaps";
    std::filesystem::create_directories(folder);
    QImage heights(640, 640, QImage::Format_RGB888);
    heights.fill(QColor(200, 0, 0));
    ASSERT_TRUE(heights.save(QString::fromStdString((folder / "heightmap.png").string())));
    QImage ground(160, 160, QImage::Format_RGB888);
    ground.fill(QColor(255, 0, 0));
    ASSERT_TRUE(ground.save(QString::fromStdString((folder / "groundmap.png").string())));

    cursor().setTool(APPEDITCursor::ImportHeightmap);
    click();
    // Block (2, 2) of area (0, 0) holds vertices 80..119 and cells 20..29.
    EXPECT_NEAR(height(80, 119), 100.0f, 1e-3f);
    EXPECT_EQ(height(79, 100), 0.0f);
    EXPECT_EQ(height(120, 100), 0.0f);

    lookDownAt({kTarget.x, 150.0f, kTarget.z});
    cursor().setTool(APPEDITCursor::ImportGroundmap);
    click();
    EXPECT_EQ(environment().getGroundCell(20, 29) & 0xFFu, 1u) << "red 255 is concrete with a street";
    EXPECT_TRUE(environment().hasStreet(29, 20));
    EXPECT_EQ(environment().getGroundCell(19, 25), 0u);
    EXPECT_EQ(environment().getGroundCell(25, 30), 0u);
}

TEST_F(CursorTest, CreatesTheChosenEntityTurnedByTheRotationButton)
{
    struct Case {
        bool modelsPage;
        int actor;
        int compass;
        const char* typeName;
        float angle;
    };
    const Case cases[] = {
        {false, 2, 90, "Paper", 270.0f}, {false, 1, 0, "Ad", 0.0f},         {false, 3, 225, "CoderMonkey", 135.0f},
        {false, -1, 45, "Entity", 315.0f}, {true, 0, 180, "EnvironmentModel", 180.0f},
    };
    cursor().setTool(APPEDITCursor::CreateEntity);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typeName);
        tools_.modelsPage = c.modelsPage;
        tools_.actor = c.actor;
        tools_.rotation = c.compass;
        const int before = entities().getEntityCount();
        click();
        ASSERT_EQ(entities().getEntityCount(), before + 1) << "one entity per click";
        const APPENTTMain* created = entities().getEntity(before);
        EXPECT_EQ(created->getTypeName(), c.typeName);
        expectNearPoint(created->getPosition(), kTarget);
        expectOrientation(created->getOrientation(), QRMATHQuaternion::fromRotationY(c.angle));
        EXPECT_EQ(created->getSize(), 1.0f);
        // Keep the next pick on the terrain.
        entities().removeEntity(entities().getEntity(before));
    }
}

TEST_F(CursorTest, MovingInXZKeepsTheHeightAboveTheGround)
{
    buildSlope();
    APPENTTMain* entity = placeEntityUnderCursor(2.0f);
    cursor().setTool(APPEDITCursor::MoveEntity);
    frame(true, true, false);
    ASSERT_EQ(cursor().getSelectedEntity(), entity);
    for (const float step : {0.1f, 0.2f, 0.3f}) {
        frame(false, true, false, {step, 0.0f});
        EXPECT_NEAR(entity->getPosition().y - environment().getHeight(entity->getPosition()), 2.0f, 1e-3f);
    }
    EXPECT_GT(entity->getPosition().x, kTarget.x + 5.0f) << "the entity followed the mouse uphill";
    EXPECT_NEAR(entity->getPosition().z, kTarget.z, 1e-3f);
    frame(false, false, true, {0.3f, 0.0f});
    EXPECT_TRUE(cursor().isRefreshing());
}

TEST_F(CursorTest, RotatingTurnsInStepsOfTheMouse)
{
    struct Case {
        bool xz;
        std::pair<int, int> to;
        Quaternion expected;
    };
    const Case cases[] = {
        {true, {125, 100}, QRMATHQuaternion::fromRotationY(22.5f)},
        {true, {75, 100}, QRMATHQuaternion::fromRotationY(-22.5f)},
        {true, {115, 100}, QRMATHQuaternion::identity()},
        {false, {100, 75}, QRMATHQuaternion::rotateZ(QRMATHQuaternion::identity(), 22.5f)},
        {false, {100, 125}, QRMATHQuaternion::rotateZ(QRMATHQuaternion::identity(), -22.5f)},
    };
    APPENTTMain* entity = placeEntityUnderCursor(0.0f);
    cursor().setTool(APPEDITCursor::RotateEntity);
    for (const Case& c : cases) {
        entity->resetOrientation();
        tools_.manipulationXZ = c.xz;
        pixelFrame({100, 100}, true, true, false);
        pixelFrame(c.to, false, true, false);
        expectOrientation(entity->getOrientation(), c.expected);
        pixelFrame(c.to, false, false, true);
    }
}

TEST_F(CursorTest, ARightClickWithoutMovingDropsTheTool)
{
    struct Case {
        std::pair<int, int> releasedAt;
        int tool;
    };
    for (const Case& c : {Case{{10, 10}, APPEDITCursor::None}, Case{{40, 10}, APPEDITCursor::MoveEntity}}) {
        cursor().setTool(APPEDITCursor::MoveEntity);
        APPEDITInput input;
        input.rightPressed = input.rightHeld = true;
        input.cursorPixels = {10, 10};
        cursor().update(input);
        input = {};
        input.rightReleased = true;
        input.cursorPixels = c.releasedAt;
        cursor().update(input);
        EXPECT_EQ(cursor().getTool(), c.tool);
        EXPECT_EQ(tools_.downTool, c.tool);
    }
}

TEST_F(CursorTest, EntityToolsWorkOnTheEntityUnderTheMouse)
{
    buildSlope();
    APPENTTMain* entity = placeEntityUnderCursor(3.0f);
    struct Case {
        const char* what;
        std::function<void()> act;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"Tab turns by 90 degrees",
         [&] {
             APPEDITInput input;
             input.aspect = 640.0f / 480.0f;
             input.tabPressed = true;
             cursor().update(input);
         },
         [&] { expectOrientation(entity->getOrientation(), QRMATHQuaternion::fromRotationY(90.0f)); }},
        {"Place on Ground",
         [&] {
             cursor().setTool(APPEDITCursor::PlaceOnGround);
             click();
         },
         [&] { EXPECT_NEAR(entity->getPosition().y, environment().getHeight(entity->getPosition()), 1e-4f); }},
        {"Edit Entity, cancelled",
         [&] {
             cursor().setTool(APPEDITCursor::EditEntity);
             form_.answerOk = false;
             form_.edit = [](FakeEditForm& form) { form.texts["EMainName"] = "Renamed"; };
             click();
         },
         [&] {
             EXPECT_EQ(form_.shown, 1);
             EXPECT_EQ(entity->getName(), "Entity");
         }},
        {"Edit Entity, OK",
         [&] {
             form_.answerOk = true;
             click();
         },
         [&] {
             EXPECT_EQ(form_.shown, 2);
             EXPECT_EQ(entity->getName(), "Renamed");
         }},
        {"Delete",
         [&] {
             cursor().setTool(APPEDITCursor::DeleteEntity);
             click();
         },
         [&] {
             EXPECT_EQ(entities().getEntityCount(), 0);
             EXPECT_EQ(cursor().getSelectedEntity(), nullptr);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        c.check();
    }
}

TEST_F(CursorTest, SnapToGridRoundsOntoTheVertexGridAndFollowsTheTerrain)
{
    buildSlope();
    host_.snap = true;
    lookDownAt({13.9f, 0.0f, 20.1f});
    frame(false, false, false);
    expectNearPoint(cursor().getPosition(), {12.0f, 0.75f, 20.0f});
}

TEST_F(CursorTest, NothingHappensWhileTheToolWindowHasTheFocus)
{
    tools_.focused = true;
    cursor().setTool(APPEDITCursor::RaiseTerrain);
    frame(true, true, false);
    EXPECT_EQ(height(100, 100), 0.0f);
}

TEST_F(CursorTest, AnEntityNearABlockBorderIsPickedWhereTheGroundBehindItLiesInTheNextBlock)
{
    // Looking along +X and 45 degrees down from (140, 21, 80): the ray passes the top of the box
    // around (159.2, 1.2, 80) and meets the ground at x = 161, in the next block.
    APPENTTMain* entity = entities().createEntity("Entity", {159.2f, 1.2f, 80.0f});
    QRVISXCamera3D* camera = visual_->getCameraManager()->get3DCamera();
    camera->setPosition({140.0f, 21.0f, 80.0f});
    camera->setOrientation(QRMATHQuaternion::rotateX(QRMATHQuaternion::fromRotationY(-90.0f), -45.0f));
    camera->activate();
    frame(false, false, false);
    EXPECT_EQ(cursor().getSelectedEntity(), entity);
    EXPECT_NEAR(cursor().getPosition().y, 1.7f, 0.01f) << "the box is nearer than the ground";
}

TEST_F(CursorTest, TheOverlayCoversWhatTheToolWorksOn)
{
    auto strips = [this] {
        const auto calls = gl_.takeCalls();
        return std::count(calls.begin(), calls.end(), "glBegin(GL_TRIANGLE_STRIP)");
    };
    frame(false, false, false);
    gl_.clearCalls();
    cursor().render();
    const auto cursorOnly = strips();
    struct Case {
        int tool;
        long quads;
    };
    const Case cases[] = {
        {APPEDITCursor::RaiseTerrain, 6 * 6},       // the brush square of size 2
        {APPEDITCursor::SetStreet, 4 * 4},          // the picked ground cell
        {APPEDITCursor::ImportHeightmap, 40 * 40},  // the picked block
        {APPEDITCursor::MoveEntity, 0},             // nothing selected
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);
        cursor().setTool(c.tool);
        cursor().render();
        EXPECT_EQ(strips() - cursorOnly, c.quads);
    }
}

TEST_F(CursorTest, AnEntityBehindNearerTerrainIsNotPicked)
{
    // From (400, 20, 440) along -Z, half a unit down per unit forward: the ray reaches the ground at
    // z = 400, passing the entity's box on the way; a ridge across z = 412..428 may hide it.
    APPENTTMain* entity = entities().createEntity("Entity", {400.0f, 0.5f, 401.0f});
    struct Case {
        const char* what;
        float ridge;
        APPENTTMain* picked;
    };
    const Case cases[] = {{"in sight", 0.0f, entity}, {"behind a ridge", 12.0f, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int x = 90; x <= 110; ++x)
            for (int z = 103; z <= 107; ++z)
                environment().setHeight(x, z, c.ridge);
        environment().updateNormals();
        environment().updateBounds();
        lookFrom({400.0f, 20.0f, 440.0f}, 0.0f, -26.565f);
        frame(false, false, false);
        EXPECT_EQ(cursor().getSelectedEntity(), c.picked);
        EXPECT_GT(cursor().getPosition().z, c.picked ? 401.0f : 412.0f) << "the cursor is on the nearer hit";
    }
}

TEST_F(CursorTest, ADragWhoseReleaseNeverReachesItsToolStillEnds)
{
    struct Case {
        const char* what;
        std::function<void()> interrupt;
    };
    const Case cases[] = {
        {"E held during the drag",
         [this] {
             APPEDITInput input = mouse(false, true, false);
             input.editEntityHeld = true;
             cursor().update(input);
         }},
        {"let go while the editor was not running", [this] { frame(false, false, false); }},
        {"let go while the tool window had the focus",
         [this] {
             tools_.focused = true;
             frame(false, false, true);
             tools_.focused = false;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        environment().resetTerrain();
        environment().updateBounds();
        cursor().setTool(APPEDITCursor::RaiseTerrain);
        frame(true, true, false);
        ASSERT_FALSE(cursor().isRefreshing());
        c.interrupt();
        frame(false, false, false, {0.3f, 0.0f});
        EXPECT_TRUE(cursor().isRefreshing());
        EXPECT_NE(cursor().getPickedVertex().x, 100) << "the cursor follows the mouse again";
        EXPECT_GT(environment().getBlock(0, 0, 2, 2)->getBounds().maximum.y, 0.0f) << "the boxes follow the stroke";
        EXPECT_FALSE(cursor().isStroking());
    }
}

TEST_F(CursorTest, CreatingOverTheSkyCreatesNothingAndSaysWhy)
{
    cursor().setTool(APPEDITCursor::CreateEntity);
    tools_.actor = 2;
    struct Case {
        const char* what;
        float pitch;
        int created;
    };
    // The ground first: over the sky the cursor would still hold its point.
    const Case cases[] = {{"over the ground", -45.0f, 1}, {"over the sky", 30.0f, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host_.status.erase(2);
        lookFrom({400.0f, 20.0f, 440.0f}, 0.0f, c.pitch);
        const int before = entities().getEntityCount();
        click();
        EXPECT_EQ(entities().getEntityCount() - before, c.created);
        EXPECT_EQ(host_.status.count(2) != 0, c.created == 0) << "the status bar says why nothing came";
    }
}

TEST_F(CursorTest, SmoothingNeverOvershootsAtLowFrameRates)
{
    struct Case {
        int intensity;
        float delta;
    };
    const Case cases[] = {{2, 0.1f}, {8, 0.2f}, {10, 0.25f}, {10, 1.0f}};
    cursor().setTool(APPEDITCursor::SmoothTerrain);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "intensity " << c.intensity << ", " << c.delta << " s a frame");
        environment().resetTerrain();
        environment().setHeight(100, 100, 10.0f);
        tools_.intensity = c.intensity;
        for (int i = 0; i < 20; ++i) {
            APPEDITInput input = mouse(i == 0, true, false);
            input.delta = c.delta;
            cursor().update(input);
        }
        frame(false, false, true);
        for (int i = 96; i <= 104; ++i)
            for (int j = 96; j <= 104; ++j) {
                ASSERT_GE(height(i, j), 0.0f) << i << "," << j;
                ASSERT_LE(height(i, j), 10.0f) << i << "," << j;
            }
        EXPECT_LT(height(100, 100), 10.0f) << "the spike was smoothed";
    }
}

TEST_F(CursorTest, AFastDragWorksEveryCellAndVertexOnItsWay)
{
    struct Case {
        int tool;
        int groundType;
        // Whether ground cell (x, 25) or vertex (x, 100) was worked on.
        std::function<bool(int x)> worked;
        bool perVertex;
    };
    const Case cases[] = {
        {APPEDITCursor::SetStreet, 0, [this](int x) { return (environment().getGroundCell(x, 25) >> 8) != 0; }, false},
        {APPEDITCursor::SetGroundType, 1, [this](int x) { return (environment().getGroundCell(x, 25) & 0xFFu) == 1u; }, false},
        {APPEDITCursor::RoughenTerrain, 0, [this](int x) { return height(x, 100) != 0.0f; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);
        environment().resetTerrain();
        tools_.groundType = c.groundType;
        // High above, so that a small move of the mouse crosses many cells.
        lookDownAt({kTarget.x, 300.0f, kTarget.z});
        cursor().setTool(c.tool);
        frame(true, true, false);
        frame(false, true, false, {0.6f, 0.0f});
        const int last = c.perVertex ? cursor().getPickedVertex().x : cursor().getPickedCell().x;
        frame(false, false, true, {0.6f, 0.0f});
        ASSERT_GE(last, c.perVertex ? 110 : 28) << "the drag went a long way in one frame";
        for (int x = c.perVertex ? 100 : 25; x <= last; ++x)
            EXPECT_TRUE(c.worked(x)) << x;
    }
}

TEST_F(CursorTest, EditingKeepsTheExactValuesOfFieldsLeftAloneAndOKWithoutAChangeRecordsNothing)
{
    APPENTTMain* entity = entities().createEntity("Entity", {401.004f, 0.4567f, 401.503f});
    entity->setSize(1.2345f);
    const Vector3 exact = entity->getPosition();
    struct Case {
        const char* what;
        std::function<void(FakeEditForm&)> edit;
        Vector3 position;
        int steps;
    };
    // Nothing changed first: moved to x = 402.5 the entity is no longer under the mouse.
    const Case cases[] = {
        {"OK with nothing changed", [](FakeEditForm&) {}, exact, 0},
        {"OK with X changed", [](FakeEditForm& form) { form.texts["EMainPositionX"] = "402.5"; }, {402.5f, exact.y, exact.z}, 1},
    };
    cursor().setTool(APPEDITCursor::EditEntity);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form_.edit = c.edit;
        click();
        EXPECT_EQ(entity->getPosition().x, c.position.x);
        EXPECT_EQ(entity->getPosition().y, c.position.y);
        EXPECT_EQ(entity->getPosition().z, c.position.z);
        EXPECT_EQ(entity->getSize(), 1.2345f);
        EXPECT_EQ(editor().getHistory()->getStepCount(), c.steps);
        EXPECT_EQ(host_.worldModified, c.steps > 0);
    }
}

TEST_F(CursorTest, TheWorldKeepsOneHeroCreatingKipMovesHimAndHeCannotBeDeleted)
{
    const Vector3 ground{kTarget.x, environment().getHeight(kTarget), kTarget.z};
    APPENTTMain* hero = entities().createEntity("Kip", ground + Vector3{0.0f, 3.0f, 0.0f});
    const std::uint64_t serial = hero->getSerial();
    cursor().setTool(APPEDITCursor::DeleteEntity);
    click();
    EXPECT_EQ(entities().getEntityCount(), 1);
    EXPECT_EQ(entities().getHero(), hero);
    EXPECT_NE(host_.status[2].find("Kip cannot be deleted"), std::string::npos) << host_.status[2];

    // Away from the mouse, then created again where it points: the one hero moves there.
    hero->setPosition(ground + Vector3{60.0f, 0.0f, 60.0f});
    const Vector3 away = hero->getPosition();
    cursor().setTool(APPEDITCursor::CreateEntity);
    tools_.actor = 0;
    click();
    ASSERT_EQ(entities().getEntityCount(), 1);
    EXPECT_EQ(entities().getHero()->getSerial(), serial);
    expectNearPoint(entities().getHero()->getPosition(), kTarget);
    // One step takes him back.
    editor().undo();
    ASSERT_EQ(entities().getEntityCount(), 1);
    expectNearPoint(entities().getHero()->getPosition(), away);
}

TEST_F(CursorTest, TheSelectionIsTheEntityItChoseNotWhateverTookItsPlaceInMemory)
{
    APPENTTMain* chosen = placeEntityUnderCursor(2.0f);
    cursor().setTool(APPEDITCursor::MoveEntity);
    frame(true, true, false);
    ASSERT_EQ(cursor().getSelectedEntity(), chosen);
    // Between two frames of the drag the chosen one goes and others come (one may well get its
    // address).
    entities().removeEntity(chosen);
    std::vector<Vector3> placed;
    for (int i = 0; i < 4; ++i)
        placed.push_back(entities().createEntity("Entity", {1000.0f + 10.0f * static_cast<float>(i), 0.0f, 1000.0f})->getPosition());
    frame(false, true, false, {0.3f, 0.0f});
    EXPECT_EQ(cursor().getSelectedEntity(), nullptr);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(entities().getEntity(i)->getPosition(), placed[static_cast<std::size_t>(i)]) << "nothing else moved";
    frame(false, false, true, {0.3f, 0.0f});
}

