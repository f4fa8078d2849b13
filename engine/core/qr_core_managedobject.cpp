#include "core/qr_core_managedobject.h"

#include "core/qr_core_log.h"
#include "core/qr_mngr_main.h"
#include "core/qr_mngr_updateableresources.h"
#include "file/qr_file_main.h"

namespace {
QRMNGRUpdateableResources* registry()
{
    auto* hub = qrManagers();
    return hub ? hub->getUpdateableResources() : nullptr;
}
} // namespace

QRManagedObject::QRManagedObject(QRObject* owner) : QRObject(owner) {}

QRManagedObject::QRManagedObject(QRObject* owner, std::string_view name) : QRObject(owner, name) {}

QRManagedObject::~QRManagedObject()
{
    if (auto* resources = registry())
        resources->removeResource(this);
}

void QRManagedObject::afterCreate()
{
    QRObject::afterCreate();
    setName(std::string(getName()));
    fileID_ = 0;
    fileName_.clear();
    fullFileName_.clear();
    if (auto* resources = registry())
        resources->addResource(this);
}

void QRManagedObject::saveToFile(const std::string&) {}
void QRManagedObject::saveToStream(QRFILEFile&) {}
void QRManagedObject::loadFromFile(const std::string&) {}
void QRManagedObject::loadFromStream(QRFILEFile&) {}

bool QRManagedObject::usesFile(std::uint32_t) const
{
    return false;
}

void QRManagedObject::updateFromFile()
{
    if (fullFileName_.empty())
        return;
    if (auto* log = qrLog())
        log->logInformation("Updating managed object \"" + getName() + "\"");
    loadFromFile(fullFileName_);
}

void QRManagedObject::setFileName(const std::string& path)
{
    if (auto* files = qrFile()) {
        fileName_ = files->relativeName(path);
        fullFileName_ = files->absolutePath(path);
    } else {
        fileName_ = path;
        fullFileName_ = path;
    }
    fileID_ = QRFILEMain::fileNameID(fileName_);
}
