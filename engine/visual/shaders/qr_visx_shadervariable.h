#pragma once
// The inputs of a linked shader program, one object per active uniform: user uniforms read from
// the material variable pool, samplers set to their texel unit, and engine-supplied values (names
// starting with "qr_") computed from the transform, camera, view port and timer before each draw.
// Owned by their shader configuration.

#include "core/qr_core_object.h"

#include <GL/glew.h>

#include <string_view>

class QRVISXShaderVariable : public QRObject {
public:
    static constexpr int kUniform = 0;
    static constexpr int kTexture = 1;
    static constexpr int kEngine = 2;

    QRVISXShaderVariable(QRObject* owner, std::string_view name, int kind);

    int getVariableKind() const { return variableKind_; }
    // The program's uniform location; -1 until known or when the program has no such uniform.
    GLint getLocation() const { return location_; }
    void setLocation(GLint location) { location_ = location; }

private:
    int variableKind_;
    GLint location_ = -1;
};

class QRVISXShaderVariableUniform : public QRVISXShaderVariable {
public:
    // -1 unknown (never uploaded); 0 bool, 1 int, 2 float, 3 vec2, 4 vec3, 5 vec4, 6 mat2, 7 mat3, 8 mat4.
    enum ValueType : int {
        kUnknown = -1, kBool = 0, kInt, kFloat, kVec2, kVec3, kVec4, kMat2, kMat3, kMat4
    };

    QRVISXShaderVariableUniform(QRObject* owner, std::string_view name);

    int getValueType() const { return valueType_; }
    void setValueType(int valueType) { valueType_ = valueType; }
    // The value type of a GLSL uniform type; kUnknown for the types the pool cannot hold.
    static int valueTypeOfGLType(GLenum type);
    // The material-variable kind that holds values of this type; 0 for kUnknown.
    static int poolKindOfValueType(int valueType);

private:
    int valueType_ = kUnknown;
};

class QRVISXShaderVariableQOR : public QRVISXShaderVariable {
public:
    // The 18 transform, camera, view port and time values, and "qr_Textured" (index 18): whether a
    // texture is bound on texel unit 0, so that one shader serves textured and untextured draws
    // (an empty unit samples black on some drivers).
    static constexpr int kEngineVariableCount = 19;

    QRVISXShaderVariableQOR(QRObject* owner, std::string_view name);

    // -1 for an engine name the engine does not know: such a variable is never set.
    int getEngineVariable() const { return engineVariable_; }
    void setEngineVariable(int index) { engineVariable_ = index; }
    // The index of "qr_World" ... "qr_Textured", or -1.
    static int indexOfName(std::string_view name);

private:
    int engineVariable_ = -1;
};

class QRVISXShaderVariableTexture : public QRVISXShaderVariable {
public:
    QRVISXShaderVariableTexture(QRObject* owner, std::string_view name);

    // 0 1D, 1 2D, 2 3D, 3 cube; -1 until set.
    int getTextureType() const { return textureType_; }
    void setTextureType(int textureType) { textureType_ = textureType; }
    int getTexelUnit() const { return texelUnit_; }
    void setTexelUnit(int unit) { texelUnit_ = unit; }
    // The texture type a GLSL sampler type reads, or -1 when the type is no sampler.
    static int textureTypeOfGLType(GLenum type);

private:
    int textureType_ = -1;
    int texelUnit_ = 0;
};
