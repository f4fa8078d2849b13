#include "visual/shaders/qr_visx_shaderconfiguration.h"

#include "core/qr_core_log.h"
#include "core/qr_mngr_assetmanager.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/shaders/qr_visx_shader.h"
#include "visual/shaders/qr_visx_shaderconfigurationcompiler.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/shaders/qr_visx_shadervariable.h"

#include <algorithm>
#include <utility>

QRVISXShaderConfiguration::QRVISXShaderConfiguration(QRObject* owner) : QRRESCMain(owner, "Shader Configuration") {}

QRVISXShaderConfiguration::~QRVISXShaderConfiguration()
{
    clear();
    if (auto* manager = qrShaderManager())
        manager->forgetConfiguration(this);
}

void QRVISXShaderConfiguration::loadFromFile(const std::string& path)
{
    auto* files = qrFile();
    if (!files || !files->fileExists(path, true))
        return;
    // A reload passes the full path; the name stays the content name either way.
    setFileName(path);
    setName(getFileName());
    auto lines = qrNew<QRRESCStringList>(this, true, true);
    lines->loadFromFile(path);
    generateFromStringList(*lines);
}

bool QRVISXShaderConfiguration::generateFromStringList(const QRRESCStringList& lines)
{
    // The old shaders are released only after the script has acquired the new ones, so that
    // shaders both lists share are not destroyed and compiled again.
    std::vector<QRVISXShader*> previousVertex = std::exchange(vertexShaders_, {});
    std::vector<QRVISXShader*> previousFragment = std::exchange(fragmentShaders_, {});
    std::vector<QROwned<QRVISXShaderVariable>> previousVariables = std::exchange(variables_, {});
    const GLint previousProgram = glProgramId_;
    missingShader_ = false;

    auto compiler = qrNew<QRVISXShaderConfigurationCompiler>(this);
    compiler->compile(this, &lines);
    compiler.reset();
    releaseShaders(previousVertex);
    releaseShaders(previousFragment);

    generateInGL();
    if (previousProgram != -1 && glProgramId_ == previousProgram)
        variables_ = std::move(previousVariables);
    return valid_;
}

void QRVISXShaderConfiguration::generateInGL()
{
    auto* manager = qrShaderManager();
    if (!manager)
        return;
    const GLint previousProgram = std::exchange(glProgramId_, -1);
    const std::vector<GLuint> previousShaders = std::exchange(attachedShaders_, {});
    valid_ = false;
    manager->generateShaderConfigurationInGL(this);
    valid_ = glProgramId_ != -1;

    if (valid_) {
        // The new program is in place; the one in use until now can go.
        deleteProgramObject(previousProgram, previousShaders);
    } else if (previousProgram != -1) {
        glProgramId_ = previousProgram;
        attachedShaders_ = previousShaders;
        valid_ = true;
        if (auto* log = qrLog())
            log->logWarning("Shader configuration \"" + getName() +
                            "\" keeps its last linked program until its shaders compile and link again");
    } else {
        variables_.clear();
    }
}

bool QRVISXShaderConfiguration::usesFile(std::uint32_t fileID) const
{
    for (const auto* list : {&vertexShaders_, &fragmentShaders_})
        for (const QRVISXShader* shader : *list)
            if (shader->getFileID() == fileID)
                return true;
    return false;
}

void QRVISXShaderConfiguration::clear()
{
    variables_.clear();
    releaseShaders(vertexShaders_);
    releaseShaders(fragmentShaders_);
    deleteProgram();
    missingShader_ = false;
}

void QRVISXShaderConfiguration::deleteProgram()
{
    deleteProgramObject(glProgramId_, attachedShaders_);
    glProgramId_ = -1;
    attachedShaders_.clear();
    valid_ = false;
}

void QRVISXShaderConfiguration::deleteProgramObject(GLint program, const std::vector<GLuint>& attachedShaders)
{
    if (program == -1)
        return;
    logDebug("Deleting Shader Configuration from GL: " + getName());
    // Without the visual module there is no context left to delete in.
    if (!qrVisual())
        return;
    for (GLuint shader : attachedShaders)
        qrGL().detachShader(static_cast<GLuint>(program), shader);
    qrGL().deleteProgram(static_cast<GLuint>(program));
    // The name may be handed out again; the manager must not take it for the program it bound.
    if (auto* manager = qrShaderManager())
        manager->forgetProgram(program);
}

void QRVISXShaderConfiguration::releaseShaders(std::vector<QRVISXShader*>& shaders)
{
    for (QRVISXShader*& shader : shaders)
        if (auto* assets = qrAssets())
            assets->release(shader);
    shaders.clear();
}

void QRVISXShaderConfiguration::addShader(std::vector<QRVISXShader*>& list, const std::string& file)
{
    auto* assets = qrAssets();
    QRVISXShader* shader = assets ? assets->acquire<QRVISXShader>(file) : nullptr;
    if (shader)
        list.push_back(shader);
    else
        missingShader_ = true;
    valid_ = false;
}

void QRVISXShaderConfiguration::addVertexShader(const std::string& file)
{
    addShader(vertexShaders_, file);
}

void QRVISXShaderConfiguration::addFragmentShader(const std::string& file)
{
    addShader(fragmentShaders_, file);
}

QRVISXShaderVariable* QRVISXShaderConfiguration::findVariable(std::string_view name) const
{
    for (const auto& variable : variables_)
        if (variable->getName() == name)
            return variable.get();
    return nullptr;
}

QRVISXShaderVariable* QRVISXShaderConfiguration::getVariable(std::string_view name, int kind)
{
    if (kind != QRVISXShaderVariable::kUniform && kind != QRVISXShaderVariable::kTexture &&
        kind != QRVISXShaderVariable::kEngine) {
        reportError("getVariable", "Unknown variable type");
        return nullptr;
    }
    auto found = std::find_if(variables_.begin(), variables_.end(),
                              [&](const auto& variable) { return variable->getName() == name; });
    if (found != variables_.end() && (*found)->getVariableKind() == kind)
        return found->get();
    if (found == variables_.end())
        logDebug("Creating shader variable: " + std::string(name));
    QROwned<QRVISXShaderVariable> created;
    if (kind == QRVISXShaderVariable::kUniform)
        created = qrNew<QRVISXShaderVariableUniform>(this, name);
    else if (kind == QRVISXShaderVariable::kTexture)
        created = qrNew<QRVISXShaderVariableTexture>(this, name);
    else
        created = qrNew<QRVISXShaderVariableQOR>(this, name);
    // A name the script took for a sampler may turn out to be another kind of uniform: the
    // program decides, the stale variable goes.
    if (found != variables_.end()) {
        *found = std::move(created);
        return found->get();
    }
    variables_.push_back(std::move(created));
    return variables_.back().get();
}

QRVISXShaderVariableUniform* QRVISXShaderConfiguration::getUniformVariable(std::string_view name)
{
    return static_cast<QRVISXShaderVariableUniform*>(getVariable(name, QRVISXShaderVariable::kUniform));
}

QRVISXShaderVariableTexture* QRVISXShaderConfiguration::getTextureVariable(std::string_view name)
{
    return static_cast<QRVISXShaderVariableTexture*>(getVariable(name, QRVISXShaderVariable::kTexture));
}

QRVISXShaderVariableQOR* QRVISXShaderConfiguration::getEngineVariable(std::string_view name)
{
    return static_cast<QRVISXShaderVariableQOR*>(getVariable(name, QRVISXShaderVariable::kEngine));
}

void QRVISXShaderConfiguration::setVector3Uniform(const std::string& name, const Vector3& value)
{
    auto* manager = qrShaderManager();
    if (!manager || manager->isLocked() || glProgramId_ == -1)
        return;
    const GLint location = qrGL().getUniformLocation(static_cast<GLuint>(glProgramId_), name);
    if (location >= 0) {
        const GLfloat values[3] = {value.x, value.y, value.z};
        qrGL().uniform3fv(location, 1, values);
    }
}
