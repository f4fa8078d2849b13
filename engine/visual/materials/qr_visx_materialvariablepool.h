#pragma once
// The one global table of named, typed shader inputs: game code sets values by name, shader
// configurations register their uniforms here and read them before each draw, material instances
// put their textures in. A variable is found by name (case-sensitive) and kind. Owned by the
// material manager; variables are never removed.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"
#include "visual/materials/qr_visx_materialvariable.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QRVISXMaterialInstance;
class QRVISXTexture2;

class QRVISXMaterialVariablePool : public QRObject {
public:
    explicit QRVISXMaterialVariablePool(QRObject* owner);
    ~QRVISXMaterialVariablePool() override;

    // The variable of that name and kind, created with its default when missing (the same name
    // with another kind is another variable); null and an error for an invalid kind.
    QRVISXMaterialVariable* getVariable(std::string_view name, int kind);
    // Null when missing; never creates.
    QRVISXMaterialVariable* findVariable(std::string_view name, int kind) const;

    QRVISXMaterialVariableTexture2* getTexture2Variable(std::string_view name);
    QRVISXMaterialVariableBool* getBoolVariable(std::string_view name);
    QRVISXMaterialVariableInt* getIntVariable(std::string_view name);
    QRVISXMaterialVariableFloat* getFloatVariable(std::string_view name);
    QRVISXMaterialVariableVector2* getVector2Variable(std::string_view name);
    QRVISXMaterialVariableVector3* getVector3Variable(std::string_view name);
    QRVISXMaterialVariableVector4* getVector4Variable(std::string_view name);
    QRVISXMaterialVariableMatrix2* getMatrix2Variable(std::string_view name);
    QRVISXMaterialVariableMatrix3* getMatrix3Variable(std::string_view name);
    QRVISXMaterialVariableMatrix4* getMatrix4Variable(std::string_view name);

    void setTexture2(std::string_view name, QRVISXTexture2* texture);
    void setBool(std::string_view name, bool value);
    void setInt(std::string_view name, int value);
    void setFloat(std::string_view name, float value);
    void setVector2(std::string_view name, const Vector2& value);
    void setVector3(std::string_view name, const Vector3& value);
    void setVector4(std::string_view name, const Vector4& value);
    void setMatrix2(std::string_view name, const Matrix2& value);
    void setMatrix3(std::string_view name, const Matrix3& value);
    void setMatrix4(std::string_view name, const Matrix4& value);

    // A texture going away: no texture variable may keep pointing at it.
    void forgetTexture(const QRVISXTexture2* texture);
    // Copies the instance's textures into the pool's texture variables of the same names.
    void assignFromInstance(const QRVISXMaterialInstance& instance);

    int getVariableCount() const { return static_cast<int>(order_.size()); }
    // In creation order.
    QRVISXMaterialVariable* getVariableAt(int index) const { return order_.at(static_cast<std::size_t>(index)); }

private:
    // Looked up before every draw for each uniform, so by hash and without building a string.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    using Slots = std::array<QROwned<QRVISXMaterialVariable>, kMaterialVariableMatrix4 + 1>;

    template <class T>
    T* getTyped(std::string_view name, int kind) { return static_cast<T*>(getVariable(name, kind)); }

    std::unordered_map<std::string, Slots, NameHash, std::equal_to<>> variables_;
    std::vector<QRVISXMaterialVariable*> order_;
    std::vector<QRVISXMaterialVariableTexture2*> textureVariables_;
};
