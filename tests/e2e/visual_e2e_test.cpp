#include "kipster_process.h"
#include "text_order.h"

#include "screen_capture.h"
#include "temp_folder.h"
#include "x11_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include <string>
#include <vector>

// The view of the running program is the main render context's picture of the world.
namespace {
// Pixels of the window's area that show the drawn view, and of those the sky's blue ones in its
// upper quarter.
struct ViewCount {
    std::size_t view = 0;
    std::size_t skyAtTop = 0;
};

ViewCount countView(const TempFolder& scratch, std::uint64_t window)
{
    ViewCount count;
    const auto shot = captureScreen(scratch);
    const auto area = x11::windowGeometry(window);
    if (!shot || area.width <= 0)
        return count;
    for (int y = area.y; y < area.y + area.height; y += 4)
        for (int x = area.x; x < area.x + area.width; x += 4) {
            if (!shot->isView(x, y))
                continue;
            ++count.view;
            const auto [r, g, b] = shot->pixel(x, y);
            if (y < area.y + area.height / 4 && b > r + 40 && b > g)
                ++count.skyAtTop;
        }
    return count;
}
} // namespace

// On a desktop scaled for a high-density screen (QT_SCALE_FACTOR=2) the window's size is counted in
// logical pixels: the picture must still fill the whole panel, not its upper-left quarter.
class Visual : public testing::TestWithParam<const char*> {};

TEST_P(Visual, RunningProgramShowsTheWorldAndLogsTheVisualStartUp)
{
    const std::string scale = GetParam();
    KipsterProcess kipster;
    if (scale != "1") {
        // Half the size in logical pixels: the same 1024 x 768 on the screen.
        std::string ini = kipster.folder().read("kipster.ini");
        ini.replace(ini.find("Width = 1024"), 12, "Width = 512");
        ini.replace(ini.find("Height = 768"), 12, "Height = 384");
        kipster.folder().write("kipster.ini", ini);
    }
    setenv("QT_SCALE_FACTOR", scale.c_str(), 1);
    kipster.start();
    unsetenv("QT_SCALE_FACTOR");
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
    const auto window = kipster.waitForMainWindow();
    ASSERT_NE(window, 0u);

    // Frames are drawn only while the program has the focus.
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    TempFolder shots;
    // Sampled every fourth pixel: a 1024 x 768 window holds 256 x 192 samples, mostly view, and
    // the sky over the horizon fills much of the top quarter.
    ViewCount seen;
    EXPECT_TRUE(KipsterProcess::waitFor(
        [&] { return (seen = countView(shots, window)).view > 256u * 192u * 3 / 4 && seen.skyAtTop > 2000u; },
        std::chrono::seconds(30)))
        << seen.view << " view samples, " << seen.skyAtTop << " sky samples at the top\n"
        << kipster.log();
    // No error from the rendering module, and no OpenGL error after any frame.
    EXPECT_EQ(kipster.log().find("(Class: QRVISX"), std::string::npos) << kipster.log();
    EXPECT_EQ(kipster.log().find("GL Error occurred"), std::string::npos) << kipster.log();
}

INSTANTIATE_TEST_SUITE_P(ScaleFactor, Visual, testing::Values("1", "2"),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string("x") + info.param; });

// Heights, normals and boxes that are not numbers (a file damaged on disk, or written by a broken
// tool) are reported naming the file and replaced: the game starts, runs and draws the world.
TEST(VisualWorld, AnAreaFileWithNumbersThatAreNotFiniteIsReportedAndTheWorldStillDraws)
{
    KipsterProcess kipster;
    // The hero's area: NaN and infinite heights and broken normals all around him, and the first
    // block's box and the area's box made of NaN.
    std::string area = kipster.folder().read("world/area_1_1.world");
    ASSERT_GT(area.size(), 416472u);
    const auto put = [&](std::size_t offset, float value) { std::memcpy(area.data() + offset, &value, 4); };
    for (std::size_t vertex = 0; vertex < 25600; vertex += 7) {
        put(6400 + vertex * 16, vertex % 2 ? std::nanf("") : HUGE_VALF);
        put(6400 + vertex * 16 + 8, std::nanf(""));
    }
    for (std::size_t offset = 0; offset < 24; offset += 4) {
        put(416000 + offset, std::nanf(""));
        put(area.size() - 24 + offset, std::nanf(""));
    }
    kipster.folder().write("world/area_1_1.world", area);
    kipster.start();

    ASSERT_TRUE(kipster.waitForLog("The area file \"world\\area_1_1.world\" holds 7328 numbers that are not finite"))
        << kipster.log();
    // The report's box comes up before the main window shows.
    ASSERT_TRUE(KipsterProcess::answerBox("Kipster", "Return", std::chrono::seconds(30)));
    const auto window = kipster.waitForMainWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    TempFolder shots;
    ViewCount seen;
    EXPECT_TRUE(KipsterProcess::waitFor([&] { return (seen = countView(shots, window)).view > 256u * 192u * 3 / 4; },
                                        std::chrono::seconds(30)))
        << seen.view << " view samples\n" << kipster.log();
    EXPECT_TRUE(kipster.isRunning());
    EXPECT_EQ(kipster.log().find("GL Error occurred"), std::string::npos) << kipster.log();
}
