#include "sound_fixture.h"
#include "text_order.h"
#include "wave_bytes.h"

#include "file/qr_file_file.h"
#include "sound/qr_boom_channel.h"
#include "sound/qr_boom_samples.h"
#include "sound/qr_boom_wavereader.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace wave;

class SoundMainTest : public SoundFixture {
protected:
    // Plays the tone `plays` times at once, lets it sound, closes the device and returns the
    // loudest 16-bit sample value of what the device wrote.
    int capturedPeak(int plays)
    {
        writeSound("sounds\\tone.wav", pcm(1, 22050, 16, square(4410, 1, 16, 6000)));
        sound().getSamples()->loadSample("sounds\\tone.wav");
        for (int i = 0; i < plays; ++i)
            EXPECT_NE(sound().getChannels()->playSample("sounds\\tone.wav"), nullptr);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        closeSound();
        QRFILEFile file(nullptr, captureFile().string(), QRFileAccess::Read, QRFileType::Binary);
        QRBOOMWaveData captured;
        std::string error;
        EXPECT_TRUE(qrReadWave(file, captured, error)) << error;
        EXPECT_EQ(captured.bitsPerSample, 16);
        EXPECT_EQ(captured.frequency, 44100);
        openSound();
        return peak16(captured.data);
    }
};

TEST_F(SoundMainTest, StartUpOpensTheDeviceBetweenItsBanners)
{
    EXPECT_TRUE(sound().hasDevice());
    EXPECT_EQ(qrSound(), &sound());
    EXPECT_TRUE(appearsInOrder(logText(), {"QOR BOOM: QOR BOOM Initializing...", "Channels available: 128",
                                           "QOR BOOM: QOR BOOM Initialized!"}))
        << logText();
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(SoundMainTest, OpenALErrorsAreReportedOnceByName)
{
    EXPECT_FALSE(sound().checkForALErrors());
    alSourcePlay(0xDEAD);
    EXPECT_TRUE(sound().checkForALErrors());
    EXPECT_FALSE(sound().checkForALErrors()) << "reading the error clears it";
    ALint ignored = 0;
    alGetSourcei(sound().getChannels()->getChannel(0)->getSource(), 0x7777, &ignored);
    EXPECT_TRUE(sound().checkForALErrors());
    alDistanceModel(0x7777);
    EXPECT_TRUE(sound().checkForALErrors());
    ASSERT_EQ(shownBoxes().size(), 3u);
    EXPECT_NE(shownBoxes()[0].find("Method: checkForALErrors: \r\nOpenAL error: Invalid name"), std::string::npos);
    EXPECT_NE(shownBoxes()[1].find("OpenAL error: Invalid enum"), std::string::npos);
    EXPECT_NE(shownBoxes()[2].find("OpenAL error: Invalid value"), std::string::npos);
}

TEST_F(SoundMainTest, PlayedSoundsReachTheOutputAndTwoPlaysAreBothHeard)
{
    const int silence = capturedPeak(0);
    const int single = capturedPeak(1);
    const int twice = capturedPeak(2);
    EXPECT_LT(silence, 50);
    EXPECT_GT(single, 1000) << "the tone is in the captured output";
    EXPECT_GT(twice, single * 3 / 2) << "two channels sound together";
}

TEST_F(SoundMainTest, ShutDownReleasesSamplesThenChannelsThenTheDevice)
{
    writeSound("sounds\\jump.wav", pcm(1, 22050, 16, square(200, 1, 16, 100)));
    sound().getSamples()->loadSample("sounds\\jump.wav");
    closeSound();
    EXPECT_EQ(qrSound(), nullptr);
    EXPECT_EQ(alcGetCurrentContext(), nullptr);
    EXPECT_NE(logText().find("Deleting Sample: \"sounds\\jump.wav\""), std::string::npos);
    EXPECT_TRUE(shownBoxes().empty());
}
