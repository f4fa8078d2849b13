#include "visual/state/qr_visx_lights.h"

#include "math/qr_math_vector.h"
#include "visual/gl/qr_visx_gl.h"

namespace {
GLenum lightName(int index)
{
    return static_cast<GLenum>(GL_LIGHT0 + index);
}
} // namespace

QRVISXGLLight::QRVISXGLLight(QRObject* owner, int index) : QRObject(owner, "QR VISX GL Light"), index_(index) {}

void QRVISXGLLight::initialize()
{
    disable();
    QRVISXGL& gl = qrGL();
    gl.lightfv(lightName(index_), GL_AMBIENT, &ambient_.x);
    gl.lightfv(lightName(index_), GL_DIFFUSE, &diffuse_.x);
    gl.lightfv(lightName(index_), GL_SPECULAR, &specular_.x);
    setDirectional({0.0f, 1.0f, 0.0f});
}

void QRVISXGLLight::enable()
{
    if (!enabled_)
        qrGL().enable(lightName(index_));
    enabled_ = true;
}

void QRVISXGLLight::disable()
{
    qrGL().disable(lightName(index_));
    enabled_ = false;
}

void QRVISXGLLight::setLightType(int type)
{
    lightType_ = type;
    if (type == kPoint) {
        // OpenGL refuses a negative attenuation, and a light without a range does not fade.
        qrGL().lightf(lightName(index_), GL_LINEAR_ATTENUATION, range_ > 0.0f ? 1.0f / range_ : 0.0f);
    } else if (type == kDirectional) {
        qrGL().lightf(lightName(index_), GL_LINEAR_ATTENUATION, 0.0f);
    }
}

void QRVISXGLLight::setPosition(const Vector3& position)
{
    position_ = position;
    Vector4 sent{position.x, position.y, position.z, 1.0f};
    if (lightType_ == kDirectional) {
        const Vector3 direction = QRMATHVector3::normalize(position);
        sent = {direction.x, direction.y, direction.z, 0.0f};
    }
    qrGL().lightfv(lightName(index_), GL_POSITION, &sent.x);
}

void QRVISXGLLight::setDirectional(const Vector3& direction)
{
    enable();
    setLightType(kDirectional);
    setPosition(direction);
}

QRVISXLights::QRVISXLights(QRObject* owner) : QRObject(owner, "QR VISX Lights")
{
    for (int i = 0; i < kCount; ++i)
        lights_[static_cast<std::size_t>(i)] = qrNew<QRVISXGLLight>(this, i);
}

QRVISXLights::~QRVISXLights() = default;

void QRVISXLights::initialize()
{
    for (auto& light : lights_)
        light->initialize();
}
