#pragma once
// The input module: the devices and the named actions, updated once per frame before the game
// logic, and the output device whose rectangle and pixel size the mouse measures against.
// Created and owned by the application; reachable through qrInput() while it lives.

#include "core/qr_core_device.h"
#include "core/qr_core_object.h"

#include <string>
#include <utility>

class QRINTAActions;
class QRINTADevices;

class QRINTAMain : public QRObject {
public:
    explicit QRINTAMain(QRObject* owner);
    ~QRINTAMain() override;

    // Opens the devices and removes every action.
    void initialize() override;
    // Measures the mouse against the engine core's device of that name (none when missing).
    void bindToDevice(std::string_view name);
    // Polls the keyboard, the mouse and every joypad, then updates every action.
    void update();

    QRINTADevices* getDevices() const { return devices_.get(); }
    QRINTAActions* getActions() const { return actions_.get(); }
    // The bound device, null when unbound or when it has been removed since.
    QRCOREDevice* getOutputDevice() const;
    // The bound device's rectangle in screen pixels (left, top, bottom, right), else the screen's.
    QRCOREDevice::Bounds getOutputBounds() const;
    // One pixel in view units: 1 / (half the output height).
    float getPixelSize() const;

    // How far the player asks to look this frame, in mouse counts (x right, y up): the mouse's
    // motion times the sensitivity (y turned over when inverted), plus every controller's right
    // stick, which at full travel turns as fast as kStickCountsPerSecond over delta seconds.
    static constexpr float kStickCountsPerSecond = 600.0f;
    std::pair<float, float> getLookMotion(float delta) const;
    void setMouseSensitivity(float sensitivity) { sensitivity_ = sensitivity; }
    float getMouseSensitivity() const { return sensitivity_; }
    void setInvertY(bool invert) { invertY_ = invert; }
    bool isInvertY() const { return invertY_; }

private:
    QROwned<QRINTADevices> devices_;
    QROwned<QRINTAActions> actions_;
    std::string outputDeviceName_;
    float sensitivity_ = 1.0f;
    bool invertY_ = false;
};

// The process-wide input module, or null before its creation and after its destruction.
QRINTAMain* qrInput();
