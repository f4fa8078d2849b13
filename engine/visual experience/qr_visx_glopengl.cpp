#include "visual experience/qr_visx_glopengl.h"

// glxew.h brings in Xlib; this file must stay free of Qt headers.
#include <GL/glxew.h>

bool QRVISXGLOpenGL::startExtensionLoader(std::string& error)
{
    if (loaderStarted_)
        return true;
    const GLenum result = glewInit();
    if (result != GLEW_OK) {
        error = reinterpret_cast<const char*>(glewGetErrorString(result));
        return false;
    }
    loaderStarted_ = true;
    return true;
}

bool QRVISXGLOpenGL::isExtensionSupported(const std::string& name)
{
    if (!loaderStarted_)
        return false;
    if (name.starts_with("GLX_"))
        return glxewIsSupported(name.c_str()) == GL_TRUE;
    return glewIsSupported(name.c_str()) == GL_TRUE;
}

void QRVISXGLOpenGL::enable(GLenum capability)
{
    glEnable(capability);
}

void QRVISXGLOpenGL::disable(GLenum capability)
{
    glDisable(capability);
}

GLenum QRVISXGLOpenGL::getError()
{
    return glGetError();
}

void QRVISXGLOpenGL::hint(GLenum target, GLenum mode)
{
    glHint(target, mode);
}

void QRVISXGLOpenGL::alphaFunc(GLenum function, GLfloat reference)
{
    glAlphaFunc(function, reference);
}

void QRVISXGLOpenGL::blendFunc(GLenum source, GLenum destination)
{
    glBlendFunc(source, destination);
}

void QRVISXGLOpenGL::blendEquation(GLenum mode)
{
    // Core since 1.4; older drivers offer it through GL_EXT_blend_minmax only.
    if (glBlendEquation)
        glBlendEquation(mode);
    else if (glBlendEquationEXT)
        glBlendEquationEXT(mode);
}

void QRVISXGLOpenGL::color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    glColor4f(r, g, b, a);
}

void QRVISXGLOpenGL::cullFace(GLenum face)
{
    glCullFace(face);
}

void QRVISXGLOpenGL::frontFace(GLenum winding)
{
    glFrontFace(winding);
}

void QRVISXGLOpenGL::depthFunc(GLenum function)
{
    glDepthFunc(function);
}

void QRVISXGLOpenGL::depthMask(GLboolean write)
{
    glDepthMask(write);
}

void QRVISXGLOpenGL::lineWidth(GLfloat width)
{
    glLineWidth(width);
}

void QRVISXGLOpenGL::pointSize(GLfloat size)
{
    glPointSize(size);
}

void QRVISXGLOpenGL::polygonMode(GLenum face, GLenum mode)
{
    glPolygonMode(face, mode);
}

void QRVISXGLOpenGL::lightf(GLenum light, GLenum parameter, GLfloat value)
{
    glLightf(light, parameter, value);
}

void QRVISXGLOpenGL::lightfv(GLenum light, GLenum parameter, const GLfloat* values)
{
    glLightfv(light, parameter, values);
}

void QRVISXGLOpenGL::lightModelfv(GLenum parameter, const GLfloat* values)
{
    glLightModelfv(parameter, values);
}

void QRVISXGLOpenGL::lightModeli(GLenum parameter, GLint value)
{
    glLightModeli(parameter, value);
}

void QRVISXGLOpenGL::colorMaterial(GLenum face, GLenum mode)
{
    glColorMaterial(face, mode);
}

void QRVISXGLOpenGL::stencilFunc(GLenum function, GLint reference, GLuint mask)
{
    glStencilFunc(function, reference, mask);
}

void QRVISXGLOpenGL::stencilOp(GLenum stencilFail, GLenum depthFail, GLenum depthPass)
{
    glStencilOp(stencilFail, depthFail, depthPass);
}

void QRVISXGLOpenGL::stencilMask(GLuint mask)
{
    glStencilMask(mask);
}

void QRVISXGLOpenGL::clearStencil(GLint value)
{
    glClearStencil(value);
}

void QRVISXGLOpenGL::activeStencilFace(GLenum face)
{
    if (glActiveStencilFaceEXT)
        glActiveStencilFaceEXT(face);
}

void QRVISXGLOpenGL::matrixMode(GLenum mode)
{
    glMatrixMode(mode);
}

void QRVISXGLOpenGL::loadMatrixf(const GLfloat* matrix)
{
    glLoadMatrixf(matrix);
}

void QRVISXGLOpenGL::loadIdentity()
{
    glLoadIdentity();
}

void QRVISXGLOpenGL::viewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    glViewport(x, y, width, height);
}

void QRVISXGLOpenGL::clearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    glClearColor(r, g, b, a);
}

void QRVISXGLOpenGL::clear(GLbitfield mask)
{
    glClear(mask);
}
