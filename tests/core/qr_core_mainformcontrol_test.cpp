#include "temp_folder.h"

#include "core/qr_appl_main.h"
#include "core/qr_core_main.h"
#include "core/qr_core_mainformcontrol.h"
#include "core/qr_core_messagebox.h"
#include "core/qr_core_programfolder.h"
#include "core/qr_time_main.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

namespace {

struct Calls {
    int initialize = 0;
    int logic = 0;
    int render = 0;
    int quit = 0;
    bool destroyed = false;
};

// Asks to quit after a number of drawn frames (never when 0); the frame clock moves one
// millisecond after every other frame, so every second frame has a zero delta.
class ScriptedApplication : public QRAPPLMain {
public:
    ScriptedApplication(Calls& calls, std::uint32_t& clock, int quitAfterRenders)
        : QRAPPLMain("Scripted"), calls_(calls), clock_(clock), quitAfterRenders_(quitAfterRenders)
    {
    }
    ~ScriptedApplication() override { calls_.destroyed = true; }

    void initialize() override
    {
        ++calls_.initialize;
        setRunning(true);
    }
    void updateLogic() override { ++calls_.logic; }
    void render() override
    {
        ++calls_.render;
        if (calls_.render % 2 == 1)
            ++clock_;
        if (calls_.render == quitAfterRenders_)
            requestQuit();
    }
    void onQuit() override { ++calls_.quit; }

private:
    Calls& calls_;
    std::uint32_t& clock_;
    int quitAfterRenders_;
};

class FrameDriverTest : public ::testing::Test {
protected:
    FrameDriverTest()
    {
        qrSetProgramFolder(folder_.path());
        previousPresenter_ = qrSetMessagePresenter([this](QRMessageKind, const std::string& text) {
            boxes_.push_back(text);
        });
    }
    ~FrameDriverTest() override
    {
        // Whatever a failed test left behind must not leak into the next one.
        QRCOREMainFormControl::shutDown();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        qrSetMessagePresenter(previousPresenter_);
        qrSetProgramFolder({});
    }

    // Creates the core and the application the way the main window does, then runs Qt's event
    // loop until the shut-down handler has taken the core down.
    void runProgram(int loopMode, int quitAfterRenders, const std::function<void()>& whileRunning = {})
    {
        qrNew<QRCOREMain>(&mainForm_, loopMode).release();
        qrTime()->setClock([this] { return clock_; });
        qrNew<ScriptedApplication>(calls_, clock_, quitAfterRenders).release();
        QEventLoop loop;
        QTimer poll;
        poll.callOnTimeout([&] {
            if (!qrCore())
                loop.quit();
        });
        poll.start(1);
        if (whileRunning)
            QTimer::singleShot(50, &mainForm_, whileRunning);
        loop.exec();
        // The driver hands its timer and window hook to Qt for deletion; that must be harmless.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::string logText() const { return folder_.read("log.html"); }

    TempFolder folder_;
    QWidget mainForm_;
    std::uint32_t clock_ = 1000;
    Calls calls_;
    std::vector<std::string> boxes_;
    QRMessagePresenter previousPresenter_;
};

bool endsWith(const std::string& text, const std::string& ending)
{
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

} // namespace

TEST_F(FrameDriverTest, ContinuousLoopRunsFramesUntilQuitThenShutsEverythingDown)
{
    runProgram(2, 10);
    EXPECT_EQ(calls_.initialize, 1);
    EXPECT_EQ(calls_.render, 10) << "no frame is drawn once quitting was asked for";
    EXPECT_EQ(calls_.logic, 5) << "frames with a zero delta run no logic";
    EXPECT_EQ(calls_.quit, 2) << "once when quitting is asked for, once when the window closes";
    EXPECT_TRUE(calls_.destroyed);
    EXPECT_EQ(qrCore(), nullptr);
    EXPECT_EQ(qrApplication(), nullptr);
    EXPECT_TRUE(endsWith(logText(), "</body>\r\n</html>\r\n")) << logText();
    EXPECT_NE(logText().find("<div>QOR CORE: Shutting Down...</div>"), std::string::npos);
    EXPECT_TRUE(boxes_.empty()) << boxes_.front();
}

TEST_F(FrameDriverTest, ClosingTheWindowWhileTheLoopRunsEndsIt)
{
    runProgram(2, 0, [this] { mainForm_.close(); });
    EXPECT_GT(calls_.render, 0);
    EXPECT_EQ(calls_.quit, 1);
    EXPECT_TRUE(calls_.destroyed);
    EXPECT_EQ(qrCore(), nullptr);
    EXPECT_TRUE(endsWith(logText(), "</body>\r\n</html>\r\n")) << logText();
}

TEST_F(FrameDriverTest, OneFramePerTickRunsUntilQuit)
{
    runProgram(1, 4);
    EXPECT_EQ(calls_.initialize, 1);
    EXPECT_EQ(calls_.render, 4);
    EXPECT_EQ(calls_.logic, 2);
    EXPECT_EQ(calls_.quit, 2);
    EXPECT_TRUE(calls_.destroyed);
    EXPECT_EQ(qrCore(), nullptr);
}

namespace {
// Eats the main window's close events while refusing, as a window asking "really quit?" would.
class CloseRefusal : public QObject {
public:
    bool refusing = true;
    int refused = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::Close || !refusing)
            return false;
        ++refused;
        return true;
    }
};
} // namespace

TEST_F(FrameDriverTest, ContinuousLoopRestsWhileTheCloseOfQuittingIsRefused)
{
    CloseRefusal refusal;
    QTimer eachRound; // a zero timer fires once per pass through the event loop
    int rounds = 0;
    eachRound.callOnTimeout([&] { ++rounds; });
    runProgram(2, 0, [&] {
        // Installed after the driver's own hook, so it sees the close first.
        mainForm_.installEventFilter(&refusal);
        qrApplication()->requestQuit();
        eachRound.start(0);
        QTimer::singleShot(300, &mainForm_, [&] {
            eachRound.stop();
            refusal.refusing = false;
            mainForm_.close();
        });
    });
    EXPECT_EQ(refusal.refused, 1);
    EXPECT_GT(rounds, 0);
    EXPECT_LT(rounds, 100) << "300 ms of quitting must not spin the loop";
    EXPECT_EQ(qrCore(), nullptr);
    mainForm_.removeEventFilter(&refusal);
}
