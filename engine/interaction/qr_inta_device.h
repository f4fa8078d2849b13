#pragma once
// Base of the keyboard, mouse and joypad devices: opened when created, polled once a frame, and
// asked per binding code whether it is pressed and what analog value it reads. A device that
// could not be opened stays absent: polls do nothing and none of its codes is ever pressed.
// Owned by the devices hub.

#include "core/qr_core_object.h"

class QRINTADevice : public QRObject {
public:
    QRINTADevice(QRObject* owner, std::string_view name) : QRObject(owner, name) {}

    // Opens the device; an absent device is released at once.
    void afterCreate() override;

    // Opens the device, reporting why when it cannot; true when it is usable.
    virtual bool setupDevice() = 0;
    // Closes what setupDevice opened; harmless when nothing is open. Derived destructors call it.
    virtual void releaseDevice() = 0;
    virtual void poll() = 0;
    virtual bool isPressed(int code) const = 0;
    virtual bool isAnalog(int code) const;
    virtual float getValue(int code) const;

    bool isPresent() const { return present_; }

protected:
    // Marks the device closed; returns whether it was open (and a release must be logged).
    bool markReleased();

private:
    bool present_ = false;
};
