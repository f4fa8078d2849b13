#pragma once
// The input devices: the platform input edge, the keyboard, the mouse and one joypad per
// attached game controller, polled in that order. Controllers may be plugged in and out while
// the program runs: each poll drops the ones gone (later ones move up a position) and adds new
// ones at the end. Owned by the input module.

#include "core/qr_core_object.h"

class QRRESCList;
class QRINTADevice;
class QRINTAJoypad;
class QRINTAKeyboard;
class QRINTAMouse;
class QRINTAPlatformInput;

class QRINTADevices : public QRObject {
public:
    static constexpr float kControllerDeadZone = 0.3f;
    static constexpr float kMouseDirectionThreshold = 0.03f;
    static constexpr float kControllerDirectionThreshold = 0.3f;

    explicit QRINTADevices(QRObject* owner);
    ~QRINTADevices() override;

    // Closes whatever is open, then opens the platform input, the keyboard, the mouse and the
    // attached controllers.
    void initialize() override;
    void releaseDevices();
    void poll();

    // The controllers' dead zone (0.3 unless set), for those attached now and later.
    void setControllerDeadZone(float deadZone);
    float getControllerDeadZone() const { return deadZone_; }

    // The device that answers a binding code, with the code as that device numbers it
    // (controller k's codes 2000 + 1000k + n become 2000 + n); null when there is none.
    QRINTADevice* findDeviceForCode(int code, int& localCode) const;

    QRINTAPlatformInput* getPlatformInput() const { return platform_.get(); }
    QRINTAKeyboard* getKeyboard() const { return keyboard_.get(); }
    QRINTAMouse* getMouse() const { return mouse_.get(); }
    int getJoypadCount() const;
    // Throws std::out_of_range outside 0..count-1.
    QRINTAJoypad* getJoypad(int index) const;

private:
    bool setupDirectInput();
    void enumerateJoypads();
    // Controllers unplugged or plugged in since the last poll.
    void followJoypads();

    QROwned<QRINTAPlatformInput> platform_;
    QROwned<QRINTAKeyboard> keyboard_;
    QROwned<QRINTAMouse> mouse_;
    QROwned<QRRESCList> joypads_;
    float deadZone_ = kControllerDeadZone;
};
