#include "world/app_wrld_skybox.h"

#include "core/qr_mngr_assetmanager.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/view/qr_visx_transform.h"

#include <algorithm>

namespace {

const char* const kFaceNames[APPWRLDSkybox::kFaceCount] = {"north", "west", "south", "east", "top", "bottom"};

// The corners of each drawn face, with texture coordinates (0, 1), (1, 1), (1, 0), (0, 0): the
// picture's top edge is the face's upper edge seen from inside the box. North is -z, south +z,
// west -x, east +x.
struct FaceQuad {
    APPWRLDSkybox::Face face;
    float corners[4][3];
};
constexpr FaceQuad kQuads[] = {
    {APPWRLDSkybox::kNorth, {{-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}}},
    {APPWRLDSkybox::kWest, {{-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}, {-1, -1, 1}}},
    {APPWRLDSkybox::kSouth, {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}}},
    {APPWRLDSkybox::kEast, {{1, 1, -1}, {1, 1, 1}, {1, -1, 1}, {1, -1, -1}}},
    {APPWRLDSkybox::kTop, {{-1, 1, 1}, {1, 1, 1}, {1, 1, -1}, {-1, 1, -1}}},
};
constexpr float kTexCoords[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};

} // namespace

APPWRLDSkybox::APPWRLDSkybox(QRObject* owner) : QRObject(owner, "Sky Box") {}

APPWRLDSkybox::~APPWRLDSkybox()
{
    releaseAssets();
}

void APPWRLDSkybox::releaseAssets()
{
    auto* assets = qrAssets();
    if (!assets)
        return;
    assets->release(configuration_);
    for (auto*& texture : textures_)
        assets->release(texture);
}

void APPWRLDSkybox::initialize()
{
    releaseAssets();
    auto* assets = qrAssets();
    if (!assets)
        return;
    configuration_ = assets->acquire<QRVISXShaderConfiguration>("shaders\\unlit_textured.shader");
    for (int face = 0; face < kFaceCount; ++face) {
        textures_[face] = assets->acquire<QRVISXTexture2>(std::string("textures\\skybox\\") + kFaceNames[face] + ".png");
        if (textures_[face])
            textures_[face]->setClamp(true, true);
    }
}

void APPWRLDSkybox::update() {}

void APPWRLDSkybox::render()
{
    auto* visual = qrVisual();
    if (!visual || !visual->getMaterialManager())
        return;
    QRVISXMaterialManager& materials = *visual->getMaterialManager();
    QRVISXTransformWorld& world = *visual->getTransform()->getWorld();

    // Centred on the eye, the box never comes nearer or goes farther. Its size does not change the
    // picture; it only has to lie beyond the near plane wherever the view may look, which the
    // corners of a cube of half size 1 do not for a near plane beyond about 0.58.
    world.reset();
    float size = 1.0f;
    if (const QRVISXCamera3D* camera = visual->getCameraManager()->get3DCamera()) {
        world.translate(camera->getPosition());
        size = std::max(1.0f, 2.0f * camera->getNearPlane());
        if (camera->getFarPlane() > 0.0f)
            size = std::min(size, 0.5f * camera->getFarPlane());
    }
    world.scale(size);
    world.apply();

    materials.resetForMaterial();
    // Without its program the sky must not be lit by the default one.
    if (configuration_ && configuration_->isValid())
        materials.getShaderManager()->setConfiguration(configuration_);
    else
        materials.getShaderManager()->useDefaultUnlit();
    // The sky is drawn after the terrain and lies at the far end of the depth range, so it is
    // shaded only where no ground was drawn: on a software renderer that saves most of a screen
    // of texture reads a frame. It leaves the depth buffer as it found it.
    QRVISXStateManager& states = *materials.getStateManager();
    states.setDepthTest(true);
    states.setDepthFunc(GL_LEQUAL);
    states.setDepthWrite(false);
    states.setCullFaceEnabled(false);

    QRVISXGL& gl = qrGL();
    gl.depthRange(1.0, 1.0);
    for (const FaceQuad& quad : kQuads) {
        materials.getTextureManager()->requestTexture(textures_[quad.face], 0);
        materials.apply();
        gl.begin(GL_QUADS);
        for (int corner = 0; corner < 4; ++corner) {
            gl.texCoord2f(kTexCoords[corner][0], kTexCoords[corner][1]);
            gl.vertex3f(quad.corners[corner][0], quad.corners[corner][1], quad.corners[corner][2]);
        }
        gl.end();
    }

    gl.depthRange(0.0, 1.0);
    // Whoever draws next starts from the plain view.
    world.reset();
    world.apply();
}
