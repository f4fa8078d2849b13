#pragma once
// Shares file-loaded resources by path: one instance per canonical path (or name ID), reference
// counted, destroyed with its last release. Owned by the manager hub.

#include "core/qr_core_managedobject.h"

#include <functional>
#include <string>

class QRRESCList;

// One entry of the asset manager; owns its resource.
class QRMNGRManagedAsset : public QRObject {
public:
    // keyID: the ID of the name the resource was asked for, which keeps matching even when the
    // resource's own name and file name end up different (a loader that failed early).
    QRMNGRManagedAsset(QRObject* owner, QROwned<QRManagedObject> resource, std::uint32_t keyID = 0);
    QRManagedObject* getResource() const { return resource_.get(); }
    bool matches(std::uint32_t id) const;

    int referenceCount = 0;
    bool autoRelease = true;

private:
    QROwned<QRManagedObject> resource_;
    std::uint32_t keyID_ = 0;
};

class QRMNGRAssetManager : public QRObject {
public:
    using ResourceFactory = std::function<QROwned<QRManagedObject>(QRObject* owner)>;

    explicit QRMNGRAssetManager(QRObject* owner);
    ~QRMNGRAssetManager() override;
    void afterCreate() override;

    // The shared resource for path, loaded on first request; null when the file cannot be found
    // and during shut-down. Paths are compared as QRFILEMain::fileNameID does.
    QRManagedObject* acquireAsset(const std::string& path, const ResourceFactory& create);
    // Null also when the key belongs to a resource of another class; that one keeps its count.
    template <class T>
    T* acquire(const std::string& path)
    {
        QRManagedObject* resource = acquireAsset(path, [](QRObject* owner) -> QROwned<QRManagedObject> {
            return qrNew<T>(owner);
        });
        auto* typed = dynamic_cast<T*>(resource);
        if (!typed)
            releaseAsset(resource);
        return typed;
    }

    // Drops one reference and clears the caller's pointer; harmless for null or foreign resources.
    void releaseAsset(QRManagedObject*& resource);
    template <class T>
    void release(T*& resource)
    {
        QRManagedObject* managed = resource;
        releaseAsset(managed);
        resource = nullptr;
    }

    QRMNGRManagedAsset* findAsset(const std::string& path) const;
    QRMNGRManagedAsset* findAssetOfResource(const QRManagedObject* resource) const;
    void removeAsset(QRMNGRManagedAsset* entry);
    int getCount() const;

private:
    QROwned<QRRESCList> entries_;
    bool shuttingDown_ = false;
};

// The process-wide asset manager, or null before its creation and after its destruction.
QRMNGRAssetManager* qrAssets();
