#include "visual/materials/qr_visx_materialvariable.h"

QRVISXMaterialVariable::QRVISXMaterialVariable(QRObject* owner, std::string_view name, int kind)
    : QRObject(owner, name), variableKind_(kind)
{
}

void QRVISXMaterialVariable::assign(const QRObject& source)
{
    const auto* variable = dynamic_cast<const QRVISXMaterialVariable*>(&source);
    if (variable && variable != this && variable->getVariableKind() == variableKind_)
        copyValue(*variable);
}

bool QRVISXMaterialVariable::isValidKind(int kind)
{
    return kind == kMaterialVariableTexture2 || (kind >= kMaterialVariableBool && kind <= kMaterialVariableMatrix4);
}

QROwned<QRVISXMaterialVariable> QRVISXMaterialVariable::create(int kind, QRObject* owner, std::string_view name)
{
    switch (kind) {
    case kMaterialVariableTexture2: return qrNew<QRVISXMaterialVariableTexture2>(owner, name);
    case kMaterialVariableBool: return qrNew<QRVISXMaterialVariableBool>(owner, name);
    case kMaterialVariableInt: return qrNew<QRVISXMaterialVariableInt>(owner, name);
    case kMaterialVariableFloat: return qrNew<QRVISXMaterialVariableFloat>(owner, name);
    case kMaterialVariableVector2: return qrNew<QRVISXMaterialVariableVector2>(owner, name);
    case kMaterialVariableVector3: return qrNew<QRVISXMaterialVariableVector3>(owner, name);
    case kMaterialVariableVector4: return qrNew<QRVISXMaterialVariableVector4>(owner, name);
    case kMaterialVariableMatrix2: return qrNew<QRVISXMaterialVariableMatrix2>(owner, name);
    case kMaterialVariableMatrix3: return qrNew<QRVISXMaterialVariableMatrix3>(owner, name);
    case kMaterialVariableMatrix4: return qrNew<QRVISXMaterialVariableMatrix4>(owner, name);
    default: return nullptr;
    }
}
