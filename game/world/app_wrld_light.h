#pragma once
// The sun: one directional light with fixed colours, published every rendered frame as the
// material variables "LightDirection", "LightDiffuse" and "LightAmbient", the only way shaders
// learn about it. Owned by the world.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

class APPWRLDLight : public QRObject {
public:
    explicit APPWRLDLight(QRObject* owner);

    void initialize() override;
    // The sun does not move.
    void update();
    // Sets the three pool variables; once per rendered frame, before anything lit is drawn.
    void apply();

    const Vector3& getDiffuse() const { return diffuse_; }
    const Vector3& getAmbient() const { return ambient_; }
    // Unit length, pointing from the ground towards the sun.
    Vector3 getDirection() const;

private:
    Vector3 diffuse_{0.7f, 0.7f, 0.7f};
    Vector3 ambient_{0.3f, 0.3f, 0.3f};
    // Kept as written; getDirection normalises it.
    Vector3 direction_{0.0f, 0.7f, -0.7f};
};
