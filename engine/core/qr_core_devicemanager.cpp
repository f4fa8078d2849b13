#include "core/qr_core_devicemanager.h"

#include "core/qr_core_device.h"
#include "resource/qr_resc_list.h"

QRCOREDeviceManager::QRCOREDeviceManager(QRObject* owner, QWidget* mainForm)
    : QRObject(owner, "QR CORE Device Manager")
{
    devices_ = qrNew<QRRESCList>(this, true);
    createControlDevice("Main Form", mainForm);
}

QRCOREDeviceManager::~QRCOREDeviceManager()
{
    clearDevices();
    devices_.reset();
}

QRCOREControlDevice* QRCOREDeviceManager::createControlDevice(std::string_view name, QWidget* control)
{
    if (!control) {
        reportError("createControlDevice", "Device has to be bound to a control");
        return nullptr;
    }
    if (auto* existing = findDeviceOfControl(control))
        return existing;
    if (auto* named = findDevice(name)) {
        if (auto* controlDevice = dynamic_cast<QRCOREControlDevice*>(named))
            return controlDevice;
        reportError("createControlDevice", "A device has been found by the name \"" + std::string(name) +
                                               "\", but it is no valid control device.");
        return nullptr;
    }
    auto device = qrNew<QRCOREControlDevice>(this, control, name);
    devices_->add(device.get());
    return device.release();
}

QRCOREVirtualDevice* QRCOREDeviceManager::createVirtualDevice(std::string_view name, int width, int height)
{
    if (auto* named = findDevice(name)) {
        if (auto* virtualDevice = dynamic_cast<QRCOREVirtualDevice*>(named))
            return virtualDevice;
        reportError("createVirtualDevice", "A device has been found by the name \"" + std::string(name) +
                                               "\", but it is no valid virtual device.");
        return nullptr;
    }
    auto device = qrNew<QRCOREVirtualDevice>(this, width, height, name);
    devices_->add(device.get());
    return device.release();
}

QRCOREDevice* QRCOREDeviceManager::findDevice(std::string_view name) const
{
    return static_cast<QRCOREDevice*>(devices_->findByName(name));
}

QRCOREControlDevice* QRCOREDeviceManager::findDeviceOfControl(const QWidget* control) const
{
    for (QRObject* object : *devices_)
        if (auto* device = dynamic_cast<QRCOREControlDevice*>(object); device && device->getControl() == control)
            return device;
    return nullptr;
}

void QRCOREDeviceManager::removeDevice(QRCOREDevice* device)
{
    devices_->remove(device);
}

void QRCOREDeviceManager::clearDevices()
{
    devices_->clear();
}

int QRCOREDeviceManager::getCount() const
{
    return devices_->getCount();
}
