#include "visual/device/rendercontexts/qr_visx_glx.h"

// Plain GLX on purpose: GLEW's glxew.h turns these functions into pointers that stay null until a
// context is current, and the first context is created right here. No Qt header may follow Xlib.
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "visual/device/qr_visx_x11errortrap.h"


namespace {

Display* asX(qrglx::DisplayHandle display)
{
    return static_cast<Display*>(display);
}

bool hasGLX13(Display* display)
{
    int major = 0, minor = 0;
    return glXQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 3));
}

int visualDepth(Display* display, GLXFBConfig config)
{
    XVisualInfo* visual = glXGetVisualFromFBConfig(display, config);
    if (!visual)
        return 0;
    const int depth = visual->depth;
    XFree(visual);
    return depth;
}

} // namespace

namespace qrglx {

ConfigResult chooseConfig(DisplayHandle displayHandle, const PixelFormat& format, ConfigHandle& config)
{
    config = nullptr;
    Display* display = asX(displayHandle);
    if (!display || !hasGLX13(display))
        return ConfigResult::CallFailed;
    int attributes[40];
    int count = 0;
    auto add = [&](int name, int value) {
        attributes[count++] = name;
        attributes[count++] = value;
    };
    add(GLX_X_RENDERABLE, True);
    add(GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT);
    add(GLX_RENDER_TYPE, GLX_RGBA_BIT);
    add(GLX_X_VISUAL_TYPE, GLX_TRUE_COLOR);
    if (format.samples > 0) {
        add(GLX_CONFIG_CAVEAT, GLX_NONE); // full acceleration: no slow or non-conformant formats
        add(GLX_RED_SIZE, 8);
        add(GLX_GREEN_SIZE, 8);
        add(GLX_BLUE_SIZE, 8);
        add(GLX_ALPHA_SIZE, 8);
        add(GLX_DEPTH_SIZE, format.depthBits);
        add(GLX_STENCIL_SIZE, format.stencilBits);
        add(GLX_DOUBLEBUFFER, True);
        add(GLX_SAMPLE_BUFFERS, 1);
        add(GLX_SAMPLES, format.samples);
    } else {
        add(GLX_DOUBLEBUFFER, True);
        add(GLX_RED_SIZE, 8);
        add(GLX_GREEN_SIZE, 8);
        add(GLX_BLUE_SIZE, 8);
        add(GLX_DEPTH_SIZE, format.depthBits);
        add(GLX_STENCIL_SIZE, format.stencilBits);
    }
    attributes[count] = None;

    int matches = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &matches);
    if (!configs || matches <= 0) {
        if (configs)
            XFree(configs);
        return ConfigResult::NoMatch;
    }
    // The server sorts best first; prefer an opaque visual so that a compositor never blends the view.
    GLXFBConfig chosen = configs[0];
    for (int i = 0; i < matches; ++i) {
        if (visualDepth(display, configs[i]) <= 24) {
            chosen = configs[i];
            break;
        }
    }
    XFree(configs);
    config = chosen;
    return ConfigResult::Found;
}

Panel createPanel(DisplayHandle displayHandle, WindowHandle parent, ConfigHandle config, int width, int height)
{
    Display* display = asX(displayHandle);
    if (!display || !parent || !config)
        return {};
    XVisualInfo* visual = glXGetVisualFromFBConfig(display, static_cast<GLXFBConfig>(config));
    if (!visual)
        return {};
    QRVISXX11ErrorTrap trap(display);
    Panel panel;
    panel.colormap = XCreateColormap(display, RootWindow(display, visual->screen), visual->visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = panel.colormap;
    attributes.background_pixel = 0;
    attributes.border_pixel = 0;
    // No event mask: input reaches the parent widget as if this window were not there.
    panel.window = XCreateWindow(display, static_cast<Window>(parent), 0, 0, static_cast<unsigned>(width > 0 ? width : 1),
                                 static_cast<unsigned>(height > 0 ? height : 1), 0, visual->depth, InputOutput,
                                 visual->visual, CWColormap | CWBackPixel | CWBorderPixel, &attributes);
    XFree(visual);
    if (panel.window) {
        XMapWindow(display, panel.window);
        XLowerWindow(display, panel.window);
    }
    if (trap.failed() || !panel.window) {
        if (panel.window)
            XDestroyWindow(display, panel.window);
        if (panel.colormap)
            XFreeColormap(display, panel.colormap);
        return {};
    }
    return panel;
}

void resizePanel(DisplayHandle displayHandle, const Panel& panel, int width, int height)
{
    Display* display = asX(displayHandle);
    if (!display || !panel.window)
        return;
    QRVISXX11ErrorTrap trap(display);
    XResizeWindow(display, panel.window, static_cast<unsigned>(width > 0 ? width : 1),
                  static_cast<unsigned>(height > 0 ? height : 1));
}

void destroyPanel(DisplayHandle displayHandle, const Panel& panel)
{
    Display* display = asX(displayHandle);
    if (!display)
        return;
    QRVISXX11ErrorTrap trap(display);
    if (panel.window)
        XDestroyWindow(display, panel.window);
    if (panel.colormap)
        XFreeColormap(display, panel.colormap);
}

ContextHandle createContext(DisplayHandle displayHandle, ConfigHandle config, ContextHandle share)
{
    Display* display = asX(displayHandle);
    if (!display || !config)
        return nullptr;
    QRVISXX11ErrorTrap trap(display);
    GLXContext context = glXCreateNewContext(display, static_cast<GLXFBConfig>(config), GLX_RGBA_TYPE,
                                             static_cast<GLXContext>(share), True);
    if (trap.failed() && context) {
        glXDestroyContext(display, context);
        context = nullptr;
    }
    return context;
}

void destroyContext(DisplayHandle displayHandle, ContextHandle context)
{
    Display* display = asX(displayHandle);
    if (!display || !context)
        return;
    QRVISXX11ErrorTrap trap(display);
    glXDestroyContext(display, static_cast<GLXContext>(context));
}

bool makeCurrent(DisplayHandle displayHandle, WindowHandle window, ContextHandle context)
{
    Display* display = asX(displayHandle);
    if (!display || !window || !context)
        return false;
    // Every frame activates the same context again; that needs no round trip to the server.
    if (glXGetCurrentContext() == context && glXGetCurrentDrawable() == window && glXGetCurrentDisplay() == display)
        return true;
    QRVISXX11ErrorTrap trap(display);
    const Bool made = glXMakeCurrent(display, static_cast<GLXDrawable>(window), static_cast<GLXContext>(context));
    return made && !trap.failed();
}

bool releaseCurrent()
{
    if (!glXGetCurrentContext())
        return false;
    Display* display = glXGetCurrentDisplay();
    QRVISXX11ErrorTrap trap(display);
    glXMakeCurrent(display, None, nullptr);
    return true;
}

ContextHandle currentContext()
{
    return glXGetCurrentContext();
}

DisplayHandle currentDisplay()
{
    return glXGetCurrentContext() ? glXGetCurrentDisplay() : nullptr;
}

void swapBuffers(DisplayHandle displayHandle, WindowHandle window)
{
    Display* display = asX(displayHandle);
    if (!display || !window)
        return;
    // No error trap: each costs two round trips to the server, every frame. The window was
    // checked just before (a control window the GUI re-created rebuilds the context first), and
    // an error from a window the server dropped since is harmless: Qt's handler ignores it.
    glXSwapBuffers(display, static_cast<GLXDrawable>(window));
}

} // namespace qrglx
