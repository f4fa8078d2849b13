#pragma once
// A thin wrapper over the immediate-mode drawing calls that game code uses for clears and simple
// primitives, so that nothing outside the visual module calls OpenGL itself. Owned by the visual
// module.

#include "core/qr_core_object.h"

class QRVISXRender : public QRObject {
public:
    explicit QRVISXRender(QRObject* owner) : QRObject(owner, "QR VISX Render") {}

    // Colour, depth and stencil buffers.
    void clearAll();
    void clear(bool color, bool depth, bool stencil);
    // Alpha 1.
    void setClearColor(float r, float g, float b);

    void beginLines();
    void beginLineStrip();
    void beginTriangleStrip();
    void beginQuads();
    void beginQuadStrip();
    void end();

    void setVertexColor(float r, float g, float b, float a);
    void setNormal(float x, float y, float z);
    void vertex(float x, float y, float z);
    // The texture coordinate of texture unit `unit`, counted from 0.
    void setTexCoord1(int unit, float s);
    void setTexCoord2(int unit, float s, float t);
};
