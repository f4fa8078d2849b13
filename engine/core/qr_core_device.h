#pragma once
// Named rectangular output areas that other modules draw into or read input from: window controls
// and fixed-size virtual devices. Owned by the device manager.

#include "core/qr_core_object.h"

#include <array>
#include <utility>

class QWidget;

class QRCOREDevice : public QRObject {
public:
    // left, top, bottom, right
    using Bounds = std::array<int, 4>;

    QRCOREDevice(QRObject* manager, std::string_view name) : QRObject(manager, name) {}

    virtual int getWidth() const { return 1; }
    virtual int getHeight() const { return 1; }
    // The size in the pixels a picture is drawn in. Window controls measure their size and mouse
    // positions in the desktop's logical pixels; on a screen scaled for high density the drawing
    // surface has more of them, and drawing at the logical size would fill only part of the panel.
    virtual int getPixelWidth() const { return getWidth(); }
    virtual int getPixelHeight() const { return getHeight(); }
    virtual float getAspectRatio() const;
    virtual float getPixelAspect() const { return 1.0f; }
    virtual std::pair<float, float> getAspect() const { return {getAspectRatio(), 1.0f}; }
    virtual float getViewAspectRatio() const { return getAspectRatio(); }
    virtual bool hasSize(int width, int height) const { return width == getWidth() && height == getHeight(); }
    virtual bool hasAspect(std::pair<float, float> aspect) const;
    virtual Bounds getBounds() const { return {0, 0, getHeight(), getWidth()}; }
    // Height of one pixel in view units (half the device height is one unit).
    virtual float getPixelSize() const;
    // Pixel (screen coordinates for a control) to view units about the centre, y growing upwards.
    virtual std::pair<float, float> toViewCoordinates(float x, float y) const;
};

class QRCOREControlDevice : public QRCOREDevice {
public:
    QRCOREControlDevice(QRObject* manager, QWidget* control, std::string_view name);
    QWidget* getControl() const { return control_; }
    int getWidth() const override;
    int getHeight() const override;
    int getPixelWidth() const override;
    int getPixelHeight() const override;
    Bounds getBounds() const override;

private:
    QWidget* control_;
};

class QRCOREVirtualDevice : public QRCOREDevice {
public:
    QRCOREVirtualDevice(QRObject* manager, int width, int height, std::string_view name)
        : QRCOREDevice(manager, name), width_(width), height_(height)
    {
    }
    int getWidth() const override { return width_; }
    int getHeight() const override { return height_; }

private:
    int width_;
    int height_;
};
