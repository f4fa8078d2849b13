// The world's shadow pass draws the map again only when something it shows could have changed:
// its centre moved by a snap step, a caster near it came, went, moved or turned, or someone asked
// for it; otherwise the map drawn before stays, and the terrain is still told where it lies.

#include "entity_world_fixture.h"

#include "entities/app_entt_main.h"
#include "math/qr_math_quaternion.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "world/app_wrld_shadow.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

class ShadowCache : public EntityWorldFixture {
protected:
    ShadowCache()
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
        shadow().initialize();
        world().getCamera()->setPosition({500.0f, 6.0f, 500.0f});
        gl_.clearCalls();
    }

    APPWRLDShadow& shadow() { return *world().getShadow(); }

    QRVISXMaterialVariablePool& pool() { return *visual_->getMaterialManager()->getVariablePool(); }

    // Whether the pass drew into the map (bound its frame buffer); either way the terrain is told
    // where the map lies.
    bool pass()
    {
        pool().setFloat("ShadowMapSize", 0.0f);
        gl_.clearCalls();
        shadow().renderShadowMap();
        const auto calls = gl_.takeCalls();
        const bool bound = std::any_of(calls.begin(), calls.end(), [](const std::string& call) {
            return call.rfind("glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, ", 0) == 0 &&
                   call != "glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0)";
        });
        EXPECT_EQ(bound, shadow().wasRedrawn());
        EXPECT_EQ(pool().getFloatVariable("ShadowMapSize")->getValue(), APPWRLDShadow::kCoveredSize);
        return bound;
    }
};

} // namespace

TEST_F(ShadowCache, RedrawsOnlyWhenWhatTheMapShowsCouldHaveChanged)
{
    APPENTTMain* near = entities().createEntity("Entity", {510.0f, 0.0f, 505.0f});
    APPENTTMain* far = entities().createEntity("Entity", {900.0f, 0.0f, 900.0f});
    APPENTTMain* added = nullptr;
    ASSERT_TRUE(pass()) << "the first pass draws";
    struct Step {
        const char* what;
        std::function<void()> change;
        bool redraws;
    };
    const std::vector<Step> steps = {
        {"nothing changed", [] {}, false},
        {"the eye moved less than a snap step", [&] { world().getCamera()->setPosition({500.1f, 7.0f, 499.9f}); }, false},
        {"the eye moved a snap step", [&] { world().getCamera()->setPosition({500.4f, 7.0f, 499.9f}); }, true},
        {"a caster in the square moved", [&] { near->setPosition({511.0f, 0.0f, 505.0f}); }, true},
        {"a caster far off moved", [&] { far->setPosition({901.0f, 0.0f, 900.0f}); }, false},
        {"a caster in the square turned", [&] { near->setOrientation(QRMATHQuaternion::fromRotationY(30.0f)); }, true},
        {"a caster in the square grew", [&] { near->setSize(2.0f); }, true},
        {"a caster stopped casting", [&] { near->setCastsShadow(false); }, true},
        {"a caster came", [&] { added = entities().createEntity("Entity", {480.0f, 0.0f, 520.0f}); }, true},
        {"the caster went", [&] { entities().removeEntity(added); }, true},
        {"asked to", [&] { shadow().invalidate(); }, true},
        {"and nothing since", [] {}, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        EXPECT_EQ(pass(), step.redraws);
    }
}
