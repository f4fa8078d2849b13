#pragma once
// The utility hub: clamping and min/max helpers, and the utility objects the engine shares.
// Owned by the engine core.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

class QRUTILConvert;
class QRUTILStrings;
class QRUTILForms;

class QRUTILDialogs : public QRObject {
public:
    explicit QRUTILDialogs(QRObject* owner) : QRObject(owner, "QR UTIL Dialogs") {}
};

class QRUTILMain : public QRObject {
public:
    explicit QRUTILMain(QRObject* owner);
    ~QRUTILMain() override;
    void initialize() override;

    static int clampInt(int value, int low, int high);
    static float clampFloat(float value, float low, float high);
    static float minFloat(float a, float b) { return a < b ? a : b; }
    static float maxFloat(float a, float b) { return a > b ? a : b; }
    static int maxInt(int a, int b) { return a > b ? a : b; }
    // Component-wise: the corners of the box around both points.
    static Vector3 minVector3(const Vector3& a, const Vector3& b);
    static Vector3 maxVector3(const Vector3& a, const Vector3& b);

    QRUTILConvert* getConvert() const { return convert_.get(); }
    QRUTILStrings* getStrings() const { return strings_.get(); }
    QRUTILForms* getForms() const { return forms_.get(); }
    QRUTILDialogs* getDialogs() const { return dialogs_.get(); }

private:
    QROwned<QRUTILConvert> convert_;
    QROwned<QRUTILStrings> strings_;
    QROwned<QRUTILForms> forms_;
    QROwned<QRUTILDialogs> dialogs_;
};

// The process-wide utility hub, or null when no core exists.
QRUTILMain* qrUtilities();
