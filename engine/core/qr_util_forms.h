#pragma once
// Moves values between the editor windows' controls and the engine: numbers, texts and vectors
// into and out of edit fields in the engine's text forms (floats with two decimals), booleans
// into check boxes, resource lists into list and combo boxes. Owned by the utility hub; the
// operations are static.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <cstdint>
#include <string>

class QLineEdit;
class QCheckBox;
class QListWidget;
class QComboBox;
class QRRESCList;

class QRUTILForms : public QRObject {
public:
    explicit QRUTILForms(QRObject* owner) : QRObject(owner, "QR UTIL Forms") {}

    static void setEditInt(QLineEdit& edit, std::int32_t value);
    static void setEditFloat(QLineEdit& edit, float value);
    static void setEditString(QLineEdit& edit, const std::string& value);
    static void setEditVector3(QLineEdit& x, QLineEdit& y, QLineEdit& z, const Vector3& value);
    static void setCheckBox(QCheckBox& box, bool value);

    // Through the engine's conversions: a text that is no number reports and reads as 0.
    static std::int32_t getEditInt(const QLineEdit& edit);
    static float getEditFloat(const QLineEdit& edit);
    static std::string getEditString(const QLineEdit& edit);
    static Vector3 getEditVector3(const QLineEdit& x, const QLineEdit& y, const QLineEdit& z);
    static bool getCheckBox(const QCheckBox& box);

    // One entry per item, no "none" entry; the box keeps its top row and selection.
    static void fillListBox(QListWidget& box, const QRRESCList& list);
    static void fillComboBox(QComboBox& box, const QRRESCList& list);
};
