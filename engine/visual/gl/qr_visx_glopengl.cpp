#include "visual/gl/qr_visx_glopengl.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>

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
        return isGLXExtensionSupported(name);
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

void QRVISXGLOpenGL::depthRange(GLclampd nearValue, GLclampd farValue)
{
    glDepthRange(nearValue, farValue);
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

void QRVISXGLOpenGL::pushMatrix()
{
    glPushMatrix();
}

void QRVISXGLOpenGL::popMatrix()
{
    glPopMatrix();
}

void QRVISXGLOpenGL::multMatrixf(const GLfloat* matrix)
{
    glMultMatrixf(matrix);
}

void QRVISXGLOpenGL::ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar)
{
    glOrtho(left, right, bottom, top, zNear, zFar);
}

void QRVISXGLOpenGL::begin(GLenum mode)
{
    glBegin(mode);
}

void QRVISXGLOpenGL::end()
{
    glEnd();
}

void QRVISXGLOpenGL::vertex2f(GLfloat x, GLfloat y)
{
    glVertex2f(x, y);
}

void QRVISXGLOpenGL::vertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    glVertex3f(x, y, z);
}

void QRVISXGLOpenGL::normal3f(GLfloat x, GLfloat y, GLfloat z)
{
    glNormal3f(x, y, z);
}

void QRVISXGLOpenGL::texCoord2f(GLfloat s, GLfloat t)
{
    glTexCoord2f(s, t);
}

void QRVISXGLOpenGL::getIntegerv(GLenum parameter, GLint* values)
{
    glGetIntegerv(parameter, values);
}

void QRVISXGLOpenGL::getFloatv(GLenum parameter, GLfloat* values)
{
    glGetFloatv(parameter, values);
}

void QRVISXGLOpenGL::readPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                                void* pixels)
{
    glReadPixels(x, y, width, height, format, type, pixels);
}

void QRVISXGLOpenGL::finish()
{
    glFinish();
}

void QRVISXGLOpenGL::flush()
{
    glFlush();
}

std::string QRVISXGLOpenGL::getString(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

GLuint QRVISXGLOpenGL::genTexture()
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    return texture;
}

void QRVISXGLOpenGL::deleteTexture(GLuint texture)
{
    glDeleteTextures(1, &texture);
}

bool QRVISXGLOpenGL::isTexture(GLuint texture)
{
    return glIsTexture(texture) == GL_TRUE;
}

void QRVISXGLOpenGL::bindTexture(GLenum target, GLuint texture)
{
    glBindTexture(target, texture);
}

void QRVISXGLOpenGL::activeTexture(GLenum unit)
{
    if (glActiveTexture)
        glActiveTexture(unit);
    else if (glActiveTextureARB)
        glActiveTextureARB(unit);
}

void QRVISXGLOpenGL::clientActiveTexture(GLenum unit)
{
    if (glClientActiveTexture)
        glClientActiveTexture(unit);
    else if (glClientActiveTextureARB)
        glClientActiveTextureARB(unit);
}

void QRVISXGLOpenGL::texImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                                GLint border, GLenum format, GLenum type, const void* pixels)
{
    glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}

void QRVISXGLOpenGL::copyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y,
                                    GLsizei width, GLsizei height, GLint border)
{
    glCopyTexImage2D(target, level, internalFormat, x, y, width, height, border);
}

void QRVISXGLOpenGL::texParameteri(GLenum target, GLenum parameter, GLint value)
{
    glTexParameteri(target, parameter, value);
}

void QRVISXGLOpenGL::texParameterf(GLenum target, GLenum parameter, GLfloat value)
{
    glTexParameterf(target, parameter, value);
}

void QRVISXGLOpenGL::pixelStorei(GLenum parameter, GLint value)
{
    glPixelStorei(parameter, value);
}

GLint QRVISXGLOpenGL::build2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                                     GLenum format, GLenum type, const void* pixels)
{
    return gluBuild2DMipmaps(target, internalFormat, width, height, format, type, pixels);
}

GLuint QRVISXGLOpenGL::createShader(GLenum type)
{
    return glCreateShader ? glCreateShader(type) : 0;
}

void QRVISXGLOpenGL::shaderSource(GLuint shader, const std::vector<std::string>& sources)
{
    std::vector<const GLchar*> strings;
    std::vector<GLint> lengths;
    for (const std::string& source : sources) {
        strings.push_back(source.data());
        lengths.push_back(static_cast<GLint>(source.size()));
    }
    glShaderSource(shader, static_cast<GLsizei>(strings.size()), strings.data(), lengths.data());
}

void QRVISXGLOpenGL::compileShader(GLuint shader)
{
    glCompileShader(shader);
}

void QRVISXGLOpenGL::getShaderiv(GLuint shader, GLenum parameter, GLint* value)
{
    glGetShaderiv(shader, parameter, value);
}

std::string QRVISXGLOpenGL::getShaderInfoLog(GLuint shader, GLsizei maxLength)
{
    std::string text(static_cast<std::size_t>(std::max(maxLength, 1)), '\0');
    GLsizei length = 0;
    glGetShaderInfoLog(shader, maxLength, &length, text.data());
    text.resize(static_cast<std::size_t>(std::clamp(length, 0, maxLength)));
    return text;
}

bool QRVISXGLOpenGL::isShader(GLuint shader)
{
    return glIsShader && glIsShader(shader) == GL_TRUE;
}

void QRVISXGLOpenGL::deleteShader(GLuint shader)
{
    glDeleteShader(shader);
}

GLuint QRVISXGLOpenGL::createProgram()
{
    return glCreateProgram ? glCreateProgram() : 0;
}

void QRVISXGLOpenGL::attachShader(GLuint program, GLuint shader)
{
    glAttachShader(program, shader);
}

void QRVISXGLOpenGL::detachShader(GLuint program, GLuint shader)
{
    glDetachShader(program, shader);
}

void QRVISXGLOpenGL::linkProgram(GLuint program)
{
    glLinkProgram(program);
}

void QRVISXGLOpenGL::getProgramiv(GLuint program, GLenum parameter, GLint* value)
{
    glGetProgramiv(program, parameter, value);
}

std::string QRVISXGLOpenGL::getProgramInfoLog(GLuint program, GLsizei maxLength)
{
    std::string text(static_cast<std::size_t>(std::max(maxLength, 1)), '\0');
    GLsizei length = 0;
    glGetProgramInfoLog(program, maxLength, &length, text.data());
    text.resize(static_cast<std::size_t>(std::clamp(length, 0, maxLength)));
    return text;
}

bool QRVISXGLOpenGL::isProgram(GLuint program)
{
    return glIsProgram && glIsProgram(program) == GL_TRUE;
}

void QRVISXGLOpenGL::deleteProgram(GLuint program)
{
    glDeleteProgram(program);
}

void QRVISXGLOpenGL::useProgram(GLuint program)
{
    glUseProgram(program);
}

void QRVISXGLOpenGL::getActiveUniform(GLuint program, GLuint index, GLsizei maxLength, GLint* size, GLenum* type,
                                      std::string& name)
{
    std::string text(static_cast<std::size_t>(std::max(maxLength, 1)), '\0');
    GLsizei length = 0;
    glGetActiveUniform(program, index, maxLength, &length, size, type, text.data());
    text.resize(static_cast<std::size_t>(std::clamp(length, 0, maxLength)));
    name = text;
}

GLint QRVISXGLOpenGL::getUniformLocation(GLuint program, const std::string& name)
{
    return glGetUniformLocation(program, name.c_str());
}

void QRVISXGLOpenGL::uniform1i(GLint location, GLint value)
{
    glUniform1i(location, value);
}

void QRVISXGLOpenGL::uniform1f(GLint location, GLfloat value)
{
    glUniform1f(location, value);
}

void QRVISXGLOpenGL::uniform2fv(GLint location, GLsizei count, const GLfloat* values)
{
    glUniform2fv(location, count, values);
}

void QRVISXGLOpenGL::uniform3fv(GLint location, GLsizei count, const GLfloat* values)
{
    glUniform3fv(location, count, values);
}

void QRVISXGLOpenGL::uniform4fv(GLint location, GLsizei count, const GLfloat* values)
{
    glUniform4fv(location, count, values);
}

void QRVISXGLOpenGL::uniformMatrix2fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* values)
{
    glUniformMatrix2fv(location, count, transpose, values);
}

void QRVISXGLOpenGL::uniformMatrix3fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* values)
{
    glUniformMatrix3fv(location, count, transpose, values);
}

void QRVISXGLOpenGL::uniformMatrix4fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* values)
{
    glUniformMatrix4fv(location, count, transpose, values);
}

GLuint QRVISXGLOpenGL::genBuffer()
{
    GLuint buffer = 0;
    if (glGenBuffers)
        glGenBuffers(1, &buffer);
    return buffer;
}

void QRVISXGLOpenGL::deleteBuffer(GLuint buffer)
{
    glDeleteBuffers(1, &buffer);
}

bool QRVISXGLOpenGL::isBuffer(GLuint buffer)
{
    return glIsBuffer && glIsBuffer(buffer) == GL_TRUE;
}

void QRVISXGLOpenGL::bindBuffer(GLenum target, GLuint buffer)
{
    glBindBuffer(target, buffer);
}

void QRVISXGLOpenGL::bufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage)
{
    glBufferData(target, size, data, usage);
}

void QRVISXGLOpenGL::enableClientState(GLenum array)
{
    glEnableClientState(array);
}

void QRVISXGLOpenGL::disableClientState(GLenum array)
{
    glDisableClientState(array);
}

void QRVISXGLOpenGL::vertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    glVertexPointer(size, type, stride, pointer);
}

void QRVISXGLOpenGL::normalPointer(GLenum type, GLsizei stride, const void* pointer)
{
    glNormalPointer(type, stride, pointer);
}

void QRVISXGLOpenGL::colorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    glColorPointer(size, type, stride, pointer);
}

void QRVISXGLOpenGL::texCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    glTexCoordPointer(size, type, stride, pointer);
}

void QRVISXGLOpenGL::drawArrays(GLenum mode, GLint first, GLsizei count)
{
    glDrawArrays(mode, first, count);
}

void QRVISXGLOpenGL::drawElements(GLenum mode, GLsizei count, GLenum type, const void* indices)
{
    glDrawElements(mode, count, type, indices);
}

void QRVISXGLOpenGL::drawRangeElements(GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type,
                                       const void* indices)
{
    if (glDrawRangeElements)
        glDrawRangeElements(mode, start, end, count, type, indices);
    else
        glDrawElements(mode, count, type, indices);
}

GLuint QRVISXGLOpenGL::genLists(GLsizei range)
{
    return glGenLists(range);
}

void QRVISXGLOpenGL::newList(GLuint list, GLenum mode)
{
    glNewList(list, mode);
}

void QRVISXGLOpenGL::endList()
{
    glEndList();
}

void QRVISXGLOpenGL::callList(GLuint list)
{
    glCallList(list);
}

bool QRVISXGLOpenGL::isList(GLuint list)
{
    return glIsList(list) == GL_TRUE;
}

void QRVISXGLOpenGL::deleteLists(GLuint list, GLsizei range)
{
    glDeleteLists(list, range);
}

GLuint QRVISXGLOpenGL::genFramebuffer()
{
    GLuint framebuffer = 0;
    if (glGenFramebuffersEXT)
        glGenFramebuffersEXT(1, &framebuffer);
    return framebuffer;
}

void QRVISXGLOpenGL::deleteFramebuffer(GLuint framebuffer)
{
    glDeleteFramebuffersEXT(1, &framebuffer);
}

bool QRVISXGLOpenGL::isFramebuffer(GLuint framebuffer)
{
    return glIsFramebufferEXT && glIsFramebufferEXT(framebuffer) == GL_TRUE;
}

void QRVISXGLOpenGL::bindFramebuffer(GLenum target, GLuint framebuffer)
{
    glBindFramebufferEXT(target, framebuffer);
}

void QRVISXGLOpenGL::framebufferTexture2D(GLenum target, GLenum attachment, GLenum textureTarget, GLuint texture,
                                          GLint level)
{
    glFramebufferTexture2DEXT(target, attachment, textureTarget, texture, level);
}

GLuint QRVISXGLOpenGL::genRenderbuffer()
{
    GLuint renderbuffer = 0;
    if (glGenRenderbuffersEXT)
        glGenRenderbuffersEXT(1, &renderbuffer);
    return renderbuffer;
}

void QRVISXGLOpenGL::deleteRenderbuffer(GLuint renderbuffer)
{
    glDeleteRenderbuffersEXT(1, &renderbuffer);
}

bool QRVISXGLOpenGL::isRenderbuffer(GLuint renderbuffer)
{
    return glIsRenderbufferEXT && glIsRenderbufferEXT(renderbuffer) == GL_TRUE;
}

void QRVISXGLOpenGL::bindRenderbuffer(GLenum target, GLuint renderbuffer)
{
    glBindRenderbufferEXT(target, renderbuffer);
}

void QRVISXGLOpenGL::renderbufferStorage(GLenum target, GLenum internalFormat, GLsizei width, GLsizei height)
{
    glRenderbufferStorageEXT(target, internalFormat, width, height);
}

void QRVISXGLOpenGL::framebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbufferTarget,
                                             GLuint renderbuffer)
{
    glFramebufferRenderbufferEXT(target, attachment, renderbufferTarget, renderbuffer);
}

GLenum QRVISXGLOpenGL::checkFramebufferStatus(GLenum target)
{
    return glCheckFramebufferStatusEXT ? glCheckFramebufferStatusEXT(target) : 0;
}

void QRVISXGLOpenGL::drawBuffers(GLsizei count, const GLenum* buffers)
{
    if (glDrawBuffers)
        glDrawBuffers(count, buffers);
    else if (glDrawBuffersARB)
        glDrawBuffersARB(count, buffers);
    else if (count > 0)
        glDrawBuffer(buffers[0]);
}

void QRVISXGLOpenGL::drawBuffer(GLenum buffer)
{
    glDrawBuffer(buffer);
}

void QRVISXGLOpenGL::readBuffer(GLenum buffer)
{
    glReadBuffer(buffer);
}

void QRVISXGLOpenGL::multiTexCoord1f(GLenum unit, GLfloat s)
{
    if (glMultiTexCoord1f)
        glMultiTexCoord1f(unit, s);
    else if (glMultiTexCoord1fARB)
        glMultiTexCoord1fARB(unit, s);
    else if (unit == GL_TEXTURE0)
        glTexCoord1f(s);
}

void QRVISXGLOpenGL::multiTexCoord2f(GLenum unit, GLfloat s, GLfloat t)
{
    if (glMultiTexCoord2f)
        glMultiTexCoord2f(unit, s, t);
    else if (glMultiTexCoord2fARB)
        glMultiTexCoord2fARB(unit, s, t);
    else if (unit == GL_TEXTURE0)
        glTexCoord2f(s, t);
}

void QRVISXGLOpenGL::texEnvi(GLenum target, GLenum parameter, GLint value)
{
    glTexEnvi(target, parameter, value);
}

void QRVISXGLOpenGL::texGeni(GLenum coordinate, GLenum parameter, GLint value)
{
    glTexGeni(coordinate, parameter, value);
}

void QRVISXGLOpenGL::texGenfv(GLenum coordinate, GLenum parameter, const GLfloat* values)
{
    glTexGenfv(coordinate, parameter, values);
}
