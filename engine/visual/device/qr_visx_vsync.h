#pragma once
// Vertical synchronisation through the GLX swap-control extensions. The swap interval belongs to
// the drawable that is current, so the setting is re-applied every frame. Owned by the display manager.

#include "core/qr_core_object.h"

class QRVISXVSync : public QRObject {
public:
    explicit QRVISXVSync(QRObject* owner);
    void initialize() override;

    void setVSync(bool enabled);
    void reapplyVSync() { setVSync(enabled_); }
    bool isEnabled() const { return enabled_; }
    // Whether the setting reaches the driver at all: false without a swap-control extension.
    bool isSupported() const { return swapControl_ != SwapControl::None; }

private:
    enum class SwapControl { None, EXT, MESA };
    bool enabled_ = false;
    SwapControl swapControl_ = SwapControl::None;
};
