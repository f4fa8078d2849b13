#pragma once
// The material manager: owns the texture manager, the shader manager, the render-state manager and
// the material variable pool, runs the command streams of material passes and sends the three
// render caches to OpenGL before geometry is drawn. Reset in full whenever a render context has
// been made current. Owned by the visual module.

#include "core/qr_core_object.h"

#include <cstdint>
#include <vector>

class QRRESCStream;
class QRVISXTextureManager;
class QRVISXShaderManager;
class QRVISXStateManager;
class QRVISXMaterialVariablePool;
class QRVISXMaterial;
class QRVISXMaterialPass;

class QRVISXMaterialManager : public QRObject {
public:
    explicit QRVISXMaterialManager(QRObject* owner);
    ~QRVISXMaterialManager() override;
    // Needs a current context: initialises the texture, shader and state managers and the pool, in
    // this order, then resetAll.
    void initialize() override;

    // Locks or unlocks this manager together with the state, shader and texture managers: an
    // override (editor highlight, shadow pass, HUD) stays in force while models draw.
    void lock();
    void unlock();
    bool isLocked() const { return locked_; }

    // After every context activation: every cache matches the fresh context again.
    void resetAll();
    // States to defaults, no textures, the default configuration (or the lit / unlit default).
    // Each also ends the last pass's ignore command, locked or not.
    void resetForMaterial();
    void resetForMaterialLit();
    void resetForMaterialUnlit();

    // Runs the pass's command stream; nothing while locked or without a pass.
    void executePass(QRVISXMaterialPass* pass);
    // Reads and executes the stream's commands from its start. A "like" command runs the named
    // pass of the same material in its place (a pass that is, directly or through others, like
    // itself is reported and skipped); "clear" has no effect. An unknown opcode or a short read
    // ends the pass, since the rest of the stream can no longer be read in step.
    void executeStream(QRVISXMaterialPass* pass);
    void apply() { applyAll(false); }
    // States, then textures, then the shader program and its variables.
    void applyAll(bool force);

    // Vertex buffers draw nothing while set: from a pass's ignore command until the next pass or
    // the next reset for a material.
    bool isIgnoringGeometry() const { return ignoreGeometry_; }
    void setIgnoringGeometry(bool value) { ignoreGeometry_ = value; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    QRVISXMaterial* getCurrentMaterial() const { return currentMaterial_; }
    // A material going away must not stay current.
    void forgetMaterial(const QRVISXMaterial* material);

    QRVISXTextureManager* getTextureManager() const { return textureManager_.get(); }
    QRVISXShaderManager* getShaderManager() const { return shaderManager_.get(); }
    QRVISXStateManager* getStateManager() const { return stateManager_.get(); }
    QRVISXMaterialVariablePool* getVariablePool() const { return variablePool_.get(); }

private:
    // Executes the stream from its current position; passes holds the chain of passes running.
    void runStream(QRVISXMaterialPass* pass, std::vector<QRVISXMaterialPass*>& passes);
    bool executeCommand(std::int32_t opcode, QRRESCStream& stream, QRVISXMaterialPass* pass,
                        std::vector<QRVISXMaterialPass*>& passes);
    bool executeCommandSetState(QRRESCStream& stream);
    bool executeCommandSetTexture(QRRESCStream& stream, QRVISXMaterialPass* pass);
    void executeReset(std::int32_t group);
    void endIgnoredPass();

    bool enabled_ = true;
    bool locked_ = false;
    bool ignoreGeometry_ = false;
    QRVISXMaterial* currentMaterial_ = nullptr;
    QROwned<QRVISXTextureManager> textureManager_;
    QROwned<QRVISXShaderManager> shaderManager_;
    QROwned<QRVISXStateManager> stateManager_;
    QROwned<QRVISXMaterialVariablePool> variablePool_;
};
