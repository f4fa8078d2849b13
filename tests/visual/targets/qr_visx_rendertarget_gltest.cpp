#include "gl_context_fixture.h"

#include "core/qr_core_devicemanager.h"
#include "visual/device/qr_visx_antialiasing.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/device/qr_visx_displaymanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/text/qr_visx_render.h"
#include "visual/targets/qr_visx_rendertarget.h"
#include "visual/targets/qr_visx_rendertargetconfiguration.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

#include <gmock/gmock.h>

#include <array>
#include <cstdlib>

using ::testing::IsEmpty;

namespace {

using Pixel = std::array<int, 3>;

bool near(const Pixel& pixel, const Pixel& wanted)
{
    for (std::size_t i = 0; i < pixel.size(); ++i)
        if (std::abs(pixel[i] - wanted[i]) > 8)
            return false;
    return true;
}

class RenderTargetDrawing : public GLContextFixture {
protected:
    RenderTargetDrawing()
    {
        mainContext_ = visual().generateMainRenderContext("Main RC", "Visual Device");
        core().getDeviceManager()->createVirtualDevice("Scene Device", 256, 256);
        auto& targets = *visual().getRenderTargetManager();
        color_ = targets.createRenderTargetTexture("Scene Color", 0, 256, 256, QRVISXRenderTarget::kPixelRGBA);
        depth_ = targets.createRenderBuffer("Scene Depth", 2, 256, 256);
        configuration_ = targets.createRenderTargetConfigurationForDevice("Scene", "Scene Device");
        configuration_->setColorTarget(color_);
        configuration_->setDepthTarget(depth_);
        visual().getCameraManager()->activateCamera(visual().getCameraManager()->get2DCamera());
    }

    // Unlit colour (and texture on unit 0) with depth test and culling off, sent to OpenGL.
    void setUpMaterial(const Pixel& colour, const QRVISXTexture2* texture)
    {
        QRVISXMaterialManager& materials = *visual().getMaterialManager();
        materials.resetForMaterialUnlit();
        QRVISXStateManager& states = *materials.getStateManager();
        states.setDepthTest(false);
        states.setCullFace(false, true);
        states.setCurrentColor(colour[0] / 255.0f, colour[1] / 255.0f, colour[2] / 255.0f, 1.0f);
        materials.getTextureManager()->requestTexture(texture, 0);
        materials.apply();
    }

    // A quad from (-x, -y) to (x, y) in the 2D camera's space, texture coordinates 0 to 1.
    void drawQuad(float x, float y)
    {
        QRVISXRender& render = *visual().getRender();
        render.beginQuads();
        render.setTexCoord2(0, 0, 0);
        render.vertex(-x, -y, 0);
        render.setTexCoord2(0, 1, 0);
        render.vertex(x, -y, 0);
        render.setTexCoord2(0, 1, 1);
        render.vertex(x, y, 0);
        render.setTexCoord2(0, 0, 1);
        render.vertex(-x, y, 0);
        render.end();
    }

    static Pixel readPixel(int x, int y)
    {
        std::array<GLubyte, 3> rgb{};
        qrGL().readPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return {rgb[0], rgb[1], rgb[2]};
    }

    // Clears the target in clear colour and draws a quad over its middle half in quad colour.
    void renderScene(const Pixel& clear, const Pixel& quad)
    {
        configuration_->bind();
        visual().getRender()->setClearColor(clear[0] / 255.0f, clear[1] / 255.0f, clear[2] / 255.0f);
        visual().getRender()->clearAll();
        setUpMaterial(quad, nullptr);
        drawQuad(0.5f, 0.5f);
    }

    QRVISXRenderContext* mainContext_ = nullptr;
    QRVISXRenderTargetTexture* color_ = nullptr;
    QRVISXRenderTargetBuffer* depth_ = nullptr;
    QRVISXRenderTargetConfiguration* configuration_ = nullptr;
};

} // namespace

TEST_F(RenderTargetDrawing, SceneDrawnIntoATargetIsSampledOnAQuad)
{
    ASSERT_NE(mainContext_, nullptr);
    ASSERT_NE(configuration_, nullptr);
    renderScene({255, 0, 0}, {0, 255, 0});
    EXPECT_EQ(qrGL().checkFramebufferStatus(GL_FRAMEBUFFER_EXT), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    GLint viewport[4] = {};
    qrGL().getIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 256);
    EXPECT_EQ(viewport[3], 256);
    EXPECT_TRUE(near(readPixel(128, 128), {0, 255, 0}));
    EXPECT_TRUE(near(readPixel(10, 10), {255, 0, 0}));
    configuration_->unbind();

    // Back in the window: the texture of the target covers the whole view.
    qrGL().getIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kPanelWidth);
    visual().getRender()->setClearColor(0, 0, 1);
    visual().getRender()->clearAll();
    setUpMaterial({255, 255, 255}, color_->getTexture());
    drawQuad(4.0f / 3.0f, 1.0f);
    qrGL().readBuffer(GL_BACK);
    EXPECT_TRUE(near(readPixel(kPanelWidth / 2, kPanelHeight / 2), {0, 255, 0}));
    EXPECT_TRUE(near(readPixel(kPanelWidth / 2 + 100, kPanelHeight / 2 + 80), {0, 255, 0}));
    EXPECT_TRUE(near(readPixel(40, 30), {255, 0, 0}));
    EXPECT_TRUE(near(readPixel(kPanelWidth - 40, kPanelHeight / 2), {255, 0, 0}));
    EXPECT_FALSE(visual().checkGLError());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(RenderTargetDrawing, TargetsKeepWorkingAfterTheMainContextIsRebuilt)
{
    ASSERT_NE(mainContext_, nullptr);
    renderScene({255, 0, 0}, {0, 255, 0});
    configuration_->unbind();
    const auto firstSerial = mainContext_->getGLContextSerial();
    const GLint firstFrameBuffer = configuration_->getFrameBufferId();

    // A new antialiasing level gives "Main RC" a new GL context at its next activation; frame
    // buffer objects of the old one do not exist in it.
    visual().getDisplayManager()->getAntialiasing()->setAntialiasingQuality(1);
    visual().getRenderContextManager()->activatePrimaryContext();
    ASSERT_NE(mainContext_->getGLContextSerial(), firstSerial);
    // Once when it was made, once now.
    EXPECT_EQ(logCount("Render Context \"Main RC\": Updating RC"), 2u);

    renderScene({255, 255, 0}, {0, 0, 255});
    EXPECT_EQ(qrGL().checkFramebufferStatus(GL_FRAMEBUFFER_EXT), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    EXPECT_TRUE(near(readPixel(128, 128), {0, 0, 255}));
    EXPECT_TRUE(near(readPixel(10, 10), {255, 255, 0}));
    configuration_->unbind();
    EXPECT_EQ(logCount("Render Target Configuration \"Scene\" created!"), 2u);
    // Where the share group shares frame buffer objects (Mesa does), the old one would linger.
    if (configuration_->getFrameBufferId() != firstFrameBuffer)
        EXPECT_FALSE(qrGL().isFramebuffer(static_cast<GLuint>(firstFrameBuffer)));

    // The texture, shared between the contexts, holds the new picture.
    std::array<GLubyte, 4> texel{};
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(color_->getTexture()->getGLTextureId()));
    std::vector<GLubyte> pixels(256 * 256 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    std::copy_n(pixels.begin() + (128 * 256 + 128) * 4, 4, texel.begin());
    EXPECT_TRUE(near({texel[0], texel[1], texel[2]}, {0, 0, 255}));
    std::copy_n(pixels.begin() + (10 * 256 + 10) * 4, 4, texel.begin());
    EXPECT_TRUE(near({texel[0], texel[1], texel[2]}, {255, 255, 0}));
    EXPECT_FALSE(visual().checkGLError());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}
