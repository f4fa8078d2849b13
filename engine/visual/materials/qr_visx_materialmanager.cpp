#include "visual/materials/qr_visx_materialmanager.h"

#include "resource/qr_resc_stream.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/materials/qr_visx_material.h"
#include "visual/materials/qr_visx_materialcompiler.h"
#include "visual/materials/qr_visx_materialvariable.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/textures/qr_visx_texturemanager.h"

#include <algorithm>
#include <string>

QRVISXMaterialManager::QRVISXMaterialManager(QRObject* owner) : QRObject(owner, "QR VISX Material Manager")
{
    textureManager_ = qrNew<QRVISXTextureManager>(this);
    shaderManager_ = qrNew<QRVISXShaderManager>(this);
    stateManager_ = qrNew<QRVISXStateManager>(this);
    variablePool_ = qrNew<QRVISXMaterialVariablePool>(this);
}

QRVISXMaterialManager::~QRVISXMaterialManager()
{
    // Shader configurations register their uniforms in the pool, so the pool goes last.
    shaderManager_.reset();
    textureManager_.reset();
    stateManager_.reset();
    variablePool_.reset();
}

void QRVISXMaterialManager::initialize()
{
    textureManager_->initialize();
    shaderManager_->initialize();
    stateManager_->initialize();
    variablePool_->initialize();
    resetAll();
}

void QRVISXMaterialManager::lock()
{
    locked_ = true;
    stateManager_->lock();
    shaderManager_->lock();
    textureManager_->lock();
}

void QRVISXMaterialManager::unlock()
{
    locked_ = false;
    stateManager_->unlock();
    shaderManager_->unlock();
    textureManager_->unlock();
}

void QRVISXMaterialManager::resetAll()
{
    // A fresh context must never inherit an override's lock: locked managers would skip the
    // forced apply and leave the caches describing the previous context.
    unlock();
    stateManager_->reset();
    textureManager_->resetAllTextures();
    shaderManager_->reset();
    applyAll(true);
    enabled_ = true;
    locked_ = false;
    ignoreGeometry_ = false;
    currentMaterial_ = nullptr;
}

void QRVISXMaterialManager::resetForMaterial()
{
    endIgnoredPass();
    if (locked_)
        return;
    stateManager_->resetToDefaults();
    textureManager_->resetTextures();
    shaderManager_->resetConfiguration();
}

void QRVISXMaterialManager::resetForMaterialLit()
{
    endIgnoredPass();
    if (locked_)
        return;
    stateManager_->resetToDefaults();
    textureManager_->resetTextures();
    shaderManager_->useDefaultSolid();
}

void QRVISXMaterialManager::resetForMaterialUnlit()
{
    endIgnoredPass();
    if (locked_)
        return;
    stateManager_->resetToDefaults();
    textureManager_->resetTextures();
    shaderManager_->useDefaultUnlit();
}

void QRVISXMaterialManager::endIgnoredPass()
{
    // The ignore command belongs to the pass that ran it. Whatever sets up the next draw (a group
    // without a material instance, an override such as the terrain's) starts a new one, and must
    // not inherit it. While locked no pass runs, so nothing can set it again meanwhile.
    ignoreGeometry_ = false;
}

void QRVISXMaterialManager::executePass(QRVISXMaterialPass* pass)
{
    if (locked_ || !pass)
        return;
    currentMaterial_ = pass->getMaterial();
    executeStream(pass);
}

void QRVISXMaterialManager::forgetMaterial(const QRVISXMaterial* material)
{
    if (currentMaterial_ == material)
        currentMaterial_ = nullptr;
}

void QRVISXMaterialManager::executeStream(QRVISXMaterialPass* pass)
{
    if (!pass)
        return;
    pass->getCommandStream().rewind();
    ignoreGeometry_ = false;
    std::vector<QRVISXMaterialPass*> passes;
    runStream(pass, passes);
}

void QRVISXMaterialManager::runStream(QRVISXMaterialPass* pass, std::vector<QRVISXMaterialPass*>& passes)
{
    passes.push_back(pass);
    QRRESCStream& stream = pass->getCommandStream();
    while (stream.getPosition() < pass->getExecutableSize()) {
        const std::int64_t start = stream.getPosition();
        std::int32_t opcode = 0;
        if (!stream.readInt(opcode) || !executeCommand(opcode, stream, pass, passes)) {
            // Everything after this command is out of step; later frames stop before it, so the
            // failure is reported once and the commands before it still take effect.
            pass->limitExecutableSize(start);
            break;
        }
    }
    passes.pop_back();
}

bool QRVISXMaterialManager::executeCommand(std::int32_t opcode, QRRESCStream& stream, QRVISXMaterialPass* pass,
                                           std::vector<QRVISXMaterialPass*>& passes)
{
    switch (opcode) {
    case QRVISXMaterialOpcode::kClear: {
        // Compiled for scripts that name a group to clear; there is nothing to clear between passes.
        std::int32_t group = 0;
        return stream.readInt(group);
    }
    case QRVISXMaterialOpcode::kReset: {
        std::int32_t group = 0;
        if (!stream.readInt(group))
            return false;
        executeReset(group);
        return true;
    }
    case QRVISXMaterialOpcode::kLike: {
        std::string name;
        if (!stream.readString(name))
            return false;
        QRVISXMaterial* material = pass->getMaterial();
        QRVISXMaterialPass* like = material ? material->findPass(name) : nullptr;
        if (!like) {
            if (pass->isFirstExecutionProblem())
                reportError("executeStream", "Pass \"" + pass->getName() + "\" is like the unknown pass \"" + name + "\"");
            return true;
        }
        if (std::find(passes.begin(), passes.end(), like) != passes.end()) {
            if (pass->isFirstExecutionProblem())
                reportError("executeStream", "Pass \"" + pass->getName() + "\" is like itself through pass \"" + name + "\"");
            return true;
        }
        like->getCommandStream().rewind();
        runStream(like, passes);
        return true;
    }
    case QRVISXMaterialOpcode::kSetState:
        return executeCommandSetState(stream);
    case QRVISXMaterialOpcode::kSetTexture:
        return executeCommandSetTexture(stream, pass);
    case QRVISXMaterialOpcode::kSetShader: {
        std::int32_t index = 0;
        if (!stream.readInt(index))
            return false;
        QRVISXMaterial* material = pass->getMaterial();
        // A listed file that could not be loaded has no configuration: the default one is used.
        if (material && index >= 0 && index < material->getShaderConfigurationCount())
            shaderManager_->setConfiguration(material->getShaderConfigurationAt(index));
        return true;
    }
    case QRVISXMaterialOpcode::kIgnore:
        ignoreGeometry_ = true;
        return true;
    default:
        // The parameters of an unknown opcode are unknown too: nothing after it can be read.
        if (pass->isFirstExecutionProblem())
            reportError("executeStream", "Unknown material command " + std::to_string(opcode) + " in pass \"" +
                                             pass->getName() + "\"");
        return false;
    }
}

void QRVISXMaterialManager::executeReset(std::int32_t group)
{
    if (group == 0 || group == 1)
        stateManager_->resetToDefaults();
    if (group == 0 || group == 2)
        textureManager_->resetTextures();
    if (group == 0 || group == 4)
        shaderManager_->resetConfiguration();
}

bool QRVISXMaterialManager::executeCommandSetState(QRRESCStream& stream)
{
    using namespace QRVISXMaterialState;
    std::int32_t subCommand = 0;
    if (!stream.readInt(subCommand))
        return false;
    if (subCommand < 0 || subCommand >= kCount) {
        reportError("executeCommandSetState", "Unknown render state " + std::to_string(subCommand));
        return false;
    }
    bool flag = false;
    std::int32_t number = 0;
    float value = 0.0f;
    Vector4 color;
    bool read = false;
    switch (valueTypeOf(subCommand)) {
    case ValueType::Bool:
        read = stream.readBool(flag);
        break;
    case ValueType::Int:
        read = stream.readInt(number);
        break;
    case ValueType::Float:
        read = stream.readFloat(value);
        break;
    case ValueType::Vector4:
        read = stream.readVector4(color);
        break;
    }
    if (!read)
        return false;

    // Unknown words were compiled as -1: they must not reach OpenGL as an invalid enum.
    const bool comparison = number >= static_cast<std::int32_t>(GL_NEVER) && number <= static_cast<std::int32_t>(GL_ALWAYS);
    QRVISXStateManager& states = *stateManager_;
    switch (subCommand) {
    case kAlphaTest:
        states.setAlphaTest(flag, 0.5f);
        break;
    case kAlphaFunc:
        if (comparison)
            states.setAlphaFunc(static_cast<GLenum>(number));
        break;
    case kAlphaThreshold:
        states.setAlphaThreshold(value);
        break;
    case kBlending:
        states.setBlending(flag);
        break;
    case kBlendingMode:
        if (number >= 0 && number <= 5)
            states.setBlendingMode(number);
        break;
    case kColor:
        states.setCurrentColor(color.x, color.y, color.z, color.w);
        break;
    case kCullFace:
        states.setCullFaceEnabled(flag);
        break;
    case kCullBackSides:
        states.setCullBackSides(flag);
        break;
    case kCounterClockwiseWinding:
        states.setCounterClockwiseWinding(flag);
        break;
    case kDepthTest:
        states.setDepthTest(flag);
        break;
    case kDepthFunc:
        if (comparison)
            states.setDepthFunc(static_cast<GLenum>(number));
        break;
    case kDepthWrite:
        states.setDepthWrite(flag);
        break;
    case kLineWidth:
        states.setLineWidth(value);
        break;
    case kPointSize:
        states.setPointSize(value);
        break;
    case kPolygonMode:
        states.setPolygonMode(number);
        break;
    default:
        break;
    }
    return true;
}

bool QRVISXMaterialManager::executeCommandSetTexture(QRRESCStream& stream, QRVISXMaterialPass* pass)
{
    std::string variableName;
    std::int32_t textureType = 0;
    std::int32_t unit = 0;
    if (!stream.readString(variableName) || !stream.readInt(textureType) || !stream.readInt(unit))
        return false;
    if (textureType != 1) {
        if (pass->isFirstExecutionProblem())
            reportError("executeCommandSetTexture", "Unknown texture format");
        return true;
    }
    QRVISXMaterialVariableTexture2* variable = variablePool_->getTexture2Variable(variableName);
    if (variable && variable->getTexture() && unit >= 0 && unit < QRVISXTextureManager::kUnitSlots)
        textureManager_->requestTexture(variable->getTexture(), unit);
    return true;
}

void QRVISXMaterialManager::applyAll(bool force)
{
    if (locked_ || !enabled_)
        return;
    stateManager_->apply(force);
    textureManager_->applyTextures(force);
    shaderManager_->apply(force);
}
