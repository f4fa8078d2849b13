// The shadow map on drivers that cannot give it what it asks for: float components only with
// float textures, 8 bits where the driver cannot draw into a float map, and no shadows at all
// without frame buffer objects, without GLSL or without any map the driver can draw into. Without
// a map the pass draws nothing, leaves the window's view port alone and the terrain unshadowed.

#include "world_unit_fixture.h"

#include "visual/materials/qr_visx_materialvariable.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "world/app_wrld_shadow.h"

#include <algorithm>
#include <set>
#include <string>

namespace {

struct ShadowCase {
    const char* name;
    bool floatTextures;
    bool frameBuffers;
    bool glsl;
    std::set<GLint> undrawable;
    // The map's texture data format, or -1 for no map.
    int mapFormat;
};

const ShadowCase kCases[] = {
    {"EightBitsWithFloatTextures", true, true, true, {}, QRVISXTexture2::kData8},
    {"EightBitsWithoutFloatTextures", false, true, true, {}, QRVISXTexture2::kData8},
    {"NoShadowsWhenNoMapCanBeDrawnInto", true, true, true, {GL_RGB}, -1},
    {"NoShadowsWithoutFrameBufferObjects", true, false, true, {}, -1},
    {"NoShadowsWithoutGLSL", true, true, false, {}, -1},
};

class ShadowLevels : public WorldUnitFixture, public testing::WithParamInterface<ShadowCase> {};

bool anyCall(const std::vector<std::string>& calls, const std::string& start)
{
    return std::any_of(calls.begin(), calls.end(), [&](const std::string& call) { return call.starts_with(start); });
}

} // namespace

TEST_P(ShadowLevels, TheMapIsOneTheDriverCanDrawIntoOrThereIsNone)
{
    const ShadowCase& c = GetParam();
    std::set<std::string> extensions = {"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5",
                                        "GL_ARB_multitexture", "GL_ARB_texture_cube_map", "GL_EXT_blend_color",
                                        "GL_EXT_blend_minmax", "GL_EXT_vertex_array", "GL_ARB_vertex_buffer_object"};
    if (c.glsl)
        extensions.insert({"GL_VERSION_2_0", "GL_ARB_shader_objects", "GL_ARB_vertex_shader", "GL_ARB_fragment_shader"});
    if (c.floatTextures)
        extensions.insert("GL_ARB_texture_float");
    if (c.frameBuffers)
        extensions.insert("GL_EXT_framebuffer_object");
    gl_.setExtensions(extensions);
    gl_.setUnsupportedColorFormats(c.undrawable);
    visual_->getExtensionManager()->initialize();
    visual_->getMaterialManager()->initialize();
    visual_->getRenderTargetManager()->initialize();

    auto shadow = qrNew<APPWRLDShadow>(nullptr);
    shadow->initialize();
    QRVISXTexture2* map = shadow->getShadowMapTexture();
    ASSERT_EQ(map != nullptr, c.mapFormat >= 0);
    if (map) {
        EXPECT_EQ(map->getDataFormat(), c.mapFormat);
    }
    EXPECT_TRUE(shownBoxes().empty());

    gl_.clearCalls();
    bool castersDrawn = false;
    shadow->renderShadowMapAt({100.0f, 0.0f, 100.0f}, [&] { castersDrawn = true; });
    const auto calls = gl_.takeCalls();
    const float mapSize = visual_->getMaterialManager()->getVariablePool()->getFloatVariable("ShadowMapSize")->getValue();
    if (map) {
        EXPECT_TRUE(castersDrawn);
        EXPECT_EQ(mapSize, APPWRLDShadow::kCoveredSize);
    } else {
        // Nothing cleared or shrunk in the window, and the ground reads no map.
        EXPECT_FALSE(castersDrawn);
        EXPECT_FALSE(anyCall(calls, "glClear"));
        EXPECT_FALSE(anyCall(calls, "glViewport"));
        EXPECT_EQ(mapSize, 0.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, ShadowLevels, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ShadowCase>& info) { return std::string(info.param.name); });
