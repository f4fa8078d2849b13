#pragma once
// A shader configuration: a small script listing the vertex and fragment shaders of one GLSL
// program and the texel units of its samplers, linked into a program object whose active uniforms
// become shader variables. A managed asset (qrAssets()->acquire<QRVISXShaderConfiguration>(path));
// the shader manager owns the two defaults. Holds references to its shader assets.

#include "resource/qr_resc_main.h"
#include "math/qr_math_types.h"

#include <GL/glew.h>

#include <string_view>
#include <vector>

class QRRESCStringList;
class QRVISXShader;
class QRVISXShaderVariable;
class QRVISXShaderVariableUniform;
class QRVISXShaderVariableTexture;
class QRVISXShaderVariableQOR;

class QRVISXShaderConfiguration : public QRRESCMain {
public:
    explicit QRVISXShaderConfiguration(QRObject* owner);
    ~QRVISXShaderConfiguration() override;

    void loadFromFile(const std::string& path) override;
    // Compiles the script and links. When a program linked before and the new one cannot be made
    // (a defect shader, a link error), that last program and its variables stay in use, so a
    // broken edit during live reload never takes the picture away. Returns isValid().
    bool generateFromStringList(const QRRESCStringList& lines);
    // Links the listed shaders anew, keeping the previous program when that fails (see above).
    void generateInGL();
    // Answers for the source files of the listed shaders: the program is relinked after them.
    bool usesFile(std::uint32_t fileID) const override;

    // Frees the variables, releases the shaders and deletes the program.
    void clear() override;
    bool isEmpty() const override { return vertexShaders_.empty() || fragmentShaders_.empty(); }

    void addVertexShader(const std::string& file);
    void addFragmentShader(const std::string& file);
    // A listed shader file could not be loaded; the configuration cannot link until a reload.
    void markMissingShader() { missingShader_ = true; }
    bool hasMissingShader() const { return missingShader_; }

    // The variable of that name, created with the kind (0 uniform, 1 texture, 2 engine) when
    // missing; one of another kind is replaced. Null for an unknown kind.
    QRVISXShaderVariable* getVariable(std::string_view name, int kind);
    QRVISXShaderVariable* findVariable(std::string_view name) const;
    QRVISXShaderVariableUniform* getUniformVariable(std::string_view name);
    QRVISXShaderVariableTexture* getTextureVariable(std::string_view name);
    QRVISXShaderVariableQOR* getEngineVariable(std::string_view name);
    int getVariableCount() const { return static_cast<int>(variables_.size()); }
    QRVISXShaderVariable* getVariableAt(int index) const { return variables_.at(static_cast<std::size_t>(index)).get(); }

    // Sets a vec3 uniform of the active program at once (unless the shader manager is locked).
    void setVector3Uniform(const std::string& name, const Vector3& value);

    bool isValid() const { return valid_; }
    GLint getGLProgramId() const { return glProgramId_; }
    const std::vector<QRVISXShader*>& getVertexShaders() const { return vertexShaders_; }
    const std::vector<QRVISXShader*>& getFragmentShaders() const { return fragmentShaders_; }

    // Used by the shader manager while it links.
    void setGLProgramId(GLint id) { glProgramId_ = id; }
    void setAttachedShaders(std::vector<GLuint> ids) { attachedShaders_ = std::move(ids); }
    // Detaches the shaders and deletes the program (logged); the variables stay.
    void deleteProgram();

private:
    void deleteProgramObject(GLint program, const std::vector<GLuint>& attachedShaders);
    void releaseShaders(std::vector<QRVISXShader*>& shaders);
    void addShader(std::vector<QRVISXShader*>& list, const std::string& file);

    GLint glProgramId_ = -1;
    bool valid_ = false;
    bool missingShader_ = false;
    std::vector<QRVISXShader*> vertexShaders_;
    std::vector<QRVISXShader*> fragmentShaders_;
    // The shader objects attached at the last link; a shader may have been recompiled since.
    std::vector<GLuint> attachedShaders_;
    std::vector<QROwned<QRVISXShaderVariable>> variables_;
};
