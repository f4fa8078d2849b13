#pragma once
// A render context that draws into a window control: it puts a child window of its own, made with
// the chosen pixel format's visual, into the device's control and builds its GL context on that
// child, sharing objects with the backup context. Any change of pixel format or a control window
// re-created by the GUI rebuilds child and context at the next activation. Owned by the render
// context manager.

#include "visual/device/rendercontexts/qr_visx_rendercontext.h"

class QRVISXRenderContextManager;

class QRVISXVisualRenderContext : public QRVISXRenderContext {
public:
    QRVISXVisualRenderContext(QRObject* owner, QRCOREDevice* device, std::string_view name);
    ~QRVISXVisualRenderContext() override;

    void releaseContext() override;
    void activate() override;
    void swapBuffers() override;

    void createContext();
    void updateContext();
    void checkIfContextIsValid();
    void recreateChildControl();
    bool createDeviceContext();
    bool createRenderContext();

    qrglx::WindowHandle getPanelWindowHandle() const { return panel_.window; }

private:
    QRVISXRenderContextManager* manager() const;
    // The native window of the device's control, created on demand; 0 for other devices.
    qrglx::WindowHandle controlWindow() const;
    std::string quotedName() const { return "\"" + getName() + "\""; }
    // Remembers the failure and the control window it happened on.
    void markBuildFailed();

    qrglx::ConfigHandle config_ = nullptr;
    qrglx::WindowHandle parentWindow_ = 0;
    qrglx::WindowHandle failedWindow_ = 0;
    int panelWidth_ = 0;
    int panelHeight_ = 0;
};
