#include "world/app_wrld_light.h"

#include "math/qr_math_vector.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/shaders/qr_visx_fixedlighting.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/view/qr_visx_transform.h"

APPWRLDLight::APPWRLDLight(QRObject* owner) : QRObject(owner, "Sun Light") {}

void APPWRLDLight::initialize() {}

void APPWRLDLight::update() {}

Vector3 APPWRLDLight::getDirection() const
{
    return QRMATHVector3::normalize(direction_);
}

void APPWRLDLight::apply()
{
    auto* visual = qrVisual();
    if (!visual || !visual->getMaterialManager())
        return;
    QRVISXMaterialVariablePool& pool = *visual->getMaterialManager()->getVariablePool();
    pool.setVector3("LightDirection", getDirection());
    pool.setVector3("LightDiffuse", diffuse_);
    pool.setVector3("LightAmbient", ambient_);
    // Without GLSL the sun is OpenGL's light 0, placed under the plain view (the camera is
    // applied before the light).
    if (!visual->getMaterialManager()->getShaderManager()->isGLSLAvailable()) {
        QRVISXTransformWorld& world = *visual->getTransform()->getWorld();
        world.reset();
        world.apply();
        QRVISXFixedLighting::setSun(getDirection(), diffuse_, ambient_);
    }
}
