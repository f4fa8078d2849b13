#include "entity_world_fixture.h"

#include "entities/app_entt_main.h"
#include "environment/app_envr_block.h"

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

    std::function<void()> action;

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
        {{-800.0f, 4.0f, 80.0f}, 1, 0, 1, 0, "far outside: nothing"},
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

    // Visited after (4, 4): updated again there. (6, 6) is visited last, so the one leaving it
    // for (4, 4) is not.
    JournalEntity* forward = place("forward", blockCentre(4, 4));
    forward->action = [forward] { forward->setPosition(blockCentre(6, 6)); };
    JournalEntity* backward = place("backward", blockCentre(6, 6));
    backward->action = [backward] { backward->setPosition(blockCentre(4, 4)); };

    entities().updateNearCamera();
    EXPECT_EQ(journal_, (std::vector<std::string>{"forward", "fourth", "third", "second", "forward", "backward"}));
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
