#pragma once
// The one door through which the engine talks to OpenGL. The process-wide layer is the real
// OpenGL binding; unit tests swap in a recording layer to see exactly which calls a state change
// makes, without a context. The layers are not engine objects and are owned by whoever installs them.

#include <GL/glew.h>

#include <string>

class QRVISXGL {
public:
    virtual ~QRVISXGL() = default;

    // The extension loader needs a current context; returns false with a reason when it cannot start.
    virtual bool startExtensionLoader(std::string& error) = 0;
    // name in the loader's spelling ("GL_VERSION_1_5", "GL_ARB_multisample", "GLX_EXT_swap_control").
    virtual bool isExtensionSupported(const std::string& name) = 0;

    virtual void enable(GLenum capability) = 0;
    virtual void disable(GLenum capability) = 0;
    virtual GLenum getError() = 0;
    virtual void hint(GLenum target, GLenum mode) = 0;

    virtual void alphaFunc(GLenum function, GLfloat reference) = 0;
    virtual void blendFunc(GLenum source, GLenum destination) = 0;
    virtual void blendEquation(GLenum mode) = 0;
    virtual void color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) = 0;
    virtual void cullFace(GLenum face) = 0;
    virtual void frontFace(GLenum winding) = 0;
    virtual void depthFunc(GLenum function) = 0;
    virtual void depthMask(GLboolean write) = 0;
    virtual void lineWidth(GLfloat width) = 0;
    virtual void pointSize(GLfloat size) = 0;
    virtual void polygonMode(GLenum face, GLenum mode) = 0;

    virtual void lightf(GLenum light, GLenum parameter, GLfloat value) = 0;
    virtual void lightfv(GLenum light, GLenum parameter, const GLfloat* values) = 0;
    virtual void lightModelfv(GLenum parameter, const GLfloat* values) = 0;
    virtual void lightModeli(GLenum parameter, GLint value) = 0;
    virtual void colorMaterial(GLenum face, GLenum mode) = 0;

    virtual void stencilFunc(GLenum function, GLint reference, GLuint mask) = 0;
    virtual void stencilOp(GLenum stencilFail, GLenum depthFail, GLenum depthPass) = 0;
    virtual void stencilMask(GLuint mask) = 0;
    virtual void clearStencil(GLint value) = 0;
    // Selects the face two-sided stencil state applies to (GL_EXT_stencil_two_side).
    virtual void activeStencilFace(GLenum face) = 0;

    virtual void matrixMode(GLenum mode) = 0;
    virtual void loadMatrixf(const GLfloat* matrix) = 0;
    virtual void loadIdentity() = 0;
    virtual void viewport(GLint x, GLint y, GLsizei width, GLsizei height) = 0;

    virtual void clearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) = 0;
    virtual void clear(GLbitfield mask) = 0;
};

// The layer every engine GL call goes through; the real OpenGL binding unless a test replaced it.
QRVISXGL& qrGL();
// Installs another layer (null restores the real one); returns the layer that was installed.
QRVISXGL* qrSetGL(QRVISXGL* layer);
