#pragma once
// Watches content folders (with all their subfolders) for files that appear, vanish or change, and
// reloads the resources made from a file that changed or appeared. Notifications come through the
// Qt event loop, so reloads run between frames, never inside one. Owned by the file module; each
// watched folder is a QRFILECheckFileUpdatePath owned by the manager.

#include "core/qr_core_object.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QRRESCList;
class QFileSystemWatcher;
class QString;
class QTimer;
class QRFILECheckFileUpdateManager;

class QRFILECheckFileUpdatePath : public QRObject {
public:
    // Bursts of notifications (an editor truncating, then writing, then touching a file) are
    // gathered for this long before the folder is checked.
    static constexpr int kQuietPeriodMs = 40;

    QRFILECheckFileUpdatePath(QRFILECheckFileUpdateManager* owner, const std::string& folder);
    ~QRFILECheckFileUpdatePath() override;

    // The files (native paths) that changed or appeared since the last call (or since the folder
    // was first watched). An empty file is taken for one still being written and left for the
    // next call; the log file is never reported.
    std::vector<std::string> takeChangedFiles();
    // Checks the folder once the quiet period has passed without further notifications.
    void scheduleCheck();

private:
    struct FileState {
        std::uintmax_t size = 0;
        std::int64_t lastWrite = 0;
        bool operator==(const FileState&) const = default;
    };
    using Snapshot = std::map<std::string, FileState>;

    Snapshot scan() const;
    void watchTree(const QString& folder);
    void notify();

    QRFILECheckFileUpdateManager* manager_;
    std::string root_;
    Snapshot snapshot_;
    std::unique_ptr<QFileSystemWatcher> notifier_;
    std::unique_ptr<QTimer> quietTimer_;
};

class QRFILECheckFileUpdateManager : public QRObject {
public:
    explicit QRFILECheckFileUpdateManager(QRObject* owner);
    ~QRFILECheckFileUpdateManager() override;
    // Watches the program folder and starts the check clock.
    void initialize() override;

    void addWatchedFolder(const std::string& folder);
    bool isWatched(const std::string& folder) const;
    // Called for a watched folder when something in it changed: reloads the resources of every
    // file under it that changed or appeared since the last check.
    virtual void checkFolder(const std::string& folder);

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    std::chrono::system_clock::time_point getLastCheckTime() const { return lastCheckTime_; }

private:
    std::chrono::system_clock::time_point lastCheckTime_{};
    bool enabled_ = true;
    // A reload that shows a message box runs the event loop inside the check; a notification
    // handled there waits for the check to end instead of reloading in the middle of it.
    bool checking_ = false;
    QROwned<QRRESCList> watchedFolders_;
};
