#include "visual/textures/qr_visx_texturecompiler.h"

#include "resource/qr_resc_stringlist.h"
#include "visual/textures/qr_visx_texture.h"

#include <exception>

QRVISXTextureCompiler::QRVISXTextureCompiler(QRObject* owner) : QRRESCParser(owner, "QR VISX Texture Compiler") {}

bool QRVISXTextureCompiler::compile(QRVISXTexture2* target, const QRRESCStringList* script)
{
    target_ = target;
    if (!target) {
        reportError("compile", "No target texture specified to compile to");
        return false;
    }
    if (!script) {
        reportError("compile", "No script source specified to compile from");
        return false;
    }
    try {
        logDebug("Compiling texture script...");
        parse(script);
        for (int statement = 0; statement < getStatementCount(); ++statement)
            if (keywordIs(statement, 0, "set"))
                parseSetStatement(statement);
    } catch (const std::exception&) {
        reportError("compile", "There was an error while compiling the texture script");
        return false;
    }
    return true;
}

void QRVISXTextureCompiler::parseSetStatement(int statement)
{
    std::string setting;
    if (!getLowerToken(statement, 1, setting))
        return;
    if (setting == "name") {
        std::string name;
        if (getToken(statement, 2, name))
            target_->setName(name);
    } else if (setting == "filter") {
        // The filter words are compared as written: "Linear" is no filter word.
        static const char* const kFilters[] = {"none", "linear", "mipmapping", "trilinear"};
        for (int filter = 0; filter < 4; ++filter)
            if (tokenIs(statement, 2, kFilters[filter]))
                target_->setFilter(filter);
    } else if (setting == "anisotropy") {
        std::int32_t anisotropy = 0;
        if (getIntToken(statement, 2, anisotropy))
            target_->setAnisotropy(anisotropy);
    } else {
        bool value = false;
        if (!getBoolToken(statement, 2, value))
            return;
        if (setting == "compression")
            target_->setCompression(value);
        else if (setting == "mipmapping")
            target_->setMipmapping(value);
        else if (setting == "horizontalclamp")
            target_->setHorizontalClamp(value);
        else if (setting == "verticalclamp")
            target_->setVerticalClamp(value);
    }
}
