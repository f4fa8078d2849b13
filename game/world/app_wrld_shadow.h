#pragma once
// The shadow map: once per frame the shadow casters are drawn black, seen straight from above,
// into a white 1024 x 1024 texture around the game camera; the terrain projects it onto the
// ground through the pool variables "ShadowMapCenter" and "ShadowMapSize". Owned by the world;
// its render targets belong to the render target manager, which it asks to remove them.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <cstdint>
#include <functional>

class QRCOREVirtualDevice;
class QRVISXRenderTargetBuffer;
class QRVISXRenderTargetConfiguration;
class QRVISXRenderTargetTexture;
class QRVISXShaderConfiguration;
class QRVISXTexture2;

class APPWRLDShadow : public QRObject {
public:
    // Half the side of the square the map covers (the camera's orthographic extent: the map
    // spans 140 x 140 units around its centre), in world units; also the value of "ShadowMapSize".
    static constexpr float kCoveredSize = 70.0f;
    static constexpr float kCameraHeight = 50.0f;
    static constexpr float kCameraDepth = 200.0f;

    explicit APPWRLDShadow(QRObject* owner);
    ~APPWRLDShadow() override;

    // Makes the device, the targets and the configuration "Shadow Map", and loads the shaders.
    // Without frame buffer objects or GLSL, or when the driver cannot draw into any map, there are
    // no targets and every pass does nothing.
    void initialize() override;
    // The pass around the world's game camera with the casters of the world's entity list, drawn
    // only when the map's centre moved, a caster near it changed (APPWRLDShadowCasters) or the
    // map's texture is not the one drawn last; otherwise the map drawn before stays.
    void renderShadowMap();
    // Whether the last renderShadowMap drew the map (false: it kept the one drawn before).
    bool wasRedrawn() const { return redrawn_; }
    // The next renderShadowMap draws, whatever changed.
    void invalidate() { drawn_ = false; }
    // The pass itself: the map around focus, drawCasters drawing whatever casts a shadow.
    void renderShadowMapAt(const Vector3& focus, const std::function<void()>& drawCasters);

    // The map's texture; fetch it anew each frame, since a bind may make it again.
    QRVISXTexture2* getShadowMapTexture() const;
    // The camera position for a focus point: x and z snapped to multiples of two whole texels of
    // the map (140 units over its inner 1022 texels: 280 / 1022 units), so shadow edges do not
    // crawl while the focus moves.
    static Vector3 snapCenter(const Vector3& focus);
    int getShadowMapSize() const { return shadowMapSize_; }
    QRVISXRenderTargetConfiguration* getConfiguration() const { return configuration_; }

private:
    void releaseTargets();
    // Tells the terrain where the map lies ("ShadowMapCenter", "ShadowMapSize").
    void publish(const Vector3& centre);
    // The targets and the configuration with colour components of dataFormat; false (and nothing
    // made) when the driver cannot draw into them.
    bool createTargets();

    int shadowMapSize_ = 1024;
    QRCOREVirtualDevice* device_ = nullptr;
    QRVISXRenderTargetConfiguration* configuration_ = nullptr;
    QRVISXRenderTargetTexture* colorTarget_ = nullptr;
    QRVISXRenderTargetBuffer* depthTarget_ = nullptr;
    QRVISXShaderConfiguration* intoShadowMapShader_ = nullptr;
    QRVISXShaderConfiguration* unlitTexturedShader_ = nullptr;
    // What the map holds now, and what it was drawn for.
    bool drawn_ = false;
    bool redrawn_ = false;
    Vector3 drawnCentre_;
    std::uint64_t drawnCasters_ = 0;
    const QRVISXTexture2* drawnTexture_ = nullptr;
    int drawnTextureId_ = 0;
};
