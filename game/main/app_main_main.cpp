#include "main/app_main_main.h"

#include "core/qr_core_devicemanager.h"
#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "editor/app_edit_cursor.h"
#include "editor/app_edit_formedit.h"
#include "editor/app_edit_formentity.h"
#include "editor/app_edit_main.h"
#include "entities/app_entt_kip.h"
#include "environment/app_envr_main.h"
#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_bindings.h"
#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_main.h"
#include "interaction/qr_inta_mouse.h"
#include "main/app_game_main.h"
#include "main/app_main_gameflow.h"
#include "main/app_main_formmain.h"
#include "main/app_main_frameguard.h"
#include "main/app_main_framerate.h"
#include "main/app_main_ini.h"
#include "sound/qr_boom_main.h"
#include "visual/device/qr_visx_antialiasing.h"
#include "visual/device/qr_visx_displaymanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/device/qr_visx_resolution.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/device/qr_visx_vsync.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_hud.h"
#include "world/app_wrld_levelsnapshot.h"
#include "world/app_wrld_main.h"

#include <QGuiApplication>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

namespace {

bool isJustPressed(QRINTAMain& input, const char* action)
{
    const QRINTAAction* found = input.getActions()->findAction(action);
    return found && found->isJustPressed();
}

} // namespace

APPMAINMain::APPMAINMain(TFormMain* mainForm) : QRAPPLMain("Kipster"), mainForm_(mainForm) {}

APPMAINMain::~APPMAINMain()
{
    // The process ends here, but the desktop must get its display mode and gamma ramp back, and
    // the sound device and controllers must be let go: those modules go first, newest first.
    flow_.reset();
    bindings_.reset();
    editor_.reset();
    game_.reset();
    sound_.reset();
    input_.reset();
    visual_.reset();
    if (auto* log = qrLog()) {
        log->logEmptyLine();
        log->logEmptyLine();
    }
    // Nothing after this line runs: neither the core's destructor nor any static destructor.
    // Whatever has to happen when the program ends happens above or in closeLogBeforeExit.
    if (auto* core = qrCore())
        core->closeLogBeforeExit();
    std::_Exit(0);
}

void APPMAINMain::initialize()
{
    qrCore()->getDeviceManager()->createControlDevice("Visual Device", mainForm_->getPanelView());

    settings_ = qrNew<APPMAINIni>(this);
    settings_->loadSettings("kipster.ini");
    frameRate_ = qrNew<APPMAINFrameRate>(this);

    visual_ = qrNew<QRVISXMain>(this);
    visual_->initialize();
    visual_->generateMainRenderContext("Main RC", "Visual Device");
    visual_->getRenderContextManager()->activatePrimaryContext();
    visual_->getDisplayManager()->getVSync()->setVSync(settings_->isVSyncEnabled());
    visual_->getDisplayManager()->getAntialiasing()->setAntialiasingQuality(settings_->getAntiAliasingLevel());
    if (settings_->getAnisotropy() > 0)
        visual_->getMaterialManager()->getTextureManager()->setAnisotropyDegree(settings_->getAnisotropy());

    input_ = qrNew<QRINTAMain>(this);
    input_->initialize();
    input_->bindToDevice("Visual Device");
    bindings_ = qrNew<QRINTABindings>(this, input_->getActions());
    registerActions();

    sound_ = qrNew<QRBOOMMain>(this);
    sound_->initialize();
    applyPlayerSettings();

    game_ = qrNew<APPGAMEMain>(this);
    game_->initialize();
    editor_ = qrNew<APPEDITMain>(this);
    editor_->setWindows(mainForm_->getFormEdit(), mainForm_->getFormEntity(), mainForm_);
    editor_->initialize();
    editor_->getRecovery()->setIntervalSeconds(settings_->getAutosaveInterval());
    flow_ = qrNew<APPMAINGameFlow>(this, game_->getWorld());
    flow_->initialize();
    // Another window in front pauses play, and what was achieved is written at once. Switching
    // modes hides the editor's windows and moves the focus about; only a game that has had the
    // focus pauses when it goes.
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, mainForm_, [this](Qt::ApplicationState state) {
        if (mode_ != Game)
            return;
        if (state == Qt::ApplicationActive) {
            gameHadFocus_ = true;
        } else if (gameHadFocus_) {
            flow_->pause();
            flow_->save();
        }
    });

    setRunning(true);
    if (settings_->startsInEditor())
        switchToEditorMode();
    else
        switchToGameMode();
    offerRecovery();
    if (auto* log = qrLog()) {
        log->logEmptyLine();
        log->logEmptyLine();
    }
}

void APPMAINMain::applyPlayerSettings()
{
    input_->setMouseSensitivity(settings_->getMouseSensitivity());
    input_->setInvertY(settings_->isInvertY());
    input_->getDevices()->setControllerDeadZone(settings_->getControllerDeadZone());
    sound_->setGain(settings_->getSoundGain());
}

void APPMAINMain::offerRecovery()
{
    APPEDITRecovery* recovery = editor_->getRecovery();
    const std::vector<APPENVRAreaIndex> found = recovery->findRecovery();
    if (found.empty())
        return;
    if (mainForm_->askRestoreRecovery(static_cast<int>(found.size()))) {
        recovery->restore(found);
        // The restored areas are the level now, not what was kept before they were read.
        if (mode_ == Game)
            game_->getWorld()->getEntities()->getLevelSnapshot()->keep(*game_->getWorld()->getEntities());
    } else
        recovery->discard();
}

void APPMAINMain::registerActions()
{
    using B = QRINTABindings;
    constexpr unsigned kGame = B::kGame;
    constexpr unsigned kEditor = B::kEditor;
    constexpr unsigned kBoth = B::kEverywhere;
    constexpr unsigned kMenu = APPMAINGameFlow::kMenuContext;
    struct Binding {
        const char* name;
        B::Codes codes;
        unsigned contexts;
    };
    // Keyboard codes are scan codes; 1000 and up are the mouse's buttons and wheel; 2000 and up the
    // first controller in its standard layout (2000 A, 2002 X, 2006 Start, 2009/2010 shoulders,
    // 2011/2012 d-pad up/down, 2202..2205 the left stick's directions, 2213 the right trigger).
    // The sixteen of the original game come first, in their order.
    static const Binding kBindings[] = {
        {"Quit", {1, -1, -1}, kBoth | kMenu},
        {"Change Mode", {63, -1, -1}, kBoth},
        {"Forward", {17, 2204, -1}, kBoth},
        {"Back", {31, 2205, -1}, kBoth},
        {"Left", {30, 2202, -1}, kBoth},
        {"Right", {32, 2203, -1}, kBoth},
        {"Jump", {57, 2000, -1}, kGame},
        {"Fly", {57, 2000, -1}, kGame},
        {"Left Mouse", {1000, 2213, 2002}, kBoth | kMenu},
        {"Right Mouse", {1001, -1, -1}, kEditor},
        {"Zoom", {42, -1, -1}, kEditor},
        {"Pan", {29, -1, -1}, kEditor},
        {"Tab", {15, -1, -1}, kBoth},
        {"Edit Entity", {18, -1, -1}, kEditor},
        {"Prior Personality", {1111, 2009, -1}, kGame},
        {"Next Personality", {1112, 2010, -1}, kGame},
        {"Pause", {25, 197, 2006}, kGame | kMenu},
        {"Menu Up", {200, 2011, 2204}, kMenu},
        {"Menu Down", {208, 2012, 2205}, kMenu},
        {"Menu Choose", {28, 156, 2000}, kMenu},
        {"Show FPS", {61, -1, -1}, kBoth | kMenu},
    };
    for (const auto& binding : kBindings)
        bindings_->addAction(binding.name, binding.codes, binding.contexts);
    settings_->applyBindings(*bindings_);
}

void APPMAINMain::toggleMode()
{
    if (mode_ == Game)
        switchToEditorMode();
    else if (mode_ == Editor)
        switchToGameMode();
}

void APPMAINMain::switchToGameMode()
{
    gameHadFocus_ = false;
    QTimer::singleShot(kFocusSettleMilliseconds, mainForm_, [this] {
        gameHadFocus_ = gameHadFocus_ || QGuiApplication::applicationState() == Qt::ApplicationActive;
    });
    mainForm_->showNormal();
    mainForm_->setMenuAttached(false);
    mainForm_->statusBar()->hide();
    editor_->hideTools();
    applyGameWindow();
    setMouseCaptured(true);
    // Play changes the entities; the level as designed is kept and given back to the editor.
    game_->getWorld()->getEntities()->beginPlay();
    // Saved progress goes onto the level only now: what was kept of the level above is the level.
    flow_->beginPlay();
    // Only the blocks around the camera update, and the editor may have left it anywhere: the hero
    // takes the camera back before his first frame.
    if (APPENTTKip* kip = game_->getWorld()->getEntities()->getKip())
        kip->placeCamera();
    mode_ = Game;
}

void APPMAINMain::applyGameWindow()
{
    QRVISXResolution* resolution = visual_->getDisplayManager()->getResolution();
    if (settings_->isFullscreen()) {
        resolution->setResolution(settings_->getDisplayWidth(), settings_->getDisplayHeight(),
                                  settings_->getFrequency());
    } else {
        // Sizes the window and centres it on the desktop.
        resolution->setWindowed(settings_->getDisplayWidth(), settings_->getDisplayHeight());
    }
}

void APPMAINMain::applyDisplaySettings()
{
    QRVISXDisplayManager* display = visual_->getDisplayManager();
    display->getVSync()->setVSync(settings_->isVSyncEnabled());
    // The primary context is rebuilt with the new level when it is next made current.
    display->getAntialiasing()->setAntialiasingQuality(settings_->getAntiAliasingLevel());
    if (settings_->getAnisotropy() > 0)
        visual_->getMaterialManager()->getTextureManager()->setAnisotropyDegree(settings_->getAnisotropy());
    // The editor keeps its maximised window; the size is the game's.
    if (mode_ == Game)
        applyGameWindow();
}

void APPMAINMain::switchToEditorMode()
{
    // The editor works on the level: what play achieved is written first.
    if (mode_ == Game) {
        flow_->endPlay();
        game_->getWorld()->getEntities()->endPlay();
    }
    if (settings_->isFullscreen()) {
        visual_->getDisplayManager()->getResolution()->setWindowed(settings_->getDisplayWidth(),
                                                                   settings_->getDisplayHeight());
    }
    mainForm_->showMaximized();
    mainForm_->setMenuAttached(true);
    mainForm_->statusBar()->show();
    editor_->showTools();
    editor_->placeCameraBehindHero();
    setMouseCaptured(false);
    mode_ = Editor;
}

void APPMAINMain::playFromHere()
{
    if (mode_ != Editor)
        return;
    const Vector3 cursor = editor_->getCursor()->getPosition();
    switchToGameMode();
    APPWRLDEntities* entities = game_->getWorld()->getEntities();
    APPENTTKip* kip = entities->getKip();
    // Made after the level was kept, so giving the level back takes him away again.
    if (!kip)
        kip = dynamic_cast<APPENTTKip*>(entities->createEntity("Kip", cursor));
    if (!kip)
        return;
    const float edge = APPENVRMain::kAreaSize * static_cast<float>(APPENVRMain::kAreaCount);
    kip->setPosition({std::clamp(cursor.x, 0.0f, edge), cursor.y, std::clamp(cursor.z, 0.0f, edge)});
    kip->placeCamera();
}

void APPMAINMain::setMouseCaptured(bool captured)
{
    QRINTAMouse* mouse = input_->getDevices()->getMouse();
    mouse->setCaptureMouse(captured);
    mouse->showCursor(!captured);
}

bool APPMAINMain::mayRunFrame() const
{
    return isRunning() && !isQuitRequested() && QGuiApplication::applicationState() == Qt::ApplicationActive &&
           !mainForm_->isMinimized();
}

void APPMAINMain::updateLogic()
{
    if (!mayRunFrame())
        return;
    guardFrame("an unhandled exception occurred in the game logic loop", [this] {
        input_->update();
        // The menu switches modes between frames; the F5 press that did it still reads as just
        // pressed now and must not switch straight back.
        const bool switchedByMenu = mode_ != modeAtLastLogic_;
        if (mode_ == Game)
            runGameFlow();
        else if (mode_ == Editor)
            editor_->update();
        // In editor mode F5 reaches the menu's "Switch Game Mode" instead.
        if (mode_ == Game && !switchedByMenu && isJustPressed(*input_, "Change Mode"))
            toggleMode();
        if (isJustPressed(*input_, "Quit") && mainForm_->confirmQuit())
            requestQuit();
        // F3 shows or hides the frame counter, and the choice is kept like the dialog's.
        if (isJustPressed(*input_, "Show FPS"))
            settings_->setShowFPS(!settings_->isShowFPS());
        modeAtLastLogic_ = mode_;
    });
}

void APPMAINMain::runGameFlow()
{
    switch (flow_->update()) {
    case APPMAINGameFlow::Request::Settings:
        mainForm_->showSettings();
        break;
    case APPMAINGameFlow::Request::Quit:
        if (mainForm_->confirmQuit())
            requestQuit();
        break;
    case APPMAINGameFlow::Request::None:
        break;
    }
}

void APPMAINMain::saveProgress()
{
    if (mode_ == Game && flow_)
        flow_->save();
}

void APPMAINMain::onQuit()
{
    // Saving the world in game mode gives the level back first; what is left then is no progress.
    if (mode_ == Game && flow_ && game_->getWorld()->getEntities()->getLevelSnapshot()->isKept())
        flow_->save();
}

void APPMAINMain::render()
{
    if (!mayRunFrame())
        return;
    guardFrame("an unhandled exception occurred in the rendering loop", [this] {
        QRVISXRenderContextManager* contexts = visual_->getRenderContextManager();
        contexts->activatePrimaryContext();
        qrGL().clearColor(0.3f, 0.3f, 0.3f, 1.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        if (mode_ == Game) {
            game_->render();
            flow_->render();
        } else if (mode_ == Editor) {
            game_->renderEditor();
            editor_->renderOverlay();
        }
        // The settings dialog may have changed either since the last frame.
        frameRate_->setMaxFPS(settings_->getMaxFPS());
        frameRate_->setShowFPS(settings_->isShowFPS());
        frameRate_->render(game_->getWorld()->getHUD()->getFont());
        if (QRVISXRenderContext* primary = contexts->getPrimaryContext())
            primary->swapBuffers();
        visual_->endFrame();
        frameRate_->endFrame();
    });
}
