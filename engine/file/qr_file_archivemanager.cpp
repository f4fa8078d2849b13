#include "file/qr_file_archivemanager.h"

#include "core/qr_core_log.h"
#include "file/qr_file_filemanagement.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_list.h"
#include "resource/qr_resc_stringlist.h"

QRFILEArchiveManager::QRFILEArchiveManager(QRObject* owner) : QRObject(owner, "QR FILE Archive Manager")
{
    archives_ = qrNew<QRRESCList>(this, true);
}

QRFILEArchiveManager::~QRFILEArchiveManager() = default;

void QRFILEArchiveManager::initialize()
{
    if (auto* files = qrFile())
        scanForArchives(files->getProgramFolder());
}

void QRFILEArchiveManager::scanForArchives(const std::string& folder)
{
    auto* files = qrFile();
    if (!files)
        return;
    const auto names = files->getFileManagement()->listFiles(files->resolveFolder(folder), "archive");
    for (const auto& name : *names)
        addArchive(name);
}

void QRFILEArchiveManager::addArchive(const std::string& name)
{
    auto* files = qrFile();
    if (files && files->fileExists(name, true))
        if (auto* log = qrLog())
            log->logInformation("Adding Archive: \"" + name + "\"");
}

bool QRFILEArchiveManager::isFileInAnyArchive(const std::string& name, bool reportErrors) const
{
    if (reportErrors)
        reportError("isFileInAnyArchive", "File \"" + name + "\" not found!");
    return false;
}
