#pragma once
// Registry of managed objects that can be reloaded when their file changes. Owned by the manager hub.

#include "core/qr_core_object.h"

#include <memory>
#include <string>

class QRManagedObject;
class QRRESCList;

class QRMNGRUpdateableResources : public QRObject {
public:
    explicit QRMNGRUpdateableResources(QRObject* owner);
    ~QRMNGRUpdateableResources() override;

    void addResource(QRManagedObject* object);
    void removeResource(QRManagedObject* object);
    bool containsResource(const QRManagedObject* object) const;
    void updateResourcesForFile(const std::string& path);
    void updateResourcesWithFileID(std::uint32_t id);
    void enable() { enabled_ = true; }
    void disable() { enabled_ = false; }

private:
    bool enabled_ = false;
    QROwned<QRRESCList> resources_;
};
