// The contact sheet: every generated picture family on one page, drawn from the files as written,
// with the terrain layers tiled 2 x 2 (so a seam would show), a piece of the town put together from
// the ground map and the street atlas, the sky as a strip of its faces, the font drawn the way the
// game draws text, and the sounds as waveforms.

#include "contentgen.h"

#include <QFile>
#include <QFont>
#include <QPainter>

#include <algorithm>
#include <array>
#include <fstream>
#include <numeric>
#include <sstream>
#include <unordered_map>

namespace cg {

namespace {

constexpr int kSheetWidth = 1280;
constexpr int kMargin = 24;

QImage load(const std::string& folder, const std::string& name, bool& ok)
{
    QImage image(QString::fromStdString(folder + "/" + name));
    if (image.isNull()) {
        std::fprintf(stderr, "contentgen: cannot read %s/%s\n", folder.c_str(), name.c_str());
        ok = false;
        image = QImage(16, 16, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::magenta);
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::vector<float> loadWave(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<float> samples;
    for (std::size_t i = 44; i + 1 < bytes.size(); i += 2) {
        const auto value = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[i]) | (static_cast<std::uint8_t>(bytes[i + 1]) << 8));
        samples.push_back(static_cast<float>(value) / 32768.0f);
    }
    return samples;
}

class Sheet {
public:
    Sheet(QPainter& painter, const QString& sans, const QString& bold) : p_(painter), sans_(sans), bold_(bold) {}

    void heading(int y, const QString& text)
    {
        QFont font(bold_);
        font.setBold(true);
        font.setPixelSize(22);
        p_.setFont(font);
        p_.setPen(QColor(0x2b, 0x2d, 0x42));
        p_.drawText(QPointF(kMargin, y), text);
    }
    void label(const QRectF& under, const QString& text)
    {
        QFont font(sans_);
        font.setPixelSize(13);
        p_.setFont(font);
        p_.setPen(QColor(0x4a, 0x4e, 0x69));
        p_.drawText(QRectF(under.left() - 20, under.bottom() + 3, under.width() + 40, 18), Qt::AlignHCenter | Qt::AlignTop, text);
    }
    void picture(const QRectF& box, const QImage& image, bool smooth = true)
    {
        p_.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        p_.drawImage(box, image);
    }
    void tiled(const QRectF& box, const QImage& image)
    {
        const double half = box.width() / 2;
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i)
                picture(QRectF(box.left() + i * half, box.top() + j * half, half, half), image);
    }

private:
    QPainter& p_;
    QString sans_, bold_;
};

// Text drawn as the game's font renderer draws it: per character, advance by half its width,
// centre the cell's quad there, advance by the other half.
void drawGameText(QPainter& p, const QImage& glyphs, const std::array<int, 256>& widths, const QString& text, QPointF at, double height)
{
    const int cell = glyphs.width() / 16;
    const double s = height / 2.0;
    double x = at.x();
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const char c : text.toLatin1()) {
        const int code = static_cast<unsigned char>(c);
        const double advance = static_cast<double>(widths[static_cast<std::size_t>(code)]) / cell * s;
        x += advance;
        p.drawImage(QRectF(x - s, at.y() - s, 2 * s, 2 * s), glyphs, QRectF((code % 16) * cell, (code / 16) * cell, cell, cell));
        x += advance;
    }
}

std::array<int, 256> readWidths(const std::string& path)
{
    std::array<int, 256> widths;
    widths.fill(1);
    std::ifstream in(path);
    std::string line;
    bool table = false;
    int row = 0;
    while (std::getline(in, line)) {
        if (line == "{") {
            table = true;
        } else if (line == "}") {
            table = false;
        } else if (table && row < 16) {
            std::istringstream numbers(line);
            for (int column = 0; column < 16; ++column)
                numbers >> widths[static_cast<std::size_t>(row * 16 + column)];
            ++row;
        }
    }
    return widths;
}

// An 8-bit picture for the committed sheet: the most used exact colours (page, text, flat fills)
// keep their own palette entries, median cut shares the rest, and error diffusion smooths the
// gradients.
QImage quantise(const QImage& page)
{
    std::unordered_map<QRgb, long long> counts;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            ++counts[page.pixel(x, y) | 0xff000000u];
    std::vector<std::pair<QRgb, long long>> colours(counts.begin(), counts.end());
    std::sort(colours.begin(), colours.end(), [](const auto& a, const auto& b) { return a.second != b.second ? a.second > b.second : a.first < b.first; });
    constexpr std::size_t kExact = 24;
    std::vector<QRgb> palette;
    for (std::size_t i = 0; i < std::min(kExact, colours.size()); ++i)
        palette.push_back(colours[i].first);

    // Median cut over the remaining colours, weighted by their counts.
    using Box = std::vector<std::pair<QRgb, long long>>;
    std::vector<Box> boxes(1);
    for (std::size_t i = kExact; i < colours.size(); ++i)
        boxes[0].push_back(colours[i]);
    const auto channel = [](QRgb c, int k) { return k == 0 ? qRed(c) : k == 1 ? qGreen(c) : qBlue(c); };
    while (!boxes[0].empty() && boxes.size() < 256 - kExact) {
        std::size_t widest = 0;
        int widestRange = -1, widestChannel = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i)
            for (int k = 0; k < 3 && boxes[i].size() > 1; ++k) {
                const auto [low, high] = std::minmax_element(boxes[i].begin(), boxes[i].end(), [&](const auto& a, const auto& b) {
                    return channel(a.first, k) < channel(b.first, k);
                });
                const int range = channel(high->first, k) - channel(low->first, k);
                if (range > widestRange) {
                    widestRange = range;
                    widest = i;
                    widestChannel = k;
                }
            }
        if (widestRange <= 0)
            break;
        Box& box = boxes[widest];
        std::sort(box.begin(), box.end(), [&](const auto& a, const auto& b) {
            return channel(a.first, widestChannel) != channel(b.first, widestChannel) ? channel(a.first, widestChannel) < channel(b.first, widestChannel) : a.first < b.first;
        });
        long long total = 0, half = 0;
        for (const auto& entry : box)
            total += entry.second;
        std::size_t split = 0;
        while (split + 1 < box.size() && (half += box[split].second) < total / 2)
            ++split;
        Box upper(box.begin() + static_cast<long>(split + 1), box.end());
        box.resize(split + 1);
        boxes.push_back(std::move(upper));
    }
    for (const Box& box : boxes) {
        long long n = 0, r = 0, g = 0, b = 0;
        for (const auto& [c, count] : box) {
            n += count;
            r += qRed(c) * count;
            g += qGreen(c) * count;
            b += qBlue(c) * count;
        }
        if (n > 0)
            palette.push_back(qRgb(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)));
    }

    std::unordered_map<QRgb, uchar> nearestCache;
    const auto nearest = [&](int r, int g, int b) {
        const QRgb key = qRgb(r, g, b);
        const auto found = nearestCache.find(key);
        if (found != nearestCache.end())
            return found->second;
        int best = 0, bestDistance = 1 << 30;
        for (std::size_t i = 0; i < palette.size(); ++i) {
            const int dr = qRed(palette[i]) - r, dg = qGreen(palette[i]) - g, db = qBlue(palette[i]) - b;
            const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = static_cast<int>(i);
            }
        }
        return nearestCache[key] = static_cast<uchar>(best);
    };
    QImage indexed(page.size(), QImage::Format_Indexed8);
    indexed.setColorTable(QList<QRgb>(palette.begin(), palette.end()));
    std::vector<std::array<float, 3>> error(static_cast<std::size_t>(page.width() + 2) * 2);
    for (int y = 0; y < page.height(); ++y) {
        auto* current = &error[static_cast<std::size_t>((y % 2) * (page.width() + 2))];
        auto* next = &error[static_cast<std::size_t>(((y + 1) % 2) * (page.width() + 2))];
        std::fill(next, next + page.width() + 2, std::array<float, 3>{});
        for (int x = 0; x < page.width(); ++x) {
            const QRgb c = page.pixel(x, y);
            // Clamped error: a bright sprite must not bleed colour into the text beside it.
            const auto carried = [&](int k) { return std::clamp(current[x + 1][k], -20.0f, 20.0f); };
            const float want[3] = {qRed(c) + carried(0), qGreen(c) + carried(1), qBlue(c) + carried(2)};
            const uchar index = nearest(std::clamp(static_cast<int>(std::lround(want[0])), 0, 255),
                                        std::clamp(static_cast<int>(std::lround(want[1])), 0, 255),
                                        std::clamp(static_cast<int>(std::lround(want[2])), 0, 255));
            indexed.scanLine(y)[x] = index;
            const QRgb got = palette[index];
            const float miss[3] = {want[0] - qRed(got), want[1] - qGreen(got), want[2] - qBlue(got)};
            for (int k = 0; k < 3; ++k) {
                current[x + 2][k] += miss[k] * 7.0f / 16.0f;
                next[x][k] += miss[k] * 3.0f / 16.0f;
                next[x + 1][k] += miss[k] * 5.0f / 16.0f;
                next[x + 2][k] += miss[k] * 1.0f / 16.0f;
            }
        }
    }
    return indexed;
}

} // namespace

bool makeContactSheet(const std::string& folder, const std::string& target)
{
    bool ok = true;
    const QString sans = fontFamily("DejaVuSans.ttf"), bold = fontFamily("DejaVuSans-Bold.ttf");
    QImage page(kSheetWidth, 1880, QImage::Format_ARGB32_Premultiplied);
    page.fill(QColor(0xf7, 0xf4, 0xec));
    QPainter p(&page);
    p.setRenderHint(QPainter::Antialiasing);
    Sheet sheet(p, sans, bold);

    {
        QFont title(bold);
        title.setBold(true);
        title.setPixelSize(34);
        p.setFont(title);
        p.setPen(QColor(0xef, 0x47, 0x6f));
        p.drawText(QPointF(kMargin, 48), "Kipster");
        QFont sub(sans);
        sub.setPixelSize(18);
        p.setFont(sub);
        p.setPen(QColor(0x4a, 0x4e, 0x69));
        p.drawText(QPointF(kMargin + 150, 48), "content made by tools/contentgen: every picture, sound and the font");
    }

    // Terrain layers, modulation and water, each tiled 2 x 2.
    int y = 96;
    sheet.heading(y, "Ground: terrain layers, modulation and water (each tiled 2 x 2)");
    const std::array<std::pair<const char*, const char*>, 7> ground = {{
        {"textures/terrain/terrain0.jpg", "terrain0 grass"},
        {"textures/terrain/terrain1.jpg", "terrain1 meadow"},
        {"textures/terrain/terrain2.jpg", "terrain2 earth"},
        {"textures/terrain/terrain3.jpg", "terrain3 rock"},
        {"textures/terrain/terrain4.jpg", "terrain4 concrete"},
        {"textures/terrain/modulation.png", "modulation (RGB)"},
        {"textures/water/water.jpg", "water"},
    }};
    for (std::size_t i = 0; i < ground.size(); ++i) {
        const QRectF box(kMargin + static_cast<double>(i) * 176, y + 14, 160, 160);
        QImage image = load(folder, ground[i].first, ok);
        if (i == 5)
            image = image.convertToFormat(QImage::Format_RGB32);
        sheet.tiled(box, image);
        sheet.label(box, ground[i].second);
    }

    // Streets: the atlas, and the town square put together from the ground map.
    y += 226;
    sheet.heading(y, "Streets: the atlas (code = 4 x row + column) and the town from the ground map");
    const QImage atlas = load(folder, "textures/terrain/streets.png", ok);
    const QRectF atlasBox(kMargin, y + 14, 320, 320);
    p.fillRect(atlasBox, QColor(0x6f, 0xae, 0x3c));
    sheet.picture(atlasBox, atlas);
    p.setPen(QPen(QColor(255, 255, 255, 140), 1));
    for (int i = 1; i < 4; ++i) {
        p.drawLine(QPointF(atlasBox.left() + i * 80, atlasBox.top()), QPointF(atlasBox.left() + i * 80, atlasBox.bottom()));
        p.drawLine(QPointF(atlasBox.left(), atlasBox.top() + i * 80), QPointF(atlasBox.right(), atlasBox.top() + i * 80));
    }
    {
        QFont small(bold);
        small.setPixelSize(12);
        p.setFont(small);
        p.setPen(QColor(0x1b, 0x1b, 0x1e));
        for (int code = 0; code < 16; ++code)
            p.drawText(QPointF(atlasBox.left() + (code % 4) * 80 + 4, atlasBox.top() + (code / 4) * 80 + 14), QString::number(code));
    }
    sheet.label(atlasBox, "streets.png, +z up in each tile");

    const QImage groundMap = load(folder, "textures/heightmaps/groundmap.png", ok);
    const QImage grass = load(folder, "textures/terrain/terrain0.jpg", ok), concrete = load(folder, "textures/terrain/terrain4.jpg", ok);
    const int cellX0 = 63, cellZ0 = 73, cellsX = 32, cellsZ = 21, cellPixels = 15;
    const QRectF townBox(atlasBox.right() + 24, y + 14, cellsX * cellPixels, cellsZ * cellPixels);
    {
        p.save();
        p.setClipRect(townBox);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const auto red = [&](int x, int z) { return x < 0 || z < 0 || x >= 160 || z >= 160 ? 0 : qRed(groundMap.pixel(x, z)); };
        const auto street = [&](int x, int z) { return red(x, z) == 192 || red(x, z) == 255; };
        for (int z = 0; z < cellsZ; ++z)
            for (int x = 0; x < cellsX; ++x) {
                const int cx = cellX0 + x, cz = cellZ0 + z;
                const QRectF cellBox(townBox.left() + x * cellPixels, townBox.top() + z * cellPixels, cellPixels, cellPixels);
                const int r = red(cx, cz);
                const QImage& layer = (r == 128 || r == 255) ? concrete : grass;
                // 2 x 2 cells share one repeat of the layer.
                p.drawImage(cellBox, layer, QRectF((cx % 2) * layer.width() / 2.0, (cz % 2) * layer.height() / 2.0, layer.width() / 2.0, layer.height() / 2.0));
                if (street(cx, cz)) {
                    const int code = streetCode(street(cx - 1, cz), street(cx + 1, cz), street(cx, cz - 1), street(cx, cz + 1));
                    // The cell shows the tile from 0.02 to 0.98. Its +z runs up the tile; here z runs
                    // down the page, so the tile is mirrored.
                    const QRectF tile((code % 4) * 256 + 5.12, (code / 4) * 256 + 5.12, 245.76, 245.76);
                    p.save();
                    p.translate(cellBox.left(), cellBox.bottom());
                    p.scale(1, -1);
                    p.drawImage(QRectF(0, 0, cellPixels, cellPixels), atlas, tile);
                    p.restore();
                }
            }
        p.restore();
        sheet.label(townBox, QString("ground map cells %1..%2 x %3..%4 in terrain0 / terrain4 with their street tiles")
                                 .arg(cellX0).arg(cellX0 + cellsX - 1).arg(cellZ0).arg(cellZ0 + cellsZ - 1));
    }
    {
        // The import maps beside the town: the height map as shaded relief, the ground map in colour.
        const QImage heights = load(folder, "textures/heightmaps/heightmap.png", ok);
        QImage relief(heights.width(), heights.height(), QImage::Format_RGB32);
        const auto h = [&](int x, int z) {
            return qRed(heights.pixel(std::clamp(x, 0, heights.width() - 1), std::clamp(z, 0, heights.height() - 1))) * 0.5f;
        };
        for (int z = 0; z < heights.height(); ++z)
            for (int x = 0; x < heights.width(); ++x) {
                const float height = h(x, z);
                const float gx = (h(x + 1, z) - h(x - 1, z)) / 8.0f, gz = (h(x, z + 1) - h(x, z - 1)) / 8.0f;
                const float light = clamp01(0.75f + 1.6f * (-gx * 0.5f + gz * 0.7f));
                Colour c = height < 3.0f ? rgb(0x3c8fd0)
                         : height < 25.0f ? mix(rgb(0x7cc23f), rgb(0x4f9a2c), (height - 3.0f) / 22.0f)
                         : height < 60.0f ? mix(rgb(0x4f9a2c), rgb(0x9a8a6a), (height - 25.0f) / 35.0f)
                                          : mix(rgb(0x9a8a6a), rgb(0xf2f2f2), clamp01((height - 60.0f) / 40.0f));
                if (height >= 3.0f)
                    c = c * light;
                relief.setPixel(x, z, qRgb(toByte(c.r), toByte(c.g), toByte(c.b)));
            }
        const QRectF hBox(townBox.right() + 20, y + 14, 196, 196);
        sheet.picture(hBox, relief);
        sheet.label(hBox, "heightmap.png as relief");
        QImage cells(groundMap.width(), groundMap.height(), QImage::Format_RGB32);
        for (int z = 0; z < groundMap.height(); ++z)
            for (int x = 0; x < groundMap.width(); ++x) {
                const int r = qRed(groundMap.pixel(x, z));
                cells.setPixel(x, z, r == 128 ? qRgb(0xc4, 0xc1, 0xba) : r == 192 ? qRgb(0x4a, 0x4f, 0x58) : r == 255 ? qRgb(0x1b, 0x1b, 0x1e) : qRgb(0x6f, 0xae, 0x3c));
            }
        const QRectF gBox(hBox.right() + 16, y + 14, 196, 196);
        sheet.picture(gBox, cells, false);
        sheet.label(gBox, "groundmap.png (160 x 160)");
    }

    // Sky: the four sides as one panorama, the top face above the north face.
    y += 376;
    sheet.heading(y, "Sky box: top above north; north, east, south, west as one panorama");
    const std::array<const char*, 4> sides = {"north", "east", "south", "west"};
    const double face = 150;
    const QImage top = load(folder, "textures/skybox/top.png", ok);
    sheet.picture(QRectF(kMargin, y + 14, face, face), top);
    for (std::size_t i = 0; i < sides.size(); ++i) {
        const QRectF box(kMargin + static_cast<double>(i) * face, y + 14 + face, face, face);
        sheet.picture(box, load(folder, std::string("textures/skybox/") + sides[i] + ".png", ok));
    }
    const QRectF panorama(kMargin, y + 14 + face, 4 * face, face);
    sheet.label(panorama, "north, east, south, west");

    // Particles on a dark ground, as they glow in the game.
    const QRectF particles(kMargin + 4 * face + 24, y + 14, kSheetWidth - (kMargin + 4 * face + 24) - kMargin, 2 * face);
    p.fillRect(particles, QColor(0x1d, 0x20, 0x33));
    sheet.picture(QRectF(particles.left() + 10, particles.top() + 10, 270, 270), load(folder, "textures/particles/explosion.png", ok));
    const std::array<std::pair<const char*, const char*>, 3> sprites = {{
        {"textures/particles/pickup.png", "pickup"},
        {"textures/particles/redstreak_shot.png", "redstreak_shot"},
        {"textures/particles/redstreak_impact.png", "redstreak_impact"},
    }};
    for (std::size_t i = 0; i < sprites.size(); ++i) {
        const QRectF box(particles.left() + 300 + static_cast<double>(i) * 98, particles.top() + 40, 80, 80);
        sheet.picture(box, load(folder, sprites[i].first, ok));
        QFont font(sans);
        font.setPixelSize(13);
        p.setFont(font);
        p.setPen(QColor(0xdd, 0xe2, 0xf0));
        p.drawText(QRectF(box.left() - 20, box.bottom() + 4 + (i % 2) * 18, box.width() + 40, 18), Qt::AlignHCenter | Qt::TextDontClip, sprites[i].second);
    }
    {
        QFont font(sans);
        font.setPixelSize(13);
        p.setFont(font);
        p.setPen(QColor(0xdd, 0xe2, 0xf0));
        p.drawText(QRectF(particles.left() + 300, particles.bottom() - 48, 300, 40), Qt::AlignLeft | Qt::TextWordWrap,
                   "explosion.png: 64 frames in 8 x 8 cells, left to right, top row first");
    }

    // Posters.
    y += 14 + 2 * static_cast<int>(face) + 52;
    sheet.heading(y, "Posters for the advertisement boards (textures/ads/ad_01 .. ad_22.jpg)");
    for (int i = 0; i < 22; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "textures/ads/ad_%02d.jpg", i + 1);
        const QRectF box(kMargin + (i % 11) * 112.0, y + 14 + (i / 11) * 230.0, 104, 208);
        sheet.picture(box, load(folder, name, ok));
        sheet.label(box, QString("ad_%1").arg(i + 1, 2, 10, QChar('0')));
    }

    // The font, drawn the way the game draws text, and the sounds.
    y += 14 + 2 * 230 + 40;
    sheet.heading(y, "Font (drawn as the game draws text) and sounds");
    const QImage glyphs = load(folder, "fonts/default.png", ok);
    const std::array<int, 256> widths = readWidths(folder + "/fonts/default.font");
    const QRectF hud(kMargin, y + 14, 560, 230);
    {
        QLinearGradient gradient(hud.topLeft(), hud.bottomLeft());
        gradient.setColorAt(0, QColor(0x57, 0xa0, 0xee));
        gradient.setColorAt(1, QColor(0xcf, 0xe6, 0xf7));
        p.fillRect(hud, gradient);
        drawGameText(p, glyphs, widths, "Health: 100", QPointF(hud.left() + 12, hud.top() + 30), 34);
        drawGameText(p, glyphs, widths, "Papers: 12 / 40", QPointF(hud.left() + 12, hud.top() + 70), 34);
        drawGameText(p, glyphs, widths, QString::fromUtf8("Level: mächtiger als Gott"), QPointF(hud.left() + 12, hud.top() + 110), 34);
        drawGameText(p, glyphs, widths, "Level Up!", QPointF(hud.left() + 110, hud.top() + 180), 80);
    }
    const QRectF glyphBox(hud.right() + 16, y + 14, 230, 230);
    p.fillRect(glyphBox, QColor(0x2b, 0x2d, 0x42));
    sheet.picture(glyphBox, glyphs);
    sheet.label(glyphBox, "default.png, 16 x 16 Latin-1 cells");

    const std::array<const char*, 12> sounds = {"jump", "land", "footsteps", "fly", "turbo_kip_fire", "impact",
                                                 "throw_banana", "banana_impact", "collect_paper", "level_up", "explosion",
                                                 "hurt"};
    const double waveLeft = glyphBox.right() + 20, waveWidth = kSheetWidth - kMargin - waveLeft;
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        const QRectF box(waveLeft, y + 14 + static_cast<double>(i) * 22, waveWidth, 20);
        const std::vector<float> samples = loadWave(folder + "/sounds/" + sounds[i] + ".wav");
        if (samples.empty())
            ok = false;
        p.fillRect(box, QColor(0xe9, 0xe4, 0xd8));
        const double seconds = static_cast<double>(samples.size()) / 22050.0;
        const double width = std::min(1.0, seconds / 1.5) * (box.width() - 110);
        p.setPen(QPen(QColor(0xef, 0x47, 0x6f), 1));
        for (int column = 0; column < static_cast<int>(width) && !samples.empty(); ++column) {
            const std::size_t from = samples.size() * column / static_cast<std::size_t>(width);
            const std::size_t to = samples.size() * (column + 1) / static_cast<std::size_t>(width);
            float peak = 0.0f;
            for (std::size_t k = from; k < to; ++k)
                peak = std::max(peak, std::fabs(samples[k]));
            p.drawLine(QPointF(box.left() + 110 + column, box.center().y() - peak * 9), QPointF(box.left() + 110 + column, box.center().y() + peak * 9));
        }
        QFont font(sans);
        font.setPixelSize(12);
        p.setFont(font);
        p.setPen(QColor(0x2b, 0x2d, 0x42));
        p.drawText(QRectF(box.left() + 4, box.top(), 106, box.height()), Qt::AlignVCenter, sounds[i]);
    }
    p.end();

    // An indexed palette keeps the committed sheet small.
    const QImage stored = quantise(page.convertToFormat(QImage::Format_RGB32));
    if (!stored.save(QString::fromStdString(target), "png")) {
        std::fprintf(stderr, "contentgen: cannot write %s\n", target.c_str());
        return false;
    }
    return ok;
}

} // namespace cg
