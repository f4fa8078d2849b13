#pragma once
// A GL layer that records every call as readable text ("glEnable(GL_BLEND)") instead of calling
// OpenGL, so unit tests see exactly what the engine sends, without a context. Installs itself as
// the process-wide layer for its lifetime.

#include "visual experience/qr_visx_gl.h"

#include <deque>
#include <set>
#include <string>
#include <vector>

class GLRecorder : public QRVISXGL {
public:
    GLRecorder();
    ~GLRecorder() override;
    GLRecorder(const GLRecorder&) = delete;
    GLRecorder& operator=(const GLRecorder&) = delete;

    const std::vector<std::string>& calls() const { return calls_; }
    // The calls so far, forgotten afterwards.
    std::vector<std::string> takeCalls();
    void clearCalls() { calls_.clear(); }

    // Names as the loader spells them ("GL_VERSION_1_5", "GLX_EXT_swap_control").
    void setExtensions(std::set<std::string> names) { extensions_ = std::move(names); }
    // The loader fails to start with this reason; empty lets it start.
    void setLoaderFailure(std::string reason) { loaderFailure_ = std::move(reason); }
    // getError returns these in turn, then GL_NO_ERROR.
    void queueError(GLenum error) { errors_.push_back(error); }

    bool startExtensionLoader(std::string& error) override;
    bool isExtensionSupported(const std::string& name) override { return extensions_.count(name) != 0; }

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
    void record(const std::string& name, const std::vector<std::string>& arguments);

    QRVISXGL* previous_;
    std::vector<std::string> calls_;
    std::set<std::string> extensions_;
    std::string loaderFailure_;
    std::deque<GLenum> errors_;
};

// The symbolic name of a GL enum the engine uses ("GL_BLEND"), or its value in hex.
std::string glEnumName(GLenum value);
// A float as the recorder writes it: shortest form, "0.5", "1", "-2".
std::string glNumber(float value);
