#pragma once
// The engine core: builds the engine's basic modules in a fixed order, brings them up, reports
// errors, knows whether a frame may run, and takes everything down again. One instance, created
// by the main window before anything else; destroyed by the frame driver's shut-down handler.

#include "core/qr_core_object.h"

#include <string_view>

class QWidget;
class QRCORELog;
class QRMNGRMain;
class QRMATHMain;
class QRUTILMain;
class QRTIMEMain;
class QRFILEMain;
class QRCOREFeedback;
class QRCOREMainFormControl;
class QRCOREDeviceManager;

class QRCOREMain : public QRObject {
public:
    // loopMode 1: one frame per 20 ms tick; 2: frames back to back.
    QRCOREMain(QWidget* mainForm, int loopMode);
    ~QRCOREMain() override;
    void initialize() override;

    QWidget* getMainForm() const { return mainForm_; }
    int getLoopMode() const { return loopMode_; }
    bool isInitialized() const { return initialized_; }
    bool isMinimized() const { return minimized_; }
    bool isReady() const { return initialized_ && !minimized_ && !quitting_; }
    bool isQuitting() const { return quitting_; }
    void requestQuit();
    // For a process that ends without destroying the core (the game application ends it from its
    // destructor): writes the core's closing lines and the log's footer now; the destructor then
    // writes them no more.
    void closeLogBeforeExit();
    void updateFrame();
    void countFrame();
    void reportError(std::string_view objectName, std::string_view className, std::string_view message,
                     std::string_view methodName);

    // Reports through the core when there is one; to standard error otherwise.
    static void reportErrorFrom(std::string_view objectName, std::string_view className, std::string_view message,
                                std::string_view methodName);

    QRCORELog* getLog() const { return log_.get(); }
    QRMNGRMain* getManagers() const { return managers_.get(); }
    QRMATHMain* getMath() const { return math_.get(); }
    QRUTILMain* getUtilities() const { return utilities_.get(); }
    QRTIMEMain* getTime() const { return time_.get(); }
    QRFILEMain* getFile() const { return file_.get(); }
    QRCOREFeedback* getFeedback() const { return feedback_.get(); }
    QRCOREMainFormControl* getFrameControl() const { return frameControl_.get(); }
    QRCOREDeviceManager* getDeviceManager() const { return deviceManager_.get(); }

private:
    void logShuttingDown();

    QWidget* mainForm_;
    int loopMode_;
    bool initialized_ = false;
    bool minimized_ = false;
    bool quitting_ = false;
    bool closePosted_ = false;
    bool logClosed_ = false;

    QROwned<QRCORELog> log_;
    QROwned<QRMNGRMain> managers_;
    QROwned<QRMATHMain> math_;
    QROwned<QRUTILMain> utilities_;
    QROwned<QRTIMEMain> time_;
    QROwned<QRFILEMain> file_;
    QROwned<QRCOREFeedback> feedback_;
    QROwned<QRCOREMainFormControl> frameControl_;
    QROwned<QRCOREDeviceManager> deviceManager_;
};

// The process-wide engine core, or null before its creation and after its destruction.
QRCOREMain* qrCore();
