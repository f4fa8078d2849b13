#pragma once
// A bitmap font: a glyph sheet of 16 x 16 equal cells (character code c in row c / 16 and column
// c % 16, row 0 at the top), the shader it is drawn with and the advance of every character, read
// from a small font script. Owned by whoever loads it (the HUD); holds references to its texture
// and shader assets.

#include "math/qr_math_types.h"
#include "resource/qr_resc_main.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QRRESCStringList;
class QRVISXShaderConfiguration;
class QRVISXTexture2;

class QRVISXFont : public QRRESCMain {
public:
    static constexpr int kScaleAbsolute = 0;
    static constexpr int kScaleRelative = 1;
    static constexpr int kAlignLeft = 0;
    static constexpr int kAlignCenter = 1;
    static constexpr int kAlignRight = 2;
    static constexpr int kCellsPerRow = 16;
    static constexpr int kGlyphCount = 256;

    explicit QRVISXFont(QRObject* owner);
    ~QRVISXFont() override;

    void loadFromFile(const std::string& path) override;
    // Reads a font script (one line per entry). Width rows the table cannot hold (too short, too
    // long, beyond the sixteenth, values outside 0..255) are reported once and left out.
    void loadFromStringList(const QRRESCStringList& lines);

    // Give back the previous asset and take the new one (none for an empty name).
    void setTexture(const std::string& file);
    void setShader(const std::string& file);

    // Width of text in view units at size (absolute, or per pixel of the view port's height).
    float getTextWidth(std::string_view text, bool absolute, float size) const;
    void renderText(std::string_view text, const Vector2& position, float size, bool absolute, const Vector4& colour,
                    int blending, int alignment);

    // The glyph sheet's cell width in texels; 0 without a usable sheet.
    int getCellSize() const;
    // The glyph codes text is drawn with: UTF-8 sequences become their code point when it is below
    // 256 (the sheet holds Latin-1) and "?" otherwise; bytes outside a valid sequence stand for
    // themselves, so Latin-1 text draws as well.
    static std::vector<std::uint8_t> glyphCodes(std::string_view text);

    QRVISXTexture2* getTexture() const { return texture_; }
    QRVISXShaderConfiguration* getShader() const { return shader_; }
    int getBlending() const { return blending_; }
    int getScaleMode() const { return scaleMode_; }
    float getSize() const { return size_; }
    int getAlignment() const { return alignment_; }
    int getGlyphWidth(std::uint8_t code) const { return widths_[code]; }
    const std::array<std::uint8_t, kGlyphCount>& getWidths() const { return widths_; }

private:
    void readSetting(const std::vector<std::string>& tokens);
    // Returns the problem with the row, empty when it was taken.
    std::string readWidthRow(const std::vector<std::string>& tokens, int row);
    void releaseAssets();

    QRVISXTexture2* texture_ = nullptr;
    QRVISXShaderConfiguration* shader_ = nullptr;
    int blending_ = 3;
    int scaleMode_ = kScaleRelative;
    float size_ = 0.1f;
    int alignment_ = kAlignLeft;
    std::array<std::uint8_t, kGlyphCount> widths_{};
};
