#include "main/app_main_main.h"

#include "core/qr_core_devicemanager.h"
#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "editor/app_edit_formedit.h"
#include "editor/app_edit_formentity.h"
#include "editor/app_edit_main.h"
#include "entities/app_entt_kip.h"
#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_main.h"
#include "interaction/qr_inta_mouse.h"
#include "main/app_game_main.h"
#include "main/app_main_formmain.h"
#include "main/app_main_frameguard.h"
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
#include "world/app_wrld_main.h"

#include <QGuiApplication>
#include <QStatusBar>

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
    registerActions();

    sound_ = qrNew<QRBOOMMain>(this);
    sound_->initialize();

    game_ = qrNew<APPGAMEMain>(this);
    game_->initialize();
    editor_ = qrNew<APPEDITMain>(this);
    editor_->setWindows(mainForm_->getFormEdit(), mainForm_->getFormEntity(), mainForm_);
    editor_->initialize();
    editor_->getRecovery()->setIntervalSeconds(settings_->getAutosaveInterval());

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

void APPMAINMain::offerRecovery()
{
    APPEDITRecovery* recovery = editor_->getRecovery();
    const std::vector<APPENVRAreaIndex> found = recovery->findRecovery();
    if (found.empty())
        return;
    if (mainForm_->askRestoreRecovery(static_cast<int>(found.size())))
        recovery->restore(found);
    else
        recovery->discard();
}

void APPMAINMain::registerActions()
{
    struct Binding {
        const char* name;
        int code;
    };
    // Keyboard codes are scan codes; 1000 and up are the mouse's buttons and wheel.
    static constexpr Binding kBindings[] = {
        {"Quit", 1},          {"Change Mode", 63},        {"Forward", 17},          {"Back", 31},
        {"Left", 30},         {"Right", 32},              {"Jump", 57},             {"Fly", 57},
        {"Left Mouse", 1000}, {"Right Mouse", 1001},      {"Zoom", 42},             {"Pan", 29},
        {"Tab", 15},          {"Edit Entity", 18},        {"Prior Personality", 1111}, {"Next Personality", 1112},
    };
    for (const auto& binding : kBindings)
        input_->getActions()->addAction(binding.name, binding.code);
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
    mainForm_->showNormal();
    mainForm_->setMenuAttached(false);
    mainForm_->statusBar()->hide();
    editor_->hideTools();
    QRVISXResolution* resolution = visual_->getDisplayManager()->getResolution();
    if (settings_->isFullscreen()) {
        resolution->setResolution(settings_->getDisplayWidth(), settings_->getDisplayHeight(),
                                  settings_->getFrequency());
    } else {
        // Sizes the window and centres it on the desktop.
        resolution->setWindowed(settings_->getDisplayWidth(), settings_->getDisplayHeight());
    }
    setMouseCaptured(true);
    // Only the blocks around the camera update, and the editor may have left it anywhere: the hero
    // takes the camera back before his first frame.
    if (APPENTTKip* kip = game_->getWorld()->getEntities()->getKip())
        kip->placeCamera();
    mode_ = Game;
}

void APPMAINMain::switchToEditorMode()
{
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
            game_->update();
        else if (mode_ == Editor)
            editor_->update();
        // In editor mode F5 reaches the menu's "Switch Game Mode" instead.
        if (mode_ == Game && !switchedByMenu && isJustPressed(*input_, "Change Mode"))
            toggleMode();
        if (isJustPressed(*input_, "Quit") && mainForm_->confirmQuit())
            requestQuit();
        modeAtLastLogic_ = mode_;
    });
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
        } else if (mode_ == Editor) {
            game_->renderEditor();
            editor_->renderOverlay();
        }
        if (QRVISXRenderContext* primary = contexts->getPrimaryContext())
            primary->swapBuffers();
        visual_->endFrame();
    });
}
