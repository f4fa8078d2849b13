// The shadow pass and the post-processing frame buffer with the recording GL layer: where the
// shadow camera stands, what is in force while the casters draw, what the terrain is told
// afterwards, and the frame buffer sized after the drawing panel.

#include "world_unit_fixture.h"

#include "core/qr_core_device.h"
#include "core/qr_core_devicemanager.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_frustum.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/targets/qr_visx_rendertarget.h"
#include "visual/targets/qr_visx_rendertargetconfiguration.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "world/app_wrld_postprocess.h"
#include "world/app_wrld_shadow.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <vector>

using ::testing::IsEmpty;

namespace {

class OffScreenParts : public WorldUnitFixture {
protected:
    OffScreenParts()
    {
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5", "GL_VERSION_2_0",
                           "GL_ARB_multitexture", "GL_ARB_texture_cube_map", "GL_EXT_blend_color",
                           "GL_EXT_blend_minmax", "GL_ARB_shader_objects", "GL_ARB_vertex_shader",
                           "GL_ARB_fragment_shader", "GL_EXT_vertex_array", "GL_ARB_vertex_buffer_object",
                           "GL_EXT_framebuffer_object", "GL_ARB_texture_float",
                           "GL_ARB_texture_non_power_of_two"});
        visual_->getExtensionManager()->initialize();
        visual_->getMaterialManager()->getTextureManager()->initialize();
        visual_->getRenderTargetManager()->initialize();
        gl_.clearCalls();
    }

    QRVISXMaterialManager& materials() { return *visual_->getMaterialManager(); }
};

// What was in force while the casters drew.
struct DuringCasters {
    bool drawn = false;
    bool intoShadowMap = false;
    bool bound = false;
    bool locked = false;
    bool depthUsed = true;
    Vector3 cameraPosition;
    Matrix4 projection;
    int viewport[4] = {};
    // Which of the probes (shadowProbes) the culling frustum lets through.
    std::vector<bool> seen;
};

// Ground points around the map's centre: inside its square, and beside it.
struct ShadowProbe {
    float dx, dz;
    bool inside;
};
const ShadowProbe kShadowProbes[] = {{0, 0, true}, {65, -65, true}, {-65, 65, true}, {80, 0, false}, {0, -80, false}};

} // namespace

TEST(ShadowCentre, SnapsToTwoWholeTexelsOfTheMap)
{
    // The map's inner 1022 texels span the camera's 140 units.
    const float texel = 140.0f / 1022.0f;
    const float step = 2.0f * texel;
    struct Case {
        Vector3 focus;
        Vector3 centre;
    };
    const Case cases[] = {
        {{0.0f, 7.0f, 0.0f}, {0.0f, 50.0f, 0.0f}},
        {{0.13f, -3.0f, -0.13f}, {0.0f, 50.0f, 0.0f}},
        {{0.14f, 0.0f, 1.0f}, {step, 50.0f, 4.0f * step}},
        {{100.0f, 0.0f, -100.0f}, {365.0f * step, 50.0f, -365.0f * step}},
    };
    for (const Case& c : cases) {
        const Vector3 centre = APPWRLDShadow::snapCenter(c.focus);
        EXPECT_FLOAT_EQ(centre.x, c.centre.x);
        EXPECT_FLOAT_EQ(centre.y, c.centre.y);
        EXPECT_FLOAT_EQ(centre.z, c.centre.z);
    }
    // Any focus within one step of snapped centre's cell keeps the camera where it was.
    const Vector3 anchor = APPWRLDShadow::snapCenter({500.0f, 0.0f, 500.0f});
    for (float nudge : {-0.13f, -0.05f, 0.05f, 0.13f})
        EXPECT_EQ(APPWRLDShadow::snapCenter({anchor.x + nudge, 0.0f, anchor.z - nudge}), anchor);
    // Wherever the focus is, the map's edge (70 units from its centre) lies on a whole texel of
    // the world, so a caster that stands still always covers the same texels.
    for (const Vector3 focus : {Vector3{1234.567f, 9.0f, 87.65f}, Vector3{2559.9f, 0.0f, 0.31f}, Vector3{13.7f, 40.0f, 1999.99f}}) {
        const Vector3 centre = APPWRLDShadow::snapCenter(focus);
        for (const float edge : {centre.x - 70.0f, centre.z - 70.0f}) {
            const float texels = edge / texel;
            EXPECT_NEAR(texels, std::round(texels), 2e-2f) << edge;
        }
    }
}

TEST_F(OffScreenParts, InitializeMakesTheShadowMapTargets)
{
    auto shadow = qrNew<APPWRLDShadow>(nullptr);
    shadow->initialize();
    QRVISXRenderTargetConfiguration* configuration = shadow->getConfiguration();
    ASSERT_NE(configuration, nullptr);
    EXPECT_EQ(configuration->getName(), "Shadow Map");
    EXPECT_EQ(configuration->getDevice()->getName(), "Shadow Map Device");
    const auto* colour = configuration->getSlot(0);
    const auto* depth = configuration->getSlot(QRVISXRenderTargetConfiguration::kDepthSlot);
    ASSERT_NE(colour, nullptr);
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(colour->getName(), "Shadow Map Color");
    EXPECT_EQ(colour->getDataFormat(), QRVISXRenderTarget::kData8);
    EXPECT_EQ(colour->getPixelFormat(), QRVISXRenderTarget::kPixelRGB);
    EXPECT_EQ(colour->getWidth(), 1024);
    EXPECT_EQ(colour->getHeight(), 1024);
    EXPECT_EQ(depth->getName(), "Shadow Map Depth");
    EXPECT_EQ(depth->getDataFormat(), QRVISXRenderTarget::kData24);
    // The linear filter makes the texture anew at the first bind; the map is fetched after it.
    configuration->bind();
    ASSERT_NE(shadow->getShadowMapTexture(), nullptr);
    EXPECT_EQ(shadow->getShadowMapTexture()->getFilter(), QRVISXTexture2::kFilterLinear);
    EXPECT_TRUE(shadow->getShadowMapTexture()->getHorizontalClamp());
    EXPECT_TRUE(shadow->getShadowMapTexture()->getVerticalClamp());
    configuration->unbind();

    shadow.reset();
    EXPECT_EQ(visual_->getRenderTargetManager()->findConfiguration("Shadow Map"), nullptr);
    EXPECT_EQ(core().getDeviceManager()->findDevice("Shadow Map Device"), nullptr);
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(OffScreenParts, CastersDrawLockedIntoTheMapFromAboveAndTheTerrainLearnsWhere)
{
    auto shadow = qrNew<APPWRLDShadow>(nullptr);
    shadow->initialize();
    QRVISXCamera3D& camera = *visual_->getCameraManager()->get3DCamera();
    camera.setClipPlanes(0.6f, 500.0f);
    const Vector3 focus{300.1f, 12.0f, 41.0f};
    const Vector3 centre = APPWRLDShadow::snapCenter(focus);
    // The view looks along -Z from the focus, so the map's far side lies behind the eye.
    camera.setPosition(focus);
    camera.activate();
    const QRVISXFrustum& frustum = *visual_->getCameraManager()->getFrustum();
    const auto probesSeen = [&] {
        std::vector<bool> seen;
        for (const ShadowProbe& probe : kShadowProbes)
            seen.push_back(frustum.isSphereVisible({centre.x + probe.dx, 0.0f, centre.z + probe.dz}, 0.5f));
        return seen;
    };
    const std::vector<bool> seenByTheView = probesSeen();
    DuringCasters during;
    gl_.clearCalls();
    shadow->renderShadowMapAt(focus, [&] {
        during.drawn = true;
        QRVISXShaderConfiguration* current = materials().getShaderManager()->getCurrentConfiguration();
        during.intoShadowMap = current && current->getFileName().find("into_shadowmap") != std::string::npos;
        during.bound = visual_->getRenderTargetManager()->getBoundConfiguration() == shadow->getConfiguration();
        during.locked = materials().isLocked();
        const QRVISXGLState& state = materials().getStateManager()->getCurrent();
        during.depthUsed = state.depthTest || state.depthWrite;
        during.cameraPosition = camera.getPosition();
        during.projection = camera.getProjectionMatrix();
        QRVISXViewPort& viewport = *visual_->getViewPort();
        during.viewport[0] = viewport.getLeft();
        during.viewport[1] = viewport.getBottom();
        during.viewport[2] = viewport.getRight();
        during.viewport[3] = viewport.getTop();
        during.seen = probesSeen();
    });
    const auto calls = gl_.takeCalls();
    ASSERT_TRUE(during.drawn);
    EXPECT_TRUE(during.intoShadowMap);
    EXPECT_TRUE(during.bound);
    EXPECT_TRUE(during.locked) << "the casters' own materials must change nothing";
    // All casters are the same black: depth is neither cleared, tested nor written.
    EXPECT_FALSE(during.depthUsed);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "glClear(GL_COLOR_BUFFER_BIT)"), calls.end());
    EXPECT_EQ(during.cameraPosition, centre);
    // Orthographic over 70 units each way from the centre, on the inner 1022 x 1022 texels.
    EXPECT_FLOAT_EQ(during.projection[0], 1.0f / 70.0f);
    EXPECT_FLOAT_EQ(during.projection[5], 1.0f / 70.0f);
    EXPECT_FLOAT_EQ(during.projection[15], 1.0f);
    EXPECT_THAT(during.viewport, ::testing::ElementsAre(1, 1, 1023, 1023));
    // Casters are culled by the map's square, not by the view; the view's frustum comes back after.
    for (std::size_t i = 0; i < std::size(kShadowProbes); ++i)
        EXPECT_EQ(during.seen.at(i), kShadowProbes[i].inside) << "probe " << i;
    EXPECT_EQ(probesSeen(), seenByTheView);
    EXPECT_NE(seenByTheView, during.seen) << "the view must see the probes otherwise than the map does";
    EXPECT_NE(std::find(calls.begin(), calls.end(), "glClearColor(1, 1, 1, 1)"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "glViewport(1, 1, 1022, 1022)"), calls.end());

    // Afterwards: drawing back in the window, nothing locked, the camera in perspective again,
    // and the pool tells the terrain shader where the map lies.
    EXPECT_EQ(visual_->getRenderTargetManager()->getBoundConfiguration(), nullptr);
    EXPECT_FALSE(materials().isLocked());
    EXPECT_FALSE(camera.isOrthographic());
    EXPECT_EQ(camera.getProjectionMatrix()[15], 0.0f);
    QRVISXMaterialVariablePool& pool = *materials().getVariablePool();
    EXPECT_EQ(pool.getVector3Variable("ShadowMapCenter")->getValue(), centre);
    EXPECT_EQ(pool.getFloatVariable("ShadowMapSize")->getValue(), 70.0f);
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(OffScreenParts, PostProcessFrameBufferTakesThePanelSizeAndSurvivesAnEmptyPanel)
{
    struct Case {
        int width, height;
        int expectedWidth, expectedHeight;
    };
    for (const Case& c : {Case{640, 480, 640, 480}, Case{640, 0, 640, 1}, Case{0, 0, 1, 1}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        auto* device = core().getDeviceManager()->createVirtualDevice("Visual Device", c.width, c.height);
        {
            auto postProcess = qrNew<APPWRLDPostProcess>(nullptr);
            postProcess->initialize();
            ASSERT_NE(postProcess->getConfiguration(), nullptr);
            EXPECT_EQ(postProcess->getConfiguration()->getName(), "Frame Buffer");
            EXPECT_EQ(postProcess->getConfiguration()->getDevice(), device);
            ASSERT_NE(postProcess->getColorTarget(), nullptr);
            EXPECT_EQ(postProcess->getColorTarget()->getName(), "Frame Buffer Color");
            EXPECT_EQ(postProcess->getColorTarget()->getWidth(), c.expectedWidth);
            EXPECT_EQ(postProcess->getColorTarget()->getHeight(), c.expectedHeight);
            EXPECT_EQ(postProcess->getColorTarget()->getDataFormat(), QRVISXRenderTarget::kData8);
        }
        EXPECT_EQ(visual_->getRenderTargetManager()->findConfiguration("Frame Buffer"), nullptr);
        core().getDeviceManager()->removeDevice(device);
    }
    EXPECT_THAT(shownBoxes(), IsEmpty());
}
