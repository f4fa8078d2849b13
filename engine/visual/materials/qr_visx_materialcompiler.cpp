#include "visual/materials/qr_visx_materialcompiler.h"

#include "resource/qr_resc_stream.h"
#include "resource/qr_resc_streamgenerator.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_material.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/textures/qr_visx_texturemanager.h"

#include <array>
#include <exception>
#include <optional>

namespace {

enum class StateValue { Bool, Comparison, Float, BlendingMode, Color, PolygonMode };

struct StateWord {
    const char* word;
    std::int32_t subCommand;
    StateValue value;
};

constexpr std::array<StateWord, QRVISXMaterialState::kCount> kStateWords = {{
    {"alphatest", QRVISXMaterialState::kAlphaTest, StateValue::Bool},
    {"alphafunc", QRVISXMaterialState::kAlphaFunc, StateValue::Comparison},
    {"alphathreshold", QRVISXMaterialState::kAlphaThreshold, StateValue::Float},
    {"blending", QRVISXMaterialState::kBlending, StateValue::Bool},
    {"blendingmode", QRVISXMaterialState::kBlendingMode, StateValue::BlendingMode},
    {"color", QRVISXMaterialState::kColor, StateValue::Color},
    {"cullface", QRVISXMaterialState::kCullFace, StateValue::Bool},
    {"cullbacksides", QRVISXMaterialState::kCullBackSides, StateValue::Bool},
    {"counterclockwisewinding", QRVISXMaterialState::kCounterClockwiseWinding, StateValue::Bool},
    {"depthtest", QRVISXMaterialState::kDepthTest, StateValue::Bool},
    {"depthfunc", QRVISXMaterialState::kDepthFunc, StateValue::Comparison},
    {"depthwrite", QRVISXMaterialState::kDepthWrite, StateValue::Bool},
    {"linewidth", QRVISXMaterialState::kLineWidth, StateValue::Float},
    {"pointsize", QRVISXMaterialState::kPointSize, StateValue::Float},
    {"polygonmode", QRVISXMaterialState::kPolygonMode, StateValue::PolygonMode},
}};

// In the order of the OpenGL comparison functions GL_NEVER (0x0200) .. GL_ALWAYS (0x0207).
constexpr std::array<const char*, 8> kComparisonWords = {"never",   "less",     "equal",        "lessequal",
                                                         "greater", "notequal", "greaterequal", "always"};
constexpr std::array<const char*, 6> kBlendingModeWords = {"opaque", "additive", "negative", "average", "min", "max"};
constexpr std::array<const char*, 3> kPolygonModeWords = {"solid", "wireframe", "pointcloud"};
constexpr std::array<const char*, 4> kTextureTypeWords = {"texture1d", "texture2d", "texture3d", "texturecube"};

template <std::size_t N>
int indexOfWord(const std::array<const char*, N>& words, const std::string& word)
{
    for (std::size_t i = 0; i < N; ++i)
        if (word == words[i])
            return static_cast<int>(i);
    return -1;
}

int groupOfWord(const std::string& word)
{
    static constexpr std::array<const char*, 5> kGroups = {"states", "textures", "rendertargets", "shaders", "lods"};
    return indexOfWord(kGroups, word) + 1;
}

QRVISXMaterialVariablePool* variablePool()
{
    auto* visual = qrVisual();
    auto* materials = visual ? visual->getMaterialManager() : nullptr;
    return materials ? materials->getVariablePool() : nullptr;
}

} // namespace

QRVISXMaterialState::ValueType QRVISXMaterialState::valueTypeOf(std::int32_t subCommand)
{
    switch (subCommand) {
    case kAlphaFunc:
    case kBlendingMode:
    case kDepthFunc:
    case kPolygonMode:
        return ValueType::Int;
    case kAlphaThreshold:
    case kLineWidth:
    case kPointSize:
        return ValueType::Float;
    case kColor:
        return ValueType::Vector4;
    default:
        return ValueType::Bool;
    }
}

QRVISXMaterialCompiler::QRVISXMaterialCompiler(QRObject* owner) : QRRESCParser(owner, "QR RESC Material Compiler")
{
    generator_ = qrNew<QRRESCStreamGenerator>(this, "Material Pass Command Stream Generator");
}

QRVISXMaterialCompiler::~QRVISXMaterialCompiler() = default;

bool QRVISXMaterialCompiler::compile(QRVISXMaterial* material, const QRRESCStringList* script)
{
    material_ = material;
    if (!material) {
        reportError("compile", "No target material specified to compile to");
        return false;
    }
    if (!script) {
        reportError("compile", "No script source specified to compile from");
        return false;
    }
    logDebug("Compiling material script...");
    try {
        parse(script);
        readMaterialHeader();
        buildPasses();
        // The default pass is looked up once all passes exist, so it may be named before them.
        for (int statement = 0; statement < getStatementCount(); ++statement) {
            std::string name;
            if (keywordIs(statement, 0, "default") && keywordIs(statement, 1, "pass") && getToken(statement, 2, name))
                material_->setDefaultPass(material_->findPass(name));
        }
    } catch (const std::exception&) {
        reportError("compile", "There was an error while compiling the material script");
        return false;
    }
    return true;
}

void QRVISXMaterialCompiler::readMaterialHeader()
{
    for (int statement = 0; statement < getStatementCount(); ++statement) {
        std::string name;
        if (keywordIs(statement, 0, "material") && getToken(statement, 1, name))
            material_->setName(name);
    }
}

void QRVISXMaterialCompiler::buildPasses()
{
    QRVISXMaterialPass* open = nullptr;
    generator_->clear();
    for (int statement = 0; statement < getStatementCount(); ++statement) {
        std::string keyword;
        getLowerToken(statement, 0, keyword);
        if (keyword == "pass") {
            std::string name;
            // Only "pass <name> :" opens a pass. Any other line starting with "pass" is no pass
            // statement: the commands after it stay in the open pass, as stored scripts expect.
            if (!getToken(statement, 1, name) || name == ":" || !tokenIs(statement, 2, ":")) {
                logWarning("compile", "Not a pass statement (\"pass <name> :\"), ignored: " +
                                          statementText(statement));
                continue;
            }
            if (open)
                finishPass(open);
            logDebug("Creating Pass: \"" + name + "\"");
            open = material_->addPass(name);
            generator_->clear();
            continue;
        }
        // Statements before the first pass belong to the header (or nowhere).
        if (!open)
            continue;
        if (keyword == "like")
            parseLikeStatement(statement);
        else if (keyword == "clear")
            parseGroupStatement(statement, QRVISXMaterialOpcode::kClear);
        else if (keyword == "reset")
            parseGroupStatement(statement, QRVISXMaterialOpcode::kReset);
        else if (keyword == "set")
            parseSetStatement(statement, SetMode::Set);
        else if (keyword == "enable")
            parseSetStatement(statement, SetMode::Enable);
        else if (keyword == "disable")
            parseSetStatement(statement, SetMode::Disable);
        else if (keyword == "ignore")
            generator_->addCommand(QRVISXMaterialOpcode::kIgnore);
        else if (keyword != "material" && keyword != "default")
            logWarning("compile", "Unknown material command ignored: " + statementText(statement));
    }
    if (open)
        finishPass(open);
}

void QRVISXMaterialCompiler::finishPass(QRVISXMaterialPass* pass)
{
    generator_->generate(pass->getCommandStream());
}

void QRVISXMaterialCompiler::parseGroupStatement(int statement, std::int32_t opcode)
{
    std::string word;
    getLowerToken(statement, 1, word);
    generator_->addCommand(opcode)->appendInt(groupOfWord(word));
}

void QRVISXMaterialCompiler::parseLikeStatement(int statement)
{
    std::string name;
    if (!getToken(statement, 1, name)) {
        logWarning("compile", "A like statement needs a pass name: " + statementText(statement));
        return;
    }
    generator_->addCommand(QRVISXMaterialOpcode::kLike)->appendString(name);
}

void QRVISXMaterialCompiler::parseSetStatement(int statement, SetMode mode)
{
    std::string what;
    if (!getLowerToken(statement, 1, what)) {
        logWarning("compile", "Nothing to set: " + statementText(statement));
        return;
    }
    if (const int textureType = indexOfWord(kTextureTypeWords, what); textureType >= 0)
        parseSetTextureStatement(statement, textureType);
    else if (what == "shader")
        parseSetShaderStatement(statement);
    else if (what != "rendering" && what != "lod")
        parseRenderStateStatement(statement, what, mode);
}

void QRVISXMaterialCompiler::parseSetTextureStatement(int statement, std::int32_t textureType)
{
    std::string variable;
    if (!getToken(statement, 2, variable)) {
        logWarning("compile", "A texture statement needs a variable name: " + statementText(statement));
        return;
    }
    std::int32_t unit = 0;
    if (tokenIs(statement, 3, "to") && tokenIs(statement, 4, "texelunit")) {
        if (!getIntToken(statement, 5, unit))
            logWarning("compile", "Texel unit is not a number, unit 0 is used: " + statementText(statement));
        else if (unit < 0 || unit >= QRVISXTextureManager::kUnitSlots)
            logWarning("compile", "Texel unit out of range, the texture is never bound: " + statementText(statement));
    }
    if (textureType == 1) {
        // Created here so that game code and instances find the variable before the first draw.
        if (auto* pool = variablePool())
            pool->getTexture2Variable(variable);
    } else {
        reportError("parseSetTextureStatement", "Unknown texture format type");
    }
    auto* command = generator_->addCommand(QRVISXMaterialOpcode::kSetTexture);
    command->appendString(variable);
    command->appendInt(textureType);
    command->appendInt(unit);
}

void QRVISXMaterialCompiler::parseSetShaderStatement(int statement)
{
    std::string file;
    if (!getToken(statement, 2, file)) {
        logWarning("compile", "A shader statement needs a file name: " + statementText(statement));
        return;
    }
    generator_->addCommand(QRVISXMaterialOpcode::kSetShader)->appendInt(material_->getShaderConfiguration(file));
}

void QRVISXMaterialCompiler::parseRenderStateStatement(int statement, const std::string& what, SetMode mode)
{
    const StateWord* state = nullptr;
    for (const StateWord& candidate : kStateWords)
        if (what == candidate.word)
            state = &candidate;
    if (!state) {
        logWarning("compile", "Unknown render state ignored: " + statementText(statement));
        return;
    }

    // Word values: missing writes nothing, an unknown word writes -1 (which executes as nothing).
    std::optional<std::int32_t> wordValue;
    auto readWord = [&](const auto& words, std::int32_t base) {
        std::string word;
        if (!getLowerToken(statement, 2, word)) {
            logWarning("compile", "Render state without a value ignored: " + statementText(statement));
            return;
        }
        const int index = indexOfWord(words, word);
        if (index < 0)
            logWarning("compile", "Unknown render state value: " + statementText(statement));
        wordValue = index < 0 ? -1 : base + index;
    };

    switch (state->value) {
    case StateValue::Bool: {
        bool value = mode == SetMode::Enable;
        // A set whose value is not a bool word writes false.
        if (mode == SetMode::Set && !getBoolToken(statement, 2, value))
            value = false;
        auto* command = generator_->addCommand(QRVISXMaterialOpcode::kSetState);
        command->appendInt(state->subCommand);
        command->appendBool(value);
        return;
    }
    case StateValue::Float: {
        float value = 0.0f;
        if (!getFloatToken(statement, 2, value)) {
            logWarning("compile", "Render state value is not a number: " + statementText(statement));
            return;
        }
        auto* command = generator_->addCommand(QRVISXMaterialOpcode::kSetState);
        command->appendInt(state->subCommand);
        command->appendFloat(value);
        return;
    }
    case StateValue::Color: {
        // The components follow the opening parenthesis: tokens 3 to 6.
        Vector4 color;
        float* components[4] = {&color.x, &color.y, &color.z, &color.w};
        for (int i = 0; i < 4; ++i)
            if (!getFloatToken(statement, 3 + i, *components[i])) {
                logWarning("compile", "A colour needs four numbers in parentheses: " + statementText(statement));
                return;
            }
        auto* command = generator_->addCommand(QRVISXMaterialOpcode::kSetState);
        command->appendInt(state->subCommand);
        command->appendVector4(color);
        return;
    }
    case StateValue::Comparison:
        readWord(kComparisonWords, GL_NEVER);
        break;
    case StateValue::BlendingMode:
        readWord(kBlendingModeWords, 0);
        break;
    case StateValue::PolygonMode:
        readWord(kPolygonModeWords, 0);
        break;
    }
    if (!wordValue)
        return;
    auto* command = generator_->addCommand(QRVISXMaterialOpcode::kSetState);
    command->appendInt(state->subCommand);
    command->appendInt(*wordValue);
}

std::string QRVISXMaterialCompiler::statementText(int statement) const
{
    std::string text;
    for (int position = 0; position < getTokenCount(statement); ++position) {
        std::string token;
        getToken(statement, position, token);
        text += (position ? " " : "") + token;
    }
    const std::string material = material_ ? material_->getName() : std::string();
    return "\"" + text + "\" in material \"" + material + "\"";
}
