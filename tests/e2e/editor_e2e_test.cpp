#include "e2e_shell.h"
#include "kipster_process.h"
#include "screen_capture.h"
#include "x11_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <thread>
#include <vector>

// The editor driven the way a level designer drives it: the mouse on the edit-tools window and on
// the terrain, keys and menu shortcuts on the main window; results checked in the saved area files.
namespace {

using namespace std::chrono_literals;

constexpr const char* kWindowedEditor = "[DISPLAY]\r\nFullscreen = FALSE\r\n[MODE]\r\nStartupMode = Editor\r\n";
constexpr const char* kWindowedGame = "[DISPLAY]\r\nFullscreen = FALSE\r\n[MODE]\r\nStartupMode = Game\r\n";
constexpr std::size_t kAreaFileSize = 416472;
constexpr std::size_t kVertexSection = 1600 * 4;

// Where the controls sit in the 296 x 400 edit-tools window.
struct Point {
    int x;
    int y;
};
constexpr Point kTerrainPage{60, 14};
constexpr Point kRaiseTerrain{146, 136};
constexpr Point kEnvironmentModelsPage{80, 48};
constexpr Point kActorsPage{180, 48};
constexpr Point kPaperEntry{43, 103};
constexpr Point kCreateEntity{80, 224};
// A point on the terrain in front of the editor camera's start, as a share of the main window. On
// a world without a hero the camera looks at the world's centre, where four areas meet; this point
// lies beyond it and to the right, a brush's width inside area (2, 1).
constexpr double kTerrainX = 0.90;
constexpr double kTerrainY = 0.30;
constexpr int kStrokeAreaX = 2;
constexpr int kStrokeAreaZ = 1;

// Game frames are running once the captured mouse is put back to the middle of the view.
bool waitForGameFrames()
{
    return KipsterProcess::waitFor(
        [] {
            if (!xdo("mousemove 1 1"))
                return false;
            pause(300ms);
            return output("xdotool getmouselocation").find("x:1 y:1 ") == std::string::npos;
        },
        30s);
}

void clickAt(int x, int y)
{
    ASSERT_TRUE(xdo("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1"));
    pause(400ms);
}

std::string areaName(int ax, int az)
{
    return "world/area_" + std::to_string(ax) + "_" + std::to_string(az) + ".world";
}

std::map<std::string, std::string> readAreas(const KipsterProcess& kipster)
{
    std::map<std::string, std::string> areas;
    for (int ax = 0; ax < 4; ++ax)
        for (int az = 0; az < 4; ++az)
            if (std::filesystem::exists(kipster.folder() / areaName(ax, az)))
                areas[areaName(ax, az)] = kipster.folder().read(areaName(ax, az));
    return areas;
}

float highestVertex(const std::string& area)
{
    float highest = -1e9f;
    for (std::size_t i = 0; i < 160 * 160; ++i) {
        float height = 0.0f;
        std::memcpy(&height, area.data() + kVertexSection + i * 16, 4);
        highest = std::max(highest, height);
    }
    return highest;
}

class EditorE2E : public ::testing::Test {
protected:
    // Starts the program on a flat, empty world (no area files) and waits for the main window.
    void start(const char* settings)
    {
        kipster_.folder().write("kipster.ini", settings);
        std::filesystem::remove_all(kipster_.folder() / "world");
        std::filesystem::create_directories(kipster_.folder() / "world");
        restart();
    }
    // Starts the program on the world it ships with.
    void startShipped()
    {
        kipster_.folder().write("kipster.ini", kWindowedEditor);
        restart();
        toolWindow();
        ASSERT_TRUE(KipsterProcess::focusMainWindow());
    }
    void restart()
    {
        kipster_.start();
        mainWindow_ = kipster_.waitForMainWindow();
        ASSERT_NE(mainWindow_, 0u) << kipster_.log();
        ASSERT_TRUE(KipsterProcess::focusMainWindow());
    }
    // Waits for the edit-tools window, which the editor mode shows.
    x11::Geometry toolWindow()
    {
        std::uint64_t tools = 0;
        KipsterProcess::waitFor([&] { return (tools = x11::findWindowByTitle("Edit Tools")) != 0; }, 15s);
        EXPECT_NE(tools, 0u) << "no edit-tools window\n" << kipster_.log();
        pause(500ms);
        return x11::windowGeometry(tools);
    }
    void clickTool(const Point& control)
    {
        const x11::Geometry tools = toolWindow();
        clickAt(tools.x + control.x, tools.y + control.y);
    }
    // The main window gets the keyboard back: the cursor leaves the world alone while the tool
    // window has it.
    Point focusTerrain()
    {
        EXPECT_TRUE(KipsterProcess::focusMainWindow());
        pause(300ms);
        const x11::Geometry main = x11::windowGeometry(mainWindow_);
        return {main.x + static_cast<int>(main.width * kTerrainX), main.y + static_cast<int>(main.height * kTerrainY)};
    }
    // Ctrl+Alt+S, waiting until every area file has been written anew.
    std::map<std::string, std::string> saveWorld()
    {
        const auto since = std::filesystem::file_time_type::clock::now();
        pause(50ms);
        EXPECT_TRUE(KipsterProcess::typeKey("ctrl+alt+s"));
        EXPECT_TRUE(KipsterProcess::waitFor(
            [&] {
                for (int ax = 0; ax < 4; ++ax)
                    for (int az = 0; az < 4; ++az) {
                        const auto path = kipster_.folder() / areaName(ax, az);
                        std::error_code error;
                        if (!std::filesystem::exists(path) || std::filesystem::last_write_time(path, error) < since ||
                            std::filesystem::file_size(path, error) < kAreaFileSize)
                            return false;
                    }
                return true;
            },
            15s))
            << "Save World did not write the areas\n"
            << kipster_.log();
        return readAreas(kipster_);
    }
    // One stroke of "Raise Terrain" in front of the camera.
    void raiseTerrain()
    {
        clickTool(kTerrainPage);
        clickTool(kRaiseTerrain);
        const Point terrain = focusTerrain();
        ASSERT_TRUE(xdo("mousemove " + std::to_string(terrain.x) + " " + std::to_string(terrain.y) + " mousedown 1"));
        pause(300ms);
        ASSERT_TRUE(xdo("mousemove " + std::to_string(terrain.x + 30) + " " + std::to_string(terrain.y)));
        pause(1s);
        ASSERT_TRUE(xdo("mouseup 1"));
        pause(300ms);
    }
    // Esc; edits left unsaved are dropped ("No" to "Save changes to the world?").
    void quit()
    {
        ASSERT_TRUE(KipsterProcess::focusMainWindow());
        ASSERT_TRUE(KipsterProcess::typeKey("Escape"));
        if (!kipster_.waitForExit(3s))
            KipsterProcess::answerBox("Save Changes", "n", 10s);
        const auto exitCode = kipster_.waitForExit();
        ASSERT_TRUE(exitCode.has_value()) << kipster_.log();
        EXPECT_EQ(*exitCode, 0);
    }

    KipsterProcess kipster_;
    std::uint64_t mainWindow_ = 0;
};

std::size_t countPapers(const std::map<std::string, std::string>& areas)
{
    static const std::string kRecord("\x05\0\0\0Paper", 9);
    std::size_t count = 0;
    for (const auto& [name, bytes] : areas)
        for (std::size_t at = bytes.find(kRecord); at != std::string::npos; at = bytes.find(kRecord, at + 1))
            ++count;
    return count;
}

// ---------------------------------------------------------------------------------------------
// Area files written byte by byte, independently of the program's own writer.

class AreaWriter {
public:
    explicit AreaWriter(std::uint32_t seed) : random_(seed) {}

    std::string area(int ax, int az)
    {
        bytes_.clear();
        std::array<std::array<float, 160>, 160> heights{};
        for (auto& column : heights)
            for (float& height : column)
                height = uniform(-20.0f, 80.0f);
        for (int i = 0; i < 1600; ++i) {
            // Grass or concrete, a third of them with a street of any shape.
            const std::uint32_t street = pick(3) == 0 ? 1 + pick(15) : 0;
            putU32((street << 8) | pick(2));
        }
        for (const auto& column : heights) {
            for (const float height : column) {
                putFloat(height);
                const float nx = uniform(-0.5f, 0.5f), nz = uniform(-0.5f, 0.5f);
                const float length = std::sqrt(nx * nx + nz * nz + 1.0f);
                putFloat(nx / length);
                putFloat(1.0f / length);
                putFloat(nz / length);
            }
        }
        std::array<float, 3> areaMin{1e9f, 1e9f, 1e9f}, areaMax{-1e9f, -1e9f, -1e9f};
        for (int bx = 0; bx < 4; ++bx) {
            for (int bz = 0; bz < 4; ++bz) {
                float low = 1e9f, high = -1e9f;
                for (int x = 40 * bx; x < 40 * bx + 40; ++x)
                    for (int z = 40 * bz; z < 40 * bz + 40; ++z) {
                        low = std::min(low, heights[x][z]);
                        high = std::max(high, heights[x][z]);
                    }
                const float x0 = 640.0f * ax + 160.0f * bx, z0 = 640.0f * az + 160.0f * bz;
                const std::array<float, 3> blockMin{x0, low, z0}, blockMax{x0 + 160.0f, high, z0 + 160.0f};
                for (int k = 0; k < 3; ++k) {
                    areaMin[k] = std::min(areaMin[k], blockMin[k]);
                    areaMax[k] = std::max(areaMax[k], blockMax[k]);
                    putFloat(blockMin[k]);
                }
                for (const float value : blockMax)
                    putFloat(value);
                // Every storable type; one hero in the whole world.
                std::vector<std::string> types{"Entity", "EnvironmentModel", "Ad", "Paper", "CoderMonkey"};
                if (ax == 1 && az == 2 && bx == 3 && bz == 0)
                    types.push_back("Kip");
                putU32(static_cast<std::uint32_t>(types.size()));
                for (const std::string& type : types) {
                    putString(type);
                    putFloat(x0 + uniform(5.0f, 155.0f));
                    putFloat(uniform(0.0f, 60.0f));
                    putFloat(z0 + uniform(5.0f, 155.0f));
                    // A turn about the vertical axis, as the editor gives.
                    const float half = uniform(0.0f, 3.14159f);
                    for (const float value : {0.0f, std::sin(half), 0.0f, std::cos(half)})
                        putFloat(value);
                    putFloat(uniform(0.85f, 1.15f));
                    if (type == "EnvironmentModel")
                        putString("");
                }
            }
        }
        for (const float value : areaMin)
            putFloat(value);
        for (const float value : areaMax)
            putFloat(value);
        return bytes_;
    }

private:
    float uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random_); }
    std::uint32_t pick(std::uint32_t count) { return std::uniform_int_distribution<std::uint32_t>(0, count - 1)(random_); }
    void putU32(std::uint32_t value)
    {
        char little[4];
        for (int i = 0; i < 4; ++i)
            little[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        bytes_.append(little, 4);
    }
    void putFloat(float value)
    {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, 4);
        putU32(bits);
    }
    void putString(const std::string& text)
    {
        putU32(static_cast<std::uint32_t>(text.size()));
        bytes_ += text;
    }

    std::mt19937 random_;
    std::string bytes_;
};

} // namespace

TEST_F(EditorE2E, RaisedTerrainIsSavedInTheAreaUnderTheStrokeAndLoadsBack)
{
    start(kWindowedGame);
    ASSERT_TRUE(waitForGameFrames()) << kipster_.log();
    ASSERT_TRUE(KipsterProcess::typeKey("F5"));
    toolWindow();
    // Showing the tool window may have taken the keyboard; the menu's shortcuts are the main window's.
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    const auto before = saveWorld();
    ASSERT_EQ(before.size(), 16u);

    raiseTerrain();
    const auto after = saveWorld();

    std::vector<std::string> changed;
    for (const auto& [name, bytes] : after)
        if (bytes != before.at(name))
            changed.push_back(name);
    ASSERT_EQ(changed, std::vector<std::string>{areaName(kStrokeAreaX, kStrokeAreaZ)}) << "only the area under the stroke changes";
    EXPECT_GT(highestVertex(after.at(areaName(kStrokeAreaX, kStrokeAreaZ))), 5.0f);
    EXPECT_EQ(highestVertex(after.at(areaName(kStrokeAreaX - 1, kStrokeAreaZ))), 0.0f);
    quit();

    // Loaded again and saved without an edit: the raised heights come back unchanged.
    kipster_.folder().write("kipster.ini", kWindowedEditor);
    restart();
    toolWindow();
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    EXPECT_EQ(saveWorld(), after);
    quit();
}

TEST_F(EditorE2E, UndoingAStrokeSavesTheAreasAsTheyWereAndRedoBringsItBack)
{
    start(kWindowedEditor);
    toolWindow();
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    const auto before = saveWorld();
    ASSERT_EQ(before.size(), 16u);
    raiseTerrain();

    // The keys go to the main window, whose drawing panel has the keyboard after the stroke.
    pause(700ms);
    ASSERT_TRUE(KipsterProcess::typeKey("ctrl+z"));
    pause(300ms);
    const auto undone = saveWorld();
    for (const auto& [name, bytes] : undone)
        EXPECT_TRUE(bytes == before.at(name))
            << name << " differs after undo from byte "
            << (std::mismatch(bytes.begin(), bytes.end(), before.at(name).begin()).first - bytes.begin());
    ASSERT_TRUE(KipsterProcess::typeKey("ctrl+shift+z"));
    pause(300ms);
    const auto redone = saveWorld();
    EXPECT_GT(highestVertex(redone.at(areaName(kStrokeAreaX, kStrokeAreaZ))), 5.0f) << "redo brought the stroke back";
    quit();
}

TEST_F(EditorE2E, APaperCreatedFromTheToolWindowIsThereAfterARestart)
{
    start(kWindowedEditor);
    clickTool(kActorsPage);
    clickTool(kPaperEntry);
    const Point terrain = focusTerrain();
    clickAt(terrain.x, terrain.y);
    const auto saved = saveWorld();
    ASSERT_NE(saved.at(areaName(kStrokeAreaX, kStrokeAreaZ)).find("\x05\0\0\0Paper", 0, 9), std::string::npos) << "the paper was not saved";
    quit();

    restart();
    toolWindow();
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    const auto again = saveWorld();
    EXPECT_NE(again.at(areaName(kStrokeAreaX, kStrokeAreaZ)).find("\x05\0\0\0Paper", 0, 9), std::string::npos) << "the paper did not load";
    quit();
}

TEST_F(EditorE2E, EscapeInTheEntityDialogClosesOnlyTheDialog)
{
    start(kWindowedEditor);
    // An environment model without a model: the editor shows (and picks) a unit box.
    clickTool(kEnvironmentModelsPage);
    clickTool(kCreateEntity);
    const Point terrain = focusTerrain();
    clickAt(terrain.x, terrain.y);

    // Holding E selects "Edit Entity"; letting the button go over the entity opens the dialog.
    ASSERT_TRUE(xdo("keydown e"));
    pause(200ms);
    clickAt(terrain.x, terrain.y);
    ASSERT_TRUE(xdo("keyup e"));
    std::uint64_t dialog = 0;
    ASSERT_TRUE(KipsterProcess::waitFor([&] { return (dialog = x11::findWindowByTitle("Entity Attributes")) != 0; }, 10s))
        << "the entity dialog did not open\n"
        << kipster_.log();
    ASSERT_TRUE(xdo("search --onlyvisible --name '^Entity Attributes$' windowfocus"));
    pause(300ms);
    ASSERT_TRUE(KipsterProcess::typeKey("Escape"));
    EXPECT_TRUE(KipsterProcess::waitFor([] { return x11::findWindowByTitle("Entity Attributes") == 0; }, 10s));
    pause(1s);
    EXPECT_TRUE(kipster_.isRunning()) << "Esc in the dialog must not quit the program";
    quit();
}

TEST_F(EditorE2E, AreaFilesWrittenFromTheFormatAreSavedBackByteForByte)
{
    kipster_.folder().write("kipster.ini", kWindowedEditor);
    AreaWriter writer(20240601);
    std::map<std::string, std::string> written;
    for (int ax = 0; ax < 4; ++ax)
        for (int az = 0; az < 4; ++az) {
            written[areaName(ax, az)] = writer.area(ax, az);
            kipster_.folder().write(areaName(ax, az), written[areaName(ax, az)]);
        }
    restart();
    toolWindow();
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    const auto saved = saveWorld();
    for (const auto& [name, bytes] : written) {
        SCOPED_TRACE(name);
        ASSERT_EQ(saved.at(name).size(), bytes.size());
        EXPECT_TRUE(saved.at(name) == bytes) << "first difference at byte "
                                             << std::distance(bytes.begin(), std::mismatch(bytes.begin(), bytes.end(),
                                                                                           saved.at(name).begin())
                                                                                 .first);
    }
    quit();
}

TEST_F(EditorE2E, AStrokeCutOffByAKillIsOfferedAtTheNextStartAndRestored)
{
    start((std::string(kWindowedEditor) + "[EDITOR]\r\nAutosaveInterval = 1\r\n").c_str());
    toolWindow();
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    const auto before = saveWorld();
    raiseTerrain();
    EXPECT_NE(x11::findWindowByTitle("Kipster*"), 0u) << "the title does not mark the unsaved edit";
    const auto copy = kipster_.folder() / "recovery" /
                      ("area_" + std::to_string(kStrokeAreaX) + "_" + std::to_string(kStrokeAreaZ) + ".world");
    ASSERT_TRUE(KipsterProcess::waitFor([&] { return std::filesystem::exists(copy); }, 15s)) << kipster_.log();
    pause(1s);
    kipster_.killNow();
    EXPECT_EQ(readAreas(kipster_), before) << "the autosave wrote over the world";

    kipster_.start();
    // The default button answers "Yes".
    ASSERT_TRUE(KipsterProcess::answerBox("Recovery", "Return", 30s)) << kipster_.log();
    mainWindow_ = kipster_.waitForMainWindow();
    toolWindow();
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    EXPECT_NE(x11::findWindowByTitle("Kipster*"), 0u) << "restored edits count as unsaved";
    const auto restored = saveWorld();
    EXPECT_GT(highestVertex(restored.at(areaName(kStrokeAreaX, kStrokeAreaZ))), 5.0f) << "the stroke was not restored";
    EXPECT_FALSE(std::filesystem::exists(copy)) << "saving keeps the recovery copy";
    quit();
}

TEST_F(EditorE2E, TheFirstViewOfTheShippedWorldShowsTheGround)
{
    startShipped();
    pause(2s);
    const x11::Geometry main = x11::windowGeometry(mainWindow_);
    std::size_t view = 0;
    std::size_t sky = 0;
    ASSERT_TRUE(KipsterProcess::waitFor(
        [&] {
            const auto shot = captureScreen(kipster_.folder());
            view = sky = 0;
            // The lower two thirds of the view, where a camera that looks at the hero sees ground.
            for (int y = main.y + main.height / 3; shot && y < main.y + main.height; y += 4)
                for (int x = main.x; x < main.x + main.width; x += 4) {
                    if (!shot->isView(x, y))
                        continue;
                    ++view;
                    const auto [r, g, b] = shot->pixel(x, y);
                    sky += b > r + 40 && b > g;
                }
            return view > 1000 && sky * 10 < view;
        },
        20s))
        << view << " view samples, " << sky << " of them sky\n"
        << kipster_.log();
    quit();
}

TEST_F(EditorE2E, TheEntityListJumpsToAPaperWhoseCopiesAreSavedAsTheEditsSay)
{
    startShipped();
    const auto before = saveWorld();
    const std::size_t papers = countPapers(before);
    ASSERT_GT(papers, 0u);

    // Ctrl+F, "paper", the first line: the camera flies to that paper and chooses it.
    ASSERT_TRUE(KipsterProcess::typeKey("ctrl+f"));
    ASSERT_TRUE(KipsterProcess::answerBox("Entity List", "p", 10s)) << kipster_.log();
    ASSERT_TRUE(xdo("type aper"));
    pause(1500ms);
    for (const char* key : {"Tab", "Down", "Return"}) {
        ASSERT_TRUE(KipsterProcess::typeKey(key));
        pause(300ms);
    }
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    // Over the ground at the view's lower edge: the chosen paper is the selection.
    const x11::Geometry main = x11::windowGeometry(mainWindow_);
    ASSERT_TRUE(xdo("mousemove " + std::to_string(main.x + main.width / 2) + " " + std::to_string(main.y + main.height - 60)));
    pause(500ms);

    // A duplicate beside it, a copy pasted at another point of the ground, the paste undone.
    ASSERT_TRUE(KipsterProcess::typeKey("ctrl+d"));
    pause(300ms);
    ASSERT_TRUE(KipsterProcess::typeKey("ctrl+c"));
    ASSERT_TRUE(xdo("mousemove " + std::to_string(main.x + main.width / 4) + " " + std::to_string(main.y + main.height - 80)));
    pause(500ms);
    ASSERT_TRUE(KipsterProcess::typeKey("ctrl+v"));
    pause(300ms);
    EXPECT_EQ(countPapers(saveWorld()), papers + 2) << "the duplicate and the pasted copy";
    ASSERT_TRUE(KipsterProcess::typeKey("ctrl+z"));
    pause(300ms);
    const auto after = saveWorld();
    EXPECT_EQ(countPapers(after), papers + 1) << "the paste was undone, the duplicate stays";
    std::size_t changed = 0;
    for (const auto& [name, bytes] : after)
        changed += bytes != before.at(name);
    EXPECT_GE(changed, 1u);
    EXPECT_LE(changed, 2u) << "only the area (or two) of the paper changed";
    quit();
}

TEST_F(EditorE2E, FileQuitEndsTheProgram)
{
    start(kWindowedEditor);
    toolWindow();
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    const x11::Geometry main = x11::windowGeometry(mainWindow_);
    // "File" opens its menu; Up reaches its last item, "Quit".
    clickAt(main.x + 18, main.y + 9);
    ASSERT_TRUE(KipsterProcess::typeKey("Up"));
    pause(200ms);
    ASSERT_TRUE(KipsterProcess::typeKey("Return"));
    const auto exitCode = kipster_.waitForExit(15s);
    ASSERT_TRUE(exitCode.has_value()) << "File > Quit did not quit\n" << kipster_.log();
    EXPECT_EQ(*exitCode, 0);
}
