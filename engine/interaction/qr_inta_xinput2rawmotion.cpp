#include "interaction/qr_inta_xinput2rawmotion.h"

// Xlib and XInput2 only: their macros (Bool, Status, None) break Qt headers, so none may follow.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <cmath>
#include <unordered_map>

void QRINTARawMotionAccumulator::add(double dx, double dy, bool relativeSource)
{
    if (!relativeSource) {
        positioned_ = true;
        return;
    }
    x_ += dx;
    y_ += dy;
}

bool QRINTARawMotionAccumulator::take(int& dx, int& dy)
{
    if (positioned_) {
        positioned_ = false;
        x_ = y_ = 0.0;
        dx = dy = 0;
        return false;
    }
    // Toward zero, so that a fraction left over counts in the direction it was moved.
    const double wholeX = std::trunc(x_);
    const double wholeY = std::trunc(y_);
    x_ -= wholeX;
    y_ -= wholeY;
    dx = static_cast<int>(wholeX);
    dy = static_cast<int>(wholeY);
    return true;
}

struct QRINTAXRawMotion::Connection {
    Display* display = nullptr;
    int opcode = 0;
    // Per source device: whether its x and y axes report movement rather than positions.
    std::unordered_map<int, bool> relativeSources;

    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
    }

    bool isRelative(int device)
    {
        if (const auto known = relativeSources.find(device); known != relativeSources.end())
            return known->second;
        bool relative = true;
        int count = 0;
        if (XIDeviceInfo* info = XIQueryDevice(display, device, &count)) {
            for (int i = 0; i < count; ++i)
                for (int c = 0; c < info[i].num_classes; ++c) {
                    const XIAnyClassInfo* any = info[i].classes[c];
                    if (any->type != XIValuatorClass)
                        continue;
                    const auto* valuator = reinterpret_cast<const XIValuatorClassInfo*>(any);
                    if (valuator->number <= 1 && valuator->mode == XIModeAbsolute)
                        relative = false;
                }
            XIFreeDeviceInfo(info);
        }
        relativeSources[device] = relative;
        return relative;
    }
};

QRINTAXRawMotion::QRINTAXRawMotion(void* qtDisplay)
{
    if (!qtDisplay)
        return;
    auto connection = std::make_unique<Connection>();
    connection->display = XOpenDisplay(DisplayString(static_cast<Display*>(qtDisplay)));
    if (!connection->display)
        return;
    int event = 0, error = 0;
    if (!XQueryExtension(connection->display, "XInputExtension", &connection->opcode, &event, &error))
        return;
    int major = 2, minor = 0;
    if (XIQueryVersion(connection->display, &major, &minor) != Success || major < 2)
        return;

    const Window root = DefaultRootWindow(connection->display);
    unsigned char motionMask[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(motionMask, XI_RawMotion);
    // Devices coming and going may reuse numbers with another kind of axes.
    unsigned char hierarchyMask[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(hierarchyMask, XI_HierarchyChanged);
    XIEventMask masks[2] = {{XIAllMasterDevices, sizeof motionMask, motionMask},
                            {XIAllDevices, sizeof hierarchyMask, hierarchyMask}};
    XISelectEvents(connection->display, root, masks, 2);
    XFlush(connection->display);
    connection_ = std::move(connection);
}

QRINTAXRawMotion::~QRINTAXRawMotion() = default;

int QRINTAXRawMotion::getSocket() const
{
    return connection_ ? ConnectionNumber(connection_->display) : -1;
}

void QRINTAXRawMotion::drain(QRINTARawMotionAccumulator& into)
{
    if (!connection_)
        return;
    Display* display = connection_->display;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != connection_->opcode || !XGetEventData(display, cookie))
            continue;
        if (cookie->evtype == XI_HierarchyChanged) {
            connection_->relativeSources.clear();
        } else if (cookie->evtype == XI_RawMotion) {
            const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
            // raw_values holds one value per axis set in the mask, in axis order, unaccelerated.
            const double* value = raw->raw_values;
            double dx = 0.0, dy = 0.0;
            const int axes = raw->valuators.mask_len * 8;
            for (int axis = 0; axis < axes && axis <= 1; ++axis) {
                if (!XIMaskIsSet(raw->valuators.mask, axis))
                    continue;
                (axis == 0 ? dx : dy) = *value++;
            }
            into.add(dx, dy, connection_->isRelative(raw->sourceid));
        }
        XFreeEventData(display, cookie);
    }
}
