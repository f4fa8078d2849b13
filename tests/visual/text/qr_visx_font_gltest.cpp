#include "gl_context_fixture.h"

#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/text/qr_visx_font.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/text/qr_visx_render.h"
#include "visual/text/qr_visx_util.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

#include <QImage>
#include <QPainter>
#include <gmock/gmock.h>

#include <cmath>
#include <filesystem>
#include <vector>

using ::testing::IsEmpty;

namespace {

// Where something was drawn: the pixels that are not the black background.
struct Coverage {
    int count = 0;
    int left = 1 << 20;
    int right = -1;
    int bottom = 1 << 20;
    int top = -1;
};

class TextAndGeometry : public GLContextFixture {
protected:
    TextAndGeometry() { visual().generateMainRenderContext("Main RC", "Visual Device"); }

    void startFrame()
    {
        visual().getRenderContextManager()->activatePrimaryContext();
        visual().getRender()->setClearColor(0, 0, 0);
        visual().getRender()->clearAll();
    }

    // The frame's pixels, rows from the bottom, three bytes each.
    static std::vector<GLubyte> readFrame()
    {
        std::vector<GLubyte> pixels(static_cast<std::size_t>(kPanelWidth * kPanelHeight * 3));
        qrGL().readBuffer(GL_BACK);
        qrGL().pixelStorei(GL_PACK_ALIGNMENT, 1);
        qrGL().readPixels(0, 0, kPanelWidth, kPanelHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    static bool drawnAt(const std::vector<GLubyte>& pixels, int x, int y)
    {
        const std::size_t at = static_cast<std::size_t>((y * kPanelWidth + x) * 3);
        return pixels[at] > 24 || pixels[at + 1] > 24 || pixels[at + 2] > 24;
    }

    // Drawn pixels inside the rectangle [x0, x1) x [y0, y1).
    static Coverage coverage(const std::vector<GLubyte>& pixels, int x0 = 0, int y0 = 0, int x1 = kPanelWidth,
                             int y1 = kPanelHeight)
    {
        Coverage result;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (!drawnAt(pixels, x, y))
                    continue;
                ++result.count;
                result.left = std::min(result.left, x);
                result.right = std::max(result.right, x);
                result.bottom = std::min(result.bottom, y);
                result.top = std::max(result.top, y);
            }
        }
        return result;
    }

    // The farthest drawn pixel from the centre of the view.
    static double farthestFromCentre(const std::vector<GLubyte>& pixels)
    {
        double farthest = 0.0;
        for (int y = 0; y < kPanelHeight; ++y)
            for (int x = 0; x < kPanelWidth; ++x)
                if (drawnAt(pixels, x, y))
                    farthest = std::max(farthest, std::hypot(x + 0.5 - kPanelWidth / 2.0, y + 0.5 - kPanelHeight / 2.0));
        return farthest;
    }

    // A glyph sheet with solid glyphs for "H" and "I" only, and a font that draws with it.
    void writeFont()
    {
        QImage sheet(256, 256, QImage::Format_RGBA8888);
        sheet.fill(Qt::transparent);
        QPainter painter(&sheet);
        for (int code : {'H', 'I'})
            painter.fillRect((code % 16) * 16 + 3, (code / 16) * 16 + 2, 10, 12, Qt::white);
        painter.end();
        const auto path = programFolder() / "fonts" / "glyphs.png";
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(sheet.save(QString::fromStdString(path.string()), "PNG"));
        programFolder().write("fonts/font.vertex", "void main()\n{\ngl_Position = ftransform();\n"
                                                   "gl_TexCoord[0] = gl_MultiTexCoord0;\ngl_FrontColor = gl_Color;\n}\n");
        programFolder().write("fonts/font.fragment", "uniform sampler2D glyphs;\nvoid main()\n{\n"
                                                     "gl_FragColor = texture2D(glyphs, gl_TexCoord[0].xy) * gl_Color;\n}\n");
        programFolder().write("fonts/font.shader", "shader font :\nset texture2d glyphs to texelunit 0\n"
                                                   "add vertex shader fonts\\font.vertex\n"
                                                   "add fragment shader fonts\\font.fragment\n");
        std::string script = "set name Test\nset texture fonts\\glyphs.png\nset shader fonts\\font.shader\n{\n";
        for (int row = 0; row < 16; ++row)
            script += "16 16 16 16 16 16 16 16 16 16 16 16 16 16 16 16\n";
        programFolder().write("fonts/test.font", script + "}\n");
    }
};

} // namespace

TEST_F(TextAndGeometry, TextLandsInItsBoxAndNowhereElse)
{
    writeFont();
    auto font = qrNew<QRVISXFont>(nullptr);
    font->loadFromFile("fonts\\test.font");
    ASSERT_NE(font->getTexture(), nullptr);
    ASSERT_NE(font->getShader(), nullptr);
    EXPECT_EQ(font->getCellSize(), 16);

    startFrame();
    auto* cameras = visual().getCameraManager();
    cameras->activateCamera(cameras->get2DCamera());
    // Two full-cell characters of half size 0.1 from x = -0.2: the view spans +-4/3 by +-1 over
    // 640 x 480 pixels, so the text covers x 272..368 and y 216..264.
    font->renderText("HI", {-0.2f, 0.0f}, 0.1f, true, {1, 1, 1, 1}, 3, QRVISXFont::kAlignLeft);
    const std::vector<GLubyte> pixels = readFrame();
    const Coverage all = coverage(pixels);
    ASSERT_GT(all.count, 0) << logText();
    EXPECT_GE(all.left, 272);
    EXPECT_LE(all.right, 368);
    EXPECT_GE(all.bottom, 216);
    EXPECT_LE(all.top, 264);
    // "H" on the left, "I" on the right, each as tall as its glyph (12 of 16 texels of 48 pixels).
    const Coverage h = coverage(pixels, 272, 216, 320, 264);
    const Coverage i = coverage(pixels, 320, 216, 368, 264);
    EXPECT_GT(h.count, 500);
    EXPECT_GT(i.count, 500);
    EXPECT_NEAR(h.top - h.bottom + 1, 36, 3);
    EXPECT_NEAR(h.right - h.left + 1, 30, 3);
    EXPECT_FALSE(visual().checkGLError());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(TextAndGeometry, DebugBoxAndSphereCoverTheirOutlines)
{
    auto* cameras = visual().getCameraManager();
    QRVISXUtil& util = *visual().getUtil();

    // A box of half size 1, 5 units in front of the camera: its front face (4 units away) spans
    // 1 / (4 tan 22.5 degrees) of the half view, 145 pixels.
    startFrame();
    cameras->activateCamera(cameras->get3DCamera());
    util.getBoxes()->drawCube({0, 0, -5}, true, 1.0f);
    std::vector<GLubyte> pixels = readFrame();
    Coverage box = coverage(pixels);
    ASSERT_GT(box.count, 0) << logText();
    EXPECT_NEAR(box.right - box.left + 1, 290, 8);
    EXPECT_NEAR(box.top - box.bottom + 1, 290, 8);
    EXPECT_TRUE(drawnAt(pixels, 320, 240));
    EXPECT_TRUE(drawnAt(pixels, 320 + 130, 240 + 130));

    // A sphere of radius 1 there: its outline lies 118 pixels from the centre, so the corner the
    // box covered stays empty.
    startFrame();
    util.getSpheres()->drawSphereRadius({0, 0, -5}, true, 1.0f);
    pixels = readFrame();
    EXPECT_TRUE(drawnAt(pixels, 320, 240));
    EXPECT_TRUE(drawnAt(pixels, 320 + 100, 240));
    EXPECT_TRUE(drawnAt(pixels, 320, 240 - 100));
    EXPECT_FALSE(drawnAt(pixels, 320 + 130, 240 + 130));
    EXPECT_NEAR(farthestFromCentre(pixels), 118.0, 4.0);
    EXPECT_FALSE(visual().checkGLError());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}
