#pragma once
// The manager hub: object manager, updateable-resources registry and asset manager, in that
// creation order. Owned by the engine core, created right after the log.

#include "core/qr_core_object.h"

class QRMNGRObjectManager;
class QRMNGRUpdateableResources;
class QRMNGRAssetManager;

class QRMNGRMain : public QRObject {
public:
    explicit QRMNGRMain(QRObject* owner);
    ~QRMNGRMain() override;
    void initialize() override;

    QRMNGRObjectManager* getObjectManager() const { return objectManager_.get(); }
    QRMNGRUpdateableResources* getUpdateableResources() const { return updateableResources_.get(); }
    QRMNGRAssetManager* getAssetManager() const { return assetManager_.get(); }

private:
    QROwned<QRMNGRObjectManager> objectManager_;
    QROwned<QRMNGRUpdateableResources> updateableResources_;
    QROwned<QRMNGRAssetManager> assetManager_;
};

// The process-wide manager hub, or null before its creation and after its destruction.
QRMNGRMain* qrManagers();
