#include "resource/qr_resc_main.h"

void QRRESCMain::assign(const QRObject& source)
{
    // Clearing first would empty (and for an owning list destroy) what is about to be copied.
    if (&source == this)
        return;
    QRManagedObject::assign(source);
    if (const auto* resource = dynamic_cast<const QRRESCMain*>(&source)) {
        clear();
        setFileName(resource->getFileName());
    }
}
