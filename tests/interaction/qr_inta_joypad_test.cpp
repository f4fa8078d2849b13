#include "engine_fixture.h"

#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_joypad.h"
#include "interaction/qr_inta_main.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

// Two virtual controllers attached before the input module starts, so it finds them as joypads
// 0 and 1. The test holds handles of its own to move their sticks and press their buttons.
class JoypadTest : public EngineFixture {
protected:
    JoypadTest()
    {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        initialized_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
        for (int i = 0; initialized_ && i < 2; ++i) {
            const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 16, 0);
            indices_.push_back(index);
            sticks_.push_back(index >= 0 ? SDL_JoystickOpen(index) : nullptr);
        }
        input_ = qrNew<QRINTAMain>(&core());
        input_->initialize();
    }
    ~JoypadTest() override
    {
        input_.reset();
        for (auto* stick : sticks_)
            if (stick)
                SDL_JoystickClose(stick);
        for (int index = static_cast<int>(indices_.size()) - 1; index >= 0; --index)
            if (indices_[index] >= 0)
                SDL_JoystickDetachVirtual(indices_[index]);
        if (initialized_)
            SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    void SetUp() override
    {
        ASSERT_TRUE(initialized_) << SDL_GetError();
        ASSERT_EQ(sticks_.size(), 2u);
        ASSERT_NE(sticks_[0], nullptr) << SDL_GetError();
        ASSERT_NE(sticks_[1], nullptr) << SDL_GetError();
    }

    // Axis positions as SDL reports them, -32768..32767.
    void setAxes(int stick, int x, int y)
    {
        SDL_JoystickSetVirtualAxis(sticks_[stick], 0, static_cast<Sint16>(x));
        SDL_JoystickSetVirtualAxis(sticks_[stick], 1, static_cast<Sint16>(y));
    }
    QRINTAJoypad& joypad(int k) { return *input_->getDevices()->getJoypad(indices_[k]); }
    QRINTAAction* addAction(std::string_view name, int code) { return input_->getActions()->addAction(name, code); }
    void frame() { input_->update(); }

    bool initialized_ = false;
    std::vector<int> indices_;
    std::vector<SDL_Joystick*> sticks_;
    QROwned<QRINTAMain> input_;
};

TEST_F(JoypadTest, EveryAttachedControllerBecomesAJoypad)
{
    EXPECT_EQ(input_->getDevices()->getJoypadCount(), SDL_NumJoysticks());
    EXPECT_TRUE(joypad(0).isPresent());
    EXPECT_EQ(joypad(1).getIndex(), indices_[1]);
    EXPECT_EQ(joypad(1).getInstanceID(), SDL_JoystickInstanceID(sticks_[1]));
}

TEST_F(JoypadTest, AxesHaveADeadZoneAndAreClampedAtFullTravel)
{
    auto* x = addAction("Steer", 2200);
    auto* y = addAction("Climb", 2201);
    // 30 % of the travel from the centre the axis scaling assumes: still inside the dead zone.
    setAxes(0, 42481 - 32768, 32678 - 9803 - 32768);
    frame();
    EXPECT_EQ(joypad(0).getX(), 0.0f);
    EXPECT_EQ(joypad(0).getY(), 0.0f);
    EXPECT_EQ(x->getValue(), 0.0f);

    setAxes(0, 32767, -32768);
    frame();
    EXPECT_EQ(x->getValue(), 1.0f);
    EXPECT_EQ(y->getValue(), 1.0f) << "pushed away, y reads up";
    EXPECT_FALSE(x->isHeld()) << "axes are values, not presses";

    setAxes(0, -32768, 32767);
    frame();
    EXPECT_EQ(joypad(0).getX(), -1.0f);
    EXPECT_EQ(joypad(0).getY(), -1.0f);

    // Half-way through what the dead zone leaves: 0.3 + 0.7 / 2 = 0.65 of the travel.
    setAxes(0, static_cast<int>(32678 + 0.65f * 32678) - 32768, 0);
    frame();
    EXPECT_NEAR(joypad(0).getX(), 0.5f, 0.001f);
}

TEST_F(JoypadTest, DirectionsUseTheControllerThreshold)
{
    std::vector<QRINTAAction*> directions;
    for (int n = 202; n <= 209; ++n)
        directions.push_back(addAction("Direction " + std::to_string(n), 2000 + n));
    const auto held = [&] {
        frame();
        std::vector<bool> result;
        for (auto* action : directions)
            result.push_back(action->isHeld());
        return result;
    };
    //                                           left   right  up     down   u+l    u+r    d+l    d+r
    setAxes(0, -32768, -32768);
    EXPECT_EQ(held(), std::vector<bool>({true, false, true, false, true, false, false, false}));
    setAxes(0, 32767, 32767);
    EXPECT_EQ(held(), std::vector<bool>({false, true, false, true, false, false, false, true}));
    // 0.5 of the travel leaves (0.5 - 0.3) / 0.7 = 0.29 after the dead zone: below the threshold.
    setAxes(0, 16339 - 90, 0);
    EXPECT_EQ(held(), std::vector<bool>(8, false));
}

TEST_F(JoypadTest, ButtonsOfEachControllerHaveTheirOwnCodes)
{
    auto* first = addAction("Fire", 2003);
    auto* second = addAction("Second Fire", 3003);
    auto* secondOther = addAction("Second Other", 3004);
    auto* third = addAction("Third Controller", 4003);
    SDL_JoystickSetVirtualButton(sticks_[1], 3, SDL_PRESSED);
    frame();
    EXPECT_FALSE(first->isHeld());
    EXPECT_TRUE(second->isJustPressed());
    EXPECT_FALSE(secondOther->isHeld());
    EXPECT_FALSE(third->isHeld()) << "no third controller: never pressed";
    EXPECT_FALSE(addAction("Beyond Buttons", 2128)->isHeld());
    SDL_JoystickSetVirtualButton(sticks_[1], 3, SDL_RELEASED);
    frame();
    EXPECT_TRUE(second->isJustReleased());
}

TEST_F(JoypadTest, ControllerThatCannotBeOpenedStaysAbsent)
{
    auto missing = qrNew<QRINTAJoypad>(nullptr, 7);
    EXPECT_FALSE(missing->isPresent());
    missing->poll();
    EXPECT_FALSE(missing->isPressed(2000));
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("Method: setupDevice: \r\nCould not create joypad object"), std::string::npos);
}

TEST_F(JoypadTest, StartAndReleaseAreLogged)
{
    input_.reset();
    shutDownCore();
    const std::string log = logText();
    for (const char* line : {"Joypad 0 initialized!", "Joypad 1 initialized!", "Joypad 0 released",
                             "Joypad 1 released"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
}
