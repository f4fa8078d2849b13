#include "visual/state/qr_visx_glstateset.h"

QRVISXGLStateSet::QRVISXGLStateSet(QRObject* owner) : QRRESCMain(owner, "QR VISX GL State Set")
{
    clear();
}

void QRVISXGLStateSet::assign(const QRObject& source)
{
    if (const auto* set = dynamic_cast<const QRVISXGLStateSet*>(&source))
        state_ = set->state_;
}
