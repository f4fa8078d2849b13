#include "visual/shaders/qr_visx_shadervariable.h"

#include "visual/materials/qr_visx_materialvariable.h"

#include <array>

namespace {
constexpr std::array<const char*, QRVISXShaderVariableQOR::kEngineVariableCount> kEngineNames = {
    "qr_World",
    "qr_WorldTranspose",
    "qr_WorldInverse",
    "qr_WorldInverseTranspose",
    "qr_WorldNormal",
    "qr_WorldNormalTranspose",
    "qr_WorldNormalInverse",
    "qr_WorldNormalInverseTranspose",
    "qr_View",
    "qr_ViewTranspose",
    "qr_ViewInverse",
    "qr_ViewInverseTranspose",
    "qr_ElapsedTime",
    "qr_AspectRatio",
    "qr_ViewVector",
    "qr_ViewUpVector",
    "qr_ViewRightVector",
    "qr_CameraPosition",
    "qr_Textured",
};
} // namespace

QRVISXShaderVariable::QRVISXShaderVariable(QRObject* owner, std::string_view name, int kind)
    : QRObject(owner, name), variableKind_(kind)
{
}

QRVISXShaderVariableUniform::QRVISXShaderVariableUniform(QRObject* owner, std::string_view name)
    : QRVISXShaderVariable(owner, name, kUniform)
{
}

int QRVISXShaderVariableUniform::valueTypeOfGLType(GLenum type)
{
    switch (type) {
    case GL_BOOL: return kBool;
    case GL_INT: return kInt;
    case GL_FLOAT: return kFloat;
    case GL_FLOAT_VEC2: return kVec2;
    case GL_FLOAT_VEC3: return kVec3;
    case GL_FLOAT_VEC4: return kVec4;
    case GL_FLOAT_MAT2: return kMat2;
    case GL_FLOAT_MAT3: return kMat3;
    case GL_FLOAT_MAT4: return kMat4;
    default: return kUnknown;
    }
}

int QRVISXShaderVariableUniform::poolKindOfValueType(int valueType)
{
    switch (valueType) {
    case kBool: return kMaterialVariableBool;
    case kInt: return kMaterialVariableInt;
    case kFloat: return kMaterialVariableFloat;
    case kVec2: return kMaterialVariableVector2;
    case kVec3: return kMaterialVariableVector3;
    case kVec4: return kMaterialVariableVector4;
    case kMat2: return kMaterialVariableMatrix2;
    case kMat3: return kMaterialVariableMatrix3;
    case kMat4: return kMaterialVariableMatrix4;
    default: return 0;
    }
}

QRVISXShaderVariableQOR::QRVISXShaderVariableQOR(QRObject* owner, std::string_view name)
    : QRVISXShaderVariable(owner, name, kEngine)
{
}

int QRVISXShaderVariableQOR::indexOfName(std::string_view name)
{
    for (std::size_t i = 0; i < kEngineNames.size(); ++i)
        if (name == kEngineNames[i])
            return static_cast<int>(i);
    return -1;
}

QRVISXShaderVariableTexture::QRVISXShaderVariableTexture(QRObject* owner, std::string_view name)
    : QRVISXShaderVariable(owner, name, kTexture)
{
}

int QRVISXShaderVariableTexture::textureTypeOfGLType(GLenum type)
{
    switch (type) {
    case GL_SAMPLER_1D:
    case GL_SAMPLER_1D_SHADOW:
        return 0;
    case GL_SAMPLER_2D:
    case GL_SAMPLER_2D_SHADOW:
        return 1;
    case GL_SAMPLER_3D:
        return 2;
    case GL_SAMPLER_CUBE:
        return 3;
    default:
        return -1;
    }
}
