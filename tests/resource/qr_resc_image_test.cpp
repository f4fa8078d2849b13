#include "engine_fixture.h"

#include "core/qr_core_log.h"
#include "resource/qr_resc_image.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <filesystem>

namespace {
bool logged(const std::string& text)
{
    const auto& lines = qrLog()->getLines();
    return std::any_of(lines.begin(), lines.end(), [&](const QRCORELogLine& line) { return line.text == text; });
}
} // namespace

class ImageTest : public EngineFixture {
protected:
    ImageTest() : image_(qrNew<QRRESCImage2>(nullptr)) {}

    // Saves picture as pictures\<name> in the program folder.
    void savePicture(const QImage& picture, const std::string& name, const char* format = "PNG") const
    {
        const auto path = programFolder() / "pictures" / name;
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), format));
    }

    // 3 x 2 pixels: top row red, green, blue; bottom row white, black, half grey.
    static QImage colourPicture(QImage::Format format)
    {
        QImage picture(3, 2, format);
        const QColor colours[6] = {QColor(255, 0, 0, 255),     QColor(0, 255, 0, 128), QColor(0, 0, 255, 0),
                                   QColor(255, 255, 255, 255), QColor(0, 0, 0, 255),   QColor(128, 128, 128, 64)};
        for (int i = 0; i < 6; ++i)
            picture.setPixelColor(i % 3, i / 3, colours[i]);
        return picture;
    }

    QRRESCImage2& image() { return *image_; }

private:
    QROwned<QRRESCImage2> image_;
};

TEST_F(ImageTest, RgbPicturesDecodeTopRowFirst)
{
    savePicture(colourPicture(QImage::Format_RGB888), "colours.png");
    image().loadFromFile("pictures\\colours.png");
    ASSERT_TRUE(image().isValid());
    EXPECT_FALSE(image().isEmpty());
    EXPECT_EQ(image().getName(), "pictures\\colours.png");
    EXPECT_EQ(image().getPixelFormat(), QRRESCImage2::kPixelRGB);
    EXPECT_EQ(image().getDataFormat(), QRRESCImage2::kDataByte);
    EXPECT_EQ(image().getChannelCount(), 3);
    EXPECT_EQ(image().getWidth(), 3);
    EXPECT_EQ(image().getHeight(), 2);
    const std::vector<std::uint8_t> expected = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 128, 128, 128};
    EXPECT_EQ(image().getByteData(), expected) << "packed rows, no padding";
    EXPECT_EQ(image().getPixelColor(1, 0), (Vector4{0.0f, 1.0f, 0.0f, 1.0f}));
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(ImageTest, AlphaAndGreyPicturesKeepTheirComponents)
{
    savePicture(colourPicture(QImage::Format_RGBA8888), "alpha.png");
    image().loadFromFile("pictures\\alpha.png");
    EXPECT_EQ(image().getPixelFormat(), QRRESCImage2::kPixelRGBA);
    EXPECT_EQ(image().getChannelCount(), 4);
    EXPECT_EQ(image().getByteData()[7], 128) << "alpha of the green pixel";

    QImage grey(4, 3, QImage::Format_Grayscale8);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            grey.scanLine(y)[x] = static_cast<uchar>(10 * x + 100 * y);
    savePicture(grey, "grey.png");
    image().loadFromFile("pictures\\grey.png");
    EXPECT_EQ(image().getPixelFormat(), QRRESCImage2::kPixelLuminance);
    EXPECT_EQ(image().getChannelCount(), 1);
    EXPECT_EQ(image().getByteData().size(), 12u);
    EXPECT_EQ(image().getPixelColor(3, 2), (Vector4{230 / 255.0f, 230 / 255.0f, 230 / 255.0f, 1.0f}))
        << "one component reads as grey";

    savePicture(colourPicture(QImage::Format_RGB888), "colours.bmp", "BMP");
    image().loadFromFile("pictures\\colours.bmp");
    EXPECT_EQ(image().getPixelFormat(), QRRESCImage2::kPixelRGB);
    EXPECT_EQ(image().getPixelColor(0, 1), (Vector4{1.0f, 1.0f, 1.0f, 1.0f}));
}

TEST_F(ImageTest, FlipForGLPutsTheBottomRowFirst)
{
    savePicture(colourPicture(QImage::Format_RGB888), "colours.png");
    image().setFlipForGL(true);
    image().loadFromFile("pictures\\colours.png");
    EXPECT_EQ(image().getPixelColor(0, 0), (Vector4{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(image().getPixelColor(0, 1), (Vector4{1.0f, 0.0f, 0.0f, 1.0f}));
    EXPECT_TRUE(logged("Flipping image vertically"));
}

TEST_F(ImageTest, MissingAndUndecodableFilesLeaveAnEmptyImage)
{
    savePicture(colourPicture(QImage::Format_RGB888), "colours.png");
    image().loadFromFile("pictures\\colours.png");
    image().loadFromFile("pictures\\missing.png");
    EXPECT_FALSE(image().isValid());
    EXPECT_EQ(image().getWidth(), 0);
    EXPECT_EQ(image().getPixelColor(5, 5), Vector4{}) << "no pixels read as black";
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("File \"pictures\\missing.png\" could not be found!"), std::string::npos);

    programFolder().write("pictures/broken.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, 'z'));
    image().loadFromFile("pictures\\broken.png");
    EXPECT_FALSE(image().isValid());
    ASSERT_EQ(shownBoxes().size(), 2u);
    EXPECT_NE(shownBoxes()[1].find("IL could not load the image \"pictures\\broken.png\"!"), std::string::npos);
}

TEST_F(ImageTest, EmptyImagesAreCheckedAndZeroed)
{
    image().generateEmptyImage(QRRESCImage2::kDataFloat, QRRESCImage2::kPixelRGBA, 3, 2);
    EXPECT_TRUE(logged("Generating empty image with size 3 * 2"));
    ASSERT_TRUE(image().isValid());
    EXPECT_EQ(image().getFloatData(), std::vector<float>(24, 0.0f));
    EXPECT_TRUE(image().getByteData().empty());

    image().generateEmptyImage(0, 1, 0, 5);
    image().generateEmptyImage(0, 3, 2, 2);
    image().generateEmptyImage(2, 1, 2, 2);
    EXPECT_FALSE(image().isValid());
    ASSERT_EQ(shownBoxes().size(), 3u);
    EXPECT_NE(shownBoxes()[0].find("width and height must both be positive values!"), std::string::npos);
    EXPECT_NE(shownBoxes()[1].find("Undefined pixel format!"), std::string::npos);
    EXPECT_NE(shownBoxes()[2].find("Undefined data format!"), std::string::npos);

    image().fillImageWithColor(0.5f);
    image().setPixelColor({1, 1, 1, 1}, 0, 0);
    ASSERT_EQ(shownBoxes().size(), 5u);
    EXPECT_NE(shownBoxes()[3].find("Undefined image data format!"), std::string::npos);
    EXPECT_NE(shownBoxes()[4].find("Undefined image pixel format!"), std::string::npos);
}

TEST_F(ImageTest, PixelAccessClampsCoordinatesAndRoundsBytes)
{
    image().generateEmptyImage(QRRESCImage2::kDataByte, QRRESCImage2::kPixelRGB, 4, 4);
    image().fillImageWithColor(0.5f);
    EXPECT_EQ(image().getByteData()[0], 128);
    image().fillImageWithColor(7.0f);
    EXPECT_EQ(image().getByteData()[0], 255) << "clamped";

    image().setPixelColor({0.2f, -1.0f, 2.0f, 0.3f}, 99, -5);
    EXPECT_EQ(image().getByteData()[9], 51);
    EXPECT_EQ(image().getByteData()[10], 0);
    EXPECT_EQ(image().getByteData()[11], 255);
    EXPECT_EQ(image().getPixelColor(3, 0), image().getPixelColor(1000, -1000));
    EXPECT_EQ(image().getPixelColor(3, 0).w, 1.0f);

    image().generateEmptyImage(QRRESCImage2::kDataFloat, QRRESCImage2::kPixelLuminance, 2, 2);
    image().setPixelColor({0.123f, 0.9f, 0.9f, 0.9f}, 1, 1);
    EXPECT_EQ(image().getPixelColor(5, 5), (Vector4{0.123f, 0.123f, 0.123f, 1.0f}));
    EXPECT_TRUE(shownBoxes().empty());
}

TEST_F(ImageTest, ResizingPadsAndCropsWithoutScaling)
{
    image().setImageSize(4, 4);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("Cannot reset size of an empty image"), std::string::npos);

    image().generateEmptyImage(QRRESCImage2::kDataByte, QRRESCImage2::kPixelRGB, 300, 200);
    image().fillImageWithColor(1.0f);
    image().setImageSize(512, 256);
    ASSERT_EQ(image().getWidth(), 512);
    ASSERT_EQ(image().getHeight(), 256);
    EXPECT_EQ(image().getPixelColor(299, 199), (Vector4{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(image().getPixelColor(300, 0), (Vector4{0.0f, 0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(image().getPixelColor(0, 200), (Vector4{0.0f, 0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(std::count(image().getByteData().begin(), image().getByteData().end(), 255), 300 * 200 * 3);

    image().setPixelColor({0.0f, 0.0f, 1.0f, 1.0f}, 1, 1);
    image().setImageSize(2, 2);
    EXPECT_EQ(image().getByteData().size(), 12u);
    EXPECT_EQ(image().getPixelColor(1, 1), (Vector4{0.0f, 0.0f, 1.0f, 1.0f}));

    image().setImageSize(0, 3);
    EXPECT_EQ(image().getWidth(), 2) << "a bad size keeps the picture";
    EXPECT_EQ(shownBoxes().size(), 2u);
}

TEST_F(ImageTest, CopyingAndInsertingPixels)
{
    image().generateEmptyImage(QRRESCImage2::kDataByte, QRRESCImage2::kPixelLuminance, 4, 3);
    auto stamp = qrNew<QRRESCImage2>(nullptr, "stamp");
    stamp->generateEmptyImage(QRRESCImage2::kDataByte, QRRESCImage2::kPixelLuminance, 2, 2);
    stamp->fillImageWithColor(1.0f);
    image().insertImage(*stamp, 3, -1);
    EXPECT_EQ(image().getByteData(), (std::vector<std::uint8_t>{0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0}))
        << "only the part inside is copied";
    image().insertImage(*stamp, -2000000000, 2000000000);
    image().insertImage(*stamp, 1000, 0);

    auto copy = qrNew<QRRESCImage2>(nullptr);
    copy->assign(image());
    EXPECT_EQ(copy->getByteData(), image().getByteData());
    EXPECT_EQ(copy->getWidth(), 4);
    EXPECT_EQ(copy->getPixelFormat(), QRRESCImage2::kPixelLuminance);
    EXPECT_TRUE(copy->isValid());
    EXPECT_TRUE(shownBoxes().empty());

    stamp->generateEmptyImage(QRRESCImage2::kDataByte, QRRESCImage2::kPixelRGB, 2, 2);
    image().insertImage(*stamp, 0, 0);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].find("Could not copy image contents"), std::string::npos);
}
