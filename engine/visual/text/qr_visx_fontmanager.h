#pragma once
// Draws text with bitmap fonts: sets up the material for the glyph sheet and sends one quad per
// character from client-side arrays. Owned by the visual module; owns no fonts.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <string_view>
#include <vector>

class QRVISXFont;

class QRVISXFontManager : public QRObject {
public:
    // The glyph quads of a text: four corners per character as 2D positions and texture coordinates.
    struct TextQuads {
        std::vector<float> positions;
        std::vector<float> texCoords;
    };

    explicit QRVISXFontManager(QRObject* owner) : QRObject(owner, "QR VISX Font Manager") {}

    // size in view units when absolute, else per pixel of the view port's height; position is
    // where the text starts (left), is centred (center) or ends (right).
    void renderText(QRVISXFont* font, std::string_view text, float size, bool absolute, const Vector4& colour,
                    int blending, int alignment, const Vector2& position);
    // The quads alone, with the states as they are; size is already effective.
    void drawText(const QRVISXFont& font, std::string_view text, float size, const Vector2& position);
    static TextQuads buildTextQuads(const QRVISXFont& font, std::string_view text, float size, const Vector2& position);
};
