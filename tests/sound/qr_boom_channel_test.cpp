#include "sound_fixture.h"
#include "wave_bytes.h"

#include "sound/qr_boom_channel.h"
#include "sound/qr_boom_sample.h"
#include "sound/qr_boom_samples.h"

#include <AL/al.h>

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

using namespace wave;

class ChannelTest : public SoundFixture {
protected:
    QRBOOMChannels& channels() { return *sound().getChannels(); }
    // A sound long enough to be still playing when the test looks (5 s).
    QRBOOMSample* longSample()
    {
        writeSound("sounds\\long.wav", pcm(1, 8000, 8, square(40000, 1, 8, 50)));
        return sound().getSamples()->loadSample("sounds\\long.wav");
    }
    static bool isPlaying(const QRBOOMChannel* channel)
    {
        ALint state = 0;
        alGetSourcei(channel->getSource(), AL_SOURCE_STATE, &state);
        return state == AL_PLAYING;
    }
};

TEST_F(ChannelTest, PoolTakesAtMost128Sources)
{
    EXPECT_EQ(channels().getCount(), QRBOOMChannels::kMaxChannels);
    EXPECT_NE(logText().find("Channels available: 128"), std::string::npos);
    EXPECT_EQ(channels().getChannel(127)->getIndex(), 127);
}

TEST_F(ChannelTest, TwoQuickPlaysUseTwoChannels)
{
    auto* sample = longSample();
    auto* first = channels().playSample("sounds\\long.wav");
    auto* second = channels().playSample("SOUNDS\\LONG.WAV");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->getIndex(), 0);
    EXPECT_EQ(second->getIndex(), 1);
    EXPECT_TRUE(isPlaying(first));
    EXPECT_TRUE(isPlaying(second));
    EXPECT_EQ(second->getSample(), sample);
}

TEST_F(ChannelTest, PlayWhenEveryChannelIsBusyIsDropped)
{
    auto* sample = longSample();
    std::set<int> used;
    for (int i = 0; i < QRBOOMChannels::kMaxChannels; ++i) {
        auto* channel = channels().play(sample);
        ASSERT_NE(channel, nullptr) << "play " << i;
        used.insert(channel->getIndex());
    }
    EXPECT_EQ(used.size(), 128u);
    EXPECT_EQ(channels().play(sample), nullptr) << "the 129th sound is dropped";
    EXPECT_TRUE(isPlaying(channels().getChannel(0))) << "no playing sound is cut off for it";
    EXPECT_FALSE(sound().checkForALErrors());
}

TEST_F(ChannelTest, ReservedChannelsAndUnknownNamesArePassedOver)
{
    auto* sample = longSample();
    channels().getChannel(0)->setReserved(true);
    auto* channel = channels().play(sample);
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->getIndex(), 1);
    EXPECT_EQ(channels().playSample("sounds\\never_loaded.wav"), nullptr);
    EXPECT_EQ(channels().play(nullptr), nullptr);
}

TEST_F(ChannelTest, FinishedChannelIsIdleAgain)
{
    writeSound("sounds\\click.wav", pcm(1, 8000, 8, square(80, 1, 8, 50)));
    auto* click = sound().getSamples()->loadSample("sounds\\click.wav");
    auto* channel = channels().play(click);
    ASSERT_NE(channel, nullptr);
    // 10 ms of sound; the mixer runs in real time.
    for (int i = 0; i < 200 && !channel->isIdle(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(channel->isIdle());
    EXPECT_EQ(channels().play(click), channel) << "the first idle channel is reused";
}
