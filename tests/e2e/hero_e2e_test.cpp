#include "e2e_bytes.h"
#include "kipster_process.h"
#include "screen_capture.h"
#include "temp_folder.h"
#include "x11_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// The hero in the real program: a world of one area, Kip standing on high ground (above the water)
// facing a round hill, played with keys typed on the test's X server.
namespace {

struct Placed {
    std::string type;
    float x, y, z;
};

constexpr float kGround = 5.0f;
// Kip's starting heading (220 degrees) looks along (sin 40, 0, cos 40).
const float kAheadX = std::sin(40.0f * 3.14159265f / 180.0f);
const float kAheadZ = std::cos(40.0f * 3.14159265f / 180.0f);
const Placed kKip{"Kip", 100.0f, kGround, 100.0f};

// Area 0, 0 as the game stores it: grass everywhere, flat at kGround with a hill 40 units ahead of
// Kip, and the entities in the first block.
std::string areaFile(const std::vector<Placed>& entities)
{
    const float hillX = kKip.x + 40.0f * kAheadX, hillZ = kKip.z + 40.0f * kAheadZ;
    const auto height = [&](float x, float z) {
        const float d2 = (x - hillX) * (x - hillX) + (z - hillZ) * (z - hillZ);
        return kGround + 25.0f * std::exp(-d2 / (2.0f * 8.0f * 8.0f));
    };
    std::string out;
    for (int i = 0; i < 40 * 40; ++i)
        put32(out, 0);
    for (int vx = 0; vx < 160; ++vx) {
        for (int vz = 0; vz < 160; ++vz) {
            const float x = 4.0f * static_cast<float>(vx), z = 4.0f * static_cast<float>(vz);
            const float dx = (height(x + 4.0f, z) - height(x - 4.0f, z)) / 8.0f;
            const float dz = (height(x, z + 4.0f) - height(x, z - 4.0f)) / 8.0f;
            const float length = std::sqrt(dx * dx + 1.0f + dz * dz);
            putFloat(out, height(x, z));
            for (float n : {-dx / length, 1.0f / length, -dz / length})
                putFloat(out, n);
        }
    }
    for (int bx = 0; bx < 4; ++bx) {
        for (int bz = 0; bz < 4; ++bz) {
            const float x0 = 160.0f * static_cast<float>(bx), z0 = 160.0f * static_cast<float>(bz);
            for (float v : {x0, kGround, z0, x0 + 160.0f, kGround + 25.0f, z0 + 160.0f})
                putFloat(out, v);
            const bool first = bx == 0 && bz == 0;
            put32(out, first ? static_cast<std::uint32_t>(entities.size()) : 0);
            for (const Placed& entity : first ? entities : std::vector<Placed>{}) {
                put32(out, static_cast<std::uint32_t>(entity.type.size()));
                out += entity.type;
                for (float v : {entity.x, entity.y, entity.z, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f})
                    putFloat(out, v);
            }
        }
    }
    for (float v : {0.0f, kGround, 0.0f, 640.0f, kGround + 25.0f, 640.0f})
        putFloat(out, v);
    return out;
}

// The game's view on a screenshot: the main window's area.
struct View {
    Screenshot shot;
    x11::Geometry area;

    std::array<int, 3> at(float fx, float fy) const
    {
        return shot.pixel(area.x + static_cast<int>(fx * static_cast<float>(area.width)),
                          area.y + static_cast<int>(fy * static_cast<float>(area.height)));
    }
    // Pixels of the part (fractions of the view) for which test holds.
    int count(float x0, float y0, float x1, float y1, const std::function<bool(const std::array<int, 3>&)>& test) const
    {
        int found = 0;
        for (int y = area.y + static_cast<int>(y0 * static_cast<float>(area.height));
             y < area.y + static_cast<int>(y1 * static_cast<float>(area.height)); ++y)
            for (int x = area.x + static_cast<int>(x0 * static_cast<float>(area.width));
                 x < area.x + static_cast<int>(x1 * static_cast<float>(area.width)); ++x)
                found += test(shot.pixel(x, y)) ? 1 : 0;
        return found;
    }
};

bool isWhite(const std::array<int, 3>& p)
{
    return p[0] > 235 && p[1] > 235 && p[2] > 235;
}

bool isSky(const std::array<int, 3>& p)
{
    return p[2] > 150 && p[2] > p[0] + 25 && p[2] > p[1];
}

class Hero : public ::testing::Test {
protected:
    void start(const std::vector<Placed>& entities = {kKip})
    {
        // Only this area: the shipped world's own hero must not take over.
        std::filesystem::remove_all(kipster_.folder() / "world");
        kipster_.folder().write("world/area_0_0.world", areaFile(entities));
        kipster_.start();
        window_ = kipster_.waitForMainWindow();
        ASSERT_NE(window_, 0u);
        ASSERT_TRUE(KipsterProcess::focusMainWindow());
        // The game is running once the status lines are drawn.
        ASSERT_TRUE(KipsterProcess::waitFor([&] { return hudPixels(look()) > 150; }, std::chrono::seconds(60)))
            << kipster_.log();
    }
    View look()
    {
        auto shot = captureScreen(scratch_);
        return {shot ? *shot : Screenshot{}, x11::windowGeometry(window_)};
    }
    // White text over the grass in the lower left corner: "Papers: ..." and "Level: ...".
    static int hudPixels(const View& view) { return view.count(0.0f, 0.86f, 0.3f, 0.98f, isWhite); }
    static void pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
    void quit()
    {
        ASSERT_TRUE(KipsterProcess::typeKey("Escape"));
        ASSERT_EQ(kipster_.waitForExit().value_or(-1), 0) << kipster_.log();
    }

    KipsterProcess kipster_;
    TempFolder scratch_;
    std::uint64_t window_ = 0;
};

// The samples of a mono 16-bit PCM WAV file; empty for any other format.
std::vector<int> samples(const std::string& wav)
{
    std::vector<int> result;
    const auto number = [&](std::size_t at, int bytes) {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes && at + i < wav.size(); ++i)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(wav[at + i])) << (8 * i);
        return value;
    };
    for (std::size_t at = 12; at + 8 <= wav.size();) {
        const std::uint32_t size = number(at + 4, 4);
        if (wav.compare(at, 4, "fmt ") == 0 && (number(at + 10, 2) != 1 || number(at + 22, 2) != 16))
            return result;
        if (wav.compare(at, 4, "data") == 0) {
            for (std::size_t i = at + 8; i + 1 < std::min<std::size_t>(wav.size(), at + 8 + size); i += 2)
                result.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(wav[i]) |
                                                           (static_cast<unsigned char>(wav[i + 1]) << 8)));
            break;
        }
        at += 8 + size + (size & 1);
    }
    return result;
}


} // namespace

TEST_F(Hero, HoldingForwardWalksTowardTheHillAndTheDisplayShowsHisState)
{
    start();
    const View before = look();
    // The status lines are white, in the corners: nothing white stands in the middle of the grass.
    EXPECT_GT(before.count(0.0f, 0.02f, 0.3f, 0.08f, isWhite), 100) << "\"Health: 100\" at the top";
    EXPECT_LT(before.count(0.35f, 0.86f, 0.65f, 0.98f, isWhite), 20);

    // The camera looks slightly down: the sky is a band at the top, where the hill stands against
    // it. Closer to the hill, it hides more of that band (he stops where its flank grows too
    // steep). A software renderer may draw only a frame or two a second, so W stays down until
    // that shows.
    const auto sky = [](const View& view) { return view.count(0.0f, 0.0f, 1.0f, 0.15f, isSky); };
    const int skyBefore = sky(before);
    ASSERT_GT(skyBefore, 1000) << "the sky shows beside the hill";
    ASSERT_EQ(std::system("xdotool keydown w"), 0);
    View after;
    const bool closer =
        KipsterProcess::waitFor([&] { return sky(after = look()) < skyBefore * 9 / 10; }, std::chrono::seconds(90));
    ASSERT_EQ(std::system("xdotool keyup w"), 0);
    EXPECT_TRUE(closer) << skyBefore << " sky pixels before, " << sky(after) << " after";
    EXPECT_GT(hudPixels(after), 150);
    quit();
}

TEST_F(Hero, TabSwitchesTheDrawnModelToTurboKip)
{
    start();
    const View kipster = look();
    View turboKip;
    const auto changed = [&](float x0, float y0, float x1, float y1) {
        int count = 0;
        for (float y = y0; y < y1; y += 0.004f)
            for (float x = x0; x < x1; x += 0.003f) {
                const auto a = kipster.at(x, y), b = turboKip.at(x, y);
                count += std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 90 ? 1 : 0;
            }
        return count;
    };
    // Kip stands in the lower middle of the view; the hill and the grass around stay as they were.
    ASSERT_TRUE(KipsterProcess::typeKey("Tab"));
    EXPECT_TRUE(KipsterProcess::waitFor([&] { return (turboKip = look(), changed(0.42f, 0.55f, 0.58f, 0.95f)) > 150; },
                                        std::chrono::seconds(60)));
    EXPECT_LT(changed(0.0f, 0.5f, 0.3f, 0.85f), 20);
    quit();
}

TEST_F(Hero, SpacePlaysTheJumpSound)
{
    // The output at the sounds' own rate and format, so the capture can be compared sample by sample.
    kipster_.folder().write("alsoft.conf", "[general]\ndrivers=wave\nfrequency=22050\nchannels=mono\n"
                                           "sample-type=int16\n[wave]\nfile=" +
                                               (kipster_.folder() / "capture.wav").string() + "\n");
    start();
    // Space comes a second after the window shows: the capture must hold silence before it,
    // however quickly the game starts.
    pause(1000);
    ASSERT_TRUE(KipsterProcess::typeKey("space"));
    // A frame or two must pass for the press to reach the game.
    pause(5000);
    quit();

    const std::vector<int> captured = samples(kipster_.folder().read("capture.wav"));
    const std::vector<int> jump = samples(kipster_.folder().read("sounds/jump.wav"));
    ASSERT_FALSE(jump.empty());
    const auto onset = [](const std::vector<int>& sound) {
        std::size_t at = 0;
        while (at < sound.size() && std::abs(sound[at]) < 100)
            ++at;
        return at;
    };
    const std::size_t heard = onset(captured);
    ASSERT_LT(heard, captured.size()) << "nothing was heard";
    EXPECT_GT(heard, 22050u / 2) << "silence until Space is pressed";
    // The first sound heard is the jump, sample for sample (at any loudness).
    const std::size_t start = heard - std::min(heard, onset(jump));
    double best = 0.0;
    for (std::size_t offset = start > 50 ? start - 50 : 0; offset < start + 50; ++offset)
        best = std::max(best, correlation(captured, offset, jump));
    EXPECT_GT(best, 0.95);
}
