#include "visual_unit_fixture.h"

#include "core/qr_core_device.h"
#include "core/qr_core_devicemanager.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/targets/qr_visx_rendertarget.h"
#include "visual/targets/qr_visx_rendertargetconfiguration.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

// A device whose size the test changes, as a window's panel changes with the window.
class ResizableDevice : public QRCOREDevice {
public:
    ResizableDevice(int width, int height) : QRCOREDevice(nullptr, "Resizable"), width_(width), height_(height) {}
    int getWidth() const override { return width_; }
    int getHeight() const override { return height_; }
    void resize(int width, int height)
    {
        width_ = width;
        height_ = height;
    }

private:
    int width_;
    int height_;
};

// A render context whose GL context the test can "rebuild", as an antialiasing change rebuilds "Main RC".
class RebuildableContext : public QRVISXRenderContext {
public:
    explicit RebuildableContext(QRCOREDevice* device) : QRVISXRenderContext(nullptr, device, "Main RC") {}
    void rebuild() { takeNewGLContextSerial(); }
};

class RenderTargets : public VisualUnitFixture {
protected:
    RenderTargets() : device_(256, 128)
    {
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5",
                           "GL_ARB_multitexture", "GL_ARB_texture_cube_map", "GL_ARB_texture_non_power_of_two",
                           "GL_EXT_framebuffer_object", "GL_ARB_draw_buffers"});
        gl_.setInteger(GL_MAX_TEXTURE_UNITS, 4);
        gl_.setInteger(GL_MAX_TEXTURE_SIZE, 4096);
        gl_.setInteger(GL_MAX_DRAW_BUFFERS_ARB, 4);
        gl_.setInteger(GL_MAX_RENDERBUFFER_SIZE_EXT, 8192);
        visual_->getMaterialManager()->getTextureManager()->initialize();
        manager().initialize();
    }

    QRVISXRenderTargetManager& manager() { return *visual_->getRenderTargetManager(); }

    // A configuration on the test's device with a colour texture and a 24-bit depth buffer.
    QRVISXRenderTargetConfiguration* makeConfiguration()
    {
        color_ = manager().createRenderTargetTexture("Color", 0, 256, 128, QRVISXRenderTarget::kPixelRGB);
        depth_ = manager().createRenderBuffer("Depth", 2, 256, 128);
        auto* configuration = manager().createRenderTargetConfiguration("Target", &device_);
        configuration->setColorTarget(color_);
        configuration->setDepthTarget(depth_);
        return configuration;
    }

    // The recorded calls that concern frame buffers, render buffers and the view port.
    std::vector<std::string> frameBufferCalls()
    {
        static const char* const prefixes[] = {"glGenFramebuffers", "glDeleteFramebuffers", "glBindFramebuffer",
                                               "glFramebuffer",     "glGenRenderbuffers",   "glDeleteRenderbuffers",
                                               "glRenderbufferStorage", "glDrawBuffer",     "glCheckFramebuffer",
                                               "glViewport"};
        std::vector<std::string> result;
        for (const std::string& call : gl_.takeCalls())
            if (std::any_of(std::begin(prefixes), std::end(prefixes),
                            [&](const char* prefix) { return call.rfind(prefix, 0) == 0; }))
                result.push_back(call);
        return result;
    }

    static std::string id(GLuint value) { return std::to_string(value); }
    static std::string id(GLint value) { return std::to_string(value); }

    ResizableDevice device_;
    QRVISXRenderTargetTexture* color_ = nullptr;
    QRVISXRenderTargetBuffer* depth_ = nullptr;
};

} // namespace

TEST_F(RenderTargets, InitializeReadsTheLimitsOfTheDriver)
{
    EXPECT_EQ(manager().getMaxRenderTargets(), 4);
    EXPECT_EQ(manager().getMaxRenderBufferSize(), 8192);
    EXPECT_THAT(logText(), HasSubstr("Maximum render targets: 4"));
    EXPECT_THAT(logText(), HasSubstr("Maximum render buffer size: 8192"));

    gl_.setExtensions({"GL_VERSION_1_5", "GL_EXT_framebuffer_object"});
    manager().initialize();
    EXPECT_EQ(manager().getMaxRenderTargets(), 1);
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(RenderTargets, BindRedirectsDrawingAndUnbindReturnsIt)
{
    auto* configuration = makeConfiguration();
    const std::string fbo = id(configuration->getFrameBufferId());
    gl_.clearCalls();

    configuration->bind();
    EXPECT_EQ(manager().getBoundConfiguration(), configuration);
    EXPECT_TRUE(configuration->isValid());
    EXPECT_THAT(frameBufferCalls(),
                ElementsAre("glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, " + fbo + ")",
                            "glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, " + fbo + ")",
                            "glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, " +
                                id(color_->getGLId()) + ", 0)",
                            "glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, " + fbo + ")",
                            "glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, "
                            "GL_RENDERBUFFER_EXT, " + id(depth_->getGLId()) + ")",
                            "glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT)", "glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT)",
                            "glViewport(0, 0, 256, 128)"));

    // Bound already: nothing at all goes to OpenGL.
    configuration->bind();
    EXPECT_THAT(gl_.takeCalls(), IsEmpty());

    configuration->unbind();
    EXPECT_EQ(manager().getBoundConfiguration(), nullptr);
    EXPECT_THAT(frameBufferCalls(), ElementsAre("glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0)", "glDrawBuffer(GL_BACK)"));
    configuration->unbind();
    EXPECT_THAT(gl_.takeCalls(), IsEmpty());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(RenderTargets, ResizedDeviceRemakesTheTargetsAtTheNextBind)
{
    auto* configuration = makeConfiguration();
    configuration->bind();
    configuration->unbind();
    const GLuint oldTexture = color_->getGLId();
    const GLuint oldBuffer = depth_->getGLId();
    device_.resize(64, 32);
    gl_.clearCalls();

    configuration->bind();
    const std::vector<std::string> calls = frameBufferCalls();
    EXPECT_THAT(calls, Contains("glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, 64, 32)"));
    EXPECT_THAT(calls, Contains("glDeleteRenderbuffersEXT(" + id(oldBuffer) + ")"));
    EXPECT_THAT(calls, Contains("glViewport(0, 0, 64, 32)"));
    EXPECT_FALSE(gl_.isLive(oldTexture));
    ASSERT_NE(color_->getTexture(), nullptr);
    EXPECT_EQ(color_->getTexture()->getWidth(), 64);
    EXPECT_EQ(color_->getTexture()->getHeight(), 32);
    EXPECT_EQ(depth_->getWidth(), 64);
    EXPECT_EQ(configuration->getWidth(), 64);
    // The new surfaces are what is attached now.
    EXPECT_THAT(calls, Contains(HasSubstr("GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, " + id(color_->getGLId()) + ", 0)")));
    EXPECT_THAT(calls, Contains(HasSubstr("GL_RENDERBUFFER_EXT, " + id(depth_->getGLId()) + ")")));
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(RenderTargets, NewFilterRemakesTheTextureAtTheNextBind)
{
    auto* configuration = makeConfiguration();
    const GLint before = color_->getTexture()->getGLTextureId();
    EXPECT_EQ(color_->getTexture()->getFilter(), QRVISXTexture2::kFilterNone);
    EXPECT_TRUE(color_->getTexture()->getHorizontalClamp());
    EXPECT_FALSE(color_->getTexture()->getMipmapping());

    color_->setFilter(QRVISXTexture2::kFilterLinear);
    EXPECT_EQ(color_->getTexture()->getGLTextureId(), before);
    configuration->bind();
    EXPECT_NE(color_->getTexture()->getGLTextureId(), before);
    EXPECT_EQ(color_->getTexture()->getFilter(), QRVISXTexture2::kFilterLinear);
    EXPECT_TRUE(color_->isValid());
}

TEST_F(RenderTargets, AnotherGLContextGetsItsOwnFrameBufferObjectAndTheOldOneGoesWhereShared)
{
    RebuildableContext context(&device_);
    context.rebuild();
    visual_->getRenderContextManager()->setCurrentContext(&context);
    auto* configuration = makeConfiguration();
    // "Main RC" is rebuilt (activation resets the targets) on a driver whose contexts keep their own
    // objects, which go with the old context, then on one whose share group keeps them alive: there
    // the new context deletes the old object, at the next bind or when the configuration goes.
    for (const bool shared : {false, true}) {
        SCOPED_TRACE(shared ? "shared" : "each context its own");
        const GLint first = configuration->getFrameBufferId();
        configuration->bind();
        configuration->unbind();
        context.rebuild();
        if (!shared)
            gl_.loseFramebuffers();
        manager().resetTargets();
        gl_.clearCalls();
        configuration->bind();
        const GLint second = configuration->getFrameBufferId();
        EXPECT_NE(second, first);
        const std::vector<std::string> calls = frameBufferCalls();
        EXPECT_THAT(calls, Contains("glGenFramebuffersEXT(" + id(second) + ")"));
        EXPECT_THAT(calls, Not(Contains(HasSubstr("(GL_FRAMEBUFFER_EXT, " + id(first) + ")"))));
        EXPECT_EQ(std::ranges::count(calls, "glDeleteFramebuffersEXT(" + id(first) + ")"), shared ? 1 : 0);
        EXPECT_THAT(calls, Contains("glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, "
                                    "GL_TEXTURE_2D, " + id(color_->getGLId()) + ", 0)"));
        EXPECT_THAT(calls, Contains("glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, "
                                    "GL_RENDERBUFFER_EXT, " + id(depth_->getGLId()) + ")"));
        EXPECT_EQ(manager().getBoundConfiguration(), configuration);
        configuration->unbind();
    }
    const GLint last = configuration->getFrameBufferId();
    context.rebuild();
    manager().removeConfiguration(configuration);
    EXPECT_FALSE(gl_.isFramebuffer(static_cast<GLuint>(last))) << "nothing of the old context lingers";
    visual_->getRenderContextManager()->setCurrentContext(nullptr);
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(RenderTargets, ADepthOnlyConfigurationNeitherDrawsNorReadsAColourBuffer)
{
    auto* configuration = manager().createRenderTargetConfiguration("Depth Only", &device_);
    configuration->setDepthTarget(manager().createRenderBuffer("Depth Only", 2, 256, 128));
    gl_.clearCalls();
    configuration->bind();
    // GL_NONE is 0, which the recorder spells as the first enum of that value.
    EXPECT_THAT(gl_.calls(), Contains("glDrawBuffer(" + glEnumName(GL_NONE) + ")"));
    EXPECT_THAT(gl_.calls(), Contains("glReadBuffer(" + glEnumName(GL_NONE) + ")"));
}

TEST_F(RenderTargets, RemovedTargetsLeaveTheirConfigurations)
{
    auto* configuration = makeConfiguration();
    configuration->bind();
    manager().removeTarget(color_);
    EXPECT_EQ(configuration->getSlot(0), nullptr);
    EXPECT_EQ(configuration->getSlot(QRVISXRenderTargetConfiguration::kDepthSlot), depth_);
    // Detaching while the configuration is bound keeps drawing in it.
    EXPECT_EQ(manager().getBoundConfiguration(), configuration);
    configuration->unbind();
    gl_.clearCalls();

    configuration->bind();
    EXPECT_THAT(frameBufferCalls(), Contains("glDrawBuffer(" + glEnumName(GL_NONE) + ")"));
    manager().removeConfiguration(configuration);
    EXPECT_EQ(manager().getBoundConfiguration(), nullptr);
    EXPECT_EQ(manager().findConfiguration("Target"), nullptr);
    EXPECT_THAT(logText(), HasSubstr("Render Target Configuration \"Target\" deleted!"));
}

TEST_F(RenderTargets, ATargetReplacedWhileAttachedIsDetachedAndOutlivesTheConfiguration)
{
    auto* configuration = makeConfiguration();
    configuration->bind();
    QRVISXRenderTargetTexture* first = color_;
    ASSERT_EQ(first->getConfiguration(), configuration);
    configuration->setColorTarget(
        manager().createRenderTargetTexture("Second", 0, 256, 128, QRVISXRenderTarget::kPixelRGB));
    EXPECT_EQ(first->getConfiguration(), nullptr);
    EXPECT_EQ(manager().getBoundConfiguration(), configuration);

    manager().removeConfiguration(configuration);
    auto* other = manager().createRenderTargetConfiguration("Other", &device_);
    other->setColorTarget(first);
    other->bind();
    EXPECT_EQ(first->getConfiguration(), other);
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(RenderTargets, FailuresAreReportedAndBindingGoesOn)
{
    struct Case {
        const char* name;
        std::function<void()> run;
        const char* error;
    };
    const Case cases[] = {
        {"no device", [this] { manager().createRenderTargetConfiguration("Lost", nullptr)->bind(); },
         "No device specified"},
        {"unknown device",
         [this] {
             EXPECT_EQ(manager().createRenderTargetConfigurationForDevice("Lost", "Nowhere"), nullptr);
         },
         "No device was found by the name \"Nowhere\""},
        {"depth of 8 bits",
         [this] { manager().createRenderBuffer("Shallow", 0, 16, 16); },
         "Undefined combination of type, data format and pixel format"},
        {"24-bit colour texture",
         [this] { manager().createRenderTargetTexture("Odd", 2, 16, 16, 1); },
         "No texture data or pixel format specified"},
        {"texture never made",
         [this] {
             auto* texture = manager().createRenderTargetTexture("Odd", 0, 16, 16, 7);
             auto* configuration = manager().createRenderTargetConfiguration("Odd", &device_);
             configuration->setColorTarget(texture);
             configuration->bind();
         },
         "Could not create render target texture"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = shownBoxes().size();
        c.run();
        ASSERT_GT(shownBoxes().size(), before);
        EXPECT_THAT(shownBoxes().back(), HasSubstr(c.error));
    }

    // Without the frame buffer extension no object is made and binding is ignored.
    gl_.setExtensions({"GL_VERSION_1_5"});
    manager().initialize();
    gl_.clearCalls();
    auto* configuration = manager().createRenderTargetConfiguration("Unsupported", &device_);
    EXPECT_EQ(configuration->getFrameBufferId(), -1);
    EXPECT_THAT(shownBoxes().back(), HasSubstr("Could not create frame buffer object"));
    configuration->bind();
    manager().resetTargets();
    EXPECT_THAT(gl_.takeCalls(), IsEmpty());
}
