#include "visual/device/qr_visx_gammacorrection.h"

#include "visual/device/rendercontexts/qr_visx_glx.h"

QRVISXGammaCorrection::QRVISXGammaCorrection(QRObject* owner) : QRObject(owner, "QR VISX Gamma Correction") {}

QRVISXGammaCorrection::~QRVISXGammaCorrection()
{
    if (!saved_.empty())
        qrxrandr::writeGammaRamps(qrglx::display(), saved_);
}

void QRVISXGammaCorrection::initialize()
{
    saved_ = qrxrandr::readGammaRamps(qrglx::display());
}
