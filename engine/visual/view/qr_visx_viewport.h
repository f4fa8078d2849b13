#pragma once
// The OpenGL viewport in pixels, fitted to the current render context, and the alignment helpers
// that place overlay elements in the 2D camera's space (x over +-aspect, y over +-1).
// QRVISXViewPort is owned by the visual module and owns its align object.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

class QRVISXViewPort;

class QRVISXAlign : public QRObject {
public:
    explicit QRVISXAlign(QRVISXViewPort* viewPort);

    // x from the left edge, y downwards from the top edge.
    Vector2 alignTopLeft(float x, float y) const;
    // x from the left edge, y upwards from the bottom edge.
    Vector2 alignBottomLeft(float x, float y) const;

private:
    QRVISXViewPort* viewPort_;
};

class QRVISXViewPort : public QRObject {
public:
    explicit QRVISXViewPort(QRObject* owner);
    ~QRVISXViewPort() override;

    void set(int left, int bottom, int right, int top);
    // The whole current render context, once the visual module is up.
    void fitToRenderContext();
    int getLeft() const { return left_; }
    int getBottom() const { return bottom_; }
    int getRight() const { return right_; }
    int getTop() const { return top_; }
    int getHeight() const { return top_ - bottom_; }
    // Width over height; 1 for a viewport without width or height.
    float getAspect() const;
    QRVISXAlign* getAlign() const { return align_.get(); }

private:
    int left_ = 0;
    int bottom_ = 0;
    int right_ = 1;
    int top_ = 1;
    QROwned<QRVISXAlign> align_;
};
