#include "entity_world_fixture.h"

#include "core/qr_time_main.h"
#include "entities/app_entt_character.h"

#include <gtest/gtest.h>

namespace {

class RecordingCharacter : public APPENTTCharacter {
public:
    using APPENTTCharacter::APPENTTCharacter;

    void onHurt() override { events.push_back("hurt"); }
    void onDeath() override { events.push_back("death"); }
    void onWalking() { events.push_back("walking at " + std::to_string(getStateTime())); }
    void onJumping() { events.push_back("jumping " + std::to_string(getStateId())); }

    std::vector<std::string> events;
};

class CharacterTest : public EntityWorldFixture {
protected:
    QROwned<RecordingCharacter> make() { return qrNew<RecordingCharacter>(&entities(), Vector3{10.0f, 0.0f, 10.0f}); }
};

} // namespace

TEST_F(CharacterTest, DamageBelowOneHitPointKills)
{
    struct Case {
        int health;
        int damage;
        int left;
        const char* event;
    };
    const Case cases[] = {{5, 5, 0, "death"}, {6, 5, 1, "hurt"}, {-1, 1, -2, "death"}, {100, -10, 110, "hurt"}};
    for (const Case& c : cases) {
        auto character = make();
        if (c.health != -1)
            character->setHealth(c.health);
        character->damage(c.damage);
        EXPECT_EQ(character->getHealth(), c.left) << c.health << " - " << c.damage;
        EXPECT_EQ(character->events, (std::vector<std::string>{c.event})) << c.health << " - " << c.damage;
    }
}

TEST_F(CharacterTest, EachUpdateAdvancesTheStateTimerThenRunsTheState)
{
    auto character = make();
    EXPECT_TRUE(character->isStateHandler(&APPENTTCharacter::onDefaultState,
                                          static_cast<const APPENTTCharacter*>(character.get())));
    qrTime()->setDelta(0.25f);
    character->update();
    character->update();
    EXPECT_FLOAT_EQ(character->getStateTime(), 0.5f);
    EXPECT_TRUE(character->events.empty());

    character->setStateId(4);
    character->setStateHandler(&RecordingCharacter::onWalking, character.get());
    EXPECT_EQ(character->getStateTime(), 0.0f) << "a switch restarts the timer";
    EXPECT_EQ(character->getStateId(), 0) << "and the sub-state";
    character->update();
    character->update();
    character->setStateHandler(&RecordingCharacter::onJumping, character.get());
    character->setStateId(2);
    character->update();
    EXPECT_TRUE(character->isStateHandler(&RecordingCharacter::onJumping, character.get()));
    EXPECT_EQ(character->events, (std::vector<std::string>{"walking at " + std::to_string(0.25f),
                                                           "walking at " + std::to_string(0.5f), "jumping 2"}));
}
