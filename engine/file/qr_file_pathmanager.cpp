#include "file/qr_file_pathmanager.h"

#include "core/qr_core_log.h"
#include "core/qr_util_strings.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_stringlist.h"

#include <algorithm>

namespace {
// Compares the prefix treating "\" and "/" alike and letters without case.
bool startsWithPath(std::string_view path, std::string_view prefix)
{
    if (prefix.size() > path.size())
        return false;
    const auto normalise = [](char c) { return c == '/' ? '\\' : c; };
    std::string head(path.substr(0, prefix.size()));
    std::string wanted(prefix);
    std::transform(head.begin(), head.end(), head.begin(), normalise);
    std::transform(wanted.begin(), wanted.end(), wanted.begin(), normalise);
    return QRUTILStrings::equals(head, wanted, false);
}
} // namespace

QRFILEPathManager::QRFILEPathManager(QRFILEMain* owner) : QRObject(owner, "QR FILE Path Manager"), files_(owner)
{
    lookupPaths_ = qrNew<QRRESCStringList>(this, false, false);
}

QRFILEPathManager::~QRFILEPathManager() = default;

void QRFILEPathManager::initialize()
{
    addLookupPath(files_->getProgramFolder());
}

void QRFILEPathManager::addLookupPath(const std::string& path)
{
    lookupPaths_->add(QRFILEMain::canonicalName(path));
    if (auto* log = qrLog())
        log->logInformation("Adding Lookup Path: \"" + path + "\"");
}

bool QRFILEPathManager::isFileInAnyPath(const std::string& name, std::string& lookupPath, bool reportErrors) const
{
    for (const auto& path : *lookupPaths_)
        if (qrdrive::isFile(path + "\\" + name)) {
            lookupPath = path;
            return true;
        }
    if (reportErrors)
        reportError("isFileInAnyPath", "File \"" + name + "\" not found!");
    return false;
}

std::string QRFILEPathManager::relativeName(const std::string& path) const
{
    for (const auto& lookupPath : *lookupPaths_) {
        const std::string prefix = lookupPath + "\\";
        if (prefix.size() < path.size() && startsWithPath(path, prefix)) {
            std::string rest = path.substr(prefix.size());
            std::replace(rest.begin(), rest.end(), '/', '\\');
            return rest;
        }
    }
    return path;
}

std::string QRFILEPathManager::absolutePath(const std::string& name) const
{
    const std::string canonical = QRFILEMain::canonicalName(name);
    for (const auto& lookupPath : *lookupPaths_)
        if (qrdrive::isFile(lookupPath + "\\" + canonical))
            return lookupPath + "\\" + canonical;
    if (QRFILEMain::isAbsolute(canonical))
        return canonical;
    return files_->getProgramFolder() + "\\" + canonical;
}

std::string QRFILEPathManager::resolveFolder(const std::string& name) const
{
    const std::string canonical = QRFILEMain::canonicalName(name);
    if (QRFILEMain::isAbsolute(canonical))
        return canonical;
    for (const auto& lookupPath : *lookupPaths_)
        if (qrdrive::isFolder(lookupPath + "\\" + canonical))
            return lookupPath + "\\" + canonical;
    return canonical;
}
