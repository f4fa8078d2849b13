#include "kipster_process.h"
#include "screen_capture.h"
#include "temp_folder.h"
#include "x11_window.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

// Progress kept across runs and the pause, in the real program on the shipped world.
namespace {

struct Position {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

// The hero's position in the progress file (after the eight-byte tag and the world's digest).
std::optional<Position> savedHero(const TempFolder& folder)
{
    const std::string bytes = folder.read("progress.sav");
    if (bytes.size() < 28 || bytes.compare(0, 8, "KIPPROG1") != 0)
        return std::nullopt;
    Position p;
    std::memcpy(&p.x, bytes.data() + 16, 4);
    std::memcpy(&p.y, bytes.data() + 20, 4);
    std::memcpy(&p.z, bytes.data() + 24, 4);
    return p;
}

float flatDistance(const Position& a, const Position& b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

void pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

class Progress : public ::testing::Test {
protected:
    void start()
    {
        kipster_.start();
        window_ = kipster_.waitForMainWindow();
        ASSERT_NE(window_, 0u);
        ASSERT_TRUE(KipsterProcess::focusMainWindow());
        ASSERT_TRUE(kipster_.waitForLog("Play begins", std::chrono::seconds(60))) << kipster_.log();
        // A few frames drawn: the world is up.
        pause(3000);
    }
    void quit()
    {
        ASSERT_TRUE(KipsterProcess::typeKey("Escape"));
        ASSERT_EQ(kipster_.waitForExit(std::chrono::seconds(60)).value_or(-1), 0) << kipster_.log();
    }
    // Holds a key down for a while (a software renderer draws a few frames a second at most).
    static void hold(const char* key, int milliseconds)
    {
        ASSERT_EQ(std::system((std::string("xdotool keydown ") + key).c_str()), 0);
        pause(milliseconds);
        ASSERT_EQ(std::system((std::string("xdotool keyup ") + key).c_str()), 0);
    }
    // The middle of the view, where the paused menu stands; a quarter of its width and height.
    std::string middle()
    {
        const auto shot = captureScreen(scratch_);
        if (!shot)
            return {};
        const x11::Geometry area = x11::windowGeometry(window_);
        std::string pixels;
        for (int y = area.y + area.height * 3 / 8; y < area.y + area.height * 5 / 8; y += 2)
            for (int x = area.x + area.width * 3 / 8; x < area.x + area.width * 5 / 8; x += 2)
                for (int c : shot->pixel(x, y))
                    pixels.push_back(static_cast<char>(c));
        return pixels;
    }
    static int difference(const std::string& a, const std::string& b)
    {
        int changed = 0;
        for (std::size_t i = 0; i + 2 < std::min(a.size(), b.size()); i += 3)
            changed += std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 60;
        return changed;
    }

    KipsterProcess kipster_;
    TempFolder scratch_;
    std::uint64_t window_ = 0;
};

} // namespace

TEST_F(Progress, KipIsWhereHeWasAfterEscAndAStartAgain)
{
    start();
    quit();
    const auto home = savedHero(kipster_.folder());
    ASSERT_TRUE(home.has_value()) << "Esc keeps the progress";

    start();
    hold("w", 6000);
    quit();
    const auto walked = savedHero(kipster_.folder());
    ASSERT_TRUE(walked.has_value());
    ASSERT_GT(flatDistance(*home, *walked), 2.0f) << "he walked";

    start();
    EXPECT_NE(kipster_.log().find("Play begins where the player left it"), std::string::npos);
    quit();
    const auto resumed = savedHero(kipster_.folder());
    ASSERT_TRUE(resumed.has_value());
    EXPECT_LT(flatDistance(*walked, *resumed), 0.01f) << "not back at the start";
    EXPECT_FALSE(kipster_.folder().read("world/area_0_0.world").empty());
}

TEST_F(Progress, PHoldsTheGameAndPResumesIt)
{
    start();
    quit();
    const auto home = savedHero(kipster_.folder());
    ASSERT_TRUE(home.has_value());

    start();
    const std::string playing = middle();
    ASSERT_TRUE(KipsterProcess::typeKey("p"));
    std::string paused;
    // The menu comes up over the view.
    EXPECT_TRUE(KipsterProcess::waitFor([&] { return difference(playing, paused = middle()) > 500; },
                                        std::chrono::seconds(30)));
    hold("w", 5000);
    EXPECT_LT(difference(paused, middle()), 50) << "holding W changes nothing while paused";
    ASSERT_TRUE(KipsterProcess::typeKey("p"));
    EXPECT_TRUE(KipsterProcess::waitFor([&] { return difference(paused, middle()) > 500; }, std::chrono::seconds(30)))
        << "the menu goes";
    quit();
    const auto afterPause = savedHero(kipster_.folder());
    ASSERT_TRUE(afterPause.has_value());
    EXPECT_LT(flatDistance(*home, *afterPause), 0.01f) << "W did not move him while paused";

    // Resumed, W walks again.
    start();
    ASSERT_TRUE(KipsterProcess::typeKey("p"));
    pause(2000);
    ASSERT_TRUE(KipsterProcess::typeKey("p"));
    pause(2000);
    hold("w", 6000);
    quit();
    const auto walked = savedHero(kipster_.folder());
    ASSERT_TRUE(walked.has_value());
    EXPECT_GT(flatDistance(*home, *walked), 2.0f);
}
