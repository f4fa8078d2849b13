#pragma once
// Cameras: each owns a view and a projection matrix, computes them from its own settings and loads
// them into OpenGL. The 3D camera looks from a position along an orientation (perspective, or
// orthographic for the shadow pass); the 2D camera maps x over +-aspect and y over +-1 for overlays.
// Owned by the camera manager.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

class QRVISXCameraManager;

class QRVISXCamera : public QRObject {
public:
    QRVISXCamera(QRObject* manager, std::string_view name);

    virtual void applyProjection() {}
    virtual void applyView() {}
    virtual void apply();
    // Becomes the current camera, applies itself and refreshes the frustum.
    virtual void activate();

    // As computed by the last apply.
    Matrix4 getViewMatrix() const { return view_; }
    Matrix4 getProjectionMatrix() const { return projection_; }

protected:
    QRVISXCameraManager* manager() const;
    // The viewport's width over height; 1 before the visual module exists.
    static float viewportAspect();
    void loadProjection();
    void loadView();

    Matrix4 view_;
    Matrix4 projection_;
};

class QRVISXCamera3D : public QRVISXCamera {
public:
    // Everything the camera's matrices are computed from, so a pass that borrows the one 3D camera
    // (the shadow map's view from the sun) can give it back exactly as it found it.
    struct Settings {
        Vector3 position;
        Quaternion orientation;
        float fieldOfView;
        float fieldOfViewDivisor;
        float aspectFactor;
        float nearPlane;
        float farPlane;
        Vector3 viewScale;
        bool orthographic;
        Vector3 orthoExtents;
    };

    QRVISXCamera3D(QRObject* manager, std::string_view name);

    void applyProjection() override;
    void applyView() override;

    void setPosition(const Vector3& position) { position_ = position; }
    void setOrientation(const Quaternion& orientation) { orientation_ = orientation; }
    void setClipPlanes(float nearPlane, float farPlane);
    void setViewScale(const Vector3& scale) { viewScale_ = scale; }
    void setOrthographic(bool orthographic) { orthographic_ = orthographic; }
    void setOrthoExtents(const Vector3& extents) { orthoExtents_ = extents; }
    void setFieldOfView(float degrees) { fieldOfView_ = degrees; }
    void setFieldOfViewDivisor(float divisor) { fieldOfViewDivisor_ = divisor; }
    void setAspectFactor(float factor) { aspectFactor_ = factor; }

    const Vector3& getPosition() const { return position_; }
    const Quaternion& getOrientation() const { return orientation_; }
    float getNearPlane() const { return nearPlane_; }
    float getFarPlane() const { return farPlane_; }
    bool isOrthographic() const { return orthographic_; }

    Settings getSettings() const;
    // Takes every setting back; the matrices follow at the next apply.
    void setSettings(const Settings& settings);

private:
    Vector3 position_{0.0f, 0.0f, 0.0f};
    Quaternion orientation_{0.0f, 0.0f, 0.0f, 1.0f};
    float fieldOfView_ = 45.0f;
    float fieldOfViewDivisor_ = 1.0f;
    float aspectFactor_ = 1.0f;
    float nearPlane_ = 0.6f;
    float farPlane_ = 200.0f;
    Vector3 viewScale_{1.0f, 1.0f, 1.0f};
    bool orthographic_ = false;
    Vector3 orthoExtents_{1.0f, 1.0f, 1.0f};
};

class QRVISXCamera2D : public QRVISXCamera {
public:
    QRVISXCamera2D(QRObject* manager, std::string_view name);

    void applyProjection() override;
    void applyView() override;

    void setPosition(float x, float y) { position_ = {x, y}; }
    void setRotation(float degrees) { rotation_ = degrees; }
    void setZoom(float zoom) { zoom_ = zoom; }
    void setDepthRange(float nearPlane, float farPlane);
    void setAspectFactor(float factor) { aspectFactor_ = factor; }
    void setScale(float x, float y) { scale_ = {x, y}; }

    const Vector2& getPosition() const { return position_; }

private:
    Vector2 position_{0.0f, 0.0f};
    float rotation_ = 0.0f;
    float zoom_ = 1.0f;
    float nearPlane_ = -1.0f;
    float farPlane_ = 1.0f;
    float aspectFactor_ = 1.0f;
    Vector2 scale_{1.0f, 1.0f};
};
