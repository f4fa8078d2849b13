#pragma once
// A running engine core plus a started visual module on the test's X server (Xvfb): a shown
// 640 x 480 window whose panel is registered as "Visual Device", the backup context up, and
// message boxes captured. For tests labelled gl.

#include "engine_fixture.h"

#include <memory>
#include <string>

class QWidget;
class QRVISXMain;

class GLContextFixture : public EngineFixture {
protected:
    static constexpr int kPanelWidth = 640;
    static constexpr int kPanelHeight = 480;

    GLContextFixture();
    ~GLContextFixture() override;

    QRVISXMain& visual() { return *visual_; }
    QWidget* window() const { return window_.get(); }
    QWidget* panel() const { return panel_; }
    // Takes the visual module down now (restoring display mode and gamma).
    void shutDownVisual();
    // Destroys the panel's native window and creates a new one, as the GUI does on some changes.
    void recreatePanelWindow();
    // How often text stands in the log so far.
    std::size_t logCount(const std::string& text) const;
    // Lets Qt handle the window system's events for a moment.
    static void processEvents();

private:
    std::unique_ptr<QWidget> window_;
    QWidget* panel_ = nullptr;
    QRVISXMain* visual_ = nullptr;
};
