#pragma once
// Base of every resource: something loaded from a file and shared by name.

#include "core/qr_core_managedobject.h"

class QRRESCMain : public QRManagedObject {
public:
    explicit QRRESCMain(QRObject* owner) : QRManagedObject(owner) {}
    QRRESCMain(QRObject* owner, std::string_view name) : QRManagedObject(owner, name) {}

    virtual void clear() {}
    virtual bool isEmpty() const { return true; }

    // Takes over name, ID and owner; from another resource also its file name, after clearing.
    void assign(const QRObject& source) override;
};
