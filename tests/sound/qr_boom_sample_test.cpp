#include "sound_fixture.h"
#include "wave_bytes.h"

#include "core/qr_mngr_assetmanager.h"
#include "sound/qr_boom_channel.h"
#include "sound/qr_boom_sample.h"
#include "sound/qr_boom_samples.h"

#include <AL/al.h>

#include <gtest/gtest.h>

using namespace wave;

namespace {
int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (auto position = text.find(part); position != std::string::npos; position = text.find(part, position + 1))
        ++count;
    return count;
}
} // namespace

class SampleTest : public SoundFixture {
protected:
    QRBOOMSamples& samples() { return *sound().getSamples(); }
};

TEST_F(SampleTest, LoadsIntoABufferWithFrequencyAndLength)
{
    // Half a second each: 11025 frames at 22050 Hz, mono 8 bits and stereo 16 bits.
    writeSound("sounds\\mono.wav", pcm(1, 22050, 8, square(11025, 1, 8, 60)));
    writeSound("sounds\\stereo.wav", pcm(2, 22050, 16, square(11025, 2, 16, 3000)));
    for (const char* name : {"sounds\\mono.wav", "sounds\\stereo.wav"}) {
        auto* sample = samples().loadSample(name);
        ASSERT_NE(sample, nullptr) << name;
        EXPECT_TRUE(sample->hasBuffer()) << name;
        EXPECT_EQ(sample->getName(), name);
        EXPECT_EQ(sample->getFrequency(), 22050.0f);
        EXPECT_FLOAT_EQ(sample->getLength(), 0.5f) << name;
        EXPECT_EQ(sample->getRolloff(), 1.0f);
        ALint size = 0;
        alGetBufferi(sample->getBuffer(), AL_SIZE, &size);
        EXPECT_GT(size, 0);
    }
    EXPECT_NE(logText().find("Loading WAV from file \""), std::string::npos);
    EXPECT_NE(logText().find("Creating Sample: \"sounds\\stereo.wav\""), std::string::npos);
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(SampleTest, FileIsLoadedOnceAndSharedByName)
{
    writeSound("sounds\\jump.wav", pcm(1, 22050, 16, square(2000, 1, 16, 3000)));
    auto* first = samples().loadSample("sounds\\jump.wav");
    auto* again = samples().loadSample("SOUNDS\\Jump.wav");
    auto* leading = samples().loadSample("\\sounds\\jump.wav");
    EXPECT_EQ(first, again);
    EXPECT_EQ(first, leading);
    EXPECT_EQ(samples().getCount(), 1);
    EXPECT_EQ(samples().findSample("sounds\\JUMP.wav"), first);
    EXPECT_EQ(occurrences(logText(), "Loading WAV from file"), 1);
    auto* asset = qrAssets()->findAssetOfResource(first);
    ASSERT_NE(asset, nullptr);
    EXPECT_EQ(asset->referenceCount, 1) << "asking again before every play must not pile up references";
}

TEST_F(SampleTest, ReleasingGivesTheSampleBackToTheAssetManager)
{
    writeSound("sounds\\land.wav", pcm(1, 22050, 16, square(2000, 1, 16, 3000)));
    auto* sample = samples().loadSample("sounds\\land.wav");
    ASSERT_NE(sample, nullptr);
    ASSERT_NE(sound().getChannels()->play(sample), nullptr);
    const int assets = qrAssets()->getCount();
    samples().releaseSample(sample);
    EXPECT_EQ(samples().getCount(), 0);
    EXPECT_EQ(qrAssets()->getCount(), assets - 1);
    EXPECT_EQ(sound().getChannels()->getChannel(0)->getSample(), nullptr) << "the channel let go of its buffer";
    EXPECT_NE(logText().find("Deleting Sample: \"sounds\\land.wav\""), std::string::npos);
    EXPECT_FALSE(sound().checkForALErrors()) << "the buffer was deleted cleanly";
}

TEST_F(SampleTest, MissingFileYieldsNothing)
{
    EXPECT_EQ(samples().loadSample("sounds\\missing.wav"), nullptr);
    EXPECT_EQ(samples().getCount(), 0);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("could not be found"), std::string::npos);
    EXPECT_EQ(sound().getChannels()->playSample("sounds\\missing.wav"), nullptr);
}

TEST_F(SampleTest, UnplayableFileGivesAnErrorAndAnEmptySample)
{
    writeSound("sounds\\hostile.wav", riff(chunk("fmt ", formatBody(1, 1, 8000, 16)) +
                                          chunkWithSize("data", 0x7FFFFFF0u, "tiny")));
    auto* sample = samples().loadSample("sounds\\hostile.wav");
    ASSERT_NE(sample, nullptr);
    EXPECT_FALSE(sample->hasBuffer());
    EXPECT_EQ(sample->getLength(), 0.0f);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("Method: loadFromFile: \r\nThe WAV file \"sounds\\hostile.wav\" cannot be played: "
                                   "its \"data\" chunk claims 2147483632 bytes, more than the file holds"),
              std::string::npos)
        << shownBoxes()[0];
    EXPECT_EQ(sound().getChannels()->playSample("sounds\\hostile.wav"), nullptr) << "nothing to play";
}

TEST_F(SampleTest, ReloadingReplacesTheBuffer)
{
    writeSound("sounds\\fly.wav", pcm(1, 22050, 16, square(2205, 1, 16, 3000)));
    auto* sample = samples().loadSample("sounds\\fly.wav");
    ASSERT_NE(sound().getChannels()->play(sample), nullptr);
    writeSound("sounds\\fly.wav", pcm(1, 11025, 16, square(11025, 1, 16, 3000)));
    sample->loadFromFile("sounds\\fly.wav");
    EXPECT_TRUE(sample->hasBuffer());
    EXPECT_FLOAT_EQ(sample->getLength(), 1.0f);
    EXPECT_FALSE(sound().checkForALErrors()) << "the old buffer was detached before it was deleted";
}
