#pragma once
// Changes the test's X server the way a user's display settings would: adds display modes, switches
// them and reads or writes the first CRTC's gamma ramp, over a connection of its own. Free of Qt headers.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace x11display {
// Offers width x height at rate Hz on the first output (Xvfb starts with its screen size only).
void addMode(int width, int height, int rate);
std::pair<int, int> screenSize();
// Switches the screen to an offered size, as another program would.
void setScreenSize(int width, int height);
std::vector<std::uint16_t> redGamma();
// Sets every entry of the first CRTC's ramp to value.
void fillGamma(std::uint16_t value);

// On the program's own connection (an Xlib Display*): the number of requests sent so far, and a
// bare buffer swap of window to compare the engine's swap with.
std::uint64_t requestsSent(void* display);
void plainSwapBuffers(void* display, std::uint64_t window);
// The GLX extensions of the client library (the list the extension loader searches).
std::string glxClientExtensions(void* display);
} // namespace x11display
