#include "visual/text/qr_visx_font.h"

#include "core/qr_mngr_assetmanager.h"
#include "core/qr_util_convert.h"
#include "core/qr_util_strings.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/text/qr_visx_fontmanager.h"
#include "visual/qr_visx_main.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/view/qr_visx_viewport.h"

#include <utility>

namespace {

// Font scripts split at blanks, tabs and commas; braces are tokens of their own, double quotes
// group, and there are no comments.
std::vector<std::string> splitLine(const std::string& line)
{
    auto list = QRUTILStrings::tokenize(line, "", "\"", "{}", " \t,");
    return {list->begin(), list->end()};
}

} // namespace

QRVISXFont::QRVISXFont(QRObject* owner) : QRRESCMain(owner, "QR VISX Font")
{
    widths_.fill(1);
}

QRVISXFont::~QRVISXFont()
{
    releaseAssets();
}

void QRVISXFont::releaseAssets()
{
    if (auto* assets = qrAssets()) {
        assets->release(texture_);
        assets->release(shader_);
    }
    texture_ = nullptr;
    shader_ = nullptr;
}

void QRVISXFont::loadFromFile(const std::string& path)
{
    auto* files = qrFile();
    if (!files || !files->fileExists(path, true))
        return;
    setName(path);
    setFileName(path);
    logDebug("Loading Font: \"" + path + "\"");
    auto lines = qrNew<QRRESCStringList>(this, true, true);
    lines->loadFromFile(path);
    loadFromStringList(*lines);
}

void QRVISXFont::loadFromStringList(const QRRESCStringList& lines)
{
    // A script describes the whole font: what it leaves out has its default. The previous
    // texture and shader are given back only after the script took its own, so a reload naming
    // the same files keeps them instead of deleting and making them again.
    QRVISXTexture2* previousTexture = std::exchange(texture_, nullptr);
    QRVISXShaderConfiguration* previousShader = std::exchange(shader_, nullptr);
    blending_ = 3;
    scaleMode_ = kScaleRelative;
    size_ = 0.1f;
    alignment_ = kAlignLeft;
    widths_.fill(1);

    bool inTable = false;
    int row = 0;
    std::string firstProblem;
    int problems = 0;
    for (const std::string& line : lines) {
        const std::vector<std::string> tokens = splitLine(line);
        if (tokens.empty())
            continue;
        if (tokens.size() == 1 && (tokens[0] == "{" || tokens[0] == "}")) {
            inTable = tokens[0] == "{";
            continue;
        }
        if (!inTable) {
            readSetting(tokens);
            continue;
        }
        if (tokens.size() < 2)
            continue;
        const std::string problem = readWidthRow(tokens, row);
        ++row;
        if (problem.empty())
            continue;
        if (problems++ == 0)
            firstProblem = problem;
    }
    if (auto* assets = qrAssets()) {
        assets->release(previousTexture);
        assets->release(previousShader);
    }
    // One report per file: a hostile table must not flood the user with messages.
    if (problems > 0) {
        std::string message = "Font \"" + getFileName() + "\": " + firstProblem;
        if (problems > 1)
            message += " (" + std::to_string(problems - 1) + " more faulty rows in the width table)";
        reportError("loadFromFile", message);
    }
}

void QRVISXFont::readSetting(const std::vector<std::string>& tokens)
{
    if (tokens.size() < 3 || tokens[0] != "set")
        return;
    const std::string key = QRUTILStrings::lowerCase(tokens[1]);
    const std::string& value = tokens[2];
    const std::string word = QRUTILStrings::lowerCase(value);
    if (key == "name") {
        setName(value);
    } else if (key == "shader") {
        setShader(value);
    } else if (key == "texture") {
        setTexture(value);
    } else if (key == "blending") {
        static const char* const modes[] = {"opaque", "additive", "negative", "average", "min", "max"};
        for (int mode = 0; mode < 6; ++mode)
            if (word == modes[mode])
                blending_ = mode;
    } else if (key == "scale") {
        if (word == "absolute")
            scaleMode_ = kScaleAbsolute;
        else if (word == "relative")
            scaleMode_ = kScaleRelative;
    } else if (key == "size") {
        float size = 0.0f;
        if (QRUTILConvert::parseFloat(value, size))
            size_ = size;
    } else if (key == "alignment") {
        if (word == "left")
            alignment_ = kAlignLeft;
        else if (word == "center")
            alignment_ = kAlignCenter;
        else if (word == "right")
            alignment_ = kAlignRight;
    }
}

std::string QRVISXFont::readWidthRow(const std::vector<std::string>& tokens, int row)
{
    const std::string rowText = "row " + std::to_string(row + 1) + " of the width table";
    if (row >= kCellsPerRow)
        return rowText + " is beyond the sixteenth row";
    if (tokens.size() != static_cast<std::size_t>(kCellsPerRow))
        return rowText + " holds " + std::to_string(tokens.size()) + " widths instead of 16";
    std::array<std::uint8_t, kCellsPerRow> values{};
    for (int column = 0; column < kCellsPerRow; ++column) {
        const std::string& token = tokens[static_cast<std::size_t>(column)];
        std::int32_t value = 0;
        if (!QRUTILConvert::parseInt(token, value) || value < 0 || value > 255)
            return rowText + ": \"" + token + "\" is no width from 0 to 255";
        values[static_cast<std::size_t>(column)] = static_cast<std::uint8_t>(value);
    }
    for (int column = 0; column < kCellsPerRow; ++column)
        widths_[static_cast<std::size_t>(row * kCellsPerRow + column)] = values[static_cast<std::size_t>(column)];
    return {};
}

void QRVISXFont::setTexture(const std::string& file)
{
    auto* assets = qrAssets();
    if (!assets)
        return;
    assets->release(texture_);
    texture_ = file.empty() ? nullptr : assets->acquire<QRVISXTexture2>(file);
}

void QRVISXFont::setShader(const std::string& file)
{
    auto* assets = qrAssets();
    if (!assets)
        return;
    assets->release(shader_);
    shader_ = file.empty() ? nullptr : assets->acquire<QRVISXShaderConfiguration>(file);
}

int QRVISXFont::getCellSize() const
{
    return texture_ ? texture_->getWidth() / kCellsPerRow : 0;
}

float QRVISXFont::getTextWidth(std::string_view text, bool absolute, float size) const
{
    const int cell = getCellSize();
    if (cell <= 0)
        return 0.0f;
    float effective = size;
    if (!absolute) {
        auto* visual = qrVisual();
        const int height = visual ? visual->getViewPort()->getHeight() : 0;
        effective = height > 0 ? size / static_cast<float>(height) : 0.0f;
    }
    float width = 0.0f;
    for (std::uint8_t code : glyphCodes(text))
        width += static_cast<float>(widths_[code]) / static_cast<float>(cell) * 2.0f;
    return width * effective;
}

void QRVISXFont::renderText(std::string_view text, const Vector2& position, float size, bool absolute,
                            const Vector4& colour, int blending, int alignment)
{
    if (auto* visual = qrVisual())
        visual->getFontManager()->renderText(this, text, size, absolute, colour, blending, alignment, position);
}

std::vector<std::uint8_t> QRVISXFont::glyphCodes(std::string_view text)
{
    std::vector<std::uint8_t> codes;
    codes.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        int length = 0;
        std::uint32_t codePoint = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07u;
        }
        bool valid = length > 0 && at + static_cast<std::size_t>(length) <= text.size();
        for (int i = 1; valid && i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
            valid = (next & 0xC0u) == 0x80u;
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        // Overlong three- and four-byte forms are no valid sequences.
        if (valid && ((length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000)))
            valid = false;
        if (!valid) {
            codes.push_back(lead);
            ++at;
            continue;
        }
        codes.push_back(codePoint < 256 ? static_cast<std::uint8_t>(codePoint) : static_cast<std::uint8_t>('?'));
        at += static_cast<std::size_t>(length);
    }
    return codes;
}
