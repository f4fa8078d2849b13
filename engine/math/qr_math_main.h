#pragma once
// The math module: owns the stateless math objects that group the vector, matrix, quaternion,
// rounding, random and intersection operations, and fixes the numeric environment at start-up
// (single precision, "." as decimal separator whatever the user's locale). Owned by the engine core.

#include "core/qr_core_object.h"

class QRMATHVector2;
class QRMATHVector3;
class QRMATHVector4;
class QRMATHMatrix2;
class QRMATHMatrix3;
class QRMATHMatrix4;
class QRMATHRound;
class QRMATHRandom;
class QRMATHQuaternion;
class QRMATHUtil;

class QRMATHMain : public QRObject {
public:
    explicit QRMATHMain(QRObject* owner);
    ~QRMATHMain() override;
    void initialize() override;

    // 0 = single, 1 = double, 2 = extended. Sets the precision of the x87 unit; SSE arithmetic,
    // which float code on x86-64 uses, is single precision for floats anyway. Any other mode is
    // reported as an error and changes nothing.
    void setFloatingPointPrecision(int mode);
    // The mode last set successfully.
    int getFloatingPointPrecision() const { return precisionMode_; }

    QRMATHVector2* getVector2() const { return vector2_.get(); }
    QRMATHVector3* getVector3() const { return vector3_.get(); }
    QRMATHVector4* getVector4() const { return vector4_.get(); }
    QRMATHMatrix2* getMatrix2() const { return matrix2_.get(); }
    QRMATHMatrix3* getMatrix3() const { return matrix3_.get(); }
    QRMATHMatrix4* getMatrix4() const { return matrix4_.get(); }
    QRMATHRound* getRound() const { return round_.get(); }
    QRMATHRandom* getRandom() const { return random_.get(); }
    QRMATHQuaternion* getQuaternion() const { return quaternion_.get(); }
    QRMATHUtil* getUtil() const { return util_.get(); }

private:
    int precisionMode_ = -1;
    QROwned<QRMATHVector2> vector2_;
    QROwned<QRMATHVector3> vector3_;
    QROwned<QRMATHVector4> vector4_;
    QROwned<QRMATHMatrix2> matrix2_;
    QROwned<QRMATHMatrix3> matrix3_;
    QROwned<QRMATHMatrix4> matrix4_;
    QROwned<QRMATHRound> round_;
    QROwned<QRMATHRandom> random_;
    QROwned<QRMATHQuaternion> quaternion_;
    QROwned<QRMATHUtil> util_;
};
