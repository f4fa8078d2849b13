#include "core/qr_appl_main.h"

#include "core/qr_core_main.h"

namespace {
QRAPPLMain* gApplication = nullptr;
}

QRAPPLMain::QRAPPLMain(std::string_view name) : QRObject(nullptr, name)
{
    gApplication = this;
}

QRAPPLMain::~QRAPPLMain()
{
    if (gApplication == this)
        gApplication = nullptr;
}

void QRAPPLMain::requestQuit()
{
    if (auto* core = qrCore())
        core->requestQuit();
    quitRequested_ = true;
}

QRAPPLMain* qrApplication()
{
    return gApplication;
}
