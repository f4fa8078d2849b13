#include "editor/app_edit_main.h"

APPEDITMain::APPEDITMain(QRObject* owner) : QRObject(owner, "Editor") {}

void APPEDITMain::showTools()
{
    toolsShown_ = true;
}

void APPEDITMain::hideTools()
{
    toolsShown_ = false;
}

void APPEDITMain::toggleTools()
{
    toolsShown_ ? hideTools() : showTools();
}

void APPEDITMain::saveArea() {}

void APPEDITMain::saveWorld() {}

void APPEDITMain::update() {}

void APPEDITMain::renderOverlay() {}
