#include "input_fixture.h"

#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_keyboard.h"
#include "interaction/qr_inta_mouse.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>

class PlatformInputTest : public InputFixture {
protected:
    bool keyDown(int scanCode) { return input().getDevices()->getKeyboard()->getKeys()[scanCode] != 0; }
};

TEST_F(PlatformInputTest, AutoRepeatDoesNotLetGoOfAHeldKey)
{
    auto* jump = addAction("Jump", 57);
    pressKey(x11key::Space);
    frame();
    releaseKey(x11key::Space, true);
    pressKey(x11key::Space, true);
    frame();
    EXPECT_TRUE(jump->isHeld());
    EXPECT_FALSE(jump->isJustPressed());
    releaseKey(x11key::Space, true);
    frame();
    EXPECT_TRUE(jump->isHeld()) << "a repeat's release is not the key's release";
}

TEST_F(PlatformInputTest, KeyTakenByAShortcutStillCountsAsPressed)
{
    // Keys bound to a menu shortcut reach the window only as the shortcut check and the release.
    sendKey(QEvent::ShortcutOverride, x11key::Escape);
    frame();
    EXPECT_TRUE(keyDown(1));
    releaseKey(x11key::Escape);
    frame();
    EXPECT_FALSE(keyDown(1));
}

TEST_F(PlatformInputTest, EventsReachingWidgetsAreNotCountedTwice)
{
    // Widgets get copies of what their window already received; only the window's copy counts.
    QObject widgetLike;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, x11key::W, 0, 0);
    QCoreApplication::sendEvent(&widgetLike, &press);
    frame();
    EXPECT_FALSE(keyDown(17));

    auto* zoom = addAction("Prior Personality", 1111);
    QWheelEvent wheel(QPointF(), QPointF(), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&widgetLike, &wheel);
    turnWheel(120);
    frame();
    EXPECT_EQ(input().getDevices()->getMouse()->getWheel(), 120);
    EXPECT_TRUE(zoom->isHeld());
}

TEST_F(PlatformInputTest, LosingTheFocusLetsGoOfEverything)
{
    pressKey(x11key::W);
    sendButtons(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    frame();
    ASSERT_TRUE(keyDown(17));
    QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &inactive);
    frame();
    EXPECT_FALSE(keyDown(17)) << "the release goes to another program and would never arrive";
    EXPECT_FALSE(input().getDevices()->getMouse()->isPressed(1000));
}

TEST_F(PlatformInputTest, UnknownKeysAreIgnored)
{
    pressKey(0);
    pressKey(255);
    frame();
    const auto& keys = input().getDevices()->getKeyboard()->getKeys();
    EXPECT_EQ(std::count_if(keys.begin(), keys.end(), [](auto key) { return key != 0; }), 0);
}

TEST_F(PlatformInputTest, InputOfOtherWindowsBelongsToThem)
{
    // Esc closing a dialog or a menu, letters typed into a tool window's field: none are the game's.
    auto* quit = addAction("Quit", 1);
    auto* left = addAction("Left Mouse", 1000);
    QWindow dialog;
    dialog.setTransientParent(&window());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, x11key::Escape, 0, 0);
    QCoreApplication::sendEvent(&dialog, &escape);
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&dialog, &click);
    frame();
    EXPECT_FALSE(quit->isHeld());
    EXPECT_FALSE(left->isHeld());

    // A window inside the main window (the drawing panel) is the main window's.
    QWindow panel(&window());
    QCoreApplication::sendEvent(&panel, &escape);
    frame();
    EXPECT_TRUE(quit->isJustPressed());
}

TEST_F(PlatformInputTest, TheMainWindowLosingTheFocusLetsGoOfItsKeys)
{
    // The release then goes to the dialog or tool window that took the focus.
    pressKey(x11key::W);
    frame();
    ASSERT_TRUE(keyDown(17));
    QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(&window(), &focusOut);
    frame();
    EXPECT_FALSE(keyDown(17));
}

TEST_F(PlatformInputTest, ButtonsGoDownOverTheViewOnlyAndAreLetGoAnywhere)
{
    // A click on the menu bar or the status bar is not a click into the world.
    auto* left = addAction("Left Mouse", 1000);
    sendButtons(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, false);
    frame();
    EXPECT_FALSE(left->isHeld());
    sendButtons(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, false);
    sendButtons(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    frame();
    EXPECT_TRUE(left->isJustPressed());
    sendButtons(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, false);
    frame();
    EXPECT_TRUE(left->isHeld()) << "dragged out of the view, still held";
    sendButtons(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, false);
    frame();
    EXPECT_TRUE(left->isJustReleased());
}
