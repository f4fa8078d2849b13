#include "visual_unit_fixture.h"

#include "core/qr_core_log.h"
#include "core/qr_mngr_assetmanager.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariable.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturecompiler.h"
#include "visual/textures/qr_visx_texturemanager.h"

#include <QImage>
#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <regex>
#include <set>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

const std::set<std::string> kBaseExtensions = {"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4",
                                               "GL_VERSION_1_5", "GL_ARB_multitexture", "GL_ARB_texture_cube_map",
                                               "GL_EXT_texture_filter_anisotropic"};

bool logged(const std::string& text)
{
    const auto& lines = qrLog()->getLines();
    return std::any_of(lines.begin(), lines.end(), [&](const QRCORELogLine& line) { return line.text == text; });
}

// The calls that start with prefix.
std::vector<std::string> callsStartingWith(const std::vector<std::string>& calls, const std::string& prefix)
{
    std::vector<std::string> result;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(result),
                 [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
    return result;
}

// "level:WxH" of each glTexImage2D call, in order.
std::string definedLevels(const std::vector<std::string>& calls)
{
    static const std::regex upload(R"(glTexImage2D\(GL_TEXTURE_2D, (\d+), \w+, (\d+), (\d+),)");
    std::string levels;
    std::smatch match;
    for (const auto& call : calls)
        if (std::regex_search(call, match, upload))
            levels += (levels.empty() ? "" : " ") + match.str(1) + ":" + match.str(2) + "x" + match.str(3);
    return levels;
}

// The standard CRC of PNG chunks, so that forged headers pass the decoder's checks.
std::uint32_t crc32(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string bigEndian(std::uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::string pngChunk(const std::string& type, const std::string& data)
{
    const std::string body = type + data;
    return bigEndian(static_cast<std::uint32_t>(data.size())) + body + bigEndian(crc32(body));
}

// A well-formed PNG whose header claims width x height RGB pixels, followed by a few bytes of
// image data: 61 bytes in all.
std::string forgedPng(std::uint32_t width, std::uint32_t height)
{
    return std::string("\x89PNG\r\n\x1a\n", 8) +
           pngChunk("IHDR", bigEndian(width) + bigEndian(height) + std::string("\x08\x02\x00\x00\x00", 5)) +
           pngChunk("IDAT", std::string("\x78\x9c\x63\x00", 4)) + pngChunk("IEND", "");
}

std::string randomBytes(std::size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

} // namespace

class TextureTest : public VisualUnitFixture {
protected:
    TextureTest()
    {
        gl_.setInteger(GL_MAX_TEXTURE_UNITS, 4);
        gl_.setInteger(GL_MAX_TEXTURE_SIZE, 4096);
        gl_.setFloat(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, 8.0f);
    }

    ~TextureTest() override
    {
        for (auto* texture : acquired_)
            qrAssets()->release(texture);
    }

    QRVISXTextureManager& textures() { return *visual_->getMaterialManager()->getTextureManager(); }

    // Starts the texture manager on a driver with the base extensions plus extra.
    void startTextures(const std::set<std::string>& extra = {})
    {
        auto names = kBaseExtensions;
        names.insert(extra.begin(), extra.end());
        gl_.setExtensions(names);
        textures().initialize();
        gl_.clearCalls();
    }

    // Writes textures\<name> into the program folder.
    void savePicture(const QImage& picture, const std::string& name) const
    {
        const auto path = programFolder() / "textures" / name;
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), "PNG"));
    }

    void writeFile(const std::string& name, const std::string& bytes) const
    {
        programFolder().write("textures/" + name, bytes);
    }

    QRVISXTexture2* acquire(const std::string& name)
    {
        auto* texture = qrAssets()->acquire<QRVISXTexture2>("textures\\" + name);
        if (texture)
            acquired_.push_back(texture);
        return texture;
    }

    // 4 x 2 pixels, top row red, bottom row blue, in the given layout.
    static QImage twoRowPicture(QImage::Format format)
    {
        QImage picture(4, 2, format);
        for (int x = 0; x < 4; ++x) {
            picture.setPixelColor(x, 0, QColor(255, 0, 0, 200));
            picture.setPixelColor(x, 1, QColor(0, 0, 255, 100));
        }
        return picture;
    }

    static QImage greyPicture()
    {
        QImage picture(4, 2, QImage::Format_Grayscale8);
        for (int x = 0; x < 4; ++x) {
            picture.scanLine(0)[x] = 200;
            picture.scanLine(1)[x] = 10;
        }
        return picture;
    }

private:
    std::vector<QRVISXTexture2*> acquired_;
};

TEST_F(TextureTest, SoftwareRenderersStartWithoutAnisotropicFilteringAndTheProgramMaySetIt)
{
    const struct {
        const char* renderer;
        int degree;
    } cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", 1},
        {"Software Rasterizer", 1},
        {"Gallium 0.4 on softpipe", 1},
        {"Google SwiftShader", 1},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", 8},
        {"", 8},
    };
    const auto notes = [] {
        const auto& lines = qrLog()->getLines();
        return std::count_if(lines.begin(), lines.end(), [](const QRCORELogLine& line) {
            return line.text == "Software renderer: anisotropic filtering off";
        });
    };
    for (const auto& c : cases) {
        gl_.setString(GL_RENDERER, c.renderer);
        const auto before = notes();
        startTextures();
        EXPECT_EQ(textures().getAnisotropyDegree(), c.degree) << c.renderer;
        EXPECT_EQ(notes() - before, c.degree == 1 ? 1 : 0) << c.renderer;
    }
    // The setting is held to what the driver offers.
    for (const auto& [asked, kept] : {std::pair{4, 4}, {16, 8}, {0, 1}, {-3, 1}}) {
        textures().setAnisotropyDegree(asked);
        EXPECT_EQ(textures().getAnisotropyDegree(), kept) << asked;
    }
}

TEST_F(TextureTest, InitializeReadsLimitsAndCapabilities)
{
    startTextures({"GL_SGIS_generate_mipmap", "GL_ARB_texture_float", "GL_EXT_texture_compression_s3tc"});
    EXPECT_TRUE(logged("Maximum texel units: 4"));
    EXPECT_TRUE(logged("Maximum texture size: 4096"));
    EXPECT_TRUE(logged("Maximum anisotropy degree: 8"));
    EXPECT_TRUE(logged("Extension \"GL_ARB_texture_non_power_of_two\" not found"));
    EXPECT_EQ(textures().getAnisotropyDegree(), 8);
    EXPECT_TRUE(textures().isGenerateMipmapSupported());
    EXPECT_FALSE(textures().isNonPowerOfTwoSupported());
    EXPECT_TRUE(textures().isFloatTexturesSupported());
    EXPECT_FALSE(textures().isTexture3DSupported());
    EXPECT_FALSE(textures().isCompressionSupported());
    EXPECT_TRUE(textures().isS3TCSupported());
    EXPECT_THAT(shownBoxes(), IsEmpty());
    auto texture = qrNew<QRVISXTexture2>(nullptr);
    EXPECT_EQ(texture->getAnisotropy(), 8) << "new textures take the manager's degree";
    EXPECT_EQ(texture->getFilter(), QRVISXTexture2::kFilterTrilinear);
    EXPECT_TRUE(texture->getMipmapping());

    gl_.setExtensions({"GL_VERSION_1_5"});
    textures().initialize();
    // One box a run says the driver lacks something; the log names everything it lacks.
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr("GL Extension \"GL_ARB_multitexture\" not found!")));
    EXPECT_TRUE(logged("GL Extension \"GL_ARB_texture_cube_map\" not found!"));
    EXPECT_EQ(textures().getMaxTexelUnits(), 1) << "OpenGL 1.1 always has one unit";
}

TEST_F(TextureTest, ScriptStatementsSetOnlyWhatParses)
{
    struct Case {
        const char* line;
        int filter;
        bool mipmapping;
        int anisotropy;
        bool horizontalClamp;
        bool verticalClamp;
        bool compression;
        const char* name;
    };
    // Defaults: filter 3, mipmapping on, anisotropy 1 (no texture manager started), no clamps.
    const Case cases[] = {
        {"set filter linear", 1, true, 1, false, false, false, "2D Texture"},
        {"set filter Linear", 3, true, 1, false, false, false, "2D Texture"},
        {"SET Filter none", 0, true, 1, false, false, false, "2D Texture"},
        {"set filter mipmapping", 2, true, 1, false, false, false, "2D Texture"},
        {"set filter bilinear", 3, true, 1, false, false, false, "2D Texture"},
        {"set filter", 3, true, 1, false, false, false, "2D Texture"},
        {"set mipmapping OFF", 3, false, 1, false, false, false, "2D Texture"},
        {"set mipmapping yes", 3, true, 1, false, false, false, "2D Texture"},
        {"set anisotropy 4", 3, true, 4, false, false, false, "2D Texture"},
        {"set anisotropy 4.5", 3, true, 1, false, false, false, "2D Texture"},
        {"set anisotropy 99999999999999999999", 3, true, 1, false, false, false, "2D Texture"},
        {"set horizontalclamp true", 3, true, 1, true, false, false, "2D Texture"},
        {"set verticalClamp 1", 3, true, 1, false, true, false, "2D Texture"},
        {"set compression on", 3, true, 1, false, false, true, "2D Texture"},
        {"set name \"Grass Tile\"", 3, true, 1, false, false, false, "Grass Tile"},
        {"filter none", 3, true, 1, false, false, false, "2D Texture"},
        {"# set filter none", 3, true, 1, false, false, false, "2D Texture"},
        {"set wobble 5", 3, true, 1, false, false, false, "2D Texture"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        auto texture = qrNew<QRVISXTexture2>(nullptr);
        auto script = qrNew<QRRESCStringList>(nullptr, true, true);
        script->add(c.line);
        auto compiler = qrNew<QRVISXTextureCompiler>(nullptr);
        EXPECT_TRUE(compiler->compile(texture.get(), script.get()));
        EXPECT_EQ(texture->getFilter(), c.filter);
        EXPECT_EQ(texture->getMipmapping(), c.mipmapping);
        EXPECT_EQ(texture->getAnisotropy(), c.anisotropy);
        EXPECT_EQ(texture->getHorizontalClamp(), c.horizontalClamp);
        EXPECT_EQ(texture->getVerticalClamp(), c.verticalClamp);
        EXPECT_EQ(texture->getCompression(), c.compression);
        EXPECT_EQ(texture->getName(), c.name);
    }
    EXPECT_TRUE(logged("Compiling texture script..."));
    EXPECT_THAT(shownBoxes(), IsEmpty()) << "unknown statements and bad values are no errors";

    auto compiler = qrNew<QRVISXTextureCompiler>(nullptr);
    auto script = qrNew<QRRESCStringList>(nullptr, true, true);
    auto texture = qrNew<QRVISXTexture2>(nullptr);
    EXPECT_FALSE(compiler->compile(nullptr, script.get()));
    EXPECT_FALSE(compiler->compile(texture.get(), nullptr));
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr("No target texture specified to compile to"),
                                          HasSubstr("No script source specified to compile from")));
}

TEST_F(TextureTest, UploadsEachPictureKindWithItsLevelsWhateverMipmapPathTheDriverOffers)
{
    struct Case {
        const char* picture;
        bool generateMipmap;
        const char* script;
        std::vector<std::string> upload;
    };
    // Every level of an 8-bit picture is sent, 4 x 2 down to 1 x 1, so the driver never has to
    // generate them.
    const auto levels = [](const std::string& format) {
        const std::string tail = ", 0, " + format + ", GL_UNSIGNED_BYTE, data)";
        return std::vector<std::string>{"glTexImage2D(GL_TEXTURE_2D, 0, " + format + ", 4, 2" + tail,
                                        "glTexImage2D(GL_TEXTURE_2D, 1, " + format + ", 2, 1" + tail,
                                        "glTexImage2D(GL_TEXTURE_2D, 2, " + format + ", 1, 1" + tail};
    };
    const std::string rgb = "GL_RGB, 4, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, data)";
    const std::string rgba = "GL_RGBA, 4, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, data)";
    const std::string grey = "GL_LUMINANCE, 4, 2, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, data)";
    const Case cases[] = {
        {"rgb.png", true, "", levels("GL_RGB")},
        {"rgb.png", false, "", levels("GL_RGB")},
        {"rgb.png", true, "set mipmapping off", {"glTexImage2D(GL_TEXTURE_2D, 0, " + rgb}},
        {"rgba.png", true, "", levels("GL_RGBA")},
        {"rgba.png", false, "", levels("GL_RGBA")},
        {"rgba.png", false, "set mipmapping false", {"glTexImage2D(GL_TEXTURE_2D, 0, " + rgba}},
        {"grey.png", true, "", levels("GL_LUMINANCE")},
        {"grey.png", false, "", levels("GL_LUMINANCE")},
        {"grey.png", false, "set mipmapping 0", {"glTexImage2D(GL_TEXTURE_2D, 0, " + grey}},
    };
    savePicture(twoRowPicture(QImage::Format_RGB888), "rgb.png");
    savePicture(twoRowPicture(QImage::Format_RGBA8888), "rgba.png");
    savePicture(greyPicture(), "grey.png");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.picture) + " generate mipmap " + (c.generateMipmap ? "on" : "off") + " " +
                     c.script);
        startTextures(c.generateMipmap ? std::set<std::string>{"GL_SGIS_generate_mipmap"} : std::set<std::string>{});
        programFolder().write("textures/" + QRFILEMain::changeExtension(c.picture, "texture"), c.script);
        auto texture = qrNew<QRVISXTexture2>(nullptr);
        texture->loadFromFile(std::string("textures\\") + c.picture);
        ASSERT_GT(texture->getGLTextureId(), 0);
        const auto calls = gl_.takeCalls();
        const std::string id = std::to_string(texture->getGLTextureId());
        // Generated, bound on unit 0, uploaded tightly packed, then the sampling parameters.
        std::vector<std::string> expected = {"glGenTextures(" + id + ")", "glActiveTexture(GL_TEXTURE0)",
                                             "glBindTexture(GL_TEXTURE_2D, " + id + ")",
                                             "glPixelStorei(GL_UNPACK_ALIGNMENT, 1)"};
        expected.insert(expected.end(), c.upload.begin(), c.upload.end());
        const bool mipmaps = std::string(c.script).empty();
        expected.insert(expected.end(),
                        {"glPixelStorei(GL_UNPACK_ALIGNMENT, 4)", "glActiveTexture(GL_TEXTURE0)",
                         "glBindTexture(GL_TEXTURE_2D, " + id + ")",
                         std::string("glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, ") +
                             (mipmaps ? "GL_LINEAR_MIPMAP_LINEAR)" : "GL_LINEAR)"),
                         "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR)",
                         "glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 8)",
                         "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT)",
                         "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT)"});
        EXPECT_EQ(calls, expected);
    }
    // The last upload was the grey picture: one byte a pixel, bottom row first.
    EXPECT_EQ(gl_.lastTextureBytes(), (std::vector<std::uint8_t>{10, 10, 10, 10, 200, 200, 200, 200}));
    EXPECT_TRUE(logged("Uploading Texture to GL: \"textures\\grey.png\""));
    EXPECT_TRUE(logged("Texture info:  Format: GL_LUMINANCE  Size: 4*2  Mipmapping: FALSE  Compression: FALSE"));
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(TextureTest, MipmappedPicturesEndWithEveryLevelDefined)
{
    // 5 x 3, two red rows over a blue one; padded to 8 x 4 where the driver needs powers of two.
    QImage picture(5, 3, QImage::Format_RGBA8888);
    picture.fill(QColor(255, 0, 0, 200));
    for (int x = 0; x < 5; ++x)
        picture.setPixelColor(x, 2, QColor(0, 0, 255, 100));
    savePicture(picture, "odd.png");
    for (const auto& [extension, levels] : {std::pair{"", "0:8x4 1:4x2 2:2x1 3:1x1"},
                                            {"GL_ARB_texture_non_power_of_two", "0:5x3 1:2x1 2:1x1"}}) {
        startTextures({extension});
        auto texture = qrNew<QRVISXTexture2>(nullptr);
        texture->loadFromFile("textures\\odd.png");
        EXPECT_EQ(definedLevels(gl_.takeCalls()), levels);
    }
    // The 1 x 1 level, sent last: two parts red to one part blue.
    EXPECT_EQ(gl_.lastTextureBytes(), (std::vector<std::uint8_t>{170, 0, 85, 167}));
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(TextureTest, PicturesArePaddedToPowersOfTwoWithoutDriverSupport)
{
    QImage picture(300, 200, QImage::Format_RGB888);
    picture.fill(QColor(0, 200, 0));
    for (int x = 0; x < 300; ++x)
        picture.setPixelColor(x, 0, QColor(255, 0, 0));
    savePicture(picture, "wide.png");
    programFolder().write("textures/wide.texture", "set mipmapping off\n");

    startTextures();
    auto* texture = acquire("wide.png");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->getWidth(), 512);
    EXPECT_EQ(texture->getHeight(), 256);
    EXPECT_THAT(gl_.calls(),
                Contains("glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 512, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, data)"));
    const auto& bytes = gl_.lastTextureBytes();
    ASSERT_EQ(bytes.size(), 512u * 256u * 3u);
    const auto texel = [&](int x, int y) {
        const std::size_t at = (static_cast<std::size_t>(y) * 512 + x) * 3;
        return std::vector<std::uint8_t>{bytes[at], bytes[at + 1], bytes[at + 2]};
    };
    const std::vector<std::uint8_t> red = {255, 0, 0}, green = {0, 200, 0}, black = {0, 0, 0};
    // Rows go up from the bottom: the picture fills the first 200 rows and 300 columns, its top
    // row last; everything else is black.
    EXPECT_EQ(texel(0, 0), green);
    EXPECT_EQ(texel(299, 198), green);
    EXPECT_EQ(texel(0, 199), red);
    EXPECT_EQ(texel(299, 199), red);
    EXPECT_EQ(texel(300, 0), black);
    EXPECT_EQ(texel(0, 200), black);
    EXPECT_EQ(texel(511, 255), black);
    const auto lit = std::count_if(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b != 0; });
    EXPECT_EQ(lit, 300 * 200) << "one non-zero component per picture pixel";

    startTextures({"GL_ARB_texture_non_power_of_two"});
    auto again = qrNew<QRVISXTexture2>(nullptr);
    again->loadFromFile("textures\\wide.png");
    EXPECT_EQ(again->getWidth(), 300) << "no padding where the driver takes any size";
}

TEST_F(TextureTest, UnitCacheBindsOnlyWhatChanged)
{
    startTextures();
    savePicture(twoRowPicture(QImage::Format_RGB888), "a.png");
    savePicture(greyPicture(), "b.png");
    auto* a = acquire("a.png");
    auto* b = acquire("b.png");
    ASSERT_TRUE(a && b);
    const std::string idA = std::to_string(a->getGLTextureId());
    const std::string idB = std::to_string(b->getGLTextureId());
    textures().resetAllTextures();
    gl_.clearCalls();

    textures().requestTexture(a, 0);
    textures().requestTexture(b, 2);
    textures().applyTextures(false);
    EXPECT_EQ(gl_.takeCalls(), (std::vector<std::string>{"glActiveTexture(GL_TEXTURE0)", "glEnable(GL_TEXTURE_2D)",
                                                         "glBindTexture(GL_TEXTURE_2D, " + idA + ")",
                                                         "glActiveTexture(GL_TEXTURE2)", "glEnable(GL_TEXTURE_2D)",
                                                         "glBindTexture(GL_TEXTURE_2D, " + idB + ")"}));
    textures().requestTexture(a, 0);
    textures().requestTexture(b, 2);
    textures().applyTextures(false);
    EXPECT_THAT(gl_.takeCalls(), IsEmpty()) << "the same textures again bind nothing";

    // A material's reset drops the requests only: the next material asking for unit 0 alone keeps
    // its binding and switches unit 2 off.
    textures().resetTextures();
    textures().requestTexture(a, 0);
    textures().applyTextures(false);
    EXPECT_EQ(gl_.takeCalls(), (std::vector<std::string>{"glActiveTexture(GL_TEXTURE2)", "glDisable(GL_TEXTURE_2D)"}));
    textures().requestTexture(b, 2);
    textures().applyTextures(false);
    gl_.clearCalls();

    // None on a unit disables it; asking for the texture again must enable and bind it again.
    textures().requestTexture(nullptr, 0);
    textures().applyTextures(false);
    EXPECT_EQ(gl_.takeCalls(), (std::vector<std::string>{"glActiveTexture(GL_TEXTURE0)", "glDisable(GL_TEXTURE_2D)"}));
    textures().requestTexture(a, 0);
    textures().applyTextures(false);
    EXPECT_EQ(gl_.takeCalls(), (std::vector<std::string>{"glActiveTexture(GL_TEXTURE0)", "glEnable(GL_TEXTURE_2D)",
                                                         "glBindTexture(GL_TEXTURE_2D, " + idA + ")"}));

    // Forcing touches the hardware's four units only; units outside the cache are ignored.
    textures().requestTexture(a, 16);
    textures().requestTexture(a, -1);
    textures().applyTextures(true);
    EXPECT_EQ(callsStartingWith(gl_.takeCalls(), "glActiveTexture"),
              (std::vector<std::string>{"glActiveTexture(GL_TEXTURE0)", "glActiveTexture(GL_TEXTURE1)",
                                        "glActiveTexture(GL_TEXTURE2)", "glActiveTexture(GL_TEXTURE3)"}));

    textures().lock();
    textures().requestTexture(b, 0);
    textures().resetTextures();
    textures().applyTextures(true);
    EXPECT_THAT(gl_.takeCalls(), IsEmpty()) << "locked";
    textures().unlock();
    EXPECT_EQ(textures().getBoundTexture(0), a->getGLTextureId());

    // Changing a parameter binds its texture on unit 0 behind the cache's back: the unit's
    // texture must be bound again, not taken as still there.
    textures().requestTexture(b, 0);
    textures().applyTextures(false);
    a->setVerticalClamp(true);
    gl_.clearCalls();
    textures().requestTexture(b, 0);
    textures().applyTextures(false);
    EXPECT_THAT(callsStartingWith(gl_.takeCalls(), "glBindTexture"),
                ElementsAre("glBindTexture(GL_TEXTURE_2D, " + idB + ")"));
}

TEST_F(TextureTest, ShadersSampleUnitsBeyondFixedFunctionTexturing)
{
    gl_.setInteger(GL_MAX_TEXTURE_UNITS, 4);
    gl_.setInteger(GL_MAX_TEXTURE_IMAGE_UNITS, 8);
    gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5", "GL_VERSION_2_0"});
    visual_->getExtensionManager()->initialize();
    startTextures();
    savePicture(twoRowPicture(QImage::Format_RGB888), "a.png");
    QRVISXTexture2* a = acquire("a.png");
    ASSERT_NE(a, nullptr);
    textures().resetAllTextures();
    gl_.clearCalls();

    textures().requestTexture(a, 6);
    textures().applyTextures(false);
    EXPECT_EQ(gl_.takeCalls(), (std::vector<std::string>{"glActiveTexture(GL_TEXTURE6)",
                                                         "glBindTexture(GL_TEXTURE_2D, " +
                                                             std::to_string(a->getGLTextureId()) + ")"}))
        << "unit 6 is bound for shaders, and fixed-function texturing is not switched where it does not exist";
}

TEST_F(TextureTest, SettersReapplySamplingAtOnce)
{
    startTextures();
    auto texture = qrNew<QRVISXTexture2>(nullptr);
    texture->setFilter(QRVISXTexture2::kFilterNone);
    EXPECT_THAT(gl_.takeCalls(), IsEmpty()) << "nothing to send before the upload";

    savePicture(twoRowPicture(QImage::Format_RGB888), "a.png");
    texture->loadFromFile("textures\\a.png");
    const std::string bind = "glBindTexture(GL_TEXTURE_2D, " + std::to_string(texture->getGLTextureId()) + ")";
    struct Case {
        int filter;
        const char* minification;
        const char* magnification;
        const char* anisotropy;
    };
    const Case cases[] = {
        {0, "GL_NEAREST", "GL_NEAREST", "1"},
        {1, "GL_LINEAR", "GL_LINEAR", "8"},
        {2, "GL_LINEAR_MIPMAP_NEAREST", "GL_LINEAR", "8"},
        {3, "GL_LINEAR_MIPMAP_LINEAR", "GL_LINEAR", "8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        gl_.clearCalls();
        texture->setFilter(c.filter);
        EXPECT_EQ(gl_.takeCalls(),
                  (std::vector<std::string>{
                      "glActiveTexture(GL_TEXTURE0)", bind,
                      std::string("glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, ") + c.minification + ")",
                      std::string("glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, ") + c.magnification + ")",
                      std::string("glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, ") + c.anisotropy +
                          ")",
                      "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT)",
                      "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT)"}));
    }
    texture->setFilter(0);
    texture->setAnisotropy(8);
    EXPECT_THAT(gl_.takeCalls(), Contains("glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1)"))
        << "an unfiltered texture gets anisotropy 1 whatever its degree";
    texture->setFilter(1);
    texture->setAnisotropy(500);
    EXPECT_THAT(gl_.takeCalls(), Contains("glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 8)"))
        << "kept within what the driver accepts";
    texture->setClamp(true, false);
    EXPECT_THAT(gl_.takeCalls(), Contains("glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE)"));
    texture->setMipmapping(false);
    texture->setCompression(true);
    EXPECT_THAT(gl_.takeCalls(), IsEmpty()) << "these wait for the next upload";
}

TEST_F(TextureTest, EmptyTexturesMapTheirFormats)
{
    // A driver with float textures: every row of the format table is asked for as it stands.
    startTextures({"GL_ARB_texture_non_power_of_two", "GL_ARB_texture_float"});
    struct Case {
        int dataFormat;
        int pixelFormat;
        const char* call;
        std::vector<std::string> errors;
    };
    const Case cases[] = {
        {0, 1, "glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 8, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, data)", {}},
        {3, 2, "glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F_ARB, 8, 4, 0, GL_RGBA, GL_FLOAT, data)", {}},
        {1, 0, "glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE16F_ARB, 8, 4, 0, GL_LUMINANCE, GL_FLOAT, data)", {}},
        {2, 3, "glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, 0, 0, 8, 4, 0)", {}},
        {0, 3, nullptr, {"Undefined data or pixel format!", "Some parameters have not been defined!"}},
        {2, 1, nullptr, {"Undefined data or pixel format!", "Some parameters have not been defined!"}},
        {9, 1, nullptr, {"Undefined texture data format", "Undefined data or pixel format!", "Some parameters"}},
        {0, 7, nullptr, {"Undefined texture pixel format", "Undefined data or pixel format!", "Some parameters"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.dataFormat) + " " + std::to_string(c.pixelFormat));
        const auto boxesBefore = shownBoxes().size();
        auto texture = qrNew<QRVISXTexture2>(nullptr);
        texture->setMipmapping(false);
        texture->generateEmptyTexture(c.dataFormat, c.pixelFormat, 8, 4, 0.0f);
        const auto calls = gl_.takeCalls();
        if (c.call) {
            EXPECT_THAT(calls, Contains(c.call));
            EXPECT_GT(texture->getGLTextureId(), 0);
        } else {
            EXPECT_THAT(callsStartingWith(calls, "glGenTextures"), IsEmpty());
            EXPECT_EQ(texture->getGLTextureId(), -1);
        }
        std::vector<std::string> boxes(shownBoxes().begin() + static_cast<long>(boxesBefore), shownBoxes().end());
        ASSERT_EQ(boxes.size(), c.errors.size());
        for (std::size_t i = 0; i < boxes.size(); ++i)
            EXPECT_THAT(boxes[i], HasSubstr(c.errors[i]));
    }
}

TEST_F(TextureTest, HostileFilesGiveEngineErrorsAndNoTexture)
{
    startTextures();
    QImage picture(64, 64, QImage::Format_RGB888);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixelColor(x, y, QColor(x * 4, y * 4, (x * y) & 0xFF));
    savePicture(picture, "whole.png");
    const std::string whole = programFolder().read("textures/whole.png");
    writeFile("truncated.png", whole.substr(0, whole.size() / 2));
    writeFile("huge.png", forgedPng(100000, 100000));
    writeFile("dense.png", forgedPng(10000, 10000));
    writeFile("noise.png", randomBytes(4096, 1));
    writeFile("noise.jpg", randomBytes(4096, 2));
    writeFile("empty.png", "");

    struct Case {
        const char* file;
        const char* error;
    };
    const Case cases[] = {
        {"truncated.png", "IL could not load the image \"textures\\truncated.png\"!"},
        {"huge.png", "claims 100000 * 100000 pixels, more than its 61 bytes can hold"},
        {"dense.png", "claims 10000 * 10000 pixels, more than its 61 bytes can hold"},
        {"noise.png", "IL could not load the image \"textures\\noise.png\"!"},
        {"noise.jpg", "IL could not load the image \"textures\\noise.jpg\"!"},
        {"empty.png", "IL could not load the image \"textures\\empty.png\"!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto boxesBefore = shownBoxes().size();
        auto* texture = acquire(c.file);
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->getGLTextureId(), -1);
        EXPECT_TRUE(texture->isEmpty());
        ASSERT_EQ(shownBoxes().size(), boxesBefore + 1);
        EXPECT_THAT(shownBoxes().back(), HasSubstr(c.error));
        EXPECT_THAT(gl_.takeCalls(), IsEmpty());
        // An empty texture is bound as none.
        textures().requestTexture(texture, 0);
        EXPECT_EQ(textures().getRequestedTexture(0), -1);
    }

    // A texture script of garbage is a script of unknown statements: the picture still loads.
    writeFile("whole.texture", randomBytes(4096, 3) + "\nset filter \"\n\nset anisotropy\nset name\n");
    auto* texture = acquire("whole.png");
    ASSERT_NE(texture, nullptr);
    EXPECT_GT(texture->getGLTextureId(), 0);
    EXPECT_EQ(texture->getFilter(), QRVISXTexture2::kFilterTrilinear);
    EXPECT_EQ(texture->getAnisotropy(), 8);
}

TEST_F(TextureTest, ReloadKeepsThePictureUntilANewOneLoads)
{
    startTextures();
    savePicture(twoRowPicture(QImage::Format_RGB888), "live.png");
    programFolder().write("textures/live.texture", "set filter none\n");
    auto* texture = qrAssets()->acquire<QRVISXTexture2>("textures\\live.png");
    ASSERT_NE(texture, nullptr);
    const GLint first = texture->getGLTextureId();
    ASSERT_GT(first, 0);
    EXPECT_TRUE(texture->usesFile(computeNameID("textures\\live.texture")));
    EXPECT_FALSE(texture->usesFile(computeNameID("textures\\other.texture")));
    EXPECT_FALSE(texture->usesFile(texture->getFileID())) << "its own picture is matched by its file ID";

    auto* pool = visual_->getMaterialManager()->getVariablePool();
    pool->setTexture2("diffuse", texture);

    writeFile("live.png", "half a picture");
    gl_.clearCalls();
    texture->updateFromFile();
    EXPECT_EQ(texture->getGLTextureId(), first) << "the old picture stays";
    EXPECT_TRUE(gl_.isLive(static_cast<GLuint>(first)));
    EXPECT_THAT(gl_.takeCalls(), IsEmpty());
    EXPECT_THAT(shownBoxes().back(), HasSubstr("IL could not load the image"));

    QImage wider(8, 2, QImage::Format_RGB888);
    wider.fill(Qt::white);
    savePicture(wider, "live.png");
    programFolder().write("textures/live.texture", "set filter linear\n");
    texture->updateFromFile();
    EXPECT_FALSE(gl_.isLive(static_cast<GLuint>(first)));
    EXPECT_GT(texture->getGLTextureId(), 0);
    EXPECT_EQ(texture->getWidth(), 8);
    EXPECT_EQ(texture->getFilter(), QRVISXTexture2::kFilterLinear) << "the script is read again";
    EXPECT_TRUE(logged("Deleting Texture from GL: textures\\live.png"));

    // Going away, the texture takes itself out of the variable pool.
    const GLint last = texture->getGLTextureId();
    EXPECT_EQ(pool->getTexture2Variable("diffuse")->getTexture(), texture);
    QRVISXTexture2* released = texture;
    qrAssets()->release(released);
    EXPECT_EQ(pool->getTexture2Variable("diffuse")->getTexture(), nullptr);
    EXPECT_FALSE(gl_.isLive(static_cast<GLuint>(last)));
}

TEST_F(TextureTest, ReloadPutsWhatTheScriptNoLongerSetsBackToItsDefault)
{
    startTextures();
    savePicture(twoRowPicture(QImage::Format_RGB888), "scripted.png");
    programFolder().write("textures/scripted.texture", "set filter none\nset anisotropy 2\nset mipmapping false\n");
    auto* texture = acquire("scripted.png");
    ASSERT_NE(texture, nullptr);
    texture->setVerticalClamp(true); // as the sky box clamps its textures: no script line did it
    programFolder().write("textures/scripted.texture", "set horizontalclamp true\n");
    texture->updateFromFile();
    EXPECT_EQ(texture->getFilter(), QRVISXTexture2::kFilterTrilinear);
    EXPECT_EQ(texture->getAnisotropy(), 8);
    EXPECT_TRUE(texture->getMipmapping());
    EXPECT_TRUE(texture->getHorizontalClamp());
    EXPECT_TRUE(texture->getVerticalClamp()) << "what the program set stays";
    std::filesystem::remove(programFolder() / "textures" / "scripted.texture");
    texture->updateFromFile();
    EXPECT_FALSE(texture->getHorizontalClamp());
}
