#pragma once
// Keeps every live engine object so that objects still alive at shut-down are reported as leaks.
// Owned by the manager hub; it reports from its destructor, the last manager to go.

#include "core/qr_core_object.h"
#include "core/qr_mngr_registrationlist.h"

class QRMNGRObjectManager : public QRObject {
public:
    explicit QRMNGRObjectManager(QRObject* owner);
    ~QRMNGRObjectManager() override;

    void registerObject(QRObject* object);
    void unregisterObject(QRObject* object);
    void logObjectList() const;
    int getCount() const { return count_; }

private:
    QRMNGRRegistrationList<QRObject> objects_;
    int count_ = 0;
};
