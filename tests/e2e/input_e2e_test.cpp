#include "kipster_process.h"

#include <gtest/gtest.h>


// A key typed on the X server travels through the window system into the keyboard state the game
// reads: Escape is bound to "Quit", and quitting ends the program normally.
TEST(Input, EscapeTypedOnTheDisplayQuitsTheGame)
{
    KipsterProcess kipster;
    kipster.start();
    ASSERT_TRUE(kipster.waitForLog("QOR INTA: QOR Interact! Initialized!")) << kipster.log();
    const std::string log = kipster.log();
    EXPECT_NE(log.find("Keyboard initialized!"), std::string::npos);
    EXPECT_NE(log.find("Mouse initialized!"), std::string::npos);
    ASSERT_NE(kipster.waitForMainWindow(), 0u);
    ASSERT_TRUE(kipster.waitForLog("QOR BOOM: QOR BOOM Initialized!")) << kipster.log();

    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    // One press and release, typically both handled between the same two frames.
    ASSERT_TRUE(KipsterProcess::typeKey("Escape"));
    const auto exitCode = kipster.waitForExit();
    ASSERT_TRUE(exitCode.has_value()) << "Escape did not end kipster\n" << kipster.log();
    EXPECT_EQ(*exitCode, 0);
    EXPECT_NE(kipster.log().find("Keyboard released"), std::string::npos);
}
