#pragma once
// Compiles GLSL shaders and links shader configurations, keeps the two default configurations and
// the program in use, and uploads every variable of the current configuration before a draw.
// Owned by the material manager.

#include "core/qr_core_object.h"
#include "visual/shaders/qr_visx_fixedlighting.h"

#include <GL/glew.h>

class QRRESCStringList;
class QRVISXShader;
class QRVISXShaderConfiguration;

class QRVISXShaderManager : public QRObject {
public:
    explicit QRVISXShaderManager(QRObject* owner);
    ~QRVISXShaderManager() override;
    // Needs a current context; loads the default configurations.
    void initialize() override;

    void lock() { locked_ = true; }
    void unlock() { locked_ = false; }
    bool isLocked() const { return locked_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool isEnabled() const { return enabled_; }
    // The driver runs GLSL programs (OpenGL 2.0 with the shader-object extensions).
    bool isGLSLAvailable() const { return glslAvailable_; }

    // Compiles the lines into the shader's object; one source string per line.
    void generateShaderContentsInGL(QRVISXShader* shader, const QRRESCStringList& lines);
    // Links the configuration's shaders into a new program and queries its variables; on failure
    // the configuration's program id stays -1.
    void generateShaderConfigurationInGL(QRVISXShaderConfiguration* configuration);
    // Turns the active uniforms of the linked program into the configuration's variables.
    void queryVariables(QRVISXShaderConfiguration* configuration);
    void deleteShader(QRVISXShader* shader);
    void deleteConfiguration(QRVISXShaderConfiguration* configuration);

    // A valid configuration becomes current, anything else the default solid one; unless locked.
    void setConfiguration(QRVISXShaderConfiguration* configuration);
    void resetConfiguration();
    void useDefaultSolid();
    void useDefaultUnlit();
    // resetConfiguration, then a forced apply; after each context activation.
    void reset();
    // Switches the program when it changed (or forced), then uploads the current variables.
    void apply(bool force);
    // Uploads every variable of the configuration into its (active) program.
    void setShaderVariables(QRVISXShaderConfiguration* configuration);

    // A configuration going away: the manager must not keep pointing at it.
    void forgetConfiguration(const QRVISXShaderConfiguration* configuration);
    // A program object deleted: its name may come back for another program.
    void forgetProgram(GLint program);

    QRVISXShaderConfiguration* getDefaultSolid() const { return defaultSolid_.get(); }
    QRVISXShaderConfiguration* getDefaultUnlit() const { return defaultUnlit_.get(); }
    QRVISXShaderConfiguration* getCurrentConfiguration() const { return currentConfiguration_; }
    QRVISXShaderConfiguration* getAppliedConfiguration() const { return appliedConfiguration_; }
    // Without GLSL: whether the draws that follow are lit by OpenGL's own lighting.
    bool isFixedFunctionLit() const { return fixedLighting_.isLitRequested(); }

private:
    void showError(const std::string& text) const;

    bool enabled_ = true;
    bool locked_ = false;
    bool glslAvailable_ = false;
    QROwned<QRVISXShaderConfiguration> defaultSolid_;
    QROwned<QRVISXShaderConfiguration> defaultUnlit_;
    QRVISXShaderConfiguration* appliedConfiguration_ = nullptr;
    // The program object made active by the last switch; -1 when unknown.
    GLint appliedProgram_ = -1;
    QRVISXShaderConfiguration* currentConfiguration_ = nullptr;
    QRVISXFixedLighting fixedLighting_;
};

// The shader manager of the visual module's material manager, or null when there is none.
QRVISXShaderManager* qrShaderManager();
