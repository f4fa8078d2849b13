#pragma once
// The frame rate as the player sees it: the counter (F3, or ShowFPS in kipster.ini) measured over
// the last half second, and the frame cap (MaxFPS, 0 for none) that makes the loop wait before the
// next frame, so that a laptop does not run hot drawing frames nobody needs. Owned by the
// application, which tells it when each frame is on screen; the settings dialog changes both
// through the settings, which the application hands on every frame.

#include "core/qr_core_object.h"

#include <functional>
#include <string>

class QRVISXFont;

class APPMAINFrameRate : public QRObject {
public:
    // Seconds on a steady clock, and a way to wait; tests replace both.
    using Clock = std::function<double()>;
    using Sleep = std::function<void(double seconds)>;
    static constexpr double kMeasuringPeriod = 0.5;

    explicit APPMAINFrameRate(QRObject* owner);

    // 0 (or less) for no cap.
    void setMaxFPS(int fps) { maxFPS_ = fps > 0 ? fps : 0; }
    int getMaxFPS() const { return maxFPS_; }
    void setShowFPS(bool show) { showFPS_ = show; }
    bool isShowFPS() const { return showFPS_; }

    // Once per frame, after the buffers were swapped: waits as long as the cap asks (never to
    // catch up after a slow frame) and counts the frame.
    void endFrame();
    // Frames per second and milliseconds per frame over the last measuring period; 0 before one
    // has passed.
    double getFramesPerSecond() const { return framesPerSecond_; }
    double getFrameMilliseconds() const { return frameMilliseconds_; }
    // What the counter shows, "FPS: 42 (23.8 ms)"; empty while it is hidden.
    std::string getText() const;
    // Draws the counter, when shown, in the top right corner over whatever was drawn, with font
    // (the heads-up display's); leaves the 3D camera current.
    void render(QRVISXFont* font) const;

    void setClock(Clock clock, Sleep sleep);

private:
    Clock clock_;
    Sleep sleep_;
    int maxFPS_ = 0;
    bool showFPS_ = false;
    // When the next frame may end at the earliest (capped), and the measuring period so far.
    double nextFrame_ = -1.0;
    double periodStart_ = -1.0;
    int framesInPeriod_ = 0;
    double framesPerSecond_ = 0.0;
    double frameMilliseconds_ = 0.0;
};
