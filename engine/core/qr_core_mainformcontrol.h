#pragma once
// The frame driver: takes over the main window's timer and close/resize events. The first tick
// brings up the core and the application; after that it runs frames, one per tick (loop mode 1)
// or back to back with pending window events processed between two frames (loop mode 2).
// Owned by the engine core.

#include "core/qr_core_object.h"

class QWidget;
class QTimer;
class QObject;

class QRCOREMainFormControl : public QRObject {
public:
    QRCOREMainFormControl(QRObject* owner, QWidget* mainForm);
    ~QRCOREMainFormControl() override;

    QTimer* getTimer() const { return timer_; }

    // Main window closing: the application goes first, then the core.
    static void shutDown();

private:
    void onStartupTick();
    static void onFrameTick();
    static void runFrame();

    QWidget* mainForm_;
    QTimer* timer_ = nullptr;
    QObject* windowHook_ = nullptr;
};
