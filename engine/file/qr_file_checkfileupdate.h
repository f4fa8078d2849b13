#pragma once
// Watches content folders (with all their subfolders) for files that appear, vanish or change.
// Notifications come through the Qt event loop, so between frames, and end in checkFolder.
// Owned by the file module; each watched folder is a QRFILECheckFileUpdatePath owned by the manager.

#include "core/qr_core_object.h"

#include <chrono>
#include <memory>
#include <string>

class QRRESCList;
class QFileSystemWatcher;
class QString;
class QRFILECheckFileUpdateManager;

class QRFILECheckFileUpdatePath : public QRObject {
public:
    QRFILECheckFileUpdatePath(QRFILECheckFileUpdateManager* owner, const std::string& folder);
    ~QRFILECheckFileUpdatePath() override;

private:
    void watchTree(const QString& folder);
    void notify();

    QRFILECheckFileUpdateManager* manager_;
    std::unique_ptr<QFileSystemWatcher> notifier_;
};

class QRFILECheckFileUpdateManager : public QRObject {
public:
    explicit QRFILECheckFileUpdateManager(QRObject* owner);
    ~QRFILECheckFileUpdateManager() override;
    // Watches the program folder and starts the check clock.
    void initialize() override;

    void addWatchedFolder(const std::string& folder);
    bool isWatched(const std::string& folder) const;
    // Called for a watched folder when something in it changed. Changes reload nothing yet: this
    // is where reloading changed resources attaches.
    virtual void checkFolder(const std::string& folder);

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    std::chrono::system_clock::time_point getLastCheckTime() const { return lastCheckTime_; }

private:
    std::chrono::system_clock::time_point lastCheckTime_{};
    bool enabled_ = true;
    QROwned<QRRESCList> watchedFolders_;
};
