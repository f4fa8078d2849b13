#include "gl_recorder.h"

#include <cstdio>
#include <map>

namespace {

// Only the values the engine sends; 0 and 1 are spelled by the calls that take them.
const std::map<GLenum, const char*>& enumNames()
{
    static const std::map<GLenum, const char*> names = {
#define NAME(e) {e, #e}
        NAME(GL_ALPHA_TEST), NAME(GL_BLEND), NAME(GL_CULL_FACE), NAME(GL_DEPTH_TEST), NAME(GL_STENCIL_TEST),
        NAME(GL_SCISSOR_TEST), NAME(GL_POLYGON_OFFSET_FILL), NAME(GL_LINE_SMOOTH), NAME(GL_POINT_SMOOTH),
        NAME(GL_COLOR_MATERIAL), NAME(GL_MULTISAMPLE), NAME(GL_SAMPLE_ALPHA_TO_COVERAGE),
        NAME(GL_STENCIL_TEST_TWO_SIDE_EXT), NAME(GL_LIGHTING), NAME(GL_LIGHT0), NAME(GL_LIGHT1), NAME(GL_LIGHT2),
        NAME(GL_LIGHT3), NAME(GL_LIGHT4), NAME(GL_LIGHT5), NAME(GL_LIGHT6), NAME(GL_LIGHT7), NAME(GL_NEVER),
        NAME(GL_LESS), NAME(GL_EQUAL), NAME(GL_LEQUAL), NAME(GL_GREATER), NAME(GL_NOTEQUAL), NAME(GL_GEQUAL),
        NAME(GL_ALWAYS), NAME(GL_SRC_ALPHA), NAME(GL_ONE_MINUS_SRC_ALPHA), NAME(GL_FUNC_ADD), NAME(GL_MIN),
        NAME(GL_MAX), NAME(GL_FRONT), NAME(GL_BACK), NAME(GL_FRONT_AND_BACK), NAME(GL_CW), NAME(GL_CCW),
        NAME(GL_FILL), NAME(GL_LINE), NAME(GL_POINT), NAME(GL_KEEP), NAME(GL_REPLACE), NAME(GL_INCR),
        NAME(GL_DECR), NAME(GL_INCR_WRAP), NAME(GL_DECR_WRAP), NAME(GL_AMBIENT), NAME(GL_DIFFUSE),
        NAME(GL_SPECULAR), NAME(GL_POSITION), NAME(GL_LINEAR_ATTENUATION), NAME(GL_PROJECTION),
        NAME(GL_MODELVIEW), NAME(GL_PERSPECTIVE_CORRECTION_HINT), NAME(GL_NICEST), NAME(GL_LIGHT_MODEL_AMBIENT),
        NAME(GL_LIGHT_MODEL_COLOR_CONTROL), NAME(GL_SEPARATE_SPECULAR_COLOR),
#undef NAME
    };
    return names;
}

std::string factorName(GLenum factor)
{
    if (factor == GL_ZERO)
        return "GL_ZERO";
    if (factor == GL_ONE)
        return "GL_ONE";
    return glEnumName(factor);
}

std::string numbers(const GLfloat* values, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? ", " : "") + glNumber(values[i]);
    return text;
}

} // namespace

std::string glEnumName(GLenum value)
{
    const auto& names = enumNames();
    if (const auto it = names.find(value); it != names.end())
        return it->second;
    char hex[16];
    std::snprintf(hex, sizeof(hex), "0x%04X", value);
    return hex;
}

std::string glNumber(float value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(value));
    return text;
}

GLRecorder::GLRecorder() : previous_(qrSetGL(this)) {}

GLRecorder::~GLRecorder()
{
    qrSetGL(previous_);
}

std::vector<std::string> GLRecorder::takeCalls()
{
    std::vector<std::string> taken;
    taken.swap(calls_);
    return taken;
}

void GLRecorder::record(const std::string& name, const std::vector<std::string>& arguments)
{
    std::string text = name + "(";
    for (std::size_t i = 0; i < arguments.size(); ++i)
        text += (i ? ", " : "") + arguments[i];
    calls_.push_back(text + ")");
}

bool GLRecorder::startExtensionLoader(std::string& error)
{
    error = loaderFailure_;
    return loaderFailure_.empty();
}

void GLRecorder::enable(GLenum capability)
{
    record("glEnable", {glEnumName(capability)});
}

void GLRecorder::disable(GLenum capability)
{
    record("glDisable", {glEnumName(capability)});
}

GLenum GLRecorder::getError()
{
    if (errors_.empty())
        return GL_NO_ERROR;
    const GLenum error = errors_.front();
    errors_.pop_front();
    return error;
}

void GLRecorder::hint(GLenum target, GLenum mode)
{
    record("glHint", {glEnumName(target), glEnumName(mode)});
}

void GLRecorder::alphaFunc(GLenum function, GLfloat reference)
{
    record("glAlphaFunc", {glEnumName(function), glNumber(reference)});
}

void GLRecorder::blendFunc(GLenum source, GLenum destination)
{
    record("glBlendFunc", {factorName(source), factorName(destination)});
}

void GLRecorder::blendEquation(GLenum mode)
{
    record("glBlendEquation", {glEnumName(mode)});
}

void GLRecorder::color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    record("glColor4f", {glNumber(r), glNumber(g), glNumber(b), glNumber(a)});
}

void GLRecorder::cullFace(GLenum face)
{
    record("glCullFace", {glEnumName(face)});
}

void GLRecorder::frontFace(GLenum winding)
{
    record("glFrontFace", {glEnumName(winding)});
}

void GLRecorder::depthFunc(GLenum function)
{
    record("glDepthFunc", {glEnumName(function)});
}

void GLRecorder::depthMask(GLboolean write)
{
    record("glDepthMask", {write ? "GL_TRUE" : "GL_FALSE"});
}

void GLRecorder::lineWidth(GLfloat width)
{
    record("glLineWidth", {glNumber(width)});
}

void GLRecorder::pointSize(GLfloat size)
{
    record("glPointSize", {glNumber(size)});
}

void GLRecorder::polygonMode(GLenum face, GLenum mode)
{
    record("glPolygonMode", {glEnumName(face), glEnumName(mode)});
}

void GLRecorder::lightf(GLenum light, GLenum parameter, GLfloat value)
{
    record("glLightf", {glEnumName(light), glEnumName(parameter), glNumber(value)});
}

void GLRecorder::lightfv(GLenum light, GLenum parameter, const GLfloat* values)
{
    record("glLightfv", {glEnumName(light), glEnumName(parameter), numbers(values, 4)});
}

void GLRecorder::lightModelfv(GLenum parameter, const GLfloat* values)
{
    record("glLightModelfv", {glEnumName(parameter), numbers(values, 4)});
}

void GLRecorder::lightModeli(GLenum parameter, GLint value)
{
    record("glLightModeli", {glEnumName(parameter), glEnumName(static_cast<GLenum>(value))});
}

void GLRecorder::colorMaterial(GLenum face, GLenum mode)
{
    record("glColorMaterial", {glEnumName(face), glEnumName(mode)});
}

void GLRecorder::stencilFunc(GLenum function, GLint reference, GLuint mask)
{
    record("glStencilFunc", {glEnumName(function), std::to_string(reference), std::to_string(mask)});
}

void GLRecorder::stencilOp(GLenum stencilFail, GLenum depthFail, GLenum depthPass)
{
    record("glStencilOp", {glEnumName(stencilFail), glEnumName(depthFail), glEnumName(depthPass)});
}

void GLRecorder::stencilMask(GLuint mask)
{
    record("glStencilMask", {std::to_string(mask)});
}

void GLRecorder::clearStencil(GLint value)
{
    record("glClearStencil", {std::to_string(value)});
}

void GLRecorder::activeStencilFace(GLenum face)
{
    record("glActiveStencilFaceEXT", {glEnumName(face)});
}

void GLRecorder::matrixMode(GLenum mode)
{
    record("glMatrixMode", {glEnumName(mode)});
}

void GLRecorder::loadMatrixf(const GLfloat* matrix)
{
    record("glLoadMatrixf", {numbers(matrix, 16)});
}

void GLRecorder::loadIdentity()
{
    record("glLoadIdentity", {});
}

void GLRecorder::viewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    record("glViewport", {std::to_string(x), std::to_string(y), std::to_string(width), std::to_string(height)});
}

void GLRecorder::clearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    record("glClearColor", {glNumber(r), glNumber(g), glNumber(b), glNumber(a)});
}

void GLRecorder::clear(GLbitfield mask)
{
    // Buffer bits are no enums: GL_COLOR_BUFFER_BIT has the value of GL_LIGHT0.
    static const std::pair<GLbitfield, const char*> kBits[] = {{GL_COLOR_BUFFER_BIT, "GL_COLOR_BUFFER_BIT"},
                                                               {GL_DEPTH_BUFFER_BIT, "GL_DEPTH_BUFFER_BIT"},
                                                               {GL_STENCIL_BUFFER_BIT, "GL_STENCIL_BUFFER_BIT"}};
    std::string bits;
    for (const auto& [bit, name] : kBits)
        if (mask & bit)
            bits += (bits.empty() ? "" : " | ") + std::string(name);
    record("glClear", {bits});
}
