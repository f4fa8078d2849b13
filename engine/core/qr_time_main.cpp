#include "core/qr_time_main.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace {
QRTIMEMain* gTime = nullptr;

std::uint32_t localTimeOfDayMilliseconds()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    return static_cast<std::uint32_t>((local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) * 1000 +
                                      milliseconds);
}
} // namespace

QRTIMEMain::QRTIMEMain(QRObject* owner) : QRObject(owner, "QR TIME Main")
{
    gTime = this;
}

QRTIMEMain::~QRTIMEMain()
{
    if (gTime == this)
        gTime = nullptr;
}

bool QRTIMEMain::hasPassed(float timePoint, float value) const
{
    if (value < timePoint)
        return false;
    const float before = value - delta_;
    return timePoint <= 0.0f ? before <= timePoint : before < timePoint;
}

std::uint32_t QRTIMEMain::getClockMilliseconds() const
{
    return clock_ ? clock_() : localTimeOfDayMilliseconds();
}

std::pair<std::uint32_t, std::uint32_t> QRTIMEMain::getClockSeconds() const
{
    const auto milliseconds = getClockMilliseconds();
    return {milliseconds / 1000, milliseconds % 1000};
}

std::uint32_t QRTIMEMain::getElapsedMilliseconds()
{
    const std::uint32_t reading = getClockMilliseconds();
    std::int64_t elapsed = static_cast<std::int64_t>(reading) - static_cast<std::int64_t>(lastReading_);
    if (elapsed < 0) {
        // Going back by more than half a day is the wrap at midnight; anything smaller is the clock
        // being set back (daylight saving, the user), which must not become a day-long frame.
        elapsed = -elapsed > kMillisecondsPerDay / 2 ? elapsed + kMillisecondsPerDay : 0;
    }
    lastReading_ = reading;
    return static_cast<std::uint32_t>(elapsed);
}

void QRTIMEMain::resetTime()
{
    delta_ = 0.0f;
    lastReading_ = getClockMilliseconds();
}

void QRTIMEMain::updateTime()
{
    if (timeScale_ > 0.0f) {
        const auto elapsed = getElapsedMilliseconds();
        delta_ = std::min(static_cast<float>(elapsed) * 0.001f * timeScale_, kMaxDelta);
        lastDelta_ = delta_;
        if (!totalTimeHeld_)
            totalTime_ += delta_;
    } else {
        delta_ = 0.0f;
    }
}

void QRTIMEMain::countFrame()
{
    ++frameCounter_;
    if (delta_ > 0.0f) {
        const auto seconds = getClockSeconds().first;
        if (seconds != lastSecond_) {
            framesPerSecond_ = frameCounter_;
            frameCounter_ = 0;
            lastSecond_ = seconds;
        }
    }
}

void QRTIMEMain::setClock(Clock clock)
{
    clock_ = std::move(clock);
}

QRTIMEMain* qrTime()
{
    return gTime;
}
