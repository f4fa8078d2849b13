#include "x11_display_helper.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

DisplayPtr open()
{
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display)
        throw std::runtime_error("no X display");
    return display;
}

struct Resources {
    explicit Resources(Display* display)
        : resources(XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display)))
    {
        if (!resources || resources->ncrtc == 0 || resources->noutput == 0)
            throw std::runtime_error("no RandR CRTC");
    }
    ~Resources() { XRRFreeScreenResources(resources); }
    XRRScreenResources* resources;
};

} // namespace

namespace x11display {

void addMode(int width, int height, int rate)
{
    DisplayPtr display = open();
    Resources resources(display.get());
    for (int i = 0; i < resources.resources->nmode; ++i)
        if (static_cast<int>(resources.resources->modes[i].width) == width &&
            static_cast<int>(resources.resources->modes[i].height) == height)
            return;
    std::string name = std::to_string(width) + "x" + std::to_string(height);
    XRRModeInfo mode{};
    mode.width = static_cast<unsigned>(width);
    mode.height = static_cast<unsigned>(height);
    mode.hTotal = static_cast<unsigned>(width);
    mode.vTotal = static_cast<unsigned>(height);
    mode.dotClock = static_cast<unsigned long>(width) * static_cast<unsigned long>(height) * static_cast<unsigned long>(rate);
    mode.name = name.data();
    mode.nameLength = static_cast<unsigned>(name.size());
    const RRMode id = XRRCreateMode(display.get(), DefaultRootWindow(display.get()), &mode);
    XRRAddOutputMode(display.get(), resources.resources->outputs[0], id);
    XSync(display.get(), False);
}

std::pair<int, int> screenSize()
{
    DisplayPtr display = open();
    XRRScreenConfiguration* config = XRRGetScreenInfo(display.get(), DefaultRootWindow(display.get()));
    Rotation rotation = 0;
    const int current = XRRConfigCurrentConfiguration(config, &rotation);
    int count = 0;
    XRRScreenSize* sizes = XRRConfigSizes(config, &count);
    const std::pair<int, int> size{sizes[current].width, sizes[current].height};
    XRRFreeScreenConfigInfo(config);
    return size;
}

void setScreenSize(int width, int height)
{
    DisplayPtr display = open();
    const Window root = DefaultRootWindow(display.get());
    XRRScreenConfiguration* config = XRRGetScreenInfo(display.get(), root);
    Rotation rotation = 0;
    XRRConfigCurrentConfiguration(config, &rotation);
    int count = 0;
    XRRScreenSize* sizes = XRRConfigSizes(config, &count);
    int index = 0;
    while (index < count && (sizes[index].width != width || sizes[index].height != height))
        ++index;
    if (index == count) {
        XRRFreeScreenConfigInfo(config);
        throw std::runtime_error("size not offered");
    }
    XRRSetScreenConfig(display.get(), config, root, index, rotation, CurrentTime);
    XRRFreeScreenConfigInfo(config);
    XSync(display.get(), False);
}

std::vector<std::uint16_t> redGamma()
{
    DisplayPtr display = open();
    Resources resources(display.get());
    XRRCrtcGamma* gamma = XRRGetCrtcGamma(display.get(), resources.resources->crtcs[0]);
    std::vector<std::uint16_t> red(gamma->red, gamma->red + gamma->size);
    XRRFreeGamma(gamma);
    return red;
}

void fillGamma(std::uint16_t value)
{
    DisplayPtr display = open();
    Resources resources(display.get());
    XRRCrtcGamma* gamma = XRRGetCrtcGamma(display.get(), resources.resources->crtcs[0]);
    for (int i = 0; i < gamma->size; ++i) {
        gamma->red[i] = value;
        gamma->green[i] = value;
        gamma->blue[i] = value;
    }
    XRRSetCrtcGamma(display.get(), resources.resources->crtcs[0], gamma);
    XRRFreeGamma(gamma);
    XSync(display.get(), False);
}

std::uint64_t requestsSent(void* display)
{
    return static_cast<std::uint64_t>(XNextRequest(static_cast<Display*>(display))) - 1;
}

void plainSwapBuffers(void* display, std::uint64_t window)
{
    glXSwapBuffers(static_cast<Display*>(display), static_cast<GLXDrawable>(window));
}

std::string glxClientExtensions(void* display)
{
    const char* extensions = glXGetClientString(static_cast<Display*>(display), GLX_EXTENSIONS);
    return extensions ? extensions : "";
}

} // namespace x11display
