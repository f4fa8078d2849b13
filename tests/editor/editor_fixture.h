#pragma once
// An editor working on a world in a running engine whose GL calls go to the recorder, with plain
// stand-ins for its windows: the tool window's controls and the main window's status bar and
// "Snap to Grid" are fields the tests set and read. The 3D camera looks straight down, so the
// cursor in the middle of the view picks the point under the camera.

#include "entity_world_fixture.h"

#include "editor/app_edit_main.h"
#include "editor/app_edit_windows.h"
#include "entities/app_entt_editform.h"
#include "math/qr_math_quaternion.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

class FakeToolWindow : public APPEDITToolWindow {
public:
    void setToolHandler(std::function<void(int)> handler) override { toolHandler = std::move(handler); }
    void setToolDown(int tool) override { downTool = tool; }
    int getBrushSize() const override { return brushSize; }
    int getIntensity() const override { return intensity; }
    void setBrushSize(int size) override { brushSize = std::clamp(size, 0, 10); }
    void setIntensity(int value) override { intensity = std::clamp(value, 0, 10); }
    int getGroundType() const override { return groundType; }
    void selectGroundType(int index) override { groundType = index; }
    bool isEnvironmentModelsPageActive() const override { return modelsPage; }
    void setModelNames(const std::vector<std::string>& names) override { modelNames = names; }
    std::string getSelectedModelName() const override { return selectedModel; }
    bool isRandomOrientation() const override { return randomOrientation; }
    bool isRandomSize() const override { return randomSize; }
    int getActor() const override { return actor; }
    void selectActor(int index) override { actor = index; }
    bool isManipulationXZ() const override { return manipulationXZ; }
    int getRotationPosition() const override { return rotation; }
    bool isFocused() const override { return focused; }
    void showAt(int left, int top) override
    {
        shownAt = {left, top};
        shown = true;
    }
    void hideWindow() override { shown = false; }
    bool isShown() const override { return shown; }
    int getWidth() const override { return 300; }
    int getHeight() const override { return 420; }

    std::function<void(int)> toolHandler;
    int downTool = -1;
    int brushSize = 2;
    int intensity = 2;
    int groundType = -1;
    bool modelsPage = false;
    std::vector<std::string> modelNames;
    std::string selectedModel;
    bool randomOrientation = false;
    bool randomSize = false;
    int actor = -1;
    bool manipulationXZ = true;
    int rotation = 0;
    bool focused = false;
    bool shown = false;
    std::pair<int, int> shownAt{0, 0};
};

class FakeHost : public APPEDITHost {
public:
    void setStatusText(int panel, const std::string& text) override { status[panel] = text; }
    bool isSnapToGrid() const override { return snap; }
    bool isViewUnderMouse() const override { return viewUnderMouse; }
    void setUndoState(bool undo, bool redo) override
    {
        canUndo = undo;
        canRedo = redo;
    }
    void setWorldModified(bool modified) override { worldModified = modified; }

    std::map<int, std::string> status;
    bool snap = false;
    bool viewUnderMouse = true;
    bool worldModified = false;
    bool canUndo = false;
    bool canRedo = false;
};

// Answers the dialog with OK or Cancel and keeps what the entity wrote.
class FakeEditForm : public APPENTTEditForm {
public:
    void hideAllTabs() override { tabs.clear(); }
    void showTab(std::string_view tab) override { tabs.emplace_back(tab); }
    void setText(std::string_view control, const std::string& text) override { texts[std::string(control)] = text; }
    std::string getText(std::string_view control) const override
    {
        const auto found = texts.find(std::string(control));
        return found == texts.end() ? std::string() : found->second;
    }
    void setChecked(std::string_view control, bool on) override { checks[std::string(control)] = on; }
    bool isChecked(std::string_view control) const override
    {
        const auto found = checks.find(std::string(control));
        return found != checks.end() && found->second;
    }
    bool showModal() override
    {
        ++shown;
        if (edit)
            edit(*this);
        return answerOk;
    }

    std::vector<std::string> tabs;
    std::map<std::string, std::string> texts;
    std::map<std::string, bool> checks;
    std::function<void(FakeEditForm&)> edit;
    bool answerOk = true;
    int shown = 0;
};

class EditorFixture : public EntityWorldFixture {
protected:
    EditorFixture() : editor_(qrNew<APPEDITMain>(nullptr))
    {
        editor_->setWorld(&world());
        editor_->setWindows(&tools_, &form_, &host_);
        editor_->initialize();
        lookDownAt({402.0f, 0.0f, 402.0f});
    }
    ~EditorFixture() override { editor_.reset(); }

    APPEDITMain& editor() { return *editor_; }
    APPEDITCursor& cursor() { return *editor_->getCursor(); }

    // The 3D camera 100 units above target, looking straight down.
    void lookDownAt(const Vector3& target)
    {
        QRVISXCamera3D* camera = visual_->getCameraManager()->get3DCamera();
        camera->setPosition({target.x, target.y + 100.0f, target.z});
        camera->setOrientation(QRMATHQuaternion::fromRotationX(-90.0f));
        camera->setClipPlanes(0.6f, 500.0f);
        camera->activate();
    }

    // One frame's input with the mouse in the middle of the view, moved by offset view units.
    static APPEDITInput mouse(bool pressed, bool held, bool released, Vector2 offset = {0.0f, 0.0f})
    {
        APPEDITInput input;
        input.leftPressed = pressed;
        input.leftHeld = held;
        input.leftReleased = released;
        input.cursorView = offset;
        input.aspect = 640.0f / 480.0f;
        input.delta = 0.1f;
        return input;
    }
    // One frame of the cursor with that input.
    void frame(bool pressed, bool held, bool released, Vector2 offset = {0.0f, 0.0f})
    {
        cursor().update(mouse(pressed, held, released, offset));
    }
    // The 3D camera at eye, turned by yaw about the vertical and pitched (degrees, up positive).
    void lookFrom(const Vector3& eye, float yaw, float pitch)
    {
        QRVISXCamera3D* camera = visual_->getCameraManager()->get3DCamera();
        camera->setPosition(eye);
        camera->setOrientation(QRMATHQuaternion::rotateX(QRMATHQuaternion::fromRotationY(yaw), pitch));
        camera->activate();
    }
    // One frame of the cursor with the mouse at a pixel (the rotation tool follows pixels).
    void pixelFrame(std::pair<int, int> at, bool pressed, bool held, bool released)
    {
        APPEDITInput input;
        input.aspect = 640.0f / 480.0f;
        input.leftPressed = pressed;
        input.leftHeld = held;
        input.leftReleased = released;
        input.cursorPixels = at;
        cursor().update(input);
    }
    // Press (and hold) in one frame, release in the next.
    void click()
    {
        frame(true, true, false);
        frame(false, false, true);
    }
    float height(int x, int z) { return environment().getVertex(x, z).height; }

    FakeToolWindow tools_;
    FakeHost host_;
    FakeEditForm form_;
    QROwned<APPEDITMain> editor_;
};
