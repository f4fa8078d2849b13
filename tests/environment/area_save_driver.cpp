// area_save_driver: starts the engine on a program folder, loads the world and saves it the way the
// game does, for the test that kills a program while it saves. No display needed: the visual
// module draws into the GL recorder, so the models and textures the areas name load as in the game.
//   area_save_driver <program folder> load             loads the world
//   area_save_driver <program folder> save <variant>   loads it, reshapes the terrain, saves it
// Prints "loaded <errors> <leftovers>" once the world is loaded (engine errors so far, temporary
// files of unfinished saves still in the world folder), then "saving" right before the save and
// "saved <milliseconds> <errors>" after it. Exit code 0 when no engine error was reported.

#include "gl_recorder.h"

#include "core/qr_core_main.h"
#include "core/qr_core_messagebox.h"
#include "core/qr_core_programfolder.h"
#include "environment/app_envr_main.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/geometry/qr_visx_vertexbuffermanager.h"
#include "world/app_wrld_main.h"

#include <QApplication>
#include <QWidget>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

int countLeftovers(const std::filesystem::path& folder)
{
    int count = 0;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "world", ignored))
        count += entry.path().extension() == ".saving" ? 1 : 0;
    return count;
}

// Every stored vertex gets a height that depends on the variant alone, so that saving a variant
// gives the same bytes whatever the world held before.
void reshape(APPENVRMain& environment, int variant)
{
    for (int x = 0; x < APPENVRMain::kStoredVertexCount; ++x)
        for (int z = 0; z < APPENVRMain::kStoredVertexCount; ++z)
            environment.setHeight(x, z, static_cast<float>(variant) * 3.0f + std::sin(x * 0.05f + variant) * 10.0f +
                                            std::cos(z * 0.03f) * 5.0f);
    environment.updateNormals();
    environment.updateBounds();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || (std::string(argv[2]) == "save" && argc < 4)) {
        std::fprintf(stderr, "usage: area_save_driver <program folder> load | save <variant>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const bool save = std::string(argv[2]) == "save";
    const int variant = save ? std::atoi(argv[3]) : 0;

    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    int errors = 0;
    qrSetProgramFolder(folder);
    qrSetMessagePresenter([&errors](QRMessageKind, const std::string& text) {
        ++errors;
        std::fprintf(stderr, "engine error: %s\n", text.c_str());
    });
    QWidget mainForm;
    QRCOREMain* core = qrNew<QRCOREMain>(&mainForm, 2).release();
    core->initialize();
    GLRecorder gl;
    gl.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5", "GL_VERSION_2_0",
                      "GL_ARB_multitexture", "GL_ARB_texture_cube_map", "GL_EXT_blend_color",
                      "GL_EXT_blend_minmax", "GL_ARB_shader_objects", "GL_ARB_vertex_shader",
                      "GL_ARB_fragment_shader", "GL_EXT_vertex_array", "GL_ARB_vertex_buffer_object"});
    gl.setInteger(GL_MAX_TEXTURE_UNITS, 4);
    gl.setInteger(GL_MAX_TEXTURE_SIZE, 2048);
    auto visual = qrNew<QRVISXMain>(nullptr);
    visual->getExtensionManager()->initialize();
    visual->getVertexBufferManager()->initialize();
    visual->getMaterialManager()->initialize();
    {
        auto world = qrNew<APPWRLDMain>(nullptr);
        world->getEnvironment()->initialize();
        world->loadWorld();
        std::printf("loaded %d %d\n", errors, countLeftovers(folder));
        std::fflush(stdout);
        if (save) {
            reshape(*world->getEnvironment(), variant);
            std::printf("saving\n");
            std::fflush(stdout);
            const auto start = std::chrono::steady_clock::now();
            world->saveWorld();
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
            std::printf("saved %lld %d\n", static_cast<long long>(elapsed.count()), errors);
            std::fflush(stdout);
        }
    }
    visual.reset();
    QRDestroy()(core);
    return errors == 0 ? 0 : 1;
}
