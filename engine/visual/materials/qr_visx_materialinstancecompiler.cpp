#include "visual/materials/qr_visx_materialinstancecompiler.h"

#include "resource/qr_resc_stringlist.h"
#include "visual/materials/qr_visx_materialinstance.h"

#include <exception>

QRVISXMaterialInstanceCompiler::QRVISXMaterialInstanceCompiler(QRObject* owner)
    : QRRESCParser(owner, "QR RESC Material Instance Compiler")
{
}

bool QRVISXMaterialInstanceCompiler::compile(QRVISXMaterialInstance* instance, const QRRESCStringList* script)
{
    instance_ = instance;
    if (!instance) {
        reportError("compile", "No target material instance specified to compile to");
        return false;
    }
    if (!script) {
        reportError("compile", "No script source specified to compile from");
        return false;
    }
    logDebug("Compiling material instance...");
    try {
        parse(script);
        for (int statement = 0; statement < getStatementCount(); ++statement)
            if (keywordIs(statement, 0, "set"))
                parseSetTextureStatement(statement);
    } catch (const std::exception&) {
        reportError("compile", "There was an error while compiling the material instance script");
        return false;
    }
    return true;
}

void QRVISXMaterialInstanceCompiler::parseSetTextureStatement(int statement)
{
    std::string type;
    getLowerToken(statement, 1, type);
    if (type == "texture1d" || type == "texture3d" || type == "texturecube") {
        reportError("parseSetTextureStatement", "Unknown texture format type");
        return;
    }
    if (type != "texture2d")
        return;
    std::string variable;
    std::string file;
    if (!getToken(statement, 2, variable) || !getToken(statement, 3, file)) {
        logWarning("parseSetTextureStatement",
                   "A texture statement needs a variable and a file in material instance \"" + instance_->getName() + "\"");
        return;
    }
    instance_->setTexture(variable, file);
}
