#include "visual/device/qr_visx_xrandr.h"

// Xlib and RandR only; no Qt header may follow.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include "visual/device/qr_visx_x11errortrap.h"

#include <algorithm>
#include <memory>

namespace {

Display* asX(void* display)
{
    return static_cast<Display*>(display);
}

bool hasRandR(Display* display, int minimumMinor)
{
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!display || !XRRQueryExtension(display, &eventBase, &errorBase))
        return false;
    return XRRQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= minimumMinor));
}

struct ConfigFree {
    void operator()(XRRScreenConfiguration* config) const { XRRFreeScreenConfigInfo(config); }
};
using ConfigPtr = std::unique_ptr<XRRScreenConfiguration, ConfigFree>;

ConfigPtr screenConfig(Display* display)
{
    return ConfigPtr(XRRGetScreenInfo(display, DefaultRootWindow(display)));
}

// Index of the size width x height offering frequency (any rate for 0); -1 when there is none.
int findSize(XRRScreenConfiguration* config, int width, int height, int frequency)
{
    int sizeCount = 0;
    XRRScreenSize* sizes = XRRConfigSizes(config, &sizeCount);
    for (int i = 0; i < sizeCount; ++i) {
        if (sizes[i].width != width || sizes[i].height != height)
            continue;
        if (frequency == 0)
            return i;
        int rateCount = 0;
        short* rates = XRRConfigRates(config, i, &rateCount);
        // Compared as int: a rate from the settings file beyond a short must not wrap onto a real one.
        if (std::any_of(rates, rates + rateCount, [frequency](short rate) { return rate == frequency; }))
            return i;
    }
    return -1;
}

} // namespace

namespace qrxrandr {

ScreenSize currentScreenSize(void* displayHandle)
{
    Display* display = asX(displayHandle);
    if (!hasRandR(display, 0))
        return {};
    ConfigPtr config = screenConfig(display);
    if (!config)
        return {};
    Rotation rotation = 0;
    const int current = XRRConfigCurrentConfiguration(config.get(), &rotation);
    int sizeCount = 0;
    XRRScreenSize* sizes = XRRConfigSizes(config.get(), &sizeCount);
    if (current < 0 || current >= sizeCount)
        return {};
    return {sizes[current].width, sizes[current].height};
}

bool isModeAvailable(void* displayHandle, int width, int height, int frequency)
{
    Display* display = asX(displayHandle);
    if (!hasRandR(display, 0))
        return false;
    ConfigPtr config = screenConfig(display);
    return config && findSize(config.get(), width, height, frequency) >= 0;
}

bool setMode(void* displayHandle, int width, int height, int frequency)
{
    Display* display = asX(displayHandle);
    if (!hasRandR(display, 0))
        return false;
    ConfigPtr config = screenConfig(display);
    if (!config)
        return false;
    const int size = findSize(config.get(), width, height, frequency);
    if (size < 0)
        return false;
    Rotation rotation = 0;
    XRRConfigCurrentConfiguration(config.get(), &rotation);
    QRVISXX11ErrorTrap trap(display);
    const Window root = DefaultRootWindow(display);
    const Status status =
        frequency == 0
            ? XRRSetScreenConfig(display, config.get(), root, size, rotation, CurrentTime)
            : XRRSetScreenConfigAndRate(display, config.get(), root, size, rotation, static_cast<short>(frequency),
                                        CurrentTime);
    return status == RRSetConfigSuccess && !trap.failed();
}

std::vector<GammaRamp> readGammaRamps(void* displayHandle)
{
    std::vector<GammaRamp> ramps;
    Display* display = asX(displayHandle);
    if (!hasRandR(display, 2))
        return ramps;
    QRVISXX11ErrorTrap trap(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (!resources)
        return ramps;
    for (int i = 0; i < resources->ncrtc; ++i) {
        const RRCrtc crtc = resources->crtcs[i];
        if (XRRGetCrtcGammaSize(display, crtc) <= 0)
            continue;
        XRRCrtcGamma* gamma = XRRGetCrtcGamma(display, crtc);
        if (!gamma)
            continue;
        GammaRamp ramp;
        ramp.crtc = crtc;
        ramp.red.assign(gamma->red, gamma->red + gamma->size);
        ramp.green.assign(gamma->green, gamma->green + gamma->size);
        ramp.blue.assign(gamma->blue, gamma->blue + gamma->size);
        ramps.push_back(std::move(ramp));
        XRRFreeGamma(gamma);
    }
    XRRFreeScreenResources(resources);
    return ramps;
}

void writeGammaRamps(void* displayHandle, const std::vector<GammaRamp>& ramps)
{
    Display* display = asX(displayHandle);
    if (!hasRandR(display, 2))
        return;
    QRVISXX11ErrorTrap trap(display);
    for (const GammaRamp& ramp : ramps) {
        const int size = static_cast<int>(ramp.red.size());
        // The ramp of a CRTC that changed its gamma size since cannot be written back.
        if (XRRGetCrtcGammaSize(display, ramp.crtc) != size)
            continue;
        XRRCrtcGamma* gamma = XRRAllocGamma(size);
        std::copy(ramp.red.begin(), ramp.red.end(), gamma->red);
        std::copy(ramp.green.begin(), ramp.green.end(), gamma->green);
        std::copy(ramp.blue.begin(), ramp.blue.end(), gamma->blue);
        XRRSetCrtcGamma(display, ramp.crtc, gamma);
        XRRFreeGamma(gamma);
    }
}

} // namespace qrxrandr
