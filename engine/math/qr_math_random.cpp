#include "math/qr_math_random.h"

#include <chrono>
#include <cmath>
#include <utility>

namespace {
std::uint32_t gSeed = 0;

// Advances the generator and scales the new seed to [0, range); range may be up to 2^32.
std::uint64_t draw(std::uint64_t range)
{
    gSeed = gSeed * 134775813u + 1u;
    return (range * gSeed) >> 32;
}
} // namespace

void QRMATHRandom::initialize()
{
    randomize();
}

void QRMATHRandom::randomize()
{
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    gSeed = static_cast<std::uint32_t>(ticks);
}

void QRMATHRandom::setSeed(std::uint32_t seed)
{
    gSeed = seed;
}

std::uint32_t QRMATHRandom::getSeed()
{
    return gSeed;
}

int QRMATHRandom::randomInteger(int lo, int hi)
{
    if (hi < lo)
        std::swap(lo, hi);
    // In 64 bits so that the full int range (2^32 values) neither overflows nor wraps.
    const auto range = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo + 1);
    return static_cast<int>(static_cast<std::int64_t>(lo) + static_cast<std::int64_t>(draw(range)));
}

float QRMATHRandom::randomFloat(float lo, float hi)
{
    constexpr std::uint64_t kSteps = 100000000;
    const double fraction = static_cast<double>(draw(kSteps)) / static_cast<double>(kSteps);
    const float value = static_cast<float>(lo + (static_cast<double>(hi) - lo) * fraction);
    // A fraction just below 1 can round to hi in single precision; keep the range half-open.
    if (value == hi && hi != lo)
        return std::nextafter(hi, lo);
    return value;
}
