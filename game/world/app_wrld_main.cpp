#include "world/app_wrld_main.h"

#include "core/qr_appl_main.h"
#include "environment/app_envr_main.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_main.h"
#include "main/app_game_main.h"
#include "main/app_main_main.h"
#include "resource/qr_resc_imageprefetch.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_hud.h"
#include "world/app_wrld_light.h"
#include "world/app_wrld_models.h"
#include "world/app_wrld_postprocess.h"
#include "world/app_wrld_shadow.h"
#include "world/app_wrld_skybox.h"
#include "world/app_wrld_water.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

APPWRLDMain::APPWRLDMain(QRObject* owner) : QRObject(owner, "Game")
{
    environment_ = qrNew<APPENVRMain>(this);
    entities_ = qrNew<APPWRLDEntities>(this);
    camera_ = qrNew<APPWRLDCamera>(this);
    models_ = qrNew<APPWRLDModels>(this);
    light_ = qrNew<APPWRLDLight>(this);
    shadow_ = qrNew<APPWRLDShadow>(this);
    skybox_ = qrNew<APPWRLDSkybox>(this);
    postProcess_ = qrNew<APPWRLDPostProcess>(this);
    water_ = qrNew<APPWRLDWater>(this);
    hud_ = qrNew<APPWRLDHUD>(this);
    // The terrain projects the shadow map onto the ground.
    environment_->setShadow(shadow_.get());
}

APPWRLDMain::~APPWRLDMain()
{
    // The entities go before the environment, whose blocks they leave as they are destroyed.
    entities_.reset();
    environment_->setShadow(nullptr);
    camera_.reset();
    models_.reset();
    light_.reset();
    shadow_.reset();
    skybox_.reset();
    postProcess_.reset();
    environment_.reset();
    water_.reset();
    hud_.reset();
}

namespace {
// The folders of the pictures the world's parts load below, in the order they need them.
constexpr const char* kStartupPictureFolders[] = {"textures\\terrain", "textures\\particles", "textures\\models",
                                                  "textures\\skybox",  "textures\\water",     "fonts",
                                                  "textures\\ads"};

std::vector<std::string> startupPictures()
{
    std::vector<std::string> pictures;
    QRFILEMain* files = qrFile();
    if (!files)
        return pictures;
    for (const char* folder : kStartupPictureFolders) {
        std::vector<std::string> names;
        std::error_code ignored;
        const std::filesystem::path path = qrdrive::nativePath(files->resolveFolder(folder));
        for (const auto& entry : std::filesystem::directory_iterator(path, ignored)) {
            const std::string extension = entry.path().extension().string();
            if (entry.is_regular_file(ignored) && (extension == ".png" || extension == ".jpg"))
                names.push_back(std::string(folder) + "\\" + entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        pictures.insert(pictures.end(), names.begin(), names.end());
    }
    return pictures;
}
} // namespace

void APPWRLDMain::initialize()
{
    QRObject::initialize();
    // Decoding the pictures is most of what loading waits for; a worker decodes them ahead while
    // the parts set up and the areas load. What no part takes is dropped with the prefetch.
    auto prefetch = qrNew<QRRESCImagePrefetch>(this);
    prefetch->start(startupPictures(), true);
    step("Initialize Environment", [this] { environment_->initialize(); });
    step("Initialize Entities", [this] { entities_->initialize(); });
    step("Initialize Camera", [this] { camera_->initialize(); });
    step("Initialize Models", [this] { models_->initialize(); });
    step("Initialize Light", [this] { light_->initialize(); });
    step("Initialize Shadow Map", [this] { shadow_->initialize(); });
    step("Initialize Sky Box", [this] { skybox_->initialize(); });
    step("Initialize Post Process", [this] { postProcess_->initialize(); });
    step("Initialize Water", [this] { water_->initialize(); });
    step("Initialize HUD", [this] { hud_->initialize(); });
    loadWorld();
}

void APPWRLDMain::loadWorld()
{
    step("Load Areas", [this] { environment_->loadAreas(); });
    step("Count Papers", [this] { entities_->countPapers(); });
}

void APPWRLDMain::saveWorld()
{
    step("Save Areas", [this] { environment_->saveAreas(); });
}

void APPWRLDMain::update()
{
    step("Update Environment", [this] { environment_->update(); });
    step("Update Entities Near Camera", [this] { entities_->updateNearCamera(); });
    step("Update Camera", [this] { camera_->update(); });
    step("Update Light", [this] { light_->update(); });
    step("Update Sky Box", [this] { skybox_->update(); });
}

namespace {
// The frame's render passes, for both views. What the editor view does differently is said here
// and nowhere else: it draws terrain and entities in their editor form (under their own step
// names), and it has no post-processing and no heads-up display.
struct RenderPass {
    std::string_view gameName;
    std::string_view editorName; // empty: the pass is not part of the editor view
    void (*run)(APPWRLDMain& world, bool editor);
};

constexpr RenderPass kRenderPasses[] = {
    {"Shadow Map", "Shadow Map", [](APPWRLDMain& world, bool) { world.getShadow()->renderShadowMap(); }},
    {"Camera", "Camera", [](APPWRLDMain& world, bool) { world.getCamera()->apply(); }},
    {"Light", "Light", [](APPWRLDMain& world, bool) { world.getLight()->apply(); }},
    {"Environment", "Environment Editor",
     [](APPWRLDMain& world, bool editor) {
         if (editor)
             world.getEnvironment()->renderEditor();
         else
             world.getEnvironment()->render();
     }},
    // The sky fills only what the terrain left empty (see the sky box). It comes before the
    // entities and the water, since particles, sprites and water blend over what lies behind.
    {"Sky Box", "Sky Box", [](APPWRLDMain& world, bool) { world.getSkybox()->render(); }},
    {"Entities", "Entities Editor",
     [](APPWRLDMain& world, bool editor) {
         if (editor)
             world.getEntities()->renderEditor();
         else
             world.getEntities()->render();
     }},
    {"Water", "Water", [](APPWRLDMain& world, bool) { world.getWater()->render(); }},
    {"Post Process", "", [](APPWRLDMain& world, bool) { world.getPostProcess()->applyPostProcess(); }},
    // The heads-up display draws last, over everything.
    {"HUD", "", [](APPWRLDMain& world, bool) { world.getHUD()->render(); }},
};
} // namespace

void APPWRLDMain::renderView(View view)
{
    const bool editor = view == View::kEditor;
    for (const RenderPass& pass : kRenderPasses) {
        const std::string_view name = editor ? pass.editorName : pass.gameName;
        if (!name.empty())
            step(name, [this, &pass, editor] { pass.run(*this, editor); });
    }
}

APPWRLDMain* appWorld()
{
    auto* application = dynamic_cast<APPMAINMain*>(qrApplication());
    APPGAMEMain* game = application ? application->getGame() : nullptr;
    return game ? game->getWorld() : nullptr;
}
