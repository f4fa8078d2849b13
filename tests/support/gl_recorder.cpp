#include "gl_recorder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <regex>

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
        NAME(GL_LIGHT_MODEL_COLOR_CONTROL), NAME(GL_SEPARATE_SPECULAR_COLOR), NAME(GL_TEXTURE_2D),
        NAME(GL_TEXTURE_1D), NAME(GL_TEXTURE_3D), NAME(GL_TEXTURE_CUBE_MAP), NAME(GL_TEXTURE0), NAME(GL_TEXTURE1),
        NAME(GL_TEXTURE2), NAME(GL_TEXTURE3), NAME(GL_TEXTURE4), NAME(GL_TEXTURE5), NAME(GL_TEXTURE6),
        NAME(GL_TEXTURE7), NAME(GL_TEXTURE8), NAME(GL_TEXTURE9), NAME(GL_TEXTURE10), NAME(GL_TEXTURE11),
        NAME(GL_TEXTURE12), NAME(GL_TEXTURE13), NAME(GL_TEXTURE14), NAME(GL_TEXTURE15), NAME(GL_RGB), NAME(GL_RGBA),
        NAME(GL_ALPHA), NAME(GL_LUMINANCE), NAME(GL_STENCIL_INDEX), NAME(GL_DEPTH_COMPONENT),
        NAME(GL_DEPTH_COMPONENT16), NAME(GL_DEPTH_COMPONENT24), NAME(GL_DEPTH_COMPONENT32),
        NAME(GL_COMPRESSED_LUMINANCE), NAME(GL_COMPRESSED_RGB), NAME(GL_COMPRESSED_RGBA), NAME(GL_RGBA32F_ARB),
        NAME(GL_RGB32F_ARB), NAME(GL_LUMINANCE32F_ARB), NAME(GL_RGBA16F_ARB), NAME(GL_RGB16F_ARB),
        NAME(GL_LUMINANCE16F_ARB), NAME(GL_STENCIL_INDEX8_EXT), NAME(GL_UNSIGNED_BYTE), NAME(GL_UNSIGNED_INT),
        NAME(GL_FLOAT), NAME(GL_TEXTURE_MIN_FILTER), NAME(GL_TEXTURE_MAG_FILTER), NAME(GL_TEXTURE_WRAP_S),
        NAME(GL_TEXTURE_WRAP_T), NAME(GL_TEXTURE_MAX_ANISOTROPY_EXT), NAME(GL_GENERATE_MIPMAP_SGIS), NAME(GL_NEAREST),
        NAME(GL_LINEAR), NAME(GL_LINEAR_MIPMAP_NEAREST), NAME(GL_LINEAR_MIPMAP_LINEAR), NAME(GL_REPEAT), NAME(GL_CLAMP),
        NAME(GL_CLAMP_TO_EDGE), NAME(GL_UNPACK_ALIGNMENT), NAME(GL_PACK_ALIGNMENT), NAME(GL_VERTEX_SHADER),
        NAME(GL_FRAGMENT_SHADER), NAME(GL_ARRAY_BUFFER), NAME(GL_ELEMENT_ARRAY_BUFFER), NAME(GL_STATIC_DRAW),
        NAME(GL_DYNAMIC_DRAW), NAME(GL_VERTEX_ARRAY), NAME(GL_NORMAL_ARRAY), NAME(GL_COLOR_ARRAY),
        NAME(GL_TEXTURE_COORD_ARRAY), NAME(GL_POINTS), NAME(GL_LINES), NAME(GL_LINE_STRIP), NAME(GL_LINE_LOOP),
        NAME(GL_TRIANGLES), NAME(GL_TRIANGLE_STRIP), NAME(GL_TRIANGLE_FAN), NAME(GL_QUADS), NAME(GL_QUAD_STRIP),
        NAME(GL_COMPILE), NAME(GL_COMPILE_AND_EXECUTE), NAME(GL_FRAMEBUFFER_EXT), NAME(GL_RENDERBUFFER_EXT),
        NAME(GL_COLOR_ATTACHMENT0_EXT), NAME(GL_COLOR_ATTACHMENT1_EXT), NAME(GL_COLOR_ATTACHMENT2_EXT),
        NAME(GL_COLOR_ATTACHMENT3_EXT), NAME(GL_DEPTH_ATTACHMENT_EXT), NAME(GL_STENCIL_ATTACHMENT_EXT),
        NAME(GL_NONE), NAME(GL_BACK_LEFT), NAME(GL_MAX_TEXTURE_SIZE), NAME(GL_MAX_TEXTURE_UNITS),
        NAME(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT), NAME(GL_MAX_DRAW_BUFFERS), NAME(GL_MAX_RENDERBUFFER_SIZE_EXT),
        NAME(GL_TEXTURE_ENV), NAME(GL_TEXTURE_ENV_MODE), NAME(GL_MODULATE),
        NAME(GL_S), NAME(GL_T), NAME(GL_TEXTURE_GEN_S), NAME(GL_TEXTURE_GEN_T), NAME(GL_TEXTURE_GEN_MODE),
        NAME(GL_OBJECT_LINEAR), NAME(GL_OBJECT_PLANE), NAME(GL_COMBINE), NAME(GL_NORMALIZE),
        NAME(GL_AMBIENT_AND_DIFFUSE), NAME(GL_MAX_TEXTURE_IMAGE_UNITS), NAME(GL_R), NAME(GL_TEXTURE_GEN_R),
        NAME(GL_NORMAL_MAP), NAME(GL_TEXTURE),
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
    if (strict_)
        checkLevel(name, arguments);
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

void GLRecorder::depthRange(GLclampd nearValue, GLclampd farValue)
{
    record("glDepthRange", {glNumber(static_cast<GLfloat>(nearValue)), glNumber(static_cast<GLfloat>(farValue))});
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

namespace {
// Uniform declarations of GLSL source, in order; comments are dropped first, and since lines
// reach the driver without line breaks a line comment swallows the rest of the source.
std::vector<std::pair<std::string, GLenum>> declaredUniforms(std::string source)
{
    source = std::regex_replace(source, std::regex(R"(/\*[\s\S]*?\*/)"), " ");
    source = std::regex_replace(source, std::regex(R"(//[^\n]*)"), " ");
    static const std::map<std::string, GLenum> kTypes = {
        {"bool", GL_BOOL},         {"int", GL_INT},           {"float", GL_FLOAT},
        {"vec2", GL_FLOAT_VEC2},   {"vec3", GL_FLOAT_VEC3},   {"vec4", GL_FLOAT_VEC4},
        {"mat2", GL_FLOAT_MAT2},   {"mat3", GL_FLOAT_MAT3},   {"mat4", GL_FLOAT_MAT4},
        {"sampler1D", GL_SAMPLER_1D}, {"sampler2D", GL_SAMPLER_2D}, {"sampler3D", GL_SAMPLER_3D},
        {"samplerCube", GL_SAMPLER_CUBE}, {"sampler2DShadow", GL_SAMPLER_2D_SHADOW}, {"ivec2", GL_INT_VEC2}};
    std::vector<std::pair<std::string, GLenum>> found;
    const std::regex declaration(R"(\buniform\s+(\w+)\s+([^;]+);)");
    for (auto it = std::sregex_iterator(source.begin(), source.end(), declaration); it != std::sregex_iterator(); ++it) {
        const auto type = kTypes.find((*it)[1].str());
        if (type == kTypes.end())
            continue;
        const std::string names = (*it)[2].str();
        const std::regex word(R"(\w+)");
        for (auto n = std::sregex_iterator(names.begin(), names.end(), word); n != std::sregex_iterator(); ++n)
            found.emplace_back((*n)[0].str(), type->second);
    }
    return found;
}

std::size_t componentsOf(GLenum format)
{
    switch (format) {
    case GL_RGB:
        return 3;
    case GL_RGBA:
        return 4;
    default:
        return 1;
    }
}

std::string pointerText(GLuint boundBuffer, const void* pointer)
{
    if (boundBuffer)
        return "offset " + std::to_string(reinterpret_cast<std::uintptr_t>(pointer));
    return pointer ? "client" : "null";
}
} // namespace

namespace {
int nameSpaceOf(const std::string& kind)
{
    static const std::map<std::string, int> kSpaces = {{"shader", 0},      {"program", 0},    {"texture", 1},
                                                      {"buffer", 2},      {"list", 3},       {"framebuffer", 4},
                                                      {"renderbuffer", 5}};
    const auto it = kSpaces.find(kind);
    return it == kSpaces.end() ? 6 : it->second;
}
} // namespace

GLuint GLRecorder::newId(const char* kind, GLsizei range)
{
    const int space = nameSpaceOf(kind);
    GLuint id = nextId_;
    if (strict_) {
        // The lowest name whose whole range is free in the object's own name space.
        const auto rangeIsFree = [&](GLuint first) {
            for (GLuint i = 0; i < static_cast<GLuint>(std::max<GLsizei>(range, 1)); ++i)
                if (live_.count({space, first + i}))
                    return false;
            return true;
        };
        for (id = 1; !rangeIsFree(id); ++id) {
        }
    } else {
        nextId_ += static_cast<GLuint>(std::max<GLsizei>(range, 1));
    }
    live_[{space, id}] = kind;
    return id;
}

bool GLRecorder::isLive(GLuint id) const
{
    for (const auto& entry : live_)
        if (entry.first.second == id)
            return true;
    return false;
}

bool GLRecorder::isLiveOf(GLuint id, const char* kind) const
{
    const auto it = live_.find({nameSpaceOf(kind), id});
    return it != live_.end() && it->second == kind;
}

void GLRecorder::forget(GLuint id, const char* kind)
{
    live_.erase({nameSpaceOf(kind), id});
}

void GLRecorder::forgetDeletedObjects()
{
    std::set<GLuint> keep;
    for (const auto& [program, shaders] : attached_)
        if (isLiveOf(program, "program"))
            keep.insert(shaders.begin(), shaders.end());
    const auto dead = [&](GLuint id) { return !isLiveOf(id, "shader") && !isLiveOf(id, "program") && !keep.count(id); };
    std::erase_if(shaderSources_, [&](const auto& entry) { return dead(entry.first); });
    std::erase_if(compiled_, [&](const auto& entry) { return dead(entry.first); });
    std::erase_if(shaderLogs_, [&](const auto& entry) { return dead(entry.first); });
    std::erase_if(attached_, [&](const auto& entry) { return dead(entry.first); });
    std::erase_if(linked_, [&](const auto& entry) { return dead(entry.first); });
    std::erase_if(programLogs_, [&](const auto& entry) { return dead(entry.first); });
    std::erase_if(uniforms_, [&](const auto& entry) { return dead(entry.first); });
}

void GLRecorder::pushMatrix()
{
    record("glPushMatrix", {});
}

void GLRecorder::popMatrix()
{
    record("glPopMatrix", {});
}

void GLRecorder::multMatrixf(const GLfloat* matrix)
{
    record("glMultMatrixf", {numbers(matrix, 16)});
}

void GLRecorder::ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar)
{
    record("glOrtho", {glNumber(static_cast<float>(left)), glNumber(static_cast<float>(right)),
                       glNumber(static_cast<float>(bottom)), glNumber(static_cast<float>(top)),
                       glNumber(static_cast<float>(zNear)), glNumber(static_cast<float>(zFar))});
}

void GLRecorder::begin(GLenum mode)
{
    record("glBegin", {glEnumName(mode)});
}

void GLRecorder::end()
{
    record("glEnd", {});
}

void GLRecorder::vertex2f(GLfloat x, GLfloat y)
{
    record("glVertex2f", {glNumber(x), glNumber(y)});
}

void GLRecorder::vertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    record("glVertex3f", {glNumber(x), glNumber(y), glNumber(z)});
}

void GLRecorder::normal3f(GLfloat x, GLfloat y, GLfloat z)
{
    record("glNormal3f", {glNumber(x), glNumber(y), glNumber(z)});
}

void GLRecorder::texCoord2f(GLfloat s, GLfloat t)
{
    record("glTexCoord2f", {glNumber(s), glNumber(t)});
}

void GLRecorder::getIntegerv(GLenum parameter, GLint* values)
{
    const auto it = integers_.find(parameter);
    *values = it == integers_.end() ? 0 : it->second;
}

void GLRecorder::getFloatv(GLenum parameter, GLfloat* values)
{
    const auto it = floats_.find(parameter);
    *values = it == floats_.end() ? 0.0f : it->second;
}

void GLRecorder::readPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels)
{
    record("glReadPixels", {std::to_string(x), std::to_string(y), std::to_string(width), std::to_string(height),
                            glEnumName(format), glEnumName(type)});
    const std::size_t size = type == GL_FLOAT ? 4 : 1;
    std::memset(pixels, 0, static_cast<std::size_t>(width) * height * componentsOf(format) * size);
}

void GLRecorder::finish()
{
    record("glFinish", {});
}

void GLRecorder::flush()
{
    record("glFlush", {});
}

std::string GLRecorder::getString(GLenum name)
{
    const auto it = strings_.find(name);
    return it == strings_.end() ? std::string() : it->second;
}

GLuint GLRecorder::genTexture()
{
    const GLuint id = newId("texture");
    record("glGenTextures", {std::to_string(id)});
    return id;
}

void GLRecorder::deleteTexture(GLuint texture)
{
    record("glDeleteTextures", {std::to_string(texture)});
    forget(texture, "texture");
}

bool GLRecorder::isTexture(GLuint texture)
{
    return isLiveOf(texture, "texture");
}

void GLRecorder::bindTexture(GLenum target, GLuint texture)
{
    record("glBindTexture", {glEnumName(target), std::to_string(texture)});
    boundTexture_ = texture;
}

void GLRecorder::activeTexture(GLenum unit)
{
    record("glActiveTexture", {glEnumName(unit)});
}

void GLRecorder::clientActiveTexture(GLenum unit)
{
    record("glClientActiveTexture", {glEnumName(unit)});
}

void GLRecorder::texImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                            GLint border, GLenum format, GLenum type, const void* pixels)
{
    record("glTexImage2D", {glEnumName(target), std::to_string(level), glEnumName(static_cast<GLenum>(internalFormat)),
                            std::to_string(width), std::to_string(height), std::to_string(border), glEnumName(format),
                            glEnumName(type), pixels ? "data" : "null"});
    if (level == 0)
        textureFormats_[boundTexture_] = internalFormat;
    if (pixels) {
        const std::size_t size =
            static_cast<std::size_t>(width) * height * componentsOf(format) * (type == GL_FLOAT ? 4 : 1);
        const auto* bytes = static_cast<const std::uint8_t*>(pixels);
        lastTextureBytes_.assign(bytes, bytes + size);
    }
}

void GLRecorder::copyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y, GLsizei width,
                                GLsizei height, GLint border)
{
    record("glCopyTexImage2D", {glEnumName(target), std::to_string(level), glEnumName(internalFormat),
                                std::to_string(x), std::to_string(y), std::to_string(width), std::to_string(height),
                                std::to_string(border)});
}

void GLRecorder::texParameteri(GLenum target, GLenum parameter, GLint value)
{
    record("glTexParameteri", {glEnumName(target), glEnumName(parameter), glEnumName(static_cast<GLenum>(value))});
}

void GLRecorder::texParameterf(GLenum target, GLenum parameter, GLfloat value)
{
    record("glTexParameterf", {glEnumName(target), glEnumName(parameter), glNumber(value)});
}

void GLRecorder::pixelStorei(GLenum parameter, GLint value)
{
    record("glPixelStorei", {glEnumName(parameter), std::to_string(value)});
    if (parameter == GL_UNPACK_ALIGNMENT)
        unpackAlignment_ = value;
}

GLint GLRecorder::build2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                                 GLenum type, const void* pixels)
{
    record("gluBuild2DMipmaps", {glEnumName(target), glEnumName(static_cast<GLenum>(internalFormat)),
                                 std::to_string(width), std::to_string(height), glEnumName(format), glEnumName(type),
                                 pixels ? "data" : "null"});
    return 0;
}

GLuint GLRecorder::createShader(GLenum type)
{
    const GLuint id = newId("shader");
    shaderSources_.erase(id);
    compiled_.erase(id);
    shaderLogs_.erase(id);
    record("glCreateShader", {glEnumName(type), std::to_string(id)});
    return id;
}

void GLRecorder::shaderSource(GLuint shader, const std::vector<std::string>& sources)
{
    record("glShaderSource", {std::to_string(shader), std::to_string(sources.size())});
    std::string joined;
    for (const std::string& line : sources)
        joined += line;
    shaderSources_[shader] = joined;
}

void GLRecorder::compileShader(GLuint shader)
{
    record("glCompileShader", {std::to_string(shader)});
    compiled_[shader] = true;
    shaderLogs_[shader].clear();
    for (const auto& [text, infoLog] : compileFailures_)
        if (shaderSources_[shader].find(text) != std::string::npos) {
            compiled_[shader] = false;
            shaderLogs_[shader] = infoLog;
        }
}

void GLRecorder::getShaderiv(GLuint shader, GLenum parameter, GLint* value)
{
    if (parameter == GL_COMPILE_STATUS)
        *value = compiled_[shader] ? GL_TRUE : GL_FALSE;
    else if (parameter == GL_INFO_LOG_LENGTH)
        *value = static_cast<GLint>(shaderLogs_[shader].size() + 1);
    else
        *value = 0;
}

std::string GLRecorder::getShaderInfoLog(GLuint shader, GLsizei maxLength)
{
    const std::string& text = shaderLogs_[shader];
    return text.substr(0, maxLength > 0 ? static_cast<std::size_t>(maxLength - 1) : 0);
}

bool GLRecorder::isShader(GLuint shader)
{
    return isLiveOf(shader, "shader");
}

void GLRecorder::deleteShader(GLuint shader)
{
    record("glDeleteShader", {std::to_string(shader)});
    forget(shader, "shader");
}

GLuint GLRecorder::createProgram()
{
    const GLuint id = newId("program");
    attached_.erase(id);
    linked_.erase(id);
    programLogs_.erase(id);
    uniforms_.erase(id);
    record("glCreateProgram", {std::to_string(id)});
    return id;
}

void GLRecorder::attachShader(GLuint program, GLuint shader)
{
    record("glAttachShader", {std::to_string(program), std::to_string(shader)});
    attached_[program].push_back(shader);
}

void GLRecorder::detachShader(GLuint program, GLuint shader)
{
    record("glDetachShader", {std::to_string(program), std::to_string(shader)});
    auto& shaders = attached_[program];
    std::erase(shaders, shader);
}

void GLRecorder::linkProgram(GLuint program)
{
    record("glLinkProgram", {std::to_string(program)});
    programLogs_[program].clear();
    uniforms_[program].clear();
    if (!linkFailures_.empty()) {
        linked_[program] = false;
        programLogs_[program] = linkFailures_.front();
        linkFailures_.pop_front();
        return;
    }
    linked_[program] = true;
    std::set<std::string> seen;
    for (GLuint shader : attached_[program])
        for (const auto& [name, type] : declaredUniforms(shaderSources_[shader]))
            if (seen.insert(name).second)
                uniforms_[program].push_back({name, type});
}

void GLRecorder::getProgramiv(GLuint program, GLenum parameter, GLint* value)
{
    if (parameter == GL_LINK_STATUS)
        *value = linked_[program] ? GL_TRUE : GL_FALSE;
    else if (parameter == GL_INFO_LOG_LENGTH)
        *value = static_cast<GLint>(programLogs_[program].size() + 1);
    else if (parameter == GL_ACTIVE_UNIFORMS)
        *value = static_cast<GLint>(uniforms_[program].size());
    else if (parameter == GL_ACTIVE_UNIFORM_MAX_LENGTH) {
        std::size_t longest = 0;
        for (const Uniform& uniform : uniforms_[program])
            longest = std::max(longest, uniform.name.size() + 1);
        *value = static_cast<GLint>(longest);
    } else {
        *value = 0;
    }
}

std::string GLRecorder::getProgramInfoLog(GLuint program, GLsizei maxLength)
{
    const std::string& text = programLogs_[program];
    return text.substr(0, maxLength > 0 ? static_cast<std::size_t>(maxLength - 1) : 0);
}

bool GLRecorder::isProgram(GLuint program)
{
    return isLiveOf(program, "program");
}

void GLRecorder::deleteProgram(GLuint program)
{
    record("glDeleteProgram", {std::to_string(program)});
    forget(program, "program");
}

void GLRecorder::useProgram(GLuint program)
{
    record("glUseProgram", {std::to_string(program)});
}

void GLRecorder::getActiveUniform(GLuint program, GLuint index, GLsizei maxLength, GLint* size, GLenum* type,
                                  std::string& name)
{
    const auto& uniforms = uniforms_[program];
    if (index >= uniforms.size()) {
        *size = 0;
        *type = 0;
        name.clear();
        return;
    }
    *size = 1;
    *type = uniforms[index].type;
    name = uniforms[index].name.substr(0, maxLength > 0 ? static_cast<std::size_t>(maxLength - 1) : 0);
}

GLint GLRecorder::getUniformLocation(GLuint program, const std::string& name)
{
    const auto& uniforms = uniforms_[program];
    for (std::size_t i = 0; i < uniforms.size(); ++i)
        if (uniforms[i].name == name)
            return static_cast<GLint>(i);
    return -1;
}

void GLRecorder::uniform1i(GLint location, GLint value)
{
    record("glUniform1i", {std::to_string(location), std::to_string(value)});
}

void GLRecorder::uniform1f(GLint location, GLfloat value)
{
    record("glUniform1f", {std::to_string(location), glNumber(value)});
}

void GLRecorder::uniform2fv(GLint location, GLsizei count, const GLfloat* values)
{
    record("glUniform2fv", {std::to_string(location), numbers(values, 2 * count)});
}

void GLRecorder::uniform3fv(GLint location, GLsizei count, const GLfloat* values)
{
    record("glUniform3fv", {std::to_string(location), numbers(values, 3 * count)});
}

void GLRecorder::uniform4fv(GLint location, GLsizei count, const GLfloat* values)
{
    record("glUniform4fv", {std::to_string(location), numbers(values, 4 * count)});
}

void GLRecorder::uniformMatrix2fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* values)
{
    record("glUniformMatrix2fv", {std::to_string(location), transpose ? "GL_TRUE" : "GL_FALSE", numbers(values, 4 * count)});
}

void GLRecorder::uniformMatrix3fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* values)
{
    record("glUniformMatrix3fv", {std::to_string(location), transpose ? "GL_TRUE" : "GL_FALSE", numbers(values, 9 * count)});
}

void GLRecorder::uniformMatrix4fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat* values)
{
    record("glUniformMatrix4fv", {std::to_string(location), transpose ? "GL_TRUE" : "GL_FALSE", numbers(values, 16 * count)});
}

GLuint GLRecorder::genBuffer()
{
    const GLuint id = newId("buffer");
    record("glGenBuffers", {std::to_string(id)});
    return id;
}

void GLRecorder::deleteBuffer(GLuint buffer)
{
    record("glDeleteBuffers", {std::to_string(buffer)});
    forget(buffer, "buffer");
}

bool GLRecorder::isBuffer(GLuint buffer)
{
    return isLiveOf(buffer, "buffer");
}

void GLRecorder::bindBuffer(GLenum target, GLuint buffer)
{
    record("glBindBuffer", {glEnumName(target), std::to_string(buffer)});
    (target == GL_ELEMENT_ARRAY_BUFFER ? elementBuffer_ : arrayBuffer_) = buffer;
}

void GLRecorder::bufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage)
{
    record("glBufferData", {glEnumName(target), std::to_string(size), data ? "data" : "null", glEnumName(usage)});
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (bytes)
        lastBufferBytes_.assign(bytes, bytes + size);
    else
        lastBufferBytes_.clear();
}

void GLRecorder::enableClientState(GLenum array)
{
    record("glEnableClientState", {glEnumName(array)});
    if (array == GL_VERTEX_ARRAY)
        vertexArray_.enabled = true;
    else if (array == GL_TEXTURE_COORD_ARRAY)
        texCoordArray_.enabled = true;
}

void GLRecorder::disableClientState(GLenum array)
{
    record("glDisableClientState", {glEnumName(array)});
    // A disabled array is never read again, so its pointer is forgotten with it.
    if (array == GL_VERTEX_ARRAY)
        vertexArray_ = {};
    else if (array == GL_TEXTURE_COORD_ARRAY)
        texCoordArray_ = {};
}

void GLRecorder::vertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    record("glVertexPointer", {std::to_string(size), glEnumName(type), std::to_string(stride),
                               pointerText(arrayBuffer_, pointer)});
    const bool vertexEnabled = vertexArray_.enabled;
    vertexArray_ = {};
    if (arrayBuffer_ == 0 && type == GL_FLOAT)
        vertexArray_ = {size, stride, static_cast<const float*>(pointer)};
    vertexArray_.enabled = vertexEnabled;
}

void GLRecorder::normalPointer(GLenum type, GLsizei stride, const void* pointer)
{
    record("glNormalPointer", {glEnumName(type), std::to_string(stride), pointerText(arrayBuffer_, pointer)});
}

void GLRecorder::colorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    record("glColorPointer", {std::to_string(size), glEnumName(type), std::to_string(stride),
                              pointerText(arrayBuffer_, pointer)});
}

void GLRecorder::texCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    record("glTexCoordPointer", {std::to_string(size), glEnumName(type), std::to_string(stride),
                                 pointerText(arrayBuffer_, pointer)});
    const bool texCoordEnabled = texCoordArray_.enabled;
    texCoordArray_ = {};
    if (arrayBuffer_ == 0 && type == GL_FLOAT)
        texCoordArray_ = {size, stride, static_cast<const float*>(pointer)};
    texCoordArray_.enabled = texCoordEnabled;
}

void GLRecorder::drawArrays(GLenum mode, GLint first, GLsizei count)
{
    record("glDrawArrays", {glEnumName(mode), std::to_string(first), std::to_string(count)});
    const auto read = [&](const ClientArray& array, std::vector<float>& into) {
        into.clear();
        if (!array.enabled || !array.data || array.size <= 0)
            return;
        const std::size_t step =
            array.stride > 0 ? static_cast<std::size_t>(array.stride) / sizeof(float) : static_cast<std::size_t>(array.size);
        for (GLint vertex = first; vertex < first + count; ++vertex) {
            const float* at = array.data + static_cast<std::size_t>(vertex) * step;
            into.insert(into.end(), at, at + array.size);
        }
    };
    read(vertexArray_, lastDrawnPositions_);
    read(texCoordArray_, lastDrawnTexCoords_);
}

void GLRecorder::drawElements(GLenum mode, GLsizei count, GLenum type, const void* indices)
{
    record("glDrawElements", {glEnumName(mode), std::to_string(count), glEnumName(type),
                              pointerText(elementBuffer_, indices)});
}

void GLRecorder::drawRangeElements(GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type,
                                   const void* indices)
{
    record("glDrawRangeElements", {glEnumName(mode), std::to_string(start), std::to_string(end), std::to_string(count),
                                   glEnumName(type), pointerText(elementBuffer_, indices)});
}

GLuint GLRecorder::genLists(GLsizei range)
{
    const GLuint id = newId("list", range);
    record("glGenLists", {std::to_string(range), std::to_string(id)});
    return id;
}

void GLRecorder::newList(GLuint list, GLenum mode)
{
    record("glNewList", {std::to_string(list), glEnumName(mode)});
}

void GLRecorder::endList()
{
    record("glEndList", {});
}

void GLRecorder::callList(GLuint list)
{
    record("glCallList", {std::to_string(list)});
}

bool GLRecorder::isList(GLuint list)
{
    return isLiveOf(list, "list");
}

void GLRecorder::deleteLists(GLuint list, GLsizei range)
{
    record("glDeleteLists", {std::to_string(list), std::to_string(range)});
    forget(list, "list");
}

GLuint GLRecorder::genFramebuffer()
{
    const GLuint id = newId("framebuffer");
    record("glGenFramebuffersEXT", {std::to_string(id)});
    return id;
}

void GLRecorder::deleteFramebuffer(GLuint framebuffer)
{
    record("glDeleteFramebuffersEXT", {std::to_string(framebuffer)});
    forget(framebuffer, "framebuffer");
}

void GLRecorder::loseFramebuffers()
{
    std::erase_if(live_, [](const auto& entry) { return entry.second == "framebuffer"; });
}

bool GLRecorder::isFramebuffer(GLuint framebuffer)
{
    return isLiveOf(framebuffer, "framebuffer");
}

void GLRecorder::bindFramebuffer(GLenum target, GLuint framebuffer)
{
    record("glBindFramebufferEXT", {glEnumName(target), std::to_string(framebuffer)});
}

void GLRecorder::framebufferTexture2D(GLenum target, GLenum attachment, GLenum textureTarget, GLuint texture,
                                      GLint level)
{
    record("glFramebufferTexture2DEXT", {glEnumName(target), glEnumName(attachment), glEnumName(textureTarget),
                                         std::to_string(texture), std::to_string(level)});
    if (attachment == GL_COLOR_ATTACHMENT0_EXT)
        colorAttachment_ = texture;
}

GLuint GLRecorder::genRenderbuffer()
{
    const GLuint id = newId("renderbuffer");
    record("glGenRenderbuffersEXT", {std::to_string(id)});
    return id;
}

void GLRecorder::deleteRenderbuffer(GLuint renderbuffer)
{
    record("glDeleteRenderbuffersEXT", {std::to_string(renderbuffer)});
    forget(renderbuffer, "renderbuffer");
}

bool GLRecorder::isRenderbuffer(GLuint renderbuffer)
{
    return isLiveOf(renderbuffer, "renderbuffer");
}

void GLRecorder::bindRenderbuffer(GLenum target, GLuint renderbuffer)
{
    record("glBindRenderbufferEXT", {glEnumName(target), std::to_string(renderbuffer)});
}

void GLRecorder::renderbufferStorage(GLenum target, GLenum internalFormat, GLsizei width, GLsizei height)
{
    record("glRenderbufferStorageEXT", {glEnumName(target), glEnumName(internalFormat), std::to_string(width),
                                        std::to_string(height)});
}

void GLRecorder::framebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbufferTarget,
                                         GLuint renderbuffer)
{
    record("glFramebufferRenderbufferEXT", {glEnumName(target), glEnumName(attachment), glEnumName(renderbufferTarget),
                                            std::to_string(renderbuffer)});
}

GLenum GLRecorder::checkFramebufferStatus(GLenum target)
{
    record("glCheckFramebufferStatusEXT", {glEnumName(target)});
    const auto format = textureFormats_.find(colorAttachment_);
    if (format != textureFormats_.end() && unsupportedColorFormats_.count(format->second))
        return GL_FRAMEBUFFER_UNSUPPORTED_EXT;
    return framebufferStatus_;
}

void GLRecorder::drawBuffers(GLsizei count, const GLenum* buffers)
{
    std::string names;
    for (GLsizei i = 0; i < count; ++i)
        names += (i ? " " : "") + glEnumName(buffers[i]);
    record("glDrawBuffers", {std::to_string(count), names});
}

void GLRecorder::drawBuffer(GLenum buffer)
{
    record("glDrawBuffer", {glEnumName(buffer)});
}

void GLRecorder::readBuffer(GLenum buffer)
{
    record("glReadBuffer", {glEnumName(buffer)});
}

void GLRecorder::multiTexCoord1f(GLenum unit, GLfloat s)
{
    record("glMultiTexCoord1f", {glEnumName(unit), glNumber(s)});
}

void GLRecorder::multiTexCoord2f(GLenum unit, GLfloat s, GLfloat t)
{
    record("glMultiTexCoord2f", {glEnumName(unit), glNumber(s), glNumber(t)});
}

void GLRecorder::swapIntervalEXT(int interval)
{
    record("glXSwapIntervalEXT", {std::to_string(interval)});
}

void GLRecorder::swapIntervalMESA(int interval)
{
    record("glXSwapIntervalMESA", {std::to_string(interval)});
}

void GLRecorder::texEnvi(GLenum target, GLenum parameter, GLint value)
{
    record("glTexEnvi", {glEnumName(target), glEnumName(parameter), glEnumName(static_cast<GLenum>(value))});
}

void GLRecorder::texGeni(GLenum coordinate, GLenum parameter, GLint value)
{
    record("glTexGeni", {glEnumName(coordinate), glEnumName(parameter), glEnumName(static_cast<GLenum>(value))});
}

void GLRecorder::texGenfv(GLenum coordinate, GLenum parameter, const GLfloat* values)
{
    record("glTexGenfv", {glEnumName(coordinate), glEnumName(parameter), numbers(values, 4)});
}

namespace {
// What a call needs beyond OpenGL 1.1: any one of the names. An empty argument matches every call
// of that entry point; otherwise one of its arguments must read so.
struct LevelRule {
    const char* call;
    const char* argument;
    std::vector<const char*> anyOf;
};

const std::vector<LevelRule>& levelRules()
{
    static const std::vector<LevelRule> rules = {
        {"glActiveTexture", "", {"GL_VERSION_1_3", "GL_ARB_multitexture"}},
        {"glClientActiveTexture", "", {"GL_VERSION_1_3", "GL_ARB_multitexture"}},
        {"glMultiTexCoord1f", "", {"GL_VERSION_1_3", "GL_ARB_multitexture"}},
        {"glMultiTexCoord2f", "", {"GL_VERSION_1_3", "GL_ARB_multitexture"}},
        {"glBlendEquation", "", {"GL_VERSION_1_4", "GL_EXT_blend_minmax"}},
        {"glDrawRangeElements", "", {"GL_VERSION_1_2", "GL_EXT_draw_range_elements"}},
        {"glGenBuffers", "", {"GL_VERSION_1_5", "GL_ARB_vertex_buffer_object"}},
        {"glBindBuffer", "", {"GL_VERSION_1_5", "GL_ARB_vertex_buffer_object"}},
        {"glBufferData", "", {"GL_VERSION_1_5", "GL_ARB_vertex_buffer_object"}},
        {"glDeleteBuffers", "", {"GL_VERSION_1_5", "GL_ARB_vertex_buffer_object"}},
        {"glActiveStencilFaceEXT", "", {"GL_EXT_stencil_two_side"}},
        {"glDrawBuffers", "", {"GL_VERSION_2_0", "GL_ARB_draw_buffers"}},
        {"glTexParameteri", "GL_CLAMP_TO_EDGE", {"GL_VERSION_1_2", "GL_SGIS_texture_edge_clamp"}},
        {"glTexParameteri", "GL_GENERATE_MIPMAP_SGIS", {"GL_VERSION_1_4", "GL_SGIS_generate_mipmap"}},
        {"glTexParameterf", "GL_TEXTURE_MAX_ANISOTROPY_EXT", {"GL_EXT_texture_filter_anisotropic"}},
        {"glLightModeli", "GL_LIGHT_MODEL_COLOR_CONTROL", {"GL_VERSION_1_2"}},
        {"glEnable", "GL_MULTISAMPLE", {"GL_VERSION_1_3", "GL_ARB_multisample"}},
        {"glEnable", "GL_SAMPLE_ALPHA_TO_COVERAGE", {"GL_VERSION_1_3", "GL_ARB_multisample"}},
        {"glTexEnvi", "GL_COMBINE", {"GL_VERSION_1_3", "GL_ARB_texture_env_combine"}},
        {"glTexGeni", "GL_NORMAL_MAP", {"GL_VERSION_1_3", "GL_ARB_texture_cube_map"}},
        {"glTexImage2D", "GL_RGB16F_ARB", {"GL_ARB_texture_float"}},
        {"glTexImage2D", "GL_RGBA16F_ARB", {"GL_ARB_texture_float"}},
        {"glTexImage2D", "GL_LUMINANCE16F_ARB", {"GL_ARB_texture_float"}},
        {"glTexImage2D", "GL_RGB32F_ARB", {"GL_ARB_texture_float"}},
        {"glTexImage2D", "GL_RGBA32F_ARB", {"GL_ARB_texture_float"}},
        {"glTexImage2D", "GL_LUMINANCE32F_ARB", {"GL_ARB_texture_float"}},
        {"glTexImage2D", "GL_COMPRESSED_RGB", {"GL_VERSION_1_3", "GL_ARB_texture_compression"}},
        {"glTexImage2D", "GL_COMPRESSED_RGBA", {"GL_VERSION_1_3", "GL_ARB_texture_compression"}},
        {"glTexImage2D", "GL_COMPRESSED_LUMINANCE", {"GL_VERSION_1_3", "GL_ARB_texture_compression"}},
        {"glRenderbufferStorageEXT", "GL_RGB16F_ARB", {"GL_ARB_texture_float"}},
        {"glRenderbufferStorageEXT", "GL_RGBA16F_ARB", {"GL_ARB_texture_float"}},
    };
    return rules;
}

// Entry points of whole extensions, by prefix of their name.
const std::vector<std::pair<std::string, std::vector<const char*>>>& levelFamilies()
{
    static const std::vector<std::pair<std::string, std::vector<const char*>>> families = {
        {"glCreateShader", {"GL_VERSION_2_0"}}, {"glShaderSource", {"GL_VERSION_2_0"}},
        {"glCompileShader", {"GL_VERSION_2_0"}}, {"glDeleteShader", {"GL_VERSION_2_0"}},
        {"glCreateProgram", {"GL_VERSION_2_0"}}, {"glAttachShader", {"GL_VERSION_2_0"}},
        {"glDetachShader", {"GL_VERSION_2_0"}}, {"glLinkProgram", {"GL_VERSION_2_0"}},
        {"glDeleteProgram", {"GL_VERSION_2_0"}}, {"glUseProgram", {"GL_VERSION_2_0"}},
        {"glUniform", {"GL_VERSION_2_0"}},
        {"glGenFramebuffersEXT", {"GL_EXT_framebuffer_object"}}, {"glBindFramebufferEXT", {"GL_EXT_framebuffer_object"}},
        {"glDeleteFramebuffersEXT", {"GL_EXT_framebuffer_object"}},
        {"glFramebuffer", {"GL_EXT_framebuffer_object"}}, {"glCheckFramebufferStatusEXT", {"GL_EXT_framebuffer_object"}},
        {"glGenRenderbuffersEXT", {"GL_EXT_framebuffer_object"}}, {"glBindRenderbufferEXT", {"GL_EXT_framebuffer_object"}},
        {"glDeleteRenderbuffersEXT", {"GL_EXT_framebuffer_object"}},
        {"glRenderbufferStorageEXT", {"GL_EXT_framebuffer_object"}},
    };
    return families;
}
} // namespace

void GLRecorder::checkLevel(const std::string& name, const std::vector<std::string>& arguments)
{
    const auto offered = [&](const std::vector<const char*>& anyOf) {
        for (const char* required : anyOf)
            if (extensions_.count(required))
                return true;
        return false;
    };
    const auto note = [&](const std::string& what, const std::vector<const char*>& anyOf) {
        if (offered(anyOf) || !violated_.insert(what).second)
            return;
        std::string text = what + " needs ";
        for (std::size_t i = 0; i < anyOf.size(); ++i)
            text += (i ? " or " : "") + std::string(anyOf[i]);
        violations_.push_back(text);
    };
    for (const auto& [prefix, anyOf] : levelFamilies())
        if (name.starts_with(prefix))
            note(name, anyOf);
    for (const LevelRule& rule : levelRules()) {
        if (name != rule.call)
            continue;
        if (!*rule.argument)
            note(name, rule.anyOf);
        else if (std::find(arguments.begin(), arguments.end(), rule.argument) != arguments.end())
            note(name + "(" + rule.argument + ")", rule.anyOf);
    }
    // A unit beyond those the driver has (GL_MAX_TEXTURE_UNITS, 1 without multitexturing).
    if (name == "glActiveTexture" || name == "glClientActiveTexture") {
        // Shaders reach every image unit; fixed-function texturing only its texture units.
        int available = 1;
        for (GLenum limit : {GL_MAX_TEXTURE_UNITS, GL_MAX_TEXTURE_IMAGE_UNITS})
            if (const auto units = integers_.find(limit); units != integers_.end())
                available = std::max(available, static_cast<int>(units->second));
        const std::string& unit = arguments.front();
        if (unit.starts_with("GL_TEXTURE") && std::stoi(unit.substr(10)) >= available &&
            violated_.insert(name + "(" + unit + ")").second)
            violations_.push_back(name + "(" + unit + ") beyond the " + std::to_string(available) + " units");
    }
}
