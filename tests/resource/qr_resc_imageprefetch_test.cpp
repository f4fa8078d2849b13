// Pictures decoded ahead: what a prefetched load gives, pixels and reports alike, is what the
// load gives without one; each decode is taken once, only in the row order it was made for, and
// what nobody took goes with clear().

#include "engine_fixture.h"

#include "resource/qr_resc_image.h"
#include "resource/qr_resc_imageprefetch.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>

namespace {
// A well-formed PNG of 61 bytes whose header claims a 100000 x 100000 picture.
std::string forgedPng()
{
    const unsigned char bytes[] = {
        0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
        0x00, 0x01, 0x86, 0xa0, 0x00, 0x01, 0x86, 0xa0, 0x08, 0x02, 0x00, 0x00, 0x00, 0x27, 0x30, 0x9c,
        0x9f, 0x00, 0x00, 0x00, 0x04, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0x00, 0xfe, 0x71, 0x16,
        0x84, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}
} // namespace

class ImagePrefetch : public EngineFixture {
protected:
    void SetUp() override
    {
        QImage picture(5, 3, QImage::Format_RGB888);
        for (int i = 0; i < 15; ++i)
            picture.setPixelColor(i % 5, i / 5, QColor(i * 10, 255 - i * 10, i * 3));
        std::filesystem::create_directories(programFolder() / "pictures");
        ASSERT_TRUE(picture.save(QString::fromStdString((programFolder() / "pictures" / "good.png").string())));
        programFolder().write("pictures/broken.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, 'z'));
        programFolder().write("pictures/forged.png", forgedPng());
    }

    // Pixels (or nothing) and the message boxes shown, of a load with flipped rows.
    std::pair<std::vector<std::uint8_t>, std::vector<std::string>> load(const std::string& name)
    {
        const std::size_t before = shownBoxes().size();
        auto image = qrNew<QRRESCImage2>(nullptr);
        image->setFlipForGL(true);
        image->loadFromFile(name);
        const std::vector<std::string> boxes(shownBoxes().begin() + static_cast<std::ptrdiff_t>(before), shownBoxes().end());
        return {image->isValid() ? image->getByteData() : std::vector<std::uint8_t>{}, boxes};
    }
};

TEST_F(ImagePrefetch, APrefetchedLoadGivesWhatALoadWithoutGives)
{
    const std::vector<std::string> names = {"pictures\\good.png", "pictures\\broken.png", "pictures\\forged.png"};
    std::vector<std::pair<std::vector<std::uint8_t>, std::vector<std::string>>> alone;
    for (const std::string& name : names)
        alone.push_back(load(name));
    ASSERT_EQ(alone[0].first.size(), 5u * 3u * 3u);
    ASSERT_EQ(alone[1].second.size(), 1u);
    ASSERT_EQ(alone[2].second.size(), 1u);
    EXPECT_NE(alone[2].second[0].find("claims 100000 * 100000 pixels"), std::string::npos);

    auto prefetch = qrNew<QRRESCImagePrefetch>(nullptr);
    prefetch->start(names, true);
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(load(names[i]), alone[i]);
        EXPECT_FALSE(prefetch->take(names[i], true)) << "taken once";
    }
}

TEST_F(ImagePrefetch, ADecodeIsTakenOnlyInItsRowOrderAndNotAfterClear)
{
    auto prefetch = qrNew<QRRESCImagePrefetch>(nullptr);
    prefetch->start({"pictures\\good.png", "pictures\\missing.png"}, true);
    EXPECT_FALSE(prefetch->take("pictures\\good.png", false));
    EXPECT_FALSE(prefetch->take("pictures\\missing.png", true)) << "left to the load, which reports it";
    auto decode = prefetch->take("PICTURES/GOOD.PNG", true);
    ASSERT_TRUE(decode);
    EXPECT_EQ(decode->get().outcome, QRRESCDecodedImage::Outcome::Decoded);
    prefetch->start({"pictures\\good.png"}, true);
    prefetch->clear();
    EXPECT_FALSE(prefetch->take("pictures\\good.png", true));
    EXPECT_TRUE(shownBoxes().empty());
}
