#include "engine_fixture.h"

#include "core/qr_core_log.h"
#include "main/app_main_frameguard.h"

#include <gtest/gtest.h>

#include <stdexcept>

class FrameGuardTest : public EngineFixture {};

TEST_F(FrameGuardTest, AThrowingStepIsLoggedWithItsMessageAndTheNextOneRuns)
{
    guardFrame("an unhandled exception occurred in the game logic loop",
               [] { throw std::runtime_error("List index out of bounds"); });
    guardFrame("an unhandled exception occurred in the rendering loop", [] { throw 42; });
    int ran = 0;
    guardFrame("an unhandled exception occurred in the game logic loop", [&] { ++ran; });
    EXPECT_EQ(ran, 1);
    const auto log = logText();
    EXPECT_NE(log.find("<div class = \"error\">an unhandled exception occurred in the game logic loop</div>\r\n"
                       "<div class = \"error\">List index out of bounds</div>"),
              std::string::npos);
    EXPECT_NE(log.find("<div class = \"error\">an unhandled exception occurred in the rendering loop</div>"),
              std::string::npos);
    EXPECT_TRUE(shownBoxes().empty()) << "a failed frame must not block the game with a box";
}
