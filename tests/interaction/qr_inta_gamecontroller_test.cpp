#include "engine_fixture.h"

#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_joypad.h"
#include "interaction/qr_inta_main.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

// SDL's virtual devices: a controller its mapping database reads in the standard layout, and a
// plain joystick it has no mapping for. Both attached before the input module starts.
class GameControllerTest : public EngineFixture {
protected:
    GameControllerTest()
    {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        initialized_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
        if (initialized_) {
            pad_ = attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX);
            stick_ = attach(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4);
        }
        input_ = qrNew<QRINTAMain>(&core());
        input_->initialize();
    }
    ~GameControllerTest() override
    {
        input_.reset();
        for (auto [index, handle] : attached_) {
            if (handle)
                SDL_JoystickClose(handle);
        }
        for (int i = SDL_NumJoysticks() - 1; i >= 0; --i)
            SDL_JoystickDetachVirtual(i);
        if (initialized_)
            SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }

    SDL_Joystick* attach(SDL_JoystickType type, int axes, int buttons)
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = static_cast<Uint16>(type);
        desc.naxes = static_cast<Uint16>(axes);
        desc.nbuttons = static_cast<Uint16>(buttons);
        desc.name = type == SDL_JOYSTICK_TYPE_GAMECONTROLLER ? "Kipster Test Pad" : "Kipster Test Stick";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        SDL_Joystick* handle = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
        attached_.push_back({index, handle});
        return handle;
    }

    void SetUp() override
    {
        ASSERT_TRUE(initialized_) << SDL_GetError();
        ASSERT_NE(pad_, nullptr) << SDL_GetError();
        ASSERT_NE(stick_, nullptr) << SDL_GetError();
        ASSERT_EQ(input_->getDevices()->getJoypadCount(), 2);
        // The virtual pad's triggers run over the axis' whole range: at rest they are at its bottom.
        SDL_JoystickSetVirtualAxis(pad_, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
        SDL_JoystickSetVirtualAxis(pad_, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    }

    QRINTAJoypad& joypad(int k) { return *input_->getDevices()->getJoypad(k); }
    QRINTAAction* addAction(std::string_view name, int code) { return input_->getActions()->addAction(name, code); }
    void frame() { input_->update(); }

    bool initialized_ = false;
    SDL_Joystick* pad_ = nullptr;
    SDL_Joystick* stick_ = nullptr;
    std::vector<std::pair<int, SDL_Joystick*>> attached_;
    QROwned<QRINTAMain> input_;
};

TEST_F(GameControllerTest, AKnownControllerIsReadInTheStandardLayout)
{
    EXPECT_TRUE(joypad(0).isMapped());
    EXPECT_FALSE(joypad(1).isMapped()) << "no mapping: the plain joystick path";

    struct Case {
        const char* what;
        int button;          // pressed on the virtual pad, -1 none
        int axis;            // moved on the virtual pad, -1 none
        Sint16 position;
        int code;            // the action's code
        bool held;
        float value;
    };
    const Case cases[] = {
        {"A jumps", SDL_CONTROLLER_BUTTON_A, -1, 0, 2000, true, 0.0f},
        {"Start pauses", SDL_CONTROLLER_BUTTON_START, -1, 0, 2006, true, 0.0f},
        {"the right shoulder", SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, -1, 0, 2010, true, 0.0f},
        {"d-pad down", SDL_CONTROLLER_BUTTON_DPAD_DOWN, -1, 0, 2012, true, 0.0f},
        {"left stick pushed away walks", -1, SDL_CONTROLLER_AXIS_LEFTY, -32768, 2204, true, 0.0f},
        {"left stick to the right", -1, SDL_CONTROLLER_AXIS_LEFTX, 32767, 2200, false, 1.0f},
        {"right stick up looks up", -1, SDL_CONTROLLER_AXIS_RIGHTY, -32768, 2211, false, 1.0f},
        {"right stick left", -1, SDL_CONTROLLER_AXIS_RIGHTX, -32768, 2210, false, -1.0f},
        {"right trigger fires", -1, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767, 2213, true, 1.0f},
        // A fifth of the trigger's travel stays in the dead zone.
        {"a light touch on the trigger", -1, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -19661, 2212, false, 0.0f},
    };
    int serial = 0;
    for (const Case& c : cases) {
        QRINTAAction* action = addAction("Case " + std::to_string(serial++), c.code);
        if (c.button >= 0)
            SDL_JoystickSetVirtualButton(pad_, c.button, SDL_PRESSED);
        if (c.axis >= 0)
            SDL_JoystickSetVirtualAxis(pad_, c.axis, c.position);
        frame();
        EXPECT_EQ(action->isHeld(), c.held) << c.what;
        EXPECT_NEAR(action->getValue(), c.value, 0.001f) << c.what;
        if (c.button >= 0)
            SDL_JoystickSetVirtualButton(pad_, c.button, SDL_RELEASED);
        if (c.axis >= 0)
            SDL_JoystickSetVirtualAxis(pad_, c.axis, c.axis >= SDL_CONTROLLER_AXIS_TRIGGERLEFT ? -32768 : 0);
        frame();
        EXPECT_FALSE(action->isHeld()) << c.what << " let go";
    }

    // The plain joystick keeps its own order: its button 2 is code 3002.
    QRINTAAction* plain = addAction("Plain", 3002);
    SDL_JoystickSetVirtualButton(stick_, 2, SDL_PRESSED);
    frame();
    EXPECT_TRUE(plain->isHeld());
}

TEST_F(GameControllerTest, DeadZoneIsASetting)
{
    QRINTAAction* x = addAction("Steer", 2200);
    // 20 % of the travel: inside the usual dead zone, outside a small one.
    SDL_JoystickSetVirtualAxis(pad_, SDL_CONTROLLER_AXIS_LEFTX, 6535 - 90);
    frame();
    EXPECT_EQ(x->getValue(), 0.0f);
    input_->getDevices()->setControllerDeadZone(0.1f);
    frame();
    EXPECT_NEAR(x->getValue(), (0.2f - 0.1f) / 0.9f, 0.01f);
}

TEST_F(GameControllerTest, ControllersPluggedInAndOutWhileRunning)
{
    QRINTAAction* third = addAction("Third A", 4000);
    SDL_Joystick* late = attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX);
    ASSERT_NE(late, nullptr);
    SDL_JoystickSetVirtualButton(late, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
    frame();
    ASSERT_EQ(input_->getDevices()->getJoypadCount(), 3);
    EXPECT_TRUE(joypad(2).isMapped());
    EXPECT_TRUE(third->isHeld()) << "the new one is the third controller";

    // The first one goes: the others move up a place.
    SDL_JoystickClose(pad_);
    attached_[0].second = nullptr;
    ASSERT_EQ(SDL_JoystickDetachVirtual(0), 0) << SDL_GetError();
    frame();
    ASSERT_EQ(input_->getDevices()->getJoypadCount(), 2);
    EXPECT_FALSE(joypad(0).isMapped()) << "the plain joystick is first now";
    EXPECT_FALSE(third->isHeld());
    QRINTAAction* second = addAction("Second A", 3000);
    frame();
    EXPECT_TRUE(second->isHeld()) << "the late one moved up to second";
    EXPECT_TRUE(shownBoxes().empty());
}
