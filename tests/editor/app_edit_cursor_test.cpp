#include "editor_fixture.h"

#include "editor/app_edit_cursor.h"
#include "entities/app_entt_main.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "math/qr_math_random.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <numbers>

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
