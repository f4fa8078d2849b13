#include "kipster_process.h"

#include "screen_capture.h"
#include "temp_folder.h"
#include "x11_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// The real game on Mesa told to be an older driver: OpenGL 1.5 without GLSL (the fixed-function
// look) and OpenGL 2.0 with GLSL 1.10. Each starts without a message box, stays up and draws the
// ground in its colours (not black) under the sky.
namespace {

struct OldDriver {
    const char* name;
    std::vector<std::pair<const char*, const char*>> environment;
    // What the log says about the level.
    const char* versionLine;
    bool glsl;
};

void PrintTo(const OldDriver& driver, std::ostream* out)
{
    *out << driver.name;
}

const OldDriver kDrivers[] = {
    {"OpenGL15", {{"MESA_GL_VERSION_OVERRIDE", "1.5"}}, "Detected GL Version: 1.5", false},
    {"OpenGL20GLSL110",
     {{"MESA_GL_VERSION_OVERRIDE", "2.0"}, {"MESA_GLSL_VERSION_OVERRIDE", "110"}},
     "Detected GL Version: 2.0",
     true},
};

// Samples of the window's lower half (the ground in front of the hero): all, the grass-green ones
// and the dark ones. A black ground, or only the grey clear colour, has no green.
struct GroundCount {
    std::size_t samples = 0;
    std::size_t green = 0;
    std::size_t dark = 0;
};

GroundCount countGround(const TempFolder& scratch, std::uint64_t window)
{
    GroundCount count;
    const auto shot = captureScreen(scratch);
    const auto area = x11::windowGeometry(window);
    if (!shot || area.width <= 0)
        return count;
    for (int y = area.y + area.height / 2; y < area.y + area.height; y += 4) {
        for (int x = area.x; x < area.x + area.width; x += 4) {
            ++count.samples;
            const auto [r, g, b] = shot->pixel(x, y);
            if (g > r + 10 && g > b + 10)
                ++count.green;
            if (r + g + b < 60)
                ++count.dark;
        }
    }
    return count;
}

class OldDriverLevel : public testing::TestWithParam<OldDriver> {};

} // namespace

TEST_P(OldDriverLevel, TheGameRunsAndDrawsTheGroundWithoutAMessageBox)
{
    const OldDriver& driver = GetParam();
    KipsterProcess kipster;
    for (const auto& [name, value] : driver.environment)
        setenv(name, value, 1);
    kipster.start();
    for (const auto& [name, value] : driver.environment)
        unsetenv(name);
    ASSERT_TRUE(kipster.waitForLog(driver.versionLine, std::chrono::seconds(60))) << kipster.log();
    const auto window = kipster.waitForMainWindow(std::chrono::seconds(90));
    ASSERT_NE(window, 0u) << kipster.log();
    ASSERT_TRUE(KipsterProcess::focusMainWindow());

    TempFolder shots;
    GroundCount ground;
    // The hero starts on a meadow beside a street: much of the lower half is grass, little is dark.
    EXPECT_TRUE(KipsterProcess::waitFor(
        [&] {
            ground = countGround(shots, window);
            return ground.samples > 0 && ground.green > ground.samples * 3 / 10 && ground.dark < ground.samples / 20;
        },
        std::chrono::seconds(60)))
        << ground.green << " green and " << ground.dark << " dark of " << ground.samples << " ground samples\n"
        << kipster.log();
    EXPECT_TRUE(kipster.isRunning());

    // Every message box is logged as an error line first: there is none.
    const std::string log = kipster.log();
    EXPECT_EQ(log.find("class = \"error\""), std::string::npos) << log;
    const bool fixedFunction = log.find("GLSL shaders are not available") != std::string::npos;
    EXPECT_EQ(fixedFunction, !driver.glsl) << log;
    kipster.killNow();
}

INSTANTIATE_TEST_SUITE_P(Mesa, OldDriverLevel, testing::ValuesIn(kDrivers),
                         [](const testing::TestParamInfo<OldDriver>& info) { return std::string(info.param.name); });
