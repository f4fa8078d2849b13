#pragma once
// Saves the screen's gamma ramps at start-up and writes them back at shut-down, so that nothing
// the game does to them outlives it. Owned by the display manager.

#include "core/qr_core_object.h"
#include "visual/device/qr_visx_xrandr.h"

#include <vector>

class QRVISXGammaCorrection : public QRObject {
public:
    explicit QRVISXGammaCorrection(QRObject* owner);
    ~QRVISXGammaCorrection() override;
    void initialize() override;

    const std::vector<qrxrandr::GammaRamp>& getSavedRamps() const { return saved_; }

private:
    // Kept in full precision: writing back only the high bytes would itself change the ramp.
    std::vector<qrxrandr::GammaRamp> saved_;
};
