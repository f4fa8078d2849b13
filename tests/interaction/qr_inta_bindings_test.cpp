#include "input_fixture.h"

#include "interaction/qr_inta_bindings.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
constexpr unsigned kMenu = 4u;
}

class BindingsTest : public InputFixture {
protected:
    BindingsTest() : bindings_(qrNew<QRINTABindings>(nullptr, input().getActions()))
    {
        bindings_->addAction("Forward", {17, 2204, -1}, QRINTABindings::kEverywhere);
        bindings_->addAction("Jump", {57, 2000, -1}, QRINTABindings::kGame);
        bindings_->addAction("Fly", {57, 2000, -1}, QRINTABindings::kGame);
        bindings_->addAction("Zoom", {42, -1, -1}, QRINTABindings::kEditor);
        bindings_->addAction("Menu Choose", {28, 2000, -1}, kMenu);
    }
    std::vector<std::string> conflicts(const char* action) { return bindings_->findConflicts(action); }

    QROwned<QRINTABindings> bindings_;
};

TEST_F(BindingsTest, SharedInputsAreConflictsWhereBothActionsWorkUnlessTheDefaultsShareThem)
{
    using List = std::vector<std::string>;
    EXPECT_EQ(conflicts("Jump"), List{}) << "Jump and Fly share Space and A by design";
    EXPECT_EQ(conflicts("Menu Choose"), List{}) << "the menu's A is not play's A";
    struct Case {
        const char* action;
        int slot;
        int code;
        const char* asked;
        List expected;
    };
    const Case cases[] = {
        {"Jump", 2, 17, "Jump", {"Forward"}},  // W now jumps and walks
        {"Jump", 2, 17, "Forward", {"Jump"}},  // seen from both sides
        {"Jump", 2, 17, "Fly", {}},            // Fly still shares only what it shared before
        {"Forward", 2, 42, "Forward", {"Zoom"}}, // walking works in the editor too, where Shift zooms
        {"Jump", 2, 42, "Jump", {}},           // the editor's Shift never meets the game's jump
        {"Jump", 2, 28, "Jump", {}},           // Enter chooses in the menu, jumps in play
        {"Fly", 0, 2204, "Fly", {"Forward"}},  // a controller input conflicts like a key
    };
    for (const Case& c : cases) {
        bindings_->resetToDefaults();
        ASSERT_TRUE(bindings_->bind(c.action, c.slot, c.code));
        EXPECT_EQ(conflicts(c.asked), c.expected) << c.action << " on " << c.code << ", asked " << c.asked;
    }
}

TEST_F(BindingsTest, ARebindingDrivesTheActionAndTheDefaultsComeBack)
{
    QRINTAAction* jump = actions().findAction("Jump");
    ASSERT_TRUE(bindings_->bind("Jump", 0, 17)); // W
    ASSERT_TRUE(bindings_->bind("Jump", 1, -1));
    pressKey(x11key::Space);
    frame();
    EXPECT_FALSE(jump->isHeld()) << "Space no longer jumps";
    releaseKey(x11key::Space);
    pressKey(x11key::W);
    frame();
    EXPECT_TRUE(jump->isJustPressed());
    releaseKey(x11key::W);
    frame();

    bindings_->resetToDefaults();
    EXPECT_EQ(bindings_->getCodes("Jump"), (QRINTABindings::Codes{57, 2000, -1}));
    pressKey(x11key::Space);
    frame();
    EXPECT_TRUE(jump->isJustPressed());
    EXPECT_FALSE(bindings_->bind("Jump", 3, 17)) << "three slots only";
    EXPECT_FALSE(bindings_->bind("Dance", 0, 17)) << "unknown action";
}

TEST_F(BindingsTest, TextFormKeepsUpToThreeCodesAndRefusesNonsense)
{
    struct Case {
        const char* text;
        bool taken;
        QRINTABindings::Codes codes;
    };
    const Case cases[] = {
        {"17, 2204, -1", true, {17, 2204, -1}},
        {"31,208", true, {31, 208, -1}},
        {"1 2 3 4", true, {1, 2, 3}},
        {"", false, {57, 2000, -1}},
        {"-1, -1", false, {57, 2000, -1}},
        {"W", false, {57, 2000, -1}},
        {"57, 99999", false, {57, 2000, -1}},
        {"-7", false, {57, 2000, -1}},
    };
    for (const Case& c : cases) {
        bindings_->resetToDefaults();
        EXPECT_EQ(bindings_->bindFromText("Jump", c.text), c.taken) << c.text;
        EXPECT_EQ(bindings_->getCodes("Jump"), c.codes) << c.text;
    }
    EXPECT_EQ(QRINTABindings::codesToText({17, 2204, -1}), "17,2204,-1");
}
