#include "visual_unit_fixture.h"

#include "resource/qr_resc_stringlist.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/materials/qr_visx_material.h"
#include "visual/materials/qr_visx_materialinstance.h"
#include "visual/geometry/qr_visx_model.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"
#include "visual/geometry/qr_visx_vertexbuffermanager.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cstring>
#include <functional>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

// A model file put together field by field, as the format describes it.
struct Bytes {
    std::string data;
    void i32(std::int32_t value) { data.append(reinterpret_cast<const char*>(&value), 4); }
    void f32(float value) { data.append(reinterpret_cast<const char*>(&value), 4); }
    void byte(std::uint8_t value) { data.push_back(static_cast<char>(value)); }
    void str(const std::string& text)
    {
        i32(static_cast<std::int32_t>(text.size()));
        data += text;
    }
};

// The fields a hostile file may lie about; the records written stay those of a valid file.
struct FileFields {
    std::int32_t instanceCount = 1;
    std::int32_t scriptLines = 1;
    std::int32_t levelCount = 1;
    std::uint8_t flag = 0;
    std::int32_t normals = 3;
    std::int32_t texCoords0 = 2;
    std::int32_t vertexCount = 3;
    std::int32_t indexCount = 3;
    std::int32_t lastIndexValue = 2;
    std::int32_t groupCount = 2;
    std::int32_t modeB = GL_LINE_LOOP;
    std::int32_t firstB = 1;
    std::int32_t lastB = 2;
    std::int32_t instanceB = -1;
};

std::string modelFile(const FileFields& f = {})
{
    Bytes b;
    b.data = "QOR____1";
    b.str("Hand");
    b.i32(f.instanceCount);
    b.str("Skin");
    b.str("materials\\plain.material");
    b.i32(f.scriptLines);
    b.str("remark kept as written");
    b.i32(f.levelCount);
    b.str("Main");
    b.byte(f.flag);
    b.f32(0.5f);
    b.f32(2.0f);
    for (float v : {-1.0f, -2.0f, -3.0f, 1.0f, 2.0f, 3.0f, 3.75f})
        b.f32(v);
    // Vertex buffer: normals, colours, weights, eight texture sets, highest set, indexed, counts.
    b.i32(f.normals);
    b.i32(0);
    b.i32(0);
    b.i32(f.texCoords0);
    for (int set = 1; set < 8; ++set)
        b.i32(0);
    b.i32(0);
    b.byte(1);
    b.i32(f.vertexCount);
    b.i32(f.indexCount);
    for (float v : {0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f})
        b.f32(v);
    for (int v = 0; v < 3; ++v) {
        b.f32(0.0f);
        b.f32(0.0f);
        b.f32(1.0f);
    }
    for (float v : {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f})
        b.f32(v);
    b.i32(0);
    b.i32(1);
    b.i32(f.lastIndexValue);
    b.i32(f.groupCount);
    b.str("A");
    b.i32(GL_TRIANGLES);
    b.i32(0);
    b.i32(2);
    b.i32(0);
    b.str("B");
    b.i32(f.modeB);
    b.i32(f.firstB);
    b.i32(f.lastB);
    b.i32(f.instanceB);
    return b.data;
}

class Model : public VisualUnitFixture {
protected:
    Model()
    {
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5",
                           "GL_VERSION_2_0", "GL_EXT_vertex_array", "GL_ARB_vertex_buffer_object"});
        visual_->getExtensionManager()->initialize();
        visual_->getVertexBufferManager()->initialize();
        programFolder().write("materials/plain.material", "material plain\r\ndefault pass main\r\npass main :\r\n"
                                                          "reset states\r\n");
        gl_.clearCalls();
    }

    // An indexed square of 4 vertices and 6 indices at height y, with normals.
    static void fillSquare(QRVISXVertexBuffer& buffer, float y)
    {
        buffer.create(4, 6);
        const int indices[] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; ++i)
            buffer.setIndex(i, indices[i]);
        for (int v = 0; v < 4; ++v) {
            buffer.setVertexPosition(v, {float(v & 1), y, float(v >> 1)});
            buffer.setNormal(v, {0, 1, 0});
        }
    }

    QROwned<QRVISXModel> loadModel(const std::string& bytes)
    {
        programFolder().write("models/test.model", bytes);
        auto model = qrNew<QRVISXModel>(nullptr);
        model->loadFromFile("models\\test.model");
        return model;
    }
};

} // namespace

TEST_F(Model, MergingTwoIndexedGroupsOffsetsTheSecondGroupsIndicesAndRange)
{
    auto model = qrNew<QRVISXModel>(nullptr);
    model->setLodCount(1);
    QRVISXModelLod& lod = *model->getLod(0);
    lod.setGroupCount(2);
    fillSquare(*lod.getGroup(0)->createBuffer(), 0.0f);
    QRVISXVertexBuffer& second = *lod.getGroup(1)->createBuffer();
    second.setComponentCounts(3, 4, 0);
    fillSquare(second, 5.0f);
    second.setColor(1, {1, 0, 0, 1});

    lod.buildBuffer();

    const QRVISXVertexBuffer& level = *lod.getVertexBuffer();
    EXPECT_EQ(level.getVertexCount(), 8);
    EXPECT_EQ(level.getIndexCount(), 12);
    EXPECT_THAT(level.getIndices(), ElementsAre(0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7));
    EXPECT_EQ(lod.getGroup(0)->getFirstIndex(), 0);
    EXPECT_EQ(lod.getGroup(0)->getLastIndex(), 5);
    EXPECT_EQ(lod.getGroup(1)->getFirstIndex(), 6);
    EXPECT_EQ(lod.getGroup(1)->getLastIndex(), 11);
    EXPECT_FALSE(lod.getGroup(0)->hasBuffer());
    EXPECT_FALSE(lod.getGroup(1)->hasBuffer());
    EXPECT_EQ(lod.getGroup(1)->getPrimitiveMode(), static_cast<GLenum>(GL_TRIANGLES));
    // The level took the colours group 1 brought; group 0's vertices have none.
    EXPECT_EQ(level.getColorComponents(), 4);
    EXPECT_EQ(level.getColor(5), (Vector4{1, 0, 0, 1}));
    EXPECT_EQ(level.getColor(1), (Vector4{0, 0, 0, 0}));
    expectPoint(level.getVertexPosition(7), {1, 5, 1});
    const std::string log = logText();
    EXPECT_THAT(log, HasSubstr("  Vertices in LOD Buffer: 8"));
    EXPECT_THAT(log, HasSubstr("  Indices in LOD Buffer:  12"));
}

TEST_F(Model, AGroupWithoutIndicesGetsOneIndexPerVertexSoItsRangeDraws)
{
    auto model = qrNew<QRVISXModel>(nullptr);
    model->setLodCount(1);
    QRVISXModelLod& lod = *model->getLod(0);
    lod.setGroupCount(2);
    fillSquare(*lod.getGroup(0)->createBuffer(), 0.0f);
    QRVISXVertexBuffer& strip = *lod.getGroup(1)->createBuffer();
    strip.setPrimitive(false, GL_LINE_STRIP);
    strip.create(3);

    lod.buildBuffer();

    EXPECT_THAT(lod.getVertexBuffer()->getIndices(), ElementsAre(0, 1, 2, 0, 2, 3, 4, 5, 6));
    EXPECT_EQ(lod.getGroup(1)->getFirstIndex(), 6);
    EXPECT_EQ(lod.getGroup(1)->getLastIndex(), 8);
    EXPECT_EQ(lod.getGroup(1)->getPrimitiveMode(), static_cast<GLenum>(GL_LINE_STRIP));
}

TEST_F(Model, BoundsAlwaysContainTheOrigin)
{
    auto model = qrNew<QRVISXModel>(nullptr);
    model->setLodCount(1);
    QRVISXModelLod& lod = *model->getLod(0);
    QRVISXVertexBuffer& buffer = *lod.createVertexBuffer();
    buffer.create(2);
    buffer.setVertexPosition(0, {-1, -2, -2});
    buffer.setVertexPosition(1, {-4, -1, -3});

    lod.updateBounds();

    expectPoint(lod.getBoundingBoxMinimum(), {-4, -2, -3});
    expectPoint(lod.getBoundingBoxMaximum(), {0, 0, 0});
    EXPECT_FLOAT_EQ(lod.getRadius(), 5.0990195f);
}

TEST_F(Model, BuiltModelSavedLoadedAndSavedAgainGivesTheSameBytes)
{
    auto model = qrNew<QRVISXModel>(nullptr);
    model->setName("Crate");
    model->setMaterialInstanceCount(2);
    model->getMaterialInstance(0)->setName("Wood");
    model->getMaterialInstance(0)->setMaterial("materials\\plain.material");
    model->getMaterialInstance(1)->setName("Label");
    model->getMaterialInstance(1)->getScript().add("set texture2d diffuse textures\\label.png");
    model->setLodCount(2);
    QRVISXModelLod& high = *model->getLod(0);
    high.setName("High");
    high.setGroupCount(2);
    high.getGroup(0)->setName("Sides");
    fillSquare(*high.getGroup(0)->createBuffer(), 1.0f);
    high.getGroup(0)->setMaterialInstance(model->getMaterialInstance(0));
    QRVISXVertexBuffer& label = *high.getGroup(1)->createBuffer();
    label.setTexCoordComponents(0, 2);
    fillSquare(label, 2.0f);
    label.setTexCoord(0, 2, {1, 1});
    high.getGroup(1)->setMaterialInstance(model->getMaterialInstance(1));
    QRVISXModelLod& low = *model->getLod(1);
    low.setName("Low");
    low.setFlag(false);
    low.setValue(0, 1.5f);
    low.setValue(1, -2.0f);
    low.setGroupCount(1);
    QRVISXVertexBuffer& triangle = *low.getGroup(0)->createBuffer();
    triangle.create(3);
    triangle.setVertexPosition(2, {0, 3, 0});

    programFolder().write("models/readme.txt", "models go here");
    model->saveToFile("models\\crate.model");
    auto loaded = qrNew<QRVISXModel>(nullptr);
    loaded->loadFromFile("models\\crate.model");
    EXPECT_EQ(loaded->getFileName(), "models\\crate.model");
    loaded->saveToFile("models\\again.model");

    EXPECT_THAT(shownBoxes(), IsEmpty());
    const std::string first = programFolder().read("models/crate.model");
    EXPECT_EQ(first.substr(0, 8), "QOR____1");
    EXPECT_EQ(programFolder().read("models/again.model"), first);
    EXPECT_EQ(loaded->getName(), "Crate");
    ASSERT_EQ(loaded->getLodCount(), 2);
    ASSERT_EQ(loaded->getMaterialInstanceCount(), 2);
    EXPECT_EQ(loaded->getMaterialInstance(0)->getMaterial()->getFileName(), "materials\\plain.material");
    EXPECT_EQ(loaded->getMaterialInstance(1)->getScript().get(0), "set texture2d diffuse textures\\label.png");
    const QRVISXModelLod& lod = *loaded->getLod(0);
    EXPECT_EQ(lod.getName(), "High");
    EXPECT_EQ(lod.getGroup(1)->getFirstIndex(), 6);
    EXPECT_EQ(lod.getGroup(1)->getLastIndex(), 11);
    EXPECT_EQ(lod.getGroup(0)->getMaterialInstance(), loaded->getMaterialInstance(0));
    EXPECT_EQ(lod.getGroup(1)->getMaterialInstance(), loaded->getMaterialInstance(1));
    EXPECT_EQ(lod.getVertexBuffer()->getPrimitiveMode(), static_cast<GLenum>(GL_TRIANGLES));
    EXPECT_EQ(lod.getVertexBuffer()->getTexCoord(0, 6), (Vector2{1, 1}));
    EXPECT_FALSE(loaded->getLod(1)->getFlag());
    EXPECT_EQ(loaded->getLod(1)->getValue(1), -2.0f);
    EXPECT_EQ(loaded->getLod(1)->getRadius(), 3.0f);
}

TEST_F(Model, FileWrittenFromTheFormatLoadsWithItsLevelsGroupsAndInstances)
{
    auto model = loadModel(modelFile());

    EXPECT_THAT(shownBoxes(), IsEmpty());
    EXPECT_EQ(model->getName(), "Hand");
    ASSERT_EQ(model->getMaterialInstanceCount(), 1);
    QRVISXMaterialInstance& skin = *model->getMaterialInstance(0);
    EXPECT_EQ(skin.getName(), "Skin");
    ASSERT_NE(skin.getMaterial(), nullptr);
    EXPECT_EQ(skin.getMaterial()->getFileName(), "materials\\plain.material");
    EXPECT_EQ(skin.getScript().get(0), "remark kept as written");
    ASSERT_EQ(model->getLodCount(), 1);
    const QRVISXModelLod& lod = *model->getLod(0);
    EXPECT_EQ(lod.getName(), "Main");
    EXPECT_EQ(lod.getID(), computeNameID("main"));
    EXPECT_FALSE(lod.getFlag());
    EXPECT_EQ(lod.getValue(0), 0.5f);
    expectPoint(lod.getBoundingBoxMinimum(), {-1, -2, -3});
    expectPoint(lod.getBoundingBoxMaximum(), {1, 2, 3});
    EXPECT_EQ(lod.getRadius(), 3.75f);
    const QRVISXVertexBuffer& buffer = *lod.getVertexBuffer();
    EXPECT_EQ(buffer.getVertexCount(), 3);
    EXPECT_THAT(buffer.getIndices(), ElementsAre(0, 1, 2));
    expectPoint(buffer.getNormal(2), {0, 0, 1});
    EXPECT_EQ(buffer.getTexCoord(0, 2), (Vector2{0, 1}));
    ASSERT_EQ(lod.getGroupCount(), 2);
    EXPECT_EQ(lod.getGroup(0)->getName(), "A");
    EXPECT_EQ(lod.getGroup(0)->getMaterialInstance(), &skin);
    EXPECT_EQ(lod.getGroup(1)->getPrimitiveMode(), static_cast<GLenum>(GL_LINE_LOOP));
    EXPECT_EQ(lod.getGroup(1)->getFirstIndex(), 1);
    EXPECT_EQ(lod.getGroup(1)->getMaterialInstance(), nullptr);
    EXPECT_THAT(logText(), HasSubstr("Loading model \"Model\" from file \"models\\test.model\""));
}

TEST_F(Model, GroupsDrawTheirRangesOfTheLevelsBufferObjects)
{
    auto model = loadModel(modelFile());
    model->generateVBO();
    gl_.clearCalls();

    model->renderLod(0, true);
    model->renderLod(1, true);

    std::vector<std::string> draws;
    for (const auto& call : gl_.calls())
        if (call.starts_with("glDraw"))
            draws.push_back(call);
    EXPECT_THAT(draws, ElementsAre("glDrawRangeElements(GL_TRIANGLES, 0, 2, 3, GL_UNSIGNED_INT, offset 0)",
                                   "glDrawRangeElements(GL_LINE_LOOP, 0, 2, 2, GL_UNSIGNED_INT, offset 4)"));
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(Model, HostileFilesAreRefusedWithAClearError)
{
    struct Case {
        const char* what;
        std::function<void(FileFields&)> change;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"negative instance count", [](FileFields& f) { f.instanceCount = -1; }, "material instance count -1"},
        {"huge instance count", [](FileFields& f) { f.instanceCount = 0x7fffffff; }, "does not fit"},
        {"huge level count", [](FileFields& f) { f.levelCount = 100000; }, "level count 100000"},
        {"negative level count", [](FileFields& f) { f.levelCount = -3; }, "level count -3"},
        {"negative vertex count", [](FileFields& f) { f.vertexCount = -1; }, "negative vertex or index count"},
        {"huge vertex count", [](FileFields& f) { f.vertexCount = 0x7fffffff; }, "announces 2147483647 vertices"},
        {"huge index count", [](FileFields& f) { f.indexCount = 500000000; }, "500000000 indices"},
        {"five normal components", [](FileFields& f) { f.normals = 5; }, "invalid component counts"},
        {"counts summing past 32 bits", [](FileFields& f) { f.normals = 0x7ffffffe; }, "invalid component counts"},
        {"huge texture set", [](FileFields& f) { f.texCoords0 = 1 << 30; }, "invalid component counts"},
        {"index beyond the vertices", [](FileFields& f) { f.lastIndexValue = 3; }, "index (3) outside its 3 vertices"},
        {"negative index", [](FileFields& f) { f.lastIndexValue = -7; }, "index (-7)"},
        {"huge group count", [](FileFields& f) { f.groupCount = 1 << 28; }, "group count 268435456"},
        {"range past the indices", [](FileFields& f) { f.lastB = 3; }, "index range 1..3 lies outside"},
        {"range before the indices", [](FileFields& f) { f.firstB = -2; }, "index range -2..2"},
        {"damaged material instance record", [](FileFields& f) { f.scriptLines = 1 << 24; },
         "material instance 0: The material instance record"},
        {"instance index past the list", [](FileFields& f) { f.instanceB = 1; }, "material instance index 1"},
        {"negative instance index", [](FileFields& f) { f.instanceB = -2; }, "material instance index -2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FileFields fields;
        c.change(fields);
        const std::size_t before = shownBoxes().size();
        auto model = loadModel(modelFile(fields));
        EXPECT_TRUE(model->isEmpty());
        EXPECT_EQ(model->getMaterialInstanceCount(), 0);
        ASSERT_GT(shownBoxes().size(), before);
        EXPECT_THAT(shownBoxes().back(), HasSubstr(c.message));
        EXPECT_THAT(shownBoxes().back(), HasSubstr("Could not load model"));
    }
}

TEST_F(Model, AFileTruncatedAnywhereIsRefused)
{
    const std::string whole = modelFile();
    for (std::size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        const std::size_t before = shownBoxes().size();
        auto model = loadModel(whole.substr(0, length));
        EXPECT_TRUE(model->isEmpty());
        ASSERT_GT(shownBoxes().size(), before);
        EXPECT_THAT(shownBoxes().back(), HasSubstr("Could not load model"));
    }
}

TEST_F(Model, WhatTheWriterWritesTheReaderReadsAndWritesBackUnchanged)
{
    programFolder().write("models/readme.txt", "models go here");
    struct Case {
        const char* what;
        std::function<void(QRVISXModelLod&)> build;
    };
    // A level made of one square with the given layout, merged into the level's buffer.
    const auto square = [](int normals, int colours) {
        return [=](QRVISXModelLod& lod) {
            lod.setGroupCount(1);
            QRVISXVertexBuffer& buffer = *lod.getGroup(0)->createBuffer();
            buffer.setComponentCounts(normals, colours, 0);
            fillSquare(buffer, 1.0f);
            lod.buildBuffer();
        };
    };
    const std::vector<Case> cases = {
        {"one normal component", square(1, 0)},
        {"two normal components", square(2, 0)},
        {"four normal components", square(4, 0)},
        {"one colour component", square(3, 1)},
        {"two colour components", square(3, 2)},
        {"a range whose mode was never set",
         [&](QRVISXModelLod& lod) {
             square(3, 0)(lod);
             lod.getGroup(0)->setPrimitiveMode(-1);
         }},
        {"a mode OpenGL does not know",
         [&](QRVISXModelLod& lod) {
             square(3, 0)(lod);
             lod.getGroup(0)->setPrimitiveMode(42);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto model = qrNew<QRVISXModel>(nullptr);
        model->setLodCount(1);
        c.build(*model->getLod(0));
        model->saveToFile("models\\written.model");
        auto loaded = qrNew<QRVISXModel>(nullptr);
        loaded->loadFromFile("models\\written.model");
        ASSERT_FALSE(loaded->isEmpty());
        EXPECT_EQ(loaded->getLod(0)->getVertexBuffer()->getVertexCount(), 4);
        loaded->saveToFile("models\\again.model");
        EXPECT_EQ(programFolder().read("models/again.model"), programFolder().read("models/written.model"));
        // Drawing leaves out what OpenGL cannot take, and never reads past an array.
        loaded->generateVBO();
        gl_.clearCalls();
        loaded->render();
        const std::vector<std::string> calls = gl_.takeCalls();
        const bool drawable = loaded->getLod(0)->getGroup(0)->getPrimitiveMode() == GL_TRIANGLES;
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& call) { return call.starts_with("glDraw"); }),
                  drawable ? 1 : 0);
        EXPECT_THAT(calls, Not(Contains(HasSubstr("glColorPointer(1"))));
        EXPECT_THAT(calls, Not(Contains(HasSubstr("glColorPointer(2"))));
    }
    EXPECT_THAT(shownBoxes(), IsEmpty());

    // The flag is stored as the very byte read, whatever it holds.
    FileFields fields;
    fields.flag = 7;
    auto flagged = loadModel(modelFile(fields));
    EXPECT_TRUE(flagged->getLod(0)->getFlag());
    flagged->saveToFile("models\\flagged.model");
    const std::string written = programFolder().read("models/flagged.model");
    const std::string levelName = std::string("\x04\0\0\0Main", 8);
    ASSERT_NE(written.find(levelName), std::string::npos);
    EXPECT_EQ(written[written.find(levelName) + levelName.size()], '\x07');
}

TEST_F(Model, SavingMergesEveryGroupThatStillHoldsItsOwnBuffer)
{
    programFolder().write("models/readme.txt", "models go here");
    // Every level ends with two groups: squares at height 1 and 2 (in group order), whatever
    // buffers they were in when the model was saved.
    struct Case {
        const char* what;
        std::function<void(QRVISXModelLod&)> build;
    };
    const std::vector<Case> cases = {
        {"the second group made after the level was built",
         [&](QRVISXModelLod& lod) {
             lod.setGroupCount(1);
             fillSquare(*lod.getGroup(0)->createBuffer(), 1.0f);
             lod.buildBuffer();
             lod.setGroupCount(2);
             lod.getGroup(0)->setPrimitiveMode(GL_TRIANGLES);
             lod.getGroup(0)->setRange(0, 5);
             fillSquare(*lod.getGroup(1)->createBuffer(), 2.0f);
         }},
        {"a first group without a buffer",
         [&](QRVISXModelLod& lod) {
             lod.setGroupCount(3);
             lod.getGroup(0)->setPrimitiveMode(GL_TRIANGLES);
             fillSquare(*lod.getGroup(1)->createBuffer(), 1.0f);
             fillSquare(*lod.getGroup(2)->createBuffer(), 2.0f);
         }},
        {"a level buffer drawn without indices",
         [&](QRVISXModelLod& lod) {
             QRVISXVertexBuffer& level = *lod.createVertexBuffer();
             level.create(6);
             const int corners[] = {0, 1, 2, 0, 2, 3};
             for (int i = 0; i < 6; ++i)
                 level.setVertexPosition(i, {float(corners[i] & 1), 1.0f, float(corners[i] >> 1)});
             lod.setGroupCount(2);
             lod.getGroup(0)->setPrimitiveMode(GL_TRIANGLES);
             lod.getGroup(0)->setRange(0, 5);
             fillSquare(*lod.getGroup(1)->createBuffer(), 2.0f);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto model = qrNew<QRVISXModel>(nullptr);
        model->setLodCount(1);
        c.build(*model->getLod(0));
        model->saveToFile("models\\merged.model");
        auto loaded = qrNew<QRVISXModel>(nullptr);
        loaded->loadFromFile("models\\merged.model");
        ASSERT_FALSE(loaded->isEmpty());
        const QRVISXModelLod& lod = *loaded->getLod(0);
        const QRVISXVertexBuffer& level = *lod.getVertexBuffer();
        std::vector<float> drawnHeights;
        for (int g = 0; g < lod.getGroupCount(); ++g) {
            const QRVISXModelGroup& group = *lod.getGroup(g);
            if (group.getFirstIndex() < 0)
                continue;
            EXPECT_EQ(group.getPrimitiveMode(), static_cast<GLenum>(GL_TRIANGLES));
            std::vector<Vector3> corners;
            for (int i = group.getFirstIndex(); i <= group.getLastIndex(); ++i)
                corners.push_back(level.getVertexPosition(level.isIndexed() ? level.getIndex(i) : i));
            ASSERT_EQ(corners.size(), 6u);
            // Two triangles of the unit square: (0,0) (1,0) (0,1) and (0,0) (0,1) (1,1).
            EXPECT_EQ(corners[1].x, 1.0f);
            EXPECT_EQ(corners[5].z, 1.0f);
            for (const Vector3& corner : corners)
                EXPECT_EQ(corner.y, corners[0].y);
            drawnHeights.push_back(corners[0].y);
        }
        EXPECT_THAT(drawnHeights, ElementsAre(1.0f, 2.0f));
    }
}

TEST_F(Model, LiveReloadKeepsBufferObjectsAndTheLastGoodModel)
{
    programFolder().write("models/live.model", modelFile());
    auto model = qrNew<QRVISXModel>(nullptr);
    model->loadFromFile("models\\live.model");
    model->generateVBO();
    ASSERT_TRUE(model->hasBufferObjects());

    std::string grown = modelFile();
    grown.replace(grown.find(std::string("\x01\0\0\0\x04\0\0\0Main", 12)), 4, std::string("\x02\0\0\0", 4));
    grown += modelFile().substr(modelFile().find(std::string("\x04\0\0\0Main", 8)));
    struct Case {
        const char* what;
        std::string bytes;
        bool broken;
        int levels;
    };
    const std::vector<Case> cases = {
        {"a second level", grown, false, 2},
        {"half a file", grown.substr(0, grown.size() / 2), true, 2},
        {"no level at all",
         modelFile().substr(0, modelFile().find(std::string("\x04\0\0\0Main", 8)) - 4) + std::string(4, '\0'), true, 2},
        {"garbage", "not a model", true, 2},
        {"the first form again", modelFile(), false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t boxes = shownBoxes().size();
        programFolder().write("models/live.model", c.bytes);
        model->updateFromFile();
        ASSERT_EQ(model->getLodCount(), c.levels);
        EXPECT_EQ(model->getName(), "Hand");
        EXPECT_TRUE(model->hasBufferObjects()) << "drawn from buffer objects, as before";
        EXPECT_EQ(model->getLod(0)->getGroup(0)->getMaterialInstance(), model->getMaterialInstance(0));
        EXPECT_EQ(shownBoxes().size(), boxes + (c.broken ? 1 : 0));
        if (c.broken) {
            EXPECT_THAT(shownBoxes().back(), HasSubstr("keeps its previous contents"));
        }
    }
    gl_.clearCalls();
    model->render();
    EXPECT_THAT(gl_.takeCalls(), Contains(HasSubstr("glDrawRangeElements(GL_TRIANGLES")));
}
