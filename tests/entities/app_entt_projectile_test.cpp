#include "play_fixture.h"

#include "entities/app_entt_banana.h"
#include "entities/app_entt_codermonkey.h"
#include "entities/app_entt_environmentmodel.h"
#include "entities/app_entt_redstreak.h"
#include "entities/app_entt_sprite.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_vector.h"

#include <gtest/gtest.h>

#include <algorithm>
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
        {"RedStreak", kHome + Vector3{-37.7f, 2.5f, 0.0f}, {-1.0f, 0.0f, 0.0f}, 95, 70, false, nullptr, 0,
         "under the scenery's roof is open air"},
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

TEST_F(ProjectileTest, ShotsMeetSceneryByItsRealShapeWhereverTheModelStands)
{
    auto floor = floorModel();
    struct Case {
        Vector3 model;    // the floor square stands 1 above this, 4 x 4 times the size
        float size;
        float turn;       // about Y, degrees
        Vector3 from, direction;
        bool hits;
        const char* why;
    };
    const Case cases[] = {
        {{300.0f, 4.0f, 300.0f}, 1.0f, 0.0f, {296.0f, 3.0f, 300.0f}, {1.0f, 0.0f, 0.0f}, false,
         "under a canopy: open air"},
        {{300.0f, 4.0f, 300.0f}, 1.0f, 0.0f, {300.5f, 8.0f, 300.5f}, {0.0f, -1.0f, 0.0f}, true, "onto the canopy"},
        {{300.0f, 0.0f, 300.0f}, 3.0f, 0.0f, {305.0f, 6.0f, 300.0f}, {0.0f, -1.0f, 0.0f}, true,
         "the far end of a model scaled by 3"},
        {{317.0f, 0.0f, 300.0f}, 3.0f, 0.0f, {322.0f, 6.0f, 300.0f}, {0.0f, -1.0f, 0.0f}, true,
         "a model standing in the neighbouring block"},
        {{300.0f, 0.0f, 300.0f}, 2.0f, 45.0f, {302.5f, 6.0f, 302.5f}, {0.0f, -1.0f, 0.0f}, true,
         "a turned model's corner"},
        {{300.0f, 0.0f, 300.0f}, 2.0f, 45.0f, {305.0f, 6.0f, 301.5f}, {0.0f, -1.0f, 0.0f}, false,
         "beside the turned square, inside its bounding sphere"},
        {{300.0f, 0.0f, 300.0f}, 2.0f, 30.0f, {292.1f, 9.0f, 294.2f}, {0.6f, -0.5f, 0.45f}, true,
         "slanting down onto a turned, scaled model"},
    };
    world().getCamera()->setPosition({300.0f, 4.0f, 300.0f});
    for (const Case& c : cases) {
        auto* scenery = create<APPENTTEnvironmentModel>("EnvironmentModel", c.model);
        scenery->setModel(floor.get());
        scenery->setSize(c.size);
        scenery->rotateLocalY(c.turn);
        APPENTTProjectile* streak = launch("RedStreak", c.from, c.direction);
        frames(10, 0.05f);
        // The impact flash sits on the surface that was hit; a miss ends on the ground, if at all.
        float flash = -1.0f;
        for (int i = 0; i < entities().getEntityCount(); ++i)
            if (auto* sprite = dynamic_cast<APPENTTSprite*>(entities().getEntity(i)))
                flash = std::max(flash, sprite->getPosition().y);
        if (c.hits) {
            EXPECT_FALSE(exists(streak)) << c.why;
            EXPECT_NEAR(flash, c.model.y + c.size, 1e-3f) << c.why;
        } else {
            EXPECT_LT(flash, 0.5f) << c.why;
            if (exists(streak))
                streak->removeFromWorld();
        }
        scenery->removeFromWorld();
        frames(100, 0.05f);
    }
}

TEST_F(ProjectileTest, AFastShotAtFiveFramesASecondHitsWhatItPassesAndItsImpactFlashIsMade)
{
    auto* monkey = create<APPENTTCoderMonkey>("CoderMonkey", kHome + Vector3{0.0f, 0.0f, -40.0f});
    // 400 units a second: 8 units per tenth of a 0.2 s frame, five times the hit radius.
    APPENTTProjectile* streak = launch("RedStreak", kHome + Vector3{0.0f, 1.0f, -36.0f}, {0.0f, 0.0f, -1.0f});
    streak->setSpeed(400.0f);
    frame(0.2f);
    EXPECT_FALSE(exists(streak));
    EXPECT_EQ(monkey->getHealth(), 70);

    // A streak into the ground flashes where it hit, with the impact picture.
    APPENTTProjectile* grounded = launch("RedStreak", kHome + Vector3{20.0f, 0.5f, 0.0f}, {0.0f, -1.0f, 0.0f});
    frame(0.05f);
    ASSERT_FALSE(exists(grounded));
    APPENTTSprite* flash = nullptr;
    for (int i = 0; i < entities().getEntityCount(); ++i)
        if (auto* sprite = dynamic_cast<APPENTTSprite*>(entities().getEntity(i));
            sprite && QRMATHVector3::distance(sprite->getPosition(), kHome + Vector3{20.0f, 0.0f, 0.0f}) < 0.2f)
            flash = sprite;
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->getTexture(), entities().getRedStreakImpactTexture());
    EXPECT_NE(flash->getTexture(), nullptr);
    EXPECT_EQ(flash->getBlendMode(), 1);
    ASSERT_EQ(flash->getParticleCount(), 2);
    EXPECT_NEAR(flash->getMainParticle()->getSize(), 0.4f, 1e-6f);
    // Fading from 0.1 s on at 5 per second: four frames of 0.03 s after that.
    frames(7, 0.03f);
    EXPECT_NEAR(flash->getMainParticle()->getColour().w, 1.0f - 5.0f * 0.12f, 1e-3f);
}

TEST_F(ProjectileTest, AShotAcrossTheWorldsEdgeFliesOnAndExpires)
{
    placeHero({5.0f, 0.0f, 1300.0f});
    APPENTTProjectile* banana = launch("Banana", {3.0f, 20.0f, 1300.0f}, {-1.0f, 0.0f, 0.0f});
    frames(10, 0.1f);
    ASSERT_TRUE(exists(banana));
    EXPECT_LT(banana->getPosition().x, -10.0f) << "still flying out there";
    frames(40, 0.1f);
    EXPECT_FALSE(exists(banana)) << "its lifetime ran out as anywhere else";
}

