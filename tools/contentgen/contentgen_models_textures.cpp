// The pictures on the models (textures\models\details.png): paper covers, the diploma, the monkey's
// laptop screen and sticker, Turbo-Kip's emblem, the crest and the building signs. Each region is
// filled to its edges, so that filtered and mipmapped samples near a face's border keep its colour.

#include "contentgen.h"
#include "contentgen_models.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace cg {

namespace {

QColor col(std::uint32_t hex) { return QColor::fromRgb(static_cast<QRgb>(0xff000000u | hex)); }

QRectF rect(const atlas::Pixels& p) { return {p.x, p.y, p.w, p.h}; }

struct Fonts {
    QString sans = fontFamily("DejaVuSans.ttf");
    QString sansBold = fontFamily("DejaVuSans-Bold.ttf");
    QString serifBold = fontFamily("DejaVuSerif-Bold.ttf");
    QString mono = fontFamily("DejaVuSansMono-Bold.ttf");
};

void text(QPainter& p, const QRectF& box, const QString& line, const QString& family, float pixels, const QColor& colour,
          Qt::Alignment align = Qt::AlignCenter)
{
    QFont font(family);
    font.setPixelSize(static_cast<int>(pixels));
    // Shrink until the line fits the box.
    while (QFontMetricsF(font).horizontalAdvance(line) > box.width() && font.pixelSize() > 6)
        font.setPixelSize(font.pixelSize() - 1);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, static_cast<int>(align), line);
}

// Grey bars standing for lines of small print.
void printLines(QPainter& p, const QRectF& box, int lines, float spacing, std::uint32_t seed, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (int i = 0; i < lines; ++i) {
        const float end = i % 7 == 6 ? 0.55f : 0.88f + 0.12f * hashFloat(i, 1, 2, seed);
        p.drawRect(QRectF(box.left(), box.top() + spacing * static_cast<float>(i), box.width() * end, spacing * 0.45f));
    }
}

void journal(QPainter& p, const Fonts& f)
{
    const QRectF r = rect(atlas::kJournal);
    p.fillRect(r, col(0xfbfbf8));
    p.fillRect(QRectF(r.left(), r.top(), r.width(), 42), col(0x22315b));
    text(p, QRectF(r.left() + 8, r.top() + 4, r.width() - 16, 34), "JOURNAL OF BANANOLOGY", f.sansBold, 17, col(0xffffff));
    text(p, QRectF(r.left() + 12, r.top() + 50, r.width() - 24, 26), "On Throwing Bananas", f.serifBold, 22, col(0x1b1b1e));
    text(p, QRectF(r.left() + 12, r.top() + 74, r.width() - 24, 22), "at Flying Students", f.serifBold, 22, col(0x1b1b1e));
    text(p, QRectF(r.left() + 12, r.top() + 98, r.width() - 24, 16), "C. Monkey, K. Kipster", f.sans, 12, col(0x5c677d));
    const float columnWidth = (r.width() - 36) / 2;
    printLines(p, QRectF(r.left() + 12, r.top() + 124, columnWidth, 200), 20, 10, 3, col(0x8d99ae));
    printLines(p, QRectF(r.left() + 24 + columnWidth, r.top() + 124, columnWidth, 90), 8, 10, 4, col(0x8d99ae));
    // A little bar chart in the second column.
    const QRectF chart(r.left() + 24 + columnWidth, r.top() + 214, columnWidth, 100);
    p.setPen(QPen(col(0x2b2d42), 2));
    p.drawLine(chart.bottomLeft(), chart.bottomRight());
    p.drawLine(chart.bottomLeft(), chart.topLeft());
    const std::uint32_t bars[] = {0xef476f, 0xffd23f, 0x06d6a0, 0x118ab2};
    for (int i = 0; i < 4; ++i) {
        const float h = 20.0f + 18.0f * static_cast<float>(i);
        p.fillRect(QRectF(chart.left() + 8 + 25 * i, chart.bottom() - h, 18, h - 1), col(bars[i]));
    }
    p.fillRect(QRectF(r.left(), r.bottom() - 6, r.width(), 6), col(0x22315b));
}

void thesis(QPainter& p, const Fonts& f)
{
    const QRectF r = rect(atlas::kThesis);
    p.fillRect(r, col(0x8e2c3d));
    p.setPen(QPen(col(0xe9c46a), 4));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(14, 14, -14, -14));
    p.setPen(QPen(col(0xe9c46a), 1.5));
    p.drawRect(r.adjusted(22, 22, -22, -22));
    text(p, QRectF(r.left() + 30, r.top() + 40, r.width() - 60, 24), "DOCTORAL", f.sansBold, 18, col(0xe9c46a));
    text(p, QRectF(r.left() + 26, r.top() + 66, r.width() - 52, 60), "THESIS", f.serifBold, 50, col(0xffd98a));
    p.setPen(Qt::NoPen);
    p.setBrush(col(0xe9c46a));
    p.drawEllipse(QPointF(r.center().x(), r.top() + 190), 44, 44);
    p.setBrush(col(0x8e2c3d));
    p.drawEllipse(QPointF(r.center().x(), r.top() + 190), 36, 36);
    text(p, QRectF(r.center().x() - 40, r.top() + 150, 80, 80), "K", f.serifBold, 52, col(0xe9c46a));
    text(p, QRectF(r.left() + 30, r.bottom() - 80, r.width() - 60, 22), "Kip Kipster", f.serifBold, 18, col(0xffd98a));
    text(p, QRectF(r.left() + 30, r.bottom() - 56, r.width() - 60, 20), "KIPSTER UNIVERSITY", f.sans, 13, col(0xe9c46a));
}

void proceedings(QPainter& p, const Fonts& f)
{
    const QRectF r = rect(atlas::kProceedings);
    p.fillRect(r, col(0x2ec4b6));
    p.fillRect(QRectF(r.left(), r.top() + 210, r.width(), r.height() - 210), col(0x1b9aaa));
    text(p, QRectF(r.left() + 14, r.top() + 24, r.width() - 28, 36), "PROCEEDINGS", f.sansBold, 30, col(0xffffff));
    text(p, QRectF(r.left() + 14, r.top() + 64, r.width() - 28, 20), "of the Int. Conference on", f.sans, 14, col(0x14213d));
    text(p, QRectF(r.left() + 14, r.top() + 84, r.width() - 28, 22), "Flying Students", f.sansBold, 18, col(0x14213d));
    // Conference logo: three rings.
    p.setBrush(Qt::NoBrush);
    const std::uint32_t rings[] = {0xffd23f, 0xef476f, 0xffffff};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(col(rings[i]), 7));
        p.drawEllipse(QPointF(r.center().x() - 36 + 36 * i, r.top() + 155), 26, 26);
    }
    text(p, QRectF(r.left() + 14, r.top() + 236, r.width() - 28, 40), "KIPCON", f.sansBold, 40, col(0xffffff));
    text(p, QRectF(r.left() + 14, r.top() + 280, r.width() - 28, 20), "Volume 42", f.sans, 14, col(0xe0fbfc));
}

void manuscript(QPainter& p, const Fonts& f)
{
    const QRectF r = rect(atlas::kManuscript);
    p.fillRect(r, col(0xf6f4ee));
    // The binder clip covers the top edge: the title starts below it.
    text(p, QRectF(r.left() + 16, r.top() + 52, r.width() - 32, 24), "MANUSCRIPT", f.sansBold, 18, col(0x2b2d42));
    printLines(p, QRectF(r.left() + 18, r.top() + 88, r.width() - 36, 230), 23, 10, 7, col(0xa5abb1));
    // The stamp that every author hopes for, at an angle.
    p.save();
    p.translate(r.center() + QPointF(0, 20));
    p.rotate(-18);
    p.setPen(QPen(col(0xd62828), 6));
    p.setBrush(QColor(255, 255, 255, 140));
    p.drawRoundedRect(QRectF(-104, -34, 208, 68), 8, 8);
    text(p, QRectF(-96, -30, 192, 60), "ACCEPTED", f.sansBold, 38, col(0xd62828));
    p.restore();
}

void diploma(QPainter& p, const Fonts& f)
{
    const QRectF r = rect(atlas::kDiploma);
    p.fillRect(r, col(0xf6efdc));
    // The front half of the roll shows the title and the seal; the back half the signature.
    const QRectF front(r.left(), r.top(), r.width() * 0.5f, r.height());
    p.setPen(QPen(col(0xc9a227), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(front.adjusted(-20, 10, 20, -10));
    // The roll shows its front half foreshortened towards the sides: the title keeps to the middle.
    text(p, QRectF(front.left() + 64, front.top() + 40, front.width() - 128, 40), "DIPLOMA", f.serifBold, 30, col(0x6b3e26));
    printLines(p, QRectF(front.left() + 54, front.top() + 100, front.width() - 108, 30), 3, 12, 8, col(0xb59f78));
    printLines(p, QRectF(front.left() + 54, front.top() + 176, front.width() - 108, 50), 4, 12, 9, col(0xb59f78));
    const QRectF back(r.left() + r.width() * 0.5f, r.top(), r.width() * 0.5f, r.height());
    printLines(p, QRectF(back.left() + 30, back.top() + 40, back.width() - 60, 100), 8, 12, 10, col(0xb59f78));
    QPainterPath signature;
    signature.moveTo(back.left() + 50, back.top() + 200);
    signature.cubicTo(back.left() + 80, back.top() + 150, back.left() + 110, back.top() + 230, back.left() + 140, back.top() + 185);
    signature.cubicTo(back.left() + 160, back.top() + 160, back.left() + 190, back.top() + 215, back.left() + 210, back.top() + 190);
    p.setPen(QPen(col(0x22315b), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(signature);
}

void laptop(QPainter& p, const Fonts& f)
{
    const QRectF r = rect(atlas::kLaptopScreen);
    p.fillRect(r, col(0x1e1e2e));
    p.fillRect(QRectF(r.left(), r.top(), r.width(), 18), col(0x313244));
    const std::uint32_t dots[] = {0xf38ba8, 0xf9e2af, 0xa6e3a1};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(col(dots[i]));
        p.drawEllipse(QPointF(r.left() + 12 + 14 * i, r.top() + 9), 4, 4);
    }
    struct Line {
        int indent;
        const char* code;
        std::uint32_t colour;
    };
    const Line lines[] = {{0, "while (hero.near()) {", 0xcba6f7}, {1, "aim(hero);", 0x89b4fa},
                          {1, "throw banana;", 0xf38ba8},         {1, "// TODO: dodge", 0x6c7086},
                          {0, "}", 0xcba6f7},                     {0, "coffee++;", 0xa6e3a1},
                          {0, "git push --force", 0xfab387}};
    float y = r.top() + 24;
    for (const Line& line : lines) {
        text(p, QRectF(r.left() + 10 + 22 * line.indent, y, r.width() - 20, 22), line.code, f.mono, 17, col(line.colour),
             Qt::AlignLeft | Qt::AlignVCenter);
        y += 24;
    }
}

void sticker(QPainter& p, const Fonts& f)
{
    const QRectF r = rect(atlas::kSticker);
    p.fillRect(r, col(0xd9a066));
    p.setPen(QPen(col(0x6b4f1d), 5));
    p.setBrush(col(0xffd23f));
    p.drawEllipse(r.center(), 70, 70);
    text(p, r.adjusted(10, 20, -10, -20), "</>", f.mono, 60, col(0x2b2d42));
}

void bolt(QPainter& p)
{
    const QRectF r = rect(atlas::kBolt);
    p.fillRect(r, col(0xd7263d));
    QPolygonF shape;
    const float x = static_cast<float>(r.left()), y = static_cast<float>(r.top());
    for (const auto& [px, py] : {std::pair{10.0f, 44.0f}, {70.0f, 8.0f}, {64.0f, 34.0f}, {150.0f, 26.0f}, {86.0f, 72.0f},
                                 {92.0f, 48.0f}})
        shape << QPointF(x + px, y + py);
    p.setPen(QPen(col(0x2b2d42), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(col(0xffd23f));
    p.drawPolygon(shape);
}

void crest(QPainter& p, const Fonts& f)
{
    const QRectF r = rect(atlas::kCrest);
    p.fillRect(r, col(0x8e2c3d));
    p.setPen(Qt::NoPen);
    p.setBrush(col(0xe9c46a));
    p.drawEllipse(r.center(), 54, 54);
    p.setBrush(col(0x8e2c3d));
    p.drawEllipse(r.center(), 46, 46);
    text(p, r, "K", f.serifBold, 64, col(0xe9c46a));
}

void sign(QPainter& p, const atlas::Pixels& pixels, const QString& title, const QString& family, const QColor& background,
          const QColor& ink, const QColor& accent)
{
    const QRectF r = rect(pixels);
    p.fillRect(r, background);
    p.fillRect(QRectF(r.left(), r.bottom() - 14, r.width(), 14), accent);
    p.fillRect(QRectF(r.left(), r.top(), r.width(), 6), accent);
    text(p, r.adjusted(20, 8, -20, -16), title, family, 84, ink);
}

} // namespace

void makeModelTextures(Output& out)
{
    const Fonts fonts;
    QImage picture(static_cast<int>(atlas::kSize), static_cast<int>(atlas::kSize), QImage::Format_RGB32);
    picture.fill(col(0xffffff));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    journal(p, fonts);
    thesis(p, fonts);
    proceedings(p, fonts);
    manuscript(p, fonts);
    diploma(p, fonts);
    laptop(p, fonts);
    sticker(p, fonts);
    bolt(p);
    crest(p, fonts);
    sign(p, atlas::kLectureHallSign, QString::fromUtf8("HÖRSAAL  ·  AUDIMAX"), fonts.sansBold, col(0xf4ecd6), col(0x22315b),
         col(0xe4572e));
    sign(p, atlas::kLibrarySign, "BIBLIOTHEK", fonts.serifBold, col(0xf4ecd6), col(0x1a4d3e), col(0x52b69a));
    p.end();
    out.png("textures/models/details.png", picture);
}

} // namespace cg
