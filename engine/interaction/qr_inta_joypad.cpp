#include "interaction/qr_inta_joypad.h"

#include "core/qr_core_log.h"
#include "interaction/qr_inta_devices.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {
// Axis positions are taken in the 0..65535 range; this is the centre the scaling assumes.
constexpr float kAxisCentre = 32678.0f;
constexpr int kRawCentre = 32768;
constexpr float kTriggerPressed = 0.5f;

float scaleX(int raw)
{
    return (static_cast<float>(raw) - kAxisCentre) / kAxisCentre;
}

float scaleY(int raw)
{
    return (kAxisCentre - static_cast<float>(raw)) / kAxisCentre;
}
} // namespace

QRINTAJoypad::QRINTAJoypad(QRObject* owner, int index, int deviceIndex)
    : QRINTADevice(owner, "QR INTA Joypad Device"), index_(index), deviceIndex_(deviceIndex < 0 ? index : deviceIndex)
{
}

float QRINTAJoypad::applyDeadZone(float value) const
{
    const float d = std::clamp(deadZone_, 0.0f, 0.95f);
    if (std::fabs(value) <= d)
        return 0.0f;
    const float scaled = value > 0.0f ? (value - d) / (1.0f - d) : (value + d) / (1.0f - d);
    return std::clamp(scaled, -1.0f, 1.0f);
}

bool QRINTAJoypad::isAttached() const
{
    return joystick_ && SDL_JoystickGetAttached(joystick_);
}

QRINTAJoypad::~QRINTAJoypad()
{
    releaseDevice();
}

bool QRINTAJoypad::setupDevice()
{
    instanceID_ = SDL_WasInit(SDL_INIT_JOYSTICK) ? SDL_JoystickGetDeviceInstanceID(deviceIndex_) : -1;
    // A controller the mapping database knows is read in the standard layout.
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) && SDL_IsGameController(deviceIndex_)) {
        controller_ = SDL_GameControllerOpen(deviceIndex_);
        joystick_ = controller_ ? SDL_GameControllerGetJoystick(controller_) : nullptr;
    }
    if (!joystick_)
        joystick_ = SDL_WasInit(SDL_INIT_JOYSTICK) ? SDL_JoystickOpen(deviceIndex_) : nullptr;
    if (!joystick_) {
        reportError("setupDevice", "Could not create joypad object");
        return false;
    }
    instanceID_ = SDL_JoystickInstanceID(joystick_);
    if (auto* log = qrLog())
        log->logPlain("Joypad " + std::to_string(index_) + " initialized!");
    return true;
}

void QRINTAJoypad::releaseDevice()
{
    if (controller_)
        SDL_GameControllerClose(controller_);
    else if (joystick_)
        SDL_JoystickClose(joystick_);
    controller_ = nullptr;
    joystick_ = nullptr;
    buttons_.fill(0);
    x_ = y_ = rightX_ = rightY_ = leftTrigger_ = rightTrigger_ = 0.0f;
    if (markReleased())
        logDebug("Joypad " + std::to_string(index_) + " released");
}

int QRINTAJoypad::readAxis(int axis) const
{
    // A controller without this axis reads as centred.
    if (axis >= SDL_JoystickNumAxes(joystick_))
        return kRawCentre;
    return SDL_JoystickGetAxis(joystick_, axis) + kRawCentre;
}

void QRINTAJoypad::poll()
{
    if (!isPresent())
        return;
    SDL_JoystickUpdate();
    if (controller_) {
        pollMapped();
        return;
    }
    x_ = applyDeadZone(scaleX(readAxis(0)));
    y_ = applyDeadZone(scaleY(readAxis(1)));
    const int buttonCount = std::min(SDL_JoystickNumButtons(joystick_), kButtonCount);
    for (int n = 0; n < kButtonCount; ++n)
        buttons_[n] = n < buttonCount && SDL_JoystickGetButton(joystick_, n) ? 0x80 : 0;
}

void QRINTAJoypad::pollMapped()
{
    const auto axis = [this](SDL_GameControllerAxis which) {
        return SDL_GameControllerGetAxis(controller_, which) + kRawCentre;
    };
    x_ = applyDeadZone(scaleX(axis(SDL_CONTROLLER_AXIS_LEFTX)));
    y_ = applyDeadZone(scaleY(axis(SDL_CONTROLLER_AXIS_LEFTY)));
    rightX_ = applyDeadZone(scaleX(axis(SDL_CONTROLLER_AXIS_RIGHTX)));
    rightY_ = applyDeadZone(scaleY(axis(SDL_CONTROLLER_AXIS_RIGHTY)));
    // Triggers rest at 0 and run to 32767.
    leftTrigger_ = applyDeadZone(static_cast<float>(axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT) - kRawCentre) / 32767.0f);
    rightTrigger_ = applyDeadZone(static_cast<float>(axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT) - kRawCentre) / 32767.0f);
    for (int n = 0; n < kButtonCount; ++n)
        buttons_[n] = n < SDL_CONTROLLER_BUTTON_MAX &&
                              SDL_GameControllerGetButton(controller_, static_cast<SDL_GameControllerButton>(n))
                          ? 0x80
                          : 0;
}

bool QRINTAJoypad::isPressed(int code) const
{
    if (!isPresent())
        return false;
    const int n = code - 2000;
    if (n >= 0 && n < kButtonCount)
        return buttons_[n] != 0;
    constexpr float j = QRINTADevices::kControllerDirectionThreshold;
    const bool left = x_ < -j;
    const bool right = x_ > j;
    const bool up = y_ > j;
    const bool down = y_ < -j;
    switch (n) {
    case 202: return left;
    case 203: return right;
    case 204: return up;
    case 205: return down;
    case 206: return up && left;
    case 207: return up && right;
    case 208: return down && left;
    case 209: return down && right;
    case kLeftTrigger: return leftTrigger_ > kTriggerPressed;
    case kRightTrigger: return rightTrigger_ > kTriggerPressed;
    case kRightStickLeft: return rightX_ < -j;
    case kRightStickLeft + 1: return rightX_ > j;
    case kRightStickLeft + 2: return rightY_ > j;
    case kRightStickLeft + 3: return rightY_ < -j;
    default: return false;
    }
}

bool QRINTAJoypad::isAnalog(int code) const
{
    const int n = code - 2000;
    return n == kAxisX || n == kAxisY || (n >= kRightX && n <= kRightTrigger);
}

float QRINTAJoypad::getValue(int code) const
{
    if (!isPresent())
        return 0.0f;
    if (code == 2200)
        return x_;
    if (code == 2201)
        return y_;
    switch (code - 2000) {
    case kRightX: return rightX_;
    case kRightY: return rightY_;
    case kLeftTrigger: return leftTrigger_;
    case kRightTrigger: return rightTrigger_;
    default: return 0.0f;
    }
}
