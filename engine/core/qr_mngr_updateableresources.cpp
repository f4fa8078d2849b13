#include "core/qr_mngr_updateableresources.h"

#include "core/qr_core_managedobject.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_list.h"

#include <vector>

QRMNGRUpdateableResources::QRMNGRUpdateableResources(QRObject* owner)
    : QRObject(owner, "QR Updateable Resources Manager")
{
    // The list is itself a managed object; it must exist before the registry accepts anything,
    // and it must not end up registered in itself.
    resources_ = qrNew<QRRESCList>(this, false);
    enable();
}

QRMNGRUpdateableResources::~QRMNGRUpdateableResources()
{
    disable();
    resources_.reset();
}

void QRMNGRUpdateableResources::addResource(QRManagedObject* object)
{
    if (enabled_ && resources_ && !resources_->contains(object))
        resources_->add(object);
}

void QRMNGRUpdateableResources::removeResource(QRManagedObject* object)
{
    if (enabled_ && resources_)
        resources_->remove(object);
}

bool QRMNGRUpdateableResources::containsResource(const QRManagedObject* object) const
{
    return resources_ && resources_->contains(object);
}

void QRMNGRUpdateableResources::updateResourcesForFile(const std::string& path)
{
    auto* files = qrFile();
    updateResourcesWithFileID(computeNameID(files ? files->relativeName(path) : path));
}

void QRMNGRUpdateableResources::updateResourcesWithFileID(std::uint32_t id)
{
    // A reload may create or destroy managed objects, so walk a snapshot.
    std::vector<QRManagedObject*> matching;
    for (QRObject* object : *resources_)
        if (auto* managed = static_cast<QRManagedObject*>(object); managed->getFileID() == id)
            matching.push_back(managed);
    for (QRManagedObject* managed : matching)
        if (resources_->contains(managed))
            managed->updateFromFile();
}
