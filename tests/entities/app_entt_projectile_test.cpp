#include "play_fixture.h"

#include "entities/app_entt_banana.h"
#include "entities/app_entt_codermonkey.h"
#include "entities/app_entt_environmentmodel.h"
#include "entities/app_entt_redstreak.h"
#include "entities/app_entt_sprite.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_vector.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ProjectileTest : public PlayFixture {
protected:
    APPENTTProjectile* launch(const char* type, const Vector3& from, const Vector3& direction)
    {
        auto* projectile = create<APPENTTProjectile>(type, from);
        projectile->setDirection(direction);
        return projectile;
    }
};

} // namespace

TEST_F(ProjectileTest, EachKindHurtsOnlyItsTargetAndStopsAtGroundAndScenery)
{
    APPENTTKip* kip = placeHero();
    auto* monkey = create<APPENTTCoderMonkey>("CoderMonkey", kHome + Vector3{40.0f, 0.0f, 0.0f});
    auto floor = floorModel();
    auto* scenery = create<APPENTTEnvironmentModel>("EnvironmentModel", kHome + Vector3{-40.0f, 2.0f, 0.0f});
    scenery->setModel(floor.get());
    const Vector3 up{0.0f, 1.0f, 0.0f};

    struct Case {
        const char* type;
        Vector3 from, direction;
        int heroHealth, monkeyHealth;
        bool ends;
        const char* sound;
        int sprites;
        const char* why;
    };
    // A frame of 0.01 s moves a banana 0.15 and a streak 0.4 units, in ten tests.
    const Vector3 down{0.0f, -1.0f, 0.0f};
    const Case cases[] = {
        {"Banana", kip->getPosition() + up, down, 95, 100, true, "sounds\\banana_impact.wav", 0, "banana hits the hero"},
        {"Banana", monkey->getPosition() + up, down, 95, 100, false, nullptr, 0, "banana passes the monkey"},
        {"RedStreak", kip->getPosition() + up, down, 95, 100, false, nullptr, 0, "streak passes the hero"},
        {"RedStreak", monkey->getPosition() + up, down, 95, 70, true, "sounds\\impact.wav", 1, "streak hits the monkey"},
        {"RedStreak", kHome + Vector3{0.0f, -0.5f, 20.0f}, down, 95, 70, true, "sounds\\impact.wav", 1,
         "starting below the ground"},
        {"Banana", kHome + Vector3{-40.0f, 3.02f, 0.0f}, down, 95, 70, true, "sounds\\banana_impact.wav", 0,
         "falling onto the scenery's top (height 3)"},
        {"RedStreak", kHome + Vector3{-37.7f, 2.5f, 0.0f}, {-1.0f, 0.0f, 0.0f}, 95, 70, true, "sounds\\impact.wav", 1,
         "flying into the scenery's side"},
        {"RedStreak", kHome + Vector3{-37.7f, 3.5f, 0.0f}, {-1.0f, 0.0f, 0.0f}, 95, 70, false, nullptr, 0,
         "flying over the scenery"},
    };
    for (const Case& c : cases) {
        const int soundsBefore = c.sound ? played(c.sound) : 0;
        const int spritesBefore = countOf<APPENTTSprite>();
        APPENTTProjectile* projectile = launch(c.type, c.from, c.direction);
        frame(0.01f);
        EXPECT_EQ(kip->getHealth(), c.heroHealth) << c.why;
        EXPECT_EQ(monkey->getHealth(), c.monkeyHealth) << c.why;
        EXPECT_EQ(!exists(projectile), c.ends) << c.why;
        if (c.sound) {
            EXPECT_EQ(played(c.sound), soundsBefore + 1) << c.why;
        }
        EXPECT_EQ(countOf<APPENTTSprite>(), spritesBefore + c.sprites) << c.why;
        if (exists(projectile))
            projectile->removeFromWorld();
    }
    scenery->setModel(nullptr);
}

TEST_F(ProjectileTest, ABananaReachesAHero49UnitsAwayButExpiresOnTheWayToOne63Away)
{
    struct Case {
        float distance;
        bool hits;
        float firstSecond, lastSecond;
    };
    // Hit when 1.6 units from his middle: (49 - 1.6) / 15 = 3.16 s; in its 4 s a banana flies 60
    // units, which from 63 units away ends 3 units short of him.
    const Case cases[] = {{49.0f, true, 3.1f, 3.3f}, {63.0f, false, 3.98f, 4.02f}};
    for (const Case& c : cases) {
        APPENTTKip* kip = placeHero();
        kip->setHealth(100);
        const Vector3 hand = kHome + Vector3{0.0f, 1.5f, c.distance};
        APPENTTProjectile* banana =
            launch("Banana", hand, QRMATHVector3::direction(hand, kHome + Vector3{0.0f, 1.2f, 0.0f}));
        EXPECT_EQ(banana->getLifetime(), 4.0f);
        EXPECT_EQ(banana->getSpeed(), 15.0f);
        float seconds = 0.0f;
        while (exists(banana) && seconds < 10.0f) {
            frame(0.01f);
            seconds += 0.01f;
        }
        EXPECT_GE(seconds, c.firstSecond) << c.distance;
        EXPECT_LE(seconds, c.lastSecond) << c.distance;
        EXPECT_EQ(kip->getHealth(), c.hits ? 95 : 100) << c.distance;
        kip->removeFromWorld();
    }
}

TEST_F(ProjectileTest, ProjectilesEndWhenTheirLifetimeRunsOut)
{
    placeHero();
    struct Case {
        const char* type;
        int lastFrame;  // of 0.125 s
    };
    for (const Case& c : {Case{"Banana", 32}, Case{"RedStreak", 24}}) {
        APPENTTProjectile* projectile = launch(c.type, kHome + Vector3{30.0f, 5.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
        EXPECT_TRUE(projectile->isTransient());
        EXPECT_EQ(projectile->getTypeName(), "Actor");
        frames(c.lastFrame - 1, 0.125f);
        EXPECT_TRUE(exists(projectile)) << c.type;
        frame(0.125f);
        EXPECT_FALSE(exists(projectile)) << c.type;
    }
}
