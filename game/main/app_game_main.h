#pragma once
// The game: runs the world in game mode and draws it in both modes. Owned by the application.

#include "core/qr_core_object.h"

class APPGAMEMain : public QRObject {
public:
    explicit APPGAMEMain(QRObject* owner);

    // One logic frame in game mode.
    void update();
    // The world as the player sees it.
    void render();
    // The world as the editor shows it.
    void renderEditor();
};
