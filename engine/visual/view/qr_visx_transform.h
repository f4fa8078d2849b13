#pragma once
// The world (model) transform every draw call builds and applies, and the view-side queries that
// shader variables read. Each operation on the world matrix post-multiplies, so the last call acts
// first on a model's vertices. QRVISXTransform is owned by the visual module and owns both parts.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

class QRVISXTransformWorld : public QRObject {
public:
    explicit QRVISXTransformWorld(QRObject* owner);

    void reset();
    void translate(const Vector3& offset);
    void rotate(const Quaternion& rotation);
    void scale(float factor);
    void scaleVector(const Vector3& factors);
    void rotateY(float degrees);
    // Loads the current camera's view matrix times the world matrix into the model-view stack.
    void apply();

    const Matrix4& getMatrix() const { return matrix_; }
    Matrix4 getInverseMatrix() const;
    Matrix3 getRotationMatrix() const;
    Matrix3 getInverseRotationMatrix() const;
    Matrix4 getModelViewMatrix() const;

private:
    Matrix4 matrix_;
};

class QRVISXTransformView : public QRObject {
public:
    explicit QRVISXTransformView(QRObject* owner) : QRObject(owner, "QR VISX Transform View") {}

    // The current camera's view matrix; identity without a current camera.
    Matrix4 getViewMatrix() const;
    Matrix4 getInverseViewMatrix() const;
    // The current 3D camera's position, a 2D camera's (x, y, 0), or the origin without a camera.
    Vector3 getViewPosition() const;
};

class QRVISXTransform : public QRObject {
public:
    explicit QRVISXTransform(QRObject* owner);
    ~QRVISXTransform() override;
    void initialize() override;

    QRVISXTransformWorld* getWorld() const { return world_.get(); }
    QRVISXTransformView* getView() const { return view_.get(); }

private:
    QROwned<QRVISXTransformWorld> world_;
    QROwned<QRVISXTransformView> view_;
};
