#pragma once
// The math utility object: groups the movement, intersection, raycast and transform math objects.
// Owned by the math module; owns its four members.

#include "core/qr_core_object.h"

class QRMATHIntersection;
class QRMATHRaycast;

class QRMATHMovement : public QRObject {
public:
    explicit QRMATHMovement(QRObject* owner) : QRObject(owner, "QR MATH Movement") {}
};

class QRMATHTransform : public QRObject {
public:
    explicit QRMATHTransform(QRObject* owner) : QRObject(owner, "QR MATH Transform") {}
};

class QRMATHUtil : public QRObject {
public:
    explicit QRMATHUtil(QRObject* owner);
    ~QRMATHUtil() override;
    void initialize() override;

    QRMATHMovement* getMovement() const { return movement_.get(); }
    QRMATHIntersection* getIntersection() const { return intersection_.get(); }
    QRMATHRaycast* getRaycast() const { return raycast_.get(); }
    QRMATHTransform* getTransform() const { return transform_.get(); }

private:
    QROwned<QRMATHMovement> movement_;
    QROwned<QRMATHIntersection> intersection_;
    QROwned<QRMATHRaycast> raycast_;
    QROwned<QRMATHTransform> transform_;
};
