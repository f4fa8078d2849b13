#pragma once
// Full-screen display modes: tests and sets a mode through XRandR, fits the main form to it, and
// puts the desktop mode back when the game goes windowed or shuts down. Owned by the display manager.

#include "core/qr_core_object.h"

#include <string>

class QRVISXResolution : public QRObject {
public:
    explicit QRVISXResolution(QRObject* owner);
    // Restores the desktop mode without touching the main form.
    ~QRVISXResolution() override;

    void setResolution(int width, int height, int frequency);
    void setWindowed(int width, int height);
    void restoreDesktopMode();
    static std::string formatMode(int width, int height, int frequency);

    int getCurrentWidth() const { return currentWidth_; }
    int getCurrentHeight() const { return currentHeight_; }
    int getCurrentFrequency() const { return currentFrequency_; }
    bool isFullScreenModeSet() const { return fullScreenModeSet_; }

private:
    int currentWidth_ = 0;
    int currentHeight_ = 0;
    int currentFrequency_ = 0;
    int startScreenWidth_ = 0;
    int startScreenHeight_ = 0;
    bool fullScreenModeSet_ = false;
    bool windowedBorderless_ = false;
    bool shuttingDown_ = false;
};
