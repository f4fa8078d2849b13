#include "gl_context_fixture.h"

#include "core/qr_mngr_assetmanager.h"
#include "file/qr_file_checkfileupdate.h"
#include "file/qr_file_main.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>

#include <array>
#include <cstdlib>
#include <string>

namespace {

using Pixel = std::array<int, 3>;

// Shader sources reach OpenGL one line per source string with no line breaks between them, so
// every line ends where a token may end and there is no preprocessor line.
const char* const kVertexSource = "void main()\n"
                                  "{\n"
                                  "gl_TexCoord[0] = gl_MultiTexCoord0;\n"
                                  "gl_Position = gl_Vertex;\n"
                                  "}\n";
const char* const kPictureFragment = "uniform sampler2D picture;\n"
                                     "void main()\n"
                                     "{\n"
                                     "gl_FragColor = texture2D(picture, gl_TexCoord[0].st);\n"
                                     "}\n";
const char* const kGreenFragment = "uniform sampler2D picture;\n"
                                   "void main()\n"
                                   "{\n"
                                   "gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0) + 0.0 * texture2D(picture, gl_TexCoord[0].st);\n"
                                   "}\n";
const char* const kConfiguration = "shader live :\n"
                                   "set texture2d picture to texelunit 0\n"
                                   "add vertex shader shaders\\live.vertex\n"
                                   "add fragment shader shaders\\live.fragment\n";

bool near(const Pixel& pixel, const Pixel& wanted)
{
    for (std::size_t i = 0; i < pixel.size(); ++i)
        if (std::abs(pixel[i] - wanted[i]) > 8)
            return false;
    return true;
}

class LiveReload : public GLContextFixture {
protected:
    void writePicture(const std::string& file, Qt::GlobalColor colour) const
    {
        QImage image(8, 8, QImage::Format_RGB888);
        image.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        programFolder().write(file, bytes.toStdString());
    }

    // One frame as the program draws it: activate (which resets the render caches), clear, a
    // full-view quad with the configuration and the texture, read the centre back, swap; then
    // the window framework's events, where file changes arrive.
    Pixel drawFrame(QRVISXShaderConfiguration* configuration, QRVISXTexture2* texture)
    {
        visual().getRenderContextManager()->activatePrimaryContext();
        auto* materials = visual().getMaterialManager();
        qrGL().clearColor(0.3f, 0.3f, 0.3f, 1.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        qrGL().disable(GL_CULL_FACE);
        qrGL().disable(GL_DEPTH_TEST);
        materials->getShaderManager()->setConfiguration(configuration);
        materials->getShaderManager()->apply(false);
        materials->getTextureManager()->requestTexture(texture, 0);
        materials->getTextureManager()->applyTextures(false);
        qrGL().begin(GL_QUADS);
        qrGL().texCoord2f(0, 0);
        qrGL().vertex2f(-1, -1);
        qrGL().texCoord2f(1, 0);
        qrGL().vertex2f(1, -1);
        qrGL().texCoord2f(1, 1);
        qrGL().vertex2f(1, 1);
        qrGL().texCoord2f(0, 1);
        qrGL().vertex2f(-1, 1);
        qrGL().end();
        std::array<GLubyte, 3> centre{};
        qrGL().readBuffer(GL_BACK);
        qrGL().readPixels(kPanelWidth / 2, kPanelHeight / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, centre.data());
        mainContext->swapBuffers();
        visual().endFrame();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return {centre[0], centre[1], centre[2]};
    }

    // Draws frames until the centre shows wanted; the number of frames drawn, or -1 when the
    // picture did not change within the time limit.
    int framesUntil(const Pixel& wanted, QRVISXShaderConfiguration* configuration, QRVISXTexture2* texture)
    {
        QElapsedTimer clock;
        clock.start();
        for (int frames = 1; clock.elapsed() < 10000; ++frames)
            if (near(drawFrame(configuration, texture), wanted))
                return frames;
        return -1;
    }

    QRVISXRenderContext* mainContext = nullptr;
};

} // namespace

TEST_F(LiveReload, PictureAndShaderSourceEditedOnDiskShowWhileDrawing)
{
    ASSERT_TRUE(qrFile()->getCheckFileUpdateManager()->isWatched(programFolder().path().string()))
        << "the engine watches its program folder";
    writePicture("textures/live.png", Qt::red);
    programFolder().write("shaders/live.vertex", kVertexSource);
    programFolder().write("shaders/live.fragment", kPictureFragment);
    programFolder().write("shaders/live.shader", kConfiguration);
    mainContext = visual().generateMainRenderContext("Main RC", "Visual Device");
    ASSERT_NE(mainContext, nullptr);
    auto* texture = qrAssets()->acquire<QRVISXTexture2>("textures\\live.png");
    auto* configuration = qrAssets()->acquire<QRVISXShaderConfiguration>("shaders\\live.shader");
    ASSERT_NE(texture, nullptr);
    ASSERT_NE(configuration, nullptr);
    ASSERT_TRUE(configuration->isValid()) << logText();
    EXPECT_TRUE(near(drawFrame(configuration, texture), {255, 0, 0}));

    writePicture("textures/live.png", Qt::blue);
    const int pictureFrames = framesUntil({0, 0, 255}, configuration, texture);
    EXPECT_GT(pictureFrames, 1) << "a change arrives between frames, not inside the one being drawn";
    EXPECT_NE(pictureFrames, -1) << "the new picture never showed";

    programFolder().write("shaders/live.fragment", kGreenFragment);
    EXPECT_NE(framesUntil({0, 255, 0}, configuration, texture), -1) << "the edited shader never showed";
    EXPECT_TRUE(configuration->isValid());
    EXPECT_NE(logText().find("Updating managed object \"shaders\\live.fragment\""), std::string::npos);

    qrAssets()->release(configuration);
    qrAssets()->release(texture);
}
