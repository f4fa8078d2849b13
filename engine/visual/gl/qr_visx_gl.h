#pragma once
// The one door through which the engine talks to OpenGL. The process-wide layer is the real
// OpenGL binding; unit tests swap in a recording layer to see exactly which calls a state change
// makes, without a context. The layers are not engine objects and are owned by whoever installs them.

#include <GL/glew.h>

#include <string>
#include <vector>

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
    virtual void depthRange(GLclampd nearValue, GLclampd farValue) = 0;
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

    // Matrices and immediate mode.
    virtual void pushMatrix() = 0;
    virtual void popMatrix() = 0;
    virtual void multMatrixf(const GLfloat* matrix) = 0;
    virtual void ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) = 0;
    virtual void begin(GLenum mode) = 0;
    virtual void end() = 0;
    virtual void vertex2f(GLfloat x, GLfloat y) = 0;
    virtual void vertex3f(GLfloat x, GLfloat y, GLfloat z) = 0;
    virtual void normal3f(GLfloat x, GLfloat y, GLfloat z) = 0;
    virtual void texCoord2f(GLfloat s, GLfloat t) = 0;
    virtual void getIntegerv(GLenum parameter, GLint* values) = 0;
    virtual void getFloatv(GLenum parameter, GLfloat* values) = 0;
    virtual void readPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                            void* pixels) = 0;
    virtual void finish() = 0;
    // Hands what is queued to the driver without waiting for it to be drawn.
    virtual void flush() = 0;
    // glGetString; empty when OpenGL has no answer (no context).
    virtual std::string getString(GLenum name) = 0;

    // Textures. Ids are handed out by the layer; 0 means none could be made.
    virtual GLuint genTexture() = 0;
    virtual void deleteTexture(GLuint texture) = 0;
    virtual bool isTexture(GLuint texture) = 0;
    virtual void bindTexture(GLenum target, GLuint texture) = 0;
    // Above 1.1: GL_ARB_multitexture / OpenGL 1.3.
    virtual void activeTexture(GLenum unit) = 0;
    virtual void clientActiveTexture(GLenum unit) = 0;
    virtual void texImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                            GLint border, GLenum format, GLenum type, const void* pixels) = 0;
    virtual void copyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y, GLsizei width,
                                GLsizei height, GLint border) = 0;
    virtual void texParameteri(GLenum target, GLenum parameter, GLint value) = 0;
    virtual void texParameterf(GLenum target, GLenum parameter, GLfloat value) = 0;
    virtual void pixelStorei(GLenum parameter, GLint value) = 0;
    // GLU's mipmap builder; returns GLU's error code (0 on success).
    virtual GLint build2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                                 GLenum type, const void* pixels) = 0;

    // GLSL (OpenGL 2.0).
    virtual GLuint createShader(GLenum type) = 0;
    // One string per entry, each passed with its exact length.
    virtual void shaderSource(GLuint shader, const std::vector<std::string>& sources) = 0;
    virtual void compileShader(GLuint shader) = 0;
    virtual void getShaderiv(GLuint shader, GLenum parameter, GLint* value) = 0;
    virtual std::string getShaderInfoLog(GLuint shader, GLsizei maxLength) = 0;
    virtual bool isShader(GLuint shader) = 0;
    virtual void deleteShader(GLuint shader) = 0;
    virtual GLuint createProgram() = 0;
    virtual void attachShader(GLuint program, GLuint shader) = 0;
    virtual void detachShader(GLuint program, GLuint shader) = 0;
    virtual void linkProgram(GLuint program) = 0;
    virtual void getProgramiv(GLuint program, GLenum parameter, GLint* value) = 0;
    virtual std::string getProgramInfoLog(GLuint program, GLsizei maxLength) = 0;
    virtual bool isProgram(GLuint program) = 0;
    virtual void deleteProgram(GLuint program) = 0;
    virtual void useProgram(GLuint program) = 0;
    // name is cut to maxLength - 1 characters, as the driver does with a buffer of that size.
    virtual void getActiveUniform(GLuint program, GLuint index, GLsizei maxLength, GLint* size, GLenum* type,
                                  std::string& name) = 0;
    virtual GLint getUniformLocation(GLuint program, const std::string& name) = 0;
    virtual void uniform1i(GLint location, GLint value) = 0;
    virtual void uniform1f(GLint location, GLfloat value) = 0;
    virtual void uniform2fv(GLint location, GLsizei count, const GLfloat* values) = 0;
    virtual void uniform3fv(GLint location, GLsizei count, const GLfloat* values) = 0;
    virtual void uniform4fv(GLint location, GLsizei count, const GLfloat* values) = 0;
    virtual void uniformMatrix2fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* values) = 0;
    virtual void uniformMatrix3fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* values) = 0;
    virtual void uniformMatrix4fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* values) = 0;

    // Vertex arrays and buffer objects (OpenGL 1.5 / GL_ARB_vertex_buffer_object).
    virtual GLuint genBuffer() = 0;
    virtual void deleteBuffer(GLuint buffer) = 0;
    virtual bool isBuffer(GLuint buffer) = 0;
    virtual void bindBuffer(GLenum target, GLuint buffer) = 0;
    virtual void bufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage) = 0;
    virtual void enableClientState(GLenum array) = 0;
    virtual void disableClientState(GLenum array) = 0;
    virtual void vertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) = 0;
    virtual void normalPointer(GLenum type, GLsizei stride, const void* pointer) = 0;
    virtual void colorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) = 0;
    virtual void texCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) = 0;
    virtual void drawArrays(GLenum mode, GLint first, GLsizei count) = 0;
    virtual void drawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) = 0;
    virtual void drawRangeElements(GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type,
                                   const void* indices) = 0;

    // Display lists.
    virtual GLuint genLists(GLsizei range) = 0;
    virtual void newList(GLuint list, GLenum mode) = 0;
    virtual void endList() = 0;
    virtual void callList(GLuint list) = 0;
    virtual bool isList(GLuint list) = 0;
    virtual void deleteLists(GLuint list, GLsizei range) = 0;

    // Frame buffer objects (GL_EXT_framebuffer_object) and draw buffers (GL_ARB_draw_buffers).
    virtual GLuint genFramebuffer() = 0;
    virtual void deleteFramebuffer(GLuint framebuffer) = 0;
    virtual bool isFramebuffer(GLuint framebuffer) = 0;
    virtual void bindFramebuffer(GLenum target, GLuint framebuffer) = 0;
    virtual void framebufferTexture2D(GLenum target, GLenum attachment, GLenum textureTarget, GLuint texture,
                                      GLint level) = 0;
    virtual GLuint genRenderbuffer() = 0;
    virtual void deleteRenderbuffer(GLuint renderbuffer) = 0;
    virtual bool isRenderbuffer(GLuint renderbuffer) = 0;
    virtual void bindRenderbuffer(GLenum target, GLuint renderbuffer) = 0;
    virtual void renderbufferStorage(GLenum target, GLenum internalFormat, GLsizei width, GLsizei height) = 0;
    virtual void framebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbufferTarget,
                                         GLuint renderbuffer) = 0;
    virtual GLenum checkFramebufferStatus(GLenum target) = 0;
    virtual void drawBuffers(GLsizei count, const GLenum* buffers) = 0;
    virtual void drawBuffer(GLenum buffer) = 0;
    virtual void readBuffer(GLenum buffer) = 0;

    // Texture coordinates of one texture unit in immediate mode (OpenGL 1.3 / GL_ARB_multitexture;
    // unit 0 falls back to glTexCoord without them).
    virtual void multiTexCoord1f(GLenum unit, GLfloat s) = 0;
    virtual void multiTexCoord2f(GLenum unit, GLfloat s, GLfloat t) = 0;

    // Fixed-function texture environment and coordinate generation of the active unit (OpenGL 1.1),
    // the look of the world when the driver runs no GLSL.
    virtual void texEnvi(GLenum target, GLenum parameter, GLint value) = 0;
    virtual void texGeni(GLenum coordinate, GLenum parameter, GLint value) = 0;
    virtual void texGenfv(GLenum coordinate, GLenum parameter, const GLfloat* values) = 0;

    // The swap interval of the current drawable (GLX_EXT_swap_control, GLX_MESA_swap_control);
    // nothing when no context is current.
    virtual void swapIntervalEXT(int interval) = 0;
    virtual void swapIntervalMESA(int interval) = 0;
};

// The layer every engine GL call goes through; the real OpenGL binding unless a test replaced it.
QRVISXGL& qrGL();
// Installs another layer (null restores the real one); returns the layer that was installed.
QRVISXGL* qrSetGL(QRVISXGL* layer);
