#pragma once
// The editor's undo history: every edit the editor makes is recorded as one step (a whole stroke,
// a whole drag, one entity action) holding only what it changed, before and after, so it can be
// undone and redone exactly. It also tells whoever listens that the world was edited. Owned by the
// editor (APPEDITMain); the cursor opens and closes the steps.

#include "core/qr_core_object.h"
#include "environment/app_envr_main.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class APPEDITHistoryStep;
class APPENTTMain;
class APPWRLDMain;

// What happened to the world; areas are those whose files would now save differently.
struct APPEDITEdit {
    enum Kind {
        Recorded,
        Undone,
        Redone,
    };
    Kind kind = Recorded;
    // The step's name, the caption of the tool that made it, e.g. "Raise Terrain".
    std::string name;
    std::vector<APPENVRAreaIndex> areas;
};

class APPEDITHistory : public QRObject {
public:
    // Called after a step was recorded, undone or redone: the world and the named areas differ
    // from what they were before. Whoever tracks unsaved changes (title mark, autosave) listens
    // here; listeners are called in the order they were added.
    using Listener = std::function<void(const APPEDITEdit& edit)>;
    // Called after the history was emptied: by clear(), or because areas were loaded since the
    // steps were recorded (the steps no longer describe the world).
    using ClearListener = std::function<void()>;

    static constexpr int kMaxSteps = 100;
    static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

    // world answers the world being edited (null when there is none).
    APPEDITHistory(QRObject* owner, std::function<APPWRLDMain*()> world);
    ~APPEDITHistory() override;

    // Both return an id for removeListener.
    int addListener(Listener listener);
    int addClearListener(ClearListener listener);
    void removeListener(int id);

    // An open step counts: undo closes it first.
    bool canUndo() const;
    bool canRedo() const;
    // The step undo or redo would act on; "" when there is none.
    std::string getUndoName() const;
    std::string getRedoName() const;
    int getStepCount() const { return static_cast<int>(steps_.size()); }
    std::size_t getByteCount() const { return bytes_; }
    // Both close an open step first; they answer the name of the step undone or redone, "" when
    // there was nothing to do.
    std::string undo();
    std::string redo();
    void clear();

    // Opening a step: the terrain (vertex grid, ground cells, boxes) as it is now, or one entity
    // as it is now (null: one that is about to be created, see entityCreated). Opening the step
    // that is already open does nothing, so a drag may open it every frame; opening another one
    // closes the open one first.
    void beginTerrain(const std::string& name);
    void beginEntity(const std::string& name, APPENTTMain* entity);
    // Names the entity of an open entity step begun with null.
    void entityCreated(APPENTTMain* entity);
    // Closes the open step, comparing with what the world holds now; a step that changed nothing
    // is dropped. Recording drops the redo steps and the oldest steps beyond the bounds.
    void commit();
    bool isOpen() const { return open_ != Open::None; }

private:
    enum class Open { None, Terrain, Entity };
    struct TerrainState;

    APPWRLDMain* world() const;
    bool isStale() const;
    void dropIfStale();
    void record(std::unique_ptr<APPEDITHistoryStep> step);
    void notify(APPEDITEdit::Kind kind, const APPEDITHistoryStep& step);
    int keyOf(const APPENTTMain* entity);
    std::string apply(bool undo);

    std::function<APPWRLDMain*()> world_;
    std::vector<std::unique_ptr<APPEDITHistoryStep>> steps_;
    int position_ = 0;
    std::size_t bytes_ = 0;
    // Which world, and how many area loads, the steps were recorded against.
    const APPWRLDMain* stepsWorld_ = nullptr;
    std::uint32_t stepsLoads_ = 0;

    // Entities are named by a key of the history; the key leads to the entity's serial, which
    // changes when undo or redo makes the entity anew.
    std::unordered_map<int, std::uint64_t> serials_;
    int nextKey_ = 1;

    Open open_ = Open::None;
    std::string openName_;
    std::unique_ptr<TerrainState> openTerrain_;
    std::unique_ptr<APPEDITHistoryStep> openEntity_;

    struct Entry {
        int id;
        Listener edited;
        ClearListener cleared;
    };
    std::vector<Entry> listeners_;
    int nextListenerId_ = 1;
};
