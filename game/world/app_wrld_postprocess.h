#pragma once
// The post-processing step: a frame buffer the size of the drawing panel ("Frame Buffer", colour
// and depth) for full-screen effects, and the per-frame step after the water that re-applies the
// 2D and the 3D camera. Owned by the world; the targets belong to the render target manager.

#include "core/qr_core_object.h"

class QRVISXRenderTargetBuffer;
class QRVISXRenderTargetConfiguration;
class QRVISXRenderTargetTexture;

class APPWRLDPostProcess : public QRObject {
public:
    explicit APPWRLDPostProcess(QRObject* owner);
    ~APPWRLDPostProcess() override;

    // Sized after "Visual Device" as it is now.
    void initialize() override;
    void applyPostProcess();

    QRVISXRenderTargetConfiguration* getConfiguration() const { return configuration_; }
    QRVISXRenderTargetTexture* getColorTarget() const { return colorTarget_; }

private:
    void releaseTargets();

    QRVISXRenderTargetConfiguration* configuration_ = nullptr;
    QRVISXRenderTargetTexture* colorTarget_ = nullptr;
    QRVISXRenderTargetBuffer* depthTarget_ = nullptr;
};
