#include "kipster_process.h"
#include "text_order.h"
#include "x11_window.h"

#include <gtest/gtest.h>

#include <thread>


TEST(Startup, LogsStartupRunsFramesAndEndsCleanlyOnCloseRequest)
{
    KipsterProcess kipster;
    kipster.start();
    ASSERT_TRUE(kipster.waitForLog("QOR CORE: Initialized!")) << kipster.log();
    EXPECT_TRUE(appearsInOrder(kipster.log(), {
        "<html>", "<style type=\"text/css\">", "<body>",
        "<div>QOR CORE: Initializing...</div>",
        "<div>Engine:      QOR 2 Engine</div>",
        "<div>Version:     0.0.1.0</div>",
        "<div>Object Managers Initialized!</div>",
        "<div>Math Classes Initialized!</div>",
        "<div>Utility Classes Initialized!</div>",
        "<div>QOR CORE: Initialized!</div>",
    })) << kipster.log();

    const auto window = kipster.waitForMainWindow();
    ASSERT_NE(window, 0u);
    // Frames run back to back: the process keeps a core busy.
    const long before = kipster.cpuTicks();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_GT(kipster.cpuTicks() - before, 30) << "no frames seem to run";

    ASSERT_TRUE(x11::sendCloseRequest(window));
    const auto exitCode = kipster.waitForExit();
    ASSERT_TRUE(exitCode.has_value()) << "kipster did not end after the close request";
    EXPECT_EQ(*exitCode, 0);
    // The application ends the process itself: the log's last lines are its two empty lines.
    const std::string ending = "<div>&nbsp;</div>\r\n<div>&nbsp;</div>\r\n";
    const auto log = kipster.log();
    ASSERT_GE(log.size(), ending.size());
    EXPECT_EQ(log.substr(log.size() - ending.size()), ending);
}
