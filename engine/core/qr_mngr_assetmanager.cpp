#include "core/qr_mngr_assetmanager.h"

#include "core/qr_core_log.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_list.h"

namespace {
QRMNGRAssetManager* gAssetManager = nullptr;
} // namespace

QRMNGRManagedAsset::QRMNGRManagedAsset(QRObject* owner, QROwned<QRManagedObject> resource)
    : QRObject(owner), resource_(std::move(resource))
{
    if (!resource_)
        if (auto* log = qrLog())
            log->logError("No resource specified for managed asset.");
}

bool QRMNGRManagedAsset::matches(std::uint32_t id) const
{
    return resource_ && (resource_->getID() == id || resource_->getFileID() == id);
}

QRMNGRAssetManager::QRMNGRAssetManager(QRObject* owner) : QRObject(owner, "QR Global Asset Manager")
{
    entries_ = qrNew<QRRESCList>(this, true);
}

QRMNGRAssetManager::~QRMNGRAssetManager()
{
    entries_.reset();
    if (gAssetManager == this)
        gAssetManager = nullptr;
}

void QRMNGRAssetManager::afterCreate()
{
    QRObject::afterCreate();
    gAssetManager = this;
}

QRManagedObject* QRMNGRAssetManager::acquireAsset(const std::string& path, const ResourceFactory& create)
{
    const auto id = computeNameID(QRFILEMain::canonicalName(path));
    QRMNGRManagedAsset* entry = nullptr;
    for (QRObject* object : *entries_)
        if (auto* candidate = static_cast<QRMNGRManagedAsset*>(object); candidate->matches(id)) {
            entry = candidate;
            break;
        }
    if (!entry) {
        // Without a file module nothing can be located; the locate step reports a missing file.
        auto* files = qrFile();
        if (!files || !files->fileExists(path, true))
            return nullptr;
        auto resource = create(this);
        if (!resource)
            return nullptr;
        resource->loadFromFile(path);
        auto created = qrNew<QRMNGRManagedAsset>(this, std::move(resource));
        entry = created.get();
        entries_->add(created.release());
    }
    ++entry->referenceCount;
    return entry->getResource();
}

void QRMNGRAssetManager::releaseAsset(QRManagedObject*& resource)
{
    if (resource) {
        if (auto* entry = findAssetOfResource(resource)) {
            --entry->referenceCount;
            if (entry->referenceCount <= 0 && entry->autoRelease)
                removeAsset(entry);
        }
    }
    resource = nullptr;
}

QRMNGRManagedAsset* QRMNGRAssetManager::findAsset(const std::string& path) const
{
    const auto id = computeNameID(QRFILEMain::canonicalName(path));
    for (QRObject* object : *entries_)
        if (auto* entry = static_cast<QRMNGRManagedAsset*>(object); entry->matches(id))
            return entry;
    return nullptr;
}

QRMNGRManagedAsset* QRMNGRAssetManager::findAssetOfResource(const QRManagedObject* resource) const
{
    for (QRObject* object : *entries_)
        if (auto* entry = static_cast<QRMNGRManagedAsset*>(object); entry->getResource() == resource)
            return entry;
    return nullptr;
}

void QRMNGRAssetManager::removeAsset(QRMNGRManagedAsset* entry)
{
    entries_->remove(entry);
}

int QRMNGRAssetManager::getCount() const
{
    return entries_->getCount();
}

QRMNGRAssetManager* qrAssets()
{
    return gAssetManager;
}
