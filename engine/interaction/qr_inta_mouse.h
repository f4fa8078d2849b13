#pragma once
// The system mouse: 8 buttons, relative motion since the previous poll, the wheel (120 per notch),
// and the cursor. While capture is on and the main window is in front, the motion is the mouse's
// raw motion (XInput2; the cursor's movement where the server lacks it) and every poll puts the
// cursor back to the centre of the output rectangle. Owned by the devices hub.

#include "interaction/qr_inta_device.h"
#include "interaction/qr_inta_platforminput.h"

#include <utility>

class QRINTAMouse : public QRINTADevice {
public:
    QRINTAMouse(QRObject* owner, QRINTAPlatformInput* platform);
    ~QRINTAMouse() override;

    // In the continuous game loop the mouse steers the camera: captured, cursor hidden.
    void initialize() override;

    bool setupDevice() override;
    void releaseDevice() override;
    void poll() override;
    bool isPressed(int code) const override;
    bool isAnalog(int code) const override;
    float getValue(int code) const override;

    void setCaptureMouse(bool capture) { captureMouse_ = capture; }
    bool getCaptureMouse() const { return captureMouse_; }
    void showCursor(bool show);

    // The cursor about the output rectangle's centre in view units (half its height is 1, y up).
    std::pair<float, float> getCursorView() const;
    // The cursor in output pixels from the rectangle's lower-left corner.
    std::pair<int, int> getCursorPixels() const;

    // The raw values of the last poll: x motion, y motion (up positive), wheel.
    int getMotionX() const { return motionX_; }
    int getMotionY() const { return motionY_; }
    int getWheel() const { return wheel_; }

private:
    QRINTAPlatformInput* platform_;
    QRINTAPlatformInput::ButtonState buttons_{};
    std::pair<int, int> lastCursor_{};
    int motionX_ = 0;
    int motionY_ = 0;
    int wheel_ = 0;
    float scaledX_ = 0.0f;
    float scaledY_ = 0.0f;
    bool captureMouse_ = false;
};
