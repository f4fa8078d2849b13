#include "visual/shaders/qr_visx_shadermanager.h"

#include "core/qr_core_feedback.h"
#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "core/qr_time_main.h"
#include "core/qr_util_strings.h"
#include "math/qr_math_matrix.h"
#include "math/qr_math_vector.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/shaders/qr_visx_shader.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/shaders/qr_visx_shadervariable.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/view/qr_visx_viewport.h"

#include <exception>
#include <stdexcept>

namespace {

constexpr GLsizei kInfoLogLength = 1000;
constexpr GLsizei kUniformNameLength = 100;

// Drivers end their info logs with a line break (some with the terminator); the text itself stays.
std::string withoutTerminator(std::string text)
{
    if (!text.empty() && (text.back() == '\n' || text.back() == '\0'))
        text.pop_back();
    return text;
}

void uploadMatrix4(GLint location, const Matrix4& m, bool transpose)
{
    qrGL().uniformMatrix4fv(location, 1, transpose ? GL_TRUE : GL_FALSE, m.m);
}

void uploadMatrix3(GLint location, const Matrix3& m, bool transpose)
{
    qrGL().uniformMatrix3fv(location, 1, transpose ? GL_TRUE : GL_FALSE, m.m);
}

void uploadVector3(GLint location, const Vector3& v)
{
    const GLfloat values[3] = {v.x, v.y, v.z};
    qrGL().uniform3fv(location, 1, values);
}

void uploadEngineVariable(const QRVISXShaderVariableQOR& variable, const QRVISXTextureManager* textures)
{
    auto* visual = qrVisual();
    auto* transform = visual ? visual->getTransform() : nullptr;
    if (!transform)
        return;
    const GLint location = variable.getLocation();
    const QRVISXTransformWorld& world = *transform->getWorld();
    const QRVISXTransformView& view = *transform->getView();
    switch (variable.getEngineVariable()) {
    case 0: uploadMatrix4(location, world.getMatrix(), false); break;
    case 1: uploadMatrix4(location, world.getMatrix(), true); break;
    case 2: uploadMatrix4(location, world.getInverseMatrix(), false); break;
    case 3: uploadMatrix4(location, world.getInverseMatrix(), true); break;
    case 4: uploadMatrix3(location, world.getRotationMatrix(), false); break;
    case 5: uploadMatrix3(location, world.getRotationMatrix(), true); break;
    case 6: uploadMatrix3(location, world.getInverseRotationMatrix(), false); break;
    case 7: uploadMatrix3(location, world.getInverseRotationMatrix(), true); break;
    case 8: uploadMatrix4(location, view.getViewMatrix(), false); break;
    case 9: uploadMatrix4(location, view.getViewMatrix(), true); break;
    case 10: uploadMatrix4(location, view.getInverseViewMatrix(), false); break;
    case 11: uploadMatrix4(location, view.getInverseViewMatrix(), true); break;
    case 12: qrGL().uniform1f(location, qrTime() ? qrTime()->getTotalTime() : 0.0f); break;
    case 13: qrGL().uniform1f(location, visual->getViewPort() ? visual->getViewPort()->getAspect() : 1.0f); break;
    case 14: {
        const Matrix4 m = view.getViewMatrix();
        uploadVector3(location, QRMATHVector3::normalize({-m[2], -m[6], -m[10]}));
        break;
    }
    case 15: {
        const Matrix4 m = view.getViewMatrix();
        uploadVector3(location, QRMATHVector3::normalize({m[1], m[5], m[9]}));
        break;
    }
    case 16: {
        const Matrix4 m = view.getViewMatrix();
        uploadVector3(location, QRMATHVector3::normalize({m[0], m[4], m[8]}));
        break;
    }
    case 17: uploadVector3(location, view.getViewPosition()); break;
    case 18: qrGL().uniform1i(location, textures && textures->getBoundTexture(0) > 0 ? 1 : 0); break;
    default: break;
    }
}

} // namespace

QRVISXShaderManager::QRVISXShaderManager(QRObject* owner) : QRObject(owner, "QR VISX Shader Manager") {}

QRVISXShaderManager::~QRVISXShaderManager()
{
    currentConfiguration_ = nullptr;
    appliedConfiguration_ = nullptr;
    defaultSolid_.reset();
    defaultUnlit_.reset();
}

void QRVISXShaderManager::showError(const std::string& text) const
{
    if (auto* core = qrCore())
        core->getFeedback()->showError(text);
}

void QRVISXShaderManager::initialize()
{
    auto* visual = qrVisual();
    auto* extensions = visual ? visual->getExtensionManager() : nullptr;
    bool available = extensions != nullptr;
    if (extensions) {
        // Not required: without GLSL the world is drawn by fixed-function OpenGL.
        const bool objects = extensions->loadExtension("GL_ARB_shader_objects", false);
        const bool vertex = extensions->loadExtension("GL_ARB_vertex_shader", false);
        const bool fragment = extensions->loadExtension("GL_ARB_fragment_shader", false);
        // The GL layer reaches GLSL through the OpenGL 2.0 entry points.
        available = objects && vertex && fragment && extensions->getGLVersion() == QRVISXExtensionManager::kGL20;
    }
    glslAvailable_ = available;
    currentConfiguration_ = nullptr;
    appliedConfiguration_ = nullptr;
    appliedProgram_ = -1;
    defaultSolid_.reset();
    defaultUnlit_.reset();
    if (!glslAvailable_) {
        if (auto* log = qrLog())
            log->logWarning("GLSL shaders are not available: drawing without shader programs");
        return;
    }
    defaultSolid_ = qrNew<QRVISXShaderConfiguration>(this);
    defaultSolid_->loadFromFile("shaders\\default\\default_solid.shader");
    defaultUnlit_ = qrNew<QRVISXShaderConfiguration>(this);
    defaultUnlit_->loadFromFile("shaders\\default\\default_unlit.shader");
}

void QRVISXShaderManager::generateShaderContentsInGL(QRVISXShader* shader, const QRRESCStringList& lines)
{
    if (!shader)
        return;
    logDebug("Uploading Shader to GL: " + shader->getName());
    GLenum type = 0;
    if (shader->getShaderType() == QRVISXShader::kVertex) {
        type = GL_VERTEX_SHADER;
    } else if (shader->getShaderType() == QRVISXShader::kFragment) {
        type = GL_FRAGMENT_SHADER;
    } else {
        reportError("generateShaderContentsInGL", "No shader type specified");
        return;
    }
    if (lines.isEmpty()) {
        reportError("generateShaderContentsInGL", "No shader code specified");
        return;
    }
    // Without GLSL the world is drawn by fixed-function OpenGL; start-up said so once in the log,
    // and every shader a material names simply stays without an object.
    if (!glslAvailable_)
        return;
    try {
        const GLuint id = qrGL().createShader(type);
        if (id == 0)
            throw std::runtime_error("no shader object");
        // One string per line as read. The line break is handed on with each line: without it a
        // "//" comment would run to the end of the source and "#version" could not stand alone.
        std::vector<std::string> sources;
        sources.reserve(static_cast<std::size_t>(lines.getCount()));
        for (const std::string& line : lines)
            sources.push_back(line + "\n");
        qrGL().shaderSource(id, sources);
        qrGL().compileShader(id);
        shader->setGLShaderId(static_cast<GLint>(id));
        GLint status = GL_FALSE;
        qrGL().getShaderiv(id, GL_COMPILE_STATUS, &status);
        if (status != GL_TRUE) {
            const std::string infoLog = qrGL().getShaderInfoLog(id, kInfoLogLength);
            showError("\"" + shader->getName() + "\": Shader compilation error:\r\n\r\n" + withoutTerminator(infoLog));
            shader->clear();
        }
    } catch (const std::exception&) {
        reportError("generateShaderContentsInGL", "An error has occurred while uploading shader contents to OpenGL");
    }
}

void QRVISXShaderManager::generateShaderConfigurationInGL(QRVISXShaderConfiguration* configuration)
{
    if (!configuration)
        return;
    configuration->logDebug("Uploading Shader Configuration to GL: " + configuration->getName());
    if (!glslAvailable_) {
        configuration->setGLProgramId(-1);
        return;
    }
    bool defect = configuration->hasMissingShader();
    for (const auto* list : {&configuration->getVertexShaders(), &configuration->getFragmentShaders()})
        for (const QRVISXShader* shader : *list)
            if (shader->getGLShaderId() == -1)
                defect = true;
    if (defect) {
        reportError("generateShaderConfigurationInGL", "Could not generate shader configuration because of defect shaders");
        configuration->setGLProgramId(-1);
        return;
    }
    try {
        const GLuint program = qrGL().createProgram();
        if (program == 0)
            throw std::runtime_error("no program object");
        std::vector<GLuint> attached;
        for (const auto* list : {&configuration->getVertexShaders(), &configuration->getFragmentShaders()})
            for (const QRVISXShader* shader : *list) {
                const auto id = static_cast<GLuint>(shader->getGLShaderId());
                qrGL().attachShader(program, id);
                attached.push_back(id);
            }
        configuration->setGLProgramId(static_cast<GLint>(program));
        configuration->setAttachedShaders(std::move(attached));
        qrGL().linkProgram(program);
        GLint status = GL_FALSE;
        qrGL().getProgramiv(program, GL_LINK_STATUS, &status);
        if (status != GL_TRUE) {
            const std::string infoLog = qrGL().getProgramInfoLog(program, kInfoLogLength);
            showError("\"" + configuration->getName() + "\": Shader configuration link error:\r\n\r\n" +
                      withoutTerminator(infoLog));
            configuration->deleteProgram();
            return;
        }
        queryVariables(configuration);
    } catch (const std::exception&) {
        reportError("generateShaderConfigurationInGL", "An error has occurred while creating a shader configuration on OpenGL");
        configuration->deleteProgram();
    }
}

void QRVISXShaderManager::queryVariables(QRVISXShaderConfiguration* configuration)
{
    if (!configuration || configuration->getGLProgramId() == -1)
        return;
    const auto program = static_cast<GLuint>(configuration->getGLProgramId());
    auto* materials = dynamic_cast<QRVISXMaterialManager*>(getOwner());
    QRVISXMaterialVariablePool* pool = materials ? materials->getVariablePool() : nullptr;
    GLint count = 0;
    qrGL().getProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        GLint size = 0;
        GLenum type = 0;
        std::string name;
        qrGL().getActiveUniform(program, static_cast<GLuint>(i), kUniformNameLength, &size, &type, name);
        if (name.empty())
            continue;
        const bool engineName = name.starts_with("qr_");
        if (const int textureType = QRVISXShaderVariableTexture::textureTypeOfGLType(type); textureType != -1) {
            // Samplers of every kind take their unit from the script, whatever their name.
            auto* texture = configuration->getTextureVariable(name);
            if (texture->getTextureType() == -1)
                texture->setTextureType(textureType);
        } else if (name.size() > 3 && engineName) {
            configuration->getEngineVariable(name)->setEngineVariable(QRVISXShaderVariableQOR::indexOfName(name));
        } else if (name.size() <= 2 || (!engineName && !name.starts_with("gl_"))) {
            auto* uniform = configuration->getUniformVariable(name);
            const int valueType = QRVISXShaderVariableUniform::valueTypeOfGLType(type);
            uniform->setValueType(valueType);
            if (pool && valueType != QRVISXShaderVariableUniform::kUnknown)
                pool->getVariable(name, QRVISXShaderVariableUniform::poolKindOfValueType(valueType));
        }
    }
    // Every variable, the script's samplers included, gets its place in this program; one the
    // program does not have is never uploaded.
    for (int i = 0; i < configuration->getVariableCount(); ++i) {
        QRVISXShaderVariable* variable = configuration->getVariableAt(i);
        variable->setLocation(qrGL().getUniformLocation(program, variable->getName()));
    }
}

void QRVISXShaderManager::deleteShader(QRVISXShader* shader)
{
    if (shader)
        shader->clear();
}

void QRVISXShaderManager::deleteConfiguration(QRVISXShaderConfiguration* configuration)
{
    if (configuration)
        configuration->deleteProgram();
}

void QRVISXShaderManager::setConfiguration(QRVISXShaderConfiguration* configuration)
{
    if (locked_)
        return;
    if (!glslAvailable_) {
        // The content names its unlit programs so; every other program lights what it draws.
        const bool unlit = configuration && QRUTILStrings::lowerCase(configuration->getFileName()).find("unlit") !=
                                                std::string::npos;
        if (unlit)
            useDefaultUnlit();
        else
            useDefaultSolid();
        return;
    }
    if (configuration && configuration->isValid() && configuration->getGLProgramId() != -1)
        currentConfiguration_ = configuration;
    else
        useDefaultSolid();
}

void QRVISXShaderManager::resetConfiguration()
{
    if (locked_)
        return;
    currentConfiguration_ = defaultSolid_ && defaultSolid_->getGLProgramId() != -1 ? defaultSolid_.get() : nullptr;
    fixedLighting_.request(true);
}

void QRVISXShaderManager::useDefaultSolid()
{
    if (locked_)
        return;
    currentConfiguration_ = defaultSolid_ && defaultSolid_->isValid() ? defaultSolid_.get() : nullptr;
    fixedLighting_.request(true);
    auto* materials = dynamic_cast<QRVISXMaterialManager*>(getOwner());
    if (auto* states = materials ? materials->getStateManager() : nullptr)
        states->setCurrentColor(1.0f, 1.0f, 1.0f, 1.0f);
    qrGL().normal3f(1.0f, 0.0f, 0.0f);
}

void QRVISXShaderManager::useDefaultUnlit()
{
    if (locked_)
        return;
    if (defaultUnlit_ && defaultUnlit_->isValid())
        currentConfiguration_ = defaultUnlit_.get();
    else
        currentConfiguration_ = defaultSolid_ && defaultSolid_->isValid() ? defaultSolid_.get() : nullptr;
    fixedLighting_.request(false);
    auto* materials = dynamic_cast<QRVISXMaterialManager*>(getOwner());
    if (auto* states = materials ? materials->getStateManager() : nullptr)
        states->setCurrentColor(1.0f, 1.0f, 1.0f, 1.0f);
}

void QRVISXShaderManager::reset()
{
    resetConfiguration();
    apply(true);
}

void QRVISXShaderManager::apply(bool force)
{
    QRVISXShaderConfiguration* current = currentConfiguration_;
    const GLint program = current && current->isValid() && current->getGLProgramId() != -1 ? current->getGLProgramId() : 0;
    if (!locked_ && enabled_) {
        // A configuration that relinked since it was applied has a new program object.
        if (force || current != appliedConfiguration_ || program != appliedProgram_) {
            if (glslAvailable_)
                qrGL().useProgram(static_cast<GLuint>(program));
            appliedConfiguration_ = current;
            appliedProgram_ = program;
        }
        if (!glslAvailable_)
            fixedLighting_.apply(force);
    }
    // Uniforms go to the active program, so only when that is the current configuration's.
    if (current && program != 0 && program == appliedProgram_)
        setShaderVariables(current);
}

void QRVISXShaderManager::setShaderVariables(QRVISXShaderConfiguration* configuration)
{
    if (!configuration || !configuration->isValid())
        return;
    auto* materials = dynamic_cast<QRVISXMaterialManager*>(getOwner());
    QRVISXMaterialVariablePool* pool = materials ? materials->getVariablePool() : nullptr;
    for (int i = 0; i < configuration->getVariableCount(); ++i) {
        const QRVISXShaderVariable* variable = configuration->getVariableAt(i);
        const GLint location = variable->getLocation();
        if (location < 0)
            continue;
        switch (variable->getVariableKind()) {
        case QRVISXShaderVariable::kUniform: {
            const int valueType = static_cast<const QRVISXShaderVariableUniform*>(variable)->getValueType();
            const int kind = QRVISXShaderVariableUniform::poolKindOfValueType(valueType);
            QRVISXMaterialVariable* value = pool && kind ? pool->getVariable(variable->getName(), kind) : nullptr;
            if (!value)
                break;
            switch (valueType) {
            case QRVISXShaderVariableUniform::kBool:
                qrGL().uniform1i(location, static_cast<QRVISXMaterialVariableBool*>(value)->getValue() ? 1 : 0);
                break;
            case QRVISXShaderVariableUniform::kInt:
                qrGL().uniform1i(location, static_cast<QRVISXMaterialVariableInt*>(value)->getValue());
                break;
            case QRVISXShaderVariableUniform::kFloat:
                qrGL().uniform1f(location, static_cast<QRVISXMaterialVariableFloat*>(value)->getValue());
                break;
            case QRVISXShaderVariableUniform::kVec2:
                qrGL().uniform2fv(location, 1, &static_cast<QRVISXMaterialVariableVector2*>(value)->getValue().x);
                break;
            case QRVISXShaderVariableUniform::kVec3:
                qrGL().uniform3fv(location, 1, &static_cast<QRVISXMaterialVariableVector3*>(value)->getValue().x);
                break;
            case QRVISXShaderVariableUniform::kVec4:
                qrGL().uniform4fv(location, 1, &static_cast<QRVISXMaterialVariableVector4*>(value)->getValue().x);
                break;
            case QRVISXShaderVariableUniform::kMat2:
                qrGL().uniformMatrix2fv(location, 1, GL_FALSE, static_cast<QRVISXMaterialVariableMatrix2*>(value)->getValue().m);
                break;
            case QRVISXShaderVariableUniform::kMat3:
                qrGL().uniformMatrix3fv(location, 1, GL_FALSE, static_cast<QRVISXMaterialVariableMatrix3*>(value)->getValue().m);
                break;
            case QRVISXShaderVariableUniform::kMat4:
                qrGL().uniformMatrix4fv(location, 1, GL_FALSE, static_cast<QRVISXMaterialVariableMatrix4*>(value)->getValue().m);
                break;
            default:
                break;
            }
            break;
        }
        case QRVISXShaderVariable::kTexture:
            qrGL().uniform1i(location, static_cast<const QRVISXShaderVariableTexture*>(variable)->getTexelUnit());
            break;
        case QRVISXShaderVariable::kEngine:
            uploadEngineVariable(*static_cast<const QRVISXShaderVariableQOR*>(variable),
                                 materials ? materials->getTextureManager() : nullptr);
            break;
        default:
            break;
        }
    }
}

void QRVISXShaderManager::forgetConfiguration(const QRVISXShaderConfiguration* configuration)
{
    if (currentConfiguration_ == configuration)
        currentConfiguration_ = nullptr;
    if (appliedConfiguration_ == configuration)
        appliedConfiguration_ = nullptr;
}

void QRVISXShaderManager::forgetProgram(GLint program)
{
    if (appliedProgram_ == program)
        appliedProgram_ = -1;
}

QRVISXShaderManager* qrShaderManager()
{
    auto* visual = qrVisual();
    auto* materials = visual ? visual->getMaterialManager() : nullptr;
    return materials ? materials->getShaderManager() : nullptr;
}
