#pragma once
// The eight fixed-function OpenGL lights. Each starts as a directional light from straight above.
// QRVISXLights is owned by the state manager and owns its eight lights.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <array>

class QRVISXGLLight : public QRObject {
public:
    static constexpr int kNone = -1;
    static constexpr int kPoint = 0;
    static constexpr int kDirectional = 1;

    QRVISXGLLight(QRObject* owner, int index);
    void initialize() override;

    void enable();
    void disable();
    // A point light fades linearly over its range; a directional one does not fade.
    void setLightType(int type);
    // A point light sits at position; a directional light shines from the direction position points to.
    void setPosition(const Vector3& position);
    void setDirectional(const Vector3& direction);
    void setRange(float range) { range_ = range; }

    int getIndex() const { return index_; }
    bool isEnabled() const { return enabled_; }
    int getLightType() const { return lightType_; }
    const Vector3& getPosition() const { return position_; }

private:
    int index_;
    bool enabled_ = false;
    Vector4 ambient_{0.0f, 0.0f, 0.0f, 0.0f};
    Vector4 diffuse_{1.0f, 1.0f, 1.0f, 0.0f};
    Vector4 specular_{1.0f, 1.0f, 1.0f, 0.0f};
    Vector3 position_{1.0f, 1.0f, 1.0f};
    int lightType_ = kNone;
    float range_ = -1.0f;
};

class QRVISXLights : public QRObject {
public:
    static constexpr int kCount = 8;

    explicit QRVISXLights(QRObject* owner);
    ~QRVISXLights() override;
    void initialize() override;

    QRVISXGLLight* getLight(int index) const { return lights_.at(static_cast<std::size_t>(index)).get(); }

private:
    std::array<QROwned<QRVISXGLLight>, kCount> lights_;
};
