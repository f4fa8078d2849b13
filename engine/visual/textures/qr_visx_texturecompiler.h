#pragma once
// Compiles a ".texture" script into a texture's settings: "set" statements for name, filter,
// mipmapping, anisotropy, clamping and compression. Other statements are ignored, and a value
// that does not parse leaves its setting alone. Made by the texture for the time of one compile.

#include "resource/qr_resc_parser.h"

class QRRESCStringList;
class QRVISXTexture2;

class QRVISXTextureCompiler : public QRRESCParser {
public:
    explicit QRVISXTextureCompiler(QRObject* owner);

    // False when target or script is missing or the script could not be read through.
    bool compile(QRVISXTexture2* target, const QRRESCStringList* script);

private:
    void parseSetStatement(int statement);

    QRVISXTexture2* target_ = nullptr;
};
