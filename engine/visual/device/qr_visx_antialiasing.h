#pragma once
// Multisampling: probes the highest level the server offers and selects the level the primary
// context is built with (0 none, 1 "2x", 2 "4x", 3 "8x", 4 "16x"). Owned by the display manager.

#include "core/qr_core_object.h"

class QRVISXAntialiasing : public QRObject {
public:
    explicit QRVISXAntialiasing(QRObject* owner);
    void initialize() override { checkAntialiasing(); }

    void checkAntialiasing();
    // Rebuilds the primary context at its next activation when the level changes.
    void setAntialiasingQuality(int level);
    int getAntialiasingQuality() const { return quality_; }
    int getMaxQuality() const { return maxQuality_; }

private:
    int quality_ = 0;
    int maxQuality_ = 0;
};
