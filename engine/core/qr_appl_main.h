#pragma once
// Base of the application object whose hooks the frame driver calls. Not owned by the engine:
// the main window creates it after the core, the shut-down handler destroys it.

#include "core/qr_core_object.h"

class QRAPPLMain : public QRObject {
public:
    explicit QRAPPLMain(std::string_view name);
    ~QRAPPLMain() override;

    // Two hooks the engine reserves and never calls; an application may call them itself, for
    // instance around a modal dialog that stops its frames.
    virtual void onPause() {}
    virtual void onResume() {}
    // Called when the engine is asked to quit and when the main window closes.
    virtual void onQuit() {}
    // Called when the main window changes size and after a display-mode change.
    virtual void onResize() {}
    virtual void updateLogic() {}
    virtual void render() {}

    void setRunning(bool running) { running_ = running; }
    bool isRunning() const { return running_; }
    bool isQuitRequested() const { return quitRequested_; }
    // Asks the core to quit; the next frame closes the main window.
    void requestQuit();

private:
    bool running_ = false;
    bool quitRequested_ = false;
};

// The process-wide application, or null before its creation and after its destruction.
QRAPPLMain* qrApplication();
