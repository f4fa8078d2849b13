#include "visual/materials/qr_visx_materialvariablepool.h"

#include "core/qr_core_log.h"
#include "visual/materials/qr_visx_materialinstance.h"

QRVISXMaterialVariablePool::QRVISXMaterialVariablePool(QRObject* owner)
    : QRObject(owner, "QR VISX Material Variable Pool")
{
}

QRVISXMaterialVariablePool::~QRVISXMaterialVariablePool() = default;

QRVISXMaterialVariable* QRVISXMaterialVariablePool::findVariable(std::string_view name, int kind) const
{
    if (!QRVISXMaterialVariable::isValidKind(kind))
        return nullptr;
    const auto it = variables_.find(name);
    return it == variables_.end() ? nullptr : it->second[static_cast<std::size_t>(kind)].get();
}

QRVISXMaterialVariable* QRVISXMaterialVariablePool::getVariable(std::string_view name, int kind)
{
    if (!QRVISXMaterialVariable::isValidKind(kind)) {
        reportError("getVariable", "Unknown variable type");
        return nullptr;
    }
    auto it = variables_.find(name);
    if (it == variables_.end())
        it = variables_.emplace(std::string(name), Slots{}).first;
    auto& slot = it->second[static_cast<std::size_t>(kind)];
    if (!slot) {
        logDebug("Creating material variable: " + std::string(name));
        slot = QRVISXMaterialVariable::create(kind, this, name);
        order_.push_back(slot.get());
        if (kind == kMaterialVariableTexture2)
            textureVariables_.push_back(static_cast<QRVISXMaterialVariableTexture2*>(slot.get()));
    }
    return slot.get();
}

QRVISXMaterialVariableTexture2* QRVISXMaterialVariablePool::getTexture2Variable(std::string_view name)
{
    return getTyped<QRVISXMaterialVariableTexture2>(name, kMaterialVariableTexture2);
}
QRVISXMaterialVariableBool* QRVISXMaterialVariablePool::getBoolVariable(std::string_view name)
{
    return getTyped<QRVISXMaterialVariableBool>(name, kMaterialVariableBool);
}
QRVISXMaterialVariableInt* QRVISXMaterialVariablePool::getIntVariable(std::string_view name)
{
    return getTyped<QRVISXMaterialVariableInt>(name, kMaterialVariableInt);
}
QRVISXMaterialVariableFloat* QRVISXMaterialVariablePool::getFloatVariable(std::string_view name)
{
    return getTyped<QRVISXMaterialVariableFloat>(name, kMaterialVariableFloat);
}
QRVISXMaterialVariableVector2* QRVISXMaterialVariablePool::getVector2Variable(std::string_view name)
{
    return getTyped<QRVISXMaterialVariableVector2>(name, kMaterialVariableVector2);
}
QRVISXMaterialVariableVector3* QRVISXMaterialVariablePool::getVector3Variable(std::string_view name)
{
    return getTyped<QRVISXMaterialVariableVector3>(name, kMaterialVariableVector3);
}
QRVISXMaterialVariableVector4* QRVISXMaterialVariablePool::getVector4Variable(std::string_view name)
{
    return getTyped<QRVISXMaterialVariableVector4>(name, kMaterialVariableVector4);
}
QRVISXMaterialVariableMatrix2* QRVISXMaterialVariablePool::getMatrix2Variable(std::string_view name)
{
    return getTyped<QRVISXMaterialVariableMatrix2>(name, kMaterialVariableMatrix2);
}
QRVISXMaterialVariableMatrix3* QRVISXMaterialVariablePool::getMatrix3Variable(std::string_view name)
{
    return getTyped<QRVISXMaterialVariableMatrix3>(name, kMaterialVariableMatrix3);
}
QRVISXMaterialVariableMatrix4* QRVISXMaterialVariablePool::getMatrix4Variable(std::string_view name)
{
    return getTyped<QRVISXMaterialVariableMatrix4>(name, kMaterialVariableMatrix4);
}

void QRVISXMaterialVariablePool::setTexture2(std::string_view name, QRVISXTexture2* texture)
{
    getTexture2Variable(name)->setTexture(texture);
}
void QRVISXMaterialVariablePool::setBool(std::string_view name, bool value) { getBoolVariable(name)->setValue(value); }
void QRVISXMaterialVariablePool::setInt(std::string_view name, int value) { getIntVariable(name)->setValue(value); }
void QRVISXMaterialVariablePool::setFloat(std::string_view name, float value) { getFloatVariable(name)->setValue(value); }
void QRVISXMaterialVariablePool::setVector2(std::string_view name, const Vector2& value)
{
    getVector2Variable(name)->setValue(value);
}
void QRVISXMaterialVariablePool::setVector3(std::string_view name, const Vector3& value)
{
    getVector3Variable(name)->setValue(value);
}
void QRVISXMaterialVariablePool::setVector4(std::string_view name, const Vector4& value)
{
    getVector4Variable(name)->setValue(value);
}
void QRVISXMaterialVariablePool::setMatrix2(std::string_view name, const Matrix2& value)
{
    getMatrix2Variable(name)->setValue(value);
}
void QRVISXMaterialVariablePool::setMatrix3(std::string_view name, const Matrix3& value)
{
    getMatrix3Variable(name)->setValue(value);
}
void QRVISXMaterialVariablePool::setMatrix4(std::string_view name, const Matrix4& value)
{
    getMatrix4Variable(name)->setValue(value);
}

void QRVISXMaterialVariablePool::forgetTexture(const QRVISXTexture2* texture)
{
    if (!texture)
        return;
    for (auto* variable : textureVariables_)
        if (variable->getTexture() == texture)
            variable->setTexture(nullptr);
}

void QRVISXMaterialVariablePool::assignFromInstance(const QRVISXMaterialInstance& instance)
{
    const int count = instance.getVariableCount();
    for (int i = 0; i < count; ++i) {
        const QRVISXMaterialVariable* source = instance.getVariableAt(i);
        if (!source)
            continue;
        if (source->getVariableKind() != kMaterialVariableTexture2) {
            reportError("assignVariableValue", "Unknown variable type");
            continue;
        }
        getVariable(source->getName(), kMaterialVariableTexture2)->assign(*source);
    }
}
