#include "math/qr_math_util.h"

#include "math/qr_math_intersection.h"

QRMATHUtil::QRMATHUtil(QRObject* owner) : QRObject(owner, "QR MATH Util")
{
    movement_ = qrNew<QRMATHMovement>(this);
    intersection_ = qrNew<QRMATHIntersection>(this);
    raycast_ = qrNew<QRMATHRaycast>(this);
    transform_ = qrNew<QRMATHTransform>(this);
}

QRMATHUtil::~QRMATHUtil()
{
    movement_.reset();
    intersection_.reset();
    raycast_.reset();
    transform_.reset();
}

void QRMATHUtil::initialize()
{
    movement_->initialize();
    intersection_->initialize();
    raycast_->initialize();
    transform_->initialize();
}
