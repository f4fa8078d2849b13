#include "visual_unit_fixture.h"

#include "core/qr_core_devicemanager.h"
#include "environment/app_envr_main.h"
#include "visual/geometry/qr_visx_displaylistmanager.h"
#include "visual/geometry/qr_visx_vertexbuffermanager.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/text/qr_visx_fontmanager.h"
#include "visual/text/qr_visx_render.h"
#include "visual/text/qr_visx_util.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/view/qr_visx_viewport.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_main.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <set>
#include <string>

// One frame of the shipped world (terrain, models, the HUD's font, the shadow map's render target
// where there can be one) on the driver levels the game runs on, with the recorder playing a
// strict driver of each level: nothing above the level is called, no box is shown, the ground is
// drawn, and without frame buffer objects the window's view port stays whole.
namespace {

struct DriverLevel {
    const char* name;
    std::set<std::string> extensions;
    GLint textureUnits;
    bool glsl;
    bool frameBuffers;
};

void PrintTo(const DriverLevel& level, std::ostream* out)
{
    *out << level.name;
}

const std::set<std::string> kUpTo15 = {"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5",
                                       "GL_ARB_multitexture", "GL_ARB_texture_cube_map", "GL_EXT_blend_color",
                                       "GL_EXT_blend_minmax", "GL_EXT_vertex_array", "GL_ARB_vertex_buffer_object",
                                       "GL_SGIS_generate_mipmap", "GL_ARB_multisample"};

std::set<std::string> with(std::set<std::string> names, std::initializer_list<const char*> more)
{
    names.insert(more.begin(), more.end());
    return names;
}

const DriverLevel kLevels[] = {
    {"OpenGL 1.1 with multitexturing", {"GL_ARB_multitexture"}, 2, false, false},
    {"OpenGL 1.5", with(kUpTo15, {"GL_EXT_framebuffer_object"}), 4, false, true},
    {"OpenGL 2.0 without frame buffer objects",
     with(kUpTo15, {"GL_VERSION_2_0", "GL_ARB_shader_objects", "GL_ARB_vertex_shader", "GL_ARB_fragment_shader"}), 4,
     true, false},
    {"Every extension the game asks for",
     with(with(kUpTo15, {"GL_EXT_framebuffer_object", "GL_ARB_texture_float", "GL_EXT_texture_filter_anisotropic",
                         "GL_ARB_texture_non_power_of_two", "GL_EXT_stencil_two_side", "GL_EXT_stencil_wrap"}),
          {"GL_VERSION_2_0", "GL_ARB_shader_objects", "GL_ARB_vertex_shader", "GL_ARB_fragment_shader",
           "GL_ARB_draw_buffers"}),
     8, true, true},
};

class DriverLevelTest : public VisualUnitFixture, public testing::WithParamInterface<DriverLevel> {
protected:
    void bringUp(const DriverLevel& level)
    {
        namespace fs = std::filesystem;
        const fs::path shipped(KIPSTER_PROGRAM_FOLDER);
        for (const char* folder : {"fonts", "models", "textures", "world"})
            fs::copy(shipped / folder, programFolder().path() / folder, fs::copy_options::recursive);
        for (const char* folder : {"shaders", "materials"})
            fs::copy(fs::path(KIPSTER_SOURCE_DIR) / "content" / folder, programFolder().path() / folder,
                     fs::copy_options::recursive);
        gl_.setStrict(true);
        gl_.setExtensions(level.extensions);
        gl_.setInteger(GL_MAX_TEXTURE_UNITS, level.textureUnits);
        if (level.glsl)
            gl_.setInteger(GL_MAX_TEXTURE_IMAGE_UNITS, 16);
        gl_.setInteger(GL_MAX_TEXTURE_SIZE, 2048);
        gl_.setInteger(GL_MAX_RENDERBUFFER_SIZE_EXT, 4096);
        // The drawing panel the post-processing frame is sized after.
        core().getDeviceManager()->createVirtualDevice("Visual Device", kWidth, kHeight);
        visual_->getRenderTargetManager()->initialize();
        visual_->getExtensionManager()->initialize();
        visual_->getVertexBufferManager()->initialize();
        visual_->getCameraManager()->initialize();
        visual_->getViewPort()->set(0, 0, kWidth, kHeight);
        visual_->getDisplayListManager()->initialize();
        visual_->getRender()->initialize();
        visual_->getTransform()->initialize();
        visual_->getMaterialManager()->initialize();
        visual_->getFontManager()->initialize();
        visual_->getUtil()->initialize();
        world_ = qrNew<APPWRLDMain>(nullptr);
        world_->initialize();
    }

    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    QROwned<APPWRLDMain> world_;
};

bool anyCall(const std::vector<std::string>& calls, const std::string& start)
{
    return std::any_of(calls.begin(), calls.end(), [&](const std::string& call) { return call.starts_with(start); });
}

} // namespace

TEST_P(DriverLevelTest, OneWorldFrameStaysWithinTheDriversLevel)
{
    const DriverLevel& level = GetParam();
    bringUp(level);
    // Over the town, looking along the ground.
    world_->getCamera()->setPosition({1280.0f, 30.0f, 1400.0f});
    gl_.clearCalls();
    world_->render();
    const std::vector<std::string> calls = gl_.takeCalls();

    EXPECT_EQ(gl_.violations(), std::vector<std::string>{}) << level.name;
    // Below OpenGL 1.5 the user hears so once; nothing else is ever boxed.
    std::vector<std::string> expectedBoxes;
    if (!level.extensions.count("GL_VERSION_1_5"))
        expectedBoxes.push_back("A sufficient OpenGL Version could not be detected. QOR 2 needs at least OpenGL 1.5 to run!");
    EXPECT_EQ(shownBoxes(), expectedBoxes) << level.name;
    EXPECT_TRUE(anyCall(calls, "glDrawRangeElements") || anyCall(calls, "glDrawElements")) << "no ground drawn";
    EXPECT_TRUE(anyCall(calls, "glBindTexture(GL_TEXTURE_2D")) << "nothing textured";
    EXPECT_EQ(anyCall(calls, "glUseProgram"), level.glsl) << level.name;
    // Shadows need both a frame to draw into and a program to project them with.
    const bool shadows = level.glsl && level.frameBuffers;
    EXPECT_EQ(anyCall(calls, "glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 1"), shadows) << level.name;
    if (!shadows) {
        // The window keeps its whole view port: the shadow pass neither clears nor shrinks it.
        const auto viewport = std::find_if(calls.begin(), calls.end(),
                                           [](const std::string& call) { return call.starts_with("glViewport"); });
        EXPECT_TRUE(viewport == calls.end() || *viewport == "glViewport(0, 0, 640, 480)") << *viewport;
    }
    if (!level.glsl) {
        // The fixed-function look: the sun lights the ground, whose layer is projected from above.
        EXPECT_TRUE(anyCall(calls, "glEnable(GL_LIGHTING)"));
        EXPECT_TRUE(anyCall(calls, "glLightfv(GL_LIGHT0, GL_POSITION"));
        EXPECT_TRUE(anyCall(calls, "glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR)"));
        // Rock on steep slopes where the driver turns normals into texture coordinates.
        EXPECT_EQ(anyCall(calls, "glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP)"),
                  level.extensions.count("GL_VERSION_1_3") != 0);
        const std::string log = logText();
        EXPECT_NE(log.find("GLSL shaders are not available"), std::string::npos);
        if (level.extensions.count("GL_VERSION_1_5")) {
            EXPECT_EQ(log.find("class = \"error\""), std::string::npos) << log;
        }
    }
    if (!level.frameBuffers) {
        EXPECT_NE(logText().find("Frame buffer objects are not available"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, DriverLevelTest, testing::ValuesIn(kLevels),
                         [](const testing::TestParamInfo<DriverLevel>& info) {
                             std::string name;
                             for (const char c : std::string(info.param.name))
                                 if (std::isalnum(static_cast<unsigned char>(c)))
                                     name += c;
                             return name;
                         });
