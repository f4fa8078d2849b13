#include "e2e_bytes.h"
#include "e2e_shell.h"
#include "kipster_process.h"
#include "temp_folder.h"
#include "x11_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

// Play in the real program: the hero at the world's edges, the level kept through play, and play
// started from the editor's cursor. The game's sounds are captured (OpenAL's wave output) to tell
// what the hero did.
namespace {

using namespace std::chrono_literals;

struct Placed {
    std::string type;
    float x, y, z;
};

constexpr float kGround = 5.0f;
constexpr const char* kWindowedGame = "[DISPLAY]\r\nFullscreen = FALSE\r\n[MODE]\r\nStartupMode = Game\r\n";
constexpr const char* kWindowedEditor = "[DISPLAY]\r\nFullscreen = FALSE\r\n[MODE]\r\nStartupMode = Editor\r\n";

// Area (ax, az) as the game stores it: grass, flat at kGround, each entity in the record of the
// block under it.
std::string areaFile(int ax, int az, const std::vector<Placed>& entities)
{
    const float left = 640.0f * static_cast<float>(ax), top = 640.0f * static_cast<float>(az);
    std::string out;
    for (int i = 0; i < 40 * 40; ++i)
        put32(out, 0);
    for (int i = 0; i < 160 * 160; ++i)
        for (float v : {kGround, 0.0f, 1.0f, 0.0f})
            putFloat(out, v);
    for (int bx = 0; bx < 4; ++bx) {
        for (int bz = 0; bz < 4; ++bz) {
            const float x0 = left + 160.0f * static_cast<float>(bx), z0 = top + 160.0f * static_cast<float>(bz);
            for (float v : {x0, kGround, z0, x0 + 160.0f, kGround, z0 + 160.0f})
                putFloat(out, v);
            std::vector<Placed> here;
            for (const Placed& entity : entities)
                if (entity.x >= x0 && entity.x < x0 + 160.0f && entity.z >= z0 && entity.z < z0 + 160.0f)
                    here.push_back(entity);
            put32(out, static_cast<std::uint32_t>(here.size()));
            for (const Placed& entity : here) {
                put32(out, static_cast<std::uint32_t>(entity.type.size()));
                out += entity.type;
                for (float v : {entity.x, entity.y, entity.z, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f})
                    putFloat(out, v);
            }
        }
    }
    for (float v : {left, kGround, top, left + 640.0f, kGround, top + 640.0f})
        putFloat(out, v);
    return out;
}

int occurrences(const std::string& text, const std::string& what)
{
    int count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// The samples of a mono 16-bit PCM WAV file, read while it is still being written: the data chunk
// runs to the end of what is there.
std::vector<int> samples(const std::string& wav)
{
    std::vector<int> result;
    const std::size_t data = wav.find("data");
    for (std::size_t i = data == std::string::npos ? wav.size() : data + 8; i + 1 < wav.size(); i += 2)
        result.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(wav[i]) |
                                                   (static_cast<unsigned char>(wav[i + 1]) << 8)));
    return result;
}

bool heardSince(const std::vector<int>& captured, std::size_t since)
{
    for (std::size_t i = since; i < captured.size(); ++i)
        if (std::abs(captured[i]) > 100)
            return true;
    return false;
}


class PlayE2E : public ::testing::Test {
protected:
    // Only the given areas: the shipped world's own hero must not take over.
    void start(const char* settings, const std::map<std::pair<int, int>, std::vector<Placed>>& areas)
    {
        kipster_.folder().write("kipster.ini", settings);
        kipster_.folder().write("alsoft.conf", "[general]\ndrivers=wave\nfrequency=22050\nchannels=mono\n"
                                               "sample-type=int16\n[wave]\nfile=" +
                                                   (kipster_.folder() / "capture.wav").string() + "\n");
        std::filesystem::remove_all(kipster_.folder() / "world");
        for (const auto& [area, entities] : areas)
            kipster_.folder().write(areaName(area.first, area.second), areaFile(area.first, area.second, entities));
        kipster_.start();
        window_ = kipster_.waitForMainWindow();
        ASSERT_NE(window_, 0u) << kipster_.log();
        ASSERT_TRUE(KipsterProcess::focusMainWindow());
    }
    static std::string areaName(int ax, int az)
    {
        return "world/area_" + std::to_string(ax) + "_" + std::to_string(az) + ".world";
    }
    // Game frames are running once the captured mouse is put back to the middle of the view.
    static bool gameFramesRun(std::chrono::seconds timeout)
    {
        return KipsterProcess::waitFor(
            [] {
                if (!xdo("mousemove 1 1"))
                    return false;
                pause(300ms);
                return output("xdotool getmouselocation").find("x:1 y:1 ") == std::string::npos;
            },
            timeout);
    }
    // Without a window manager the switch of the window's size may briefly take the focus away,
    // which pauses play; its menu's first entry resumes it.
    static bool waitForGameFrames()
    {
        if (gameFramesRun(20s))
            return true;
        KipsterProcess::focusMainWindow();
        KipsterProcess::typeKey("Return");
        return gameFramesRun(40s);
    }
    static bool editorShown(std::chrono::seconds timeout)
    {
        return KipsterProcess::waitFor([] { return x11::findWindowByTitle("Edit Tools") != 0; }, timeout);
    }
    static bool waitForEditor() { return editorShown(30s); }
    // F5 in game mode, once play is running with the keyboard (resumed first if a lost focus paused it).
    static bool backToEditor()
    {
        KipsterProcess::focusMainWindow();
        KipsterProcess::typeKey("F5");
        if (editorShown(15s))
            return true;
        KipsterProcess::focusMainWindow();
        KipsterProcess::typeKey("Return");
        pause(1000ms);
        KipsterProcess::typeKey("F5");
        return editorShown(30s);
    }
    std::vector<int> captured() const { return samples(kipster_.folder().read("capture.wav")); }
    // Every area file after the editor's Save World.
    std::map<std::string, std::string> saveWorld()
    {
        const int before = occurrences(kipster_.log(), "Saving Area File");
        EXPECT_TRUE(KipsterProcess::typeKey("ctrl+alt+s"));
        EXPECT_TRUE(KipsterProcess::waitFor([&] { return occurrences(kipster_.log(), "Saving Area File") >= before + 16; },
                                            60s))
            << kipster_.log();
        pause(1000ms);
        std::map<std::string, std::string> areas;
        for (int ax = 0; ax < 4; ++ax)
            for (int az = 0; az < 4; ++az)
                areas[areaName(ax, az)] = kipster_.folder().read(areaName(ax, az));
        return areas;
    }
    void quit()
    {
        ASSERT_TRUE(KipsterProcess::typeKey("Escape"));
        // Unsaved edits would be asked about; there are none in these runs.
        ASSERT_EQ(kipster_.waitForExit(60s).value_or(-1), 0) << kipster_.log();
    }

    KipsterProcess kipster_;
    std::uint64_t window_ = 0;
};

} // namespace

TEST_F(PlayE2E, AtTheWorldsEdgesTheHeroStopsWalkingAndFlyingAndKeepsControl)
{
    // Kip starts facing along (sin 40, 0, cos 40): forward leads into the far corner, back into the
    // near one. He walks into the corner, is heard stepping back out, takes off into it, and is
    // heard beating his wings there, then lands and is heard stepping away.
    start(kWindowedGame, {{{3, 3}, {{"Kip", 2548.0f, kGround, 2548.0f}}}});
    ASSERT_TRUE(waitForGameFrames()) << kipster_.log();
    const auto hold = [](const char* key, std::chrono::milliseconds time) {
        ASSERT_TRUE(xdo(std::string("keydown ") + key));
        pause(time);
        ASSERT_TRUE(xdo(std::string("keyup ") + key));
    };
    hold("w", 8000ms);
    std::size_t mark = captured().size();
    hold("s", 4000ms);
    EXPECT_TRUE(heardSince(captured(), mark)) << "footsteps after walking into the far corner";

    ASSERT_TRUE(KipsterProcess::typeKey("space"));
    pause(400ms);
    ASSERT_TRUE(KipsterProcess::typeKey("space"));
    pause(5000ms);
    mark = captured().size();
    pause(3000ms);
    EXPECT_TRUE(heardSince(captured(), mark)) << "wing beats while flying against the far corner";
    ASSERT_TRUE(KipsterProcess::typeKey("space"));
    pause(3000ms);
    mark = captured().size();
    hold("s", 4000ms);
    EXPECT_TRUE(heardSince(captured(), mark)) << "footsteps after landing in the corner";

}

TEST_F(PlayE2E, BackingIntoTheNearCornerTheHeroStopsAndWalksOnAfterwards)
{
    // Back leads out of the world across both near edges (x and z below 0).
    start(kWindowedGame, {{{0, 0}, {{"Kip", 9.0f, kGround, 9.0f}}}});
    ASSERT_TRUE(waitForGameFrames()) << kipster_.log();
    ASSERT_TRUE(xdo("keydown s"));
    pause(6000ms);
    ASSERT_TRUE(xdo("keyup s"));
    pause(1000ms);
    const std::size_t mark = captured().size();
    ASSERT_TRUE(xdo("keydown w"));
    pause(4000ms);
    ASSERT_TRUE(xdo("keyup w"));
    EXPECT_TRUE(heardSince(captured(), mark)) << "footsteps after backing into the near corner";
}

TEST_F(PlayE2E, PlayingFromTheEditorLeavesEveryAreaFileAsTheLevelHadIt)
{
    // A paper at his feet is collected at once; the monkey nearby turns to him and throws.
    start(kWindowedEditor,
          {{{0, 0},
            {{"Kip", 100.0f, kGround, 100.0f}, {"Paper", 101.0f, kGround, 100.0f}, {"CoderMonkey", 110.0f, kGround, 120.0f}}}});
    ASSERT_TRUE(waitForEditor()) << kipster_.log();
    pause(1000ms);
    const std::map<std::string, std::string> level = saveWorld();
    ASSERT_EQ(level.size(), 16u);

    ASSERT_TRUE(KipsterProcess::typeKey("F5"));
    ASSERT_TRUE(waitForGameFrames()) << kipster_.log();
    pause(5000ms);
    const std::size_t heard = captured().size();
    ASSERT_TRUE(backToEditor()) << kipster_.log();
    pause(1000ms);
    ASSERT_TRUE(heardSince(captured(), 0)) << "the paper was collected and the monkey threw";
    ASSERT_GT(heard, 0u);

    const std::map<std::string, std::string> after = saveWorld();
    for (const auto& [name, bytes] : level)
        EXPECT_TRUE(after.at(name) == bytes) << name << " changed by play";
    quit();
}

TEST_F(PlayE2E, PlayFromHerePutsTheHeroAtTheCursor)
{
    // The editor looks at Kip from 40 behind and 25 above; the lower middle of the view points at
    // the ground between, where papers lie every 4 units (none within his reach where he stands).
    const float aheadX = std::sin(40.0f * 3.14159265f / 180.0f), aheadZ = std::cos(40.0f * 3.14159265f / 180.0f);
    std::vector<Placed> entities{{"Kip", 200.0f, kGround, 200.0f}};
    for (float behind = 6.0f; behind <= 38.0f; behind += 4.0f)
        entities.push_back({"Paper", 200.0f - aheadX * behind, kGround, 200.0f - aheadZ * behind});
    start(kWindowedEditor, {{{0, 0}, entities}});
    ASSERT_TRUE(waitForEditor()) << kipster_.log();
    pause(1500ms);
    const x11::Geometry view = x11::windowGeometry(window_);
    ASSERT_TRUE(xdo("mousemove " + std::to_string(view.x + view.width / 2) + " " +
                    std::to_string(view.y + view.height * 4 / 5)));
    pause(1500ms);
    const std::size_t before = captured().size();
    ASSERT_TRUE(KipsterProcess::typeKey("ctrl+F5"));
    ASSERT_TRUE(waitForGameFrames()) << kipster_.log();
    pause(4000ms);

    // The first thing heard is a paper being collected where he was put.
    const std::vector<int> sound = captured();
    const std::vector<int> collect = samples(kipster_.folder().read("sounds/collect_paper.wav"));
    ASSERT_FALSE(collect.empty());
    std::size_t onset = before;
    while (onset < sound.size() && std::abs(sound[onset]) < 100)
        ++onset;
    ASSERT_LT(onset, sound.size()) << "nothing was heard: no paper where the cursor pointed";
    std::size_t lead = 0;
    while (lead < collect.size() && std::abs(collect[lead]) < 100)
        ++lead;
    double best = 0.0;
    const std::size_t start = onset - std::min(onset, lead);
    for (std::size_t offset = start > 50 ? start - 50 : 0; offset < start + 50; ++offset)
        best = std::max(best, correlation(sound, offset, collect));
    EXPECT_GT(best, 0.9) << "the first sound is the paper's";

    // Back in the editor the level is as it was: no paper is missing.
    ASSERT_TRUE(backToEditor()) << kipster_.log();
    quit();
}
