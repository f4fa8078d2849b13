#include "sound_fixture.h"
#include "wave_bytes.h"

#include "sound/qr_boom_channel.h"
#include "sound/qr_boom_sample.h"
#include "sound/qr_boom_samples.h"

#include <gtest/gtest.h>

// A machine without a usable sound device: the only output OpenAL may use cannot be opened.
class NoDeviceTest : public EngineFixture {
protected:
    NoDeviceTest()
    {
        useOpenALConfig("[general]\ndrivers=wave\n[wave]\nfile=/nonexistent-folder/kipster/capture.wav\n");
        sound_ = qrNew<QRBOOMMain>(&core());
        sound_->initialize();
    }
    QROwned<QRBOOMMain> sound_;
};

TEST_F(NoDeviceTest, IsReportedAndEveryPlayIsSilent)
{
    EXPECT_FALSE(sound_->hasDevice());
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("Method: checkForALErrors: \r\nOpenAL error: "), std::string::npos)
        << shownBoxes()[0];
    EXPECT_NE(logText().find("No OpenAL device could be opened"), std::string::npos);
    EXPECT_NE(logText().find("QOR BOOM: QOR BOOM Initialized!"), std::string::npos);
    EXPECT_EQ(sound_->getChannels()->getCount(), 0);

    programFolder().write("sounds/jump.wav", wave::pcm(1, 22050, 16, wave::square(200, 1, 16, 100)));
    auto* sample = sound_->getSamples()->loadSample("sounds\\jump.wav");
    ASSERT_NE(sample, nullptr);
    EXPECT_FALSE(sample->hasBuffer());
    EXPECT_EQ(sound_->getChannels()->playSample("sounds\\jump.wav"), nullptr);
    sound_.reset();
    EXPECT_EQ(shownBoxes().size(), 1u) << "nothing else went wrong";
}
