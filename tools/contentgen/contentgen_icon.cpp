// The program's icon (kipster.png, 256 x 256 with a transparent surround): Kip's face with his
// glasses and scarf in front of a paper, on a badge of sky and grass. It uses the colours of his
// model and the flat facets of the low-poly world, so the desktop shows the character the game does.

#include "contentgen.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace cg {

namespace {

QColor col(std::uint32_t hex) { return QColor::fromRgb(static_cast<QRgb>(0xff000000u | hex)); }

// A facetted ellipse: the low-poly outline the models have.
QPolygonF facets(QPointF centre, double rx, double ry, int sides, double startDegrees)
{
    QPolygonF polygon;
    for (int i = 0; i < sides; ++i) {
        const double a = (startDegrees + 360.0 * i / sides) * M_PI / 180.0;
        polygon << QPointF(centre.x() + rx * std::cos(a), centre.y() + ry * std::sin(a));
    }
    return polygon;
}

void fill(QPainter& p, const QPolygonF& polygon, std::uint32_t colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(col(colour));
    p.drawPolygon(polygon);
}

void badge(QPainter& p, const QPainterPath& shape)
{
    p.setClipPath(shape);
    p.fillRect(QRectF(0, 0, 256, 256), col(0x8fd3f4));
    // Two hills below the horizon and a darker band of grass in front.
    fill(p, QPolygonF({{0, 200}, {70, 168}, {140, 196}, {210, 160}, {256, 178}, {256, 256}, {0, 256}}), 0x7bc950);
    fill(p, QPolygonF({{0, 226}, {110, 214}, {256, 230}, {256, 256}, {0, 256}}), 0x5aa83c);
}

// The paper Kip collects: a sheet with a folded corner and lines of print, turned a little.
void paper(QPainter& p)
{
    p.save();
    p.translate(186, 76);
    p.rotate(16);
    fill(p, QPolygonF({{-38, -50}, {22, -50}, {38, -34}, {38, 50}, {-38, 50}}), 0xfbfbf8);
    fill(p, QPolygonF({{22, -50}, {38, -34}, {22, -34}}), 0xd8dde6);
    p.setBrush(col(0x8d99ae));
    for (int i = 0; i < 7; ++i)
        p.drawRect(QRectF(-28, -36 + 12 * i, i % 3 == 2 ? 34 : 52, 5));
    p.setBrush(col(0xef476f));
    p.drawRect(QRectF(-28, -48, 30, 7));
    p.restore();
}

void face(QPainter& p)
{
    const QPointF centre(118, 146);
    // Ears, then the head in two tones: the right half lies in shade, as the sun in the game is left.
    fill(p, facets({48, 150}, 13, 21, 8, 0), 0xe9ad85);
    fill(p, facets({188, 150}, 13, 21, 8, 0), 0xe9ad85);
    const QPolygonF head = facets(centre, 70, 76, 12, 15);
    fill(p, head, 0xf7c59f);
    fill(p, QPolygonF({head[11], head[0], head[1], head[2], head[3], QPointF(centre.x() + 28, centre.y() + 30)}), 0xeeb58c);

    // Hair: a cap over the top with tufts standing up and a fringe falling onto the forehead.
    fill(p, QPolygonF({{46, 140}, {50, 96}, {74, 66}, {118, 56}, {162, 66}, {186, 96}, {190, 140}, {170, 110}, {66, 110}}),
         0x6d3b1f);
    const QPointF tufts[][3] = {{{76, 74}, {70, 36}, {100, 64}},
                                {{104, 62}, {116, 26}, {132, 60}},
                                {{138, 62}, {168, 34}, {160, 76}},
                                {{160, 74}, {196, 60}, {180, 96}}};
    for (const auto& t : tufts)
        fill(p, QPolygonF({t[0], t[1], t[2]}), 0x5a3018);
    for (int i = -1; i <= 1; ++i) {
        const double x = 118 + 30 * i;
        fill(p, QPolygonF({{x - 20, 104}, {x + 20, 104}, {x + 6 * i, 128}}), 0x6d3b1f);
    }

    // Eyes with a highlight, behind the glasses' square frames.
    for (const double x : {94.0, 142.0}) {
        p.setPen(Qt::NoPen);
        p.setBrush(col(0x1b1b1e));
        p.drawRoundedRect(QRectF(x - 7, 136, 14, 20), 4, 4);
        p.setBrush(col(0xffffff));
        p.drawRect(QRectF(x - 1, 139, 5, 6));
        p.setPen(QPen(col(0x3d2c2e), 5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(x - 20, 127, 40, 38));
    }
    p.drawLine(QPointF(114, 136), QPointF(122, 136));
    p.drawLine(QPointF(54, 134), QPointF(74, 134));
    p.drawLine(QPointF(162, 134), QPointF(184, 134));

    fill(p, facets({118, 176}, 9, 7, 6, 0), 0xf0a987);
    // A wide smile, its corners turned up.
    p.setPen(QPen(col(0xb23a48), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({{94, 190}, {102, 198}, {118, 201}, {134, 198}, {142, 190}}));
}

// His red and white striped scarf across the bottom of the badge.
void scarf(QPainter& p)
{
    fill(p, QPolygonF({{52, 214}, {184, 214}, {196, 244}, {40, 244}}), 0xe63946);
    for (int i = 0; i < 4; ++i) {
        const double x = 64 + 36 * i;
        fill(p, QPolygonF({{x, 214}, {x + 12, 214}, {x + 4, 244}, {x - 8, 244}}), 0xfff3e0);
    }
}

} // namespace

void makeIcon(Output& out)
{
    QImage image(256, 256, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(8, 8, 240, 240), 46, 46);
    badge(p, shape);
    paper(p);
    face(p);
    scarf(p);
    // A dark rim keeps the badge readable on light and dark panels alike.
    p.setClipping(false);
    p.setPen(QPen(col(0x1b1b1e), 6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    p.end();
    out.png("kipster.png", image);
}

} // namespace cg
