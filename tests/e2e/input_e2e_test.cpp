#include "kipster_process.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

    // Only the viewable one: an unmapped 1x1 window carries the title too and cannot take the focus.
    ASSERT_TRUE(KipsterProcess::waitFor(
        [] { return std::system("xdotool search --onlyvisible --name '^Kipster$' windowfocus 2>/dev/null") == 0; },
        std::chrono::seconds(10)));
    // One press and release, typically both handled between the same two frames.
    ASSERT_EQ(std::system("xdotool key Escape"), 0);
    const auto exitCode = kipster.waitForExit();
    ASSERT_TRUE(exitCode.has_value()) << "Escape did not end kipster\n" << kipster.log();
    EXPECT_EQ(*exitCode, 0);
    EXPECT_NE(kipster.log().find("Keyboard released"), std::string::npos);
}
