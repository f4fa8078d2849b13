#pragma once
// One GLSL vertex or fragment shader source file compiled into an OpenGL shader object. A managed
// asset (qrAssets()->acquire<QRVISXShader>(path)), held by the shader configurations that list it.

#include "resource/qr_resc_main.h"

#include <GL/glew.h>

class QRRESCStringList;

class QRVISXShader : public QRRESCMain {
public:
    static constexpr int kUnknown = -1;
    static constexpr int kVertex = 0;
    static constexpr int kFragment = 1;

    explicit QRVISXShader(QRObject* owner);
    ~QRVISXShader() override;

    // The extension decides the type: "vertex" or "fragment" (any letter case).
    void loadFromFile(const std::string& path) override;
    // Compiles these lines; a shader that fails to compile ends up empty (no object).
    void generateFromStringList(const QRRESCStringList& lines);

    // Deletes the shader object (the programs it is attached to keep working).
    void clear() override;
    bool isEmpty() const override { return glShaderId_ == -1; }

    int getShaderType() const { return shaderType_; }
    void setShaderType(int type) { shaderType_ = type; }
    GLint getGLShaderId() const { return glShaderId_; }
    void setGLShaderId(GLint id) { glShaderId_ = id; }

    // The shader type the extension of path stands for.
    static int shaderTypeOfFile(const std::string& path);

private:
    GLint glShaderId_ = -1;
    int shaderType_ = kUnknown;
};
