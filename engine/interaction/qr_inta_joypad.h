#pragma once
// One game controller. One that SDL's mapping database knows is read in the standard layout
// (buttons 0 A, 1 B, 2 X, 3 Y, 4 Back, 5 Guide, 6 Start, 7/8 stick clicks, 9/10 shoulders,
// 11..14 d-pad; the left stick as the x and y axes; the right stick and the triggers besides);
// any other stays a plain joystick: its buttons in its own order, its first two axes. Axes are
// scaled to -1..1 (y up) with a dead zone. Local codes are 2000 + n: buttons n = 0..127, axes
// 200/201, left stick directions 202..209, right stick 210/211, triggers 212/213 (pressed past
// half way), right stick directions 214..217. Owned by the devices hub's joypad list.

#include "interaction/qr_inta_device.h"

#include <array>
#include <cstdint>

struct _SDL_Joystick;
struct _SDL_GameController;

class QRINTAJoypad : public QRINTADevice {
public:
    static constexpr int kButtonCount = 128;
    static constexpr int kAxisX = 200;
    static constexpr int kAxisY = 201;
    static constexpr int kRightX = 210;
    static constexpr int kRightY = 211;
    static constexpr int kLeftTrigger = 212;
    static constexpr int kRightTrigger = 213;
    static constexpr int kRightStickLeft = 214;
    static constexpr int kLastCode = 217;
    static constexpr float kDefaultDeadZone = 0.3f;

    // index: the controller's position in the enumeration; deviceIndex: SDL's index of the device
    // (the same at start-up; a controller plugged in later gets the next free position).
    QRINTAJoypad(QRObject* owner, int index, int deviceIndex = -1);
    ~QRINTAJoypad() override;

    bool setupDevice() override;
    void releaseDevice() override;
    void poll() override;
    bool isPressed(int code) const override;
    bool isAnalog(int code) const override;
    float getValue(int code) const override;

    int getIndex() const { return index_; }
    // Read through the mapping database in the standard layout.
    bool isMapped() const { return controller_ != nullptr; }
    // Still plugged in.
    bool isAttached() const;
    void setDeadZone(float deadZone) { deadZone_ = deadZone; }
    float getDeadZone() const { return deadZone_; }
    float getRightX() const { return rightX_; }
    float getRightY() const { return rightY_; }
    float getLeftTrigger() const { return leftTrigger_; }
    float getRightTrigger() const { return rightTrigger_; }
    int getInstanceID() const { return instanceID_; }
    float getX() const { return x_; }
    float getY() const { return y_; }

private:
    int readAxis(int axis) const;
    void pollMapped();
    float applyDeadZone(float value) const;

    int index_;
    int deviceIndex_;
    int instanceID_ = -1;
    float deadZone_ = kDefaultDeadZone;
    _SDL_Joystick* joystick_ = nullptr;
    _SDL_GameController* controller_ = nullptr;
    std::array<std::uint8_t, kButtonCount> buttons_{};
    float x_ = 0.0f;
    float y_ = 0.0f;
    float rightX_ = 0.0f;
    float rightY_ = 0.0f;
    float leftTrigger_ = 0.0f;
    float rightTrigger_ = 0.0f;
};
