#include "visual/qr_visx_materialvariablepool.h"

QRVISXMaterialVariablePool::QRVISXMaterialVariablePool(QRObject* owner)
    : QRObject(owner, "QR VISX Material Variable Pool")
{
}

QRVISXMaterialVariablePool::~QRVISXMaterialVariablePool() = default;
