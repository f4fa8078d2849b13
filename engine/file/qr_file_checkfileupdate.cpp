#include "file/qr_file_checkfileupdate.h"

#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "core/qr_mngr_main.h"
#include "core/qr_mngr_updateableresources.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_list.h"

#include <QDirIterator>
#include <QFileSystemWatcher>
#include <QSet>
#include <QTimer>

#include <filesystem>
#include <system_error>

namespace {
std::string withoutTrailingSeparator(const std::string& folder)
{
    return !folder.empty() && folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder;
}

std::string logFilePath()
{
    auto* log = qrLog();
    return log ? log->getFilePath().lexically_normal().string() : std::string();
}

bool mayCheck(const QRFILECheckFileUpdateManager& manager)
{
    auto* core = qrCore();
    return core && core->isInitialized() && !core->isQuitting() && manager.isEnabled();
}
} // namespace

QRFILECheckFileUpdatePath::QRFILECheckFileUpdatePath(QRFILECheckFileUpdateManager* owner, const std::string& folder)
    : QRObject(owner, folder), manager_(owner), notifier_(std::make_unique<QFileSystemWatcher>()),
      quietTimer_(std::make_unique<QTimer>())
{
    std::string resolved = folder;
    if (auto* files = qrFile())
        resolved = QRFILEMain::excludeTrailingSeparator(files->resolveFolder(folder));
    root_ = qrdrive::nativePath(resolved).lexically_normal().string();
    // Folders report files that appear, vanish or are renamed; the files themselves report
    // changes of size and last-write time.
    QObject::connect(notifier_.get(), &QFileSystemWatcher::directoryChanged, [this](const QString& changed) {
        watchTree(changed);
        notify();
    });
    QObject::connect(notifier_.get(), &QFileSystemWatcher::fileChanged, [this](const QString& changed) {
        // A file replaced by a rename (how many editors save) loses its watch with the old file;
        // the new one is watched again so later in-place writes are seen too.
        if (!notifier_->files().contains(changed) && QFileInfo(changed).isFile())
            notifier_->addPath(changed);
        notify();
    });
    quietTimer_->setSingleShot(true);
    quietTimer_->setInterval(kQuietPeriodMs);
    QObject::connect(quietTimer_.get(), &QTimer::timeout, [this] {
        if (mayCheck(*manager_))
            manager_->checkFolder(getName());
    });
    watchTree(QString::fromStdString(root_));
    // What is there now is what the program starts with; only later changes reload anything.
    takeChangedFiles();
}

QRFILECheckFileUpdatePath::~QRFILECheckFileUpdatePath()
{
    quietTimer_.reset();
    notifier_.reset();
}

QRFILECheckFileUpdatePath::Snapshot QRFILECheckFileUpdatePath::scan() const
{
    namespace fs = std::filesystem;
    Snapshot files;
    const std::string logFile = logFilePath();
    std::error_code error;
    fs::recursive_directory_iterator entries(root_, fs::directory_options::skip_permission_denied, error);
    // A file vanishing or being replaced while the folder is walked only ends up in the next check.
    for (; !error && entries != fs::recursive_directory_iterator(); entries.increment(error)) {
        std::error_code fileError;
        if (!entries->is_regular_file(fileError))
            continue;
        const std::string path = entries->path().lexically_normal().string();
        if (path == logFile)
            continue;
        FileState state;
        state.size = entries->file_size(fileError);
        const auto lastWrite = entries->last_write_time(fileError);
        if (fileError)
            continue;
        state.lastWrite = lastWrite.time_since_epoch().count();
        files.emplace(path, state);
    }
    return files;
}

std::vector<std::string> QRFILECheckFileUpdatePath::takeChangedFiles()
{
    std::vector<std::string> changed;
    Snapshot next;
    for (const auto& [path, state] : scan()) {
        const auto known = snapshot_.find(path);
        if (state.size == 0) {
            // Most likely truncated by a save that has not written yet: keep what was last seen
            // so that the finished file compares as changed on a later check.
            if (known != snapshot_.end())
                next.emplace(path, known->second);
            continue;
        }
        if (known == snapshot_.end() || !(known->second == state))
            changed.push_back(path);
        next.emplace(path, state);
    }
    // Vanished files are forgotten: a file that comes back compares as new.
    snapshot_ = std::move(next);
    return changed;
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
    if (mayCheck(*manager_))
        scheduleCheck();
}

void QRFILECheckFileUpdatePath::scheduleCheck()
{
    quietTimer_->start();
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

void QRFILECheckFileUpdateManager::checkFolder(const std::string& folder)
{
    auto* path = static_cast<QRFILECheckFileUpdatePath*>(watchedFolders_->findByName(withoutTrailingSeparator(folder)));
    if (!path)
        return;
    if (checking_) {
        path->scheduleCheck();
        return;
    }
    struct CheckScope {
        bool& flag;
        explicit CheckScope(bool& f) : flag(f) { flag = true; }
        ~CheckScope() { flag = false; }
    } scope(checking_);
    lastCheckTime_ = std::chrono::system_clock::now();
    const std::vector<std::string> changed = path->takeChangedFiles();
    for (const std::string& file : changed) {
        // A reload may end the program's run (an error box answered by quitting); stop then.
        auto* hub = qrManagers();
        auto* core = qrCore();
        if (!hub || !hub->getUpdateableResources() || (core && core->isQuitting()))
            return;
        hub->getUpdateableResources()->updateResourcesForFile(file);
    }
}
