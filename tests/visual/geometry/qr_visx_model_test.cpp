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
    // Layouts the buffer can hold but OpenGL not take as they are, and a range never given a mode.
    const struct {
        int normals, colours, mode;
    } cases[] = {{1, 0, GL_TRIANGLES}, {4, 2, GL_TRIANGLES}, {3, 1, GL_TRIANGLES}, {3, 0, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.normals << " " << c.colours << " " << c.mode);
        auto model = qrNew<QRVISXModel>(nullptr);
        model->setLodCount(1);
        QRVISXModelLod& lod = *model->getLod(0);
        lod.setGroupCount(1);
        lod.getGroup(0)->createBuffer()->setComponentCounts(c.normals, c.colours, 0);
        fillSquare(*lod.getGroup(0)->getBuffer(), 1.0f);
        lod.buildBuffer();
        lod.getGroup(0)->setPrimitiveMode(c.mode);
        model->saveToFile("models\\written.model");
        auto loaded = qrNew<QRVISXModel>(nullptr);
        loaded->loadFromFile("models\\written.model");
        ASSERT_EQ(loaded->getLodCount(), 1);
        loaded->saveToFile("models\\again.model");
        EXPECT_EQ(programFolder().read("models/again.model"), programFolder().read("models/written.model"));
        gl_.clearCalls();
        loaded->render();
        EXPECT_EQ(std::ranges::count_if(gl_.takeCalls(), [](const std::string& call) { return call.starts_with("glDraw"); }),
                  c.mode == -1 ? 0 : 1);
    }
    // The flag is kept as the very byte read.
    FileFields fields;
    fields.flag = 7;
    loadModel(modelFile(fields))->saveToFile("models\\flagged.model");
    const std::string written = programFolder().read("models/flagged.model");
    EXPECT_EQ(written[written.find("Main") + 4], '\x07');
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(Model, SavingMergesEveryGroupThatStillHoldsItsOwnBuffer)
{
    programFolder().write("models/readme.txt", "models go here");
    // Squares at heights 1 and 2 in group order, whatever buffers they are in when saved: one
    // made after the level was built, one behind a first group without a buffer, one beside a
    // level buffer drawn without indices.
    const std::function<void(QRVISXModelLod&)> builds[] = {
        [&](QRVISXModelLod& lod) {
            lod.setGroupCount(1);
            fillSquare(*lod.getGroup(0)->createBuffer(), 1.0f);
            lod.buildBuffer();
            lod.setGroupCount(2);
            lod.getGroup(0)->setPrimitiveMode(GL_TRIANGLES);
            lod.getGroup(0)->setRange(0, 5);
        },
        [&](QRVISXModelLod& lod) {
            lod.setGroupCount(3);
            fillSquare(*lod.getGroup(1)->createBuffer(), 1.0f);
        },
        [&](QRVISXModelLod& lod) {
            QRVISXVertexBuffer& level = *lod.createVertexBuffer();
            level.create(6);
            for (int i = 0; i < 6; ++i)
                level.setVertexPosition(i, {float(i % 2), 1.0f, 0.0f});
            lod.setGroupCount(2);
            lod.getGroup(0)->setPrimitiveMode(GL_TRIANGLES);
            lod.getGroup(0)->setRange(0, 5);
        },
    };
    for (const auto& build : builds) {
        auto model = qrNew<QRVISXModel>(nullptr);
        model->setLodCount(1);
        build(*model->getLod(0));
        QRVISXModelLod& built = *model->getLod(0);
        fillSquare(*built.getGroup(built.getGroupCount() - 1)->createBuffer(), 2.0f);
        model->saveToFile("models\\merged.model");
        auto loaded = qrNew<QRVISXModel>(nullptr);
        loaded->loadFromFile("models\\merged.model");
        const QRVISXModelLod& lod = *loaded->getLod(0);
        const QRVISXVertexBuffer& level = *lod.getVertexBuffer();
        std::vector<float> heights;
        for (int g = 0; g < lod.getGroupCount(); ++g)
            for (int i = lod.getGroup(g)->getFirstIndex(); i >= 0 && i <= lod.getGroup(g)->getLastIndex(); ++i)
                heights.push_back(level.getVertexPosition(level.getIndex(i)).y);
        EXPECT_EQ(heights, std::vector<float>({1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2}));
    }
}

TEST_F(Model, LiveReloadKeepsBufferObjectsAndTheLastGoodModel)
{
    programFolder().write("models/live.model", modelFile());
    auto model = qrNew<QRVISXModel>(nullptr);
    model->loadFromFile("models\\live.model");
    model->generateVBO();
    // A second level, then broken files (half of it, garbage, no level at all), then the first.
    const std::size_t level = modelFile().find("Main") - 8;
    std::string grown = modelFile() + modelFile().substr(level + 4);
    grown[level] = 2;
    for (const std::string& bytes : {grown, grown.substr(0, grown.size() / 2), std::string("not a model"),
                                     modelFile().substr(0, level) + std::string(4, '\0'), modelFile()}) {
        const std::size_t boxes = shownBoxes().size();
        programFolder().write("models/live.model", bytes);
        model->updateFromFile();
        const bool whole = bytes == grown || bytes == modelFile();
        EXPECT_EQ(model->getLodCount(), bytes == modelFile() ? 1 : 2);
        EXPECT_TRUE(model->hasBufferObjects());
        EXPECT_EQ(model->getLod(0)->getGroup(0)->getMaterialInstance(), model->getMaterialInstance(0));
        EXPECT_EQ(shownBoxes().size(), boxes + (whole ? 0 : 1));
    }
}
