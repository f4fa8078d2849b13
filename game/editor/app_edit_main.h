#pragma once
// The level editor: runs in editor mode in place of the game's logic. It flies the editor camera,
// lets its cursor pick and edit the world, keeps the status bar current, shows and hides the
// edit-tools window, saves areas, and draws the cursor's overlay over the world. Owned by the
// application; the main window's menu commands reach it here.

#include "core/qr_core_object.h"
#include "editor/app_edit_clipboard.h"
#include "editor/app_edit_cursor.h"
#include "editor/app_edit_history.h"
#include "editor/app_edit_recovery.h"
#include "math/qr_math_types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class APPEDITHost;
class APPENTTMain;

// One line of the entity list.
struct APPEDITEntityRow {
    std::uint64_t serial = 0;
    std::string typeName;
    std::string modelName;
    Vector3 position;
};
class APPEDITMapExport;
class APPENVRMain;
class APPEDITToolWindow;
class APPENTTEditForm;
class APPWRLDMain;

class APPEDITMain : public QRObject {
public:
    explicit APPEDITMain(QRObject* owner);
    ~APPEDITMain() override;

    // The windows the editor works with, created with the main window; any may be null (then the
    // editor runs without it). The tool window's buttons are connected to the cursor here.
    void setWindows(APPEDITToolWindow* tools, APPENTTEditForm* entityForm, APPEDITHost* host);
    // The world to edit; the running application's world when none was set.
    void setWorld(APPWRLDMain* world) { world_ = world; }
    APPWRLDMain* getWorld() const;
    APPEDITToolWindow* getToolWindow() const { return tools_; }
    APPENTTEditForm* getEntityForm() const { return entityForm_; }
    APPEDITHost* getHost() const { return host_; }
    APPEDITCursor* getCursor() const { return cursor_.get(); }
    // Every edit of the cursor is recorded here; listen to it to learn that the world was edited.
    APPEDITHistory* getHistory() const { return history_.get(); }
    // Which areas hold unsaved edits; keeps crash copies of them and offers them at start-up.
    APPEDITRecovery* getRecovery() const { return recovery_.get(); }
    bool hasUnsavedEdits() const { return recovery_->hasUnsavedEdits(); }

    // Menu "Undo" and "Redo": the status bar names the step ("Undone: Raise Terrain").
    void undo();
    void redo();

    // Initialises the cursor, then fills the tool window's model list.
    void initialize() override;
    // The names of every model of the world's model list into the tool window's list.
    void fillModelList();

    // The tool window follows the mode: shown in the editor (towards the screen's lower right
    // corner), hidden in the game.
    void showTools();
    void hideTools();
    void toggleTools();
    bool areToolsShown() const;

    // Menu "Save Area": the area of the selected entity, else of the last point of the world the
    // cursor was over. The status bar says what was written or why nothing was; true when written.
    bool saveArea();
    // Menu "Save World": every area; the status bar says how many were written.
    bool saveWorld();
    // A message in the status bar's free panel.
    void showStatus(const std::string& text);

    // Menu "Duplicate" (Ctrl+D): a copy of the selected entity beside it. "Copy" (Ctrl+C) keeps
    // the selected entity; "Paste" (Ctrl+V) makes a copy of it at the cursor. Each is one step
    // of the history, and the new entity is chosen; true when one was made (or copied).
    bool duplicateSelection();
    bool copySelection();
    bool paste();
    // Menu "Frame Selection" (F): the camera looks at the selected entity from near by.
    bool frameSelection();
    // Menu "Smaller Brush" ([) and the like: steps the brush size and the intensity (0..10).
    void stepBrush(int sizeStep, int intensityStep);
    // The entity list: every entity whose type, model and position text hold every word of
    // filter (letter case ignored), in the world's order.
    std::vector<APPEDITEntityRow> listEntities(std::string_view filter) const;
    // Choosing a line of the list: the entity is chosen and the camera flies to it.
    bool flyTo(std::uint64_t serial);
    // Menu "Export Height Map" and "Export Ground Map": the whole world's terrain as the pictures
    // the block imports read; the status bar shows where they went.
    bool exportHeightmap();
    bool exportGroundmap();

    // One logic frame in editor mode with the input module's state of this frame.
    void update();
    // The same with the given input: camera, cursor, autosave, status bar.
    void update(const APPEDITInput& input);
    void update(const APPEDITInput& input, APPEDITRecovery::Clock::time_point now);
    // Drawn after the world's editor view each frame.
    void renderOverlay();
    // The actions, mouse and frame time of this frame.
    static APPEDITInput readInput();

    const Vector3& getCameraPosition() const { return cameraPosition_; }
    float getCameraPitch() const { return pitch_; }
    float getCameraYaw() const { return yaw_; }
    void setCamera(const Vector3& position, float pitch, float yaw);
    // Entering the editor: the camera behind and above the hero, looking at him; over the
    // world's centre when there is no hero.
    void placeCameraBehindHero();

private:
    void updateCamera(const APPEDITInput& input);
    // Lifts the camera out of the terrain.
    void keepCameraAboveGround();
    // The camera at eye (kept above the ground), looking at target.
    void lookAt(const Vector3& eye, const Vector3& target);
    // The camera near the entity, looking at its model's middle from the side it looks now.
    void frameEntity(const APPENTTMain& entity);
    // The selected entity, or null after saying in the status bar why there is none to act on.
    APPENTTMain* selectionFor(const char* what);
    // Makes the clipboard's entity at ground as one step named what, and chooses it.
    APPENTTMain* place(APPEDITClipboard& clipboard, const Vector3& ground, const char* what);
    void updateStatus();
    void updateUndoState();
    // After undo or redo; name is "" when there was nothing to do.
    void showStep(const char* what, const std::string& name);
    bool exportMap(bool (APPEDITMapExport::*write)(const APPENVRMain&), const char* fileName);

    // Declared first: it goes last, after the history that tells it about edits.
    QROwned<APPEDITRecovery> recovery_;
    QROwned<APPEDITHistory> history_;
    QROwned<APPEDITCursor> cursor_;
    QROwned<APPEDITClipboard> clipboard_;
    APPWRLDMain* world_ = nullptr;
    APPEDITToolWindow* tools_ = nullptr;
    APPENTTEditForm* entityForm_ = nullptr;
    APPEDITHost* host_ = nullptr;
    Vector3 cameraPosition_{20.0f, 50.0f, 200.0f};
    float pitch_ = 0.0f;
    float yaw_ = 0.0f;
    bool toolsShown_ = false;
};
