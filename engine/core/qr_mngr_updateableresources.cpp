#include "core/qr_mngr_updateableresources.h"

#include "core/qr_core_managedobject.h"
#include "file/qr_file_main.h"

#include <vector>

QRMNGRUpdateableResources::QRMNGRUpdateableResources(QRObject* owner)
    : QRObject(owner, "QR Updateable Resources Manager")
{
    enable();
}

QRMNGRUpdateableResources::~QRMNGRUpdateableResources()
{
    disable();
    resources_.clear();
}

void QRMNGRUpdateableResources::addResource(QRManagedObject* object)
{
    if (enabled_ && object && !resources_.contains(object))
        resources_.append(object);
}

void QRMNGRUpdateableResources::removeResource(QRManagedObject* object)
{
    if (enabled_) {
        resources_.remove(object);
        if (updateDepth_ > 0)
            removedDuringUpdate_.insert(object);
    }
}

bool QRMNGRUpdateableResources::containsResource(const QRManagedObject* object) const
{
    return resources_.contains(object);
}

void QRMNGRUpdateableResources::updateResourcesForFile(const std::string& path)
{
    auto* files = qrFile();
    updateResourcesWithFileID(QRFILEMain::fileNameID(files ? files->relativeName(path) : path));
}

void QRMNGRUpdateableResources::updateResourcesWithFileID(std::uint32_t id)
{
    // Reloads create and destroy managed objects, so both passes walk the registry as it was
    // when the update began; objects created meanwhile were loaded from the new file already.
    const std::vector<QRManagedObject*> registered = resources_.snapshot();

    // A loader that throws must not leave the registry thinking an update still runs.
    struct UpdateScope {
        QRMNGRUpdateableResources& registry;
        explicit UpdateScope(QRMNGRUpdateableResources& r) : registry(r) { ++registry.updateDepth_; }
        ~UpdateScope()
        {
            if (--registry.updateDepth_ == 0)
                registry.removedDuringUpdate_.clear();
        }
    } scope(*this);
    const auto alive = [this](const QRManagedObject* object) { return !removedDuringUpdate_.contains(object); };
    std::unordered_set<const QRManagedObject*> reloaded;
    for (QRManagedObject* object : registered)
        if (alive(object) && object->getFileID() == id) {
            reloaded.insert(object);
            object->updateFromFile();
        }
    for (QRManagedObject* object : registered)
        if (alive(object) && !reloaded.contains(object) && object->usesFile(id))
            object->updateFromFile();
}
