#include "entity_world_fixture.h"

#include "entities/app_entt_actor.h"
#include "entities/app_entt_editform.h"
#include "entities/app_entt_main.h"
#include "environment/app_envr_block.h"
#include "file/qr_file_file.h"
#include "visual/geometry/qr_visx_model.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <map>
#include <typeinfo>

namespace {

// An attribute window that keeps what it is given and answers OK or Cancel as told.
class FakeEditForm : public APPENTTEditForm {
public:
    void hideAllTabs() override { tabs.clear(); }
    void showTab(std::string_view tab) override { tabs.emplace_back(tab); }
    void setText(std::string_view control, const std::string& text) override { texts[std::string(control)] = text; }
    std::string getText(std::string_view control) const override
    {
        const auto found = texts.find(std::string(control));
        return found == texts.end() ? std::string() : found->second;
    }
    void setChecked(std::string_view control, bool checked) override { checks[std::string(control)] = checked; }
    bool isChecked(std::string_view control) const override
    {
        const auto found = checks.find(std::string(control));
        return found != checks.end() && found->second;
    }
    // The user's edits happen while the window is shown.
    bool showModal() override
    {
        if (user)
            user(*this);
        return answerOK;
    }

    std::vector<std::string> tabs;
    std::map<std::string, std::string> texts;
    std::map<std::string, bool> checks;
    std::function<void(FakeEditForm&)> user;
    bool answerOK = true;
};

class EntityTest : public EntityWorldFixture {
protected:
    bool blockHolds(const APPENVRBlock* block, const APPENTTMain* entity) const
    {
        int found = 0;
        for (int i = 0; i < block->getEntityCount(); ++i)
            found += block->getEntity(i) == entity ? 1 : 0;
        return found == 1;
    }

    // A 4 x 4 square at height 1 around the model's origin, as two triangles.
    QROwned<QRVISXModel> makeFloorModel()
    {
        auto model = qrNew<QRVISXModel>(nullptr);
        model->setLodCount(1);
        QRVISXVertexBuffer* buffer = model->getLod(0)->createVertexBuffer();
        buffer->setPrimitive(true, GL_TRIANGLES);
        buffer->create(4, 6);
        const Vector3 corners[] = {{-2, 1, -2}, {2, 1, -2}, {2, 1, 2}, {-2, 1, 2}};
        for (int i = 0; i < 4; ++i)
            buffer->setVertexPosition(i, corners[i]);
        const int indices[] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; ++i)
            buffer->setIndex(i, indices[i]);
        model->getLod(0)->updateBounds();
        return model;
    }
};

} // namespace

TEST_F(EntityTest, CreationByTypeNameGivesTheTypeRegisteredInItsBlock)
{
    struct Case {
        const char* name;
        const char* typeName;
        bool transient;
        bool plain;
        bool shadow = true;
        float size = 1.0f;
    };
    // Names are compared exactly; projectiles write "Actor" and particle effects "Entity", names
    // that creation gives plain entities for.
    const Case cases[] = {
        {"Entity", "Entity", false, true},          {"EnvironmentModel", "EnvironmentModel", false, false},
        {"Kip", "Kip", false, false},               {"Ad", "Ad", false, false},
        {"Paper", "Paper", false, false},           {"CoderMonkey", "CoderMonkey", false, false},
        {"RedStreak", "Actor", true, false, false}, {"Pickup", "Entity", true, false, false},
        {"Sprite", "Entity", true, false, false},   {"Explosion", "Entity", true, false, false},
        {"Banana", "Actor", true, false, true, 0.4f}, {"entity", "Entity", false, true},
        {"Actor", "Entity", false, true},           {"", "Entity", false, true},
        {"Dragon", "Entity", false, true},
    };
    const Vector3 position{500.0f, 3.0f, 900.0f};
    const APPENVRBlock* block = environment().getBlock(0, 1, 3, 1);
    for (const Case& c : cases) {
        APPENTTMain* entity = entities().createEntity(c.name, position);
        ASSERT_NE(entity, nullptr) << c.name;
        EXPECT_EQ(entity->getTypeName(), c.typeName) << c.name;
        EXPECT_EQ(entity->isTransient(), c.transient) << c.name;
        EXPECT_EQ(typeid(*entity) == typeid(APPENTTMain), c.plain) << c.name;
        EXPECT_EQ(entity->getName(), "Entity");
        EXPECT_EQ(entity->getPosition(), position);
        EXPECT_EQ(entity->getSize(), c.size) << c.name;
        EXPECT_EQ(entity->castsShadow(), c.shadow) << c.name;
        EXPECT_EQ(entity->getBlock(), block) << c.name;
        EXPECT_TRUE(blockHolds(block, entity)) << c.name;
        EXPECT_EQ(entities().getEntity(entities().getEntityCount() - 1), entity);
    }
    EXPECT_EQ(block->getEntityCount(), static_cast<int>(std::size(cases)));
}

TEST_F(EntityTest, RegistrationFollowsTheEntityAcrossBlockAndAreaBorders)
{
    struct Step {
        Vector3 to;
        int ax, az, bx, bz;
        const char* why;
    };
    const Step steps[] = {
        {{150.0f, 0.0f, 20.0f}, 0, 0, 0, 0, "moved within its block"},
        {{160.0f, 9.0f, 20.0f}, 0, 0, 0, 0, "exactly on the border stays"},
        {{160.5f, 0.0f, 20.0f}, 0, 0, 1, 0, "across a block border"},
        {{639.5f, 0.0f, 20.0f}, 0, 0, 3, 0, "two blocks on"},
        {{640.0f, 0.0f, 20.0f}, 0, 0, 3, 0, "on the area border stays"},
        {{641.0f, 0.0f, 20.0f}, 1, 0, 0, 0, "across an area border"},
        {{641.0f, 0.0f, 650.0f}, 1, 1, 0, 0, "across both at once"},
        {{-10.0f, 0.0f, 650.0f}, 0, 1, 0, 0, "outside the world: the nearest edge block"},
    };
    APPENTTMain* entity = entities().createEntity("Entity", {80.0f, 0.0f, 80.0f});
    const APPENVRBlock* previous = environment().getBlock(0, 0, 0, 0);
    ASSERT_EQ(entity->getBlock(), previous);
    for (const Step& step : steps) {
        entity->setPosition(step.to);
        const APPENVRBlock* expected = environment().getBlock(step.ax, step.az, step.bx, step.bz);
        EXPECT_EQ(entity->getBlock(), expected) << step.why;
        EXPECT_TRUE(blockHolds(expected, entity)) << step.why;
        if (previous != expected) {
            EXPECT_EQ(previous->getEntityCount(), 0) << step.why;
        }
        previous = expected;
    }

    entity->removeFromWorld();
    EXPECT_EQ(previous->getEntityCount(), 0) << "a destroyed entity leaves its block";
    EXPECT_EQ(entities().getEntityCount(), 0);
}

TEST_F(EntityTest, ARecordReadPastTheEndChangesNothingAndReportsTheFileError)
{
    // Position alone: the orientation and size are missing.
    programFolder().write("short.record", std::string(12, '\0'));
    auto file = qrNew<QRFILEFile>(nullptr);
    ASSERT_TRUE(file->open("short.record", QRFileAccess::Read, QRFileType::Binary, true));
    APPENTTMain* entity = entities().createEntity("Entity", {80.0f, 1.0f, 80.0f});

    const std::size_t boxesBefore = shownBoxes().size();
    EXPECT_FALSE(entity->load(*file));
    ASSERT_EQ(shownBoxes().size(), boxesBefore + 1);
    EXPECT_NE(shownBoxes().back().find("Error on reading data from stream"), std::string::npos);
    EXPECT_NE(logText().find("Method: read"), std::string::npos);
    EXPECT_EQ(entity->getPosition(), (Vector3{80.0f, 1.0f, 80.0f}));
    EXPECT_EQ(entity->getSize(), 1.0f);
}

TEST_F(EntityTest, AttributesAreTakenBackOnlyWhenTheWindowClosesWithOK)
{
    auto actor = qrNew<APPENTTActor>(&entities(), Vector3{10.0f, 2.5f, 20.0f});
    FakeEditForm form;
    form.tabs = {"Hero"};
    form.answerOK = false;
    form.user = [](FakeEditForm& shown) { shown.texts["EMainPositionX"] = "999"; };
    EXPECT_FALSE(actor->editAttributes(form));
    EXPECT_EQ(form.tabs, (std::vector<std::string>{"Main", "Actor"})) << "every other tab is hidden";
    EXPECT_EQ(form.texts["EMainPositionY"], "2.50");
    EXPECT_EQ(form.texts["EMainSize"], "1.00");
    EXPECT_EQ(form.texts["EActorHealth"], "-1");
    EXPECT_TRUE(form.checks["CBActorTargetable"]);
    EXPECT_EQ(actor->getPosition(), (Vector3{10.0f, 2.5f, 20.0f})) << "cancelled";

    form.answerOK = true;
    form.user = [](FakeEditForm& shown) {
        shown.texts["EMainName"] = "Signpost";
        shown.texts["EMainSize"] = "2.5";
        shown.texts["EActorHealth"] = "40";
        shown.checks["CBActorTargetable"] = false;
        shown.texts["EMainPositionX"] = "700";
    };
    ASSERT_TRUE(actor->editAttributes(form));
    EXPECT_EQ(actor->getName(), "Signpost");
    EXPECT_EQ(actor->getSize(), 2.5f);
    EXPECT_EQ(actor->getHealth(), 40);
    EXPECT_FALSE(actor->isTargetable());
    EXPECT_EQ(actor->getPosition().x, 700.0f);
    EXPECT_EQ(actor->getBlock(), environment().getBlock(1, 0, 0, 0)) << "the new position moves its registration";
}

TEST_F(EntityTest, ModelGroundHeightIsTheHighestSceneryHitBelowThePoint)
{
    auto floor = makeFloorModel();
    APPENTTMain* low = entities().createEntity("EnvironmentModel", {80.0f, 0.0f, 80.0f});
    low->setModel(floor.get());
    APPENTTMain* high = entities().createEntity("EnvironmentModel", {80.0f, 5.0f, 80.0f});
    high->setModel(floor.get());
    high->setSize(2.0f);
    // Only scenery counts, whatever else stands there with a model.
    APPENTTMain* other = entities().createEntity("Entity", {80.0f, 50.0f, 80.0f});
    other->setModel(floor.get());

    struct Case {
        Vector3 point;
        float expected;
        const char* why;
    };
    const Case cases[] = {
        {{80.5f, 20.0f, 80.5f}, 7.0f, "above both: the higher surface"},
        {{80.5f, 4.0f, 80.5f}, 1.0f, "below the higher one: only the lower is hit"},
        {{80.5f, 0.5f, 80.5f}, -999999.0f, "below both"},
        {{84.5f, 20.0f, 80.0f}, -999999.0f, "beyond the model's radius"},
        {{400.0f, 20.0f, 400.0f}, -999999.0f, "a block without scenery"},
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(entities().modelGroundHeight(c.point), c.expected) << c.why;

    Vector3 hit;
    ASSERT_TRUE(high->hitTest({81.0f, 30.0f, 79.0f}, hit));
    EXPECT_FLOAT_EQ(hit.y, 7.0f);
    EXPECT_FALSE(high->hitTest({83.5f, 30.0f, 80.0f}, hit)) << "the horizontal pre-test ignores the size";
    low->setModel(nullptr);
    high->setModel(nullptr);
    other->setModel(nullptr);
}

// Scenery far from the eye draws its model's level "far": by the distance in space (a high eye
// counts), in proportion to its size, never under an orthographic camera, and only where the
// model has such a level.
TEST_F(EntityTest, FarSceneryDrawsTheFarLevelWhereItsModelHasOne)
{
    auto model = qrNew<QRVISXModel>(nullptr);
    model->setLodCount(3);
    model->getLod(1)->setName("walking");
    model->getLod(2)->setName("far");
    auto plain = qrNew<QRVISXModel>(nullptr);
    plain->setLodCount(2);
    const float reach = APPENTTMain::kFarModelDistance;
    const Vector3 at{1000.0f, 20.0f, 1000.0f};
    struct Case {
        const char* what;
        Vector3 eye;
        float size;
        bool orthographic;
        const QRVISXModel* model;
        int level;
    };
    const Case cases[] = {
        {"near, oblique", {1000.0f + 0.6f * reach, 20.0f + 0.7f * reach, 1000.0f - 0.3f * reach}, 1.0f, false, model.get(), 0},
        {"far along the ground", {1000.0f - 1.01f * reach, 20.0f, 1000.0f}, 1.0f, false, model.get(), 2},
        {"far only with the height", {1000.0f + 0.6f * reach, 20.0f + 0.9f * reach, 1000.0f}, 1.0f, false, model.get(), 2},
        {"twice the size counts twice the distance", {1000.0f - 1.5f * reach, 20.0f, 1000.0f}, 2.0f, false, model.get(), 0},
        {"orthographic, far off", {1000.0f - 3.0f * reach, 20.0f, 1000.0f}, 1.0f, true, model.get(), 0},
        {"no level named far", {1000.0f - 3.0f * reach, 20.0f, 1000.0f}, 1.0f, false, plain.get(), 0},
    };
    QRVISXCamera3D& camera = *visual_->getCameraManager()->get3DCamera();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        camera.setOrthographic(c.orthographic);
        camera.setPosition(c.eye);
        EXPECT_EQ(APPENTTMain::levelToDraw(*c.model, at, c.size), c.level);
    }
}
