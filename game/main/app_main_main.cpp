#include "main/app_main_main.h"

#include "core/qr_core_devicemanager.h"
#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_main.h"
#include "sound/qr_boom_main.h"
#include "visual experience/qr_visx_antialiasing.h"
#include "visual experience/qr_visx_displaymanager.h"
#include "visual experience/qr_visx_gl.h"
#include "visual experience/qr_visx_main.h"
#include "visual experience/qr_visx_vsync.h"
#include "visual experience/render contexts/qr_visx_rendercontext.h"
#include "visual experience/render contexts/qr_visx_rendercontextmanager.h"

#include <QGuiApplication>
#include <QWidget>

APPMAINMain::APPMAINMain(QWidget* mainForm) : QRAPPLMain("Kipster Application"), mainForm_(mainForm) {}

APPMAINMain::~APPMAINMain() = default;

void APPMAINMain::initialize()
{
    mainForm_->resize(1024, 768);
    mainForm_->show();
    if (auto* panelView = mainForm_->findChild<QWidget*>("PanelView"))
        qrCore()->getDeviceManager()->createControlDevice("Visual Device", panelView);
    visual_ = qrNew<QRVISXMain>(this);
    visual_->initialize();
    visual_->generateMainRenderContext("Main RC", "Visual Device");
    visual_->getRenderContextManager()->activatePrimaryContext();
    // The settings file's defaults until it is read: v-sync on, no antialiasing.
    visual_->getDisplayManager()->getVSync()->setVSync(true);
    visual_->getDisplayManager()->getAntialiasing()->setAntialiasingQuality(0);
    input_ = qrNew<QRINTAMain>(this);
    input_->initialize();
    input_->bindToDevice("Visual Device");
    registerActions();
    sound_ = qrNew<QRBOOMMain>(this);
    sound_->initialize();
    setRunning(true);
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

bool APPMAINMain::mayRunFrame() const
{
    return isRunning() && !isQuitRequested() && QGuiApplication::applicationState() == Qt::ApplicationActive &&
           !mainForm_->isMinimized();
}

void APPMAINMain::updateLogic()
{
    if (!mayRunFrame())
        return;
    try {
        input_->update();
        if (auto* quit = input_->getActions()->findAction("Quit"); quit && quit->isJustPressed())
            requestQuit();
    } catch (...) {
        if (auto* log = qrLog())
            log->logError("an unhandled exception occurred in the game logic loop");
    }
}

void APPMAINMain::render()
{
    if (!mayRunFrame())
        return;
    try {
        QRVISXRenderContextManager* contexts = visual_->getRenderContextManager();
        contexts->activatePrimaryContext();
        qrGL().clearColor(0.3f, 0.3f, 0.3f, 1.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        if (QRVISXRenderContext* primary = contexts->getPrimaryContext())
            primary->swapBuffers();
        visual_->endFrame();
    } catch (...) {
        if (auto* log = qrLog())
            log->logError("an unhandled exception occurred in the rendering loop");
    }
}
