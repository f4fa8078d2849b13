#pragma once
// One game controller, read through SDL's joystick subsystem: 128 buttons and the x and y axes,
// scaled to -1..1 (y up) with a dead zone. Its local codes are 2000 + n: buttons n = 0..127,
// axes 200/201, directions 202..209. Owned by the devices hub's joypad list.

#include "interaction/qr_inta_device.h"

#include <array>
#include <cstdint>

struct _SDL_Joystick;

class QRINTAJoypad : public QRINTADevice {
public:
    static constexpr int kButtonCount = 128;

    // index: the controller's position in the enumeration, which is also SDL's device index.
    QRINTAJoypad(QRObject* owner, int index);
    ~QRINTAJoypad() override;

    bool setupDevice() override;
    void releaseDevice() override;
    void poll() override;
    bool isPressed(int code) const override;
    bool isAnalog(int code) const override;
    float getValue(int code) const override;

    int getIndex() const { return index_; }
    int getInstanceID() const { return instanceID_; }
    float getX() const { return x_; }
    float getY() const { return y_; }

private:
    int readAxis(int axis) const;

    int index_;
    int instanceID_ = -1;
    _SDL_Joystick* joystick_ = nullptr;
    std::array<std::uint8_t, kButtonCount> buttons_{};
    float x_ = 0.0f;
    float y_ = 0.0f;
};
