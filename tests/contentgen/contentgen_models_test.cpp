// The generated models as the game loads them: every model its users draw exists with the levels
// they draw, its groups draw triangles with material instances whose materials and pictures
// resolve, its size fits the world, its faces are flat and face the way they are wound, and the
// model list names the scenery. GL calls go to the recorder; drawing is the gl test's business.

#include "engine_fixture.h"
#include "generator_runs.h"
#include "gl_recorder.h"

#include "resource/qr_resc_inifile.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_material.h"
#include "visual/materials/qr_visx_materialinstance.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariable.h"
#include "visual/geometry/qr_visx_model.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

using ::testing::IsEmpty;
namespace fs = std::filesystem;

namespace {

enum class Size { Height, Extent };

struct Expected {
    std::string path;
    int levels;
    Size measure; // the top of level 0 above the origin, or the largest side of its box
    float low, high;
    bool scenery;
};

std::vector<Expected> expectedModels()
{
    std::vector<Expected> list = {
        // The hero is about 2 units tall; the camera looks at him from 10 behind and 2 above.
        {"models\\characters\\Kipster.model", 4, Size::Height, 1.9f, 2.2f, false},
        {"models\\characters\\Turbo-Kip.model", 5, Size::Height, 1.9f, 2.2f, false},
        {"models\\characters\\monkey.model", 5, Size::Height, 1.4f, 1.8f, false},
        // Drawn at 0.4 of its size.
        {"models\\props\\banana.model", 1, Size::Extent, 1.0f, 1.6f, false},
        {"models\\props\\redstreak.model", 1, Size::Extent, 1.5f, 3.0f, false},
    };
    for (int i = 1; i <= 5; ++i)
        list.push_back({"models\\props\\paper_" + std::to_string(i) + ".model", 1, Size::Height, 1.3f, 1.8f, false});
    for (int i = 1; i <= 22; ++i)
        list.push_back({std::string("models\\environment\\ads\\ad_") + (i < 10 ? "0" : "") + std::to_string(i) + ".model", 1,
                        Size::Height, 5.5f, 7.0f, false});
    const struct {
        const char* name;
        float low, high;
    } scenery[] = {{"tree_oak", 5, 8},       {"tree_pine", 6, 10},   {"tree_birch", 5, 9},      {"bush", 0.8f, 1.6f},
                   {"rock_large", 1, 3},     {"rocks_small", 0.3f, 1}, {"lecture_hall", 8, 12}, {"library", 10, 16},
                   {"house_yellow", 5, 7},   {"house_blue", 6, 9},   {"bench", 0.8f, 1.2f},     {"street_lamp", 4, 5.5f},
                   {"fountain", 2.5f, 4},    {"fence", 1, 1.4f}};
    for (const auto& s : scenery)
        list.push_back({std::string("models\\environment\\") + s.name + ".model", 2, Size::Height, s.low, s.high, true});
    return list;
}

Vector3 position(const QRVISXVertexBuffer& buffer, int vertex) { return buffer.getVertexPosition(vertex); }

Vector3 normalAt(const QRVISXVertexBuffer& buffer, int vertex) { return buffer.getNormal(vertex); }

Vector3 minus(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3 cross(const Vector3& a, const Vector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

class GeneratedModelFiles : public EngineFixture {
protected:
    GeneratedModelFiles()
    {
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5", "GL_VERSION_2_0",
                           "GL_ARB_multitexture", "GL_ARB_texture_cube_map", "GL_EXT_blend_color", "GL_EXT_blend_minmax", "GL_ARB_shader_objects",
                           "GL_ARB_vertex_shader", "GL_ARB_fragment_shader"});
        gl_.setInteger(GL_MAX_TEXTURE_UNITS, 4);
        gl_.setInteger(GL_MAX_TEXTURE_SIZE, 2048);
        const auto options = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
        if (generatorRuns().ok)
            fs::copy(generatorRuns().plain.path(), programFolder().path(), options);
        fs::copy(fs::path(KIPSTER_SOURCE_DIR) / "content", programFolder().path(), options);
        // The materials' shader configurations compile against the recorder.
        visual_->getExtensionManager()->initialize();
        visual_->getTransform()->initialize();
        visual_->getMaterialManager()->initialize();
    }
    void SetUp() override { ASSERT_TRUE(generatorRuns().ok) << "the generator failed"; }

    QROwned<QRVISXModel> load(const std::string& path)
    {
        auto model = qrNew<QRVISXModel>(nullptr);
        model->loadFromFile(path);
        return model;
    }

    // Triangles of a level group by group: the level buffer's vertex numbers, three by three.
    static std::vector<std::array<int, 3>> triangles(const QRVISXModelLod& lod, int group)
    {
        std::vector<std::array<int, 3>> result;
        const QRVISXModelGroup& g = *lod.getGroup(group);
        for (int i = g.getFirstIndex(); i + 2 <= g.getLastIndex(); i += 3)
            result.push_back({lod.getVertexBuffer()->getIndex(i), lod.getVertexBuffer()->getIndex(i + 1),
                              lod.getVertexBuffer()->getIndex(i + 2)});
        return result;
    }

    GLRecorder gl_;
    QROwned<QRVISXMain> visual_ = qrNew<QRVISXMain>(nullptr);
};

} // namespace

std::vector<std::string> generatedModelPaths()
{
    std::vector<std::string> paths;
    for (const Expected& model : expectedModels())
        paths.push_back(model.path);
    return paths;
}

TEST_F(GeneratedModelFiles, EveryModelHasTheLevelsItsUserDrawsWithResolvedMaterialsAndAFittingSize)
{
    for (const Expected& expected : expectedModels()) {
        SCOPED_TRACE(expected.path);
        auto model = load(expected.path);
        ASSERT_EQ(model->getLodCount(), expected.levels);
        EXPECT_EQ(model->getName(), expected.path) << "an area naming the model loads it by that name";
        for (int i = 0; i < model->getMaterialInstanceCount(); ++i) {
            const QRVISXMaterialInstance& instance = *model->getMaterialInstance(i);
            ASSERT_NE(instance.getMaterial(), nullptr) << instance.getName();
            EXPECT_TRUE(instance.getMaterial()->isCompiled()) << instance.getName();
            EXPECT_NE(instance.getMaterial()->getDefaultPass(), nullptr) << instance.getName();
            if (instance.getMaterial()->getFileName() == "materials\\model_textured.material") {
                const auto* picture = instance.findTextureVariable("modelTexture");
                ASSERT_NE(picture, nullptr) << instance.getName();
                ASSERT_NE(picture->getTexture(), nullptr) << instance.getName();
                EXPECT_GE(picture->getTexture()->getWidth(), 256) << instance.getName();
            }
        }
        int mostTriangles = 0;
        for (int level = 0; level < model->getLodCount(); ++level) {
            const QRVISXModelLod& lod = *model->getLod(level);
            ASSERT_GE(lod.getGroupCount(), 1) << lod.getName();
            int levelTriangles = 0;
            for (int g = 0; g < lod.getGroupCount(); ++g) {
                const QRVISXModelGroup& group = *lod.getGroup(g);
                EXPECT_EQ(group.getPrimitiveMode(), static_cast<GLenum>(GL_TRIANGLES));
                const int count = group.getLastIndex() - group.getFirstIndex() + 1;
                EXPECT_GT(count, 0) << lod.getName() << " group " << g;
                EXPECT_EQ(count % 3, 0) << lod.getName() << " group " << g;
                EXPECT_NE(group.getMaterialInstance(), nullptr) << lod.getName() << " group " << g;
                levelTriangles += count / 3;
            }
            mostTriangles = std::max(mostTriangles, levelTriangles);
        }
        EXPECT_LE(mostTriangles, expected.scenery ? 800 : 2000) << "low-poly";
        if (expected.scenery) {
            // What the game draws far away: the same shape in no more triangles, and for what the
            // town has most of (trees, bushes, houses, lamps) in at most two thirds of them.
            const QRVISXModelLod& near = *model->getLod(0);
            const QRVISXModelLod& far = *model->getLod(1);
            EXPECT_EQ(far.getName(), "far");
            const int nearIndices = near.getVertexBuffer()->getIndexCount();
            const int farIndices = far.getVertexBuffer()->getIndexCount();
            EXPECT_LE(farIndices, nearIndices);
            const bool plentiful = expected.path.find("tree_") != std::string::npos ||
                                   expected.path.find("house_") != std::string::npos ||
                                   expected.path.find("bush") != std::string::npos ||
                                   expected.path.find("street_lamp") != std::string::npos;
            if (plentiful) {
                EXPECT_LE(3 * farIndices, 2 * nearIndices);
            }
            EXPECT_NEAR(far.getRadius(), near.getRadius(), 0.1f * near.getRadius());
        }

        const QRVISXModelLod& first = *model->getLod(0);
        const Vector3 &low = first.getBoundingBoxMinimum(), &high = first.getBoundingBoxMaximum();
        const float size = expected.measure == Size::Height
                               ? high.y
                               : std::max({high.x - low.x, high.y - low.y, high.z - low.z});
        EXPECT_GE(size, expected.low);
        EXPECT_LE(size, expected.high);
        EXPECT_GT(first.getRadius(), 0.0f);
    }
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(GeneratedModelFiles, FacesAreFlatAndFaceTheWayTheyAreWound)
{
    for (const Expected& expected : expectedModels()) {
        SCOPED_TRACE(expected.path);
        auto model = load(expected.path);
        for (int level = 0; level < model->getLodCount(); ++level) {
            const QRVISXModelLod& lod = *model->getLod(level);
            const QRVISXVertexBuffer& buffer = *lod.getVertexBuffer();
            ASSERT_EQ(buffer.getNormalComponents(), 3);
            int wrong = 0, total = 0;
            for (int g = 0; g < lod.getGroupCount(); ++g)
                for (const auto& t : triangles(lod, g)) {
                    const Vector3 a = position(buffer, t[0]), b = position(buffer, t[1]), c = position(buffer, t[2]);
                    const Vector3 wound = cross(minus(b, a), minus(c, a));
                    const float area = std::sqrt(dot(wound, wound));
                    const Vector3 n = normalAt(buffer, t[0]);
                    EXPECT_NEAR(dot(n, n), 1.0f, 1e-3f);
                    // Flat: the three corners of a face carry one normal.
                    EXPECT_EQ(n, normalAt(buffer, t[1]));
                    EXPECT_EQ(n, normalAt(buffer, t[2]));
                    if (area < 1e-6f)
                        continue;
                    ++total;
                    wrong += dot(n, wound) / area < 0.9f ? 1 : 0;
                }
            EXPECT_EQ(wrong, 0) << lod.getName() << ": faces whose normal is not their winding's, of " << total;
        }
    }
}

TEST_F(GeneratedModelFiles, ModelListNamesEverySceneryModelInOrder)
{
    auto list = qrNew<QRRESCIniFile>(nullptr, "models\\models.ini");
    auto names = qrNew<QRRESCStringList>(nullptr, true, false);
    list->readSection("MODELS", *names);
    std::vector<std::string> listed(names->begin(), names->end()), scenery;
    for (const Expected& expected : expectedModels())
        if (expected.scenery)
            scenery.push_back(expected.path);
    EXPECT_EQ(listed, scenery);
    EXPECT_GE(listed.size(), 12u);
    for (const std::string& name : listed)
        EXPECT_TRUE(fs::is_regular_file(programFolder() / onDisk(name))) << name;
}

TEST_F(GeneratedModelFiles, TurboKipFlashesAtTheMuzzleWhereHisShotsStart)
{
    // The game launches the red streak 1.2 above his feet, 0.9 to his right and 0.7 ahead.
    const Vector3 muzzle{0.9f, 1.2f, -0.7f};
    auto model = load("models\\characters\\Turbo-Kip.model");
    ASSERT_EQ(model->getLodCount(), 5);
    const auto glowing = [&](int level) {
        const QRVISXModelLod& lod = *model->getLod(level);
        std::vector<Vector3> points;
        for (int g = 0; g < lod.getGroupCount(); ++g)
            if (lod.getGroup(g)->getMaterialInstance()->getMaterial()->getFileName() == "materials\\model_glow.material")
                for (const auto& t : triangles(lod, g))
                    for (int v : t)
                        points.push_back(position(*lod.getVertexBuffer(), v));
        return points;
    };
    const std::vector<Vector3> firing = glowing(4);
    EXPECT_GT(firing.size(), glowing(0).size()) << "the shot's flash";
    float nearest = 1e9f;
    for (const Vector3& p : firing) {
        const Vector3 d = minus(p, muzzle);
        nearest = std::min(nearest, std::sqrt(dot(d, d)));
    }
    EXPECT_LT(nearest, 0.3f);
}
