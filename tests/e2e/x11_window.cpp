#include "x11_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

Window search(Display* display, Window window, const std::string& title)
{
    // Qt also keeps unmapped helper windows under the application's title; only a window on
    // screen is the one a user (or window manager) would close.
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        const bool match = title == name;
        XFree(name);
        XWindowAttributes attributes{};
        if (match && XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable)
            return window;
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i)
        found = search(display, children[i], title);
    if (children)
        XFree(children);
    return found;
}

} // namespace

namespace x11 {

std::uint64_t findWindowByTitle(const std::string& title)
{
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display)
        return 0;
    return search(display.get(), DefaultRootWindow(display.get()), title);
}

Geometry windowGeometry(std::uint64_t window)
{
    DisplayPtr display(XOpenDisplay(nullptr));
    XWindowAttributes attributes{};
    if (!display || !window || !XGetWindowAttributes(display.get(), static_cast<Window>(window), &attributes))
        return {};
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display.get(), static_cast<Window>(window), DefaultRootWindow(display.get()), 0, 0, &x, &y,
                          &child);
    return {x, y, attributes.width, attributes.height};
}

bool sendCloseRequest(std::uint64_t window)
{
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display || !window)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(window);
    event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display.get(), static_cast<Window>(window), False, NoEventMask, &event);
    XSync(display.get(), False);
    return sent != 0;
}

} // namespace x11
