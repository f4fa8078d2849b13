#include "core/qr_core_main.h"

#include "core/qr_appl_main.h"
#include "core/qr_core_devicemanager.h"
#include "core/qr_core_feedback.h"
#include "core/qr_core_log.h"
#include "core/qr_core_mainformcontrol.h"
#include "core/qr_core_programfolder.h"
#include "core/qr_mngr_main.h"
#include "core/qr_time_main.h"
#include "core/qr_util_main.h"
#include "file/qr_file_main.h"
#include "math/qr_math_main.h"

#include <QMetaObject>
#include <QWidget>

#include <cstdio>

namespace {
QRCOREMain* gCore = nullptr;
}

QRCOREMain::QRCOREMain(QWidget* mainForm, int loopMode)
    : QRObject(nullptr, "QR CORE Main"), mainForm_(mainForm), loopMode_(loopMode)
{
    gCore = this;
    log_ = qrNew<QRCORELog>(this, qrProgramFolder());
    managers_ = qrNew<QRMNGRMain>(this);
    math_ = qrNew<QRMATHMain>(this);
    utilities_ = qrNew<QRUTILMain>(this);
    time_ = qrNew<QRTIMEMain>(this);
    file_ = qrNew<QRFILEMain>(this);
    feedback_ = qrNew<QRCOREFeedback>(this);
    frameControl_ = qrNew<QRCOREMainFormControl>(this, mainForm);
    deviceManager_ = qrNew<QRCOREDeviceManager>(this, mainForm);
}

void QRCOREMain::logShuttingDown()
{
    log_->logEmptyLine();
    log_->logSeparator();
    log_->logPlain("QOR CORE: Shutting Down...");
}

void QRCOREMain::closeLogBeforeExit()
{
    if (logClosed_)
        return;
    logShuttingDown();
    log_->logSeparator();
    log_->close();
    logClosed_ = true;
}

QRCOREMain::~QRCOREMain()
{
    if (!logClosed_)
        logShuttingDown();
    deviceManager_.reset();
    frameControl_.reset();
    feedback_.reset();
    time_.reset();
    utilities_.reset();
    math_.reset();
    file_.reset();
    if (!logClosed_)
        log_->logSeparator();
    managers_.reset();
    log_.reset();
    if (gCore == this)
        gCore = nullptr;
}

void QRCOREMain::initialize()
{
    log_->logEmptyLine();
    log_->logSeparator();
    log_->logPlain("QOR CORE: Initializing...");
    log_->logEmptyLine();
    log_->logPlain("Engine:      QOR 2 Engine");
    log_->logPlain("Version:     0.0.1.0");
    log_->logPlain("Notice:      Kipster, a game by its founding engineers");
    log_->logEmptyLine();

    managers_->initialize();
    math_->initialize();
    utilities_->initialize();
    time_->initialize();
    log_->initialize();
    file_->initialize();
    feedback_->initialize();
    frameControl_->initialize();
    deviceManager_->initialize();

    log_->logPlain("QOR CORE: Initialized!");
    log_->logSeparator();
    log_->logEmptyLine();
    initialized_ = true;
}

void QRCOREMain::requestQuit()
{
    quitting_ = true;
    if (auto* application = qrApplication())
        application->onQuit();
}

void QRCOREMain::updateFrame()
{
    minimized_ = mainForm_ && mainForm_->isMinimized();
    if (isReady())
        time_->updateTime();
    if (quitting_ && mainForm_ && !closePosted_) {
        // Closing destroys the core; let it happen between frames, not inside this one.
        closePosted_ = true;
        QMetaObject::invokeMethod(mainForm_, &QWidget::close, Qt::QueuedConnection);
    }
}

void QRCOREMain::countFrame()
{
    if (initialized_ && !quitting_)
        time_->countFrame();
}

void QRCOREMain::reportError(std::string_view objectName, std::string_view className, std::string_view message,
                             std::string_view methodName)
{
    std::string text = "[ERROR] ";
    if (!objectName.empty())
        text += "Object: " + std::string(objectName) + " ";
    if (!className.empty())
        text += "(Class: " + std::string(className) + ") ";
    if (!methodName.empty())
        text += "Method: " + std::string(methodName) + ": ";
    text += "\r\n";
    text += message;
    feedback_->showError(text);
}

void QRCOREMain::reportErrorFrom(std::string_view objectName, std::string_view className, std::string_view message,
                                 std::string_view methodName)
{
    if (gCore && gCore->feedback_) {
        gCore->reportError(objectName, className, message, methodName);
        return;
    }
    std::fprintf(stderr, "[ERROR] %.*s (%.*s) %.*s: %.*s\n", static_cast<int>(objectName.size()), objectName.data(),
                 static_cast<int>(className.size()), className.data(), static_cast<int>(methodName.size()),
                 methodName.data(), static_cast<int>(message.size()), message.data());
}

QRCOREMain* qrCore()
{
    return gCore;
}
