#include "visual_unit_fixture.h"

#include "core/qr_core_device.h"
#include "core/qr_core_devicemanager.h"
#include "resource/qr_resc_list.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"
#include "visual/device/rendercontexts/qr_visx_visualrendercontext.h"

#include <QWidget>
#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class RenderContext : public VisualUnitFixture {
protected:
    QRVISXRenderContextManager& contexts() { return *visual_->getRenderContextManager(); }
    QRCOREDevice* virtualDevice() { return core().getDeviceManager()->createVirtualDevice("Virtual", 64, 32); }
};

} // namespace

TEST_F(RenderContext, NeedsADevice)
{
    auto context = qrNew<QRVISXRenderContext>(nullptr, nullptr, "Loose RC");
    EXPECT_EQ(context->getDevice(), nullptr);
    context->bindToDevice(nullptr);
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr("No device defined for this render context"),
                                          HasSubstr("A render context must be bound to a device")));
    EXPECT_THAT(shownBoxes()[0], HasSubstr("Method: Create"));
}

TEST_F(RenderContext, GLDefaultsGoIntoTheContext)
{
    auto context = qrNew<QRVISXRenderContext>(nullptr, virtualDevice(), "RC");
    context->initGLDefaults();
    EXPECT_THAT(gl_.calls(),
                ElementsAre("glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST)",
                            "glLightModelfv(GL_LIGHT_MODEL_AMBIENT, 0, 0, 0, 1)",
                            "glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR)",
                            "glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE)", "glEnable(GL_COLOR_MATERIAL)",
                            "glEnable(GL_LINE_SMOOTH)", "glEnable(GL_POINT_SMOOTH)"));
    EXPECT_EQ(context->getSampleCount(), 0);
}

TEST_F(RenderContext, ManagerCreatesVisualContextsOnControlDevicesOnly)
{
    EXPECT_EQ(contexts().createVisualRenderingContext("A", nullptr), nullptr);
    EXPECT_EQ(contexts().createVisualRenderingContext("B", virtualDevice()), nullptr);
    EXPECT_THAT(shownBoxes(),
                ElementsAre(HasSubstr("No device defined"),
                            HasSubstr("The device associated with this render context is no valid control device.")));
    EXPECT_EQ(contexts().getContexts()->getCount(), 0);

    QWidget control;
    auto* device = core().getDeviceManager()->createControlDevice("Control", &control);
    QRVISXVisualRenderContext* context = contexts().createVisualRenderingContext("C", device);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(contexts().getContexts()->getCount(), 1);
    EXPECT_FALSE(context->isValid());
    EXPECT_EQ(context->getGLContextHandle(), nullptr);
}

TEST_F(RenderContext, AContextThatCannotBeBuiltIsReportedOnceUntilItsDeviceOrFormatChanges)
{
    QWidget control;
    auto* device = core().getDeviceManager()->createControlDevice("Control", &control);
    QRVISXVisualRenderContext* context = contexts().createVisualRenderingContext("Offscreen RC", device);
    ASSERT_NE(context, nullptr);
    const auto attempts = [this] {
        const std::string log = logText();
        std::size_t count = 0;
        for (auto at = log.find("Generating RC \"Offscreen RC\""); at != std::string::npos;
             at = log.find("Generating RC \"Offscreen RC\"", at + 1))
            ++count;
        return count;
    };
    const auto frames = [&](int count) {
        for (int frame = 0; frame < count; ++frame) {
            context->activate();
            context->swapBuffers();
        }
    };

    frames(3);
    EXPECT_FALSE(context->isValid());
    EXPECT_EQ(contexts().getCurrentContext(), nullptr);
    EXPECT_EQ(attempts(), 1u);
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr("Could not bind device context to device")));
    EXPECT_THAT(logText(), HasSubstr("Could not create device context")) << "the summary is logged, without a box";

    // A new antialiasing level binds the primary context to its device again.
    context->bindToDevice(device);
    frames(2);
    EXPECT_EQ(attempts(), 2u);
    context->setPixelFormatParameters(1, 16, true);
    frames(2);
    EXPECT_EQ(attempts(), 3u);
    EXPECT_EQ(shownBoxes().size(), 3u);
    EXPECT_THAT(gl_.calls(), IsEmpty());
}

TEST_F(RenderContext, AContextWithoutADeviceSaysSoOnce)
{
    auto context = qrNew<QRVISXVisualRenderContext>(nullptr, nullptr, "Loose RC");
    context->activate();
    context->swapBuffers();
    context->activate();
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr("No device defined for this render context"),
                                          HasSubstr("This render context is not bound to a device")));
}

TEST_F(RenderContext, ActivatingAVirtualDeviceContextSaysItIsNoControlDevice)
{
    // Only the manager refuses such a device; a context made directly finds out when it is built.
    auto context = qrNew<QRVISXVisualRenderContext>(nullptr, virtualDevice(), "Virtual RC");
    context->createContext();
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr("Device is no control device")));
    EXPECT_THAT(logText(), HasSubstr("Could not create device context"));
}
