#include "kipster_process.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool appearsInOrder(const std::string& log, const std::vector<std::string>& texts, std::string& missing)
{
    std::size_t position = 0;
    for (const auto& text : texts) {
        position = log.find(text, position);
        if (position == std::string::npos) {
            missing = text;
            return false;
        }
    }
    return true;
}

// Pixels of the whole screen whose channels all lie within 1 of grey.
std::size_t countGreyPixels(const TempFolder& folder, int grey)
{
    const auto shot = folder / "screen.rgb";
    const std::string command = "import -window root -depth 8 rgb:" + shot.string() + " 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return 0;
    const std::string pixels = readWholeFile(shot);
    std::size_t count = 0;
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
        bool match = true;
        for (std::size_t c = 0; c < 3; ++c)
            match = match && std::abs(static_cast<unsigned char>(pixels[i + c]) - grey) <= 1;
        count += match ? 1 : 0;
    }
    return count;
}

} // namespace

// The view of the running program is the main render context's picture: cleared to grey every frame.
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
                               missing))
        << "missing or out of order: " << missing << "\n"
        << kipster.log();
    ASSERT_NE(kipster.waitForMainWindow(), 0u);

    // Frames are drawn only while the program has the focus.
    ASSERT_TRUE(KipsterProcess::waitFor(
        [] { return std::system("xdotool search --onlyvisible --name '^Kipster$' windowfocus 2>/dev/null") == 0; },
        std::chrono::seconds(10)));
    TempFolder shots;
    // 0.3 of 255 is 76.5; the 1024 x 768 window is mostly view.
    std::size_t grey = 0;
    EXPECT_TRUE(KipsterProcess::waitFor([&] { return (grey = countGreyPixels(shots, 77)) > 900u * 600u; },
                                        std::chrono::seconds(15)))
        << grey << " grey pixels\n"
        << kipster.log();
    // No error from the rendering module, and no OpenGL error after any frame.
    EXPECT_EQ(kipster.log().find("(Class: QRVISX"), std::string::npos) << kipster.log();
    EXPECT_EQ(kipster.log().find("GL Error occurred"), std::string::npos) << kipster.log();
}
