#pragma once
// Catches the X errors of the requests made during its lifetime; Xlib's default handler would end
// the process on a stale window, a refused context or a CRTC that went away. For X-only
// translation units: it includes Xlib, so no Qt header may follow it.

#include <X11/Xlib.h>

class QRVISXX11ErrorTrap {
public:
    explicit QRVISXX11ErrorTrap(Display* display) : display_(display)
    {
        XSync(display_, False);
        code_ = 0;
        previous_ = XSetErrorHandler(&QRVISXX11ErrorTrap::handle);
    }
    ~QRVISXX11ErrorTrap()
    {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    QRVISXX11ErrorTrap(const QRVISXX11ErrorTrap&) = delete;
    QRVISXX11ErrorTrap& operator=(const QRVISXX11ErrorTrap&) = delete;

    // Whether any request so far failed.
    bool failed()
    {
        XSync(display_, False);
        return code_ != 0;
    }

private:
    static int handle(Display*, XErrorEvent* event)
    {
        code_ = event->error_code;
        return 0;
    }

    Display* display_;
    XErrorHandler previous_;
    static inline int code_ = 0;
};
