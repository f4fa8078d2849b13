#include "core/qr_util_main.h"

#include "core/qr_core_log.h"

#include <algorithm>

namespace {
QRUTILMain* gUtilities = nullptr;
}

QRUTILMain::QRUTILMain(QRObject* owner) : QRObject(owner, "QR UTIL Main")
{
    gUtilities = this;
    dialogs_ = qrNew<QRUTILDialogs>(this);
}

QRUTILMain::~QRUTILMain()
{
    dialogs_.reset();
    if (gUtilities == this)
        gUtilities = nullptr;
}

void QRUTILMain::initialize()
{
    dialogs_->initialize();
    if (auto* log = qrLog())
        log->logPlain("Utility Classes Initialized!");
}

int QRUTILMain::clampInt(int value, int low, int high)
{
    return std::min(std::max(value, low), high);
}

float QRUTILMain::clampFloat(float value, float low, float high)
{
    return std::min(std::max(value, low), high);
}

QRUTILMain* qrUtilities()
{
    return gUtilities;
}
