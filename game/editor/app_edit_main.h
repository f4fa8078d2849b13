#pragma once
// The level editor: runs in editor mode in place of the game's logic and draws its overlay over
// the world. Owned by the application. The menu commands of the main window reach it here.

#include "core/qr_core_object.h"

class APPEDITMain : public QRObject {
public:
    explicit APPEDITMain(QRObject* owner);

    // The editor's tool window follows the mode: shown in the editor, hidden in the game.
    void showTools();
    void hideTools();
    void toggleTools();
    bool areToolsShown() const { return toolsShown_; }

    // Menu "Save Area": the area under the cursor.
    void saveArea();
    // Menu "Save World": every area.
    void saveWorld();

    // One logic frame in editor mode.
    void update();
    // Drawn after the world's editor view each frame.
    void renderOverlay();

private:
    bool toolsShown_ = false;
};
