#include "visual/shaders/qr_visx_shader.h"

#include "core/qr_core_log.h"
#include "core/qr_util_strings.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/shaders/qr_visx_shadermanager.h"

QRVISXShader::QRVISXShader(QRObject* owner) : QRRESCMain(owner, "Shader") {}

QRVISXShader::~QRVISXShader()
{
    clear();
}

int QRVISXShader::shaderTypeOfFile(const std::string& path)
{
    const std::string extension = QRUTILStrings::lowerCase(QRFILEMain::extractExtension(path));
    if (extension == "vertex")
        return kVertex;
    if (extension == "fragment")
        return kFragment;
    return kUnknown;
}

void QRVISXShader::loadFromFile(const std::string& path)
{
    auto* files = qrFile();
    if (!files || !files->fileExists(path, true))
        return;
    // A reload passes the full path; the name stays the content name either way.
    setFileName(path);
    setName(getFileName());
    shaderType_ = shaderTypeOfFile(path);
    auto lines = qrNew<QRRESCStringList>(this, true, true);
    lines->loadFromFile(path);
    generateFromStringList(*lines);
}

void QRVISXShader::generateFromStringList(const QRRESCStringList& lines)
{
    clear();
    if (auto* manager = qrShaderManager())
        manager->generateShaderContentsInGL(this, lines);
}

void QRVISXShader::clear()
{
    if (glShaderId_ == -1)
        return;
    logDebug("Deleting Shader from GL: " + getName());
    // Without the visual module there is no context left to delete in.
    if (qrVisual())
        qrGL().deleteShader(static_cast<GLuint>(glShaderId_));
    glShaderId_ = -1;
}
