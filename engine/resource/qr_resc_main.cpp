#include "resource/qr_resc_main.h"

void QRRESCMain::assign(const QRObject& source)
{
    QRManagedObject::assign(source);
    if (const auto* resource = dynamic_cast<const QRRESCMain*>(&source)) {
        clear();
        setFileName(resource->getFileName());
    }
}
