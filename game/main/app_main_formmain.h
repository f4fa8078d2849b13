#pragma once
// The main window. Creating it creates the engine core (continuous loop) and the application;
// the frame driver takes over its timer and its close request.

#include <QMainWindow>

class TFormMain : public QMainWindow {
public:
    TFormMain();

    QWidget* getPanelView() const { return panelView_; }

private:
    QWidget* panelView_;
};
