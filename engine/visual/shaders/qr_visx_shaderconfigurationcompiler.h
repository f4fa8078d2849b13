#pragma once
// Compiles a shader configuration script into its configuration: the name, the texel units of the
// samplers and the vertex and fragment shaders to link. Created for one compile by the
// configuration that is loading.

#include "resource/qr_resc_parser.h"
#include "resource/qr_resc_stringlist.h"

class QRVISXShaderConfiguration;

class QRVISXShaderConfigurationCompiler : public QRRESCParser {
public:
    explicit QRVISXShaderConfigurationCompiler(QRObject* owner);

    bool compile(QRVISXShaderConfiguration* target, const QRRESCStringList* script);

private:
    void readName();
    void readTextureVariables();
    void readShaders();

    QRVISXShaderConfiguration* target_ = nullptr;
};
