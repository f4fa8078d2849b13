#include "core/qr_core_mainformcontrol.h"

#include "core/qr_appl_main.h"
#include "core/qr_core_main.h"
#include "core/qr_time_main.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <QTimer>
#include <QWidget>

namespace {

// Routes the main window's close and resize events to the engine.
class MainFormHook : public QObject {
public:
    explicit MainFormHook(QWidget* mainForm) : QObject(mainForm) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            QRCOREMainFormControl::shutDown();
        } else if (event->type() == QEvent::Resize) {
            if (auto* application = qrApplication())
                application->onResize();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QRCOREMainFormControl::QRCOREMainFormControl(QRObject* owner, QWidget* mainForm)
    : QRObject(owner, "QR CORE Main Form Control"), mainForm_(mainForm)
{
    if (!mainForm_)
        return;
    mainForm_->hide();
    windowHook_ = new MainFormHook(mainForm_);
    mainForm_->installEventFilter(windowHook_);
    timer_ = new QTimer(mainForm_);
    timer_->setInterval(1);
    QObject::connect(timer_, &QTimer::timeout, timer_, [this] { onStartupTick(); });
    timer_->start();
}

QRCOREMainFormControl::~QRCOREMainFormControl()
{
    if (!mainForm_)
        return;
    // Both may be on the call stack right now (the close event, the frame tick): let Qt delete
    // them once control is back in its event loop.
    mainForm_->removeEventFilter(windowHook_);
    windowHook_->deleteLater();
    timer_->stop();
    timer_->disconnect();
    timer_->deleteLater();
}

void QRCOREMainFormControl::onStartupTick()
{
    auto* core = qrCore();
    if (core && !core->isInitialized()) {
        timer_->stop();
        timer_->setInterval(core->getLoopMode() == 1 ? 20 : 1);
        timer_->disconnect();
        QObject::connect(timer_, &QTimer::timeout, timer_, &QRCOREMainFormControl::onFrameTick);
    }
    if (core && !core->isInitialized())
        core->initialize();
    auto* application = qrApplication();
    if (application && core && core->isInitialized()) {
        application->initialize();
        if (application->isRunning() && qrCore())
            timer_->start();
    }
}

void QRCOREMainFormControl::onFrameTick()
{
    auto* core = qrCore();
    if (!core || !core->isInitialized())
        return;
    if (core->getLoopMode() == 1) {
        runFrame();
        return;
    }
    core->getFrameControl()->timer_->stop();
    // The core and this driver may be gone after any pending event (the main window's close), so
    // the loop holds on to nothing but the process-wide references.
    while (qrCore()) {
        runFrame();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        // Minimised, or quitting with the close still pending (or refused by the window): no
        // frame to draw, so leave the machine alone until the window system has news.
        if (auto* current = qrCore(); current && !current->isReady())
            QThread::msleep(10);
    }
}

void QRCOREMainFormControl::runFrame()
{
    auto* core = qrCore();
    core->updateFrame();
    auto* application = qrApplication();
    if (!core->isReady() || !application || !application->isRunning())
        return;
    if (qrTime()->getDelta() > 0.0f)
        application->updateLogic();
    if (core->getLoopMode() == 1) {
        core->countFrame();
        application->render();
        return;
    }
    if (!core->isQuitting())
        core->countFrame();
    if (!application->isQuitRequested())
        application->render();
}

void QRCOREMainFormControl::shutDown()
{
    if (auto* application = qrApplication()) {
        application->onQuit();
        QRDestroy()(application);
    }
    if (auto* core = qrCore())
        QRDestroy()(core);
}
