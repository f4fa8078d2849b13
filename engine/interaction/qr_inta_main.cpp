#include "interaction/qr_inta_main.h"

#include "core/qr_core_devicemanager.h"
#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_joypad.h"
#include "interaction/qr_inta_mouse.h"
#include "interaction/qr_inta_platforminput.h"

namespace {
QRINTAMain* gInput = nullptr;

QRCOREDeviceManager* deviceManager()
{
    auto* core = qrCore();
    return core ? core->getDeviceManager() : nullptr;
}
} // namespace

QRINTAMain::QRINTAMain(QRObject* owner) : QRObject(owner, "QR INTA Main")
{
    gInput = this;
    devices_ = qrNew<QRINTADevices>(this);
    actions_ = qrNew<QRINTAActions>(this);
}

QRINTAMain::~QRINTAMain()
{
    actions_.reset();
    devices_.reset();
    if (gInput == this)
        gInput = nullptr;
}

void QRINTAMain::initialize()
{
    QRObject::initialize();
    auto* log = qrLog();
    if (log) {
        log->logEmptyLine();
        log->logSeparator();
        log->logPlain("QOR INTA: QOR Interact! Initializing...");
    }
    devices_->initialize();
    actions_->clearActions();
    if (log) {
        log->logPlain("QOR INTA: QOR Interact! Initialized!");
        log->logSeparator();
        log->logEmptyLine();
    }
}

void QRINTAMain::bindToDevice(std::string_view name)
{
    auto* manager = deviceManager();
    if (!manager || !manager->findDevice(name)) {
        outputDeviceName_.clear();
        reportError("bindToDevice", "No device was found by the name \"" + std::string(name) + "\"");
        return;
    }
    outputDeviceName_ = std::string(name);
}

void QRINTAMain::update()
{
    devices_->poll();
    actions_->update(*devices_);
}

QRCOREDevice* QRINTAMain::getOutputDevice() const
{
    auto* manager = deviceManager();
    if (!manager || outputDeviceName_.empty())
        return nullptr;
    return manager->findDevice(outputDeviceName_);
}

QRCOREDevice::Bounds QRINTAMain::getOutputBounds() const
{
    if (auto* device = getOutputDevice())
        return device->getBounds();
    return QRINTAPlatformInput::getScreenBounds();
}

float QRINTAMain::getPixelSize() const
{
    if (auto* device = getOutputDevice())
        return device->getPixelSize();
    return QRINTAPlatformInput::getScreenPixelSize();
}

std::pair<float, float> QRINTAMain::getLookMotion(float delta) const
{
    float x = 0.0f;
    float y = 0.0f;
    if (const QRINTAMouse* mouse = devices_->getMouse()) {
        x = static_cast<float>(mouse->getMotionX()) * sensitivity_;
        y = static_cast<float>(mouse->getMotionY()) * sensitivity_;
    }
    for (int i = 0; i < devices_->getJoypadCount(); ++i) {
        const QRINTAJoypad* joypad = devices_->getJoypad(i);
        x += joypad->getRightX() * kStickCountsPerSecond * delta;
        y += joypad->getRightY() * kStickCountsPerSecond * delta;
    }
    return {x, invertY_ ? -y : y};
}

QRINTAMain* qrInput()
{
    return gInput;
}
