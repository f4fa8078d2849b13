#pragma once
// The real OpenGL binding of the GL layer: each call goes straight to the driver. The entry points
// above OpenGL 1.1 come from GLEW once the extension loader has started. One process-wide instance.

#include "visual/gl/qr_visx_gl.h"

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
    void depthRange(GLclampd nearValue, GLclampd farValue) override;
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

    void pushMatrix() override;
    void popMatrix() override;
    void multMatrixf(const GLfloat* matrix) override;
    void ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) override;
    void begin(GLenum mode) override;
    void end() override;
    void vertex2f(GLfloat x, GLfloat y) override;
    void vertex3f(GLfloat x, GLfloat y, GLfloat z) override;
    void normal3f(GLfloat x, GLfloat y, GLfloat z) override;
    void texCoord2f(GLfloat s, GLfloat t) override;
    void getIntegerv(GLenum parameter, GLint* values) override;
    void getFloatv(GLenum parameter, GLfloat* values) override;
    void readPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels) override;
    void finish() override;
    void flush() override;
    std::string getString(GLenum name) override;
    GLuint genTexture() override;
    void deleteTexture(GLuint texture) override;
    bool isTexture(GLuint texture) override;
    void bindTexture(GLenum target, GLuint texture) override;
    void activeTexture(GLenum unit) override;
    void clientActiveTexture(GLenum unit) override;
    void texImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border, GLenum format, GLenum type, const void* pixels) override;
    void copyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y, GLsizei width, GLsizei height, GLint border) override;
    void texParameteri(GLenum target, GLenum parameter, GLint value) override;
    void texParameterf(GLenum target, GLenum parameter, GLfloat value) override;
    void pixelStorei(GLenum parameter, GLint value) override;
    GLint build2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type, const void* pixels) override;
    GLuint createShader(GLenum type) override;
    void shaderSource(GLuint shader, const std::vector<std::string>& sources) override;
    void compileShader(GLuint shader) override;
    void getShaderiv(GLuint shader, GLenum parameter, GLint* value) override;
    std::string getShaderInfoLog(GLuint shader, GLsizei maxLength) override;
    bool isShader(GLuint shader) override;
    void deleteShader(GLuint shader) override;
    GLuint createProgram() override;
    void attachShader(GLuint program, GLuint shader) override;
    void detachShader(GLuint program, GLuint shader) override;
    void linkProgram(GLuint program) override;
    void getProgramiv(GLuint program, GLenum parameter, GLint* value) override;
    std::string getProgramInfoLog(GLuint program, GLsizei maxLength) override;
    bool isProgram(GLuint program) override;
    void deleteProgram(GLuint program) override;
    void useProgram(GLuint program) override;
    void getActiveUniform(GLuint program, GLuint index, GLsizei maxLength, GLint* size, GLenum* type, std::string& name) override;
    GLint getUniformLocation(GLuint program, const std::string& name) override;
    void uniform1i(GLint location, GLint value) override;
    void uniform1f(GLint location, GLfloat value) override;
    void uniform2fv(GLint location, GLsizei count, const GLfloat* values) override;
    void uniform3fv(GLint location, GLsizei count, const GLfloat* values) override;
    void uniform4fv(GLint location, GLsizei count, const GLfloat* values) override;
    void uniformMatrix2fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* values) override;
    void uniformMatrix3fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* values) override;
    void uniformMatrix4fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* values) override;
    GLuint genBuffer() override;
    void deleteBuffer(GLuint buffer) override;
    bool isBuffer(GLuint buffer) override;
    void bindBuffer(GLenum target, GLuint buffer) override;
    void bufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage) override;
    void enableClientState(GLenum array) override;
    void disableClientState(GLenum array) override;
    void vertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) override;
    void normalPointer(GLenum type, GLsizei stride, const void* pointer) override;
    void colorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) override;
    void texCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) override;
    void drawArrays(GLenum mode, GLint first, GLsizei count) override;
    void drawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) override;
    void drawRangeElements(GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type, const void* indices) override;
    GLuint genLists(GLsizei range) override;
    void newList(GLuint list, GLenum mode) override;
    void endList() override;
    void callList(GLuint list) override;
    bool isList(GLuint list) override;
    void deleteLists(GLuint list, GLsizei range) override;
    GLuint genFramebuffer() override;
    void deleteFramebuffer(GLuint framebuffer) override;
    bool isFramebuffer(GLuint framebuffer) override;
    void bindFramebuffer(GLenum target, GLuint framebuffer) override;
    void framebufferTexture2D(GLenum target, GLenum attachment, GLenum textureTarget, GLuint texture, GLint level) override;
    GLuint genRenderbuffer() override;
    void deleteRenderbuffer(GLuint renderbuffer) override;
    bool isRenderbuffer(GLuint renderbuffer) override;
    void bindRenderbuffer(GLenum target, GLuint renderbuffer) override;
    void renderbufferStorage(GLenum target, GLenum internalFormat, GLsizei width, GLsizei height) override;
    void framebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbufferTarget, GLuint renderbuffer) override;
    GLenum checkFramebufferStatus(GLenum target) override;
    void drawBuffers(GLsizei count, const GLenum* buffers) override;
    void drawBuffer(GLenum buffer) override;
    void readBuffer(GLenum buffer) override;
    void multiTexCoord1f(GLenum unit, GLfloat s) override;
    void multiTexCoord2f(GLenum unit, GLfloat s, GLfloat t) override;
    void texEnvi(GLenum target, GLenum parameter, GLint value) override;
    void texGeni(GLenum coordinate, GLenum parameter, GLint value) override;
    void texGenfv(GLenum coordinate, GLenum parameter, const GLfloat* values) override;
    void swapIntervalEXT(int interval) override;
    void swapIntervalMESA(int interval) override;

private:
    // In qr_visx_glopenglglx.cpp, with the rest of what only GLX has.
    static bool isGLXExtensionSupported(const std::string& name);

    bool loaderStarted_ = false;
};
