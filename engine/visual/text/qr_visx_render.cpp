#include "visual/text/qr_visx_render.h"

#include "visual/gl/qr_visx_gl.h"

void QRVISXRender::clearAll()
{
    clear(true, true, true);
}

void QRVISXRender::clear(bool color, bool depth, bool stencil)
{
    GLbitfield mask = 0;
    if (color)
        mask |= GL_COLOR_BUFFER_BIT;
    if (depth)
        mask |= GL_DEPTH_BUFFER_BIT;
    if (stencil)
        mask |= GL_STENCIL_BUFFER_BIT;
    if (mask != 0)
        qrGL().clear(mask);
}

void QRVISXRender::setClearColor(float r, float g, float b)
{
    qrGL().clearColor(r, g, b, 1.0f);
}

void QRVISXRender::beginLines()
{
    qrGL().begin(GL_LINES);
}

void QRVISXRender::beginLineStrip()
{
    qrGL().begin(GL_LINE_STRIP);
}

void QRVISXRender::beginTriangleStrip()
{
    qrGL().begin(GL_TRIANGLE_STRIP);
}

void QRVISXRender::beginQuads()
{
    qrGL().begin(GL_QUADS);
}

void QRVISXRender::beginQuadStrip()
{
    qrGL().begin(GL_QUAD_STRIP);
}

void QRVISXRender::end()
{
    qrGL().end();
}

void QRVISXRender::setVertexColor(float r, float g, float b, float a)
{
    qrGL().color4f(r, g, b, a);
}

void QRVISXRender::setNormal(float x, float y, float z)
{
    qrGL().normal3f(x, y, z);
}

void QRVISXRender::vertex(float x, float y, float z)
{
    qrGL().vertex3f(x, y, z);
}

void QRVISXRender::setTexCoord1(int unit, float s)
{
    qrGL().multiTexCoord1f(GL_TEXTURE0 + static_cast<GLenum>(unit), s);
}

void QRVISXRender::setTexCoord2(int unit, float s, float t)
{
    qrGL().multiTexCoord2f(GL_TEXTURE0 + static_cast<GLenum>(unit), s, t);
}
