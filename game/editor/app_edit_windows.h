#pragma once
// The editor's windows as the editor logic sees them, free of any window toolkit: the edit-tools
// window whose controls choose the cursor tool and its parameters, and the main window's parts the
// editor writes to (status bar) or reads (the "Snap to Grid" menu item). The Qt windows implement
// them; the editor only borrows them from whoever created the windows.

#include <functional>
#include <string>
#include <vector>

class APPEDITToolWindow {
public:
    virtual ~APPEDITToolWindow() = default;

    // Called with the tool number whenever a tool button or a list that selects a tool is clicked.
    virtual void setToolHandler(std::function<void(int tool)> handler) = 0;
    // Shows exactly the button of tool pressed; the "Place on Ground" button keeps its own state.
    virtual void setToolDown(int tool) = 0;

    // "Terrain Sculpting": the two track bars (0..10); setting a value outside is kept inside.
    virtual int getBrushSize() const = 0;
    virtual int getIntensity() const = 0;
    virtual void setBrushSize(int size) = 0;
    virtual void setIntensity(int intensity) = 0;
    // "Ground": the ground-type list ("Grass", "Concrete"); -1 when nothing is selected.
    virtual int getGroundType() const = 0;
    virtual void selectGroundType(int index) = 0;

    // "Entities": which creation page is in front, its selections and options.
    virtual bool isEnvironmentModelsPageActive() const = 0;
    // Replaces the environment model names; the list shows them sorted.
    virtual void setModelNames(const std::vector<std::string>& names) = 0;
    // "" when no model is selected.
    virtual std::string getSelectedModelName() const = 0;
    virtual bool isRandomOrientation() const = 0;
    virtual bool isRandomSize() const = 0;
    // "Kipster", "Ad", "Paper", "Coder Monkey": 0..3; -1 when nothing is selected.
    virtual int getActor() const = 0;
    virtual void selectActor(int index) = 0;
    // Manipulation mode "XZ" (true) or "Y" (false).
    virtual bool isManipulationXZ() const = 0;
    // The checked rotation button's compass position: 0, 45, ..., 315 (0 at the top, 90 right).
    virtual int getRotationPosition() const = 0;

    // While the window has the keyboard focus the cursor leaves the world alone.
    virtual bool isFocused() const = 0;
    virtual void showAt(int left, int top) = 0;
    virtual void hideWindow() = 0;
    virtual bool isShown() const = 0;
    virtual int getWidth() const = 0;
    virtual int getHeight() const = 0;
};

class APPEDITHost {
public:
    virtual ~APPEDITHost() = default;
    // Panel 0: cursor position, 1: entity count, 2: the step last undone or redone.
    virtual void setStatusText(int panel, const std::string& text) = 0;
    virtual bool isSnapToGrid() const = 0;
    // False while the mouse is not over the drawing panel or a menu is open over it.
    virtual bool isViewUnderMouse() const { return true; }
    // Whether the "Undo" and "Redo" menu items have anything to do.
    virtual void setUndoState(bool /*canUndo*/, bool /*canRedo*/) {}
    // Whether any area holds edits that are not saved (the title's mark).
    virtual void setWorldModified(bool /*modified*/) {}
};
