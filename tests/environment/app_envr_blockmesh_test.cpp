// Terrain block drawing with the recording GL layer: what each draw binds, which street codes reach
// the shader, that the static buffers hold exactly the cell-by-cell triangles, and which blocks an
// edit makes build their buffers again.

#include "world_unit_fixture.h"

#include "core/qr_core_devicemanager.h"
#include "environment/app_envr_block.h"
#include "environment/app_envr_blockmesh.h"
#include "environment/app_envr_layerreach.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_quaternion.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/targets/qr_visx_rendertargetmanager.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"
#include "world/app_wrld_shadow.h"

#include <QImage>
#include <gmock/gmock.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// What was bound when one draw call went out.
struct DrawState {
    std::array<GLuint, 8> units{};
    GLuint program = 0;
};

// The argument list of a recorded call, split at ", ".
std::vector<std::string> arguments(const std::string& call)
{
    const auto open = call.find('(');
    std::string inner = call.substr(open + 1, call.size() - open - 2);
    std::vector<std::string> parts;
    for (std::size_t at = 0;;) {
        const auto comma = inner.find(", ", at);
        parts.push_back(inner.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
        if (comma == std::string::npos)
            return parts;
        at = comma + 2;
    }
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Follows texture-unit selection, bindings and the program through the calls and notes them at
// every draw (a strip begun, or elements drawn).
std::vector<DrawState> drawStates(const std::vector<std::string>& calls)
{
    std::vector<DrawState> draws;
    DrawState now;
    int unit = 0;
    for (const auto& call : calls) {
        if (startsWith(call, "glActiveTexture(GL_TEXTURE"))
            unit = std::stoi(call.substr(std::string("glActiveTexture(GL_TEXTURE").size()));
        else if (startsWith(call, "glBindTexture(GL_TEXTURE_2D") && unit < 8)
            now.units[static_cast<std::size_t>(unit)] = static_cast<GLuint>(std::stoul(arguments(call)[1]));
        else if (startsWith(call, "glUseProgram("))
            now.program = static_cast<GLuint>(std::stoul(arguments(call)[0]));
        else if (startsWith(call, "glBegin(GL_TRIANGLE_STRIP)") || startsWith(call, "glDrawRangeElements("))
            draws.push_back(now);
    }
    return draws;
}

// One terrain vertex as the shader receives it: set 0, set 1, code, normal, position.
using Vertex = std::array<std::string, 11>;
using Triangle = std::array<Vertex, 3>;

// The triangles the recorded strips make, in the strips' own winding.
std::vector<Triangle> stripTriangles(const std::vector<std::string>& calls)
{
    std::vector<Triangle> triangles;
    std::vector<Vertex> strip;
    Vertex current;
    auto flush = [&] {
        for (std::size_t i = 0; i + 2 < strip.size(); ++i)
            triangles.push_back(i % 2 == 0 ? Triangle{strip[i], strip[i + 1], strip[i + 2]}
                                           : Triangle{strip[i + 1], strip[i], strip[i + 2]});
        strip.clear();
    };
    for (const auto& call : calls) {
        const auto args = startsWith(call, "gl") && call.find('(') != std::string::npos ? arguments(call)
                                                                                        : std::vector<std::string>{};
        if (startsWith(call, "glMultiTexCoord2f(GL_TEXTURE0")) {
            current[0] = args[1];
            current[1] = args[2];
        } else if (startsWith(call, "glMultiTexCoord2f(GL_TEXTURE1")) {
            current[2] = args[1];
            current[3] = args[2];
        } else if (startsWith(call, "glMultiTexCoord1f(GL_TEXTURE2")) {
            current[4] = args[1];
        } else if (startsWith(call, "glNormal3f(")) {
            std::copy(args.begin(), args.end(), current.begin() + 5);
        } else if (startsWith(call, "glVertex3f(")) {
            std::copy(args.begin(), args.end(), current.begin() + 8);
            strip.push_back(current);
        } else if (startsWith(call, "glEnd(")) {
            flush();
        }
    }
    return triangles;
}

Vertex meshVertex(const QRVISXVertexBuffer& buffer, int index)
{
    const Vector2 grid = buffer.getTexCoord(0, index);
    const Vector2 tile = buffer.getTexCoord(1, index);
    const Vector3 normal = buffer.getNormal(index);
    const Vector3 position = buffer.getVertexPosition(index);
    return {glNumber(grid.x),   glNumber(grid.y),   glNumber(tile.x),     glNumber(tile.y),
            glNumber(buffer.getTexCoord(2, index).x), glNumber(normal.x), glNumber(normal.y),
            glNumber(normal.z), glNumber(position.x), glNumber(position.y), glNumber(position.z)};
}

// The triangles of an index range of the buffer (all of it by default).
std::vector<Triangle> meshTriangles(const QRVISXVertexBuffer& buffer, APPENVRBlockMesh::Range range = {0, -1})
{
    if (range.count < 0)
        range.count = buffer.getIndexCount();
    std::vector<Triangle> triangles;
    for (int i = range.first; i + 2 < range.first + range.count; i += 3)
        triangles.push_back(
            {meshVertex(buffer, buffer.getIndex(i)), meshVertex(buffer, buffer.getIndex(i + 1)),
             meshVertex(buffer, buffer.getIndex(i + 2))});
    return triangles;
}

void savePicture(const std::filesystem::path& path, const QColor& colour)
{
    std::filesystem::create_directories(path.parent_path());
    QImage picture(4, 4, QImage::Format_RGB888);
    picture.fill(colour);
    picture.save(QString::fromStdString(path.string()));
}

class TerrainDrawing : public WorldUnitFixture {
protected:
    TerrainDrawing()
    {
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5", "GL_VERSION_2_0",
                           "GL_ARB_multitexture", "GL_ARB_texture_cube_map", "GL_EXT_blend_color",
                           "GL_EXT_blend_minmax", "GL_ARB_shader_objects", "GL_ARB_vertex_shader",
                           "GL_ARB_fragment_shader", "GL_EXT_vertex_array", "GL_ARB_vertex_buffer_object",
                           "GL_EXT_framebuffer_object", "GL_ARB_texture_float",
                           "GL_ARB_texture_non_power_of_two"});
        gl_.setInteger(GL_MAX_TEXTURE_UNITS, 8);
        visual_->getExtensionManager()->initialize();
        visual_->getMaterialManager()->getTextureManager()->initialize();
        visual_->getRenderTargetManager()->initialize();
        for (int i = 0; i < 5; ++i)
            savePicture(programFolder() / ("textures/terrain/terrain" + std::to_string(i) + ".jpg"), Qt::green);
        savePicture(programFolder() / "textures/terrain/modulation.png", Qt::gray);
        savePicture(programFolder() / "textures/terrain/streets.png", Qt::black);

        environment_ = qrNew<APPENVRMain>(nullptr);
        environment_->initialize();
        shadow_ = qrNew<APPWRLDShadow>(nullptr);
        shadow_->initialize();
        environment_->setShadow(shadow_.get());

        // Seen straight from above, orthographically, the whole world is in view.
        QRVISXCamera3D& camera = *visual_->getCameraManager()->get3DCamera();
        camera.setPosition({1280.0f, 100.0f, 1280.0f});
        camera.setOrientation(QRMATHQuaternion::fromRotationX(-90.0f));
        camera.setOrthographic(true);
        camera.setOrthoExtents({1500.0f, 1500.0f, 1.0f});
        camera.setClipPlanes(1.0f, 5000.0f);
        visual_->getCameraManager()->activateCamera(&camera);
        gl_.clearCalls();
    }

    ~TerrainDrawing() override
    {
        environment_.reset();
        shadow_.reset();
    }

    APPENVRMain& terrain() { return *environment_; }
    APPENVRBlock& block(int gx, int gz) { return *terrain().getBlock(gx / 4, gz / 4, gx % 4, gz % 4); }
    GLuint textureId(const QRVISXTexture2* texture) const
    {
        return texture ? static_cast<GLuint>(texture->getGLTextureId()) : 0;
    }
    // The blocks, by global index, that will build their buffers anew.
    std::set<std::pair<int, int>> changedBlocks()
    {
        std::set<std::pair<int, int>> changed;
        for (int gx = 0; gx < 16; ++gx)
            for (int gz = 0; gz < 16; ++gz)
                if (block(gx, gz).isGeometryChanged())
                    changed.insert({gx, gz});
        return changed;
    }
    // Hills, so that heights and normals differ from vertex to vertex.
    void sculpt()
    {
        for (int x = 0; x < 80; ++x)
            for (int z = 0; z < 80; ++z)
                terrain().setHeight(x, z, std::sin(static_cast<float>(x) * 0.3f) * 6.0f + static_cast<float>(z) * 0.25f);
        terrain().updateNormals();
        terrain().updateBounds();
    }

    QROwned<APPENVRMain> environment_;
    QROwned<APPWRLDShadow> shadow_;
};

const APPENVRDrawing kMethods[] = {APPENVRDrawing::Cells, APPENVRDrawing::StaticBuffers};

} // namespace

TEST_F(TerrainDrawing, EveryDrawBindsTheTerrainProgramAndUnitsByGroundType)
{
    terrain().setGroundType(3, 4, 1);
    // The first frame draws everything with the terrain shader; the variants come with the second.
    const unsigned street = APPENVRLayerReach::kStreet;
    EXPECT_EQ(terrain().getShading(true, false, street), terrain().getShaderConfiguration());
    terrain().render();
    terrain().render();
    auto id = [](const QRVISXShaderConfiguration* shading) { return static_cast<GLuint>(shading->getGLProgramId()); };
    const GLuint program = id(terrain().getShaderConfiguration());
    // From buffers, concrete cells draw with the shading that reads the concrete texture once,
    // and cells without a street with shadings that do not read the street atlas. The grey map
    // gives earth a little weight everywhere; on flat ground rock has none, and is not read.
    const unsigned earth = APPENVRLayerReach::kEarth;
    const GLuint concreteProgram = id(terrain().getShading(true, false, street));
    const GLuint plainConcreteProgram = id(terrain().getShading(true, false, 0));
    const GLuint grassProgram = id(terrain().getShading(false, false, street | earth));
    const GLuint plainGrassProgram = id(terrain().getShading(false, false, earth));
    EXPECT_EQ(std::set<GLuint>({program, concreteProgram, plainConcreteProgram, grassProgram, plainGrassProgram}).size(),
              5u);
    const std::array<GLuint, 4> grass = {textureId(terrain().getTerrainTexture(0)),
                                         textureId(terrain().getTerrainTexture(1)),
                                         textureId(terrain().getTerrainTexture(2)),
                                         textureId(terrain().getTerrainTexture(3))};
    const GLuint concrete = textureId(terrain().getTerrainTexture(4));
    ASSERT_NE(shadow_->getShadowMapTexture(), nullptr);
    for (const auto& [method, street] : {std::pair{APPENVRDrawing::Cells, true}, {APPENVRDrawing::StaticBuffers, false},
                                        {APPENVRDrawing::StaticBuffers, true}}) {
        SCOPED_TRACE(std::to_string(static_cast<int>(method)) + (street ? " with a street" : " without"));
        terrain().setGroundCell(7, 7, street ? 2u << 8 : 0u);
        terrain().setDrawing(method);
        visual_->getMaterialManager()->resetAll();
        gl_.clearCalls();
        block(0, 0).render();
        const auto draws = drawStates(gl_.takeCalls());
        // Cell by cell: four strips per cell, the concrete cell's four in the middle of the list;
        // from buffers: one draw of the grass cells without a street (with the block's skirts),
        // one of the grass cell with the street, then one of the concrete cell.
        const std::size_t expected = method == APPENVRDrawing::Cells ? 400 : street ? 3 : 2;
        ASSERT_EQ(draws.size(), expected);
        std::vector<bool> concreteDraws;
        for (std::size_t i = 0; i < draws.size(); ++i) {
            const DrawState& draw = draws[i];
            const bool concreteDraw = draw.units[0] == concrete;
            if (method == APPENVRDrawing::Cells)
                EXPECT_EQ(draw.program, program);
            else if (concreteDraw)
                EXPECT_EQ(draw.program, plainConcreteProgram);
            else
                EXPECT_EQ(draw.program, i == 1 ? grassProgram : plainGrassProgram);
            EXPECT_EQ(draw.units[4], textureId(terrain().getModulationTexture()));
            EXPECT_EQ(draw.units[5], textureId(shadow_->getShadowMapTexture()));
            EXPECT_EQ(draw.units[6], textureId(terrain().getStreetsTexture()));
            const bool isConcrete = draw.units[0] == concrete;
            concreteDraws.push_back(isConcrete);
            for (std::size_t unit = 0; unit < 4; ++unit)
                EXPECT_EQ(draw.units[unit], isConcrete ? concrete : grass[unit]);
        }
        if (method == APPENVRDrawing::Cells) {
            EXPECT_EQ(std::count(concreteDraws.begin(), concreteDraws.end(), true), 4);
            EXPECT_TRUE(concreteDraws[(3 * 10 + 4) * 4]) << "cells are drawn X outer, Z inner";
        } else if (street) {
            EXPECT_THAT(concreteDraws, ElementsAre(false, false, true));
        } else {
            EXPECT_THAT(concreteDraws, ElementsAre(false, true));
        }
    }
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(TerrainDrawing, EachCellHandsItsStreetCodeToTheShader)
{
    // A plus-shaped junction around cell (5, 5), a street on concrete, and a street just marked
    // by the editor that has no shape yet (it shows none until the street pass shapes it).
    for (auto [x, z] : {std::pair{5, 5}, {4, 5}, {6, 5}, {5, 4}, {5, 6}})
        terrain().setStreet(x, z);
    terrain().updateStreets();
    terrain().setGroundCell(2, 2, (7u << 8) | 1u);
    terrain().setStreet(8, 8);
    const std::map<std::pair<int, int>, float> expected = {
        {{5, 5}, 3.0f},  {{4, 5}, 15.0f}, {{6, 5}, 14.0f}, {{5, 4}, 12.0f},
        {{5, 6}, 13.0f}, {{2, 2}, 7.0f},  {{8, 8}, 0.0f},  {{0, 0}, 0.0f}};

    terrain().setDrawing(APPENVRDrawing::Cells);
    block(0, 0).render();
    std::vector<float> perCell;
    for (const auto& call : gl_.takeCalls())
        if (startsWith(call, "glMultiTexCoord1f(GL_TEXTURE2"))
            perCell.push_back(std::stof(arguments(call)[1]));
    ASSERT_EQ(perCell.size(), 100u);

    terrain().setDrawing(APPENVRDrawing::StaticBuffers);
    block(0, 0).render();
    const QRVISXVertexBuffer& buffer = block(0, 0).getMesh()->getBuffer();
    std::map<std::pair<int, int>, float> fromBuffer;
    for (int slot = 0; slot < 100; ++slot) {
        const int first = slot * APPENVRBlockMesh::kCellVertexCount;
        const Vector2 grid = buffer.getTexCoord(0, first);
        const std::pair cell{static_cast<int>(grid.x) / 4, static_cast<int>(grid.y) / 4};
        for (int v = first; v < first + APPENVRBlockMesh::kCellVertexCount; ++v)
            EXPECT_EQ(buffer.getTexCoord(2, v).x, buffer.getTexCoord(2, first).x);
        fromBuffer[cell] = buffer.getTexCoord(2, first).x;
    }
    for (const auto& [cell, code] : expected) {
        SCOPED_TRACE(std::to_string(cell.first) + ", " + std::to_string(cell.second));
        EXPECT_EQ(perCell[static_cast<std::size_t>(cell.first * 10 + cell.second)], code);
        EXPECT_EQ(fromBuffer.at(cell), code);
    }
}

TEST_F(TerrainDrawing, StaticBuffersHoldTheTrianglesOfTheCellStrips)
{
    sculpt();
    terrain().setGroundType(1, 2, 1);
    terrain().setGroundCell(3, 3, 2u << 8);
    for (auto [gx, gz] : {std::pair{0, 0}, {1, 1}}) {
        SCOPED_TRACE(std::to_string(gx) + ", " + std::to_string(gz));
        terrain().setDrawing(APPENVRDrawing::Cells);
        gl_.clearCalls();
        block(gx, gz).render();
        auto strips = stripTriangles(gl_.takeCalls());
        terrain().setDrawing(APPENVRDrawing::StaticBuffers);
        block(gx, gz).render();
        const APPENVRBlockMesh& built = *block(gx, gz).getMesh();
        auto mesh = meshTriangles(built.getBuffer(), built.getCellTriangles(0));
        // 100 cells of 32 triangles; the buffers keep grass cells before concrete, so compare sorted.
        ASSERT_EQ(strips.size(), 3200u);
        std::sort(strips.begin(), strips.end());
        std::sort(mesh.begin(), mesh.end());
        EXPECT_TRUE(strips == mesh);
    }
}

TEST_F(TerrainDrawing, EditsRebuildTheBuffersOfTheBlocksThatDrawTheChange)
{
    using Blocks = std::set<std::pair<int, int>>;
    struct Edit {
        const char* what;
        std::function<void(APPENVRMain&)> apply;
        Blocks rebuilt;
    };
    const std::vector<Edit> edits = {
        {"height inside a block", [](APPENVRMain& t) { t.setHeight(45, 50, 3.0f); }, {{1, 1}}},
        {"height on an X border", [](APPENVRMain& t) { t.setHeight(40, 50, 3.0f); }, {{0, 1}, {1, 1}}},
        {"height on a corner", [](APPENVRMain& t) { t.setHeight(40, 40, 3.0f); }, {{0, 0}, {0, 1}, {1, 0}, {1, 1}}},
        {"height at the world's origin", [](APPENVRMain& t) { t.setHeight(0, 0, 3.0f); }, {{0, 0}}},
        {"height at the far corner", [](APPENVRMain& t) { t.setHeight(639, 639, 3.0f); }, {{15, 15}}},
        {"ground type", [](APPENVRMain& t) { t.setGroundType(12, 25, 1); }, {{1, 2}}},
        {"street pass", [](APPENVRMain& t) { t.updateStreetsInRange(10, 10, 10, 10); }, {{1, 1}}},
        {"normals around a corner", [](APPENVRMain& t) { t.updateNormalsInRange(38, 38, 42, 42); },
         {{0, 0}, {0, 1}, {1, 0}, {1, 1}}},
    };
    terrain().setDrawing(APPENVRDrawing::StaticBuffers);
    terrain().render();
    ASSERT_THAT(changedBlocks(), IsEmpty()) << "every block built its buffers on its first draw";
    // The second frame brings the shading variants; no block builds its buffers again for them.
    terrain().render();
    ASSERT_THAT(changedBlocks(), IsEmpty());
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.what);
        edit.apply(terrain());
        EXPECT_EQ(changedBlocks(), edit.rebuilt);
        gl_.clearCalls();
        terrain().render();
        const auto calls = gl_.takeCalls();
        // Positions, normals, three coordinate sets and the indices of each rebuilt block.
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return startsWith(c, "glBufferData("); }),
                  static_cast<long>(6 * edit.rebuilt.size()));
        EXPECT_THAT(changedBlocks(), IsEmpty());
    }
    // The rebuilt block draws the new height: vertex (45, 50) is corner (1, 2) of cell (11, 12).
    const QRVISXVertexBuffer& buffer = block(1, 1).getMesh()->getBuffer();
    bool found = false;
    for (int v = 0; v < buffer.getVertexCount(); ++v)
        if (buffer.getVertexPosition(v).x == 180.0f && buffer.getVertexPosition(v).z == 200.0f) {
            EXPECT_EQ(buffer.getVertexPosition(v).y, 3.0f);
            found = true;
        }
    EXPECT_TRUE(found);
}

TEST_F(TerrainDrawing, EditorFormOutlinesTheBlockAboveItsBorderVertices)
{
    sculpt();
    terrain().setDrawing(APPENVRDrawing::StaticBuffers);
    block(1, 0).renderEditor();
    const auto calls = gl_.takeCalls();
    const auto strip = std::find(calls.begin(), calls.end(), "glBegin(GL_LINE_STRIP)");
    ASSERT_NE(strip, calls.end());
    EXPECT_TRUE(std::any_of(calls.begin(), strip, [](const std::string& c) { return c == "glDepthMask(GL_FALSE)"; }));
    EXPECT_TRUE(std::any_of(calls.begin(), strip, [](const std::string& c) { return c == "glLineWidth(2)"; }));
    EXPECT_TRUE(std::any_of(calls.begin(), strip, [](const std::string& c) {
        return c == "glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)";
    }));
    std::vector<std::string> points;
    for (auto call = strip; call != calls.end() && *call != "glEnd()"; ++call)
        if (startsWith(*call, "glVertex3f("))
            points.push_back(*call);
    // 41 border vertices per side, corners repeated; around from (40, 0) through (80, 0), (80, 40), (40, 40).
    auto at = [this](int x, int z) {
        const Vector3 p = terrain().getVertexPosition(x, z);
        return "glVertex3f(" + glNumber(p.x) + ", " + glNumber(p.y) + ", " + glNumber(p.z) + ")";
    };
    ASSERT_EQ(points.size(), 164u);
    EXPECT_EQ(points[0], at(40, 0));
    EXPECT_EQ(points[40], at(80, 0));
    EXPECT_EQ(points[41], at(80, 0));
    EXPECT_EQ(points[81], at(80, 40));
    EXPECT_EQ(points[122], at(40, 40));
    EXPECT_EQ(points[163], at(40, 0));
}

TEST_F(TerrainDrawing, BlocksDrawNearestFirstAndTheNearestReachTheDriverFirst)
{
    // A few blocks around an eye inside global block (3, 3), from above; cell by cell, so that each
    // strip names its block by its first grid position.
    QRVISXCamera3D& camera = *visual_->getCameraManager()->get3DCamera();
    const Vector3 eye{600.0f, 100.0f, 560.0f};
    camera.setPosition(eye);
    camera.setOrthoExtents({260.0f, 260.0f, 1.0f});
    visual_->getCameraManager()->activateCamera(&camera);
    terrain().setDrawing(APPENVRDrawing::Cells);
    gl_.clearCalls();
    terrain().render();
    const auto calls = gl_.takeCalls();
    std::vector<std::pair<int, int>> order;
    std::vector<std::size_t> blocksBeforeFlush;
    bool stripBegun = false;
    for (const std::string& call : calls) {
        if (call == "glFlush()") {
            blocksBeforeFlush.push_back(order.size());
        } else if (startsWith(call, "glBegin(")) {
            stripBegun = true;
        } else if (stripBegun && startsWith(call, "glMultiTexCoord2f(GL_TEXTURE0")) {
            stripBegun = false;
            const auto args = arguments(call);
            const std::pair<int, int> block{std::stoi(args[1]) / 40, std::stoi(args[2]) / 40};
            if (order.empty() || order.back() != block)
                order.push_back(block);
        }
    }
    ASSERT_GE(order.size(), 9u);
    const std::set<std::pair<int, int>> distinct(order.begin(), order.end());
    EXPECT_EQ(distinct.size(), order.size()) << "every block draws in one piece";
    EXPECT_EQ(order.front(), std::make_pair(3, 3));
    const auto distance = [&](const std::pair<int, int>& block) {
        const float dx = 160.0f * static_cast<float>(block.first) + 80.0f - eye.x;
        const float dz = 160.0f * static_cast<float>(block.second) + 80.0f - eye.z;
        return dx * dx + dz * dz;
    };
    for (std::size_t i = 1; i < order.size(); ++i)
        EXPECT_LE(distance(order[i - 1]), distance(order[i])) << "block " << i;
    EXPECT_EQ(blocksBeforeFlush, (std::vector<std::size_t>{3, order.size()}));
}

namespace {
// The triangles of a draw that are not among the cells' own: the skirts.
std::vector<Triangle> skirtTriangles(const APPENVRBlockMesh& mesh, int level)
{
    std::vector<Triangle> skirts;
    const APPENVRBlockMesh::Range cells = mesh.getCellTriangles(level);
    for (const APPENVRBlockMesh::Range draw : {mesh.getGrassDraw(level), mesh.getConcreteDraw(level)}) {
        for (const Triangle& triangle : meshTriangles(mesh.getBuffer(), draw)) {
            skirts.push_back(triangle);
        }
    }
    const std::size_t cellTriangles = static_cast<std::size_t>(cells.count / 3);
    EXPECT_GE(skirts.size(), cellTriangles);
    std::vector<Triangle> own = meshTriangles(mesh.getBuffer(), cells);
    std::sort(own.begin(), own.end());
    std::vector<Triangle> rest;
    std::sort(skirts.begin(), skirts.end());
    std::set_difference(skirts.begin(), skirts.end(), own.begin(), own.end(), std::back_inserter(rest));
    return rest;
}

float number(const std::string& text)
{
    return std::stof(text);
}
} // namespace

// Each level covers the whole block once, from vertices on its own grid only, facing up; the
// coarser the level the fewer triangles (a quarter each time).
TEST_F(TerrainDrawing, EveryLevelCoversTheBlockOnceWithAQuarterOfTheTriangles)
{
    sculpt();
    terrain().setGroundType(11, 12, 1);
    terrain().setDrawing(APPENVRDrawing::StaticBuffers);
    block(1, 1).render();
    const APPENVRBlockMesh& mesh = *block(1, 1).getMesh();
    for (int level = 0; level < APPENVRBlockMesh::kLevelCount; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        const int step = 1 << level;
        const auto triangles = meshTriangles(mesh.getBuffer(), mesh.getCellTriangles(level));
        EXPECT_EQ(triangles.size(), static_cast<std::size_t>(3200 / (step * step)));
        double area = 0.0;
        for (const Triangle& t : triangles) {
            for (const Vertex& v : t) {
                EXPECT_EQ(static_cast<int>(number(v[0])) % step, 0) << "grid x " << v[0];
                EXPECT_EQ(static_cast<int>(number(v[1])) % step, 0) << "grid z " << v[1];
            }
            // Right-handed with +Y up: a triangle seen from above turns clockwise in x, z.
            const float ax = number(t[1][8]) - number(t[0][8]);
            const float az = number(t[1][10]) - number(t[0][10]);
            const float bx = number(t[2][8]) - number(t[0][8]);
            const float bz = number(t[2][10]) - number(t[0][10]);
            const float cross = az * bx - ax * bz;
            EXPECT_GT(cross, 0.0f);
            area += 0.5 * cross;
        }
        EXPECT_DOUBLE_EQ(area, 160.0 * 160.0);
    }
}

// Skirts hang from every border a neighbouring block shares, at every level, to below the ground
// along that border; none hangs from the world's own border.
TEST_F(TerrainDrawing, SkirtsHangBelowSharedBordersOnly)
{
    sculpt();
    terrain().setDrawing(APPENVRDrawing::StaticBuffers);
    struct Case {
        int gx, gz;
        int sharedSides;
    };
    const Case cases[] = {{1, 1, 4}, {0, 0, 2}, {0, 1, 3}, {15, 15, 2}};
    for (const Case& c : cases) {
        block(c.gx, c.gz).render();
        const APPENVRBlockMesh& mesh = *block(c.gx, c.gz).getMesh();
        const float x0 = 160.0f * static_cast<float>(c.gx);
        const float z0 = 160.0f * static_cast<float>(c.gz);
        for (int level = 0; level < APPENVRBlockMesh::kLevelCount; ++level) {
            SCOPED_TRACE(std::to_string(c.gx) + ", " + std::to_string(c.gz) + " level " + std::to_string(level));
            const int quadsPerSide = 10 * (4 >> level);
            const auto skirts = skirtTriangles(mesh, level);
            // Two triangles per quad, each in both windings.
            EXPECT_EQ(skirts.size(), static_cast<std::size_t>(c.sharedSides * quadsPerSide * 4));
            for (const Triangle& t : skirts) {
                // A skirt stands in the plane of one block side, which is no border of the world.
                const float x = number(t[0][8]);
                const float z = number(t[0][10]);
                const bool alongZ = number(t[1][8]) == x && number(t[2][8]) == x;
                const bool alongX = number(t[1][10]) == z && number(t[2][10]) == z;
                EXPECT_TRUE((alongZ && (x == x0 || x == x0 + 160.0f)) || (alongX && (z == z0 || z == z0 + 160.0f)));
                EXPECT_TRUE(alongZ ? x > 0.0f && x < 2560.0f : z > 0.0f && z < 2560.0f) << "at the world's border";
                for (const Vertex& v : t) {
                    const float y = number(v[9]);
                    const float ground =
                        terrain().getVertexPosition(static_cast<int>(number(v[8]) / 4.0f), static_cast<int>(number(v[10]) / 4.0f)).y;
                    // Numbers come back as the GL calls printed them: to a thousandth.
                    EXPECT_TRUE(std::abs(y - ground) < 1e-3f || y <= ground - APPENVRBlockMesh::kSkirtDepth + 1e-3f)
                        << y << " against " << ground;
                }
            }
        }
    }
}

// A perspective eye over block (1, 1): it draws every height step, block (3, 1) (240 units on)
// every second one, block (5, 1) (560 units on) only the cell corners.
TEST_F(TerrainDrawing, BlocksDrawTheLevelTheirDistanceAsks)
{
    sculpt();
    QRVISXCamera3D& camera = *visual_->getCameraManager()->get3DCamera();
    camera.setOrthographic(false);
    camera.setPosition({240.0f, 40.0f, 240.0f});
    camera.setOrientation(QRMATHQuaternion::fromRotationY(-90.0f));
    visual_->getCameraManager()->activateCamera(&camera);
    terrain().setDrawing(APPENVRDrawing::StaticBuffers);
    struct Case {
        int gx;
        int level;
    };
    for (const Case c : {Case{1, 0}, Case{3, 1}, Case{5, 2}}) {
        SCOPED_TRACE(c.gx);
        EXPECT_EQ(block(c.gx, 1).getDetail().level, c.level);
        gl_.clearCalls();
        block(c.gx, 1).render();
        const APPENVRBlockMesh& mesh = *block(c.gx, 1).getMesh();
        std::vector<int> counts;
        for (const auto& call : gl_.takeCalls())
            if (startsWith(call, "glDrawRangeElements("))
                counts.push_back(std::stoi(arguments(call)[3]));
        EXPECT_THAT(counts, ElementsAre(mesh.getGrassDraw(c.level).count));
        terrain().setLevelOfDetail(false);
        EXPECT_EQ(block(c.gx, 1).getDetail().level, 0) << "without level of detail everything is full";
        terrain().setLevelOfDetail(true);
    }
}

// Culling may only drop what cannot be seen: whatever a block's buffers hold, at every level and
// with the skirts, lies inside its culling box.
TEST_F(TerrainDrawing, EveryVertexABlockDrawsLiesInsideItsCullingBox)
{
    sculpt();
    terrain().setDrawing(APPENVRDrawing::StaticBuffers);
    for (const auto& [gx, gz] : {std::pair{0, 0}, {1, 1}, {7, 3}, {15, 15}}) {
        block(gx, gz).render();
        const QRVISXVertexBuffer& drawn = block(gx, gz).getMesh()->getBuffer();
        const APPENVRBox& box = block(gx, gz).getCullingBounds();
        for (int i = 0; i < drawn.getVertexCount(); ++i) {
            const Vector3 p = drawn.getVertexPosition(i);
            ASSERT_TRUE(p.x >= box.minimum.x && p.y >= box.minimum.y && p.z >= box.minimum.z && p.x <= box.maximum.x &&
                        p.y <= box.maximum.y && p.z <= box.maximum.z)
                << gx << ", " << gz << " vertex " << i;
        }
    }
}

// Where a cell's street tile is opaque the cell's quads draw apart, read by the tile alone: at each
// level only the quads lying wholly under the opaque part, and +X is the tile's right.
TEST_F(TerrainDrawing, QuadsUnderAnOpaqueTileDrawApartAtEveryLevel)
{
    // The tile of code 2 is transparent in its 4 leftmost columns of 16.
    QImage atlas(64, 64, QImage::Format_RGBA8888);
    atlas.fill(QColor(60, 60, 60, 255));
    for (int x = 32; x < 36; ++x)
        for (int y = 0; y < 16; ++y)
            atlas.setPixelColor(x, y, QColor(60, 60, 60, 0));
    ASSERT_TRUE(atlas.save(QString::fromStdString((programFolder() / "textures/terrain/streets.png").string())));
    // The program for those quads reads a texture per vertex.
    gl_.setInteger(GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS, 8);
    environment_ = qrNew<APPENVRMain>(nullptr);
    environment_->initialize();
    environment_->setShadow(shadow_.get());
    sculpt();
    terrain().setGroundCell(7, 7, 2u << 8);
    terrain().setDrawing(APPENVRDrawing::StaticBuffers);
    terrain().render();
    terrain().render();
    const APPENVRBlockMesh& mesh = *block(0, 0).getMesh();
    const unsigned tileOnly = APPENVRLayerReach::kStreetTileOnly;
    for (const auto& [level, coveredTriangles] : {std::pair{0, 16}, {1, 4}, {2, 0}}) {
        SCOPED_TRACE("level " + std::to_string(level));
        std::size_t covered = 0;
        std::size_t all = 0;
        for (const APPENVRBlockMesh::Draw& draw : mesh.getShadingDraws(level)) {
            const auto triangles = meshTriangles(mesh.getBuffer(), draw.range);
            all += triangles.size();
            if (draw.needs != tileOnly)
                continue;
            covered += triangles.size();
            for (const Triangle& t : triangles)
                for (const Vertex& v : t)
                    EXPECT_GE(number(v[0]), 30.0f) << "only the right half of cell 7 (grid x 28 .. 32)";
        }
        EXPECT_EQ(covered, static_cast<std::size_t>(coveredTriangles));
        EXPECT_EQ(all, meshTriangles(mesh.getBuffer(), mesh.getGrassDraw(level)).size() +
                           meshTriangles(mesh.getBuffer(), mesh.getConcreteDraw(level)).size());
    }
    // Drawn with their own program.
    auto program = [](const QRVISXShaderConfiguration* shading) { return static_cast<GLuint>(shading->getGLProgramId()); };
    const GLuint tileProgram = program(terrain().getShading(false, false, tileOnly));
    EXPECT_NE(tileProgram, program(terrain().getShaderConfiguration()));
    visual_->getMaterialManager()->resetAll();
    gl_.clearCalls();
    block(0, 0).render();
    const auto draws = drawStates(gl_.takeCalls());
    EXPECT_EQ(std::count_if(draws.begin(), draws.end(), [&](const DrawState& d) { return d.program == tileProgram; }), 1);
}
