#pragma once
// Compiles a material instance script: "set texture2d <variable> <texture file>" gives the
// instance's texture variable that texture; other set types are reported, other statements
// ignored. Created by the instance for one compile.

#include "resource/qr_resc_parser.h"
#include "resource/qr_resc_stringlist.h"

class QRVISXMaterialInstance;

class QRVISXMaterialInstanceCompiler : public QRRESCParser {
public:
    explicit QRVISXMaterialInstanceCompiler(QRObject* owner);

    // False (with an error) without a target or a script, or when compiling threw.
    bool compile(QRVISXMaterialInstance* instance, const QRRESCStringList* script);

private:
    void parseSetTextureStatement(int statement);

    QRVISXMaterialInstance* instance_ = nullptr;
};
