#pragma once
// The sky box: five pictures on a cube centred on the eye (north, west, south, east, top; the
// bottom picture is loaded but hidden under the world), drawn first each frame without depth
// test so that everything drawn later covers it. Owned by the world; holds references to its
// texture and shader assets.

#include "core/qr_core_object.h"

#include <array>

class QRVISXShaderConfiguration;
class QRVISXTexture2;

class APPWRLDSkybox : public QRObject {
public:
    // The faces in the order of their pictures.
    enum Face { kNorth, kWest, kSouth, kEast, kTop, kBottom, kFaceCount };

    explicit APPWRLDSkybox(QRObject* owner);
    ~APPWRLDSkybox() override;

    // Loads "shaders\unlit_textured.shader" and "textures\skybox\<face>.png", each face clamped
    // at its edges so that neighbouring faces meet without a seam.
    void initialize() override;
    // The sky does not change.
    void update();
    // Draws the box around the 3D camera's position with the current view.
    void render();

    QRVISXTexture2* getTexture(Face face) const { return textures_[face]; }
    QRVISXShaderConfiguration* getShaderConfiguration() const { return configuration_; }

private:
    void releaseAssets();

    std::array<QRVISXTexture2*, kFaceCount> textures_{};
    QRVISXShaderConfiguration* configuration_ = nullptr;
};
