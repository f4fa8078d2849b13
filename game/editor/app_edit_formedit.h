#pragma once
// The edit-tools window "Edit Tools": a small stay-on-top tool window whose pages pick the
// editor's cursor tool and its parameters (brush, ground type, what to create, rotation,
// manipulation mode). It holds no logic beyond reporting the chosen tool; the cursor reads its
// controls while a tool runs. Created with the main window, which owns it.

#include "editor/app_edit_windows.h"

#include <QWidget>

#include <map>

class QButtonGroup;
class QCheckBox;
class QListWidget;
class QRadioButton;
class QSlider;
class QTabWidget;
class QToolButton;

class TFormEdit : public QWidget, public APPEDITToolWindow {
public:
    explicit TFormEdit(QWidget* mainForm);

    void setToolHandler(std::function<void(int tool)> handler) override { toolHandler_ = std::move(handler); }
    void setToolDown(int tool) override;
    int getBrushSize() const override;
    int getIntensity() const override;
    void setBrushSize(int size) override;
    void setIntensity(int intensity) override;
    int getGroundType() const override;
    void selectGroundType(int index) override;
    bool isEnvironmentModelsPageActive() const override;
    void setModelNames(const std::vector<std::string>& names) override;
    std::string getSelectedModelName() const override;
    bool isRandomOrientation() const override;
    bool isRandomSize() const override;
    int getActor() const override;
    void selectActor(int index) override;
    bool isManipulationXZ() const override;
    int getRotationPosition() const override;
    bool isFocused() const override;
    void showAt(int left, int top) override;
    void hideWindow() override;
    bool isShown() const override;
    int getWidth() const override;
    int getHeight() const override;

    // The tool of each button, keyed by the button's name ("BtnTerrainRaise" ...).
    static const std::map<QString, int>& toolButtons();

private:
    QWidget* buildTerrainPage();
    QWidget* buildGroundPage();
    QWidget* buildEntitiesPage();
    QToolButton* addToolButton(QWidget* page, const char* name, const char* caption);
    // A click on a tool button: the group lets at most one button stay down, then the tool is chosen.
    void onToolButton(QToolButton* button);
    void selectTool(int tool);

    std::function<void(int)> toolHandler_;
    std::map<int, QToolButton*> buttons_;
    QTabWidget* pages_ = nullptr;
    QTabWidget* entityPages_ = nullptr;
    QWidget* modelPage_ = nullptr;
    QSlider* brushSize_ = nullptr;
    QSlider* intensity_ = nullptr;
    QListWidget* groundTypes_ = nullptr;
    QListWidget* models_ = nullptr;
    QListWidget* actors_ = nullptr;
    QCheckBox* randomOrientation_ = nullptr;
    QCheckBox* randomSize_ = nullptr;
    QRadioButton* manipulationXZ_ = nullptr;
    QButtonGroup* rotation_ = nullptr;
};
