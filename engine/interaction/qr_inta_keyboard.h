#pragma once
// The system keyboard as 256 key bytes in scan-code numbering (1 = Escape, 57 = Space, 200 = Up
// arrow, ...), plus the four arrow-pair codes 500 and 502..504. Owned by the devices hub.

#include "interaction/qr_inta_device.h"
#include "interaction/qr_inta_platforminput.h"

class QRINTAKeyboard : public QRINTADevice {
public:
    QRINTAKeyboard(QRObject* owner, QRINTAPlatformInput* platform);
    ~QRINTAKeyboard() override;

    bool setupDevice() override;
    void releaseDevice() override;
    void poll() override;
    bool isPressed(int code) const override;

    const QRINTAPlatformInput::KeyState& getKeys() const { return keys_; }

private:
    bool isKeyDown(int scanCode) const { return keys_[scanCode] != 0; }

    QRINTAPlatformInput* platform_;
    QRINTAPlatformInput::KeyState keys_{};
};
