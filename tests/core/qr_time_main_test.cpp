#include "core/qr_time_main.h"

#include <gtest/gtest.h>

class TimerTest : public ::testing::Test {
protected:
    TimerTest()
    {
        timer->setClock([this] { return now; });
        timer->initialize();
    }
    std::uint32_t now = 1000;
    QROwned<QRTIMEMain> timer = qrNew<QRTIMEMain>(nullptr);
};

TEST_F(TimerTest, DeltaIsElapsedMillisecondsScaled)
{
    now += 16;
    timer->updateTime();
    EXPECT_FLOAT_EQ(timer->getDelta(), 0.016f);
    timer->setTimeScale(0.5f);
    now += 20;
    timer->updateTime();
    EXPECT_FLOAT_EQ(timer->getDelta(), 0.010f);
    EXPECT_FLOAT_EQ(timer->getTotalTime(), 0.026f);
    timer->setTimeScale(0.0f);
    now += 20;
    timer->updateTime();
    EXPECT_EQ(timer->getDelta(), 0.0f);
    EXPECT_FLOAT_EQ(timer->getLastDelta(), 0.010f);
}

TEST_F(TimerTest, SameMillisecondGivesZeroDeltaAndNoRollOver)
{
    now = 6000;
    timer->updateTime();
    timer->countFrame();
    EXPECT_EQ(timer->getFramesPerSecond(), 1);
    timer->updateTime();
    EXPECT_EQ(timer->getDelta(), 0.0f);
    timer->countFrame();
    now = 6500;
    timer->updateTime();
    timer->countFrame();
    now = 7000;
    timer->updateTime();
    timer->countFrame();
    EXPECT_EQ(timer->getFramesPerSecond(), 3) << "the zero-delta frame is counted";
    now = 8000;
    timer->setDelta(0.0f);
    timer->countFrame();
    EXPECT_EQ(timer->getFramesPerSecond(), 3) << "a zero-delta frame never rolls the second over";
}

TEST_F(TimerTest, MidnightWrapNeverStalls)
{
    now = QRTIMEMain::kMillisecondsPerDay - 10;
    timer->updateTime();
    now = 5;
    timer->updateTime();
    EXPECT_FLOAT_EQ(timer->getDelta(), 0.015f);
}

TEST_F(TimerTest, ClockSetBackGivesAnEmptyFrameNotADay)
{
    now = 10'000'000;
    timer->updateTime();
    now = 10'000'000 - 3'600'000;
    timer->updateTime();
    EXPECT_EQ(timer->getDelta(), 0.0f);
    now += 20;
    timer->updateTime();
    EXPECT_FLOAT_EQ(timer->getDelta(), 0.020f);
}

TEST_F(TimerTest, ClockJumpingForwardGivesOneStepOfAtMostAQuarterSecond)
{
    struct Case {
        std::uint32_t elapsed;
        float timeScale;
        float delta;
    };
    const Case cases[] = {
        {3'600'000, 1.0f, 0.25f}, // daylight saving
        {250, 1.0f, 0.25f},
        {400, 0.5f, 0.2f},
        {200, 2.0f, 0.25f},
    };
    for (const Case& c : cases) {
        timer->setTimeScale(c.timeScale);
        now = 10'000'000;
        timer->updateTime();
        now += c.elapsed;
        timer->updateTime();
        EXPECT_FLOAT_EQ(timer->getDelta(), c.delta) << c.elapsed << " ms at scale " << c.timeScale;
    }
    now += 20;
    timer->setTimeScale(1.0f);
    timer->updateTime();
    EXPECT_FLOAT_EQ(timer->getDelta(), 0.020f) << "the next frame is an ordinary one";
}

TEST_F(TimerTest, HasPassedDetectsCrossingDuringThisFrame)
{
    timer->setDelta(0.03f);
    EXPECT_TRUE(timer->hasPassed(0.5f, 0.52f));
    timer->setDelta(0.01f);
    EXPECT_FALSE(timer->hasPassed(0.5f, 0.52f));
    EXPECT_TRUE(timer->hasPassed(0.5f, 0.5f)) << "landing exactly on the point counts";
    EXPECT_FALSE(timer->hasPassed(0.5f, 0.49f));
    EXPECT_TRUE(timer->hasPassed(0.0f, 0.01f)) << "a point at zero is passed by the first frame";
    EXPECT_TRUE(timer->hasPassed(0.0f, 0.0f));
}

TEST_F(TimerTest, DeltaArithmetic)
{
    timer->setDelta(0.5f);
    float value = 1.0f;
    timer->advance(value);
    timer->advanceScaled(value, 2.0f);
    EXPECT_FLOAT_EQ(value, 2.5f);
    EXPECT_FLOAT_EQ(timer->scaleByDelta(4.0f), 2.0f);
    now = 61'234;
    EXPECT_EQ(timer->getClockSeconds(), std::make_pair(61u, 234u));
}
