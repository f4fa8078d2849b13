#include "visual/shaders/qr_visx_shaderconfigurationcompiler.h"

#include "core/qr_core_feedback.h"
#include "core/qr_core_log.h"
#include "core/qr_core_main.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/shaders/qr_visx_shadervariable.h"
#include "visual/textures/qr_visx_texturemanager.h"

#include <exception>

QRVISXShaderConfigurationCompiler::QRVISXShaderConfigurationCompiler(QRObject* owner)
    : QRRESCParser(owner, "QR RESC Shader Configuration Compiler")
{
}

bool QRVISXShaderConfigurationCompiler::compile(QRVISXShaderConfiguration* target, const QRRESCStringList* script)
{
    target_ = target;
    if (!target) {
        reportError("compile", "No target shader configuration specified to compile to");
        return false;
    }
    if (!script) {
        reportError("compile", "No script source specified to compile from");
        return false;
    }
    try {
        logDebug("Compiling shader configuration...");
        parse(script);
        readName();
        readTextureVariables();
        readShaders();
    } catch (const std::exception&) {
        reportError("compile", "There was an error while compiling the shader configuration script");
        return false;
    }
    return true;
}

void QRVISXShaderConfigurationCompiler::readName()
{
    std::string name;
    for (int s = 0; s < getStatementCount(); ++s)
        if (tokenIs(s, 0, "shader") && tokenIs(s, 2, ":") && getToken(s, 1, name))
            target_->setName(name);
}

void QRVISXShaderConfigurationCompiler::readTextureVariables()
{
    // The type word of the last set statement carries over to later assignments.
    int textureType = 0;
    for (int s = 0; s < getStatementCount(); ++s) {
        std::string word;
        if (tokenIs(s, 0, "set") && getLowerToken(s, 1, word)) {
            if (word == "texture1d")
                textureType = 0;
            else if (word == "texture2d")
                textureType = 1;
            else if (word == "texture3d")
                textureType = 2;
            else if (word == "texturecube")
                textureType = 3;
            else
                textureType = 1;
        }
        std::string variable;
        std::int32_t unit = 0;
        if (getToken(s, 2, variable) && tokenIs(s, 3, "to") && tokenIs(s, 4, "texelunit") && getIntToken(s, 5, unit)) {
            // A unit the driver cannot have would only turn into a GL error at every draw.
            if (unit < 0 || unit >= QRVISXTextureManager::kUnitSlots) {
                logWarning("readTextureVariables", "Texel unit out of range for sampler \"" + variable + "\"");
                continue;
            }
            auto* texture = target_->getTextureVariable(variable);
            texture->setTextureType(textureType);
            texture->setTexelUnit(unit);
        }
    }
}

void QRVISXShaderConfigurationCompiler::readShaders()
{
    for (int s = 0; s < getStatementCount(); ++s) {
        std::string type;
        std::string file;
        if (!tokenIs(s, 0, "add") || !tokenIs(s, 2, "shader") || !getLowerToken(s, 1, type) || !getToken(s, 3, file))
            continue;
        if (type == "vertex") {
            target_->addVertexShader(file);
        } else if (type == "fragment") {
            target_->addFragmentShader(file);
        } else if (auto* core = qrCore()) {
            core->getFeedback()->showError("Shader configuration script \"" + target_->getFileName() + "\": \"" +
                                           "No shader type defined for shader \"" + file + "\"");
        }
    }
}
