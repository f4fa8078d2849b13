#pragma once
// The game camera: the eye position and orientation that the hero (in the game) or the editor's
// free camera decide each logic frame, handed to the engine's 3D camera once per drawn frame.
// Owned by the world.

#include "core/qr_core_object.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_types.h"

class APPWRLDCamera : public QRObject {
public:
    explicit APPWRLDCamera(QRObject* owner);

    void setPosition(const Vector3& position) { position_ = position; }
    void setOrientation(const Quaternion& orientation) { orientation_ = orientation; }
    // Stretches the view along its depth (1: unscaled).
    void setDepthStretch(float stretch) { depthStretch_ = stretch; }
    const Vector3& getPosition() const { return position_; }
    const Quaternion& getOrientation() const { return orientation_; }
    float getDepthStretch() const { return depthStretch_; }
    Vector3 getForward() const;

    // Area and block of the position with divisions truncating toward zero, so a coordinate just
    // below 0 still counts as area 0, block 0.
    APPENVRBlockIndex getBlockIndex() const;

    void update() {}
    // Puts the position and orientation into the engine's 3D camera (near 0.6, far 500) and
    // activates it, which also refreshes the view frustum.
    void apply();

private:
    Vector3 position_{0.0f, 4.0f, 10.0f};
    Quaternion orientation_;
    float depthStretch_ = 1.0f;
};
