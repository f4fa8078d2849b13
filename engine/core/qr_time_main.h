#pragma once
// The frame timer: measures the time between frames on the local time-of-day clock, counts frames
// per second and offers the delta arithmetic that everything moving uses. Owned by the engine core.

#include "core/qr_core_object.h"

#include <cstdint>
#include <functional>
#include <utility>

class QRTIMEMain : public QRObject {
public:
    // Milliseconds since local midnight.
    using Clock = std::function<std::uint32_t()>;
    static constexpr std::uint32_t kMillisecondsPerDay = 86'400'000;
    // The longest step the game is ever asked to take. A stall (a clock jumping forward, a
    // suspended process, a long load) must not turn into one step that throws everything that
    // moves across the world; below four frames per second the game runs slower instead.
    static constexpr float kMaxDelta = 0.25f;

    explicit QRTIMEMain(QRObject* owner);
    ~QRTIMEMain() override;
    void initialize() override { resetTime(); }

    float getDelta() const { return delta_; }
    float getLastDelta() const { return lastDelta_; }
    float scaleByDelta(float x) const { return delta_ * x; }
    void advance(float& value) const { value += delta_; }
    void advanceScaled(float& value, float x) const { value += delta_ * x; }
    float getTotalTime() const { return totalTime_; }
    int getFramesPerSecond() const { return framesPerSecond_; }
    float getTimeScale() const { return timeScale_; }
    void setTimeScale(float scale) { timeScale_ = scale; }
    // While held, frames are still measured but the total time (the clock shaders animate by)
    // stands still: a paused game's water stops moving.
    void setTotalTimeHeld(bool held) { totalTimeHeld_ = held; }
    bool isTotalTimeHeld() const { return totalTimeHeld_; }

    // Whether a timer advanced by this frame's delta to value crossed timePoint during this frame.
    bool hasPassed(float timePoint, float value) const;

    std::uint32_t getClockMilliseconds() const;
    // Whole seconds of the clock and the milliseconds left over.
    std::pair<std::uint32_t, std::uint32_t> getClockSeconds() const;
    std::uint32_t getElapsedMilliseconds();
    void resetTime();
    void updateTime();
    void countFrame();

    // Replaces the local time of day (tests drive frames with it); an empty clock restores it.
    void setClock(Clock clock);
    // Sets the frame delta directly, for stepping game rules deterministically.
    void setDelta(float delta) { delta_ = delta; }

private:
    Clock clock_;
    float delta_ = 0.0f;
    float lastDelta_ = 0.0f;
    float totalTime_ = 0.0f;
    float timeScale_ = 1.0f;
    bool totalTimeHeld_ = false;
    std::uint32_t lastReading_ = 0;
    int framesPerSecond_ = 0;
    int frameCounter_ = 0;
    std::uint32_t lastSecond_ = 0;
};

// The process-wide timer, or null when no core exists.
QRTIMEMain* qrTime();
