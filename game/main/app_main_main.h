#pragma once
// The Kipster application object: brings the game up on the first timer tick and runs its frames.
// Created by the main window after the engine core; destroyed by the frame driver's shut-down handler.

#include "core/qr_appl_main.h"

class QWidget;
class QRINTAMain;
class QRBOOMMain;
class QRVISXMain;

class APPMAINMain : public QRAPPLMain {
public:
    explicit APPMAINMain(QWidget* mainForm);
    ~APPMAINMain() override;
    void initialize() override;
    void updateLogic() override;
    void render() override;

    QRVISXMain* getVisual() const { return visual_.get(); }
    QRINTAMain* getInput() const { return input_.get(); }
    QRBOOMMain* getSound() const { return sound_.get(); }

private:
    void registerActions();
    // Frames run only for the program in front, with its window on screen.
    bool mayRunFrame() const;

    QWidget* mainForm_;
    QROwned<QRVISXMain> visual_;
    QROwned<QRINTAMain> input_;
    QROwned<QRBOOMMain> sound_;
};
