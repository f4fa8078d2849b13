#include "visual/shaders/qr_visx_fixedlighting.h"

#include "visual/gl/qr_visx_gl.h"

void QRVISXFixedLighting::apply(bool force)
{
    const int wanted = requestedLit_ ? 1 : 0;
    if (!force && applied_ == wanted)
        return;
    QRVISXGL& gl = qrGL();
    if (requestedLit_) {
        // The vertex colour is the material, as the programs take gl_Color; models are scaled,
        // so their normals are made unit length again.
        gl.colorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        gl.enable(GL_COLOR_MATERIAL);
        gl.enable(GL_NORMALIZE);
        gl.enable(GL_LIGHT0);
        gl.enable(GL_LIGHTING);
    } else {
        gl.disable(GL_LIGHTING);
    }
    applied_ = wanted;
}

void QRVISXFixedLighting::setSun(const Vector3& toLight, const Vector3& diffuse, const Vector3& ambient)
{
    // Faces away from the sun keep the ambient light alone; the programs brighten the ambient
    // term by the sky, which a fixed light approximates with a stronger ambient part.
    constexpr float kSkyAmbient = 1.3f;
    const GLfloat position[4] = {toLight.x, toLight.y, toLight.z, 0.0f};
    const GLfloat diffuseColor[4] = {diffuse.x, diffuse.y, diffuse.z, 1.0f};
    const GLfloat ambientColor[4] = {ambient.x * kSkyAmbient, ambient.y * kSkyAmbient, ambient.z * kSkyAmbient, 1.0f};
    const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    QRVISXGL& gl = qrGL();
    gl.lightfv(GL_LIGHT0, GL_POSITION, position);
    gl.lightfv(GL_LIGHT0, GL_DIFFUSE, diffuseColor);
    gl.lightfv(GL_LIGHT0, GL_AMBIENT, ambientColor);
    gl.lightfv(GL_LIGHT0, GL_SPECULAR, none);
}
