#include "engine_fixture.h"
#include "wave_bytes.h"

#include "file/qr_file_file.h"
#include "sound/qr_boom_wavereader.h"

#include <gtest/gtest.h>

using namespace wave;

class WaveReaderTest : public EngineFixture {
protected:
    // Reads bytes as a WAV file; the reason for a refusal lands in error_.
    bool read(const std::string& bytes)
    {
        programFolder().write("test.wav", bytes);
        QRFILEFile file(nullptr, "test.wav", QRFileAccess::Read, QRFileType::Binary);
        EXPECT_TRUE(file.isOpen());
        data_ = QRBOOMWaveData{};
        error_.clear();
        return qrReadWave(file, data_, error_);
    }
    QRBOOMWaveData data_;
    std::string error_;
};

TEST_F(WaveReaderTest, ReadsFormatAndData)
{
    const std::string samples = square(100, 2, 16, 1000);
    ASSERT_TRUE(read(pcm(2, 22050, 16, samples))) << error_;
    EXPECT_EQ(data_.channels, 2);
    EXPECT_EQ(data_.bitsPerSample, 16);
    EXPECT_EQ(data_.frequency, 22050);
    EXPECT_EQ(std::string(data_.data.begin(), data_.data.end()), samples);
}

TEST_F(WaveReaderTest, SkipsOtherChunksLongFormatsAndPadBytes)
{
    const std::string samples = square(64, 1, 8, 100);
    // A LIST chunk before the data.
    ASSERT_TRUE(read(riff(chunk("fmt ", formatBody(1, 1, 8000, 8)) + chunk("LIST", "INFOISFT" + le32(4) + std::string("kip\0", 4)) +
                          chunk("data", samples))))
        << error_;
    EXPECT_EQ(data_.data.size(), samples.size());
    // An 18-byte fmt chunk, as many tools write it.
    ASSERT_TRUE(read(riff(chunk("fmt ", formatBody(1, 1, 8000, 8, 2)) + chunk("data", samples)))) << error_;
    EXPECT_EQ(data_.frequency, 8000);
    EXPECT_EQ(data_.data.size(), samples.size());
    // An odd-sized chunk is padded to an even length.
    ASSERT_TRUE(read(riff(chunk("junk", "abc") + std::string(1, '\0') + chunk("fmt ", formatBody(1, 1, 8000, 8)) +
                          chunk("data", samples))))
        << error_;
    EXPECT_EQ(std::string(data_.data.begin(), data_.data.end()), samples);
    // The extensible format tag carries PCM too.
    ASSERT_TRUE(read(riff(chunk("fmt ", formatBody(0xFFFE, 2, 44100, 16, 24)) + chunk("data", square(8, 2, 16, 9)))))
        << error_;
}

TEST_F(WaveReaderTest, TornLastFrameIsLeftOut)
{
    ASSERT_TRUE(read(pcm(2, 8000, 16, square(10, 2, 16, 5) + "xyz"))) << error_;
    EXPECT_EQ(data_.data.size(), 40u);
}

TEST_F(WaveReaderTest, BrokenFilesAreRefusedWithAReason)
{
    const std::string format = chunk("fmt ", formatBody(1, 1, 8000, 16));
    const std::string data = chunk("data", square(16, 1, 16, 100));
    const struct {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"empty", "", "too short"},
        {"cut in the header", std::string("RIFF\x10\0\0", 7), "too short"},
        {"not RIFF", "RIFX" + le32(4) + "WAVE" + format + data, "no RIFF WAVE"},
        {"not WAVE", "RIFF" + le32(4) + "AVI " + format + data, "no RIFF WAVE"},
        {"fmt chunk of 14 bytes", riff(chunk("fmt ", formatBody(1, 1, 8000, 16).substr(0, 14)) + data),
         "shorter than 16 bytes"},
        {"data larger than the file", riff(format + chunkWithSize("data", 0xFFFFFFF0u, square(16, 1, 16, 1))),
         "more than the file holds"},
        {"LIST larger than the file", riff(format + chunkWithSize("LIST", 0x7FFFFFFFu, "abcd") + data),
         "more than the file holds"},
        {"data one byte short", riff(format + chunkWithSize("data", 33, square(16, 1, 16, 1))),
         "more than the file holds"},
        {"fmt cut off", riff(chunkWithSize("fmt ", 16, formatBody(1, 1, 8000, 16).substr(0, 10))),
         "more than the file holds"},
        {"no data chunk", riff(format + chunk("LIST", "abcd")), "no data chunk"},
        {"data before fmt", riff(data + format), "before the fmt chunk"},
        {"three channels", riff(chunk("fmt ", formatBody(1, 3, 8000, 16)) + data), "3 channels of 16 bits"},
        {"24 bits", riff(chunk("fmt ", formatBody(1, 2, 8000, 24)) + data), "2 channels of 24 bits"},
        {"no channels", riff(chunk("fmt ", formatBody(1, 0, 8000, 8)) + data), "0 channels of 8 bits"},
        {"float samples", riff(chunk("fmt ", formatBody(3, 1, 8000, 16)) + data), "not PCM (format 3)"},
        {"sample rate 0", riff(chunk("fmt ", formatBody(1, 1, 0, 16)) + data), "sample rate is 0"},
    };
    for (const auto& test : cases) {
        EXPECT_FALSE(read(test.bytes)) << test.what;
        EXPECT_NE(error_.find(test.reason), std::string::npos) << test.what << ": " << error_;
        EXPECT_LE(data_.data.capacity(), test.bytes.size()) << test.what;
    }
    EXPECT_TRUE(shownBoxes().empty()) << "the reader leaves reporting to its caller";
}
