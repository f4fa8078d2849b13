#pragma once
// Vertical synchronisation through the GLX swap-control extension. The swap interval belongs to
// the drawable that is current, so the setting is re-applied every frame. Owned by the display manager.

#include "core/qr_core_object.h"

class QRVISXVSync : public QRObject {
public:
    explicit QRVISXVSync(QRObject* owner);
    void initialize() override;

    void setVSync(bool enabled);
    void reapplyVSync() { setVSync(enabled_); }
    bool isEnabled() const { return enabled_; }

private:
    bool enabled_ = false;
};
