#include "core/qr_util_main.h"

#include "core/qr_core_log.h"
#include "core/qr_util_convert.h"
#include "core/qr_util_forms.h"
#include "core/qr_util_strings.h"

#include <algorithm>

namespace {
QRUTILMain* gUtilities = nullptr;
}

QRUTILMain::QRUTILMain(QRObject* owner) : QRObject(owner, "QR UTIL Main")
{
    gUtilities = this;
    convert_ = qrNew<QRUTILConvert>(this);
    strings_ = qrNew<QRUTILStrings>(this);
    forms_ = qrNew<QRUTILForms>(this);
    dialogs_ = qrNew<QRUTILDialogs>(this);
}

QRUTILMain::~QRUTILMain()
{
    convert_.reset();
    strings_.reset();
    forms_.reset();
    dialogs_.reset();
    if (gUtilities == this)
        gUtilities = nullptr;
}

void QRUTILMain::initialize()
{
    convert_->initialize();
    strings_->initialize();
    forms_->initialize();
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

Vector3 QRUTILMain::minVector3(const Vector3& a, const Vector3& b)
{
    return {minFloat(a.x, b.x), minFloat(a.y, b.y), minFloat(a.z, b.z)};
}

Vector3 QRUTILMain::maxVector3(const Vector3& a, const Vector3& b)
{
    return {maxFloat(a.x, b.x), maxFloat(a.y, b.y), maxFloat(a.z, b.z)};
}

QRUTILMain* qrUtilities()
{
    return gUtilities;
}
