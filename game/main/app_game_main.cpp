#include "main/app_game_main.h"

APPGAMEMain::APPGAMEMain(QRObject* owner) : QRObject(owner, "Game") {}

void APPGAMEMain::update() {}

void APPGAMEMain::render() {}

void APPGAMEMain::renderEditor() {}
