#include "file/qr_file_main.h"

#include "core/qr_core_log.h"
#include "core/qr_core_programfolder.h"
#include "file/qr_file_archivemanager.h"
#include "file/qr_file_checkfileupdate.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_filemanagement.h"
#include "file/qr_file_pathmanager.h"

#include <algorithm>

namespace {
QRFILEMain* gFile = nullptr;

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Index of the last separator, npos when there is none.
std::size_t lastSeparator(std::string_view path)
{
    return path.find_last_of("\\/");
}
} // namespace

QRFILEMain::QRFILEMain(QRObject* owner) : QRObject(owner, "QR FILE Main")
{
    gFile = this;
    std::string folder = qrProgramFolder().string();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    programFolder_ = folder;
    pathManager_ = qrNew<QRFILEPathManager>(this);
    archiveManager_ = qrNew<QRFILEArchiveManager>(this);
    checkFileUpdateManager_ = qrNew<QRFILECheckFileUpdateManager>(this);
    fileManagement_ = qrNew<QRFILEFileManagement>(this);
}

QRFILEMain::~QRFILEMain()
{
    // The parts go one by one; anything still asking for the file module meanwhile (a resource
    // dying with its owner) must find it absent rather than half taken apart.
    if (gFile == this)
        gFile = nullptr;
    pathManager_.reset();
    archiveManager_.reset();
    checkFileUpdateManager_.reset();
    fileManagement_.reset();
}

void QRFILEMain::initialize()
{
    pathManager_->initialize();
    archiveManager_->initialize();
    checkFileUpdateManager_->initialize();
    fileManagement_->initialize();
    if (auto* log = qrLog())
        log->logPlain("File System Initialized!");
}

bool QRFILEMain::locateFile(const std::string& name, QRFileLocation& location, bool reportErrors,
                            std::string& container)
{
    if (existsOnDrive(name, false)) {
        location = QRFileLocation::Drive;
        container.clear();
        return true;
    }
    if (pathManager_->isFileInAnyPath(name, container, false)) {
        location = QRFileLocation::LookupPath;
        return true;
    }
    if (archiveManager_->isFileInAnyArchive(name, false)) {
        location = QRFileLocation::Archive;
        return true;
    }
    if (reportErrors)
        reportError("locateFile", "File \"" + name + "\" could not be found!");
    return false;
}

bool QRFILEMain::fileExists(const std::string& name, bool reportErrors)
{
    QRFileLocation location = QRFileLocation::None;
    std::string container;
    return locateFile(name, location, reportErrors, container);
}

bool QRFILEMain::existsOnDrive(const std::string& path, bool reportErrors)
{
    if (isAbsolute(path) && qrdrive::isFile(path))
        return true;
    if (reportErrors)
        reportError("doesFileExistOnDrive", "File \"" + path + "\" not found!");
    return false;
}

std::string QRFILEMain::absolutePath(const std::string& name) const
{
    return pathManager_->absolutePath(name);
}

std::string QRFILEMain::relativeName(const std::string& path) const
{
    return pathManager_->relativeName(path);
}

std::string QRFILEMain::resolveFolder(const std::string& name) const
{
    return pathManager_->resolveFolder(name);
}

std::string QRFILEMain::extractFolder(std::string_view path)
{
    const auto separator = lastSeparator(path);
    return separator == std::string_view::npos ? std::string() : std::string(path.substr(0, separator));
}

std::string QRFILEMain::extractExtension(std::string_view path)
{
    const auto dot = path.rfind('.');
    const auto separator = lastSeparator(path);
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator))
        return {};
    return std::string(path.substr(dot + 1));
}

std::string QRFILEMain::changeExtension(std::string_view path, std::string_view extension)
{
    const auto dot = path.rfind('.');
    const auto separator = lastSeparator(path);
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator))
        return std::string(path) + "." + std::string(extension);
    return std::string(path.substr(0, dot + 1)) + std::string(extension);
}

std::string QRFILEMain::includeTrailingSeparator(std::string_view path)
{
    if (path.empty() || isSeparator(path.back()))
        return std::string(path);
    return std::string(path) + "\\";
}

std::string QRFILEMain::excludeTrailingSeparator(std::string_view path)
{
    // "/" alone is the root folder and stays.
    if (path.size() > 1 && isSeparator(path.back()))
        path.remove_suffix(1);
    else if (path == "\\")
        path = {};
    return std::string(path);
}

std::string QRFILEMain::excludeLeadingSeparator(std::string_view path)
{
    // A leading "/" makes a path absolute; only "\" is a separator to drop here.
    if (!path.empty() && path.front() == '\\')
        path.remove_prefix(1);
    return std::string(path);
}

std::string QRFILEMain::canonicalName(std::string_view name)
{
    return excludeLeadingSeparator(excludeTrailingSeparator(name));
}

std::uint32_t QRFILEMain::fileNameID(std::string_view name)
{
    std::string comparable = canonicalName(name);
    const std::size_t first = !comparable.empty() && comparable.front() == '/' ? 1 : 0;
    std::replace(comparable.begin() + static_cast<std::ptrdiff_t>(first), comparable.end(), '/', '\\');
    return computeNameID(comparable);
}

bool QRFILEMain::isAbsolute(std::string_view path)
{
    return !path.empty() && path.front() == '/';
}

QRFILEMain* qrFile()
{
    return gFile;
}
