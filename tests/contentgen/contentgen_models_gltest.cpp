// The generated models drawn by the engine into a render target on Xvfb, with their own materials,
// the sun set as the world sets it: every level of a character is a pose of its own, and every
// model shows up lit, in colour, with its pictures. With KIPSTER_MODEL_SHEET set to a file name the
// second test also writes the contact sheet of all models there (docs/models.png).

#include "generator_runs.h"
#include "gl_context_fixture.h"

#include "core/qr_core_devicemanager.h"
#include "math/qr_math_quaternion.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/geometry/qr_visx_model.h"
#include "visual/targets/qr_visx_rendertarget.h"
#include "visual/targets/qr_visx_rendertargetconfiguration.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>

using ::testing::IsEmpty;
namespace fs = std::filesystem;

namespace {

constexpr int kTarget = 384;

struct View {
    float yaw = 150.0f;    // the camera's heading; 180 looks at the front straight on
    float framing = 1.0f;  // below 1 frames tighter
    bool night = false;    // a dark sky for glowing models, which only add light
};
// Characters are seen more from their right, where Turbo-Kip holds his blaster, and framed
// tighter: their bounds hold every pose.
constexpr View kCharacterView{130.0f, 0.85f, false};

// The generator's output, made once for the program.
const fs::path& generatedFolder()
{
    static TempFolder folder;
    static const bool generated = runGenerator(folder.path(), {});
    EXPECT_TRUE(generated) << "the generator failed";
    return folder.path();
}

struct Bounds {
    Vector3 low{1e9f, 1e9f, 1e9f}, high{-1e9f, -1e9f, -1e9f};
};

class GeneratedModels : public GLContextFixture {
protected:
    GeneratedModels()
    {
        const auto options = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
        fs::copy(generatedFolder(), programFolder().path(), options);
        fs::copy(fs::path(KIPSTER_SOURCE_DIR) / "content", programFolder().path(), options);
        visual().generateMainRenderContext("Main RC", "Visual Device");
        core().getDeviceManager()->createVirtualDevice("Model Device", kTarget, kTarget);
        auto& targets = *visual().getRenderTargetManager();
        auto* colour = targets.createRenderTargetTexture("Model Color", 0, kTarget, kTarget, QRVISXRenderTarget::kPixelRGBA);
        auto* depth = targets.createRenderBuffer("Model Depth", 2, kTarget, kTarget);
        target_ = targets.createRenderTargetConfigurationForDevice("Model", "Model Device");
        target_->setColorTarget(colour);
        target_->setDepthTarget(depth);
        // The sun as the world's light sets it.
        QRVISXMaterialVariablePool& pool = *visual().getMaterialManager()->getVariablePool();
        pool.setVector3("LightDirection", {0.0f, 0.7071068f, -0.7071068f});
        pool.setVector3("LightDiffuse", {0.7f, 0.7f, 0.7f});
        pool.setVector3("LightAmbient", {0.3f, 0.3f, 0.3f});
    }

    QROwned<QRVISXModel> load(const std::string& path)
    {
        auto model = qrNew<QRVISXModel>(nullptr);
        model->loadFromFile(path);
        model->generateVBO();
        return model;
    }

    static Bounds boundsOf(const QRVISXModel& model)
    {
        Bounds b;
        for (int level = 0; level < model.getLodCount(); ++level) {
            const QRVISXModelLod& lod = *model.getLod(level);
            const Vector3 &low = lod.getBoundingBoxMinimum(), &high = lod.getBoundingBoxMaximum();
            b.low = {std::min(b.low.x, low.x), std::min(b.low.y, low.y), std::min(b.low.z, low.z)};
            b.high = {std::max(b.high.x, high.x), std::max(b.high.y, high.y), std::max(b.high.z, high.z)};
        }
        return b;
    }

    // One level seen from the front, a little from its right and above, framing the bounds;
    // straight RGBA with alpha 0 where nothing was drawn (or over a night sky, for glowing models
    // that only add light), top row first.
    QImage draw(QRVISXModel& model, int level, const Bounds& bounds, const View& view = {})
    {
        target_->bind();
        QRVISXMaterialManager& materials = *visual().getMaterialManager();
        // The previous model's last material may have left depth writes off, which also stops
        // the depth buffer from being cleared.
        materials.resetForMaterial();
        materials.applyAll(true);
        if (view.night)
            qrGL().clearColor(0.06f, 0.08f, 0.16f, 1.0f);
        else
            qrGL().clearColor(0.0f, 0.0f, 0.0f, 0.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

        const Vector3 centre{(bounds.low.x + bounds.high.x) * 0.5f, (bounds.low.y + bounds.high.y) * 0.5f,
                             (bounds.low.z + bounds.high.z) * 0.5f};
        const Vector3 half{(bounds.high.x - bounds.low.x) * 0.5f, (bounds.high.y - bounds.low.y) * 0.5f,
                           (bounds.high.z - bounds.low.z) * 0.5f};
        const float radius = std::sqrt(half.x * half.x + half.y * half.y + half.z * half.z);
        constexpr float kFieldOfView = 30.0f;
        const float distance = radius / std::sin(kFieldOfView * 0.5f * kDegreesToRadians) * view.framing;
        const Quaternion orientation = QRMATHQuaternion::rotateX(QRMATHQuaternion::fromRotationY(view.yaw), -18.0f);
        const Vector3 forward = QRMATHQuaternion::forward(orientation);
        QRVISXCamera3D& camera = *visual().getCameraManager()->get3DCamera();
        camera.setFieldOfView(kFieldOfView);
        camera.setClipPlanes(distance * 0.05f, distance * 3.0f);
        camera.setPosition({centre.x - forward.x * distance, centre.y - forward.y * distance, centre.z - forward.z * distance});
        camera.setOrientation(orientation);
        visual().getCameraManager()->activateCamera(&camera);
        visual().getTransform()->getWorld()->reset();
        visual().getTransform()->getWorld()->apply();
        model.renderLod(level, true);
        qrGL().finish();

        QImage picture(kTarget, kTarget, QImage::Format_RGBA8888);
        std::vector<GLubyte> pixels(static_cast<std::size_t>(kTarget * kTarget * 4));
        qrGL().readPixels(0, 0, kTarget, kTarget, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        for (int y = 0; y < kTarget; ++y)
            std::copy_n(pixels.data() + static_cast<std::size_t>((kTarget - 1 - y) * kTarget * 4), kTarget * 4,
                        picture.scanLine(y));
        target_->unbind();
        return picture;
    }

    static double coverage(const QImage& picture)
    {
        int covered = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                covered += qAlpha(picture.pixel(x, y)) > 0 ? 1 : 0;
        return static_cast<double>(covered) / (picture.width() * picture.height());
    }

    // Share of pixels that clearly differ between two pictures.
    static double difference(const QImage& a, const QImage& b)
    {
        int differing = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                        std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
                differing += d > 40 ? 1 : 0;
            }
        return static_cast<double>(differing) / (a.width() * a.height());
    }

    // Mean brightness (0..255) and the number of distinct coarse colours of the drawn pixels.
    static std::pair<double, int> colours(const QImage& picture)
    {
        double sum = 0.0;
        int count = 0;
        std::set<int> coarse;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb p = picture.pixel(x, y);
                if (qAlpha(p) < 255)
                    continue;
                sum += (qRed(p) + qGreen(p) + qBlue(p)) / 3.0;
                ++count;
                coarse.insert((qRed(p) / 32) * 64 + (qGreen(p) / 32) * 8 + qBlue(p) / 32);
            }
        return {count > 0 ? sum / count : 0.0, static_cast<int>(coarse.size())};
    }

    QRVISXRenderTargetConfiguration* target_ = nullptr;
};

struct Character {
    const char* path;
    std::vector<const char*> levels;
};

const std::vector<Character> kCharacters = {
    {"models\\characters\\Kipster.model", {"standing", "flying", "step A", "step B"}},
    {"models\\characters\\Turbo-Kip.model", {"standing", "step A", "step B", "airborne", "firing"}},
    {"models\\characters\\monkey.model", {"idle", "typing", "thinking", "winding up", "throwing"}},
};

std::vector<std::string> otherModels()
{
    std::vector<std::string> paths = {"models\\props\\banana.model", "models\\props\\redstreak.model"};
    for (int i = 1; i <= 5; ++i)
        paths.push_back("models\\props\\paper_" + std::to_string(i) + ".model");
    for (const char* name : {"tree_oak", "tree_pine", "tree_birch", "bush", "rock_large", "rocks_small", "lecture_hall", "library",
                             "house_yellow", "house_blue", "bench", "street_lamp", "fountain", "fence"})
        paths.push_back(std::string("models\\environment\\") + name + ".model");
    return paths;
}

// "models\\props\\banana.model" -> "banana"
QString shortName(const std::string& path)
{
    const std::string file = path.substr(path.find_last_of('\\') + 1);
    return QString::fromStdString(file.substr(0, file.find('.')));
}

std::string adPath(int i) { return std::string("models\\environment\\ads\\ad_") + (i < 10 ? "0" : "") + std::to_string(i) + ".model"; }

// The contact sheet: the drawn models on tiles of soft sky, each with its name.
class Sheet {
public:
    static constexpr int kColumns = 7, kTile = 216, kSmall = 108, kMargin = 24, kHeader = 64;

    void add(const QImage& picture, const QString& label, bool small = false)
    {
        tiles_.push_back({picture, label, small});
    }

    QImage compose() const
    {
        int bigRows = 0, smallRows = 0, column = 0;
        bool previousSmall = false;
        for (const Tile& tile : tiles_) {
            if (tile.small != previousSmall || column == (tile.small ? kColumns * 2 : kColumns))
                column = 0;
            if (column == 0)
                ++(tile.small ? smallRows : bigRows);
            ++column;
            previousSmall = tile.small;
        }
        const int width = 2 * kMargin + kColumns * kTile;
        const int height = kHeader + kMargin + bigRows * (kTile + 26) + smallRows * (kSmall + 22) + kMargin;
        QImage page(width, height, QImage::Format_ARGB32_Premultiplied);
        page.fill(QColor(0xf7, 0xf3, 0xea));
        QPainter p(&page);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        QFont title("DejaVu Sans");
        title.setPixelSize(34);
        title.setBold(true);
        p.setFont(title);
        p.setPen(QColor(0xef, 0x47, 0x6f));
        p.drawText(QPointF(kMargin, 46), "Kipster");
        QFont subtitle("DejaVu Sans");
        subtitle.setPixelSize(17);
        p.setFont(subtitle);
        p.setPen(QColor(0x5c, 0x67, 0x7d));
        p.drawText(QPointF(kMargin + 150, 46), "models made by tools/contentgen, drawn by the engine with their materials");
        QFont label("DejaVu Sans");
        label.setPixelSize(13);
        int x = kMargin, y = kHeader + kMargin;
        column = 0;
        previousSmall = false;
        for (const Tile& tile : tiles_) {
            const int size = tile.small ? kSmall : kTile, columns = tile.small ? kColumns * 2 : kColumns;
            if (tile.small != previousSmall || column == columns) {
                if (column > 0)
                    y += (previousSmall ? kSmall + 22 : kTile + 26);
                column = 0;
            }
            x = kMargin + column * size;
            const QRectF box(x + 3, y + 3, size - 6, size - 6);
            QLinearGradient sky(box.topLeft(), box.bottomLeft());
            sky.setColorAt(0.0, QColor(0xc9, 0xe6, 0xf8));
            sky.setColorAt(1.0, QColor(0xf1, 0xf8, 0xfd));
            p.setPen(Qt::NoPen);
            p.setBrush(sky);
            p.drawRoundedRect(box, 10, 10);
            QPainterPath rounded;
            rounded.addRoundedRect(box, 10, 10);
            p.setClipPath(rounded);
            p.drawImage(box, tile.picture.convertToFormat(QImage::Format_ARGB32_Premultiplied));
            p.setClipping(false);
            p.setFont(label);
            p.setPen(QColor(0x2b, 0x2d, 0x42));
            p.drawText(QRectF(x, y + size - 2, size, 20), Qt::AlignHCenter | Qt::AlignTop, tile.label);
            ++column;
            previousSmall = tile.small;
        }
        p.end();
        return page;
    }

private:
    struct Tile {
        QImage picture;
        QString label;
        bool small;
    };
    std::vector<Tile> tiles_;
};

} // namespace

TEST_F(GeneratedModels, EachCharacterLevelIsAPoseOfItsOwn)
{
    for (const Character& character : kCharacters) {
        SCOPED_TRACE(character.path);
        auto model = load(character.path);
        ASSERT_EQ(model->getLodCount(), static_cast<int>(character.levels.size()));
        const Bounds bounds = boundsOf(*model);
        std::vector<QImage> poses;
        for (int level = 0; level < model->getLodCount(); ++level) {
            EXPECT_EQ(model->getLod(level)->getName(), character.levels[static_cast<std::size_t>(level)]);
            poses.push_back(draw(*model, level, bounds, kCharacterView));
            EXPECT_GT(coverage(poses.back()), 0.05) << "level " << level << " hardly shows";
        }
        for (std::size_t a = 0; a < poses.size(); ++a)
            for (std::size_t b = 0; b < a; ++b)
                EXPECT_GT(difference(poses[a], poses[b]), 0.01) << "levels " << a << " and " << b << " look alike";
    }
    EXPECT_FALSE(visual().checkGLError());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(GeneratedModels, EveryModelShowsLitColoursAndItsPictures)
{
    Sheet sheet;
    for (const Character& character : kCharacters) {
        auto model = load(character.path);
        const Bounds bounds = boundsOf(*model);
        const QString name = shortName(character.path);
        for (int level = 0; level < model->getLodCount(); ++level)
            sheet.add(draw(*model, level, bounds, kCharacterView), name + " " + QString::number(level) + ": " + character.levels[static_cast<std::size_t>(level)]);
    }
    for (const std::string& path : otherModels()) {
        SCOPED_TRACE(path);
        auto model = load(path);
        // Scenery has its far level besides; it must look the same way.
        const bool scenery = path.find("environment\\") != std::string::npos;
        ASSERT_EQ(model->getLodCount(), scenery ? 2 : 1);
        const bool glowing = path.find("redstreak") != std::string::npos;
        for (int level = 0; level < model->getLodCount(); ++level) {
            const QImage picture = draw(*model, level, boundsOf(*model), {150.0f, 1.0f, glowing});
            const auto [brightness, kinds] = colours(picture);
            if (!glowing) {
                EXPECT_GT(coverage(picture), 0.03) << "level " << level;
                EXPECT_GT(brightness, 70.0) << "lit, not dark; level " << level;
                EXPECT_GE(kinds, 3) << "faces in several colours and shades; level " << level;
            }
            if (level == 0)
                sheet.add(picture, shortName(path));
        }
    }
    // Each board shows its own poster: boards differ only there.
    QImage first;
    for (int i = 1; i <= 22; ++i) {
        auto model = load(adPath(i));
        const QImage picture = draw(*model, 0, boundsOf(*model), {180.0f, 1.0f, false});
        if (i == 1) {
            first = picture;
        } else {
            EXPECT_GT(difference(picture, first), 0.02) << adPath(i);
        }
        sheet.add(picture, QString("ad_%1").arg(i, 2, 10, QChar('0')), true);
    }
    EXPECT_FALSE(visual().checkGLError());
    EXPECT_THAT(shownBoxes(), IsEmpty());
    if (const char* target = std::getenv("KIPSTER_MODEL_SHEET")) {
        EXPECT_TRUE(sheet.compose().save(QString::fromLocal8Bit(target)));
    }
}
