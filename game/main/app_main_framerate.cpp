#include "main/app_main_framerate.h"

#include "visual/qr_visx_main.h"
#include "visual/text/qr_visx_font.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_viewport.h"

#include <chrono>
#include <cstdio>
#include <thread>

APPMAINFrameRate::APPMAINFrameRate(QRObject* owner) : QRObject(owner, "Frame Rate")
{
    setClock({}, {});
}

void APPMAINFrameRate::setClock(Clock clock, Sleep sleep)
{
    clock_ = clock ? std::move(clock) : Clock([] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    });
    sleep_ = sleep ? std::move(sleep) : Sleep([](double seconds) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    });
}

void APPMAINFrameRate::endFrame()
{
    double now = clock_();
    if (maxFPS_ > 0) {
        const double period = 1.0 / maxFPS_;
        if (nextFrame_ >= 0.0 && now < nextFrame_) {
            sleep_(nextFrame_ - now);
            now = clock_();
        }
        // A frame that took longer than the period starts the rhythm afresh instead of leaving a
        // debt that the next frames would pay by running uncapped.
        nextFrame_ = nextFrame_ >= 0.0 && now - nextFrame_ < period ? nextFrame_ + period : now + period;
    } else {
        nextFrame_ = -1.0;
    }
    if (periodStart_ < 0.0) {
        periodStart_ = now;
        return;
    }
    ++framesInPeriod_;
    const double elapsed = now - periodStart_;
    if (elapsed >= kMeasuringPeriod) {
        framesPerSecond_ = framesInPeriod_ / elapsed;
        frameMilliseconds_ = elapsed * 1000.0 / framesInPeriod_;
        framesInPeriod_ = 0;
        periodStart_ = now;
    }
}

std::string APPMAINFrameRate::getText() const
{
    if (!showFPS_)
        return {};
    char text[48];
    std::snprintf(text, sizeof text, "FPS: %.0f (%.1f ms)", framesPerSecond_, frameMilliseconds_);
    return text;
}

void APPMAINFrameRate::render(QRVISXFont* font) const
{
    QRVISXMain* visual = qrVisual();
    if (!showFPS_ || !font || !visual)
        return;
    QRVISXCameraManager& cameras = *visual->getCameraManager();
    if (!cameras.get2DCamera() || !cameras.get3DCamera())
        return;
    cameras.activateCamera(cameras.get2DCamera());
    // The heads-up display's size of text, 0.1 in from the top right corner, yellow so that it is
    // not taken for part of the game.
    constexpr float kHeight = 0.03f;
    constexpr int kAlphaBlending = 3;
    const Vector2 position{visual->getViewPort()->getAspect() - 0.1f, 1.0f - 0.1f};
    font->renderText(getText(), position, kHeight, true, {1.0f, 1.0f, 0.3f, 1.0f}, kAlphaBlending,
                     QRVISXFont::kAlignRight);
    cameras.activateCamera(cameras.get3DCamera());
}
