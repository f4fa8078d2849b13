#include "gl_context_fixture.h"
#include "x11_display_helper.h"

#include "core/qr_core_device.h"
#include "core/qr_core_devicemanager.h"
#include "resource/qr_resc_list.h"
#include "visual/device/qr_visx_antialiasing.h"
#include "visual/device/qr_visx_displaymanager.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"
#include "visual/device/rendercontexts/qr_visx_visualrendercontext.h"

#include <QWidget>
#include <gmock/gmock.h>

#include <array>
#include <functional>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class RenderContexts : public GLContextFixture {
protected:
    QRVISXRenderContextManager& contexts() { return *visual().getRenderContextManager(); }
    QRVISXAntialiasing& antialiasing() { return *visual().getDisplayManager()->getAntialiasing(); }
    QRVISXRenderContext* generateMain() { return visual().generateMainRenderContext("Main RC", "Visual Device"); }

    // A 1 x 1 texture of the given colour in the current context.
    static GLuint makeTexture(std::array<GLubyte, 3> colour)
    {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, colour.data());
        glFinish();
        return texture;
    }

    static std::array<GLubyte, 3> texel(GLuint texture)
    {
        std::array<GLubyte, 4> rgba{};
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return {rgba[0], rgba[1], rgba[2]};
    }
};

} // namespace

TEST_F(RenderContexts, StartUpBringsUpTheBackupContextCleanly)
{
    EXPECT_THAT(shownBoxes(), IsEmpty());
    EXPECT_TRUE(visual().isInitialized());
    auto* backup = contexts().getBackupContext();
    ASSERT_NE(backup, nullptr);
    EXPECT_EQ(contexts().getPrimaryContext(), backup);
    EXPECT_NE(backup->getGLContextHandle(), nullptr);
    EXPECT_EQ(backup->getDevice()->getName(), "Backup Render Context Device");
    EXPECT_EQ(backup->getWidth(), 10);
    EXPECT_EQ(visual().getExtensionManager()->getGLVersion(), QRVISXExtensionManager::kGL20);

    const std::string log = logText();
    const std::vector<std::string> inOrder = {"QOR VISX: QOR Visual Experience Initializing...",
                                              "Generating RC \"Backup Render Context\"",
                                              "Extension \"GLX_version_1_3\" loaded",
                                              "Detected GL Version: 2.0",
                                              "VSync enabled",
                                              "Maximum multisampling quality: 4x",
                                              "Creating 3D camera: \"3D\"",
                                              "State Manager initialized!",
                                              "QOR VISX: QOR Visual Experience Initialized!"};
    std::size_t position = 0;
    for (const auto& text : inOrder) {
        position = log.find(text, position);
        ASSERT_NE(position, std::string::npos) << "missing or out of order: " << text << "\n" << log;
    }
}

TEST_F(RenderContexts, MainContextSharesObjectsWithTheBackupContext)
{
    contexts().activateContext(nullptr);
    const GLuint red = makeTexture({255, 0, 0});

    QRVISXRenderContext* main = generateMain();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(contexts().getPrimaryContext(), main);
    EXPECT_EQ(contexts().getCurrentContext(), main);
    EXPECT_EQ(qrglx::currentContext(), main->getGLContextHandle());
    EXPECT_NE(main->getGLContextHandle(), contexts().getBackupContext()->getGLContextHandle());
    EXPECT_EQ(main->getWidth(), kPanelWidth);
    EXPECT_EQ(main->getHeight(), kPanelHeight);
    EXPECT_TRUE(glIsTexture(red));
    EXPECT_EQ(texel(red), (std::array<GLubyte, 3>{255, 0, 0}));

    const GLuint green = makeTexture({0, 255, 0});
    contexts().activateContext(nullptr);
    EXPECT_EQ(texel(green), (std::array<GLubyte, 3>{0, 255, 0}));
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(RenderContexts, MainContextDrawsIntoAChildWindowOfThePanel)
{
    auto* main = static_cast<QRVISXVisualRenderContext*>(generateMain());
    ASSERT_NE(main, nullptr);
    EXPECT_NE(main->getPanelWindowHandle(), 0u);
    EXPECT_NE(main->getPanelWindowHandle(), static_cast<qrglx::WindowHandle>(panel()->winId()));

    qrGL().clearColor(0.3f, 0.3f, 0.3f, 1.0f);
    qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    std::array<GLubyte, 3> pixel{};
    glReadBuffer(GL_BACK);
    glReadPixels(kPanelWidth / 2, kPanelHeight / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel.data());
    for (GLubyte channel : pixel)
        EXPECT_NEAR(channel, 77, 1);
    main->swapBuffers();
    visual().endFrame();
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(RenderContexts, ActivationFollowsThePanelSize)
{
    auto* main = static_cast<QRVISXVisualRenderContext*>(generateMain());
    window()->resize(400, 300);
    panel()->setGeometry(0, 0, 400, 300);
    processEvents();
    contexts().activatePrimaryContext();
    EXPECT_EQ(main->getWidth(), 400);
    EXPECT_EQ(main->getHeight(), 300);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 400);
    EXPECT_EQ(viewport[3], 300);
}

TEST_F(RenderContexts, AntialiasingProbeFindsWhatTheServerOffers)
{
    // Xvfb's llvmpipe offers 4 samples at most.
    EXPECT_EQ(antialiasing().getMaxQuality(), 2);
    EXPECT_THAT(logText(), HasSubstr("Maximum multisampling quality: 4x"));
    contexts().activateContext(nullptr);
    EXPECT_TRUE(glIsEnabled(GL_MULTISAMPLE));
}

TEST_F(RenderContexts, NewAntialiasingLevelRebuildsThePrimaryContextAndKeepsSharedObjects)
{
    QRVISXRenderContext* main = generateMain();
    const GLuint blue = makeTexture({0, 0, 255});
    GLint samples = -1;
    glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_EQ(samples, 0);

    antialiasing().setAntialiasingQuality(2);
    EXPECT_FALSE(main->isValid());
    contexts().activatePrimaryContext();
    EXPECT_TRUE(main->isValid());
    EXPECT_EQ(logCount("Render Context \"Main RC\": Updating RC"), 2u); // the first build, the rebuild
    glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_EQ(samples, 4);
    EXPECT_EQ(texel(blue), (std::array<GLubyte, 3>{0, 0, 255}));

    antialiasing().setAntialiasingQuality(2);
    contexts().activatePrimaryContext();
    EXPECT_EQ(logCount("Render Context \"Main RC\": Updating RC"), 2u);

    antialiasing().setAntialiasingQuality(5);
    EXPECT_EQ(antialiasing().getAntialiasingQuality(), 2);
    EXPECT_THAT(shownBoxes(),
                ElementsAre(HasSubstr("The selected antialiasing quality is not inside the valid range")));
}

TEST_F(RenderContexts, ControlWindowRecreatedByTheGuiRebuildsTheContextOnce)
{
    QRVISXRenderContext* main = generateMain();
    const GLuint red = makeTexture({255, 0, 0});
    const WId before = panel()->winId();
    recreatePanelWindow();
    ASSERT_NE(panel()->winId(), before);

    contexts().activatePrimaryContext();
    contexts().activatePrimaryContext();
    EXPECT_EQ(logCount("Render Context \"Main RC\": Updating RC"), 2u);
    EXPECT_TRUE(main->isValid());
    EXPECT_EQ(qrglx::currentContext(), main->getGLContextHandle());
    EXPECT_EQ(texel(red), (std::array<GLubyte, 3>{255, 0, 0}));
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(RenderContexts, UnregisteredDeviceKeepsTheBackupContextPrimary)
{
    EXPECT_EQ(visual().generateMainRenderContext("Main RC", "Missing Device"), nullptr);
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr(
                                  "No device was found in the device manager using the name \"Missing Device\"")));
    EXPECT_EQ(contexts().getPrimaryContext(), contexts().getBackupContext());
    EXPECT_EQ(contexts().getContexts()->getCount(), 0);
}

TEST_F(RenderContexts, FirstRealGLErrorIsShownLaterOnesLogged)
{
    generateMain();
    glEnable(0x7FFF);
    EXPECT_TRUE(visual().checkGLError());
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr("GL Error occurred: GL_INVALID_ENUM")));

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    visual().endFrame();
    EXPECT_THAT(logText(), HasSubstr("GL Error occurred: GL_STACK_UNDERFLOW"));
    EXPECT_EQ(shownBoxes().size(), 1u);
    EXPECT_FALSE(visual().checkGLError());
}

TEST_F(RenderContexts, ShutDownReleasesEveryContext)
{
    generateMain();
    shutDownVisual();
    EXPECT_EQ(qrglx::currentContext(), nullptr);
    const std::string log = logText();
    EXPECT_THAT(log, HasSubstr("Deleting RC \"Main RC\""));
    EXPECT_THAT(log, HasSubstr("Deleting Child Control"));
    EXPECT_EQ(core().getDeviceManager()->findDevice("Backup Render Context Device"), nullptr);
}

TEST_F(RenderContexts, MainContextCarriesTheEngineDefaults)
{
    ASSERT_NE(generateMain(), nullptr);
    const auto integer = [](GLenum parameter) {
        GLint value = -1;
        glGetIntegerv(parameter, &value);
        return value;
    };
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_FACE), GL_FRONT_AND_BACK);
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_PARAMETER), GL_DIFFUSE);
    EXPECT_EQ(integer(GL_LIGHT_MODEL_COLOR_CONTROL), GL_SEPARATE_SPECULAR_COLOR);
    EXPECT_EQ(integer(GL_PERSPECTIVE_CORRECTION_HINT), GL_NICEST);
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_POINT_SMOOTH));
}

TEST_F(RenderContexts, MainContextThatCannotBeBuiltIsReportedOnceAndRetriedWhenSomethingChanges)
{
    QRVISXRenderContext* main = generateMain();
    ASSERT_NE(main, nullptr);
    // Boxes about the context only: shaders the file watcher reloads meanwhile find no context.
    const auto contextBoxes = [this] {
        std::vector<std::string> boxes;
        for (const std::string& box : shownBoxes())
            if (box.find("Object: Main RC ") != std::string::npos)
                boxes.push_back(box);
        return boxes;
    };
    // No visual of the server has 99 depth bits.
    main->setPixelFormatParameters(1, 99, false);
    for (int frame = 0; frame < 5; ++frame) {
        contexts().activatePrimaryContext();
        main->swapBuffers();
        visual().endFrame();
    }
    EXPECT_FALSE(main->isValid());
    EXPECT_THAT(contextBoxes(), ElementsAre(HasSubstr("Could not create desired pixel format")));
    EXPECT_EQ(logCount("Render Context \"Main RC\": Updating RC"), 2u); // the first build, the failure

    // A window the GUI made anew is tried again (and fails again, once).
    recreatePanelWindow();
    contexts().activatePrimaryContext();
    contexts().activatePrimaryContext();
    EXPECT_EQ(logCount("Render Context \"Main RC\": Updating RC"), 3u);
    EXPECT_EQ(contextBoxes().size(), 2u);

    main->setPixelFormatParameters(1, 24, false);
    contexts().activatePrimaryContext();
    EXPECT_TRUE(main->isValid());
    EXPECT_EQ(qrglx::currentContext(), main->getGLContextHandle());
    EXPECT_EQ(contextBoxes().size(), 2u);
}

TEST_F(RenderContexts, SwappingAValidContextSendsNothingButTheSwap)
{
    auto* main = static_cast<QRVISXVisualRenderContext*>(generateMain());
    ASSERT_NE(main, nullptr);
    void* display = qrglx::display();
    main->swapBuffers();
    x11display::plainSwapBuffers(display, main->getPanelWindowHandle());
    // Each swap's requests, the engine's and a bare one, measured alike after a warm-up swap.
    const auto sent = [&](const std::function<void()>& swap) {
        const std::uint64_t before = x11display::requestsSent(display);
        swap();
        return x11display::requestsSent(display) - before;
    };
    const std::uint64_t bare = sent([&] { x11display::plainSwapBuffers(display, main->getPanelWindowHandle()); });
    EXPECT_EQ(sent([&] { main->swapBuffers(); }), bare) << "no error trap (two round trips) around a valid swap";
}
