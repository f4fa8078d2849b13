#pragma once
// Rounding: the rounding math object, owned by the math module, stateless, static operations.

#include "core/qr_core_object.h"

class QRMATHRound : public QRObject {
public:
    explicit QRMATHRound(QRObject* owner) : QRObject(owner, "QR MATH Round") {}

    // The greatest integer <= x: turns world coordinates into grid indices. Values beyond the
    // int range saturate and NaN gives 0, so a corrupt coordinate still yields an index the caller
    // can range-check.
    static int floor(float x);
    // round(value * steps) / steps with halves rounded to even: roundTo(x, 100) keeps two decimals.
    static float roundTo(float value, float steps);
};
