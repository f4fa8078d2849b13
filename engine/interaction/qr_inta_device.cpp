#include "interaction/qr_inta_device.h"

void QRINTADevice::afterCreate()
{
    QRObject::afterCreate();
    present_ = setupDevice();
    if (!present_)
        releaseDevice();
}

bool QRINTADevice::isAnalog(int) const
{
    return false;
}

float QRINTADevice::getValue(int) const
{
    return 0.0f;
}

bool QRINTADevice::markReleased()
{
    const bool wasPresent = present_;
    present_ = false;
    return wasPresent;
}
