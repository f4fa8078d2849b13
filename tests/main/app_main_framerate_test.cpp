// The frame cap and the frame counter on a clock the test moves: how long the loop waits after a
// frame, that a slow frame leaves no debt the next frames would rush to pay, and what the counter
// shows after half a second.

#include "main/app_main_framerate.h"

#include <gmock/gmock.h>

#include <vector>

namespace {

// Frames that each take `work` seconds of drawing, then end; the clock moves by the work and by
// whatever the frame rate sleeps.
struct FakeLoop {
    double now = 100.0;
    std::vector<double> sleeps;
    std::vector<double> frameEnds;

    void attach(APPMAINFrameRate& rate)
    {
        rate.setClock([this] { return now; }, [this](double seconds) {
            sleeps.push_back(seconds);
            now += seconds;
        });
    }
    void run(APPMAINFrameRate& rate, const std::vector<double>& work)
    {
        for (const double seconds : work) {
            now += seconds;
            rate.endFrame();
            frameEnds.push_back(now);
        }
    }
};

} // namespace

TEST(FrameRate, TheCapSpacesFramesWithoutCatchingUp)
{
    struct Case {
        const char* what;
        int maxFPS;
        std::vector<double> work;
        // Time from each frame's end to the next one's.
        std::vector<double> intervals;
    };
    const Case cases[] = {
        {"no cap: frames follow as fast as they are drawn", 0, {0.005, 0.005, 0.005}, {0.005, 0.005}},
        {"a cap of 50 holds fast frames to 20 ms", 50, {0.005, 0.005, 0.005, 0.012}, {0.020, 0.020, 0.020}},
        {"a slow frame starts the rhythm afresh", 50, {0.005, 0.005, 0.100, 0.005, 0.005}, {0.020, 0.100, 0.020, 0.020}},
        {"frames slower than the cap are never held", 30, {0.040, 0.050, 0.045}, {0.050, 0.045}},
        {"a negative cap means none", -5, {0.004, 0.004}, {0.004}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto rate = qrNew<APPMAINFrameRate>(nullptr);
        FakeLoop loop;
        loop.attach(*rate);
        rate->setMaxFPS(c.maxFPS);
        loop.run(*rate, c.work);
        ASSERT_EQ(loop.frameEnds.size(), c.intervals.size() + 1);
        for (std::size_t i = 0; i < c.intervals.size(); ++i)
            EXPECT_NEAR(loop.frameEnds[i + 1] - loop.frameEnds[i], c.intervals[i], 1e-9) << "interval " << i;
        if (c.maxFPS <= 0) {
            EXPECT_THAT(loop.sleeps, ::testing::IsEmpty());
        }
    }
}

TEST(FrameRate, TheCounterShowsTheLastHalfSecond)
{
    auto rate = qrNew<APPMAINFrameRate>(nullptr);
    FakeLoop loop;
    loop.attach(*rate);
    rate->setShowFPS(true);
    EXPECT_EQ(rate->getText(), "FPS: 0 (0.0 ms)") << "nothing measured yet";
    // The first frame starts the count; 26 more of 20 ms fill more than half a second.
    loop.run(*rate, std::vector<double>(27, 0.020));
    EXPECT_NEAR(rate->getFramesPerSecond(), 50.0, 1e-6);
    EXPECT_EQ(rate->getText(), "FPS: 50 (20.0 ms)");
    // Slower frames show once their half second is complete, not before.
    loop.run(*rate, std::vector<double>(2, 0.125));
    EXPECT_EQ(rate->getText(), "FPS: 50 (20.0 ms)");
    loop.run(*rate, std::vector<double>(3, 0.125));
    EXPECT_EQ(rate->getText(), "FPS: 8 (125.0 ms)");
    rate->setShowFPS(false);
    EXPECT_EQ(rate->getText(), "");
}
