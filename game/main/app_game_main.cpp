#include "main/app_game_main.h"

#include "world/app_wrld_main.h"

APPGAMEMain::APPGAMEMain(QRObject* owner) : QRObject(owner, "Game"), world_(qrNew<APPWRLDMain>(this)) {}

APPGAMEMain::~APPGAMEMain() = default;

void APPGAMEMain::initialize()
{
    QRObject::initialize();
    world_->initialize();
}

void APPGAMEMain::update()
{
    world_->update();
}

void APPGAMEMain::render()
{
    world_->render();
}

void APPGAMEMain::renderEditor()
{
    world_->renderEditor();
}
