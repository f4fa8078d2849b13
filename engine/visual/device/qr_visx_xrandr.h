#pragma once
// The XRandR side of the display settings: the screen size, display modes and the CRTC gamma
// ramps of the default screen, over Qt's X connection. Free of X and Qt types.

#include <cstdint>
#include <vector>

namespace qrxrandr {

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// The size the server reports right now (Xlib's cached size lags behind a mode switch); 0 x 0
// without an X display or RandR.
ScreenSize currentScreenSize(void* display);
// frequency 0 accepts any refresh rate of that size.
bool isModeAvailable(void* display, int width, int height, int frequency);
bool setMode(void* display, int width, int height, int frequency);

struct GammaRamp {
    std::uint64_t crtc = 0;
    std::vector<std::uint16_t> red;
    std::vector<std::uint16_t> green;
    std::vector<std::uint16_t> blue;
};
// Every CRTC that has a gamma ramp, in full precision.
std::vector<GammaRamp> readGammaRamps(void* display);
void writeGammaRamps(void* display, const std::vector<GammaRamp>& ramps);

} // namespace qrxrandr
