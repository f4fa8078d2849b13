#include "play_fixture.h"

#include "core/qr_mngr_assetmanager.h"
#include "core/qr_mngr_main.h"
#include "core/qr_mngr_objectmanager.h"
#include "entities/app_entt_banana.h"
#include "entities/app_entt_codermonkey.h"
#include "entities/app_entt_explosion.h"
#include "entities/app_entt_redstreak.h"
#include "entities/app_entt_sprite.h"
#include "environment/app_envr_block.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_vector.h"
#include "sound/qr_boom_samples.h"
#include "world/app_wrld_camera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

class CoderMonkeyTest : public PlayFixture {
protected:
    // 0.125 s is exact in binary, so state times land exactly on the thresholds.
    static constexpr float kStep = 0.125f;

    APPENTTRedStreak* streakAt(APPENTTMain* target)
    {
        auto* streak = create<APPENTTRedStreak>("RedStreak", target->getPosition() + Vector3{0.0f, 1.0f, 0.0f});
        streak->setDirection({0.0f, 0.0f, 1.0f});
        return streak;
    }
};

} // namespace

TEST_F(CoderMonkeyTest, AttacksOnlyAHeroWithinFiftyUnitsAfterWaitingASecond)
{
    struct Case {
        bool hero;
        float distance;
        bool attacks;
    };
    const Case cases[] = {{true, 49.0f, true}, {true, 51.0f, false}, {false, 10.0f, false}};
    for (const Case& c : cases) {
        APPENTTKip* kip = c.hero ? placeHero() : nullptr;
        auto* monkey = create<APPENTTCoderMonkey>("CoderMonkey", kHome + Vector3{c.distance, 0.0f, 0.0f});
        EXPECT_EQ(monkey->getHealth(), 100);
        EXPECT_EQ(monkey->getTypeName(), "CoderMonkey");
        const int throwsBefore = played("sounds\\throw_banana.wav");
        frames(8, kStep);
        EXPECT_TRUE(monkey->isStateHandler(&APPENTTCoderMonkey::onWaitingState, monkey)) << "1 s is not yet over 1";
        frames(40, kStep);
        EXPECT_EQ(played("sounds\\throw_banana.wav") > throwsBefore, c.attacks) << c.distance;
        monkey->removeFromWorld();
        if (kip)
            kip->removeFromWorld();
    }
}

TEST_F(CoderMonkeyTest, WindsUpThrowsOnceAt0_3SecondsAndWaitsASecondBeforeTheNextAttack)
{
    placeHero();
    auto* monkey = create<APPENTTCoderMonkey>("CoderMonkey", kHome + Vector3{30.0f, 0.0f, 0.0f});
    std::vector<int> poses;
    std::vector<int> throwFrames;
    for (int f = 1; f <= 30; ++f) {
        const int before = played("sounds\\throw_banana.wav");
        frame(kStep);
        poses.push_back(monkey->getPose());
        if (played("sounds\\throw_banana.wav") > before)
            throwFrames.push_back(f);
    }
    // Frame 9 starts the attack; its frames 10.. see 0.125, 0.25 (wind-up), 0.375 (throw), ...,
    // 1.125 (back to waiting at frame 18); 1.125 s of waiting later (frame 27) the next attack.
    const std::vector<int> expected = {0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 3, 4, 4, 4, 4,
                                       4, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 3, 4};
    EXPECT_EQ(poses, expected);
    EXPECT_EQ(throwFrames, (std::vector<int>{12, 30}));
    // The first banana flew 30 units in about 2 s and hit the hero.
    EXPECT_EQ(countOf<APPENTTBanana>(), 1);
    EXPECT_EQ(entities().getKip()->getHealth(), 95);
}

TEST_F(CoderMonkeyTest, TurnsToTheHeroAndAimsTheBananaAtHisChest)
{
    APPENTTKip* kip = placeHero();
    const Vector3 spot = kHome + Vector3{24.0f, 0.0f, -32.0f};
    auto* monkey = create<APPENTTCoderMonkey>("CoderMonkey", spot);
    frames(12, kStep);
    const Vector3 toHero = QRMATHVector3::normalize(kip->getPosition() - spot);
    expectPoint(monkey->forwardVector(), toHero);
    ASSERT_EQ(countOf<APPENTTBanana>(), 1);
    const APPENTTBanana* banana = nullptr;
    for (int i = 0; i < entities().getEntityCount() && !banana; ++i)
        banana = dynamic_cast<const APPENTTBanana*>(entities().getEntity(i));
    expectPoint(banana->getDirection(), QRMATHVector3::direction(spot + Vector3{0.0f, 1.5f, 0.0f},
                                                                 kip->getPosition() + Vector3{0.0f, 1.2f, 0.0f}));
    EXPECT_EQ(banana->getOrientation(), monkey->getOrientation());
    EXPECT_FLOAT_EQ(banana->getSize(), 0.4f);

    // Standing right behind a monkey that faces away: it still turns round to face the hero.
    monkey->setPosition(kip->getPosition() + Vector3{0.0f, 0.0f, 10.0f});
    monkey->setOrientation({0.0f, 1.0f, 0.0f, 0.0f});
    frames(30, kStep);
    expectPoint(monkey->forwardVector(), {0.0f, 0.0f, -1.0f});
    expectPoint(QRMATHQuaternion::up(monkey->getOrientation()), {0.0f, 1.0f, 0.0f});
}

TEST_F(CoderMonkeyTest, FourRedStreaksKillAMonkeyWhichExplodesAndIsGone0_3SecondsLater)
{
    auto* monkey = create<APPENTTCoderMonkey>("CoderMonkey", kHome + Vector3{20.0f, 0.0f, 0.0f});
    placeHero();
    std::vector<int> health;
    for (int hit = 0; hit < 4; ++hit) {
        APPENTTRedStreak* streak = streakAt(monkey);
        frame(kStep);
        EXPECT_FALSE(exists(streak)) << "a streak launched inside the hit sphere hits at once";
        health.push_back(monkey->getHealth());
    }
    EXPECT_EQ(health, (std::vector<int>{70, 40, 10, -20}));
    EXPECT_TRUE(monkey->isStateHandler(&APPENTTCoderMonkey::onDyingState, monkey));
    EXPECT_EQ(countOf<APPENTTExplosion>(), 1);
    EXPECT_EQ(played("sounds\\explosion.wav"), 1);
    EXPECT_EQ(played("sounds\\impact.wav"), 4);

    // The monkey, updated after the streak that killed it, has been dying for 0.125 s.
    APPENTTRedStreak* passing = streakAt(monkey);
    frame(kStep);
    EXPECT_TRUE(exists(passing)) << "the dying monkey is no target";
    EXPECT_EQ(monkey->getHealth(), -20);
    EXPECT_TRUE(exists(monkey)) << "0.25 s after its death";
    frame(kStep);
    EXPECT_FALSE(exists(monkey)) << "0.375 s after its death";
}

TEST_F(CoderMonkeyTest, TenThousandFramesOfBattleLeaveNothingBehind)
{
    APPENTTKip* kip = placeHero();
    const Vector3 muzzle = kip->getPosition() + Vector3{0.0f, 1.2f, 0.0f};
    // Fires as the hero does: a red streak at a monkey's aim point and a muzzle flash.
    const auto fireAt = [&](const APPENTTMain* target) {
        const Vector3 aim = target ? target->getPosition() + Vector3{0.0f, 1.3f, 0.0f} : muzzle + Vector3{0, 5, 0};
        auto* streak = create<APPENTTRedStreak>("RedStreak", muzzle);
        streak->setDirection(QRMATHVector3::direction(muzzle, aim));
        auto* sprite = create<APPENTTSprite>("Sprite", muzzle);
        sprite->setupSprite(entities().getRedStreakShotTexture(), {1.0f, 1.0f}, 0.5f, {1.0f, 1.0f, 1.0f, 1.0f}, 1);
        sprite->getMainParticle()->setFade(0.0f, 6.0f);
        sprite->getMainParticle()->setSizeChange(-1.0f);
    };
    const auto step = [&](int f) {
        frame(1.0f / 60.0f);
        if (f % 4 == 0) {
            gl_.clearCalls();
            world().getCamera()->apply();
            entities().render();
        }
    };
    const auto counts = [&] {
        return std::vector<long>{entities().getEntityCount(),
                                 environment().getBlock(0, 0, 1, 1)->getEntityCount(),
                                 qrManagers()->getObjectManager()->getCount(),
                                 static_cast<long>(gl_.liveCount()),
                                 sound_->getChannels()->getCount(),
                                 sound_->getSamples()->getCount(),
                                 qrAssets()->getCount()};
    };

    // Once round first, so that what is loaded once and kept (samples, pool variables) is in.
    for (const char* sound : {"throw_banana", "banana_impact", "impact", "explosion", "collect_paper", "hurt"})
        sound_->getSamples()->loadSample(std::string("sounds\\") + sound + ".wav");
    fireAt(nullptr);
    create<APPENTTMain>("Explosion", muzzle);
    create<APPENTTMain>("Pickup", muzzle);
    for (int f = 0; f < 300; ++f)
        step(f);
    const std::vector<long> before = counts();
    ASSERT_EQ(before[0], 1) << "only the hero";

    for (int i = 0; i < 20; ++i) {
        const float angle = static_cast<float>(i) * 18.0f * kDegreesToRadians;
        const float radius = 20.0f + static_cast<float>(i % 4) * 8.0f;
        create<APPENTTCoderMonkey>("CoderMonkey", kHome + Vector3{radius * std::cos(angle), 0.0f, radius * std::sin(angle)});
    }
    int most = 0;
    for (int f = 1; f <= 10000; ++f) {
        // A shot every 1.5 s at the nearest monkey: 80 hits take two minutes of the 166 s.
        if (f % 90 == 0) {
            const APPENTTMain* nearest = nullptr;
            for (int i = 0; i < entities().getEntityCount(); ++i) {
                auto* monkey = dynamic_cast<const APPENTTCoderMonkey*>(entities().getEntity(i));
                if (monkey && monkey->getHealth() > 0 &&
                    (!nearest || QRMATHVector3::distance(muzzle, monkey->getPosition()) <
                                     QRMATHVector3::distance(muzzle, nearest->getPosition())))
                    nearest = monkey;
            }
            if (nearest)
                fireAt(nearest);
        }
        step(f);
        most = std::max(most, entities().getEntityCount());
    }
    EXPECT_EQ(countOf<APPENTTCoderMonkey>(), 0);
    EXPECT_GT(most, 40) << "monkeys, bananas, streaks and effects all at once";
    EXPECT_LE(kip->getHealth(), 0) << "hit until he had no health left, when bananas stop hitting him";
    EXPECT_EQ(counts(), before) << "entities, block entries, engine objects, GL objects, channels, samples, assets";
}

TEST_F(CoderMonkeyTest, ARolledOrPitchedMonkeyStillFacesTheHeroInsteadOfSpinning)
{
    APPENTTKip* kip = placeHero();
    struct Case {
        float pitch, roll; // degrees, in the monkey's own frame
        Vector3 offset;    // from the hero, with a height offset
    };
    const Case cases[] = {
        {0.0f, 0.0f, {24.0f, 3.0f, -32.0f}},  {0.0f, 90.0f, {24.0f, 3.0f, -32.0f}},
        {0.0f, 180.0f, {-30.0f, -2.0f, 10.0f}}, {20.0f, 45.0f, {-15.0f, 6.0f, -25.0f}},
        {-35.0f, 120.0f, {5.0f, 0.0f, 40.0f}},
    };
    for (const Case& c : cases) {
        auto* monkey = create<APPENTTCoderMonkey>("CoderMonkey", kip->getPosition() + c.offset);
        monkey->rotateLocalX(c.pitch);
        monkey->rotateLocalZ(c.roll);
        Vector3 toHero = kip->getPosition() - monkey->getPosition();
        toHero.y = 0.0f;
        toHero = QRMATHVector3::normalize(toHero);
        for (int round = 0; round < 2; ++round) {
            frames(round == 0 ? 15 : 4, kStep);
            expectPoint(monkey->forwardVector(), toHero);
        }
        monkey->removeFromWorld();
        frames(60, kStep);
    }
}

