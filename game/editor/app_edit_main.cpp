#include "editor/app_edit_main.h"

#include "core/qr_time_main.h"
#include "core/qr_util_convert.h"
#include "editor/app_edit_mapexport.h"
#include "editor/app_edit_windows.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_main.h"
#include "interaction/qr_inta_mouse.h"
#include "interaction/qr_inta_platforminput.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_vector.h"
#include "visual/geometry/qr_visx_model.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"
#include "world/app_wrld_models.h"

#include <algorithm>

namespace {
constexpr float kMoveSpeed = 0.15f;
constexpr float kTurnSpeed = 0.5f;
constexpr float kWheelSpeed = 0.01f;
constexpr float kPitchLimit = 80.0f;
// Where the tool window goes: this far from the screen's right and bottom edges.
constexpr int kToolsRightMargin = 50;
constexpr int kToolsBottomMargin = 100;

struct ActionState {
    bool pressed = false;
    bool held = false;
    bool released = false;
};

ActionState actionState(const QRINTAActions& actions, const char* name)
{
    const QRINTAAction* action = actions.findAction(name);
    if (!action)
        return {};
    return {action->isJustPressed(), action->isHeld(), action->isJustReleased()};
}
} // namespace

APPEDITMain::APPEDITMain(QRObject* owner) : QRObject(owner, "Editor")
{
    recovery_ = qrNew<APPEDITRecovery>(this);
    recovery_->setUnsavedObserver([this](bool unsaved) {
        if (host_)
            host_->setWorldModified(unsaved);
    });
    history_ = qrNew<APPEDITHistory>(this, [this] { return getWorld(); });
    // Undoing back to the saved state still counts as unsaved: the areas are written once more.
    history_->addListener([this](const APPEDITEdit& edit) { recovery_->markEdited(edit.areas); });
    history_->addListener([this](const APPEDITEdit&) { updateUndoState(); });
    history_->addClearListener([this] { updateUndoState(); });
    cursor_ = qrNew<APPEDITCursor>(this);
}

APPEDITMain::~APPEDITMain()
{
    if (tools_)
        tools_->setToolHandler({});
}

void APPEDITMain::setWindows(APPEDITToolWindow* tools, APPENTTEditForm* entityForm, APPEDITHost* host)
{
    if (tools_)
        tools_->setToolHandler({});
    tools_ = tools;
    entityForm_ = entityForm;
    host_ = host;
    if (tools_)
        tools_->setToolHandler([cursor = cursor_.get()](int tool) { cursor->setTool(tool); });
    updateUndoState();
}

void APPEDITMain::undo()
{
    showStep("Undone: ", history_->undo());
}

void APPEDITMain::redo()
{
    showStep("Redone: ", history_->redo());
}

void APPEDITMain::showStep(const char* what, const std::string& name)
{
    // The step may have taken the selected entity out of the world.
    cursor_->checkSelection();
    if (host_ && !name.empty())
        host_->setStatusText(2, what + name);
    updateUndoState();
}

void APPEDITMain::updateUndoState()
{
    if (host_)
        host_->setUndoState(history_->canUndo(), history_->canRedo());
}

APPWRLDMain* APPEDITMain::getWorld() const
{
    return world_ ? world_ : appWorld();
}

void APPEDITMain::initialize()
{
    QRObject::initialize();
    history_->clear();
    recovery_->attach();
    cursor_->initialize();
    fillModelList();
}

void APPEDITMain::fillModelList()
{
    APPWRLDMain* world = getWorld();
    if (!tools_ || !world)
        return;
    APPWRLDModels* models = world->getModels();
    std::vector<std::string> names;
    for (int i = 0; i < models->getModelCount(); ++i)
        names.push_back(models->getModelAt(i)->getName());
    tools_->setModelNames(names);
}

void APPEDITMain::showTools()
{
    toolsShown_ = true;
    if (!tools_)
        return;
    const auto [left, top, bottom, right] = QRINTAPlatformInput::getScreenBounds();
    tools_->showAt(right - left - tools_->getWidth() - kToolsRightMargin,
                   bottom - top - tools_->getHeight() - kToolsBottomMargin);
}

void APPEDITMain::hideTools()
{
    toolsShown_ = false;
    if (tools_)
        tools_->hideWindow();
}

void APPEDITMain::toggleTools()
{
    areToolsShown() ? hideTools() : showTools();
}

bool APPEDITMain::areToolsShown() const
{
    return tools_ ? tools_->isShown() : toolsShown_;
}

void APPEDITMain::saveArea()
{
    if (APPENVRArea* area = cursor_->getArea())
        area->save();
}

void APPEDITMain::saveWorld()
{
    if (APPWRLDMain* world = getWorld())
        world->saveWorld();
}

bool APPEDITMain::exportHeightmap()
{
    return exportMap(&APPEDITMapExport::exportHeightmap, APPENVRBlock::kHeightmapFile);
}

bool APPEDITMain::exportGroundmap()
{
    return exportMap(&APPEDITMapExport::exportGroundmap, APPENVRBlock::kGroundmapFile);
}

bool APPEDITMain::exportMap(bool (APPEDITMapExport::*write)(const APPENVRMain&), const char* fileName)
{
    APPWRLDMain* world = getWorld();
    auto exporter = qrNew<APPEDITMapExport>(this);
    const bool written = world && (exporter.get()->*write)(*world->getEnvironment());
    if (written && host_)
        host_->setStatusText(2, "Exported: " + APPEDITMapExport::locate(fileName));
    return written;
}

APPEDITInput APPEDITMain::readInput()
{
    APPEDITInput input;
    QRINTAMain* module = qrInput();
    if (!module)
        return input;
    const QRINTAActions& actions = *module->getActions();
    const ActionState leftMouse = actionState(actions, "Left Mouse");
    const ActionState rightMouse = actionState(actions, "Right Mouse");
    input.leftPressed = leftMouse.pressed;
    input.leftHeld = leftMouse.held;
    input.leftReleased = leftMouse.released;
    input.rightPressed = rightMouse.pressed;
    input.rightHeld = rightMouse.held;
    input.rightReleased = rightMouse.released;
    input.zoomHeld = actionState(actions, "Zoom").held;
    input.panHeld = actionState(actions, "Pan").held;
    input.tabPressed = actionState(actions, "Tab").pressed;
    input.editEntityHeld = actionState(actions, "Edit Entity").held;
    if (const QRINTAMouse* mouse = module->getDevices()->getMouse()) {
        input.motionX = mouse->getMotionX();
        input.motionY = mouse->getMotionY();
        input.wheel = mouse->getWheel();
        const auto [x, y] = mouse->getCursorView();
        input.cursorView = {x, y};
        input.cursorPixels = mouse->getCursorPixels();
    }
    const auto [left, top, bottom, right] = module->getOutputBounds();
    if (bottom > top)
        input.aspect = static_cast<float>(right - left) / static_cast<float>(bottom - top);
    if (const QRTIMEMain* time = qrTime())
        input.delta = time->getDelta();
    return input;
}

void APPEDITMain::update()
{
    update(readInput());
}

void APPEDITMain::update(const APPEDITInput& input)
{
    updateCamera(input);
    cursor_->update(input);
    recovery_->update(APPEDITRecovery::Clock::now());
    updateStatus();
}

void APPEDITMain::setCamera(const Vector3& position, float pitch, float yaw)
{
    cameraPosition_ = position;
    pitch_ = std::clamp(pitch, -kPitchLimit, kPitchLimit);
    yaw_ = yaw;
    if (APPWRLDMain* world = getWorld()) {
        world->getCamera()->setPosition(cameraPosition_);
        world->getCamera()->setOrientation(QRMATHQuaternion::rotateX(QRMATHQuaternion::fromRotationY(yaw_), pitch_));
    }
}

void APPEDITMain::updateCamera(const APPEDITInput& input)
{
    // Yaw about the vertical axis, then pitch about the turned X axis.
    const Quaternion q = QRMATHQuaternion::rotateX(QRMATHQuaternion::fromRotationY(yaw_), pitch_);
    const Vector3 forward = QRMATHQuaternion::forward(q);
    const Vector3 up = QRMATHQuaternion::up(q);
    const Vector3 side = QRMATHQuaternion::right(q);
    const float motionX = static_cast<float>(input.motionX);
    const float motionY = static_cast<float>(input.motionY);
    if (input.rightHeld) {
        if (input.zoomHeld) {
            cameraPosition_ += forward * (motionY * kMoveSpeed);
        } else if (input.panHeld) {
            cameraPosition_ += up * (-motionY * kMoveSpeed) + side * (-motionX * kMoveSpeed);
        } else {
            yaw_ -= motionX * kTurnSpeed;
            pitch_ += motionY * kTurnSpeed;
        }
    }
    if (input.wheel != 0)
        cameraPosition_ += forward * (static_cast<float>(input.wheel) * kWheelSpeed);
    setCamera(cameraPosition_, pitch_, yaw_);
}

void APPEDITMain::updateStatus()
{
    if (!host_)
        return;
    host_->setStatusText(0, "Position: " + QRUTILConvert::fromVector3(cursor_->getPosition()));
    APPWRLDMain* world = getWorld();
    const int count = world ? world->getEntities()->getEntityCount() : 0;
    host_->setStatusText(1, "Entities: " + QRUTILConvert::fromInt(count));
    // Loading areas empties the history without an edit: the menu follows once a frame.
    updateUndoState();
}

void APPEDITMain::renderOverlay()
{
    cursor_->render();
}
