#pragma once
// Keeps the editor's unsaved edits safe from a crash: knows which areas were edited since their
// files were last written, copies those areas every few minutes (wall clock) into the folder
// "recovery" beside "world" (same file names and format, never over the world's own files), and
// at start-up finds the copies that are newer than the world's files, to restore or discard.
// Owned by the editor (APPEDITMain).

#include "core/qr_core_object.h"
#include "environment/app_envr_main.h"

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

class APPEDITMain;

class APPEDITRecovery : public QRObject {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr const char* kFolder = "recovery";
    static constexpr int kDefaultIntervalSeconds = 120;

    explicit APPEDITRecovery(APPEDITMain* editor);
    ~APPEDITRecovery() override;

    // Starts listening to the world's area saves; the editor calls it once its world is known.
    void attach();

    void setIntervalSeconds(int seconds);
    int getIntervalSeconds() const { return intervalSeconds_; }

    // The areas changed (an edit recorded, undone or redone): they are unsaved and due for the
    // next autosave.
    void markEdited(const std::vector<APPENVRAreaIndex>& areas);
    // The area's own file was written: nothing of it is unsaved, its recovery copy goes.
    void markSaved(APPENVRAreaIndex area);
    // The world was loaded again: what the files hold is what is shown. Recovery copies stay
    // until the next save or start-up decides about them.
    void forgetEdits();
    bool hasUnsavedEdits() const;
    bool isUnsaved(APPENVRAreaIndex area) const;
    // How many area files were written since the editor started (counting every save).
    int getSaveCount() const { return saveCount_; }
    // Told whenever hasUnsavedEdits changes.
    void setUnsavedObserver(std::function<void(bool unsaved)> observer) { observer_ = std::move(observer); }

    // Once a logic frame with the wall clock: writes the areas edited since the last autosave
    // when the interval has passed since the first frame that saw them waiting.
    void update(Clock::time_point now);
    // Writes every area waiting for autosave now; returns how many were written.
    int writeRecovery();

    // The areas whose recovery copy is newer than the world's file (or whose world file is
    // missing). Older copies were superseded by a save and are deleted, as are copies cut off
    // while being written.
    std::vector<APPENVRAreaIndex> findRecovery();
    // Loads the areas from their recovery copies; their edits count as unsaved.
    void restore(const std::vector<APPENVRAreaIndex>& areas);
    // Deletes every recovery copy.
    void discard();
    static std::string getFileName(APPENVRAreaIndex area);

private:
    APPENVRMain* environment() const;
    void removeCopy(APPENVRAreaIndex area);
    void changed(bool before);

    APPEDITMain* editor_;
    APPENVRMain* attached_ = nullptr;
    int intervalSeconds_ = kDefaultIntervalSeconds;
    using AreaFlags = std::array<std::array<bool, APPENVRMain::kAreaCount>, APPENVRMain::kAreaCount>;
    AreaFlags unsaved_{};
    AreaFlags waiting_{};
    bool clockRunning_ = false;
    int saveCount_ = 0;
    Clock::time_point waitingSince_;
    std::function<void(bool)> observer_;
};
