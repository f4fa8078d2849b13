#pragma once
// The main window: the drawing panel PanelView, the status bar and the main menu (attached in
// editor mode only), and the owner of the editor's two windows. Creating it creates the engine
// core (continuous loop) and the application; the frame driver takes over its timer and its close
// request. Owned by main().

#include "editor/app_edit_windows.h"

#include <QMainWindow>

#include <array>

class QAction;
class QLabel;
class TFormEdit;
class TFormEntity;

class TFormMain : public QMainWindow, public APPEDITHost {
public:
    TFormMain();

    QWidget* getPanelView() const { return panelView_; }
    // Attaches (editor mode) or detaches (game mode) the main menu with its shortcuts.
    void setMenuAttached(bool attached);
    bool isMenuAttached() const;
    // Panel 0: position, 1: entity count, 2: free.
    void setStatusText(int panel, const QString& text);
    QString getStatusText(int panel) const;
    void setStatusText(int panel, const std::string& text) override;
    bool isSnapToGrid() const override;
    TFormEdit* getFormEdit() const { return formEdit_; }
    TFormEntity* getFormEntity() const { return formEntity_; }

private:
    void buildMenu();
    void buildStatusBar();

    QWidget* panelView_;
    QMenuBar* menu_ = nullptr;
    QAction* snapToGrid_ = nullptr;
    std::array<QLabel*, 3> statusPanels_{};
    TFormEdit* formEdit_ = nullptr;
    TFormEntity* formEntity_ = nullptr;
};
