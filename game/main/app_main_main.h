#pragma once
// The Kipster application object: brings the game up on the first timer tick and runs its frames.
// Created by the main window after the engine core; destroyed by the frame driver's shut-down handler.

#include "core/qr_appl_main.h"

class QWidget;

class APPMAINMain : public QRAPPLMain {
public:
    explicit APPMAINMain(QWidget* mainForm);
    void initialize() override;

private:
    QWidget* mainForm_;
};
