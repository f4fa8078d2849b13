#include "visual/gl/qr_visx_gl.h"

#include "visual/gl/qr_visx_glopengl.h"

namespace {
QRVISXGLOpenGL gOpenGL;
QRVISXGL* gLayer = &gOpenGL;
} // namespace

QRVISXGL& qrGL()
{
    return *gLayer;
}

QRVISXGL* qrSetGL(QRVISXGL* layer)
{
    QRVISXGL* previous = gLayer;
    gLayer = layer ? layer : &gOpenGL;
    return previous;
}
