#include "input_fixture.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <vector>

namespace {
using Flags = std::tuple<bool, bool, bool>; // held, just pressed, just released

Flags flagsOf(const QRINTAAction& action)
{
    return {action.isHeld(), action.isJustPressed(), action.isJustReleased()};
}
} // namespace

class ActionTest : public InputFixture {};

TEST_F(ActionTest, KeyIsJustPressedOnceHeldWhileDownAndJustReleasedOnce)
{
    auto* jump = addAction("Jump", 57);
    std::vector<Flags> seen;
    frame();
    seen.push_back(flagsOf(*jump));
    pressKey(x11key::Space);
    for (int i = 0; i < 3; ++i) {
        frame();
        seen.push_back(flagsOf(*jump));
    }
    releaseKey(x11key::Space);
    for (int i = 0; i < 2; ++i) {
        frame();
        seen.push_back(flagsOf(*jump));
    }
    const std::vector<Flags> expected = {
        {false, false, false}, {true, true, false}, {true, false, false},
        {true, false, false},  {false, false, true}, {false, false, false},
    };
    EXPECT_EQ(seen, expected);
}

TEST_F(ActionTest, TapBetweenTwoFramesIsStillSeen)
{
    auto* quit = addAction("Quit", 1);
    pressKey(x11key::Escape);
    releaseKey(x11key::Escape);
    frame();
    EXPECT_TRUE(quit->isJustPressed());
    frame();
    EXPECT_TRUE(quit->isJustReleased());
}

TEST_F(ActionTest, TwoActionsOnOneCodeBothReportIt)
{
    auto* jump = addAction("Jump", 57);
    auto* fly = addAction("Fly", 57);
    pressKey(x11key::Space);
    frame();
    EXPECT_TRUE(jump->isJustPressed());
    EXPECT_TRUE(fly->isJustPressed());
    EXPECT_EQ(actions().findAction("fly"), fly) << "names are looked up ignoring letter case";
    EXPECT_EQ(actions().findAction("Swim"), nullptr);
}

TEST_F(ActionTest, ArrowPairsNeedBothKeysAndCode501IsNeverPressed)
{
    const std::vector<int> codes = {500, 501, 502, 503, 504};
    std::vector<QRINTAAction*> pairs;
    for (int code : codes)
        pairs.push_back(addAction("Pair " + std::to_string(code), code));
    const auto held = [&] {
        frame();
        std::vector<bool> result;
        for (auto* action : pairs)
            result.push_back(action->isHeld());
        return result;
    };

    pressKey(x11key::Up);
    EXPECT_EQ(held(), std::vector<bool>({false, false, false, false, false}));
    pressKey(x11key::Left);
    EXPECT_EQ(held(), std::vector<bool>({true, false, false, false, false}));
    releaseKey(x11key::Left);
    pressKey(x11key::Right);
    EXPECT_EQ(held(), std::vector<bool>({false, false, true, false, false}));
    releaseKey(x11key::Up);
    pressKey(x11key::Down);
    EXPECT_EQ(held(), std::vector<bool>({false, false, false, false, true}));
    releaseKey(x11key::Right);
    pressKey(x11key::Left);
    EXPECT_EQ(held(), std::vector<bool>({false, false, false, true, false}));
}

TEST_F(ActionTest, AnyOfThreeCodesPressesTheAction)
{
    auto* forward = addAction("Forward", 17);
    EXPECT_EQ(forward->getCode(1), QRINTAAction::kNoBinding);
    forward->setCode(2, 200);
    pressKey(x11key::Up);
    frame();
    EXPECT_TRUE(forward->isHeld());
    EXPECT_THROW(forward->setCode(3, 1), std::out_of_range);
}

TEST_F(ActionTest, CodesOutsideEveryDeviceAreNeverPressed)
{
    auto* unbound = addAction("Unbound", QRINTAAction::kNoBinding);
    auto* tooHigh = addAction("Too High", 10000);
    auto* beyondKeys = addAction("Beyond Keys", 238);
    auto* noController = addAction("No Controller", 2000);
    pressKey(x11key::Space);
    frame();
    EXPECT_FALSE(unbound->isHeld());
    EXPECT_FALSE(tooHigh->isHeld());
    EXPECT_FALSE(beyondKeys->isHeld());
    EXPECT_FALSE(noController->isHeld());
}

TEST_F(ActionTest, ClearingRemovesEveryAction)
{
    addAction("Jump", 57);
    addAction("Fly", 57);
    EXPECT_EQ(actions().getCount(), 2);
    actions().clearActions();
    EXPECT_EQ(actions().getCount(), 0);
    EXPECT_EQ(actions().findAction("Jump"), nullptr);
}
