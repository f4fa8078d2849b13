#include "visual/device/qr_visx_displaymanager.h"

#include "visual/device/qr_visx_antialiasing.h"
#include "visual/device/qr_visx_gammacorrection.h"
#include "visual/device/qr_visx_resolution.h"
#include "visual/device/qr_visx_vsync.h"

QRVISXDisplayManager::QRVISXDisplayManager(QRObject* owner) : QRObject(owner, "QR VISX Display Manager")
{
    resolution_ = qrNew<QRVISXResolution>(this);
    gammaCorrection_ = qrNew<QRVISXGammaCorrection>(this);
    vSync_ = qrNew<QRVISXVSync>(this);
    antialiasing_ = qrNew<QRVISXAntialiasing>(this);
}

QRVISXDisplayManager::~QRVISXDisplayManager()
{
    resolution_.reset();
    gammaCorrection_.reset();
    vSync_.reset();
    antialiasing_.reset();
}

void QRVISXDisplayManager::initialize()
{
    resolution_->initialize();
    gammaCorrection_->initialize();
    vSync_->initialize();
    antialiasing_->initialize();
}
