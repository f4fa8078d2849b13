#include "input_fixture.h"

#include "core/qr_core_devicemanager.h"
#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_mouse.h"
#include "interaction/qr_inta_platforminput.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

// The mouse measured against a 600 x 400 panel at (100, 50): one pixel is 1/200 view units, so
// the 0.03 direction threshold lies at 6 pixels.
class MouseTest : public InputFixture {
protected:
    MouseTest()
    {
        panel_.setGeometry(100, 50, 600, 400);
        core().getDeviceManager()->createControlDevice("Visual Device", &panel_);
        input().bindToDevice("Visual Device");
        mouse().setCaptureMouse(false);
        QCursor::setPos(kStart);
        frame();
    }

    QRINTAMouse& mouse() { return *input().getDevices()->getMouse(); }
    // Moves the cursor by (dx, dy) screen pixels from the start and runs one frame.
    void moveBy(int dx, int dy)
    {
        QCursor::setPos(kStart);
        frame();
        QCursor::setPos(kStart + QPoint(dx, dy));
        frame();
    }
    std::vector<bool> directions() const
    {
        std::vector<bool> result;
        for (auto* action : directions_)
            result.push_back(action->isHeld());
        return result;
    }
    void addDirections()
    {
        for (int code = 1102; code <= 1109; ++code)
            directions_.push_back(addAction("Direction " + std::to_string(code), code));
    }

    static constexpr QPoint kStart{300, 200};
    QWidget panel_;
    std::vector<QRINTAAction*> directions_;
};

TEST_F(MouseTest, MotionIsRelativeToThePreviousPollAndUpIsPositive)
{
    QCursor::setPos(kStart + QPoint(10, 0));
    frame();
    QCursor::setPos(kStart + QPoint(13, -4));
    frame();
    EXPECT_EQ(mouse().getMotionX(), 3);
    EXPECT_EQ(mouse().getMotionY(), 4);
    frame();
    EXPECT_EQ(mouse().getMotionX(), 0);
    EXPECT_EQ(mouse().getMotionY(), 0);
}

TEST_F(MouseTest, AxesReadScaledMotionAndAreNeverPressed)
{
    auto* turn = addAction("Turn", 1100);
    auto* pitch = addAction("Pitch", 1101);
    moveBy(20, -10);
    EXPECT_FLOAT_EQ(turn->getValue(), 0.1f);
    EXPECT_FLOAT_EQ(pitch->getValue(), 0.05f);
    EXPECT_FALSE(turn->isHeld());
    EXPECT_FALSE(pitch->isHeld());
}

TEST_F(MouseTest, DirectionsNeedMoreThanTheThreshold)
{
    addDirections();
    //                     left   right  up     down   l+up   r+up   l+down r+down
    moveBy(7, 0);
    EXPECT_EQ(directions(), std::vector<bool>({false, true, false, false, false, false, false, false}));
    moveBy(-7, 0);
    EXPECT_EQ(directions(), std::vector<bool>({true, false, false, false, false, false, false, false}));
    moveBy(0, -7);
    EXPECT_EQ(directions(), std::vector<bool>({false, false, true, false, false, false, false, false}));
    moveBy(0, 7);
    EXPECT_EQ(directions(), std::vector<bool>({false, false, false, true, false, false, false, false}));
    moveBy(-7, -7);
    EXPECT_EQ(directions(), std::vector<bool>({true, false, true, false, true, false, false, false}));
    moveBy(7, -7);
    EXPECT_EQ(directions(), std::vector<bool>({false, true, true, false, false, true, false, false}));
    moveBy(-7, 7);
    EXPECT_EQ(directions(), std::vector<bool>({true, false, false, true, false, false, true, false}));
    moveBy(7, 7);
    EXPECT_EQ(directions(), std::vector<bool>({false, true, false, true, false, false, false, true}));
    moveBy(6, -6);
    EXPECT_EQ(directions(), std::vector<bool>(8, false)) << "exactly at the threshold is not beyond it";
}

TEST_F(MouseTest, OneWheelNotchPressesForTheFramesThatSawIt)
{
    auto* prior = addAction("Prior Personality", 1111);
    auto* next = addAction("Next Personality", 1112);
    auto* wheel = addAction("Wheel", 1110);
    turnWheel(120);
    frame();
    EXPECT_TRUE(prior->isJustPressed());
    EXPECT_FALSE(next->isHeld());
    EXPECT_FALSE(wheel->isHeld());
    EXPECT_NEAR(prior->getValue(), 1.0f, 0.001f);
    EXPECT_NEAR(wheel->getValue(), 1.0f, 0.001f);
    frame();
    EXPECT_TRUE(prior->isJustReleased());
    EXPECT_EQ(wheel->getValue(), 0.0f);

    turnWheel(-120);
    turnWheel(-120);
    frame();
    EXPECT_TRUE(next->isJustPressed());
    EXPECT_FALSE(prior->isHeld());
    EXPECT_NEAR(next->getValue(), 2.0f, 0.001f) << "both notches of the frame count";
    EXPECT_EQ(mouse().getWheel(), -240);
}

TEST_F(MouseTest, ButtonsFollowTheirEvents)
{
    auto* left = addAction("Left Mouse", 1000);
    auto* right = addAction("Right Mouse", 1001);
    auto* back = addAction("Back Button", 1003);
    sendButtons(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    frame();
    EXPECT_FALSE(left->isHeld());
    EXPECT_TRUE(right->isJustPressed());
    sendButtons(QEvent::MouseButtonPress, Qt::BackButton, Qt::RightButton | Qt::BackButton);
    sendButtons(QEvent::MouseButtonRelease, Qt::RightButton, Qt::BackButton);
    frame();
    EXPECT_TRUE(right->isJustReleased());
    EXPECT_TRUE(back->isJustPressed());
    EXPECT_FALSE(addAction("Button 8", 1008)->isHeld());
}

TEST_F(MouseTest, CursorPositionsAreMeasuredAgainstTheBoundDevice)
{
    QCursor::setPos(400, 250);
    EXPECT_EQ(mouse().getCursorView(), std::make_pair(0.0f, 0.0f));
    EXPECT_EQ(mouse().getCursorPixels(), std::make_pair(300, 200));
    QCursor::setPos(100, 50);
    EXPECT_EQ(mouse().getCursorView(), std::make_pair(-1.5f, 1.0f));
    EXPECT_EQ(mouse().getCursorPixels(), std::make_pair(0, 400));
}

TEST_F(MouseTest, WithoutABoundDeviceTheWholeScreenIsTheRectangle)
{
    input().bindToDevice("Missing Device");
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("Method: bindToDevice: \r\nNo device was found by the name \"Missing Device\""),
              std::string::npos);
    EXPECT_EQ(input().getOutputDevice(), nullptr);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const float pixelSize = 2.0f / static_cast<float>(screen.height());
    EXPECT_FLOAT_EQ(input().getPixelSize(), pixelSize);
    QCursor::setPos(screen.left(), screen.top());
    const auto [x, y] = mouse().getCursorView();
    EXPECT_FLOAT_EQ(x, -static_cast<float>(screen.width()) * 0.5f * pixelSize);
    EXPECT_FLOAT_EQ(y, 1.0f);
    EXPECT_EQ(mouse().getCursorPixels(), std::make_pair(0, screen.height()));
}

TEST_F(MouseTest, ContinuousLoopCapturesTheMouseAndHidesTheCursor)
{
    mouse().initialize();
    EXPECT_TRUE(mouse().getCaptureMouse());
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
    mouse().showCursor(true);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(MouseTest, CaptureRecentresOnlyWhileTheMainWindowIsInFront)
{
    // Without an X server there is no XInput2: mouse look falls back to the cursor's movement.
    ASSERT_FALSE(input().getDevices()->getPlatformInput()->hasRawMotion());
    mouse().setCaptureMouse(true);
    QCursor::setPos(kStart);
    frame();
    EXPECT_EQ(QCursor::pos(), kStart) << "the main window is hidden, the cursor is left alone";

    QWidget* mainForm = core().getMainForm();
    mainForm->show();
    mainForm->activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(mainForm->isActiveWindow());
    QCursor::setPos(kStart + QPoint(9, 0));
    frame();
    EXPECT_EQ(QCursor::pos(), QPoint(400, 250)) << "back to the centre of the bound device";
    EXPECT_EQ(mouse().getMotionX(), 9);
    frame();
    EXPECT_EQ(mouse().getMotionX(), 0) << "putting the cursor back is no motion";
    QCursor::setPos(QPoint(395, 250));
    frame();
    EXPECT_EQ(mouse().getMotionX(), -5);
}

TEST_F(MouseTest, AnIgnoredRecentringIsNoMotion)
{
    mouse().setCaptureMouse(true);
    QWidget* mainForm = core().getMainForm();
    mainForm->show();
    mainForm->activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(mainForm->isActiveWindow());
    input().getDevices()->getPlatformInput()->setIgnoreCursorPlacement(true);
    QCursor::setPos(kStart);
    frame();
    QCursor::setPos(kStart + QPoint(9, 0));
    frame();
    EXPECT_EQ(mouse().getMotionX(), 9);
    // The cursor never went back to the centre; measuring from there would drift every frame.
    for (int i = 0; i < 3; ++i) {
        frame();
        EXPECT_EQ(mouse().getMotionX(), 0);
        EXPECT_EQ(mouse().getMotionY(), 0);
    }
}
