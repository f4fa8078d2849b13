#include "math/qr_math_main.h"

#include "core/qr_core_log.h"
#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_random.h"
#include "math/qr_math_round.h"
#include "math/qr_math_util.h"
#include "math/qr_math_vector.h"

#include <clocale>
#include <string>

#if defined(__i386__) || defined(__x86_64__)
#include <fpu_control.h>
#endif

QRMATHMain::QRMATHMain(QRObject* owner) : QRObject(owner, "QR MATH Main")
{
    setFloatingPointPrecision(0);
    // Numbers in content files and logs are written and read with "."; the window framework adopts
    // the user's locale when it starts, so the numeric category is put back to "C" here.
    std::setlocale(LC_NUMERIC, "C");

    vector2_ = qrNew<QRMATHVector2>(this);
    vector3_ = qrNew<QRMATHVector3>(this);
    vector4_ = qrNew<QRMATHVector4>(this);
    matrix2_ = qrNew<QRMATHMatrix2>(this);
    matrix3_ = qrNew<QRMATHMatrix3>(this);
    matrix4_ = qrNew<QRMATHMatrix4>(this);
    round_ = qrNew<QRMATHRound>(this);
    random_ = qrNew<QRMATHRandom>(this);
    quaternion_ = qrNew<QRMATHQuaternion>(this);
    util_ = qrNew<QRMATHUtil>(this);
}

QRMATHMain::~QRMATHMain()
{
    vector2_.reset();
    vector3_.reset();
    vector4_.reset();
    matrix2_.reset();
    matrix3_.reset();
    matrix4_.reset();
    round_.reset();
    random_.reset();
    quaternion_.reset();
    util_.reset();
}

void QRMATHMain::initialize()
{
    vector2_->initialize();
    vector3_->initialize();
    vector4_->initialize();
    matrix2_->initialize();
    matrix3_->initialize();
    matrix4_->initialize();
    round_->initialize();
    random_->initialize();
    quaternion_->initialize();
    util_->initialize();
    if (auto* log = qrLog())
        log->logPlain("Math Classes Initialized!");
}

void QRMATHMain::setFloatingPointPrecision(int mode)
{
    if (mode < 0 || mode > 2) {
        reportError("setFloatingPointPrecision", "Undefined precision mode (" + std::to_string(mode) + ")");
        return;
    }
#if defined(__i386__) || defined(__x86_64__)
    static constexpr fpu_control_t kPrecision[3] = {_FPU_SINGLE, _FPU_DOUBLE, _FPU_EXTENDED};
    fpu_control_t word;
    _FPU_GETCW(word);
    word = (word & ~static_cast<fpu_control_t>(_FPU_EXTENDED)) | kPrecision[mode];
    _FPU_SETCW(word);
#endif
    precisionMode_ = mode;
}
