#pragma once
// The material manager: owns the texture manager, the shader manager, the render-state manager and
// the material variable pool, runs the command streams of material passes and sends the three
// render caches to OpenGL before geometry is drawn. Reset in full whenever a render context has
// been made current. Owned by the visual module.

#include "core/qr_core_object.h"

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
    void resetForMaterial();
    void resetForMaterialLit();
    void resetForMaterialUnlit();

    // Runs the pass's command stream; nothing while locked or without a pass.
    void executePass(QRVISXMaterialPass* pass);
    void executeStream(QRVISXMaterialPass* pass);
    void apply() { applyAll(false); }
    // States, then textures, then the shader program and its variables.
    void applyAll(bool force);

    // Vertex buffers draw nothing while set (a pass with the ignore command).
    bool isIgnoringGeometry() const { return ignoreGeometry_; }
    void setIgnoringGeometry(bool value) { ignoreGeometry_ = value; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    QRVISXMaterial* getCurrentMaterial() const { return currentMaterial_; }

    QRVISXTextureManager* getTextureManager() const { return textureManager_.get(); }
    QRVISXShaderManager* getShaderManager() const { return shaderManager_.get(); }
    QRVISXStateManager* getStateManager() const { return stateManager_.get(); }
    QRVISXMaterialVariablePool* getVariablePool() const { return variablePool_.get(); }

private:
    bool enabled_ = true;
    bool locked_ = false;
    bool ignoreGeometry_ = false;
    QRVISXMaterial* currentMaterial_ = nullptr;
    QROwned<QRVISXTextureManager> textureManager_;
    QROwned<QRVISXShaderManager> shaderManager_;
    QROwned<QRVISXStateManager> stateManager_;
    QROwned<QRVISXMaterialVariablePool> variablePool_;
};
