// The shader manager on a driver without GLSL: configurations load without a message box and stay
// without a program, and the draws a program would light are lit by OpenGL's own lighting, sent
// only when lit and unlit change.

#include "visual_unit_fixture.h"

#include "core/qr_mngr_assetmanager.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/view/qr_visx_transform.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

class WithoutGLSL : public VisualUnitFixture {
protected:
    WithoutGLSL()
    {
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5",
                           "GL_ARB_multitexture", "GL_ARB_texture_cube_map", "GL_EXT_blend_color",
                           "GL_EXT_blend_minmax", "GL_ARB_shader_objects", "GL_ARB_vertex_shader",
                           "GL_ARB_fragment_shader"});
        gl_.setStrict(true);
        gl_.setInteger(GL_MAX_TEXTURE_UNITS, 4);
        std::filesystem::copy(std::filesystem::path(KIPSTER_SOURCE_DIR) / "content" / "shaders",
                              programFolder().path() / "shaders", std::filesystem::copy_options::recursive);
        visual_->getExtensionManager()->initialize();
        visual_->getTransform()->initialize();
        visual_->getMaterialManager()->initialize();
    }

    QRVISXShaderManager& shaders() { return *visual_->getMaterialManager()->getShaderManager(); }

    // The lighting switches among the calls so far.
    std::vector<std::string> lightingSwitches()
    {
        std::vector<std::string> switches;
        for (const std::string& call : gl_.takeCalls())
            if (call == "glEnable(GL_LIGHTING)" || call == "glDisable(GL_LIGHTING)")
                switches.push_back(call);
        return switches;
    }
};

} // namespace

TEST_F(WithoutGLSL, ConfigurationsLoadQuietlyWithoutAProgram)
{
    EXPECT_FALSE(shaders().isGLSLAvailable());
    for (const char* file : {"shaders\\model_lit.shader", "shaders\\terrain.shader", "shaders\\water.shader"}) {
        auto* configuration = qrAssets()->acquire<QRVISXShaderConfiguration>(file);
        ASSERT_NE(configuration, nullptr) << file;
        EXPECT_EQ(configuration->getGLProgramId(), -1) << file;
        qrAssets()->release(configuration);
    }
    EXPECT_THAT(shownBoxes(), testing::IsEmpty());
    EXPECT_EQ(gl_.violations(), std::vector<std::string>{});
    EXPECT_EQ(logText().find("class = \"error\""), std::string::npos);
}

TEST_F(WithoutGLSL, ProgramsThatLightAreLitByTheFixedLightsAndOnlyChangesAreSent)
{
    auto* lit = qrAssets()->acquire<QRVISXShaderConfiguration>("shaders\\model_lit.shader");
    auto* unlit = qrAssets()->acquire<QRVISXShaderConfiguration>("shaders\\default\\default_unlit.shader");
    struct Step {
        const char* what;
        void (*request)(QRVISXShaderManager&, QRVISXShaderConfiguration* lit, QRVISXShaderConfiguration* unlit);
        std::vector<std::string> switches;
    };
    const Step steps[] = {
        {"a lit program", [](auto& m, auto* l, auto*) { m.setConfiguration(l); }, {}},
        {"an unlit program", [](auto& m, auto*, auto* u) { m.setConfiguration(u); }, {"glDisable(GL_LIGHTING)"}},
        {"the same again", [](auto& m, auto*, auto* u) { m.setConfiguration(u); }, {}},
        {"the default solid", [](auto& m, auto*, auto*) { m.useDefaultSolid(); }, {"glEnable(GL_LIGHTING)"}},
        {"the default unlit", [](auto& m, auto*, auto*) { m.useDefaultUnlit(); }, {"glDisable(GL_LIGHTING)"}},
        {"no program named", [](auto& m, auto*, auto*) { m.resetConfiguration(); }, {"glEnable(GL_LIGHTING)"}},
    };
    // After the context's reset the lighting is known to be on.
    shaders().reset();
    gl_.clearCalls();
    for (const Step& step : steps) {
        step.request(shaders(), lit, unlit);
        shaders().apply(false);
        EXPECT_EQ(lightingSwitches(), step.switches) << step.what;
    }
    // A locked manager keeps the override's lighting.
    shaders().lock();
    shaders().useDefaultUnlit();
    shaders().apply(false);
    EXPECT_EQ(lightingSwitches(), std::vector<std::string>{});
    shaders().unlock();
    qrAssets()->release(lit);
    qrAssets()->release(unlit);
}
