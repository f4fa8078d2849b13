#include "kipster_process.h"
#include "screen_capture.h"
#include "x11_window.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// What the main window shows at its top and bottom edge: the game's view reaches both; in the
// editor the menu bar and the status bar take them.
struct WindowEdges {
    bool viewAtTop = false;
    bool viewAtBottom = false;
};

std::optional<WindowEdges> edges(std::uint64_t window)
{
    TempFolder scratch;
    const auto shot = captureScreen(scratch);
    const auto area = x11::windowGeometry(window);
    if (!shot || area.width <= 0)
        return std::nullopt;
    const int middle = area.x + area.width / 2;
    return WindowEdges{shot->isView(middle, area.y + 4), shot->isView(middle, area.y + area.height - 4)};
}

bool showsGameMode(std::uint64_t window)
{
    const auto seen = edges(window);
    return seen && seen->viewAtTop && seen->viewAtBottom;
}

bool showsEditorMode(std::uint64_t window)
{
    const auto seen = edges(window);
    return seen && !seen->viewAtTop && !seen->viewAtBottom;
}

bool waitForMode(std::uint64_t window, bool (*shows)(std::uint64_t))
{
    return KipsterProcess::waitFor([&] { return shows(window); }, std::chrono::seconds(15));
}

void expectCleanEnd(KipsterProcess& kipster)
{
    const auto exitCode = kipster.waitForExit();
    ASSERT_TRUE(exitCode.has_value()) << "kipster did not end\n" << kipster.log();
    EXPECT_EQ(*exitCode, 0);
    // The process ends from the application's destructor, which closes the log first.
    const std::string ending = "</body>\r\n</html>\r\n";
    const auto log = kipster.log();
    ASSERT_GE(log.size(), ending.size());
    EXPECT_EQ(log.substr(log.size() - ending.size()), ending) << log;
}

} // namespace

TEST(Modes, GameStartsWindowedAndF5SwitchesToTheEditorAndBackOncePerPress)
{
    // On the generated world as shipped, which the editor must show at once after the switch too.
    KipsterProcess kipster;
    kipster.start();
    const auto window = kipster.waitForMainWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    ASSERT_TRUE(waitForMode(window, showsGameMode)) << kipster.log();
    const auto area = x11::windowGeometry(window);
    EXPECT_EQ(area.width, 1024);
    EXPECT_EQ(area.height, 768);

    ASSERT_TRUE(KipsterProcess::typeKey("F5"));
    ASSERT_TRUE(waitForMode(window, showsEditorMode)) << "F5 did not open the editor";
    // A single press must not toggle back on a later frame.
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(showsEditorMode(window));

    // In the editor F5 is the menu's "Switch Game Mode".
    ASSERT_TRUE(KipsterProcess::typeKey("F5"));
    ASSERT_TRUE(waitForMode(window, showsGameMode)) << "the menu's F5 did not return to the game";
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(showsGameMode(window));

    ASSERT_TRUE(KipsterProcess::typeKey("Escape"));
    expectCleanEnd(kipster);
}

TEST(Modes, EditorStartupFromTheSettingsAndEscapeQuitsThere)
{
    KipsterProcess kipster;
    kipster.folder().write("kipster.ini", "[DISPLAY]\r\nFullscreen = FALSE\r\n[MODE]\r\nStartupMode = Editor\r\n");
    kipster.start();
    const auto window = kipster.waitForMainWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(KipsterProcess::focusMainWindow());
    ASSERT_TRUE(waitForMode(window, showsEditorMode)) << kipster.log();
    ASSERT_TRUE(KipsterProcess::typeKey("Escape"));
    expectCleanEnd(kipster);
}
