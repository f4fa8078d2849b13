#include "interaction/qr_inta_action.h"

#include "interaction/qr_inta_device.h"
#include "interaction/qr_inta_devices.h"
#include "resource/qr_resc_list.h"

QRINTAAction::QRINTAAction(QRObject* owner, std::string_view name, int code) : QRObject(owner, name)
{
    codes_[0] = code;
}

void QRINTAAction::update(const QRINTADevices& devices)
{
    wasPressed_ = pressed_;
    pressed_ = false;
    value_ = 0.0f;
    for (const int code : codes_) {
        if (code == kNoBinding)
            continue;
        int localCode = code;
        const QRINTADevice* device = devices.findDeviceForCode(code, localCode);
        if (!device)
            continue;
        if (device->isPressed(localCode))
            pressed_ = true;
        if (device->isAnalog(localCode))
            if (const float value = device->getValue(localCode); value != 0.0f)
                value_ = value;
    }
}

QRINTAActions::QRINTAActions(QRObject* owner) : QRObject(owner, "QR INTA Actions")
{
    actions_ = qrNew<QRRESCList>(this, true);
}

QRINTAActions::~QRINTAActions() = default;

QRINTAAction* QRINTAActions::addAction(std::string_view name, int code)
{
    auto action = qrNew<QRINTAAction>(this, name, code);
    auto* added = action.get();
    actions_->add(action.release());
    return added;
}

QRINTAAction* QRINTAActions::findAction(std::string_view name) const
{
    return static_cast<QRINTAAction*>(actions_->findByName(name));
}

void QRINTAActions::clearActions()
{
    actions_->clear();
}

int QRINTAActions::getCount() const
{
    return actions_->getCount();
}

void QRINTAActions::update(const QRINTADevices& devices)
{
    for (QRObject* action : *actions_)
        static_cast<QRINTAAction*>(action)->update(devices);
}
