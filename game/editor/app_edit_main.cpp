#include "editor/app_edit_main.h"

#include "core/qr_time_main.h"
#include "core/qr_util_convert.h"
#include "editor/app_edit_mapexport.h"
#include "editor/app_edit_windows.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "entities/app_entt_kip.h"
#include "entities/app_entt_main.h"
#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_keyboard.h"
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
#include <cctype>
#include <cmath>
#include <numbers>

namespace {
constexpr float kMoveSpeed = 0.15f;
constexpr float kTurnSpeed = 0.5f;
constexpr float kWheelSpeed = 0.01f;
constexpr float kPitchLimit = 80.0f;
// Keyboard flight in units per second; Shift makes it this much faster.
constexpr float kFlySpeed = 40.0f;
constexpr float kFastFlight = 4.0f;
constexpr int kScanQ = 16;
constexpr int kScanE = 18;
// The camera keeps this far above the terrain.
constexpr float kGroundClearance = 2.0f;
// Entering the editor: this far behind and above the hero.
constexpr float kBehindHero = 24.0f;
constexpr float kAboveHero = 14.0f;
constexpr float kWorldSize = APPENVRMain::kAreaSize * APPENVRMain::kAreaCount;
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
    clipboard_ = qrNew<APPEDITClipboard>(this);
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
    // A stroke still held is finished first, so the step holds its boxes too.
    cursor_->endStroke();
    showStep("Undone: ", history_->undo());
}

void APPEDITMain::redo()
{
    cursor_->endStroke();
    showStep("Redone: ", history_->redo());
}

void APPEDITMain::showStatus(const std::string& text)
{
    if (host_)
        host_->setStatusText(2, text);
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

bool APPEDITMain::saveArea()
{
    // The mouse is on the menu when this runs: the area is the one last pointed at in the view.
    APPENVRArea* area = cursor_->getLastPickedArea();
    if (const APPENTTMain* selected = cursor_->getSelectedEntity(); selected && selected->getBlock())
        area = selected->getBlock()->getArea();
    if (!area) {
        showStatus("Nothing saved: point at the area to save first");
        return false;
    }
    const bool saved = area->save();
    showStatus((saved ? "Saved " : "Could not save (see the log): ") + area->getFileName());
    return saved;
}

bool APPEDITMain::saveWorld()
{
    APPWRLDMain* world = getWorld();
    if (!world)
        return false;
    const int before = recovery_->getSaveCount();
    world->saveWorld();
    const int saved = recovery_->getSaveCount() - before;
    constexpr int kAreas = APPENVRMain::kAreaCount * APPENVRMain::kAreaCount;
    if (saved == kAreas)
        showStatus("Saved the world: " + QRUTILConvert::fromInt(saved) + " areas");
    else
        showStatus("Could not save " + QRUTILConvert::fromInt(kAreas - saved) + " of " + QRUTILConvert::fromInt(kAreas) +
                   " areas (see the log)");
    return saved == kAreas;
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
    input.flyForward = actionState(actions, "Forward").held;
    input.flyBack = actionState(actions, "Back").held;
    input.flyLeft = actionState(actions, "Left").held;
    input.flyRight = actionState(actions, "Right").held;
    if (const QRINTAKeyboard* keyboard = module->getDevices()->getKeyboard()) {
        input.flyUp = keyboard->isPressed(kScanE);
        input.flyDown = keyboard->isPressed(kScanQ);
    }
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
    update(input, APPEDITRecovery::Clock::now());
}

void APPEDITMain::update(const APPEDITInput& input, APPEDITRecovery::Clock::time_point now)
{
    updateCamera(input);
    cursor_->update(input);
    // Writing the copies stalls a frame; in the middle of a stroke the brush would jump.
    if (!cursor_->isStroking())
        recovery_->update(now);
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
    if (input.rightHeld) {
        const auto axis = [](bool plus, bool minus) { return static_cast<float>(plus) - static_cast<float>(minus); };
        const Vector3 flight = forward * axis(input.flyForward, input.flyBack) + side * axis(input.flyRight, input.flyLeft) +
                               Vector3{0.0f, axis(input.flyUp, input.flyDown), 0.0f};
        cameraPosition_ += flight * (kFlySpeed * (input.zoomHeld ? kFastFlight : 1.0f) * input.delta);
    }
    keepCameraAboveGround();
    setCamera(cameraPosition_, pitch_, yaw_);
}

void APPEDITMain::keepCameraAboveGround()
{
    APPWRLDMain* world = getWorld();
    if (!world)
        return;
    // Beyond the edges the terrain's height would follow the edge's slope without end.
    const Vector3 inside{std::clamp(cameraPosition_.x, 0.0f, kWorldSize), 0.0f, std::clamp(cameraPosition_.z, 0.0f, kWorldSize)};
    cameraPosition_.y = std::max(cameraPosition_.y, world->getEnvironment()->getHeight(inside) + kGroundClearance);
}

void APPEDITMain::placeCameraBehindHero()
{
    APPWRLDMain* world = getWorld();
    if (!world)
        return;
    const APPWRLDEntities& entities = *world->getEntities();
    const APPENTTMain* hero = entities.getHero();
    for (int i = 0; !hero && i < entities.getEntityCount(); ++i)
        if (entities.getEntity(i)->getTypeName() == "Kip")
            hero = entities.getEntity(i);
    Vector3 target{kWorldSize * 0.5f, 0.0f, kWorldSize * 0.5f};
    target.y = world->getEnvironment()->getHeight(target);
    Vector3 facing{0.0f, 0.0f, -1.0f};
    if (hero) {
        target = hero->getPosition();
        // Where the game camera looks: the hero's heading, not the turn of his model.
        const auto* kip = dynamic_cast<const APPENTTKip*>(hero);
        const Vector3 forward = kip ? kip->getLookDirection() : hero->forwardVector();
        if (std::fabs(forward.x) + std::fabs(forward.z) > 1e-3f)
            facing = QRMATHVector3::normalize({forward.x, 0.0f, forward.z});
    }
    lookAt(target - facing * kBehindHero + Vector3{0.0f, kAboveHero, 0.0f}, target);
}

void APPEDITMain::lookAt(const Vector3& eye, const Vector3& target)
{
    cameraPosition_ = eye;
    keepCameraAboveGround();
    const Vector3 look = target - cameraPosition_;
    const float toDegrees = 180.0f / std::numbers::pi_v<float>;
    const float yaw = std::atan2(-look.x, -look.z) * toDegrees;
    const float pitch = std::atan2(look.y, std::hypot(look.x, look.z)) * toDegrees;
    setCamera(cameraPosition_, pitch, yaw);
}

APPENTTMain* APPEDITMain::selectionFor(const char* what)
{
    APPENTTMain* selected = cursor_->getSelectedEntity();
    if (!selected) {
        showStatus(std::string("Nothing to ") + what + ": point at an entity first");
        return nullptr;
    }
    // The world has one hero.
    if (selected->getTypeName() == "Kip" && std::string_view(what) != "frame") {
        showStatus(std::string("Kip cannot be ") + (std::string_view(what) == "copy" ? "copied" : "duplicated") +
                   ": the world has one hero");
        return nullptr;
    }
    return selected;
}

APPENTTMain* APPEDITMain::place(APPEDITClipboard& clipboard, const Vector3& ground, const char* what)
{
    APPWRLDMain* world = getWorld();
    if (!world)
        return nullptr;
    history_->beginEntity(what, nullptr);
    APPENTTMain* entity = clipboard.paste(*world, ground);
    history_->entityCreated(entity);
    history_->commit();
    if (!entity)
        return nullptr;
    cursor_->select(entity);
    showStatus(std::string(what) + ": " + clipboard.getTypeName());
    return entity;
}

bool APPEDITMain::duplicateSelection()
{
    APPENTTMain* original = selectionFor("duplicate");
    APPWRLDMain* world = getWorld();
    if (!original || !world)
        return false;
    cursor_->endStroke();
    // Beside it, to the right as the camera looks, clear of its model.
    float reach = 1.0f;
    if (const QRVISXModelLod* level = original->getModel() ? original->getModel()->getLod(0) : nullptr)
        reach = std::max(reach, level->getRadius() * original->getSize());
    const Vector3 right = QRMATHQuaternion::right(QRMATHQuaternion::fromRotationY(yaw_));
    Vector3 ground = original->getPosition() + right * (2.0f * reach);
    ground.y = world->getEnvironment()->getHeight(ground);
    auto twin = qrNew<APPEDITClipboard>(this);
    twin->copy(*original);
    return place(*twin, ground, "Duplicate") != nullptr;
}

bool APPEDITMain::copySelection()
{
    const APPENTTMain* original = selectionFor("copy");
    if (!original)
        return false;
    clipboard_->copy(*original);
    showStatus("Copied: " + clipboard_->getTypeName());
    return true;
}

bool APPEDITMain::paste()
{
    if (clipboard_->isEmpty()) {
        showStatus("Nothing to paste: copy an entity first (Ctrl+C)");
        return false;
    }
    if (!cursor_->isOverWorld()) {
        showStatus("Nothing pasted: there is no ground under the cursor");
        return false;
    }
    cursor_->endStroke();
    return place(*clipboard_, cursor_->getPosition(), "Paste") != nullptr;
}

bool APPEDITMain::frameSelection()
{
    const APPENTTMain* selected = selectionFor("frame");
    if (selected)
        frameEntity(*selected);
    return selected != nullptr;
}

void APPEDITMain::frameEntity(const APPENTTMain& entity)
{
    float reach = 1.0f;
    Vector3 centre = entity.getPosition();
    if (const QRVISXModelLod* level = entity.getModel() ? entity.getModel()->getLod(0) : nullptr) {
        reach = std::max(reach, level->getRadius() * entity.getSize());
        centre += QRMATHQuaternion::rotateVector(
            entity.getOrientation(), (level->getBoundingBoxMinimum() + level->getBoundingBoxMaximum()) * (0.5f * entity.getSize()));
    }
    // From the side the camera already looks, a little from above.
    const Quaternion view = QRMATHQuaternion::rotateX(QRMATHQuaternion::fromRotationY(yaw_), -20.0f);
    lookAt(centre - QRMATHQuaternion::forward(view) * std::max(8.0f, 4.0f * reach), centre);
}

void APPEDITMain::stepBrush(int sizeStep, int intensityStep)
{
    if (!tools_)
        return;
    tools_->setBrushSize(tools_->getBrushSize() + sizeStep);
    tools_->setIntensity(tools_->getIntensity() + intensityStep);
    showStatus("Brush size " + QRUTILConvert::fromInt(tools_->getBrushSize()) + ", intensity " +
               QRUTILConvert::fromInt(tools_->getIntensity()));
}

std::vector<APPEDITEntityRow> APPEDITMain::listEntities(std::string_view filter) const
{
    std::vector<APPEDITEntityRow> rows;
    const APPWRLDMain* world = getWorld();
    if (!world)
        return rows;
    const auto lower = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    std::vector<std::string> words;
    for (std::size_t at = 0; at < filter.size();) {
        const std::size_t end = std::min(filter.find(' ', at), filter.size());
        if (end > at)
            words.push_back(lower(std::string(filter.substr(at, end - at))));
        at = end + 1;
    }
    const APPWRLDEntities& entities = *world->getEntities();
    for (int i = 0; i < entities.getEntityCount(); ++i) {
        const APPENTTMain& entity = *entities.getEntity(i);
        // What play spawns (shots, sparks) is not part of the level.
        if (entity.isTransient())
            continue;
        APPEDITEntityRow row{entity.getSerial(), entity.getTypeName(),
                             entity.getModel() ? entity.getModel()->getName() : std::string(), entity.getPosition()};
        const std::string text =
            lower(row.typeName + " " + row.modelName + " " + QRUTILConvert::fromVector3(row.position));
        if (std::all_of(words.begin(), words.end(), [&](const std::string& word) { return text.find(word) != std::string::npos; }))
            rows.push_back(std::move(row));
    }
    return rows;
}

bool APPEDITMain::flyTo(std::uint64_t serial)
{
    const APPWRLDMain* world = getWorld();
    if (!world)
        return false;
    const APPWRLDEntities& entities = *world->getEntities();
    for (int i = 0; i < entities.getEntityCount(); ++i) {
        if (entities.getEntity(i)->getSerial() != serial)
            continue;
        cursor_->select(entities.getEntity(i));
        frameEntity(*entities.getEntity(i));
        return true;
    }
    return false;
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
