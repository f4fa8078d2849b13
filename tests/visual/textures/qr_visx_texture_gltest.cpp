#include "gl_context_fixture.h"

#include "core/qr_mngr_assetmanager.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"

#include <QImage>
#include <gmock/gmock.h>

#include <array>
#include <filesystem>
#include <set>

using ::testing::IsEmpty;

namespace {

using Colour = std::array<int, 3>;

class TextureGL : public GLContextFixture {
protected:
    ~TextureGL() override
    {
        for (auto* texture : acquired_)
            qrAssets()->release(texture);
    }

    QRVISXTextureManager& textures() { return *visual().getMaterialManager()->getTextureManager(); }

    // The messages shown so far, less those about the default shaders (not at stake here).
    std::vector<std::string> boxesBesidesShaders() const
    {
        std::vector<std::string> boxes;
        for (const auto& box : shownBoxes())
            if (box.find("hader") == std::string::npos)
                boxes.push_back(box);
        return boxes;
    }

    QRVISXTexture2* load(const QImage& picture, const std::string& name, const std::string& script)
    {
        const auto path = programFolder() / "textures" / name;
        std::filesystem::create_directories(path.parent_path());
        EXPECT_TRUE(picture.save(QString::fromStdString(path.string()), "PNG"));
        programFolder().write("textures/" + std::filesystem::path(name).stem().string() + ".texture", script);
        auto* texture = qrAssets()->acquire<QRVISXTexture2>("textures\\" + name);
        if (texture)
            acquired_.push_back(texture);
        return texture;
    }

    // Fills the whole viewport with texture on unit 0, texture coordinates (0, 0) bottom-left
    // to (1, 1) top-right, the texture's colours replacing the vertex colour.
    void drawQuad(QRVISXTexture2* texture)
    {
        glUseProgram(0);
        glViewport(0, 0, kPanelWidth, kPanelHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1, 0, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        textures().requestTexture(texture, 0);
        textures().applyTextures(false);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2f(0, 0);
        glTexCoord2f(1, 0);
        glVertex2f(1, 0);
        glTexCoord2f(1, 1);
        glVertex2f(1, 1);
        glTexCoord2f(0, 1);
        glVertex2f(0, 1);
        glEnd();
        glFinish();
    }

    // x, y from the bottom-left, as OpenGL counts.
    static Colour pixel(int x, int y)
    {
        std::array<GLubyte, 4> rgba{};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return {rgba[0], rgba[1], rgba[2]};
    }

private:
    std::vector<QRVISXTexture2*> acquired_;
};

} // namespace

TEST_F(TextureGL, ExtensionAnswersMatchTheDriver)
{
    ASSERT_NE(visual().generateMainRenderContext("Main RC", "Visual Device"), nullptr);
    std::set<std::string> driver;
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i)
        driver.insert(reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i))));
    for (const char* name : {"GL_ARB_multitexture", "GL_EXT_texture_filter_anisotropic", "GL_SGIS_generate_mipmap",
                             "GL_ARB_texture_non_power_of_two", "GL_ARB_texture_cube_map", "GL_EXT_texture3D",
                             "GL_ARB_texture_float", "GL_ARB_texture_compression",
                             "GL_EXT_texture_compression_s3tc"}) {
        SCOPED_TRACE(name);
        const std::string quoted = std::string("\"") + name + "\"";
        EXPECT_EQ(logCount("Extension " + quoted + " loaded") > 0, driver.count(name) == 1);
    }
    EXPECT_GT(textures().getMaxTexelUnits(), 1);
    EXPECT_GE(textures().getMaxTextureSize(), 2048);
    EXPECT_THAT(boxesBesidesShaders(), IsEmpty());
}

TEST_F(TextureGL, TexturedQuadShowsThePictureUpright)
{
    ASSERT_NE(visual().generateMainRenderContext("Main RC", "Visual Device"), nullptr);
    QImage picture(2, 2, QImage::Format_RGB888);
    picture.setPixelColor(0, 0, QColor(255, 0, 0));
    picture.setPixelColor(1, 0, QColor(0, 255, 0));
    picture.setPixelColor(0, 1, QColor(0, 0, 255));
    picture.setPixelColor(1, 1, QColor(255, 255, 255));
    auto* texture = load(picture, "quad.png", "set filter none\n");
    ASSERT_NE(texture, nullptr);
    ASSERT_GT(texture->getGLTextureId(), 0);

    drawQuad(texture);
    const int left = kPanelWidth / 4, right = 3 * kPanelWidth / 4;
    const int bottom = kPanelHeight / 4, top = 3 * kPanelHeight / 4;
    EXPECT_EQ(pixel(left, top), (Colour{255, 0, 0}));
    EXPECT_EQ(pixel(right, top), (Colour{0, 255, 0}));
    EXPECT_EQ(pixel(left, bottom), (Colour{0, 0, 255}));
    EXPECT_EQ(pixel(right, bottom), (Colour{255, 255, 255}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_THAT(boxesBesidesShaders(), IsEmpty());
}

TEST_F(TextureGL, GreyPicturesDrawGreyAndMipmappedOnesKeepTheirColour)
{
    ASSERT_NE(visual().generateMainRenderContext("Main RC", "Visual Device"), nullptr);
    QImage grey(4, 4, QImage::Format_Grayscale8);
    grey.fill(200);
    auto* greyTexture = load(grey, "grey.png", "");
    ASSERT_NE(greyTexture, nullptr);
    EXPECT_EQ(greyTexture->getPixelFormat(), QRVISXTexture2::kPixelLuminance);
    drawQuad(greyTexture);
    EXPECT_EQ(pixel(kPanelWidth / 2, kPanelHeight / 2), (Colour{200, 200, 200}));

    // 3 x 5 and trilinear: non-power-of-two sizes and a full mipmap chain on the real driver.
    QImage odd(3, 5, QImage::Format_RGBA8888);
    odd.fill(QColor(40, 120, 220, 255));
    auto* oddTexture = load(odd, "odd.png", "");
    ASSERT_NE(oddTexture, nullptr);
    drawQuad(oddTexture);
    const Colour centre = pixel(kPanelWidth / 2, kPanelHeight / 2);
    EXPECT_NEAR(centre[0], 40, 1);
    EXPECT_NEAR(centre[1], 120, 1);
    EXPECT_NEAR(centre[2], 220, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_THAT(boxesBesidesShaders(), IsEmpty());
}
