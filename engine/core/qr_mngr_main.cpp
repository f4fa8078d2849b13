#include "core/qr_mngr_main.h"

#include "core/qr_core_log.h"
#include "core/qr_mngr_assetmanager.h"
#include "core/qr_mngr_objectmanager.h"
#include "core/qr_mngr_updateableresources.h"

namespace {
QRMNGRMain* gManagers = nullptr;
}

QRMNGRMain::QRMNGRMain(QRObject* owner) : QRObject(owner, "QOR Global Manager")
{
    gManagers = this;
    objectManager_ = qrNew<QRMNGRObjectManager>(this);
    updateableResources_ = qrNew<QRMNGRUpdateableResources>(this);
    assetManager_ = qrNew<QRMNGRAssetManager>(this);
}

QRMNGRMain::~QRMNGRMain()
{
    assetManager_.reset();
    updateableResources_.reset();
    // The object manager reports leaks from its destructor; objects dying during that report
    // must no longer find it.
    QRMNGRObjectManager* objectManager = objectManager_.release();
    QRDestroy()(objectManager);
    if (gManagers == this)
        gManagers = nullptr;
}

void QRMNGRMain::initialize()
{
    objectManager_->initialize();
    updateableResources_->initialize();
    assetManager_->initialize();
    if (auto* log = qrLog())
        log->logPlain("Object Managers Initialized!");
}

QRMNGRMain* qrManagers()
{
    return gManagers;
}
