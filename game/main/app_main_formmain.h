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
class TFormEntityList;
class APPEDITMain;

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
    bool isViewUnderMouse() const override;
    // "Kipster*" while any area holds unsaved edits.
    void setWorldModified(bool modified) override;
    // Before quitting (Esc or closing the window) with unsaved edits: "Save changes to the world?"
    // Yes saves first, No drops the edits and their recovery copies, Cancel stays. True when the
    // program may quit; a save that failed keeps it open.
    bool confirmQuit();
    // At start-up, when recovery copies newer than the world were found: true to restore them.
    bool askRestoreRecovery(int areaCount);
    // The settings dialog, opened as soon as the current frame is over.
    void showSettings();
    // Kept while the menu is detached, applied when it is attached again.
    void setUndoState(bool canUndo, bool canRedo) override;
    TFormEdit* getFormEdit() const { return formEdit_; }
    TFormEntity* getFormEntity() const { return formEntity_; }

protected:
    // Closing the window asks confirmQuit first; a refusal keeps the window and the program.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    // Asks before replacing an existing picture.
    void exportMap(const char* fileName, bool (APPEDITMain::*write)());
    void buildStatusBar();
    // The entity list's lines come from the editor, its choice goes to the editor.
    void connectEntityList();

    QWidget* panelView_;
    QMenuBar* menu_ = nullptr;
    QAction* snapToGrid_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    bool canUndo_ = false;
    bool canRedo_ = false;
    bool quitConfirmed_ = false;
    std::array<QLabel*, 3> statusPanels_{};
    TFormEdit* formEdit_ = nullptr;
    TFormEntity* formEntity_ = nullptr;
    TFormEntityList* formEntityList_ = nullptr;
};
