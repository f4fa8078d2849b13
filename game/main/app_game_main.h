#pragma once
// The game: owns the world, runs it in game mode and draws it in both modes. Owned by the
// application, through which the rest of the program reaches the world.

#include "core/qr_core_object.h"

class APPWRLDMain;

class APPGAMEMain : public QRObject {
public:
    explicit APPGAMEMain(QRObject* owner);
    ~APPGAMEMain() override;

    // Brings the world up and loads it.
    void initialize() override;
    // One logic frame in game mode.
    void update();
    // The world as the player sees it.
    void render();
    // The world as the editor shows it.
    void renderEditor();

    APPWRLDMain* getWorld() const { return world_.get(); }

private:
    QROwned<APPWRLDMain> world_;
};
