#include "input_fixture.h"

#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_mouse.h"
#include "interaction/qr_inta_platforminput.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>

// The mouse on Xvfb, whose XInput2 reports XTest's relative moves as raw motion.
class MouseOnX : public InputFixture {
protected:
    MouseOnX()
    {
        QWidget* mainForm = core().getMainForm();
        mainForm->setGeometry(100, 100, 400, 300);
        mainForm->show();
        mainForm->activateWindow();
        QElapsedTimer timer;
        timer.start();
        while (!mainForm->isActiveWindow() && timer.elapsed() < 2000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        input().bindToDevice("Main Form");
        mouse().setCaptureMouse(true);
        frame();
    }

    QRINTAMouse& mouse() { return *input().getDevices()->getMouse(); }
    static bool xdotool(const std::string& arguments)
    {
        return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
    }
    // Runs frames until the motion read adds up to expected or a second has passed.
    std::pair<int, int> motionUntil(std::pair<int, int> expected)
    {
        std::pair<int, int> total{0, 0};
        QElapsedTimer timer;
        timer.start();
        while (total != expected && timer.elapsed() < 1000) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            frame();
            total.first += mouse().getMotionX();
            total.second += mouse().getMotionY();
        }
        return total;
    }
};

TEST_F(MouseOnX, CapturedMotionIsTheMousesOwnAndIgnoresCursorJumps)
{
    ASSERT_TRUE(core().getMainForm()->isActiveWindow());
    ASSERT_TRUE(input().getDevices()->getPlatformInput()->hasRawMotion());
    if (!xdotool("version"))
        GTEST_SKIP() << "xdotool is needed to move the pointer";

    ASSERT_TRUE(xdotool("mousemove_relative -- 10 5"));
    EXPECT_EQ(motionUntil({10, -5}), std::make_pair(10, -5)) << "y up is positive";
    ASSERT_TRUE(xdotool("mousemove_relative -- -3 -4"));
    EXPECT_EQ(motionUntil({-3, 4}), std::make_pair(-3, 4));

    // Another program (or the engine's own re-centring) placing the cursor is no hand movement.
    QCursor::setPos(QCursor::pos() + QPoint(40, 0));
    EXPECT_EQ(motionUntil({40, 0}), std::make_pair(0, 0));
}

TEST_F(MouseOnX, WithoutCaptureMotionFollowsTheCursor)
{
    mouse().setCaptureMouse(false);
    frame();
    const QPoint start = QCursor::pos();
    QCursor::setPos(start + QPoint(25, -7));
    EXPECT_EQ(motionUntil({25, 7}), std::make_pair(25, 7));
}
