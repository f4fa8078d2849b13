#pragma once
// The X11/GLX side of the rendercontexts: frame-buffer configurations, the child window a context
// draws into, GL contexts and swapping. Every call runs on the main thread over Qt's own X
// connection; the calls that can fail with an X error trap it and report the failure. Free of X
// and Qt types so that either side may include it.

#include <cstdint>

namespace qrglx {

using DisplayHandle = void*;
using WindowHandle = std::uint64_t;
using ContextHandle = void*;
using ConfigHandle = void*;

// Qt's X11 display, null when the application does not run on X11 (the offscreen platform of unit tests).
DisplayHandle display();

// samples 0 asks for the nearest classic double-buffered RGBA format; samples n > 0 asks for a fully
// accelerated format with 8 bits per colour and alpha, exactly one sample buffer and n samples.
struct PixelFormat {
    int depthBits = 24;
    int stencilBits = 0;
    int samples = 0;
};

enum class ConfigResult { Found, CallFailed, NoMatch };
ConfigResult chooseConfig(DisplayHandle display, const PixelFormat& format, ConfigHandle& config);

// The child window a context draws into: created with the configuration's visual inside parent,
// mapped below its siblings and filled with black.
struct Panel {
    WindowHandle window = 0;
    WindowHandle colormap = 0;
};
Panel createPanel(DisplayHandle display, WindowHandle parent, ConfigHandle config, int width, int height);
void resizePanel(DisplayHandle display, const Panel& panel, int width, int height);
// Tolerates a window the server already destroyed together with its parent.
void destroyPanel(DisplayHandle display, const Panel& panel);

// A direct-rendering context sharing its objects with share (may be null); null on failure.
ContextHandle createContext(DisplayHandle display, ConfigHandle config, ContextHandle share);
void destroyContext(DisplayHandle display, ContextHandle context);
bool makeCurrent(DisplayHandle display, WindowHandle window, ContextHandle context);
// Makes no context current when one is; returns whether one was.
bool releaseCurrent();
ContextHandle currentContext();
DisplayHandle currentDisplay();
void swapBuffers(DisplayHandle display, WindowHandle window);

} // namespace qrglx
