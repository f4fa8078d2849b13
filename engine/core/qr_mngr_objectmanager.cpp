#include "core/qr_mngr_objectmanager.h"

#include "core/qr_core_log.h"
#include "core/qr_core_messagebox.h"

#include <algorithm>

QRMNGRObjectManager::QRMNGRObjectManager(QRObject* owner) : QRObject(owner, "QR Global Object Manager") {}

QRMNGRObjectManager::~QRMNGRObjectManager()
{
    if (count_ == 0)
        return;
    logObjectList();
    qrShowMessageBox(QRMessageKind::Warning, "[OBJECT MANAGER] Possible memory leak: There are still " +
                                                 std::to_string(count_) + " instances left!");
}

void QRMNGRObjectManager::registerObject(QRObject* object)
{
    objects_.push_back(object);
    ++count_;
}

void QRMNGRObjectManager::unregisterObject(QRObject* object)
{
    // Objects register once, so the last occurrence is the only one; searching from the back
    // keeps tearing down long-lived owners cheap, as children usually die before them.
    auto found = std::find(objects_.rbegin(), objects_.rend(), object);
    if (found != objects_.rend())
        objects_.erase(std::next(found).base());
    --count_;
}

void QRMNGRObjectManager::logObjectList() const
{
    auto* log = qrLog();
    if (!log)
        return;
    log->logEmptyLine();
    log->logPlain("Object list in object manager:");
    const auto shown = std::min<std::size_t>(objects_.size(), static_cast<std::size_t>(std::max(count_, 0)));
    for (std::size_t i = 0; i < shown; ++i)
        log->logPlain("  " + objects_[i]->getDescription());
    log->logPlain("Object list end");
    log->logEmptyLine();
}
