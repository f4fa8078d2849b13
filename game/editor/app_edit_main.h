#pragma once
// The level editor: runs in editor mode in place of the game's logic. It flies the editor camera,
// lets its cursor pick and edit the world, keeps the status bar current, shows and hides the
// edit-tools window, saves areas, and draws the cursor's overlay over the world. Owned by the
// application; the main window's menu commands reach it here.

#include "core/qr_core_object.h"
#include "editor/app_edit_cursor.h"
#include "math/qr_math_types.h"

class APPEDITHost;
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

    // Menu "Save Area": the area under the cursor, if there is one.
    void saveArea();
    // Menu "Save World": every area.
    void saveWorld();

    // One logic frame in editor mode with the input module's state of this frame.
    void update();
    // The same with the given input: camera, cursor, status bar.
    void update(const APPEDITInput& input);
    // Drawn after the world's editor view each frame.
    void renderOverlay();
    // The actions, mouse and frame time of this frame.
    static APPEDITInput readInput();

    const Vector3& getCameraPosition() const { return cameraPosition_; }
    float getCameraPitch() const { return pitch_; }
    float getCameraYaw() const { return yaw_; }
    void setCamera(const Vector3& position, float pitch, float yaw);

private:
    void updateCamera(const APPEDITInput& input);
    void updateStatus();

    QROwned<APPEDITCursor> cursor_;
    APPWRLDMain* world_ = nullptr;
    APPEDITToolWindow* tools_ = nullptr;
    APPENTTEditForm* entityForm_ = nullptr;
    APPEDITHost* host_ = nullptr;
    Vector3 cameraPosition_{20.0f, 50.0f, 200.0f};
    float pitch_ = 0.0f;
    float yaw_ = 0.0f;
    bool toolsShown_ = false;
};
