#include "visual_unit_fixture.h"

#include "file/qr_file_file.h"

#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"
#include "visual/geometry/qr_visx_vertexbuffermanager.h"

#include <gmock/gmock.h>

#include <stdexcept>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class VertexBuffer : public VisualUnitFixture {
protected:
    VertexBuffer()
    {
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5",
                           "GL_VERSION_2_0", "GL_EXT_vertex_array", "GL_ARB_vertex_buffer_object"});
        visual_->getExtensionManager()->initialize();
        visual_->getVertexBufferManager()->initialize();
        gl_.clearCalls();
    }

    // Four vertices, six indices (two triangles), normals, an RGBA colour and two texture sets.
    QROwned<QRVISXVertexBuffer> makeQuad()
    {
        auto buffer = qrNew<QRVISXVertexBuffer>(nullptr);
        buffer->setComponentCounts(3, 4, 0);
        buffer->setTexCoordComponents(0, 2);
        buffer->setTexCoordComponents(2, 3);
        buffer->create(4, 6);
        const int indices[] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; ++i)
            buffer->setIndex(i, indices[i]);
        for (int v = 0; v < 4; ++v)
            buffer->setVertexPosition(v, {float(v), float(v * 2), float(v * 3)});
        return buffer;
    }
};

} // namespace

TEST_F(VertexBuffer, SizingFollowsTheCountsAndIndexCountDecidesIndexing)
{
    auto buffer = makeQuad();
    EXPECT_TRUE(buffer->isInitialized());
    EXPECT_TRUE(buffer->isIndexed());
    EXPECT_EQ(buffer->getVertexHigh(), 3);
    EXPECT_EQ(buffer->getIndexHigh(), 5);
    EXPECT_EQ(buffer->getHighestTexCoordSet(), 2);
    EXPECT_EQ(buffer->getPositions().size(), 12u);
    EXPECT_EQ(buffer->getColors().size(), 16u);
    EXPECT_EQ(buffer->getTexCoords(1).size(), 0u);
    EXPECT_EQ(buffer->getTexCoords(2).size(), 12u);

    buffer->resize(6, 0);
    EXPECT_FALSE(buffer->isIndexed());
    EXPECT_EQ(buffer->getIndex(0), -1);
    expectPoint(buffer->getVertexPosition(3), {3, 6, 9});
    expectPoint(buffer->getVertexPosition(5), {0, 0, 0});

    buffer->clear();
    EXPECT_TRUE(buffer->isEmpty());
    EXPECT_FALSE(buffer->isInitialized());
    EXPECT_EQ(buffer->getColorComponents(), 4);
}

TEST_F(VertexBuffer, ChangingComponentCountsKeepsLeadingComponentsAndZeroFillsTheRest)
{
    auto buffer = makeQuad();
    buffer->setColor(1, {0.1f, 0.2f, 0.3f, 0.4f});
    buffer->changeComponentCounts(3, 3, 0);
    EXPECT_EQ(buffer->getColor(1), (Vector4{0.1f, 0.2f, 0.3f, 0.0f}));
    buffer->changeComponentCounts(3, 4, 0);
    EXPECT_EQ(buffer->getColor(1), (Vector4{0.1f, 0.2f, 0.3f, 0.0f}));

    auto plain = qrNew<QRVISXVertexBuffer>(nullptr);
    plain->create(3);
    plain->changeTexCoordComponents(1, 2);
    EXPECT_EQ(plain->getHighestTexCoordSet(), 1);
    EXPECT_THAT(plain->getTexCoords(1), ElementsAre(0, 0, 0, 0, 0, 0));

    // Setting counts on a sized buffer re-packs too, so no accessor can index past an array.
    plain->setComponentCounts(3, 4, 0);
    plain->setTexCoordComponents(2, 2);
    EXPECT_EQ(plain->getColors().size(), 12u);
    EXPECT_EQ(plain->getTexCoords(2).size(), 6u);
    plain->setColor(2, {1, 1, 1, 1});
    EXPECT_EQ(plain->getColor(2), (Vector4{1, 1, 1, 1}));
}

TEST_F(VertexBuffer, RecordOfABufferMadeNonIndexedCarriesNoIndices)
{
    auto buffer = makeQuad();
    buffer->setPrimitive(false, GL_TRIANGLES);
    {
        QRFILEFile file(nullptr, "quad.buffer", QRFileAccess::Write, QRFileType::Binary);
        buffer->saveToStream(file);
        file.close();
    }
    // Counts, highest set, flag and vertex count, then 4 vertices of 3 + 3 + 4 + 2 + 3 floats.
    EXPECT_EQ(programFolder().read("quad.buffer").size(), 11u * 4 + 4 + 1 + 4 + 4 * 15 * 4);
    auto loaded = qrNew<QRVISXVertexBuffer>(nullptr);
    QRFILEFile file(nullptr, "quad.buffer", QRFileAccess::Read, QRFileType::Binary);
    loaded->loadFromStream(file);
    EXPECT_FALSE(loaded->isIndexed());
    EXPECT_EQ(loaded->getVertexCount(), 4);
    EXPECT_EQ(file.getPosition(), file.getSize());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(VertexBuffer, OutOfRangeAccessIsAnAssertion)
{
    auto buffer = makeQuad();
    EXPECT_THROW(buffer->getVertexPosition(4), std::out_of_range);
    EXPECT_THROW(buffer->getVertexPosition(-1), std::out_of_range);
    EXPECT_THROW(buffer->setIndex(6, 0), std::out_of_range);
}

TEST_F(VertexBuffer, CopyVertexNeverReadsPastASourceWithFewerComponents)
{
    auto source = qrNew<QRVISXVertexBuffer>(nullptr);
    source->setComponentCounts(3, 3, 0);
    source->create(1);
    source->setColor(0, {0.5f, 0.25f, 0.125f, 1.0f});
    source->setNormal(0, {0, 1, 0});
    auto target = makeQuad();
    target->setColor(3, {9, 9, 9, 9});

    target->copyVertex(*source, 0, 3);

    EXPECT_EQ(target->getColor(3), (Vector4{0.5f, 0.25f, 0.125f, 0.0f}));
    expectPoint(target->getNormal(3), {0, 1, 0});
    EXPECT_EQ(target->getTexCoord(0, 3), (Vector2{0, 0}));
}

TEST_F(VertexBuffer, GenerateVBOUploadsEachArrayStaticallyAndUnbinds)
{
    auto buffer = makeQuad();
    buffer->generateVBO();

    EXPECT_TRUE(buffer->hasBufferObjects());
    std::vector<std::string> uploads;
    for (const auto& call : gl_.calls())
        if (call.starts_with("glBufferData") || call.starts_with("glBindBuffer"))
            uploads.push_back(call);
    const auto& names = buffer->getBufferObjects();
    auto bind = [](const char* target, GLint name) {
        return std::string("glBindBuffer(") + target + ", " + std::to_string(name) + ")";
    };
    EXPECT_THAT(uploads,
                ElementsAre(bind("GL_ARRAY_BUFFER", names.positions),
                            "glBufferData(GL_ARRAY_BUFFER, 48, data, GL_STATIC_DRAW)",
                            bind("GL_ARRAY_BUFFER", names.normals),
                            "glBufferData(GL_ARRAY_BUFFER, 48, data, GL_STATIC_DRAW)",
                            bind("GL_ARRAY_BUFFER", names.colors),
                            "glBufferData(GL_ARRAY_BUFFER, 64, data, GL_STATIC_DRAW)",
                            bind("GL_ARRAY_BUFFER", names.texCoords[0]),
                            "glBufferData(GL_ARRAY_BUFFER, 32, data, GL_STATIC_DRAW)",
                            bind("GL_ARRAY_BUFFER", names.texCoords[2]),
                            "glBufferData(GL_ARRAY_BUFFER, 48, data, GL_STATIC_DRAW)",
                            bind("GL_ELEMENT_ARRAY_BUFFER", names.indices),
                            "glBufferData(GL_ELEMENT_ARRAY_BUFFER, 24, data, GL_STATIC_DRAW)",
                            "glBindBuffer(GL_ARRAY_BUFFER, 0)", "glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0)"));
    EXPECT_EQ(names.weights, -1);
    EXPECT_EQ(names.texCoords[1], -1);
    const std::vector<std::uint8_t> indexBytes = {0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0};
    EXPECT_EQ(gl_.lastBufferBytes(), indexBytes);

    // Clearing gives every object back.
    const GLint positions = names.positions;
    buffer->clear();
    EXPECT_FALSE(gl_.isLive(static_cast<GLuint>(positions)));
    EXPECT_FALSE(buffer->hasBufferObjects());
}

TEST_F(VertexBuffer, GenerateVBOOnAnUnsizedBufferIsAnError)
{
    auto buffer = qrNew<QRVISXVertexBuffer>(nullptr);
    buffer->generateVBO();
    EXPECT_FALSE(buffer->hasBufferObjects());
    EXPECT_THAT(gl_.calls(), IsEmpty());
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_THAT(shownBoxes()[0], HasSubstr("Vertex buffer not initialized yet"));
}

TEST_F(VertexBuffer, RangeDrawFromBufferObjectsBindsEveryArrayAndUnbindsAfter)
{
    auto buffer = makeQuad();
    buffer->generateVBO();
    const auto& n = buffer->getBufferObjects();
    gl_.clearCalls();

    buffer->renderRange(GL_TRIANGLES, 3, 5);

    auto id = [](GLint name) { return std::to_string(name); };
    EXPECT_THAT(gl_.calls(),
                ElementsAre("glBindBuffer(GL_ARRAY_BUFFER, " + id(n.positions) + ")",
                            "glEnableClientState(GL_VERTEX_ARRAY)", "glVertexPointer(3, GL_FLOAT, 0, offset 0)",
                            "glBindBuffer(GL_ARRAY_BUFFER, " + id(n.normals) + ")",
                            "glEnableClientState(GL_NORMAL_ARRAY)",
                            "glNormalPointer(GL_FLOAT, 0, offset 0)",
                            "glBindBuffer(GL_ARRAY_BUFFER, " + id(n.colors) + ")",
                            "glEnableClientState(GL_COLOR_ARRAY)",
                            "glColorPointer(4, GL_FLOAT, 0, offset 0)", "glActiveTexture(GL_TEXTURE0)",
                            "glClientActiveTexture(GL_TEXTURE0)",
                            "glBindBuffer(GL_ARRAY_BUFFER, " + id(n.texCoords[0]) + ")",
                            "glEnableClientState(GL_TEXTURE_COORD_ARRAY)",
                            "glTexCoordPointer(2, GL_FLOAT, 0, offset 0)", "glActiveTexture(GL_TEXTURE2)",
                            "glClientActiveTexture(GL_TEXTURE2)",
                            "glBindBuffer(GL_ARRAY_BUFFER, " + id(n.texCoords[2]) + ")",
                            "glEnableClientState(GL_TEXTURE_COORD_ARRAY)",
                            "glTexCoordPointer(3, GL_FLOAT, 0, offset 0)",
                            "glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, " + id(n.indices) + ")",
                            "glDrawRangeElements(GL_TRIANGLES, 0, 3, 3, GL_UNSIGNED_INT, offset 12)",
                            "glDisableClientState(GL_VERTEX_ARRAY)", "glDisableClientState(GL_NORMAL_ARRAY)",
                            "glDisableClientState(GL_COLOR_ARRAY)", "glClientActiveTexture(GL_TEXTURE0)",
                            "glDisableClientState(GL_TEXTURE_COORD_ARRAY)", "glClientActiveTexture(GL_TEXTURE2)",
                            "glDisableClientState(GL_TEXTURE_COORD_ARRAY)", "glClientActiveTexture(GL_TEXTURE0)",
                            "glActiveTexture(GL_TEXTURE0)", "glBindBuffer(GL_ARRAY_BUFFER, 0)",
                            "glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0)"));
}

TEST_F(VertexBuffer, NonIndexedClientArraysDrawArraysAfterUnbindingAnyBuffer)
{
    auto buffer = qrNew<QRVISXVertexBuffer>(nullptr);
    buffer->setComponentCounts(0, 0, 0);
    buffer->create(3);
    EXPECT_EQ(buffer->getIndex(0), -1);

    buffer->render();
    // The second draw knows nothing is bound.
    buffer->renderWithMode(GL_LINE_LOOP);

    EXPECT_THAT(gl_.calls(),
                ElementsAre("glBindBuffer(GL_ARRAY_BUFFER, 0)", "glEnableClientState(GL_VERTEX_ARRAY)",
                            "glVertexPointer(3, GL_FLOAT, 0, client)", "glDrawArrays(GL_TRIANGLES, 0, 3)",
                            "glDisableClientState(GL_VERTEX_ARRAY)", "glClientActiveTexture(GL_TEXTURE0)",
                            "glEnableClientState(GL_VERTEX_ARRAY)", "glVertexPointer(3, GL_FLOAT, 0, client)",
                            "glDrawArrays(GL_LINE_LOOP, 0, 3)", "glDisableClientState(GL_VERTEX_ARRAY)",
                            "glClientActiveTexture(GL_TEXTURE0)"));
}

TEST_F(VertexBuffer, NothingIsDrawnWhileIgnoringGeometryOrForARangeOutsideTheBuffer)
{
    auto buffer = makeQuad();
    visual_->getMaterialManager()->setIgnoringGeometry(true);
    buffer->render();
    EXPECT_THAT(gl_.calls(), IsEmpty());

    visual_->getMaterialManager()->setIgnoringGeometry(false);
    buffer->renderRange(GL_TRIANGLES, 3, 6);
    EXPECT_THAT(gl_.calls(), IsEmpty());
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_THAT(shownBoxes()[0], HasSubstr("outside the vertex buffer"));
}
