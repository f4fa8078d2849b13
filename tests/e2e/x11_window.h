#pragma once
// Talks to the X server the way a window manager or a user would: finds top-level windows by
// title and sends them the close request. Kept free of Qt headers (Xlib's macros clash with Qt).

#include <cstdint>
#include <string>

namespace x11 {
// The first mapped window (depth-first from the root) whose WM_NAME equals title; 0 when none.
std::uint64_t findWindowByTitle(const std::string& title);
struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};
// Position on the screen and size of the window's own area.
Geometry windowGeometry(std::uint64_t window);
// Sends the WM_DELETE_WINDOW client message a window manager sends when the user closes a window.
bool sendCloseRequest(std::uint64_t window);
} // namespace x11
