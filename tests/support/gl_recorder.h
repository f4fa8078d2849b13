#pragma once
// A GL layer that records every call as readable text ("glEnable(GL_BLEND)") instead of calling
// OpenGL, so unit tests see exactly what the engine sends, without a context. Installs itself as
// the process-wide layer for its lifetime.

#include "visual/gl/qr_visx_gl.h"

#include <cstdint>
#include <deque>
#include <map>
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
    // Strict mode plays a real driver of the level setExtensions names: every entry point (and the
    // enums) above OpenGL 1.1 needs its core version or extension, a texture unit needs to exist,
    // and object names are reused as drivers reuse them: the lowest free name of the object's kind.
    // What the level does not offer is noted in violations() ("glGenBuffers needs GL_VERSION_1_5
    // or GL_ARB_vertex_buffer_object"), once per entry point.
    void setStrict(bool strict) { strict_ = strict; }
    const std::vector<std::string>& violations() const { return violations_; }
    // The loader fails to start with this reason; empty lets it start.
    void setLoaderFailure(std::string reason) { loaderFailure_ = std::move(reason); }
    // getError returns these in turn, then GL_NO_ERROR.
    void queueError(GLenum error) { errors_.push_back(error); }

    // Integer and float queries answer these (all values of the query), 0 otherwise.
    void setInteger(GLenum parameter, GLint value) { integers_[parameter] = value; }
    // What getString answers for name (empty until set).
    void setString(GLenum name, std::string value) { strings_[name] = std::move(value); }
    void setFloat(GLenum parameter, GLfloat value) { floats_[parameter] = value; }
    // A shader whose source contains text fails to compile with this info log.
    void failCompileWhenSourceContains(std::string text, std::string infoLog)
    {
        compileFailures_.emplace_back(std::move(text), std::move(infoLog));
    }
    // The next link fails with this info log.
    void failNextLink(std::string infoLog) { linkFailures_.push_back(std::move(infoLog)); }
    void setFramebufferStatus(GLenum status) { framebufferStatus_ = status; }
    // A frame buffer whose colour attachment is a texture of one of these internal formats is
    // answered GL_FRAMEBUFFER_UNSUPPORTED_EXT, as by a driver that cannot draw into them.
    void setUnsupportedColorFormats(std::set<GLint> formats) { unsupportedColorFormats_ = std::move(formats); }
    // The frame buffer objects go with the context that made them, as on drivers whose share
    // groups do not share them: a rebuilt context starts without any. Without this call they
    // stay, as where share groups share them.
    void loseFramebuffers();
    // Object ids handed out so far and not deleted, of any kind.
    bool isLive(GLuint id) const;
    // How many object ids are live, of any kind (leak checks).
    std::size_t liveCount() const { return live_.size(); }
    // Drops what is kept about deleted shaders and programs (sources, logs, uniforms), except for
    // deleted shaders still attached to a live program, so that a long run keeps no state per object.
    void forgetDeletedObjects();
    // The bytes of the last texImage2D with data (tight rows), and of the last bufferData.
    const std::vector<std::uint8_t>& lastTextureBytes() const { return lastTextureBytes_; }
    const std::vector<std::uint8_t>& lastBufferBytes() const { return lastBufferBytes_; }
    // What the last glDrawArrays read from client-side float arrays (no buffer object bound): the
    // vertex positions and the texture coordinates, components of each vertex in a row; empty
    // when that array was not a client-side float array.
    const std::vector<float>& lastDrawnPositions() const { return lastDrawnPositions_; }
    const std::vector<float>& lastDrawnTexCoords() const { return lastDrawnTexCoords_; }

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
    void record(const std::string& name, const std::vector<std::string>& arguments);
    void checkLevel(const std::string& name, const std::vector<std::string>& arguments);

    GLuint newId(const char* kind, GLsizei range = 1);
    bool isLiveOf(GLuint id, const char* kind) const;
    void forget(GLuint id, const char* kind);

    struct Uniform {
        std::string name;
        GLenum type;
    };
    QRVISXGL* previous_;
    GLuint nextId_ = 1;
    // Live object names by (name space, name): shaders and programs share one space, as in OpenGL.
    std::map<std::pair<int, GLuint>, std::string> live_;
    bool strict_ = false;
    std::vector<std::string> violations_;
    std::set<std::string> violated_;
    std::map<GLenum, GLint> integers_;
    std::map<GLenum, std::string> strings_;
    std::map<GLenum, GLfloat> floats_;
    std::vector<std::pair<std::string, std::string>> compileFailures_;
    std::deque<std::string> linkFailures_;
    GLenum framebufferStatus_ = GL_FRAMEBUFFER_COMPLETE_EXT;
    std::set<GLint> unsupportedColorFormats_;
    GLuint boundTexture_ = 0;
    std::map<GLuint, GLint> textureFormats_;
    GLuint colorAttachment_ = 0;
    std::map<GLuint, std::string> shaderSources_;
    std::map<GLuint, bool> compiled_;
    std::map<GLuint, std::string> shaderLogs_;
    std::map<GLuint, std::vector<GLuint>> attached_;
    std::map<GLuint, bool> linked_;
    std::map<GLuint, std::string> programLogs_;
    std::map<GLuint, std::vector<Uniform>> uniforms_;
    GLuint arrayBuffer_ = 0;
    GLuint elementBuffer_ = 0;
    GLint unpackAlignment_ = 4;
    std::vector<std::uint8_t> lastTextureBytes_;
    std::vector<std::uint8_t> lastBufferBytes_;
    struct ClientArray {
        GLint size = 0;
        GLsizei stride = 0;
        const float* data = nullptr;
        bool enabled = false;
    };
    ClientArray vertexArray_;
    ClientArray texCoordArray_;
    std::vector<float> lastDrawnPositions_;
    std::vector<float> lastDrawnTexCoords_;
    std::vector<std::string> calls_;
    std::set<std::string> extensions_;
    std::string loaderFailure_;
    std::deque<GLenum> errors_;
};

// The symbolic name of a GL enum the engine uses ("GL_BLEND"), or its value in hex.
std::string glEnumName(GLenum value);
// A float as the recorder writes it: shortest form, "0.5", "1", "-2".
std::string glNumber(float value);
