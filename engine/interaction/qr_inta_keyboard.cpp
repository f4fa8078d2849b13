#include "interaction/qr_inta_keyboard.h"

#include "core/qr_core_log.h"

namespace {
constexpr int kLastKeyCode = 237;
constexpr int kUp = 200;
constexpr int kLeft = 203;
constexpr int kRight = 205;
constexpr int kDown = 208;
} // namespace

QRINTAKeyboard::QRINTAKeyboard(QRObject* owner, QRINTAPlatformInput* platform)
    : QRINTADevice(owner, "QR INTA Keyboard Device"), platform_(platform)
{
}

QRINTAKeyboard::~QRINTAKeyboard()
{
    releaseDevice();
}

bool QRINTAKeyboard::setupDevice()
{
    if (!platform_ || !platform_->isAvailable()) {
        reportError("setupDevice", "Could not create keyboard object");
        return false;
    }
    if (auto* log = qrLog())
        log->logPlain("Keyboard initialized!");
    return true;
}

void QRINTAKeyboard::releaseDevice()
{
    keys_.fill(0);
    if (markReleased())
        logDebug("Keyboard released");
}

void QRINTAKeyboard::poll()
{
    if (isPresent())
        platform_->readKeys(keys_);
}

bool QRINTAKeyboard::isPressed(int code) const
{
    if (!isPresent())
        return false;
    if (code >= 1 && code <= kLastKeyCode)
        return isKeyDown(code);
    switch (code) {
    case 500: return isKeyDown(kUp) && isKeyDown(kLeft);
    case 502: return isKeyDown(kUp) && isKeyDown(kRight);
    case 503: return isKeyDown(kDown) && isKeyDown(kLeft);
    case 504: return isKeyDown(kDown) && isKeyDown(kRight);
    default: return false;
    }
}
