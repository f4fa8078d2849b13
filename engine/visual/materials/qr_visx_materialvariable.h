#pragma once
// Named, typed values that shaders read: one class per kind, each with its default. The pool of
// the material manager owns the global ones; material instances own their own texture variables.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <type_traits>

class QRVISXTexture2;

// Kind numbers as stored and compared everywhere; 2 and 3 are not used.
enum QRVISXMaterialVariableKind : int {
    kMaterialVariableTexture2 = 1,
    kMaterialVariableBool = 4,
    kMaterialVariableInt = 5,
    kMaterialVariableFloat = 6,
    kMaterialVariableVector2 = 7,
    kMaterialVariableVector3 = 8,
    kMaterialVariableVector4 = 9,
    kMaterialVariableMatrix2 = 10,
    kMaterialVariableMatrix3 = 11,
    kMaterialVariableMatrix4 = 12,
};

class QRVISXMaterialVariable : public QRObject {
public:
    QRVISXMaterialVariable(QRObject* owner, std::string_view name, int kind);

    int getVariableKind() const { return variableKind_; }
    // Back to the kind's default value.
    virtual void reset() = 0;
    // Copies the value of a variable of the same kind; the name stays.
    void assign(const QRObject& source) override;

    static bool isValidKind(int kind);
    // A new variable of that kind with its default, or null for an invalid kind.
    static QROwned<QRVISXMaterialVariable> create(int kind, QRObject* owner, std::string_view name);

protected:
    virtual void copyValue(const QRVISXMaterialVariable& source) = 0;

private:
    int variableKind_;
};

// The texture pointer does not own: whoever acquired the asset releases it.
class QRVISXMaterialVariableTexture2 : public QRVISXMaterialVariable {
public:
    QRVISXMaterialVariableTexture2(QRObject* owner, std::string_view name)
        : QRVISXMaterialVariable(owner, name, kMaterialVariableTexture2)
    {
    }
    QRVISXTexture2* getTexture() const { return texture_; }
    void setTexture(QRVISXTexture2* texture) { texture_ = texture; }
    void reset() override { texture_ = nullptr; }

protected:
    void copyValue(const QRVISXMaterialVariable& source) override
    {
        texture_ = static_cast<const QRVISXMaterialVariableTexture2&>(source).texture_;
    }

private:
    QRVISXTexture2* texture_ = nullptr;
};

// One class per plain value kind; Default gives the kind's reset value.
template <class T, int Kind>
class QRVISXMaterialVariableValue : public QRVISXMaterialVariable {
public:
    QRVISXMaterialVariableValue(QRObject* owner, std::string_view name)
        : QRVISXMaterialVariable(owner, name, Kind), value_(defaultValue())
    {
    }
    const T& getValue() const { return value_; }
    void setValue(const T& value) { value_ = value; }
    void reset() override { value_ = defaultValue(); }
    // Zero for numbers and vectors, identity for matrices.
    static T defaultValue()
    {
        T value{};
        if constexpr (std::is_same_v<T, Matrix2> || std::is_same_v<T, Matrix3> || std::is_same_v<T, Matrix4>) {
            constexpr int n = sizeof(T) == sizeof(Matrix2) ? 2 : sizeof(T) == sizeof(Matrix3) ? 3 : 4;
            for (int i = 0; i < n; ++i)
                value[i * n + i] = 1.0f;
        }
        return value;
    }

protected:
    void copyValue(const QRVISXMaterialVariable& source) override
    {
        value_ = static_cast<const QRVISXMaterialVariableValue&>(source).value_;
    }

private:
    T value_;
};

// Real classes rather than aliases, so that they can be forward-declared and log their own names.
class QRVISXMaterialVariableBool : public QRVISXMaterialVariableValue<bool, kMaterialVariableBool> {
public:
    using QRVISXMaterialVariableValue::QRVISXMaterialVariableValue;
};
class QRVISXMaterialVariableInt : public QRVISXMaterialVariableValue<int, kMaterialVariableInt> {
public:
    using QRVISXMaterialVariableValue::QRVISXMaterialVariableValue;
};
class QRVISXMaterialVariableFloat : public QRVISXMaterialVariableValue<float, kMaterialVariableFloat> {
public:
    using QRVISXMaterialVariableValue::QRVISXMaterialVariableValue;
};
class QRVISXMaterialVariableVector2 : public QRVISXMaterialVariableValue<Vector2, kMaterialVariableVector2> {
public:
    using QRVISXMaterialVariableValue::QRVISXMaterialVariableValue;
};
class QRVISXMaterialVariableVector3 : public QRVISXMaterialVariableValue<Vector3, kMaterialVariableVector3> {
public:
    using QRVISXMaterialVariableValue::QRVISXMaterialVariableValue;
};
class QRVISXMaterialVariableVector4 : public QRVISXMaterialVariableValue<Vector4, kMaterialVariableVector4> {
public:
    using QRVISXMaterialVariableValue::QRVISXMaterialVariableValue;
};
class QRVISXMaterialVariableMatrix2 : public QRVISXMaterialVariableValue<Matrix2, kMaterialVariableMatrix2> {
public:
    using QRVISXMaterialVariableValue::QRVISXMaterialVariableValue;
};
class QRVISXMaterialVariableMatrix3 : public QRVISXMaterialVariableValue<Matrix3, kMaterialVariableMatrix3> {
public:
    using QRVISXMaterialVariableValue::QRVISXMaterialVariableValue;
};
class QRVISXMaterialVariableMatrix4 : public QRVISXMaterialVariableValue<Matrix4, kMaterialVariableMatrix4> {
public:
    using QRVISXMaterialVariableValue::QRVISXMaterialVariableValue;
};
