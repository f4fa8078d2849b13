#include "core/qr_core_device.h"

#include <QPoint>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {
// A panel squeezed to no height (a minimised window, a collapsed splitter) still gets finite view
// measures: it counts as one pixel high, as the viewport does.
float measuredHeight(int height)
{
    return static_cast<float>(std::max(height, 1));
}
} // namespace

float QRCOREDevice::getAspectRatio() const
{
    if (getHeight() <= 0)
        return 1.0f;
    return static_cast<float>(getWidth()) / static_cast<float>(getHeight());
}

bool QRCOREDevice::hasAspect(std::pair<float, float> aspect) const
{
    return aspect.first == getAspectRatio() && aspect.second == 1.0f;
}

float QRCOREDevice::getPixelSize() const
{
    return 1.0f / (measuredHeight(getHeight()) * 0.5f);
}

std::pair<float, float> QRCOREDevice::toViewCoordinates(float x, float y) const
{
    const auto [left, top, bottom, right] = getBounds();
    const float centreX = static_cast<float>(left) + static_cast<float>(right - left) * 0.5f;
    const float centreY = static_cast<float>(top) + static_cast<float>(bottom - top) * 0.5f;
    const float scale = 1.0f / (measuredHeight(getHeight()) * 0.5f);
    return {(x - centreX) * scale, -(y - centreY) * scale};
}

QRCOREControlDevice::QRCOREControlDevice(QRObject* manager, QWidget* control, std::string_view name)
    : QRCOREDevice(manager, name), control_(control)
{
    if (!control_)
        reportError("Create", "No control bound to this device");
}

int QRCOREControlDevice::getWidth() const
{
    return control_ ? control_->width() : QRCOREDevice::getWidth();
}

int QRCOREControlDevice::getHeight() const
{
    return control_ ? control_->height() : QRCOREDevice::getHeight();
}

int QRCOREControlDevice::getPixelWidth() const
{
    return control_ ? static_cast<int>(std::lround(control_->width() * control_->devicePixelRatioF()))
                    : QRCOREDevice::getPixelWidth();
}

int QRCOREControlDevice::getPixelHeight() const
{
    return control_ ? static_cast<int>(std::lround(control_->height() * control_->devicePixelRatioF()))
                    : QRCOREDevice::getPixelHeight();
}

QRCOREDevice::Bounds QRCOREControlDevice::getBounds() const
{
    if (!control_)
        return QRCOREDevice::getBounds();
    const QPoint origin = control_->mapToGlobal(QPoint(0, 0));
    return {origin.x(), origin.y(), origin.y() + control_->height(), origin.x() + control_->width()};
}
