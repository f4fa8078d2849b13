#include "kipster_process.h"
#include "text_order.h"

#include "screen_capture.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The view of the running program is the main render context's picture: cleared to grey every frame.
namespace {
std::size_t countGrey(const TempFolder& scratch, int grey)
{
    const auto shot = captureScreen(scratch);
    return shot ? shot->countGrey(grey, 1) : 0;
}
} // namespace

TEST(Visual, RunningProgramShowsAGreyViewAndLogsTheVisualStartUp)
{
    KipsterProcess kipster;
    kipster.start();
    ASSERT_TRUE(kipster.waitForLog("Render Context \"Main RC\": Rendering context created")) << kipster.log();
    std::string missing;
    EXPECT_TRUE(appearsInOrder(kipster.log(),
                               {
                                   "<div>QOR VISX: QOR Visual Experience Initializing...</div>",
                                   "Generating RC \"Backup Render Context\"",
                                   "Extension \"GLX_version_1_3\" loaded",
                                   "Detected GL Version: 2.0",
                                   "VSync enabled",
                                   "Maximum multisampling quality: 4x",
                                   "State Manager initialized!",
                                   "<div>QOR VISX: QOR Visual Experience Initialized!</div>",
                                   "Generating RC \"Main RC\"",
                                   "Render Context \"Main RC\": Device Context created",
                                   "Render Context \"Main RC\": Rendering context created",
                               },
                               &missing))
        << "missing or out of order: " << missing << "\n"
        << kipster.log();
    ASSERT_NE(kipster.waitForMainWindow(), 0u);

    // Frames are drawn only while the program has the focus.
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    TempFolder shots;
    // 0.3 of 255 is 76.5; the 1024 x 768 window is mostly view.
    std::size_t grey = 0;
    EXPECT_TRUE(KipsterProcess::waitFor([&] { return (grey = countGrey(shots, 77)) > 900u * 600u; },
                                        std::chrono::seconds(15)))
        << grey << " grey pixels\n"
        << kipster.log();
    // No error from the rendering module, and no OpenGL error after any frame.
    EXPECT_EQ(kipster.log().find("(Class: QRVISX"), std::string::npos) << kipster.log();
    EXPECT_EQ(kipster.log().find("GL Error occurred"), std::string::npos) << kipster.log();
}
