#pragma once
// The display settings: resolution, gamma ramps, v-sync and antialiasing, created, initialised and
// freed in that order. Owned by the visual module.

#include "core/qr_core_object.h"

class QRVISXResolution;
class QRVISXGammaCorrection;
class QRVISXVSync;
class QRVISXAntialiasing;

class QRVISXDisplayManager : public QRObject {
public:
    explicit QRVISXDisplayManager(QRObject* owner);
    ~QRVISXDisplayManager() override;
    void initialize() override;

    QRVISXResolution* getResolution() const { return resolution_.get(); }
    QRVISXGammaCorrection* getGammaCorrection() const { return gammaCorrection_.get(); }
    QRVISXVSync* getVSync() const { return vSync_.get(); }
    QRVISXAntialiasing* getAntialiasing() const { return antialiasing_.get(); }

private:
    QROwned<QRVISXResolution> resolution_;
    QROwned<QRVISXGammaCorrection> gammaCorrection_;
    QROwned<QRVISXVSync> vSync_;
    QROwned<QRVISXAntialiasing> antialiasing_;
};
