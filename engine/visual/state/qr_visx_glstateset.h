#pragma once
// One complete set of the fixed-function states a material may change. The state manager holds
// two: the one setters write into and the defaults a reset copies from.

#include "math/qr_math_types.h"
#include "resource/qr_resc_main.h"
#include "visual/gl/qr_visx_gl.h"

// Blending modes: 0 opaque (blending off), 1 additive, 2 negative, 3 average, 4 min, 5 max.
struct QRVISXGLState {
    bool alphaTest = false;
    GLenum alphaFunc = GL_GEQUAL;
    float alphaThreshold = 0.5f;
    bool blending = false;
    int blendingMode = 0;
    Vector4 color{1.0f, 1.0f, 1.0f, 1.0f};
    bool cullFace = true;
    bool cullBackSides = true;
    bool counterClockwiseWinding = true;
    bool depthTest = true;
    GLenum depthFunc = GL_LEQUAL;
    bool depthWrite = true;
    float lineWidth = 1.0f;
    float pointSize = 1.0f;
    // 0 fill, 1 lines (wireframe), 2 points, for front and back faces.
    int polygonMode = 0;

    friend bool operator==(const QRVISXGLState&, const QRVISXGLState&) = default;
};

class QRVISXGLStateSet : public QRRESCMain {
public:
    explicit QRVISXGLStateSet(QRObject* owner);

    void clear() override { state_ = {}; }
    bool isEmpty() const override { return false; }
    // Copies the states only; the set keeps its own name and owner.
    void assign(const QRObject& source) override;

    QRVISXGLState& state() { return state_; }
    const QRVISXGLState& state() const { return state_; }

private:
    QRVISXGLState state_;
};
