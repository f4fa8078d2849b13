#include "interaction/qr_inta_mouse.h"

#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_main.h"

namespace {
// The wheel reads 120 per notch; one notch is worth about 1.0.
constexpr float kWheelScale = 0.008333f;

QRCOREDevice::Bounds outputBounds()
{
    if (auto* input = qrInput())
        return input->getOutputBounds();
    return QRINTAPlatformInput::getScreenBounds();
}

float outputPixelSize()
{
    if (auto* input = qrInput())
        return input->getPixelSize();
    return QRINTAPlatformInput::getScreenPixelSize();
}

bool isButtonCode(int code)
{
    return code >= 1000 && code < 1000 + QRINTAPlatformInput::kButtonCount;
}
} // namespace

QRINTAMouse::QRINTAMouse(QRObject* owner, QRINTAPlatformInput* platform)
    : QRINTADevice(owner, "QR INTA Mouse Device"), platform_(platform)
{
}

QRINTAMouse::~QRINTAMouse()
{
    releaseDevice();
}

void QRINTAMouse::initialize()
{
    QRINTADevice::initialize();
    if (auto* core = qrCore(); core && core->getLoopMode() == 2) {
        setCaptureMouse(true);
        showCursor(false);
    }
}

bool QRINTAMouse::setupDevice()
{
    if (!platform_ || !platform_->isAvailable()) {
        reportError("setupDevice", "Could not create mouse object");
        return false;
    }
    // Motion counts from where the cursor is now, not from the screen's corner.
    lastCursor_ = platform_->getCursorPosition();
    if (auto* log = qrLog())
        log->logPlain("Mouse initialized!");
    return true;
}

void QRINTAMouse::releaseDevice()
{
    buttons_.fill(0);
    motionX_ = motionY_ = wheel_ = 0;
    scaledX_ = scaledY_ = 0.0f;
    if (markReleased()) {
        showCursor(true);
        logDebug("Mouse released");
    }
}

void QRINTAMouse::poll()
{
    if (!isPresent())
        return;
    platform_->readButtons(buttons_);
    const auto cursor = platform_->getCursorPosition();
    int dx = cursor.first - lastCursor_.first;
    int dy = cursor.second - lastCursor_.second;
    lastCursor_ = cursor;
    // Taken every poll, so that motion while not capturing never arrives later in one burst.
    int rawX = 0, rawY = 0;
    const bool raw = platform_->takeRawMotion(rawX, rawY);
    const bool capturing = captureMouse_ && platform_->isMainWindowInFront();
    if (capturing && raw) {
        // Mouse look: the mouse's own counts, not the accelerated cursor.
        dx = rawX;
        dy = rawY;
    }
    motionX_ = dx;
    motionY_ = -dy;
    wheel_ = platform_->takeWheel();

    const float pixelSize = outputPixelSize();
    scaledX_ = static_cast<float>(motionX_) * pixelSize;
    scaledY_ = static_cast<float>(motionY_) * pixelSize;

    if (capturing) {
        const auto [left, top, bottom, right] = outputBounds();
        const std::pair<int, int> centre{left + (right - left) / 2, top + (bottom - top) / 2};
        platform_->setCursorPosition(centre.first, centre.second);
        // Read back rather than assumed: where the window system ignores the warp, the cursor has
        // stayed put, and measuring from the centre would turn that offset into motion every poll.
        lastCursor_ = platform_->getCursorPosition();
    }
}

bool QRINTAMouse::isPressed(int code) const
{
    if (!isPresent())
        return false;
    if (isButtonCode(code))
        return buttons_[code - 1000] != 0;
    constexpr float t = QRINTADevices::kMouseDirectionThreshold;
    const bool left = scaledX_ < -t;
    const bool right = scaledX_ > t;
    const bool up = scaledY_ > t;
    const bool down = scaledY_ < -t;
    switch (code) {
    case 1102: return left;
    case 1103: return right;
    case 1104: return up;
    case 1105: return down;
    case 1106: return left && up;
    case 1107: return right && up;
    case 1108: return left && down;
    case 1109: return right && down;
    case 1111: return wheel_ > 0;
    case 1112: return wheel_ < 0;
    default: return false;
    }
}

bool QRINTAMouse::isAnalog(int code) const
{
    return code == 1100 || code == 1101 || code == 1110 || code == 1111 || code == 1112;
}

float QRINTAMouse::getValue(int code) const
{
    if (!isPresent())
        return 0.0f;
    switch (code) {
    case 1100: return scaledX_;
    case 1101: return scaledY_;
    case 1110:
    case 1111: return static_cast<float>(wheel_) * kWheelScale;
    case 1112: return -static_cast<float>(wheel_) * kWheelScale;
    default: return 0.0f;
    }
}

void QRINTAMouse::showCursor(bool show)
{
    if (platform_)
        platform_->setCursorVisible(show);
}

std::pair<float, float> QRINTAMouse::getCursorView() const
{
    if (!platform_)
        return {0.0f, 0.0f};
    const auto [x, y] = platform_->getCursorPosition();
    const auto [left, top, bottom, right] = outputBounds();
    const float pixelSize = outputPixelSize();
    const float width = static_cast<float>(right - left);
    const float height = static_cast<float>(bottom - top);
    return {(static_cast<float>(x - left) - width * 0.5f) * pixelSize,
            -(static_cast<float>(y - top) - height * 0.5f) * pixelSize};
}

std::pair<int, int> QRINTAMouse::getCursorPixels() const
{
    if (!platform_)
        return {0, 0};
    const auto [x, y] = platform_->getCursorPosition();
    const auto [left, top, bottom, right] = outputBounds();
    return {x - left, bottom - y};
}
