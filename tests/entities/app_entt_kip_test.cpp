#include "entity_world_fixture.h"

#include "core/qr_time_main.h"
#include "entities/app_entt_kip.h"
#include "entities/app_entt_paper.h"
#include "entities/app_entt_projectile.h"
#include "entities/app_entt_sprite.h"
#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_main.h"
#include "interaction/qr_inta_platforminput.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_vector.h"
#include "world/app_wrld_hud.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// Scan codes of the keys the hero's actions are bound to.
constexpr int kW = 17, kA = 30, kS = 31, kD = 32, kSpace = 57, kTab = 15;

class KipTest : public EntityWorldFixture {
protected:
    KipTest() : input_(qrNew<QRINTAMain>(&core()))
    {
        input_->initialize();
        const std::pair<const char*, int> bindings[] = {
            {"Forward", kW}, {"Back", kS}, {"Left", kA}, {"Right", kD}, {"Jump", kSpace}, {"Fly", kSpace},
            {"Left Mouse", 1000}, {"Tab", kTab}, {"Prior Personality", 1111}, {"Next Personality", 1112}};
        for (const auto& [name, code] : bindings)
            input_->getActions()->addAction(name, code);
        kip_ = static_cast<APPENTTKip*>(entities().createEntity("Kip", {300.0f, 0.0f, 300.0f}));
        kip_->setSoundObserver([this](std::string_view file) { sounds_.emplace_back(file); });
        // Facing -Z: forward is (0, 0, -1), right is (1, 0, 0).
        kip_->setHeading(0.0f, 0.0f);
    }
    ~KipTest() override { input_.reset(); }

    QRINTAPlatformInput& platform() { return *input_->getDevices()->getPlatformInput(); }
    void key(int scanCode, bool down) { platform().keyChanged(static_cast<unsigned int>(scanCode) + 8, down); }
    void keys(std::initializer_list<int> scanCodes, bool down)
    {
        for (int code : scanCodes)
            key(code, down);
    }
    // One logic frame: input first, then the hero.
    void frame(float delta = 0.02f)
    {
        qrTime()->setDelta(delta);
        input_->update();
        kip_->update();
    }
    void frames(int count, float delta = 0.02f)
    {
        for (int i = 0; i < count; ++i)
            frame(delta);
    }
    // A key pressed for exactly one frame.
    void tap(int scanCode, float delta = 0.02f)
    {
        key(scanCode, true);
        frame(delta);
        key(scanCode, false);
    }
    // One frame of the whole world: input, then whatever stands near the camera.
    void worldFrames(int count, float delta = 0.02f)
    {
        for (int i = 0; i < count; ++i) {
            qrTime()->setDelta(delta);
            input_->update();
            world().update();
        }
    }
    void worldTap(int scanCode, float delta = 0.02f)
    {
        key(scanCode, true);
        worldFrames(1, delta);
        key(scanCode, false);
    }
    // Kipster in the air, flying level along his heading.
    void takeOff()
    {
        kip_->setPersonality(APPENTTKip::kKipster);
        frames(3);
        tap(kSpace);
        frames(7);
        tap(kSpace);
        ASSERT_TRUE(kip_->isFlying());
    }
    void riseToLevel(int level)
    {
        const int papers[] = {0, 2, 5, 10, 20, 35};
        while (kip_->getPapersCollected() < papers[level])
            kip_->collectPaper();
    }
    int count(const std::string& file) const { return static_cast<int>(std::count(sounds_.begin(), sounds_.end(), file)); }
    // Raises the terrain vertices of the square [x0, x1] x [z0, z1] (world units) to height.
    void raise(float x0, float z0, float x1, float z1, float height)
    {
        for (int x = static_cast<int>(x0 / 4); x <= static_cast<int>(x1 / 4); ++x)
            for (int z = static_cast<int>(z0 / 4); z <= static_cast<int>(z1 / 4); ++z)
                environment().setHeight(x, z, height);
    }

    QROwned<QRINTAMain> input_;
    APPENTTKip* kip_ = nullptr;
    std::vector<std::string> sounds_;
};

} // namespace

TEST_F(KipTest, CreatedAsTheWorldsHeroWithHisStartingValues)
{
    EXPECT_EQ(entities().getKip(), kip_);
    EXPECT_EQ(entities().getHero(), kip_);
    EXPECT_EQ(kip_->getHealth(), 100);
    EXPECT_EQ(kip_->getTypeName(), "Kip");
    EXPECT_TRUE(kip_->isIdle());
    auto fresh = qrNew<APPENTTKip>(&entities(), Vector3{10.0f, 0.0f, 10.0f});
    EXPECT_EQ(fresh->getYaw(), 220.0f);
    EXPECT_EQ(entities().getHero(), fresh.get()) << "the last one created is the hero";
    fresh.reset();
    EXPECT_EQ(entities().getHero(), nullptr) << "a hero that is gone is forgotten";
}

TEST_F(KipTest, WalksByTheHeldKeysWithBackAndRightWinning)
{
    struct Case {
        std::initializer_list<int> held;
        int level;
        Vector3 perSecond;
    };
    const float diagonal = 5.0f / std::sqrt(2.0f);
    const Case cases[] = {
        {{kW}, 0, {0.0f, 0.0f, -5.0f}},      {{kS}, 0, {0.0f, 0.0f, 5.0f}},
        {{kW, kS}, 0, {0.0f, 0.0f, 5.0f}},   {{kA}, 0, {-5.0f, 0.0f, 0.0f}},
        {{kA, kD}, 0, {5.0f, 0.0f, 0.0f}},   {{kW, kD}, 0, {diagonal, 0.0f, -diagonal}},
        {{kW}, 1, {0.0f, 0.0f, -6.2f}},      {{kW}, 5, {0.0f, 0.0f, -11.0f}},
    };
    for (const Case& c : cases) {
        riseToLevel(c.level);
        kip_->setPosition({300.0f, 0.0f, 300.0f});
        keys(c.held, true);
        frame();
        ASSERT_TRUE(kip_->isWalking());
        const Vector3 start = kip_->getPosition();
        frames(50);
        const Vector3 moved = kip_->getPosition() - start;
        EXPECT_NEAR(moved.x, c.perSecond.x, 1e-3f) << "level " << c.level;
        EXPECT_NEAR(moved.y, 0.0f, 1e-6f);
        EXPECT_NEAR(moved.z, c.perSecond.z, 1e-3f) << "level " << c.level;
        keys(c.held, false);
        frame();
        EXPECT_TRUE(kip_->isIdle()) << "letting go stops him";
    }
}

TEST_F(KipTest, TurnsTheShortWayRoundAndLevelsHisPitch)
{
    struct Case {
        float yaw, pitch;
        float targetYaw, targetPitch;
        int mouseX, mouseUp;
        float wrappedYaw;
        float yawAfter, pitchAfter; // after one idle frame of 0.02 s: 5 degrees at most
    };
    const Case cases[] = {
        {170.0f, 0.0f, -175.0f, 0.0f, 0, 0, 185.0f, 175.0f, 0.0f},
        {-170.0f, 0.0f, 175.0f, 0.0f, 0, 0, -185.0f, -175.0f, 0.0f},
        {170.0f, 0.0f, 170.0f, 0.0f, -50, 0, 185.0f, 175.0f, 0.0f},
        {0.0f, 0.0f, 0.0f, 0.0f, 10, 0, -3.0f, -3.0f, 0.0f},
        {10.0f, 30.0f, 10.1f, 30.0f, 0, 0, 10.1f, 10.0f, 25.0f},
        {0.0f, 400.0f, 0.0f, 400.0f, 0, 0, 0.0f, 0.0f, 35.0f},
        {0.0f, -2.0f, 0.0f, -2.0f, 0, 0, 0.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        kip_->setHeading(c.yaw, c.pitch);
        kip_->setTargetHeading(c.targetYaw, c.targetPitch);
        kip_->look(c.mouseX, c.mouseUp);
        EXPECT_FLOAT_EQ(kip_->getTargetYaw(), c.wrappedYaw) << c.yaw << " -> " << c.targetYaw;
        frame();
        EXPECT_NEAR(kip_->getYaw(), c.yawAfter, 1e-4f) << c.yaw << " -> " << c.targetYaw;
        EXPECT_NEAR(kip_->getPitch(), c.pitchAfter, 1e-4f) << c.pitch;
        const Quaternion expected = QRMATHQuaternion::rotateX(QRMATHQuaternion::fromRotationY(kip_->getYaw()),
                                                             kip_->getPitch());
        expectPoint(kip_->forwardVector(), QRMATHQuaternion::forward(expected));
    }
    kip_->setHeading(0.0f, 0.0f);
    kip_->look(0, 10);
    EXPECT_FLOAT_EQ(kip_->getTargetPitch(), 3.0f) << "moving the mouse up looks up";
}

TEST_F(KipTest, JumpRisesThenFallsAtConstantSpeedOntoTheTerrain)
{
    raise(280.0f, 280.0f, 320.0f, 320.0f, 4.0f);
    kip_->setPosition({300.0f, 4.0f, 300.0f});
    tap(kSpace);
    EXPECT_EQ(sounds_, std::vector<std::string>{"sounds\\jump.wav"});
    // The impulse 20 x jumpTimer, integrated over the frame while the timer runs down.
    EXPECT_NEAR(kip_->getPosition().y, 4.0f + 20.0f * (0.02f - 0.0002f) - 9.81f * 0.02f, 1e-4f);
    EXPECT_FALSE(kip_->isOnGround());

    float highest = 0.0f;
    int airFrames = 1;
    while (!kip_->isOnGround() && airFrames < 500) {
        frame();
        ++airFrames;
        highest = std::max(highest, kip_->getPosition().y);
    }
    ASSERT_TRUE(kip_->isOnGround());
    // Height 20 (t - t^2 / 2) - 9.81 t, highest at t = 0.5095 s.
    EXPECT_NEAR(highest - 4.0f, 2.595f, 1e-3f);
    EXPECT_NEAR(airFrames, 51, 1);
    EXPECT_EQ(kip_->getPosition().y, 4.0f);
    EXPECT_EQ(kip_->getJumpTimer(), 0.0f);
    EXPECT_EQ(sounds_, (std::vector<std::string>{"sounds\\jump.wav", "sounds\\land.wav"}));
}

TEST_F(KipTest, LandsAudiblyOnlyAfterMoreThanAFifthOfASecondInTheAir)
{
    struct Case {
        float dropHeight;
        bool landSound;
    };
    // Falling at a constant 9.81 per second: 1.5 units take 0.15 s, 2.5 units 0.25 s.
    for (const Case& c : {Case{0.5f, false}, Case{1.5f, false}, Case{2.5f, true}}) {
        sounds_.clear();
        kip_->setPosition({300.0f, c.dropHeight, 300.0f});
        frame();
        EXPECT_NEAR(kip_->getPosition().y, c.dropHeight - 0.1962f, 1e-5f);
        frame();
        EXPECT_NEAR(kip_->getPosition().y, c.dropHeight - 2.0f * 0.1962f, 1e-5f) << "not accelerating";
        frames(30);
        EXPECT_TRUE(kip_->isOnGround());
        EXPECT_EQ(count("sounds\\land.wav"), c.landSound ? 1 : 0) << c.dropHeight;
    }
}

TEST_F(KipTest, ASecondPressInTheAirTakesKipsterOffButNotTurboKip)
{
    struct Case {
        int personality;
        int framesBeforeSecondPress;
        bool flies;
    };
    const Case cases[] = {{APPENTTKip::kTurboKip, 8, false}, {APPENTTKip::kKipster, 3, false},
                          {APPENTTKip::kKipster, 8, true}};
    for (const Case& c : cases) {
        kip_->setPersonality(c.personality);
        kip_->setPosition({300.0f, 0.0f, 300.0f});
        frames(3);
        ASSERT_TRUE(kip_->isOnGround());
        tap(kSpace);
        frames(c.framesBeforeSecondPress - 1);
        tap(kSpace);
        EXPECT_EQ(kip_->isFlying(), c.flies) << c.personality << " after " << c.framesBeforeSecondPress;
        while (!kip_->isOnGround() && !kip_->isFlying())
            frame();
    }
    // In flight he goes 27 units a second along his heading, without gravity.
    const Vector3 start = kip_->getPosition();
    frames(10);
    expectPoint(kip_->getPosition() - start, {0.0f, 0.0f, -27.0f * 0.2f});
    EXPECT_EQ(kip_->getPose(), 1);
    EXPECT_EQ(count("sounds\\fly.wav"), 1) << "the first wing beat after 0.1 s";
    tap(kSpace);
    EXPECT_FALSE(kip_->isFlying());
    EXPECT_TRUE(kip_->isIdle()) << "a third press lands him";
}

TEST_F(KipTest, TurboKipFiresAsOftenAsHisLevelAllows)
{
    struct Case {
        int level;
        float cooldown;
    };
    for (const Case& c : {Case{0, 0.25f}, Case{2, 0.17f}, Case{5, 0.05f}}) {
        riseToLevel(c.level);
        kip_->setPersonality(APPENTTKip::kTurboKip);
        frames(20);
        platform().buttonsChanged(1);
        frame();
        EXPECT_NEAR(kip_->getFireCooldown(), c.cooldown, 1e-6f) << "level " << c.level;
        EXPECT_EQ(kip_->getPose(), 4) << "firing pose";
        // With the button held the next shot comes once the cooldown has run out.
        const int shotsBefore = count("sounds\\turbo_kip_fire.wav");
        frames(static_cast<int>(std::lround(c.cooldown / 0.01f)) - 1, 0.01f);
        EXPECT_EQ(count("sounds\\turbo_kip_fire.wav"), shotsBefore);
        frames(2, 0.01f);
        EXPECT_EQ(count("sounds\\turbo_kip_fire.wav"), shotsBefore + 1) << "level " << c.level;
        platform().buttonsChanged(0);
        frame();
    }
    // Every shot is a red streak and its muzzle flash.
    EXPECT_EQ(entities().getEntityCount() - 1, 2 * count("sounds\\turbo_kip_fire.wav"));
}

TEST_F(KipTest, RedStreaksBendTowardTheMonkeyNearestTheLineOfSight)
{
    struct Case {
        std::vector<Vector3> monkeys;
        int target; // index into monkeys; -1: straight along the look direction
    };
    // The muzzle is at (300.9, 1.2, 299.3), looking along -Z; a monkey's aim point is 1.3 above it.
    const Case cases[] = {
        {{}, -1},
        {{{305.0f, 0.0f, 250.0f}}, 0},                           // about 5 degrees off
        {{{315.0f, 0.0f, 250.0f}}, -1},                          // about 16 degrees off
        {{{303.0f, 0.0f, 180.0f}}, -1},                          // beyond 100 units
        {{{306.0f, 0.0f, 250.0f}, {302.0f, 0.0f, 270.0f}}, 1},  // the smaller angle wins
    };
    kip_->setPersonality(APPENTTKip::kTurboKip);
    frames(5);
    for (const Case& c : cases) {
        std::vector<APPENTTMain*> placed;
        for (const Vector3& position : c.monkeys)
            placed.push_back(entities().createEntity("CoderMonkey", position));
        const int before = entities().getEntityCount();
        platform().buttonsChanged(1);
        frame();
        platform().buttonsChanged(0);
        ASSERT_EQ(entities().getEntityCount(), before + 2) << "a red streak and its muzzle flash";
        const auto* streak = dynamic_cast<const APPENTTProjectile*>(entities().getEntity(before));
        ASSERT_NE(streak, nullptr);
        const Vector3 muzzle{300.9f, 1.2f, 299.3f};
        expectPoint(streak->getPosition(), muzzle);
        const Vector3 expected = c.target < 0 ? Vector3{0.0f, 0.0f, -1.0f}
                                              : QRMATHVector3::direction(muzzle, c.monkeys[c.target] + Vector3{0.0f, 1.3f, 0.0f});
        expectPoint(streak->getDirection(), expected);
        for (APPENTTMain* monkey : placed)
            entities().removeEntity(monkey);
        frames(20);
    }
}

TEST_F(KipTest, PosesAndFootstepsFollowTheStepCycle)
{
    struct Case {
        int personality;
        std::vector<int> poses;
    };
    const Case cases[] = {{APPENTTKip::kKipster, {2, 0, 0, 3, 0, 0, 0, 2}},
                          {APPENTTKip::kTurboKip, {1, 0, 0, 2, 0, 0, 0, 1}}};
    for (const Case& c : cases) {
        kip_->setPersonality(c.personality);
        frames(10);
        key(kW, true);
        frame();
        ASSERT_TRUE(kip_->isWalking());
        sounds_.clear();
        std::vector<int> poses;
        std::vector<int> footsteps;
        // 0.125 s frames: t = 0.125, 0.25, ..., 0.875 (past 0.8: back to 0), 0.125.
        for (int i = 0; i < 8; ++i) {
            const int before = count("sounds\\footsteps.wav");
            frame(0.125f);
            poses.push_back(kip_->getPose());
            if (count("sounds\\footsteps.wav") > before)
                footsteps.push_back(i);
        }
        EXPECT_EQ(poses, c.poses) << c.personality;
        EXPECT_EQ(footsteps, (std::vector<int>{0, 3, 7})) << "as t passes 0.1 and 0.5";
        key(kW, false);
        frame();
    }
}

TEST_F(KipTest, RisesALevelAtExactlyTwoFiveTenTwentyAndThirtyFivePapers)
{
    APPWRLDHUD& hud = *world().getHUD();
    std::vector<std::pair<int, std::string>> levelUps;
    for (int paper = 1; paper <= 40; ++paper) {
        const int levelBefore = kip_->getLevel();
        kip_->collectPaper();
        if (kip_->getLevel() != levelBefore) {
            levelUps.emplace_back(paper, hud.getLevelTitle());
            EXPECT_EQ(hud.getLevelUpTimer(), 1.0f) << "the flash starts";
            EXPECT_EQ(sounds_.back(), "sounds\\level_up.wav");
        }
    }
    EXPECT_EQ(levelUps, (std::vector<std::pair<int, std::string>>{{2, "Bachelor"},
                                                                   {5, "Master"},
                                                                   {10, "Ph.D."},
                                                                   {20, "Institutsvorstand"},
                                                                   {35, "m\xC3\xA4" "chtiger als Gott"}}));
    EXPECT_EQ(kip_->getLevel(), 5);
    kip_->setHealth(-7);
    frame();
    EXPECT_EQ(hud.getHealth(), -7);
    EXPECT_EQ(hud.getPapersCollected(), 40);
}

TEST_F(KipTest, PlacesTheCameraTenBehindAndTwoAboveLiftedOutOfTheGround)
{
    struct Case {
        float yaw, pitch;
        float groundBehind;
        Vector3 expected;
    };
    const float c20 = std::cos(20.0f * 3.14159265f / 180.0f), s20 = std::sin(20.0f * 3.14159265f / 180.0f);
    // Looking along -Z, pitched 20 degrees down: back 10 along the view, up 2 along its up.
    const Vector3 level{300.0f, 1.5f + 10.0f * s20 + 2.0f * c20, 300.0f + 10.0f * c20 - 2.0f * s20};
    const Case cases[] = {
        {0.0f, 0.0f, 0.0f, level},
        {90.0f, 0.0f, 0.0f, {300.0f + 10.0f * c20 - 2.0f * s20, level.y, 300.0f}},
        {0.0f, 20.0f, 0.0f, {300.0f, 1.5f + 2.0f, 310.0f}},
        // Ground 0.1 above the camera point: less than 0.2, left where it is.
        {0.0f, 20.0f, 3.6f, {300.0f, 3.5f, 310.0f}},
        // Ground 1.5 above it: lifted to 0.2 over the ground.
        {0.0f, 20.0f, 5.0f, {300.0f, 5.2f, 310.0f}},
    };
    for (const Case& c : cases) {
        environment().resetTerrain();
        raise(296.0f, 304.0f, 304.0f, 316.0f, c.groundBehind);
        kip_->setHeading(c.yaw, c.pitch);
        kip_->setPosition({300.0f, 0.0f, 300.0f});
        kip_->placeCamera();
        expectPoint(world().getCamera()->getPosition(), c.expected);
        expectPoint(world().getCamera()->getForward(),
                    QRMATHQuaternion::forward(QRMATHQuaternion::rotateX(kip_->getLookOrientation(), -20.0f)));
    }
}

TEST_F(KipTest, ARiseOfMoreThanOneUnitPerUnitBlocksTheWholeStep)
{
    struct Case {
        float groundAhead;
        bool moves;
    };
    for (const Case& c : {Case{0.9f, true}, Case{1.0f, true}, Case{1.2f, false}}) {
        environment().resetTerrain();
        // The ground rises to its height at x = 304, one unit ahead of the hero.
        raise(304.0f, 280.0f, 320.0f, 320.0f, c.groundAhead);
        kip_->setPosition({303.0f, 0.0f, 300.0f});
        kip_->moveHorizontal({0.5f, 3.0f, 0.0f});
        EXPECT_EQ(kip_->getPosition(), (Vector3{c.moves ? 303.5f : 303.0f, 0.0f, 300.0f})) << c.groundAhead;
    }
}

TEST_F(KipTest, TabAndTheWheelEachSwitchThePersonalityOnce)
{
    struct Case {
        const char* how;
        int expected;
    };
    kip_->setPosition({300.0f, 5.0f, 300.0f});
    for (const Case& c : {Case{"Tab", APPENTTKip::kTurboKip}, Case{"wheel up", APPENTTKip::kKipster},
                          Case{"wheel down", APPENTTKip::kTurboKip}}) {
        if (std::string(c.how) == "Tab")
            key(kTab, true);
        else
            platform().wheelTurned(std::string(c.how) == "wheel up" ? 120 : -120);
        frame();
        key(kTab, false);
        EXPECT_EQ(kip_->getPersonality(), c.expected) << c.how;
        EXPECT_TRUE(kip_->isIdle());
    }
    EXPECT_FALSE(kip_->isOnGround()) << "switched in the air, he falls";
    frames(60);
    EXPECT_EQ(kip_->getPosition().y, 0.0f);
}

// --- The world's edge, frame rate, angles, one hero, flight and effects ---------------------------

TEST_F(KipTest, AtTheWorldsEdgeHeStopsWalkingOrFlyingAndKeepsControl)
{
    struct Case {
        Vector3 start;
        float yaw; // facing out of the world
        bool flying;
    };
    const Case cases[] = {
        {{3.0f, 0.0f, 1300.0f}, 90.0f, false},   {{2557.0f, 0.0f, 1300.0f}, 270.0f, false},
        {{1300.0f, 0.0f, 3.0f}, 0.0f, false},    {{1300.0f, 0.0f, 2557.0f}, 180.0f, false},
        {{8.0f, 0.0f, 700.0f}, 90.0f, true},     {{2552.0f, 0.0f, 700.0f}, 270.0f, true},
        {{700.0f, 0.0f, 8.0f}, 0.0f, true},      {{700.0f, 0.0f, 2552.0f}, 180.0f, true},
    };
    const auto inside = [](const Vector3& p) { return std::min({p.x, p.z, 2560.0f - p.x, 2560.0f - p.z}); };
    for (const Case& c : cases) {
        kip_->setPosition(c.start);
        kip_->setHeading(c.yaw, 0.0f);
        kip_->placeCamera();
        worldFrames(10);
        if (c.flying)
            takeOff();
        key(kW, true);
        worldFrames(100);
        key(kW, false);
        EXPECT_NEAR(inside(kip_->getPosition()), 0.0f, 1e-3f) << "stopped at the edge " << c.start.x << ", " << c.start.z;
        ASSERT_NE(kip_->getBlock(), nullptr);

        // And he still answers: he turns (or steps) back into the world.
        if (c.flying) {
            kip_->setTargetHeading(c.yaw + 180.0f, 0.0f);
            worldFrames(150);
            worldTap(kSpace);
            worldFrames(50);
        } else {
            key(kS, true);
            worldFrames(50);
            key(kS, false);
        }
        EXPECT_GT(inside(kip_->getPosition()), 4.0f) << "back from the edge " << c.start.x << ", " << c.start.z;
        EXPECT_TRUE(kip_->isOnGround());
    }
}

TEST_F(KipTest, AJumpFollowsTheSameCurveAtFiveTwentySixtyAndHundredFortyFourFramesASecond)
{
    // The impulse 20 x timer fading over a second against a constant fall of 9.81.
    const auto height = [](float t) { return t < 1.0f ? 20.0f * (t - 0.5f * t * t) - 9.81f * t : 10.0f - 9.81f * t; };
    const float peak = height(1.0f - 9.81f / 20.0f);
    for (const float fps : {5.0f, 20.0f, 60.0f, 144.0f}) {
        const float dt = 1.0f / fps;
        kip_->setPosition({300.0f, 0.0f, 300.0f});
        frames(3, dt);
        ASSERT_TRUE(kip_->isOnGround());
        tap(kSpace, dt);
        float t = dt;
        float highest = 0.0f;
        while (!kip_->isOnGround() && t < 3.0f) {
            EXPECT_NEAR(kip_->getPosition().y, height(t), 0.02f * peak) << fps << " frames a second, at " << t << " s";
            highest = std::max(highest, kip_->getPosition().y);
            frame(dt);
            t += dt;
        }
        EXPECT_TRUE(kip_->isOnGround()) << fps;
        // Landed in the frame in which the curve reaches the ground.
        const float landing = 1.0f + 0.19f / 9.81f;
        EXPECT_NEAR(t, landing + 0.5f * dt, 0.5f * dt + 1e-3f) << fps << " frames a second";
        if (fps >= 20.0f) {
            EXPECT_NEAR(highest, peak, 0.02f * peak) << fps << " frames a second";
        }
    }
}

TEST_F(KipTest, AFastFlightCollectsEveryPaperItPassesAtFiveFramesASecond)
{
    riseToLevel(5);
    kip_->setPosition({300.0f, 0.0f, 700.0f});
    kip_->setHeading(0.0f, 0.0f);
    takeOff();
    // 27 x 1.5 + 25 units a second: over 13 units a frame, four times the reach of a paper.
    const Vector3 start = kip_->getPosition();
    for (int i = 0; i < 8; ++i)
        entities().createEntity("Paper", start + Vector3{(i % 2 ? 1.5f : -1.5f), 0.5f, -20.0f - 7.3f * static_cast<float>(i)});
    ASSERT_EQ(entities().getPaperCount(), 8);
    const int before = kip_->getPapersCollected();
    key(kW, true);
    worldFrames(10, 0.2f);
    key(kW, false);
    EXPECT_LT(kip_->getPosition().z, start.z - 90.0f);
    EXPECT_EQ(kip_->getPapersCollected() - before, 8);
    EXPECT_EQ(entities().getPaperCount(), 0);
}

TEST_F(KipTest, AnglesWrapInsteadOfGrowingWithoutEnd)
{
    // Circling for 1000 seconds: 250 000 degrees of yaw.
    for (int i = 0; i < 20000; ++i) {
        kip_->setTargetHeading(kip_->getYaw() + 170.0f, 0.0f);
        frame(0.05f);
    }
    EXPECT_LE(std::fabs(kip_->getYaw()), 360.0f);
    EXPECT_LE(std::fabs(kip_->getTargetYaw() - kip_->getYaw()), 180.0f);
    const Quaternion body = QRMATHQuaternion::rotateX(QRMATHQuaternion::fromRotationY(kip_->getYaw()), kip_->getPitch());
    expectPoint(kip_->forwardVector(), QRMATHQuaternion::forward(body));

    // Looping in flight, high above the ground.
    kip_->setPosition({300.0f, 400.0f, 300.0f});
    takeOff();
    for (int i = 0; i < 4000; ++i) {
        kip_->setTargetHeading(kip_->getYaw(), kip_->getPitch() + 170.0f);
        kip_->setPosition({300.0f, 400.0f, 300.0f});
        frame(0.05f);
    }
    EXPECT_TRUE(kip_->isFlying());
    EXPECT_LE(std::fabs(kip_->getPitch()), 360.0f);
    EXPECT_LE(std::fabs(kip_->getTargetPitch()), 540.0f);

    auto* paper = dynamic_cast<APPENTTPaper*>(entities().createEntity("Paper", {900.0f, 0.0f, 900.0f}));
    for (int i = 0; i < 20000; ++i) {
        qrTime()->setDelta(0.05f);
        paper->update();
    }
    EXPECT_GE(paper->getSpinAngle(), 0.0f);
    EXPECT_LT(paper->getSpinAngle(), 360.0f);
}

TEST_F(KipTest, OnlyTheWorldsHeroReadsInputAndPlacesTheCamera)
{
    auto* second = static_cast<APPENTTKip*>(entities().createEntity("Kip", {400.0f, 0.0f, 300.0f}));
    ASSERT_EQ(entities().getHero(), second) << "the last one created";
    second->setHeading(0.0f, 0.0f);
    const Vector3 firstStart = kip_->getPosition();
    key(kW, true);
    worldFrames(1);
    const Vector3 secondStart = second->getPosition();
    worldFrames(50);
    key(kW, false);
    EXPECT_EQ(kip_->getPosition(), firstStart);
    EXPECT_NEAR(second->getPosition().z, secondStart.z - 5.0f, 1e-3f);
    EXPECT_LT(QRMATHVector3::distance(world().getCamera()->getPosition(), second->getPosition()), 12.0f);
}

TEST_F(KipTest, FlightSpeedFollowsWAndSAtOnePerSecondAndHardTurnsCostSpeed)
{
    struct Case {
        std::initializer_list<int> held;
        int frames;            // of 0.01 s
        float offCourse;       // degrees between heading and target
        float flightSpeed;     // afterwards
        float lastStepPerSecond;
    };
    // The last step: (27 x speed) x max(0.5, (90 - offCourse after this frame's turn) / 90); a frame
    // turns 250 x 0.6 x (1 - 0.6 x (speed - 1)) x 0.01 degrees.
    const Case cases[] = {
        {{}, 50, 0.0f, 1.0f, 27.0f},
        {{kW}, 25, 0.0f, 1.25f, 27.0f * 1.25f},
        {{kW}, 100, 0.0f, 1.5f, 27.0f * 1.5f},
        {{kS}, 25, 0.0f, 0.75f, 27.0f * 0.75f},
        {{kW, kS}, 100, 0.0f, 0.5f, 27.0f * 0.5f},
        {{}, 1, 18.0f, 1.0f, 27.0f * (90.0f - 16.5f) / 90.0f},
        {{}, 1, 45.0f, 1.0f, 27.0f * (90.0f - 43.5f) / 90.0f},
        {{}, 1, 80.0f, 1.0f, 27.0f * 0.5f},
    };
    for (const Case& c : cases) {
        kip_->setPosition({300.0f, 50.0f, 300.0f});
        kip_->setHeading(0.0f, 0.0f);
        takeOff();
        keys(c.held, true);
        frames(c.frames - 1, 0.01f);
        kip_->setTargetHeading(kip_->getYaw() + c.offCourse, 0.0f);
        const Vector3 before = kip_->getPosition();
        frame(0.01f);
        keys(c.held, false);
        EXPECT_NEAR(kip_->getFlightSpeed(), c.flightSpeed, 1e-3f) << c.frames << " frames";
        EXPECT_NEAR(QRMATHVector3::distance(before, kip_->getPosition()) / 0.01f, c.lastStepPerSecond, 0.05f)
            << c.offCourse << " degrees off course";
        tap(kSpace);
        while (!kip_->isOnGround())
            frame();
    }
}

TEST_F(KipTest, InFlightHeKeepsAboveTheGroundBeatsHisWingsAndIgnoresTabAndFire)
{
    raise(200.0f, 200.0f, 400.0f, 400.0f, 4.0f);
    kip_->setPosition({300.0f, 4.0f, 300.0f});
    takeOff();
    sounds_.clear();
    // Diving steeply: the ground stops him one unit above it.
    kip_->setHeading(0.0f, -60.0f);
    frames(100);
    EXPECT_NEAR(kip_->getPosition().y, 5.0f, 1e-4f);
    EXPECT_EQ(count("sounds\\fly.wav"), 2) << "a wing beat after 0.1 s, then every second";
    frames(50);
    EXPECT_EQ(count("sounds\\fly.wav"), 3);

    // Tab, the wheel and the mouse button do nothing up here.
    tap(kTab);
    platform().buttonsChanged(1);
    frames(5);
    platform().buttonsChanged(0);
    EXPECT_EQ(kip_->getPersonality(), APPENTTKip::kKipster);
    EXPECT_TRUE(kip_->isFlying());
    EXPECT_EQ(count("sounds\\turbo_kip_fire.wav"), 0);
    // Space lands him instead of jumping.
    const float jumpTimer = kip_->getJumpTimer();
    tap(kSpace);
    EXPECT_FALSE(kip_->isFlying());
    EXPECT_EQ(kip_->getJumpTimer(), jumpTimer);
    EXPECT_EQ(count("sounds\\jump.wav"), 0);
}

TEST_F(KipTest, FiringLaunchesAStreakAlongTheLookAndAFadingMuzzleFlash)
{
    kip_->setPersonality(APPENTTKip::kTurboKip);
    kip_->setHeading(30.0f, 0.0f);
    kip_->setTargetHeading(30.0f, 10.0f);
    frames(3);
    const Vector3 muzzle = kip_->getPosition() + Vector3{0.0f, 1.2f, 0.0f} + kip_->rightVector() * 0.9f +
                           kip_->forwardVector() * 0.7f;
    platform().buttonsChanged(1);
    frame();
    platform().buttonsChanged(0);
    APPENTTProjectile* streak = nullptr;
    APPENTTSprite* flash = nullptr;
    for (int i = 0; i < entities().getEntityCount(); ++i) {
        streak = streak ? streak : dynamic_cast<APPENTTProjectile*>(entities().getEntity(i));
        flash = flash ? flash : dynamic_cast<APPENTTSprite*>(entities().getEntity(i));
    }
    ASSERT_NE(streak, nullptr);
    ASSERT_NE(flash, nullptr);
    expectPoint(streak->getPosition(), muzzle);
    expectPoint(streak->getDirection(), kip_->getLookDirection());
    expectPoint(flash->getPosition(), muzzle);
    EXPECT_EQ(flash->getBlendMode(), 1);
    EXPECT_EQ(flash->getTexture(), entities().getRedStreakShotTexture());
    ASSERT_EQ(flash->getParticleCount(), 2);
    // The main particle fades at 6 and shrinks at 1 per second from the start; the other waits
    // half a second and fades at 1.5.
    for (int i = 0; i < 5; ++i) {
        qrTime()->setDelta(0.02f);
        flash->update();
    }
    const APPENTTParticle* main = flash->getMainParticle();
    const APPENTTParticle* other = flash->getParticle(1);
    EXPECT_NEAR(main->getColour().w, 1.0f - 6.0f * 0.1f, 1e-4f);
    EXPECT_NEAR(main->getSize(), 0.5f - 0.1f, 1e-4f);
    EXPECT_NEAR(other->getColour().w, 1.0f, 1e-6f);
    EXPECT_NEAR(other->getSize(), 0.5f, 1e-6f);
}

