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

float applyDeadZone(float value)
{
    constexpr float d = QRINTADevices::kControllerDeadZone;
    if (std::fabs(value) <= d)
        return 0.0f;
    const float scaled = value > 0.0f ? (value - d) / (1.0f - d) : (value + d) / (1.0f - d);
    return std::clamp(scaled, -1.0f, 1.0f);
}
} // namespace

QRINTAJoypad::QRINTAJoypad(QRObject* owner, int index)
    : QRINTADevice(owner, "QR INTA Joypad Device"), index_(index)
{
}

QRINTAJoypad::~QRINTAJoypad()
{
    releaseDevice();
}

bool QRINTAJoypad::setupDevice()
{
    joystick_ = SDL_WasInit(SDL_INIT_JOYSTICK) ? SDL_JoystickOpen(index_) : nullptr;
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
    if (joystick_)
        SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    buttons_.fill(0);
    x_ = y_ = 0.0f;
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
    x_ = applyDeadZone((static_cast<float>(readAxis(0)) - kAxisCentre) / kAxisCentre);
    y_ = applyDeadZone((kAxisCentre - static_cast<float>(readAxis(1))) / kAxisCentre);
    const int buttonCount = std::min(SDL_JoystickNumButtons(joystick_), kButtonCount);
    for (int n = 0; n < kButtonCount; ++n)
        buttons_[n] = n < buttonCount && SDL_JoystickGetButton(joystick_, n) ? 0x80 : 0;
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
    default: return false;
    }
}

bool QRINTAJoypad::isAnalog(int code) const
{
    return code == 2200 || code == 2201;
}

float QRINTAJoypad::getValue(int code) const
{
    if (!isPresent())
        return 0.0f;
    if (code == 2200)
        return x_;
    if (code == 2201)
        return y_;
    return 0.0f;
}
