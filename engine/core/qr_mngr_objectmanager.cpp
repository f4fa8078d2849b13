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
    objects_.append(object);
    ++count_;
}

void QRMNGRObjectManager::unregisterObject(QRObject* object)
{
    objects_.remove(object);
    --count_;
}

void QRMNGRObjectManager::logObjectList() const
{
    auto* log = qrLog();
    if (!log)
        return;
    log->logEmptyLine();
    log->logPlain("Object list in object manager:");
    for (QRObject* object : objects_.snapshot(static_cast<std::size_t>(std::max(count_, 0))))
        log->logPlain("  " + object->getDescription());
    log->logPlain("Object list end");
    log->logEmptyLine();
}
