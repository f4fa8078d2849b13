#include "editor_fixture.h"

#include "editor/app_edit_cursor.h"
#include "editor/app_edit_history.h"
#include "entities/app_entt_main.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "file/qr_file_file.h"
#include "math/qr_math_vector.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

namespace {

template <class T>
void appendBytes(std::vector<std::uint8_t>& bytes, const T& value)
{
    const auto* first = reinterpret_cast<const std::uint8_t*>(&value);
    bytes.insert(bytes.end(), first, first + sizeof(T));
}

class HistoryTest : public EditorFixture {
protected:
    HistoryTest()
    {
        editor().getHistory()->addListener([this](const APPEDITEdit& edit) { edits_.push_back(edit); });
    }

    // Everything an area file holds (each block's record as its save writes it, grids, boxes), the
    // culling boxes, and the entities' names in block order.
    std::vector<std::uint8_t> captureWorld()
    {
        std::vector<std::uint8_t> bytes;
        for (int x = 0; x < APPENVRMain::kStoredVertexCount; ++x)
            for (int z = 0; z < APPENVRMain::kStoredVertexCount; ++z)
                appendBytes(bytes, environment().getVertex(x, z));
        for (int x = 0; x < APPENVRMain::kCellCount; ++x)
            for (int z = 0; z < APPENVRMain::kCellCount; ++z)
                appendBytes(bytes, environment().getGroundCell(x, z));
        for (int ax = 0; ax < 4; ++ax) {
            for (int az = 0; az < 4; ++az) {
                const APPENVRArea& area = *environment().getArea(ax, az);
                appendBytes(bytes, area.getBounds());
                for (int bx = 0; bx < 4; ++bx) {
                    for (int bz = 0; bz < 4; ++bz) {
                        const APPENVRBlock& block = *area.getBlock(bx, bz);
                        QRFILEFile file(nullptr);
                        file.openForMemoryWriting(QRFileType::Binary, "capture");
                        EXPECT_TRUE(block.save(file));
                        const auto written = file.copyToMemory();
                        bytes.insert(bytes.end(), written->getBytes().begin(), written->getBytes().end());
                        appendBytes(bytes, block.getCullingBounds());
                        for (int i = 0; i < block.getEntityCount(); ++i) {
                            const std::string& name = block.getEntity(i)->getName();
                            bytes.insert(bytes.end(), name.begin(), name.end());
                        }
                    }
                }
            }
        }
        return bytes;
    }

    // A mismatch in 7 MB of bytes is told by where it starts.
    static void expectSame(const std::vector<std::uint8_t>& actual, const std::vector<std::uint8_t>& expected,
                           const char* what)
    {
        ASSERT_EQ(actual.size(), expected.size()) << what;
        const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin());
        EXPECT_TRUE(a == actual.end()) << what << ": first difference at byte " << (a - actual.begin());
    }

    void removeAllEntities()
    {
        while (entities().getEntityCount() > 0)
            entities().removeEntity(entities().getEntity(0));
    }

    APPENTTMain* entityAt(const Vector3& at, float aboveGround, const char* type = "Entity")
    {
        return entities().createEntity(type, {at.x, environment().getHeight(at) + aboveGround, at.z});
    }

    void drag(int tool, std::initializer_list<Vector2> offsets)
    {
        cursor().setTool(tool);
        frame(true, true, false);
        for (const Vector2& offset : offsets)
            frame(false, true, false, offset);
        frame(false, false, true, *(offsets.end() - 1));
    }

    void tab()
    {
        APPEDITInput input;
        input.aspect = 640.0f / 480.0f;
        input.tabPressed = true;
        cursor().update(input);
    }

    APPEDITHistory& history() { return *editor().getHistory(); }

    std::vector<APPEDITEdit> edits_;
};

// (401, 401.5) is in block (2, 2) of area (0, 0); (478, 401.5) lies 2 units before block (3, 2).
constexpr Vector3 kTarget{401.0f, 0.0f, 401.5f};
constexpr Vector3 kNearBorder{478.0f, 0.0f, 401.5f};

} // namespace

TEST_F(HistoryTest, EveryEditUndoesToTheWorldBeforeAndRedoesToTheWorldAfter)
{
    const auto folder = programFolder().path() / "textures" / "heightmaps";
    std::filesystem::create_directories(folder);
    QImage heights(640, 640, QImage::Format_RGB888);
    for (int x = 0; x < 640; ++x)
        for (int z = 0; z < 640; ++z)
            heights.setPixelColor(x, z, QColor((x + z) % 256, 0, 0));
    ASSERT_TRUE(heights.save(QString::fromStdString((folder / "heightmap.png").string())));
    QImage ground(160, 160, QImage::Format_RGB888);
    ground.fill(QColor(192, 0, 0));
    ASSERT_TRUE(ground.save(QString::fromStdString((folder / "groundmap.png").string())));
    // A slope, and a street along X just north of the target cell (25, 25).
    for (int x = 0; x < 200; ++x)
        for (int z = 0; z < 200; ++z)
            environment().setHeight(x, z, 0.25f * static_cast<float>(x));
    environment().updateNormals();
    environment().updateBounds();
    for (int x = 24; x <= 26; ++x)
        environment().setStreet(x, 26);
    environment().updateStreets();

    APPENTTMain* entity = nullptr;
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::function<void()> act;
    };
    const Case cases[] = {
        {"Raise Terrain", [] {}, [&] { drag(APPEDITCursor::RaiseTerrain, {{0.0f, 0.0f}, {0.0f, 0.0f}}); }},
        {"Make Smooth", [] {}, [&] { drag(APPEDITCursor::SmoothTerrain, {{0.0f, 0.0f}, {0.05f, 0.0f}}); }},
        // The new street turns its neighbour into a T piece, which the step must hold as well.
        {"Set Street", [] {}, [&] { drag(APPEDITCursor::SetStreet, {{0.0f, 0.0f}, {0.0f, -0.1f}}); }},
        {"Set Ground Type", [&] { tools_.groundType = 1; }, [&] { drag(APPEDITCursor::SetGroundType, {{0.0f, 0.0f}}); }},
        {"Delete Street", [] {}, [&] { drag(APPEDITCursor::DeleteStreet, {{0.0f, 0.0f}}); }},
        {"Import Heightmap for Block", [] {}, [&] { drag(APPEDITCursor::ImportHeightmap, {{0.0f, 0.0f}}); }},
        {"Import Ground Map for Block", [] {}, [&] { drag(APPEDITCursor::ImportGroundmap, {{0.0f, 0.0f}}); }},
        {"Create new Entity",
         [&] {
             tools_.actor = 2;
             tools_.rotation = 90;
             // Above the imported heights: over nothing but sky nothing is created.
             lookDownAt({kTarget.x, 150.0f, kTarget.z});
         },
         [&] { drag(APPEDITCursor::CreateEntity, {{0.0f, 0.0f}}); }},
        {"Move Entity",
         [&] {
             removeAllEntities();
             lookDownAt(kNearBorder);
             entity = entityAt(kNearBorder, 2.0f);
         },
         // Into the next block.
         [&] { drag(APPEDITCursor::MoveEntity, {{0.1f, 0.0f}, {0.3f, 0.1f}}); }},
        {"Rotate",
         [&] {
             removeAllEntities();
             // Above the imported heights.
             lookDownAt({kTarget.x, 150.0f, kTarget.z});
             entity = entityAt(kTarget, 0.0f);
         },
         [&] {
             cursor().setTool(APPEDITCursor::RotateEntity);
             pixelFrame({100, 100}, true, true, false);
             for (const int x : {125, 150, 175})
                 pixelFrame({x, 100}, false, true, false);
             pixelFrame({175, 100}, false, false, true);
         }},
        {"Rotate", [&] { cursor().setTool(APPEDITCursor::None); }, [&] { tab(); }},
        {"Place on Ground", [&] { entity->setPosition(entity->getPosition() + Vector3{0.0f, 3.0f, 0.0f}); },
         [&] { drag(APPEDITCursor::PlaceOnGround, {{0.0f, 0.0f}}); }},
        {"Edit Entity",
         [&] {
             form_.edit = [](FakeEditForm& form) {
                 form.texts["EMainName"] = "Renamed";
                 form.texts["EMainSize"] = "2.5";
             };
         },
         [&] { drag(APPEDITCursor::EditEntity, {{0.0f, 0.0f}}); }},
        // The deleted entity comes back in the middle of its block's list, where the file had it.
        {"Delete",
         [&] {
             removeAllEntities();
             entityAt(kTarget + Vector3{20.0f, 0.0f, 0.0f}, 0.0f, "Ad");
             entity = entityAt(kTarget, 0.0f, "CoderMonkey");
             entity->setName("Middle");
             entityAt(kTarget + Vector3{0.0f, 0.0f, 20.0f}, 0.0f, "Paper");
         },
         [&] { drag(APPEDITCursor::DeleteEntity, {{0.0f, 0.0f}}); }},
    };
    lookDownAt(kTarget);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        const std::vector<std::uint8_t> before = captureWorld();
        edits_.clear();
        c.act();
        const std::vector<std::uint8_t> after = captureWorld();
        ASSERT_NE(before, after) << "the edit changed nothing";
        ASSERT_EQ(edits_.size(), 1u) << "one step per stroke or click";
        EXPECT_EQ(edits_[0].name, c.name);
        ASSERT_FALSE(edits_[0].areas.empty());
        EXPECT_EQ(edits_[0].areas[0].ax, 0);
        EXPECT_EQ(edits_[0].areas[0].az, 0);
        EXPECT_TRUE(host_.canUndo);

        editor().undo();
        expectSame(captureWorld(), before, "undone");
        EXPECT_EQ(host_.status[2], std::string("Undone: ") + c.name);
        EXPECT_TRUE(host_.canRedo);

        editor().redo();
        expectSame(captureWorld(), after, "redone");
        EXPECT_EQ(host_.status[2], std::string("Redone: ") + c.name);
        EXPECT_FALSE(host_.canRedo);
        ASSERT_EQ(edits_.size(), 3u);
        EXPECT_EQ(edits_[1].kind, APPEDITEdit::Undone);
        EXPECT_EQ(edits_[2].kind, APPEDITEdit::Redone);
    }
}

TEST_F(HistoryTest, UndoingACreationForgetsTheSelectionAndRedoMakesTheEntityAgain)
{
    cursor().setTool(APPEDITCursor::CreateEntity);
    tools_.actor = 1;
    click();
    ASSERT_EQ(entities().getEntityCount(), 1);
    cursor().setTool(APPEDITCursor::MoveEntity);
    frame(false, false, false);
    ASSERT_NE(cursor().getSelectedEntity(), nullptr);
    cursor().setTool(APPEDITCursor::PlaceOnGround);
    entities().getEntity(0)->setPosition(entities().getEntity(0)->getPosition() + Vector3{0.0f, 5.0f, 0.0f});
    click();
    const std::vector<std::uint8_t> placed = captureWorld();

    // Back past both steps, then forward again: the move step finds the entity redo made anew.
    editor().undo();
    editor().undo();
    EXPECT_EQ(entities().getEntityCount(), 0);
    EXPECT_EQ(cursor().getSelectedEntity(), nullptr);
    editor().redo();
    editor().redo();
    ASSERT_EQ(entities().getEntityCount(), 1);
    expectSame(captureWorld(), placed, "redone twice");
}

TEST_F(HistoryTest, ANewEditDropsTheRedoStepsAndTheHistoryKeepsItsBounds)
{
    int row = 0;
    auto paint = [&](int x, std::uint32_t word) {
        history().beginTerrain("Set Ground Type");
        environment().setGroundCell(x, row, word);
        history().commit();
    };
    paint(0, 1);
    paint(1, 1);
    history().undo();
    ASSERT_TRUE(history().canRedo());
    paint(2, 1);
    EXPECT_FALSE(history().canRedo()) << "a new edit after undo drops what could be redone";
    EXPECT_EQ(history().getStepCount(), 2);
    history().beginTerrain("Set Ground Type");
    history().commit();
    EXPECT_EQ(history().getStepCount(), 2) << "a step that changed nothing is not kept";

    history().clear();
    row = 1;
    for (int i = 0; i <= APPEDITHistory::kMaxSteps; ++i)
        paint(i % APPENVRMain::kCellCount, static_cast<std::uint32_t>(i / APPENVRMain::kCellCount + 1));
    EXPECT_EQ(history().getStepCount(), APPEDITHistory::kMaxSteps) << "the 101st step drops the first";
    for (int i = 0; i < APPEDITHistory::kMaxSteps; ++i)
        history().undo();
    EXPECT_EQ(environment().getGroundCell(0, 1), 1u) << "the first step is gone, so its cell stays painted";
    EXPECT_EQ(environment().getGroundCell(1, 1), 0u);

    // Every vertex changed: some 15 MB a step, so the byte bound keeps only the newest four.
    history().clear();
    for (int step = 1; step <= 6; ++step) {
        history().beginTerrain("Import Heightmap for Block");
        for (int x = 0; x < APPENVRMain::kStoredVertexCount; ++x)
            for (int z = 0; z < APPENVRMain::kStoredVertexCount; ++z)
                environment().setHeight(x, z, static_cast<float>(step));
        history().commit();
        EXPECT_LE(history().getByteCount(), APPEDITHistory::kMaxBytes);
    }
    EXPECT_EQ(history().getStepCount(), 4);
}

TEST_F(HistoryTest, LoadingAnAreaEmptiesTheHistory)
{
    int cleared = 0;
    history().addClearListener([&] { ++cleared; });
    cursor().setTool(APPEDITCursor::RaiseTerrain);
    click();
    ASSERT_TRUE(history().canUndo());
    environment().getArea(1, 1)->load();
    EXPECT_FALSE(history().canUndo()) << "the steps describe terrain that was replaced";
    const float raised = height(100, 100);
    EXPECT_EQ(editor().getHistory()->undo(), "");
    EXPECT_EQ(height(100, 100), raised);
    EXPECT_EQ(cleared, 1);
}

TEST_F(HistoryTest, UndoReachesAStrokeWhoseReleaseNoFrameHasSeenYet)
{
    cursor().setTool(APPEDITCursor::RaiseTerrain);
    frame(true, true, false);
    frame(false, true, false);
    ASSERT_GT(height(100, 100), 0.0f);
    ASSERT_TRUE(history().canUndo()) << "the menu item must be on while the stroke is still open";
    editor().undo();
    EXPECT_EQ(height(100, 100), 0.0f);
    EXPECT_EQ(host_.status[2], "Undone: Raise Terrain");
    frame(false, false, true);
    EXPECT_EQ(height(100, 100), 0.0f);
    EXPECT_TRUE(history().canRedo()) << "letting go afterwards records nothing new";
}

TEST_F(HistoryTest, BoxesFollowAStrokeUndoneBeforeItsReleaseThroughRedo)
{
    cursor().setTool(APPEDITCursor::RaiseTerrain);
    frame(true, true, false);
    frame(false, true, false);
    const float raised = height(100, 100);
    editor().undo();
    frame(false, false, true);
    EXPECT_EQ(environment().getBlock(0, 0, 2, 2)->getBounds().maximum.y, 0.0f);
    editor().redo();
    EXPECT_EQ(height(100, 100), raised);
    EXPECT_NEAR(environment().getBlock(0, 0, 2, 2)->getBounds().maximum.y, raised, 1e-4f) << "the block's box";
    EXPECT_NEAR(environment().getArea(0, 0)->getBounds().maximum.y, raised, 1e-4f) << "the area's box";
}
