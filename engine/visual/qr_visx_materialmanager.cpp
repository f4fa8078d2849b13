#include "visual/qr_visx_materialmanager.h"

#include "visual/qr_visx_materialvariablepool.h"
#include "visual/qr_visx_shadermanager.h"
#include "visual/qr_visx_statemanager.h"
#include "visual/qr_visx_texturemanager.h"

QRVISXMaterialManager::QRVISXMaterialManager(QRObject* owner) : QRObject(owner, "QR VISX Material Manager")
{
    textureManager_ = qrNew<QRVISXTextureManager>(this);
    shaderManager_ = qrNew<QRVISXShaderManager>(this);
    stateManager_ = qrNew<QRVISXStateManager>(this);
    variablePool_ = qrNew<QRVISXMaterialVariablePool>(this);
}

QRVISXMaterialManager::~QRVISXMaterialManager()
{
    // Shader configurations register their uniforms in the pool, so the pool goes last.
    shaderManager_.reset();
    textureManager_.reset();
    stateManager_.reset();
    variablePool_.reset();
}

void QRVISXMaterialManager::initialize()
{
    textureManager_->initialize();
    shaderManager_->initialize();
    stateManager_->initialize();
    variablePool_->initialize();
    resetAll();
}

void QRVISXMaterialManager::lock()
{
    locked_ = true;
    stateManager_->lock();
    shaderManager_->lock();
    textureManager_->lock();
}

void QRVISXMaterialManager::unlock()
{
    locked_ = false;
    stateManager_->unlock();
    shaderManager_->unlock();
    textureManager_->unlock();
}

void QRVISXMaterialManager::resetAll()
{
    stateManager_->reset();
    textureManager_->resetAllTextures();
    shaderManager_->reset();
    applyAll(true);
    enabled_ = true;
    locked_ = false;
    ignoreGeometry_ = false;
    currentMaterial_ = nullptr;
}

void QRVISXMaterialManager::resetForMaterial()
{
    if (locked_)
        return;
    stateManager_->resetToDefaults();
    textureManager_->resetTextures();
    shaderManager_->resetConfiguration();
}

void QRVISXMaterialManager::resetForMaterialLit()
{
    if (locked_)
        return;
    stateManager_->resetToDefaults();
    textureManager_->resetTextures();
    shaderManager_->useDefaultSolid();
}

void QRVISXMaterialManager::resetForMaterialUnlit()
{
    if (locked_)
        return;
    stateManager_->resetToDefaults();
    textureManager_->resetTextures();
    shaderManager_->useDefaultUnlit();
}

void QRVISXMaterialManager::executePass(QRVISXMaterialPass* pass)
{
    if (locked_ || !pass)
        return;
    executeStream(pass);
}

void QRVISXMaterialManager::executeStream(QRVISXMaterialPass*)
{
    // The pass command executor lands with the materials.
}

void QRVISXMaterialManager::applyAll(bool force)
{
    if (locked_ || !enabled_)
        return;
    stateManager_->apply(force);
    textureManager_->applyTextures(force);
    shaderManager_->apply(force);
}
