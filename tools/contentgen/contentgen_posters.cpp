// Posters for the advertisement boards: notices of the game's academic world, each a bold title in
// DejaVu Sans, a simple pictogram and a line of small print, in a few cheerful palettes and layouts.

#include "contentgen.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace cg {

namespace {

constexpr int kWidth = 256, kHeight = 512;

struct Palette {
    std::uint32_t background, ink, accent, pictogram;
};

const std::array<Palette, 9> kPalettes = {{
    {0xffd23f, 0x2b2d42, 0xef476f, 0xffffff},
    {0xff6b6b, 0xffffff, 0xffe66d, 0x2b2d42},
    {0x1a936f, 0xffffff, 0xf3e9d2, 0x1a936f},
    {0x22315b, 0xffffff, 0xffc857, 0x22315b},
    {0x4cc9f0, 0x14213d, 0xf72585, 0xffffff},
    {0xf4ecd6, 0x3d2c2e, 0xe4572e, 0xffffff},
    {0x6a4c93, 0xffffff, 0x8ac926, 0x2b2d42},
    {0xff9f1c, 0x1b1b1e, 0x2ec4b6, 0xffffff},
    {0xb8f2e6, 0x2f3e46, 0xff5e5b, 0xffffff},
}};

QColor col(std::uint32_t hex) { return QColor::fromRgb(static_cast<QRgb>(0xff000000u | hex)); }

// Pictograms: each draws into a 100 x 100 box in the given main colour.
void stroke(QPainter& p, const QColor& c, float width)
{
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

void fill(QPainter& p, const QColor& c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
}

void paperStack(QPainter& p, const QColor& c)
{
    for (int i = 2; i >= 0; --i) {
        fill(p, i == 0 ? c : c.darker(115 + 15 * i));
        p.drawRoundedRect(QRectF(22 + 6 * i, 14 + 6 * i, 50, 66), 4, 4);
    }
    stroke(p, c.darker(250), 3.5f);
    for (int line = 0; line < 5; ++line)
        p.drawLine(QPointF(30, 30 + 10 * line), QPointF(line == 4 ? 50 : 64, 30 + 10 * line));
}

void coffee(QPainter& p, const QColor& c)
{
    fill(p, c);
    QPainterPath cup;
    cup.moveTo(20, 40);
    cup.lineTo(72, 40);
    cup.lineTo(66, 84);
    cup.quadTo(46, 90, 26, 84);
    cup.closeSubpath();
    p.drawPath(cup);
    stroke(p, c, 7);
    p.drawArc(QRectF(62, 46, 22, 22), -90 * 16, 180 * 16);
    stroke(p, c, 4);
    for (int i = 0; i < 3; ++i) {
        QPainterPath steam;
        steam.moveTo(32 + 14 * i, 34);
        steam.cubicTo(26 + 14 * i, 24, 38 + 14 * i, 20, 32 + 14 * i, 8);
        p.drawPath(steam);
    }
}

void envelope(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawRoundedRect(QRectF(12, 26, 76, 52), 5, 5);
    stroke(p, c.darker(200), 4);
    p.drawPolyline(QPolygonF({QPointF(14, 30), QPointF(50, 58), QPointF(86, 30)}));
    fill(p, QColor(0xef, 0x47, 0x6f));
    p.drawEllipse(QPointF(50, 58), 7, 7);
}

void gradCap(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawPolygon(QPolygonF({QPointF(50, 18), QPointF(94, 38), QPointF(50, 58), QPointF(6, 38)}));
    p.drawRoundedRect(QRectF(28, 46, 44, 28), 6, 6);
    stroke(p, c, 3);
    p.drawLine(QPointF(84, 42), QPointF(84, 70));
    fill(p, c);
    p.drawEllipse(QPointF(84, 74), 5, 5);
}

void magnifier(QPainter& p, const QColor& c)
{
    stroke(p, c, 9);
    p.drawEllipse(QPointF(42, 42), 24, 24);
    stroke(p, c, 13);
    p.drawLine(QPointF(60, 60), QPointF(84, 84));
    fill(p, QColor(255, 255, 255, 90));
    p.drawEllipse(QPointF(42, 42), 19, 19);
}

void clock(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawEllipse(QPointF(50, 52), 38, 38);
    stroke(p, c.darker(250), 6);
    p.drawLine(QPointF(50, 52), QPointF(50, 26));
    p.drawLine(QPointF(50, 52), QPointF(68, 60));
    stroke(p, c.darker(250), 3);
    for (int i = 0; i < 12; ++i) {
        const float a = static_cast<float>(i) * 0.5235988f;
        p.drawLine(QPointF(50 + 31 * std::cos(a), 52 + 31 * std::sin(a)), QPointF(50 + 35 * std::cos(a), 52 + 35 * std::sin(a)));
    }
}

void book(QPainter& p, const QColor& c)
{
    fill(p, c);
    QPainterPath left, right;
    left.moveTo(50, 30);
    left.quadTo(30, 20, 10, 26);
    left.lineTo(10, 80);
    left.quadTo(30, 74, 50, 84);
    left.closeSubpath();
    right.moveTo(50, 30);
    right.quadTo(70, 20, 90, 26);
    right.lineTo(90, 80);
    right.quadTo(70, 74, 50, 84);
    right.closeSubpath();
    p.drawPath(left);
    p.setBrush(c.darker(120));
    p.drawPath(right);
    stroke(p, c.darker(220), 2.5f);
    for (int line = 0; line < 4; ++line) {
        p.drawLine(QPointF(18, 38 + 10 * line), QPointF(42, 40 + 10 * line));
        p.drawLine(QPointF(58, 40 + 10 * line), QPointF(82, 38 + 10 * line));
    }
}

void flask(QPainter& p, const QColor& c)
{
    QPainterPath glass;
    glass.moveTo(40, 12);
    glass.lineTo(60, 12);
    glass.lineTo(60, 38);
    glass.lineTo(84, 82);
    glass.quadTo(86, 90, 76, 90);
    glass.lineTo(24, 90);
    glass.quadTo(14, 90, 16, 82);
    glass.lineTo(40, 38);
    glass.closeSubpath();
    fill(p, QColor(255, 255, 255, 110));
    p.drawPath(glass);
    QPainterPath liquid;
    liquid.moveTo(27, 62);
    liquid.lineTo(73, 62);
    liquid.lineTo(84, 82);
    liquid.quadTo(86, 90, 76, 90);
    liquid.lineTo(24, 90);
    liquid.quadTo(14, 90, 16, 82);
    liquid.closeSubpath();
    fill(p, QColor(0x8a, 0xc9, 0x26));
    p.drawPath(liquid);
    fill(p, QColor(255, 255, 255, 200));
    p.drawEllipse(QPointF(40, 76), 4, 4);
    p.drawEllipse(QPointF(56, 70), 3, 3);
    stroke(p, c, 5);
    p.drawPath(glass);
}

void bulb(QPainter& p, const QColor& c)
{
    fill(p, QColor(0xff, 0xe6, 0x6d));
    p.drawEllipse(QPointF(50, 40), 26, 26);
    p.drawRect(QRectF(38, 56, 24, 14));
    fill(p, c);
    p.drawRoundedRect(QRectF(37, 70, 26, 8), 3, 3);
    p.drawRoundedRect(QRectF(39, 80, 22, 8), 3, 3);
    stroke(p, c, 4);
    for (int i = 0; i < 5; ++i) {
        const float a = -2.6f + static_cast<float>(i) * 0.52f;
        p.drawLine(QPointF(50 + 32 * std::cos(a), 40 + 32 * std::sin(a)), QPointF(50 + 44 * std::cos(a), 40 + 44 * std::sin(a)));
    }
}

void quotes(QPainter& p, const QColor& c)
{
    fill(p, c);
    for (int i = 0; i < 2; ++i) {
        const float x = 18 + 36 * i;
        p.drawEllipse(QPointF(x + 12, 40), 13, 13);
        QPainterPath tail;
        tail.moveTo(x + 1, 42);
        tail.quadTo(x + 2, 66, x + 22, 74);
        tail.quadTo(x + 12, 62, x + 22, 48);
        tail.closeSubpath();
        p.drawPath(tail);
    }
}

void globe(QPainter& p, const QColor& c)
{
    fill(p, QColor(0x4c, 0xc9, 0xf0));
    p.drawEllipse(QPointF(50, 50), 38, 38);
    fill(p, QColor(0x8a, 0xc9, 0x26));
    p.drawEllipse(QPointF(36, 38), 16, 11);
    p.drawEllipse(QPointF(62, 62), 14, 16);
    p.drawEllipse(QPointF(30, 64), 8, 6);
    stroke(p, c, 5);
    p.drawEllipse(QPointF(50, 50), 38, 38);
    stroke(p, c, 2.5f);
    p.drawEllipse(QPointF(50, 50), 16, 38);
    p.drawLine(QPointF(12, 50), QPointF(88, 50));
}

void ballot(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawRoundedRect(QRectF(16, 44, 68, 44), 5, 5);
    fill(p, QColor(255, 255, 255));
    p.drawRect(QRectF(30, 14, 40, 40));
    stroke(p, QColor(0x1a, 0x93, 0x6f), 7);
    p.drawPolyline(QPolygonF({QPointF(38, 32), QPointF(47, 42), QPointF(64, 20)}));
    fill(p, c.darker(180));
    p.drawRect(QRectF(26, 52, 48, 5));
}

void plate(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawEllipse(QPointF(50, 52), 32, 32);
    fill(p, c.darker(115));
    p.drawEllipse(QPointF(50, 52), 22, 22);
    stroke(p, QColor(0xff, 0xc8, 0x57), 4);
    for (int i = 0; i < 4; ++i) {
        QPainterPath noodle;
        noodle.moveTo(36, 44 + 5 * i);
        noodle.cubicTo(44, 36 + 5 * i, 56, 56 + 5 * i, 64, 46 + 5 * i);
        p.drawPath(noodle);
    }
    fill(p, QColor(0xe4, 0x57, 0x2e));
    p.drawEllipse(QPointF(50, 50), 6, 6);
    stroke(p, c, 4);
    p.drawLine(QPointF(8, 24), QPointF(8, 84));
    p.drawLine(QPointF(92, 24), QPointF(92, 84));
    p.drawLine(QPointF(3, 24), QPointF(3, 40));
    p.drawLine(QPointF(13, 24), QPointF(13, 40));
}

void note(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawEllipse(QPointF(30, 74), 13, 10);
    p.drawEllipse(QPointF(70, 66), 13, 10);
    p.drawRect(QRectF(39, 20, 6, 54));
    p.drawRect(QRectF(79, 12, 6, 54));
    p.drawPolygon(QPolygonF({QPointF(39, 20), QPointF(85, 12), QPointF(85, 24), QPointF(39, 32)}));
}

void banana(QPainter& p, const QColor&)
{
    QPainterPath fruit;
    fruit.moveTo(18, 30);
    fruit.cubicTo(14, 70, 50, 92, 86, 72);
    fruit.cubicTo(56, 76, 30, 60, 28, 28);
    fruit.closeSubpath();
    fill(p, QColor(0xff, 0xe1, 0x35));
    p.drawPath(fruit);
    stroke(p, QColor(0x7a, 0x5c, 0x10), 3);
    p.drawPath(fruit);
    fill(p, QColor(0x5a, 0x40, 0x10));
    p.drawRoundedRect(QRectF(17, 20, 12, 12), 3, 3);
}

void medal(QPainter& p, const QColor& c)
{
    fill(p, QColor(0xef, 0x47, 0x6f));
    p.drawPolygon(QPolygonF({QPointF(30, 8), QPointF(46, 8), QPointF(56, 44), QPointF(40, 44)}));
    fill(p, QColor(0x4c, 0xc9, 0xf0));
    p.drawPolygon(QPolygonF({QPointF(70, 8), QPointF(54, 8), QPointF(44, 44), QPointF(60, 44)}));
    fill(p, QColor(0xff, 0xc8, 0x57));
    p.drawEllipse(QPointF(50, 64), 26, 26);
    stroke(p, c, 3);
    p.drawEllipse(QPointF(50, 64), 19, 19);
    fill(p, c);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const float r = (i % 2) ? 5.0f : 12.0f;
        const float a = -1.5707963f + static_cast<float>(i) * 0.6283185f;
        star << QPointF(50 + r * std::cos(a), 64 + r * std::sin(a));
    }
    p.drawPolygon(star);
}

void laptop(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawRoundedRect(QRectF(18, 18, 64, 44), 4, 4);
    QPainterPath base;
    base.moveTo(10, 68);
    base.lineTo(90, 68);
    base.lineTo(96, 80);
    base.lineTo(4, 80);
    base.closeSubpath();
    p.drawPath(base);
    fill(p, QColor(0x14, 0x21, 0x3d));
    p.drawRect(QRectF(23, 23, 54, 34));
    stroke(p, QColor(0x8a, 0xc9, 0x26), 3);
    p.drawPolyline(QPolygonF({QPointF(30, 32), QPointF(37, 38), QPointF(30, 44)}));
    p.drawLine(QPointF(41, 46), QPointF(52, 46));
}

void openLock(QPainter& p, const QColor& c)
{
    stroke(p, c, 9);
    p.drawArc(QRectF(44, 8, 40, 44), 0, 180 * 16);
    p.drawLine(QPointF(84, 30), QPointF(84, 40));
    fill(p, c);
    p.drawRoundedRect(QRectF(14, 42, 56, 46), 6, 6);
    fill(p, c.darker(220));
    p.drawEllipse(QPointF(42, 60), 6, 6);
    p.drawRect(QRectF(39, 62, 6, 14));
}

void chart(QPainter& p, const QColor& c)
{
    fill(p, c);
    const std::array<float, 4> bars = {22, 38, 30, 60};
    for (std::size_t i = 0; i < bars.size(); ++i)
        p.drawRect(QRectF(14 + 20 * static_cast<float>(i), 86 - bars[i], 14, bars[i]));
    stroke(p, QColor(0xef, 0x47, 0x6f), 5);
    p.drawPolyline(QPolygonF({QPointF(10, 40), QPointF(34, 52), QPointF(54, 34), QPointF(88, 14)}));
    p.drawPolyline(QPolygonF({QPointF(76, 12), QPointF(88, 14), QPointF(86, 26)}));
}

void sigma(QPainter& p, const QColor& c)
{
    static const QString serif = fontFamily("DejaVuSerif-Bold.ttf");
    QFont font(serif);
    font.setPixelSize(86);
    p.setFont(font);
    p.setPen(c);
    p.drawText(QRectF(0, 0, 100, 100), Qt::AlignCenter, QString::fromUtf8("\u2211"));
}

void door(QPainter& p, const QColor& c)
{
    fill(p, c);
    p.drawRoundedRect(QRectF(26, 8, 48, 84), 4, 4);
    fill(p, c.darker(200));
    p.drawEllipse(QPointF(64, 52), 4, 4);
    fill(p, QColor(255, 255, 255));
    p.drawRoundedRect(QRectF(32, 26, 36, 18), 3, 3);
    stroke(p, QColor(0xef, 0x47, 0x6f), 3);
    p.drawLine(QPointF(38, 30), QPointF(62, 40));
    p.drawLine(QPointF(38, 40), QPointF(62, 30));
}

void easel(QPainter& p, const QColor& c)
{
    stroke(p, c.darker(160), 5);
    p.drawLine(QPointF(30, 92), QPointF(42, 60));
    p.drawLine(QPointF(70, 92), QPointF(58, 60));
    fill(p, c);
    p.drawRoundedRect(QRectF(14, 10, 72, 56), 3, 3);
    fill(p, QColor(0xef, 0x47, 0x6f));
    p.drawRect(QRectF(22, 18, 24, 16));
    fill(p, QColor(0x4c, 0xc9, 0xf0));
    p.drawEllipse(QPointF(66, 28), 9, 9);
    stroke(p, c.darker(220), 3);
    for (int line = 0; line < 3; ++line)
        p.drawLine(QPointF(22, 42 + 7 * line), QPointF(78, 42 + 7 * line));
}

struct Poster {
    const char* title;
    const char* smallPrint;
    void (*pictogram)(QPainter&, const QColor&);
};

const std::array<Poster, 22> kPosters = {{
    {"Publish or Perish!", "Submit before the deadline eats you", paperStack},
    {"Free Coffee at the Institute", "Ground floor kitchen, while stocks last", coffee},
    {"Call for Papers", "International Conference on Kipology", envelope},
    {"PhD Defense Today", "Lecture Hall A, 2 pm. Cake afterwards!", gradCap},
    {"Peer Review Party", "Reviewer 2 is invited too", magnifier},
    {"Grant Deadline at Midnight", "Budget: ambitious. Sleep: optional.", clock},
    {"Join the Reading Group", "This week: 400 pages of footnotes", book},
    {"Lab Meeting 9 AM", "Bring your data. Or donuts.", flask},
    {"Think Big. Cite Bigger.", "Citations are forever", bulb},
    {"Citation Needed", "[1] Trust me, I am a doctor", quotes},
    {"Summer School Abroad", "Two weeks, six credits, lots of sun", globe},
    {"Student Council Elections", "Vote for more coffee machines", ballot},
    {"Mensa Today: Pasta Again", "Also tomorrow", plate},
    {"Semester Party Friday", "Aula, 9 pm, free entry", note},
    {"Coder Monkeys Wanted", "Paid in bananas. No experience needed.", banana},
    {"Nobel Lecture Tonight", "Audimax, doors open at 6 pm", medal},
    {"Hackathon All Night", "Pizza provided, bugs included", laptop},
    {"Open Access Now!", "Knowledge wants to be free", openLock},
    {"Impact Factor Sale -50%", "This week only, at the library", chart},
    {"Learn LaTeX in 10 Years", "Evening course, room 3.14", sigma},
    {"Office Hours Cancelled", "Again. Please write an email.", door},
    {"Poster Session 3rd Floor", "Fresh ideas and free snacks", easel},
}};

// Breaks text into lines no wider than width at the font's size.
QStringList wrapWords(const QString& text, const QFont& font, double width)
{
    const QFontMetricsF metrics(font);
    QStringList lines;
    QString line;
    for (const QString& word : text.split(' ')) {
        const QString candidate = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
            lines << line;
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

// Draws text as large as it fits into the box (between the two pixel sizes), centred.
void fitText(QPainter& p, const QRectF& box, const QString& text, const QString& family, bool bold, int largest,
             int smallest, const QColor& colour)
{
    QFont font(family);
    font.setBold(bold);
    QStringList lines;
    int size = largest;
    for (; size > smallest; --size) {
        font.setPixelSize(size);
        lines = wrapWords(text, font, box.width());
        const QFontMetricsF metrics(font);
        double widest = 0.0;
        for (const QString& line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        if (widest <= box.width() && metrics.lineSpacing() * 0.95 * lines.size() <= box.height())
            break;
    }
    font.setPixelSize(size);
    lines = wrapWords(text, font, box.width());
    const QFontMetricsF metrics(font);
    const double step = metrics.lineSpacing() * 0.95;
    double y = box.top() + (box.height() - step * lines.size()) / 2.0 + metrics.ascent();
    p.setFont(font);
    p.setPen(colour);
    for (const QString& line : lines) {
        p.drawText(QPointF(box.left() + (box.width() - metrics.horizontalAdvance(line)) / 2.0, y), line);
        y += step;
    }
}

void drawPictogram(QPainter& p, const Poster& poster, const QPointF& centre, double size, const QColor& colour)
{
    p.save();
    p.translate(centre.x() - size / 2, centre.y() - size / 2);
    p.scale(size / 100.0, size / 100.0);
    poster.pictogram(p, colour);
    p.restore();
}

QImage drawPoster(int index, const QString& sans, const QString& sansBold)
{
    const Poster& poster = kPosters[static_cast<std::size_t>(index)];
    const Palette& palette = kPalettes[static_cast<std::size_t>((index * 4) % kPalettes.size())];
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor background = col(palette.background), ink = col(palette.ink), accent = col(palette.accent);
    p.fillRect(image.rect(), background);

    // A quiet pattern in the background: stripes, dots or rays by layout.
    const int layout = index % 3;
    p.setPen(Qt::NoPen);
    p.setBrush(background.lighter(108));
    if (layout == 0) {
        for (int i = -kHeight; i < kWidth; i += 28)
            p.drawPolygon(QPolygonF({QPointF(i, kHeight), QPointF(i + 12, kHeight), QPointF(i + 12 + kHeight, 0), QPointF(i + kHeight, 0)}));
    } else if (layout == 1) {
        for (int y = 10; y < kHeight; y += 22)
            for (int x = ((y / 22) % 2) * 11 + 6; x < kWidth; x += 22)
                p.drawEllipse(QPointF(x, y), 3, 3);
    }

    const QString title = QString::fromUtf8(poster.title), small = QString::fromUtf8(poster.smallPrint);
    if (layout == 0) {
        // Title on top, the pictogram in a disc, small print above the footer band.
        fitText(p, QRectF(18, 24, 220, 176), title, sansBold, true, 58, 22, ink);
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        p.drawEllipse(QPointF(128, 300), 80, 80);
        drawPictogram(p, poster, QPointF(128, 300), 110, col(palette.pictogram));
        fitText(p, QRectF(20, 388, 216, 62), small, sans, false, 20, 11, ink);
    } else if (layout == 1) {
        // The pictogram on a sunburst panel, the title below it.
        p.fillRect(QRectF(0, 0, kWidth, 236), accent);
        p.setBrush(accent.lighter(112));
        for (int ray = 0; ray < 12; ++ray) {
            const double a0 = ray * 0.5235988, a1 = a0 + 0.26;
            p.drawPolygon(QPolygonF({QPointF(128, 118), QPointF(128 + 260 * std::cos(a0), 118 + 260 * std::sin(a0)),
                                     QPointF(128 + 260 * std::cos(a1), 118 + 260 * std::sin(a1))}));
        }
        p.fillRect(QRectF(0, 236, kWidth, kHeight - 236), background);
        drawPictogram(p, poster, QPointF(128, 118), 150, col(palette.pictogram));
        fitText(p, QRectF(18, 248, 220, 150), title, sansBold, true, 54, 22, ink);
        fitText(p, QRectF(20, 400, 216, 56), small, sans, false, 19, 11, ink);
    } else {
        // A bold diagonal band carries the title; a badge with the pictogram sits above it.
        p.setBrush(accent);
        p.drawPolygon(QPolygonF({QPointF(0, 166), QPointF(kWidth, 118), QPointF(kWidth, 368), QPointF(0, 414)}));
        p.setBrush(ink);
        p.drawEllipse(QPointF(128, 80), 60, 60);
        drawPictogram(p, poster, QPointF(128, 80), 88, background);
        fitText(p, QRectF(18, 170, 220, 196), title, sansBold, true, 56, 22, col(palette.pictogram));
        fitText(p, QRectF(20, 418, 216, 46), small, sans, false, 19, 11, ink);
    }

    // Footer band with the university's name.
    p.fillRect(QRectF(0, kHeight - 44, kWidth, 44), ink);
    p.setBrush(accent);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(34, kHeight - 22), 12, 12);
    QFont footer(sansBold);
    footer.setBold(true);
    footer.setPixelSize(15);
    footer.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    p.setFont(footer);
    p.setPen(background);
    p.drawText(QRectF(54, kHeight - 44, kWidth - 60, 44), Qt::AlignVCenter | Qt::AlignLeft, "KIPSTER UNIVERSITY");
    QFont initial(sansBold);
    initial.setBold(true);
    initial.setPixelSize(15);
    p.setFont(initial);
    p.setPen(ink);
    p.drawText(QRectF(22, kHeight - 34, 24, 24), Qt::AlignCenter, "K");
    return image;
}

} // namespace

void makePosters(Output& out)
{
    const QString sans = fontFamily("DejaVuSans.ttf");
    const QString sansBold = fontFamily("DejaVuSans-Bold.ttf");
    for (int i = 0; i < static_cast<int>(kPosters.size()); ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "textures/ads/ad_%02d.jpg", i + 1);
        out.jpeg(name, drawPoster(i, sans, sansBold), 93);
    }
}

} // namespace cg
