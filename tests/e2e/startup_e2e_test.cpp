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
}

// The process ends from the application's destructor, past which nothing runs: the log must still
// end with the application's two empty lines, the core's closing lines and the HTML footer,
// whether the player quits with Esc or closes the window.
TEST(Startup, LogEndsWithTheClosingLinesAfterEscAndAfterClosing)
{
    for (const bool byEsc : {true, false}) {
        SCOPED_TRACE(byEsc ? "Esc" : "close request");
        KipsterProcess kipster;
        kipster.start();
        const auto window = kipster.waitForMainWindow();
        ASSERT_NE(window, 0u);
        ASSERT_TRUE(kipster.waitForLog("QOR CORE: Initialized!"));
        if (byEsc) {
            ASSERT_TRUE(KipsterProcess::focusMainWindow());
            ASSERT_TRUE(KipsterProcess::typeKey("Escape"));
        } else {
            ASSERT_TRUE(x11::sendCloseRequest(window));
        }
        const auto exitCode = kipster.waitForExit();
        ASSERT_TRUE(exitCode.has_value()) << "kipster did not end";
        EXPECT_EQ(*exitCode, 0);
        const std::string log = kipster.log();
        const std::string empty = "<div>&nbsp;</div>\r\n";
        const auto closing = log.rfind(empty + empty);
        ASSERT_NE(closing, std::string::npos) << log;
        const std::string tail = log.substr(closing);
        EXPECT_TRUE(appearsInOrder(tail, {"<div>QOR CORE: Shutting Down...</div>", "</body>", "</html>"})) << tail;
        const std::string footer = "</body>\r\n</html>\r\n";
        ASSERT_GE(log.size(), footer.size());
        EXPECT_EQ(log.substr(log.size() - footer.size()), footer) << tail;
    }
}
