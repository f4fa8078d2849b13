#pragma once
// Compiles a material script into the passes of a material: first the material's name and default
// pass, then one command stream per pass (render states, texture requests, shader selection,
// reset, like, clear and ignore), then the default pass is looked up. Created by the material
// for one compile; the generator it owns collects the commands of the pass being built.

#include "resource/qr_resc_parser.h"
#include "resource/qr_resc_stringlist.h"

#include <cstdint>
#include <string>

class QRRESCStreamGenerator;
class QRVISXMaterial;
class QRVISXMaterialPass;

// The opcodes of a pass command stream and the sub-commands of opcode 3 (render states).
namespace QRVISXMaterialOpcode {
constexpr std::int32_t kClear = 0;
constexpr std::int32_t kReset = 1;
constexpr std::int32_t kLike = 2;
constexpr std::int32_t kSetState = 3;
constexpr std::int32_t kSetTexture = 4;
constexpr std::int32_t kSetShader = 8;
constexpr std::int32_t kIgnore = 10;
} // namespace QRVISXMaterialOpcode

namespace QRVISXMaterialState {
constexpr std::int32_t kAlphaTest = 0;
constexpr std::int32_t kAlphaFunc = 1;
constexpr std::int32_t kAlphaThreshold = 2;
constexpr std::int32_t kBlending = 3;
constexpr std::int32_t kBlendingMode = 4;
constexpr std::int32_t kColor = 5;
constexpr std::int32_t kCullFace = 6;
constexpr std::int32_t kCullBackSides = 7;
constexpr std::int32_t kCounterClockwiseWinding = 8;
constexpr std::int32_t kDepthTest = 9;
constexpr std::int32_t kDepthFunc = 10;
constexpr std::int32_t kDepthWrite = 11;
constexpr std::int32_t kLineWidth = 12;
constexpr std::int32_t kPointSize = 13;
constexpr std::int32_t kPolygonMode = 14;
constexpr std::int32_t kCount = 15;

// How the value of a sub-command is written: one byte, a 32-bit integer, a single or four singles.
enum class ValueType { Bool, Int, Float, Vector4 };
ValueType valueTypeOf(std::int32_t subCommand);
} // namespace QRVISXMaterialState

class QRVISXMaterialCompiler : public QRRESCParser {
public:
    explicit QRVISXMaterialCompiler(QRObject* owner);
    ~QRVISXMaterialCompiler() override;

    // False (with an error) without a target or a script, or when compiling threw. A line that
    // starts with "pass" but is no "pass <name> :" opens no pass (a warning in the log).
    bool compile(QRVISXMaterial* material, const QRRESCStringList* script);

    QRRESCStreamGenerator& getGenerator() const { return *generator_; }

private:
    enum class SetMode { Set, Enable, Disable };

    void readMaterialHeader();
    void buildPasses();
    void finishPass(QRVISXMaterialPass* pass);
    void parseGroupStatement(int statement, std::int32_t opcode);
    void parseLikeStatement(int statement);
    void parseSetStatement(int statement, SetMode mode);
    void parseSetTextureStatement(int statement, std::int32_t textureType);
    void parseSetShaderStatement(int statement);
    void parseRenderStateStatement(int statement, const std::string& what, SetMode mode);
    // The statement as written, for warnings.
    std::string statementText(int statement) const;

    QRVISXMaterial* material_ = nullptr;
    QROwned<QRRESCStreamGenerator> generator_;
};
