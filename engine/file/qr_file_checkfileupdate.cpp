#include "file/qr_file_checkfileupdate.h"

#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_list.h"

#include <QDirIterator>
#include <QFileSystemWatcher>
#include <QSet>

namespace {
std::string withoutTrailingSeparator(const std::string& folder)
{
    return !folder.empty() && folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder;
}
} // namespace

QRFILECheckFileUpdatePath::QRFILECheckFileUpdatePath(QRFILECheckFileUpdateManager* owner, const std::string& folder)
    : QRObject(owner, folder), manager_(owner), notifier_(std::make_unique<QFileSystemWatcher>())
{
    std::string resolved = folder;
    if (auto* files = qrFile())
        resolved = QRFILEMain::excludeTrailingSeparator(files->resolveFolder(folder));
    // Folders report files that appear, vanish or are renamed; the files themselves report
    // changes of size and last-write time.
    QObject::connect(notifier_.get(), &QFileSystemWatcher::directoryChanged, [this](const QString& changed) {
        watchTree(changed);
        notify();
    });
    QObject::connect(notifier_.get(), &QFileSystemWatcher::fileChanged, [this](const QString&) { notify(); });
    watchTree(QString::fromStdString(qrdrive::nativePath(resolved).string()));
}

QRFILECheckFileUpdatePath::~QRFILECheckFileUpdatePath()
{
    notifier_.reset();
}

void QRFILECheckFileUpdatePath::watchTree(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return;
    // The log is rewritten with every line; watching it would only echo the engine's own writing.
    QString logFile;
    if (auto* log = qrLog())
        logFile = QString::fromStdString(log->getFilePath().string());
    const QStringList watchedFiles = notifier_->files();
    const QStringList watchedFolders = notifier_->directories();
    const QSet<QString> watched(watchedFiles.begin(), watchedFiles.end());
    const QSet<QString> watchedDirs(watchedFolders.begin(), watchedFolders.end());

    QStringList toWatch;
    if (!watchedDirs.contains(folder))
        toWatch << folder;
    QDirIterator entries(folder, QDir::Dirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        if (path == logFile || watched.contains(path) || watchedDirs.contains(path))
            continue;
        toWatch << path;
    }
    if (!toWatch.isEmpty())
        notifier_->addPaths(toWatch);
}

void QRFILECheckFileUpdatePath::notify()
{
    auto* core = qrCore();
    if (core && core->isInitialized() && !core->isQuitting() && manager_->isEnabled())
        manager_->checkFolder(getName());
}

QRFILECheckFileUpdateManager::QRFILECheckFileUpdateManager(QRObject* owner)
    : QRObject(owner, "QR FILE Check File Update Manager")
{
    watchedFolders_ = qrNew<QRRESCList>(this, true);
}

QRFILECheckFileUpdateManager::~QRFILECheckFileUpdateManager() = default;

void QRFILECheckFileUpdateManager::initialize()
{
    if (auto* files = qrFile())
        addWatchedFolder(files->getProgramFolder());
    lastCheckTime_ = std::chrono::system_clock::now();
}

void QRFILECheckFileUpdateManager::addWatchedFolder(const std::string& folder)
{
    const std::string name = withoutTrailingSeparator(folder);
    if (isWatched(name))
        return;
    watchedFolders_->add(qrNew<QRFILECheckFileUpdatePath>(this, name).release());
    if (auto* log = qrLog())
        log->logInformation("Adding File Update Check Path: \"" + folder + "\"");
}

bool QRFILECheckFileUpdateManager::isWatched(const std::string& folder) const
{
    return watchedFolders_->findByName(withoutTrailingSeparator(folder)) != nullptr;
}

void QRFILECheckFileUpdateManager::checkFolder(const std::string&) {}
