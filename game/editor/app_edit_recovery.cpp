#include "editor/app_edit_recovery.h"

#include "core/qr_core_log.h"
#include "editor/app_edit_main.h"
#include "environment/app_envr_area.h"
#include "file/qr_file_drive.h"
#include "file/qr_file_file.h"
#include "file/qr_file_main.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"

#include <algorithm>
#include <filesystem>

namespace {

std::filesystem::path onDrive(const std::string& name)
{
    const auto* files = qrFile();
    return qrdrive::nativePath(files ? files->absolutePath(name) : name);
}

template <class Visit>
void forEachArea(Visit&& visit)
{
    for (int ax = 0; ax < APPENVRMain::kAreaCount; ++ax)
        for (int az = 0; az < APPENVRMain::kAreaCount; ++az)
            visit(APPENVRAreaIndex{ax, az});
}

} // namespace

APPEDITRecovery::APPEDITRecovery(APPEDITMain* editor) : QRObject(editor, "Recovery"), editor_(editor) {}

APPEDITRecovery::~APPEDITRecovery()
{
    if (attached_)
        attached_->setAreaSavedObserver({});
}

APPENVRMain* APPEDITRecovery::environment() const
{
    APPWRLDMain* world = editor_ ? editor_->getWorld() : nullptr;
    return world ? world->getEnvironment() : nullptr;
}

void APPEDITRecovery::attach()
{
    if (attached_)
        attached_->setAreaSavedObserver({});
    attached_ = environment();
    if (attached_)
        attached_->setAreaSavedObserver([this](const APPENVRArea& area) { markSaved(area.getIndex()); });
}

void APPEDITRecovery::setIntervalSeconds(int seconds)
{
    // Writing every frame would stall the editor; once a second is the most that makes sense.
    intervalSeconds_ = std::max(seconds, 1);
}

std::string APPEDITRecovery::getFileName(APPENVRAreaIndex area)
{
    return std::string(kFolder) + "\\area_" + std::to_string(area.ax) + "_" + std::to_string(area.az) + ".world";
}

bool APPEDITRecovery::hasUnsavedEdits() const
{
    for (const auto& column : unsaved_)
        if (std::find(column.begin(), column.end(), true) != column.end())
            return true;
    return false;
}

bool APPEDITRecovery::isUnsaved(APPENVRAreaIndex area) const
{
    return unsaved_[area.ax][area.az];
}

void APPEDITRecovery::changed(bool before)
{
    if (observer_ && before != hasUnsavedEdits())
        observer_(!before);
}

void APPEDITRecovery::markEdited(const std::vector<APPENVRAreaIndex>& areas)
{
    const bool before = hasUnsavedEdits();
    for (const APPENVRAreaIndex& area : areas) {
        if (area.ax < 0 || area.az < 0 || area.ax >= APPENVRMain::kAreaCount || area.az >= APPENVRMain::kAreaCount)
            continue;
        unsaved_[area.ax][area.az] = true;
        waiting_[area.ax][area.az] = true;
    }
    changed(before);
}

void APPEDITRecovery::markSaved(APPENVRAreaIndex area)
{
    ++saveCount_;
    const bool before = hasUnsavedEdits();
    unsaved_[area.ax][area.az] = false;
    waiting_[area.ax][area.az] = false;
    removeCopy(area);
    changed(before);
}

void APPEDITRecovery::forgetEdits()
{
    const bool before = hasUnsavedEdits();
    unsaved_ = {};
    waiting_ = {};
    clockRunning_ = false;
    changed(before);
}

void APPEDITRecovery::update(Clock::time_point now)
{
    bool anyWaiting = false;
    forEachArea([&](APPENVRAreaIndex area) { anyWaiting = anyWaiting || waiting_[area.ax][area.az]; });
    if (!anyWaiting) {
        clockRunning_ = false;
        return;
    }
    if (!clockRunning_) {
        clockRunning_ = true;
        waitingSince_ = now;
        return;
    }
    if (now - waitingSince_ >= std::chrono::seconds(intervalSeconds_)) {
        writeRecovery();
        clockRunning_ = false;
    }
}

int APPEDITRecovery::writeRecovery()
{
    APPENVRMain* terrain = environment();
    int written = 0;
    forEachArea([&](APPENVRAreaIndex index) {
        if (!waiting_[index.ax][index.az])
            return;
        // Tried once per edit: an area that cannot be written (its file is not understood, the
        // drive is full) must not bring up an error box at every interval.
        waiting_[index.ax][index.az] = false;
        APPENVRArea* area = terrain ? terrain->getArea(index.ax, index.az) : nullptr;
        if (area && !area->holdsUnreadEntities() && area->saveAs(getFileName(index)))
            ++written;
    });
    return written;
}

std::vector<APPENVRAreaIndex> APPEDITRecovery::findRecovery()
{
    std::vector<APPENVRAreaIndex> found;
    APPENVRMain* terrain = environment();
    if (!terrain)
        return found;
    forEachArea([&](APPENVRAreaIndex index) {
        const std::string name = getFileName(index);
        QRFILEFile::removeUnfinishedWrite(name);
        std::error_code error;
        const std::filesystem::path copy = onDrive(name);
        if (!std::filesystem::is_regular_file(copy, error))
            return;
        const std::filesystem::path original = onDrive(terrain->getArea(index.ax, index.az)->getFileName());
        if (std::filesystem::is_regular_file(original, error) &&
            std::filesystem::last_write_time(original, error) >= std::filesystem::last_write_time(copy, error)) {
            if (auto* log = qrLog())
                log->logInformation("Removed the recovery file \"" + name + "\": the area was saved after it");
            removeCopy(index);
            return;
        }
        found.push_back(index);
    });
    return found;
}

void APPEDITRecovery::restore(const std::vector<APPENVRAreaIndex>& areas)
{
    APPENVRMain* terrain = environment();
    if (!terrain || areas.empty())
        return;
    for (const APPENVRAreaIndex& index : areas)
        terrain->getArea(index.ax, index.az)->loadFrom(getFileName(index));
    // A copy written in the middle of a stroke holds boxes from before it.
    terrain->updateBounds();
    if (APPWRLDEntities* entities = terrain->getEntityList())
        entities->countPapers();
    const bool before = hasUnsavedEdits();
    // Already in their copies: nothing waits for the next autosave.
    for (const APPENVRAreaIndex& index : areas)
        unsaved_[index.ax][index.az] = true;
    changed(before);
}

void APPEDITRecovery::discard()
{
    forEachArea([this](APPENVRAreaIndex index) {
        QRFILEFile::removeUnfinishedWrite(getFileName(index));
        removeCopy(index);
    });
}

void APPEDITRecovery::removeCopy(APPENVRAreaIndex area)
{
    std::error_code ignored;
    std::filesystem::remove(onDrive(getFileName(area)), ignored);
}
