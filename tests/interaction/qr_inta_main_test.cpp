#include "input_fixture.h"
#include "text_order.h"

#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_keyboard.h"

#include <gtest/gtest.h>

class InputMainTest : public InputFixture {};

TEST_F(InputMainTest, StartUpOpensTheDevicesBetweenItsBanners)
{
    EXPECT_TRUE(appearsInOrder(logText(), {
        "QOR INTA: QOR Interact! Initializing...",
        "Direct Input initialized!",
        "Keyboard initialized!",
        "Mouse initialized!",
        "QOR INTA: QOR Interact! Initialized!",
    })) << logText();
    EXPECT_TRUE(input().getDevices()->getKeyboard()->isPresent());
    EXPECT_EQ(qrInput(), &input());
}

TEST_F(InputMainTest, InitializingAgainReopensTheDevicesAndDropsTheActions)
{
    addAction("Jump", 57);
    input().initialize();
    EXPECT_EQ(actions().getCount(), 0);
    EXPECT_NE(input().getDevices()->getKeyboard(), nullptr);
    EXPECT_TRUE(appearsInOrder(logText(), {"Keyboard initialized!", "Keyboard released", "Direct Input released",
                                           "Direct Input initialized!", "Keyboard initialized!"}));
}

class InputShutdownTest : public EngineFixture {};

TEST_F(InputShutdownTest, DestructionReleasesEveryDeviceThenThePlatformInput)
{
    auto input = qrNew<QRINTAMain>(&core());
    input->initialize();
    input.reset();
    EXPECT_EQ(qrInput(), nullptr);
    shutDownCore();
    EXPECT_TRUE(appearsInOrder(logText(), {"Keyboard released", "Mouse released", "Direct Input released"}))
        << logText();
}
