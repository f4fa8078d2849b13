#pragma once
// Registry of managed objects that can be reloaded when their file changes. Owned by the manager hub.

#include "core/qr_core_object.h"
#include "core/qr_mngr_registrationlist.h"

#include <string>
#include <unordered_set>

class QRManagedObject;

class QRMNGRUpdateableResources : public QRObject {
public:
    explicit QRMNGRUpdateableResources(QRObject* owner);
    ~QRMNGRUpdateableResources() override;

    void addResource(QRManagedObject* object);
    void removeResource(QRManagedObject* object);
    bool containsResource(const QRManagedObject* object) const;
    // Reloads what is built from the file at path (absolute, or relative to a lookup path).
    void updateResourcesForFile(const std::string& path);
    // Reloads every object loaded from the file with this ID, then every other object that uses
    // it (usesFile), so dependents rebuild from what they depend on.
    void updateResourcesWithFileID(std::uint32_t id);
    void enable() { enabled_ = true; }
    void disable() { enabled_ = false; }

private:
    bool enabled_ = false;
    // While an update runs: objects that left the registry, so the update's snapshot never
    // touches an object a reload destroyed (even if a new one took its address).
    int updateDepth_ = 0;
    std::unordered_set<const QRManagedObject*> removedDuringUpdate_;
    // In registration order, which is the order of every reload.
    QRMNGRRegistrationList<QRManagedObject> resources_;
};
