#include "core/qr_mngr_assetmanager.h"

#include "core/qr_core_log.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_list.h"

namespace {
QRMNGRAssetManager* gAssetManager = nullptr;

// One key per file however it is spelled: relative to its lookup path, either separator, any case.
std::uint32_t assetKeyID(const std::string& path)
{
    auto* files = qrFile();
    return QRFILEMain::fileNameID(files ? files->relativeName(path) : path);
}
} // namespace

QRMNGRManagedAsset::QRMNGRManagedAsset(QRObject* owner, QROwned<QRManagedObject> resource, std::uint32_t keyID)
    : QRObject(owner), resource_(std::move(resource)), keyID_(keyID)
{
    if (!resource_)
        if (auto* log = qrLog())
            log->logError("No resource specified for managed asset.");
}

bool QRMNGRManagedAsset::matches(std::uint32_t id) const
{
    return resource_ && ((keyID_ != 0 && keyID_ == id) || resource_->getID() == id || resource_->getFileID() == id);
}

QRMNGRAssetManager::QRMNGRAssetManager(QRObject* owner) : QRObject(owner, "QR Global Asset Manager")
{
    entries_ = qrNew<QRRESCList>(this, true);
}

QRMNGRAssetManager::~QRMNGRAssetManager()
{
    // Assets still held at shut-down go newest first: a resource acquires what it depends on
    // while it loads, before its own entry is added, so dependents go before their dependencies.
    // Their destructors may release other assets, so the list and qrAssets() stay valid until
    // the last entry is gone.
    shuttingDown_ = true;
    while (entries_->getCount() > 0)
        removeAsset(static_cast<QRMNGRManagedAsset*>(entries_->get(entries_->getLastIndex())));
    if (gAssetManager == this)
        gAssetManager = nullptr;
    entries_.reset();
}

void QRMNGRAssetManager::afterCreate()
{
    QRObject::afterCreate();
    gAssetManager = this;
}

QRManagedObject* QRMNGRAssetManager::acquireAsset(const std::string& path, const ResourceFactory& create)
{
    if (shuttingDown_)
        return nullptr;
    const auto id = assetKeyID(path);
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
        auto created = qrNew<QRMNGRManagedAsset>(this, std::move(resource), id);
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
    const auto id = assetKeyID(path);
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
    // The list takes the entry out before destroying it, so a resource that releases other
    // assets from its destructor finds only live entries.
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
