#include "world/app_wrld_main.h"

#include "core/qr_appl_main.h"
#include "environment/app_envr_main.h"
#include "main/app_game_main.h"
#include "main/app_main_main.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_hud.h"
#include "world/app_wrld_light.h"
#include "world/app_wrld_models.h"
#include "world/app_wrld_postprocess.h"
#include "world/app_wrld_shadow.h"
#include "world/app_wrld_skybox.h"
#include "world/app_wrld_water.h"

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

void APPWRLDMain::initialize()
{
    QRObject::initialize();
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

void APPWRLDMain::render()
{
    step("Shadow Map", [this] { shadow_->renderShadowMap(); });
    step("Camera", [this] { camera_->apply(); });
    step("Light", [this] { light_->apply(); });
    step("Sky Box", [this] { skybox_->render(); });
    step("Environment", [this] { environment_->render(); });
    step("Entities", [this] { entities_->render(); });
    step("Water", [this] { water_->render(); });
    step("Post Process", [this] { postProcess_->applyPostProcess(); });
    // The heads-up display draws last, over everything.
    step("HUD", [this] { hud_->render(); });
}

void APPWRLDMain::renderEditor()
{
    step("Shadow Map", [this] { shadow_->renderShadowMap(); });
    step("Camera", [this] { camera_->apply(); });
    step("Light", [this] { light_->apply(); });
    step("Sky Box", [this] { skybox_->render(); });
    step("Environment Editor", [this] { environment_->renderEditor(); });
    step("Entities Editor", [this] { entities_->renderEditor(); });
    step("Water", [this] { water_->render(); });
}

APPWRLDMain* appWorld()
{
    auto* application = dynamic_cast<APPMAINMain*>(qrApplication());
    APPGAMEMain* game = application ? application->getGame() : nullptr;
    return game ? game->getWorld() : nullptr;
}
