#include "main/app_main_menuoverlay.h"

#include <gtest/gtest.h>

namespace {

QROwned<APPMAINMenuOverlay> pauseMenu()
{
    auto menu = qrNew<APPMAINMenuOverlay>(nullptr, "Pause Menu");
    menu->open("Paused", {}, {"Resume", "Settings", "New Game", "Quit"});
    return menu;
}

APPMAINMenuInput keys(bool up, bool down, bool choose)
{
    APPMAINMenuInput input;
    input.up = up;
    input.down = down;
    input.choose = choose;
    // Far off every item.
    input.cursor = {5.0f, 5.0f};
    return input;
}

} // namespace

TEST(MenuOverlayTest, KeysMoveTheSelectionRoundAndChooseIt)
{
    auto menu = pauseMenu();
    struct Step {
        bool up, down, choose;
        int selected;
        int chosen;
    };
    const Step steps[] = {
        {false, false, false, 0, APPMAINMenuOverlay::kNone},
        {true, false, false, 3, APPMAINMenuOverlay::kNone}, // up from the first wraps to the last
        {false, true, false, 0, APPMAINMenuOverlay::kNone}, // and down from the last to the first
        {false, true, false, 1, APPMAINMenuOverlay::kNone},
        {false, true, true, 2, 2},                          // moved, then chosen in the same frame
    };
    for (const Step& s : steps) {
        EXPECT_EQ(menu->update(keys(s.up, s.down, s.choose)), s.chosen);
        EXPECT_EQ(menu->getSelected(), s.selected);
    }
    menu->close();
    EXPECT_EQ(menu->update(keys(false, false, true)), APPMAINMenuOverlay::kNone) << "a closed menu chooses nothing";
}

TEST(MenuOverlayTest, TheMouseSelectsWhatItPointsAtAndClicksChooseOnlyItems)
{
    auto menu = pauseMenu();
    const Vector2 settings = menu->getItemCentre(1);
    const float half = 0.5f * APPMAINMenuOverlay::kItemSpacing;
    struct Case {
        const char* where;
        Vector2 cursor;
        bool click;
        int selected;
        int chosen;
    };
    const Case cases[] = {
        {"off to the side and just inside the top", {0.55f, settings.y + half - 0.01f}, false, 1, APPMAINMenuOverlay::kNone},
        {"clicked low on the next item, off centre", {-0.4f, settings.y - half - 0.01f}, true, 2, 2},
        {"clicked beside the items", {0.65f, settings.y}, true, 2, APPMAINMenuOverlay::kNone},
        {"clicked above the first item", {0.0f, menu->getItemCentre(0).y + half + 0.01f}, true, 2,
         APPMAINMenuOverlay::kNone},
    };
    for (const Case& c : cases) {
        APPMAINMenuInput input;
        input.cursor = c.cursor;
        input.cursorMoved = true;
        input.click = c.click;
        EXPECT_EQ(menu->update(input), c.chosen) << c.where;
        EXPECT_EQ(menu->getSelected(), c.selected) << c.where;
    }
}

TEST(MenuOverlayTest, LinesOfTextPushTheItemsBelowThem)
{
    auto menu = qrNew<APPMAINMenuOverlay>(nullptr, "End Screen");
    menu->open("Every paper is collected!", {"Time taken: 1:02", "Level reached: Ph.D."}, {"New Game", "Keep Exploring"});
    const float lastLine = 0.36f - 0.09f;
    EXPECT_LT(menu->getItemCentre(0).y + 0.5f * APPMAINMenuOverlay::kItemSpacing, lastLine);
    EXPECT_EQ(menu->itemAt({0.0f, lastLine}), APPMAINMenuOverlay::kNone) << "a click on the text is no choice";
}
