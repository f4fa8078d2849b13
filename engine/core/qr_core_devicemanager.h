#pragma once
// Registry of named devices; creates "Main Form" for the main window. Owned by the engine core.

#include "core/qr_core_object.h"

class QWidget;
class QRRESCList;
class QRCOREDevice;
class QRCOREControlDevice;
class QRCOREVirtualDevice;

class QRCOREDeviceManager : public QRObject {
public:
    QRCOREDeviceManager(QRObject* owner, QWidget* mainForm);
    ~QRCOREDeviceManager() override;

    QRCOREControlDevice* createControlDevice(std::string_view name, QWidget* control);
    QRCOREVirtualDevice* createVirtualDevice(std::string_view name, int width, int height);
    QRCOREDevice* findDevice(std::string_view name) const;
    QRCOREControlDevice* findDeviceOfControl(const QWidget* control) const;
    void removeDevice(QRCOREDevice* device);
    void clearDevices();
    int getCount() const;

private:
    QROwned<QRRESCList> devices_;
};
