// The bitmap font: a 16 x 16 sheet of Latin-1 glyphs (character c in row c / 16, column c % 16,
// row 0 at the top), each centred in its cell because the font quads are centred on the pen, and
// the font file with the advance of every character measured from the same face.

#include "contentgen.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <sstream>

namespace cg {

namespace {
constexpr int kCell = 64;
constexpr float kOutline = 5.0f; // pen width: 2.5 pixels of dark rim keep white text readable on a bright sky

bool printable(int code) { return (code >= 32 && code < 127) || code >= 160; }
} // namespace

void makeFont(Output& out)
{
    QFont font(fontFamily("DejaVuSans-Bold.ttf"));
    font.setBold(true);
    font.setPixelSize(46);
    font.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF metrics(font);
    const double baseline = (kCell - (metrics.ascent() + metrics.descent())) / 2.0 + metrics.ascent();

    QImage sheet(16 * kCell, 16 * kCell, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::transparent);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    std::array<int, 256> widths{};
    for (int code = 0; code < 256; ++code) {
        if (!printable(code))
            continue;
        // Latin-1 code points are the first 256 of Unicode; the soft hyphen is drawn as a hyphen.
        const QChar character(code == 0xAD ? u'-' : static_cast<char16_t>(code));
        const double advance = metrics.horizontalAdvance(character);
        widths[static_cast<std::size_t>(code)] = std::min(kCell, static_cast<int>(std::lround(advance)) + 2);
        QPainterPath glyph;
        const double left = (code % 16) * kCell + (kCell - advance) / 2.0;
        glyph.addText(QPointF(left, (code / 16) * kCell + baseline), font, QString(character));
        painter.strokePath(glyph, QPen(QColor(20, 24, 40, 230), kOutline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(glyph, Qt::white);
    }
    painter.end();
    out.png("fonts/default.png", sheet);

    std::ostringstream script;
    script << "set name DejaVuSansBold\n"
           << "set texture fonts\\default.png\n"
           << "set shader shaders\\unlit_textured.shader\n"
           << "set blending average\n"
           << "set scale relative\n"
           << "set size 0.1\n"
           << "set alignment left\n"
           << "{\n";
    for (int row = 0; row < 16; ++row) {
        for (int column = 0; column < 16; ++column)
            script << (column ? " " : "") << widths[static_cast<std::size_t>(row * 16 + column)];
        script << "\n";
    }
    script << "}\n";
    out.text("fonts/default.font", script.str());
    out.text("fonts/default.texture",
             "# Clamped: the glyphs of the top row must not pick up the bottom row when filtered.\n"
             "set horizontalclamp true\n"
             "set verticalclamp true\n");
}

} // namespace cg
