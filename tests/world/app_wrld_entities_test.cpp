#include "entity_world_fixture.h"

#include "entities/app_entt_main.h"
#include "environment/app_envr_block.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_vector.h"
#include "world/app_wrld_hud.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <utility>

namespace {

// Writes its name into a shared journal on every update and draw; may run an action in update.
class JournalEntity : public APPENTTMain {
public:
    JournalEntity(QRObject* owner, const Vector3& position, std::string name, std::vector<std::string>* journal)
        : APPENTTMain(owner, position), journal_(journal)
    {
        setName(name);
    }

    void update() override
    {
        journal_->push_back(getName());
        // The action may destroy this entity: nothing of it is touched afterwards.
        if (auto run = action)
            run();
    }
    void render() override { journal_->push_back("render " + getName()); }
    void renderEditor() override { journal_->push_back("editor " + getName()); }
    float getBoundingRadius() const override { return radius; }

    std::function<void()> action;
    float radius = 0.0f;

private:
    std::vector<std::string>* journal_;
};

class EntityListTest : public EntityWorldFixture {
protected:
    JournalEntity* place(const std::string& name, const Vector3& position)
    {
        auto entity = qrNew<JournalEntity>(&entities(), position, name, &journal_);
        JournalEntity* raw = entity.get();
        placed_[name] = std::move(entity);
        return raw;
    }
    // The centre of global block (x, z).
    static Vector3 blockCentre(int x, int z) { return {160.0f * x + 80.0f, 0.0f, 160.0f * z + 80.0f}; }
    static std::string blockName(int x, int z) { return std::to_string(x) + "," + std::to_string(z); }

    ~EntityListTest() override { placed_.clear(); }

    std::vector<std::string> journal_;
    std::map<std::string, QROwned<JournalEntity>> placed_;
};

} // namespace

TEST_F(EntityListTest, UpdateNearCameraTouchesExactlyTheThreeByThreeBlocksAround)
{
    for (int x = 0; x < 16; ++x)
        for (int z = 0; z < 16; ++z)
            place(blockName(x, z), blockCentre(x, z));

    struct Case {
        Vector3 camera;
        int firstX, lastX, firstZ, lastZ;  // an empty range when first > last
        const char* why;
    };
    const Case cases[] = {
        {blockCentre(5, 7), 4, 6, 6, 8, "inside the world"},
        {{10.0f, 4.0f, 10.0f}, 0, 1, 0, 1, "a corner: blocks outside are skipped"},
        {{2550.0f, 4.0f, 2550.0f}, 14, 15, 14, 15, "the far corner"},
        {{-100.0f, 4.0f, -100.0f}, 0, 1, 0, 1, "just outside: divisions truncate toward zero"},
        {{-800.0f, 4.0f, 80.0f}, 0, 1, 0, 1, "far outside: the window stays on the nearest edge blocks"},
        {{3000.0f, 4.0f, 1300.0f}, 14, 15, 7, 9, "beyond the far edge"},
        {{1300.0f, 4.0f, 639.0f}, 7, 9, 2, 4, "next to an area border"},
    };
    for (const Case& c : cases) {
        world().getCamera()->setPosition(c.camera);
        journal_.clear();
        entities().updateNearCamera();
        std::vector<std::string> expected;
        for (int x = c.firstX; x <= c.lastX; ++x)
            for (int z = c.firstZ; z <= c.lastZ; ++z)
                expected.push_back(blockName(x, z));
        EXPECT_EQ(journal_, expected) << c.why;
    }
}

TEST_F(EntityListTest, UpdatesRunFromTheLastEntryAndSurviveRemovalsAndMoves)
{
    world().getCamera()->setPosition(blockCentre(5, 5));
    JournalEntity* first = place("first", blockCentre(5, 5));
    place("second", blockCentre(5, 5));
    JournalEntity* third = place("third", blockCentre(5, 5));
    place("fourth", blockCentre(5, 5));
    // The third takes the first out of the world and then itself.
    third->action = [this] {
        placed_.erase("first");
        placed_.erase("third");
    };
    ASSERT_EQ(first->getBlock()->getEntityCount(), 4);

    // Each is updated once in the frame, whichever way it moves: "forward" walks into a block
    // visited later, "backward" into one visited before.
    JournalEntity* forward = place("forward", blockCentre(4, 4));
    forward->action = [forward] { forward->setPosition(blockCentre(6, 6)); };
    JournalEntity* backward = place("backward", blockCentre(6, 6));
    backward->action = [backward] { backward->setPosition(blockCentre(4, 4)); };

    entities().updateNearCamera();
    EXPECT_EQ(journal_, (std::vector<std::string>{"forward", "fourth", "third", "second", "backward"}));
    EXPECT_EQ(placed_.count("first"), 0u);
}

TEST_F(EntityListTest, DrawingCullsByBlockAndShadowPassSkipsNonCasters)
{
    place("ahead", {80.0f, 0.0f, 300.0f});
    place("behind", {80.0f, 0.0f, 600.0f});
    place("aside", {2000.0f, 0.0f, 300.0f});
    place("unshadowed", {100.0f, 0.0f, 250.0f})->setCastsShadow(false);
    world().getCamera()->setPosition({80.0f, 10.0f, 400.0f});
    world().getCamera()->apply();

    entities().render();
    EXPECT_EQ(journal_, (std::vector<std::string>{"render ahead", "render unshadowed"}));
    journal_.clear();
    entities().renderShadowCasters();
    EXPECT_EQ(journal_, (std::vector<std::string>{"render ahead"}));
}

TEST_F(EntityListTest, PapersAreCountedAndTheEditorDrawsEveryEntity)
{
    entities().createEntity("Paper", {10.0f, 0.0f, 10.0f});
    entities().createEntity("Paper", {2000.0f, 0.0f, 2000.0f});
    APPENTTMain* third = entities().createEntity("Paper", {700.0f, 0.0f, 10.0f});
    entities().createEntity("Ad", {10.0f, 0.0f, 10.0f});
    entities().createEntity("paper", {10.0f, 0.0f, 10.0f});
    EXPECT_EQ(entities().countPapers(), 3);
    third->removeFromWorld();
    EXPECT_EQ(entities().countPapers(), 2);
    EXPECT_EQ(entities().getPaperCount(), 2);

    // Out of every view, and still each of the four left gets its marker box in the editor.
    world().getCamera()->setPosition({-1000.0f, 0.0f, -1000.0f});
    world().getCamera()->apply();
    gl_.clearCalls();
    entities().renderEditor();
    const auto& calls = gl_.calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "glBegin(GL_QUADS)"), 4);
}

TEST_F(EntityListTest, AnEntityOutsideTheWorldStandsInTheNearestEdgeBlockAndStillUpdates)
{
    struct Case {
        Vector3 position;
        int blockX, blockZ;
    };
    const Case cases[] = {
        {{-30.0f, 0.0f, 1300.0f}, 0, 8},   {{2600.0f, 5.0f, 1300.0f}, 15, 8}, {{1300.0f, 0.0f, -0.5f}, 8, 0},
        {{1300.0f, 0.0f, 9000.0f}, 8, 15}, {{-700.0f, 40.0f, -700.0f}, 0, 0}, {{2560.0f, 0.0f, 2560.0f}, 15, 15},
    };
    for (const Case& c : cases) {
        JournalEntity* outside = place("outside", c.position);
        const APPENVRBlock* expected =
            environment().getBlock(c.blockX / 4, c.blockZ / 4, c.blockX % 4, c.blockZ % 4);
        EXPECT_EQ(outside->getBlock(), expected) << c.position.x << ", " << c.position.z;
        // The camera behind him is farther outside still.
        world().getCamera()->setPosition(c.position * 1.01f);
        journal_.clear();
        entities().updateNearCamera();
        EXPECT_EQ(journal_, std::vector<std::string>{"outside"}) << c.position.x << ", " << c.position.z;
        // Moving about out there keeps it in the same block.
        outside->setPosition(c.position + Vector3{-5.0f, 0.0f, -5.0f} * (c.position.x < 0.0f ? 1.0f : -1.0f));
        EXPECT_EQ(outside->getBlock(), expected);
        placed_.erase("outside");
    }
}

TEST_F(EntityListTest, ARemovalDuringTheUpdateWaitsForTheEndOfThePass)
{
    world().getCamera()->setPosition(blockCentre(5, 5));
    JournalEntity* remover = place("remover", blockCentre(4, 4));
    // Through the list, as every game entity goes: visited later in the pass, in another block.
    APPENTTMain* victim = entities().createEntity("Paper", blockCentre(6, 6));
    const std::uint64_t serial = victim->getSerial();
    const int before = entities().getEntityCount();
    remover->action = [&] {
        entities().removeEntity(victim);
        // Its caller may still look at it: out of the world, but not freed under it.
        EXPECT_TRUE(entities().isUpdating());
        EXPECT_TRUE(victim->isDetached());
        EXPECT_EQ(victim->getSerial(), serial);
        EXPECT_EQ(victim->getBlock(), nullptr);
        victim->setPosition(blockCentre(4, 4));
        EXPECT_EQ(victim->getBlock(), nullptr) << "it does not come back into a block";
        EXPECT_EQ(entities().getEntityCount(), before - 1);
        EXPECT_EQ(entities().getPaperCount(), 0);
    };
    entities().updateNearCamera();
    EXPECT_EQ(journal_, std::vector<std::string>{"remover"});
    EXPECT_EQ(entities().getEntityCount(), before - 1);
    EXPECT_FALSE(entities().isUpdating());
}

TEST_F(EntityListTest, EachEntityDrawsAndCastsByItsOwnBounds)
{
    // Looking level from 200 units up, the terrain within 480 units ahead is below the view: no
    // block's box is in sight, yet what flies or reaches up there is.
    world().getCamera()->setPosition({800.0f, 200.0f, 1500.0f});
    world().getCamera()->setOrientation(QRMATHQuaternion::fromRotationY(30.0f));
    world().getCamera()->apply();
    struct Case {
        const char* name;
        Vector3 ahead; // along the view: x right, y up, z forward
        float radius;
        bool casts;
        bool drawn;
    };
    const Case cases[] = {
        {"flying high over the ground", {10.0f, -5.0f, 100.0f}, 0.0f, true, true},
        {"a tall model beside the view", {120.0f, -150.0f, 100.0f}, 220.0f, true, true},
        {"the same, reaching short", {120.0f, -150.0f, 100.0f}, 20.0f, true, false},
        {"behind the eye", {0.0f, 0.0f, -30.0f}, 5.0f, true, false},
        {"in sight, casting no shadow", {-10.0f, 5.0f, 60.0f}, 1.0f, false, true},
    };
    const Quaternion view = world().getCamera()->getOrientation();
    for (const Case& c : cases) {
        const Vector3 offset = QRMATHQuaternion::rotateVector(view, {c.ahead.x, c.ahead.y, -c.ahead.z});
        JournalEntity* entity = place(c.name, world().getCamera()->getPosition() + offset);
        entity->radius = c.radius;
        entity->setCastsShadow(c.casts);
    }
    entities().render();
    std::vector<std::string> shadow;
    for (const Case& c : cases) {
        const bool drawn = std::find(journal_.begin(), journal_.end(), std::string("render ") + c.name) != journal_.end();
        EXPECT_EQ(drawn, c.drawn) << c.name;
        if (c.drawn && c.casts)
            shadow.push_back(std::string("render ") + c.name);
    }
    journal_.clear();
    entities().renderShadowCasters();
    std::sort(journal_.begin(), journal_.end());
    std::sort(shadow.begin(), shadow.end());
    EXPECT_EQ(journal_, shadow);
}

TEST_F(EntityListTest, TheHudsPaperTotalFollowsTheWorld)
{
    APPENTTMain* first = entities().createEntity("Paper", {10.0f, 0.0f, 10.0f});
    EXPECT_EQ(world().getHUD()->getPapersInWorld(), 1);
    entities().createEntity("Paper", {900.0f, 0.0f, 10.0f});
    entities().createEntity("Ad", {900.0f, 0.0f, 10.0f});
    EXPECT_EQ(world().getHUD()->getPapersInWorld(), 2);
    first->removeFromWorld();
    EXPECT_EQ(world().getHUD()->getPapersInWorld(), 1);
    world().getHUD()->setPapersInWorld(7);
    entities().beginPlay();
    EXPECT_EQ(world().getHUD()->getPapersInWorld(), 1) << "counted when game mode starts";
    entities().endPlay();
}

