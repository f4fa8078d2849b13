#pragma once
// The real OpenGL binding of the GL layer: each call goes straight to the driver. The entry points
// above OpenGL 1.1 come from GLEW once the extension loader has started. One process-wide instance.

#include "visual experience/qr_visx_gl.h"

class QRVISXGLOpenGL : public QRVISXGL {
public:
    bool startExtensionLoader(std::string& error) override;
    bool isExtensionSupported(const std::string& name) override;

    void enable(GLenum capability) override;
    void disable(GLenum capability) override;
    GLenum getError() override;
    void hint(GLenum target, GLenum mode) override;

    void alphaFunc(GLenum function, GLfloat reference) override;
    void blendFunc(GLenum source, GLenum destination) override;
    void blendEquation(GLenum mode) override;
    void color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) override;
    void cullFace(GLenum face) override;
    void frontFace(GLenum winding) override;
    void depthFunc(GLenum function) override;
    void depthMask(GLboolean write) override;
    void lineWidth(GLfloat width) override;
    void pointSize(GLfloat size) override;
    void polygonMode(GLenum face, GLenum mode) override;

    void lightf(GLenum light, GLenum parameter, GLfloat value) override;
    void lightfv(GLenum light, GLenum parameter, const GLfloat* values) override;
    void lightModelfv(GLenum parameter, const GLfloat* values) override;
    void lightModeli(GLenum parameter, GLint value) override;
    void colorMaterial(GLenum face, GLenum mode) override;

    void stencilFunc(GLenum function, GLint reference, GLuint mask) override;
    void stencilOp(GLenum stencilFail, GLenum depthFail, GLenum depthPass) override;
    void stencilMask(GLuint mask) override;
    void clearStencil(GLint value) override;
    void activeStencilFace(GLenum face) override;

    void matrixMode(GLenum mode) override;
    void loadMatrixf(const GLfloat* matrix) override;
    void loadIdentity() override;
    void viewport(GLint x, GLint y, GLsizei width, GLsizei height) override;

    void clearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) override;
    void clear(GLbitfield mask) override;

private:
    bool loaderStarted_ = false;
};
