#include "interaction/qr_inta_devices.h"

#include "core/qr_core_log.h"
#include "interaction/qr_inta_joypad.h"
#include "interaction/qr_inta_keyboard.h"
#include "interaction/qr_inta_mouse.h"
#include "interaction/qr_inta_platforminput.h"
#include "resource/qr_resc_list.h"

#include <SDL.h>

namespace {
constexpr int kFirstMouseCode = 1000;
constexpr int kFirstJoypadCode = 2000;
constexpr int kLastJoypadCode = 9999;
constexpr int kCodesPerJoypad = 1000;
} // namespace

QRINTADevices::QRINTADevices(QRObject* owner) : QRObject(owner, "QR INTA Devices")
{
    joypads_ = qrNew<QRRESCList>(this, true);
}

QRINTADevices::~QRINTADevices()
{
    releaseDevices();
}

void QRINTADevices::initialize()
{
    QRObject::initialize();
    releaseDevices();
    if (!setupDirectInput())
        return;
    keyboard_ = qrNew<QRINTAKeyboard>(this, platform_.get());
    mouse_ = qrNew<QRINTAMouse>(this, platform_.get());
    mouse_->initialize();
    enumerateJoypads();
}

bool QRINTADevices::setupDirectInput()
{
    auto platform = qrNew<QRINTAPlatformInput>(this);
    if (!platform->isAvailable()) {
        reportError("setupDirectInput", "Could not create Direct Input object");
        return false;
    }
    platform_ = std::move(platform);
    if (auto* log = qrLog())
        log->logPlain("Direct Input initialized!");
    return true;
}

void QRINTADevices::enumerateJoypads()
{
    const int count = platform_->getControllerCount();
    for (int index = 0; index < count; ++index) {
        auto joypad = qrNew<QRINTAJoypad>(this, index);
        joypad->setDeadZone(deadZone_);
        joypads_->add(joypad.release());
    }
}

void QRINTADevices::followJoypads()
{
    if (!platform_ || !platform_->hasControllers())
        return;
    // Plugging in and out is noticed by SDL's device detection, which its update runs.
    SDL_JoystickUpdate();
    const int count = platform_->getControllerCount();
    const auto attached = [count](int instance) {
        for (int device = 0; device < count; ++device)
            if (SDL_JoystickGetDeviceInstanceID(device) == instance)
                return true;
        return false;
    };
    for (int i = joypads_->getCount() - 1; i >= 0; --i) {
        auto* joypad = static_cast<QRINTAJoypad*>(joypads_->get(i));
        if (joypad->isPresent() ? !joypad->isAttached() : !attached(joypad->getInstanceID()))
            joypads_->remove(joypad);
    }
    for (int device = 0; device < count; ++device) {
        const int instance = SDL_JoystickGetDeviceInstanceID(device);
        bool known = false;
        // One that could not be opened keeps its place, so it is not tried (and reported) again.
        for (QRObject* item : *joypads_)
            known = known || static_cast<QRINTAJoypad*>(item)->getInstanceID() == instance;
        if (known)
            continue;
        auto joypad = qrNew<QRINTAJoypad>(this, joypads_->getCount(), device);
        joypad->setDeadZone(deadZone_);
        joypads_->add(joypad.release());
    }
}

void QRINTADevices::setControllerDeadZone(float deadZone)
{
    deadZone_ = deadZone;
    for (QRObject* joypad : *joypads_)
        static_cast<QRINTAJoypad*>(joypad)->setDeadZone(deadZone);
}

void QRINTADevices::releaseDevices()
{
    keyboard_.reset();
    mouse_.reset();
    joypads_->clear();
    if (platform_) {
        platform_.reset();
        logDebug("Direct Input released");
    }
}

void QRINTADevices::poll()
{
    if (keyboard_)
        keyboard_->poll();
    if (mouse_)
        mouse_->poll();
    followJoypads();
    for (QRObject* joypad : *joypads_)
        static_cast<QRINTAJoypad*>(joypad)->poll();
}

QRINTADevice* QRINTADevices::findDeviceForCode(int code, int& localCode) const
{
    localCode = code;
    if (code < 0)
        return nullptr;
    if (code < kFirstMouseCode)
        return keyboard_.get();
    if (code < kFirstJoypadCode)
        return mouse_.get();
    if (code > kLastJoypadCode)
        return nullptr;
    const int index = (code - kFirstJoypadCode) / kCodesPerJoypad;
    localCode = (code - kFirstJoypadCode) % kCodesPerJoypad + kFirstJoypadCode;
    return index < getJoypadCount() ? getJoypad(index) : nullptr;
}

int QRINTADevices::getJoypadCount() const
{
    return joypads_->getCount();
}

QRINTAJoypad* QRINTADevices::getJoypad(int index) const
{
    return static_cast<QRINTAJoypad*>(joypads_->get(index));
}
