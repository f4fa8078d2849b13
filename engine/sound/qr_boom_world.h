#pragma once
// The space sounds are heard in. Effects carry no position, so the listener stays where OpenAL
// puts it: at the origin, facing -z, at full gain. Owned by the sound module.

#include "core/qr_core_object.h"

class QRBOOMWorld : public QRObject {
public:
    explicit QRBOOMWorld(QRObject* owner) : QRObject(owner, "QR BOOM World") {}
};
