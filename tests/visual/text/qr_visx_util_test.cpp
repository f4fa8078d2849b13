#include "visual_unit_fixture.h"

#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/text/qr_visx_render.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/text/qr_visx_util.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <sstream>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

class DebugGeometry : public VisualUnitFixture {
protected:
    DebugGeometry()
    {
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5", "GL_VERSION_2_0",
                           "GL_EXT_blend_color", "GL_EXT_blend_minmax", "GL_ARB_multitexture",
                           "GL_ARB_texture_cube_map", "GL_ARB_shader_objects", "GL_ARB_vertex_shader",
                           "GL_ARB_fragment_shader"});
        gl_.setInteger(GL_MAX_TEXTURE_UNITS, 4);
        for (const char* stem : {"shaders/default/default_solid", "shaders/default/default_unlit"}) {
            const std::string name = stem;
            programFolder().write(name + ".vertex", "void main() { gl_Position = ftransform(); }");
            programFolder().write(name + ".fragment", "void main() { gl_FragColor = gl_Color; }");
            programFolder().write(name + ".shader", "shader configuration :\nadd vertex shader " + name +
                                                        ".vertex\nadd fragment shader " + name + ".fragment\n");
        }
        visual_->getExtensionManager()->initialize();
        visual_->getMaterialManager()->initialize();
        gl_.clearCalls();
    }

    QRVISXUtil& util() { return *visual_->getUtil(); }

    // One primitive as drawn: its mode and its vertices, each with the normal given before it.
    struct Primitive {
        std::string mode;
        std::vector<Vector3> vertices;
        std::vector<Vector3> normals;
    };

    static Vector3 numbers(const std::string& call)
    {
        std::string inside = call.substr(call.find('(') + 1);
        inside.pop_back();
        std::replace(inside.begin(), inside.end(), ',', ' ');
        std::istringstream stream(inside);
        Vector3 value{};
        stream >> value.x >> value.y >> value.z;
        return value;
    }

    std::vector<Primitive> primitives()
    {
        std::vector<Primitive> result;
        Vector3 normal{};
        for (const std::string& call : gl_.takeCalls()) {
            if (call.rfind("glBegin(", 0) == 0)
                result.push_back({call.substr(8, call.size() - 9), {}, {}});
            else if (call.rfind("glNormal3f(", 0) == 0)
                normal = numbers(call);
            else if (call.rfind("glVertex3f(", 0) == 0 && !result.empty()) {
                result.back().vertices.push_back(numbers(call));
                result.back().normals.push_back(normal);
            }
        }
        return result;
    }

    static std::size_t countOf(const std::vector<Primitive>& list, const std::string& mode)
    {
        return static_cast<std::size_t>(
            std::count_if(list.begin(), list.end(), [&](const Primitive& p) { return p.mode == mode; }));
    }

    // Newell's normal of a polygon: robust where corners coincide (the poles of a sphere).
    static Vector3 polygonNormal(const std::vector<Vector3>& corners)
    {
        Vector3 n{};
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const Vector3& a = corners[i];
            const Vector3& b = corners[(i + 1) % corners.size()];
            n.x += (a.y - b.y) * (a.z + b.z);
            n.y += (a.z - b.z) * (a.x + b.x);
            n.z += (a.x - b.x) * (a.y + b.y);
        }
        return n;
    }

    static float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
};

} // namespace

TEST_F(DebugGeometry, BoxFacesFaceOutwardsAndCarryAGridOfLines)
{
    const Vector3 halfSize{1.0f, 2.0f, 3.0f};
    util().getBoxes()->drawBox({5, 0, 0}, Quaternion{}, false, halfSize);
    const std::vector<Primitive> drawn = primitives();
    ASSERT_EQ(drawn.size(), 2u);
    ASSERT_EQ(drawn[0].mode, "GL_QUADS");
    ASSERT_EQ(drawn[0].vertices.size(), 24u);
    for (std::size_t face = 0; face < 6; ++face) {
        const std::vector<Vector3> corners(drawn[0].vertices.begin() + static_cast<long>(face * 4),
                                           drawn[0].vertices.begin() + static_cast<long>(face * 4 + 4));
        const Vector3 winding = polygonNormal(corners);
        const Vector3& normal = drawn[0].normals[face * 4];
        EXPECT_GT(dot(winding, normal), 0.0f) << "face " << face;
        EXPECT_FLOAT_EQ(dot(normal, normal), 1.0f);
        for (const Vector3& corner : corners) {
            EXPECT_FLOAT_EQ(std::fabs(corner.x), halfSize.x);
            EXPECT_FLOAT_EQ(std::fabs(corner.y), halfSize.y);
            EXPECT_FLOAT_EQ(std::fabs(corner.z), halfSize.z);
            // Each face lies in the plane its normal names.
            EXPECT_FLOAT_EQ(dot(corner, normal), std::fabs(dot(halfSize, normal)));
        }
    }
    // Lines at 0, 1/2 and 1 of each face, in both directions.
    ASSERT_EQ(drawn[1].mode, "GL_LINES");
    ASSERT_EQ(drawn[1].vertices.size(), 6u * 6u * 2u);
    EXPECT_THAT(drawn[1].vertices, Contains(testing::Truly([](const Vector3& v) {
                    return v.x == 0.0f && std::fabs(v.z) == 3.0f;
                })));

    util().getBoxes()->fillColor.w = 0.0f;
    util().getBoxes()->drawCube({0, 0, 0}, false, 1.0f);
    const std::vector<Primitive> wireOnly = primitives();
    EXPECT_EQ(countOf(wireOnly, "GL_QUADS"), 0u);
    EXPECT_EQ(countOf(wireOnly, "GL_LINES"), 1u);
}

TEST_F(DebugGeometry, BoxWithMaterialSetsColoursAndBlendingPerPass)
{
    QRVISXUtilBoxes& boxes = *util().getBoxes();
    boxes.blendingMode = 3;
    boxes.lineColor = {0.0f, 1.0f, 0.0f, 0.5f};
    boxes.drawCube({0, 0, 0}, true, 1.0f);
    const std::vector<std::string> calls = gl_.takeCalls();
    const auto at = [&](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    EXPECT_LT(at("glColor4f(0.7, 0.7, 0.7, 1)"), at("glBegin(GL_QUADS)"));
    EXPECT_LT(at("glBegin(GL_QUADS)"), at("glColor4f(0, 1, 0, 0.5)"));
    EXPECT_LT(at("glColor4f(0, 1, 0, 0.5)"), at("glBegin(GL_LINES)"));
    EXPECT_LT(at("glBegin(GL_LINES)"), static_cast<long>(calls.size()));
    const auto& applied = visual_->getMaterialManager()->getStateManager()->getApplied();
    EXPECT_EQ(applied.blendingMode, 3);
    EXPECT_FALSE(applied.depthWrite);
    EXPECT_FALSE(applied.cullFace);
}

TEST_F(DebugGeometry, SphereIsClosedAndFacesOutwards)
{
    QRVISXUtilSpheres& spheres = *util().getSpheres();
    const auto& positions = spheres.getPositions();
    ASSERT_EQ(positions.size(), 9u * 25u);
    expectPoint(positions[0], {0, 1, 0});
    expectPoint(positions[8 * 25 + 6], {0, 0, 1});
    expectPoint(positions[4 * 25 + 12], {-std::sqrt(0.5f), std::sqrt(0.5f), 0});
    for (std::size_t i = 0; i < positions.size(); ++i)
        expectPoint(spheres.getNormals()[i], positions[i]);

    spheres.drawSphereRadius({0, 0, 0}, true, 2.0f);
    const std::vector<std::string> calls = gl_.calls();
    EXPECT_THAT(calls, Contains("glPolygonMode(GL_FRONT_AND_BACK, GL_LINE)"));
    const std::vector<Primitive> drawn = primitives();
    ASSERT_EQ(drawn.size(), 32u);
    float lowest = 1.0f;
    float highest = -1.0f;
    for (const Primitive& strip : drawn) {
        ASSERT_EQ(strip.mode, "GL_QUAD_STRIP");
        ASSERT_EQ(strip.vertices.size(), 50u);
        for (std::size_t k = 0; k + 3 < strip.vertices.size(); k += 2) {
            // Quad k of a strip runs v0, v1, v3, v2.
            const std::vector<Vector3> quad = {strip.vertices[k], strip.vertices[k + 1], strip.vertices[k + 3],
                                               strip.vertices[k + 2]};
            const Vector3 centre{(quad[0].x + quad[2].x) / 2, (quad[0].y + quad[2].y) / 2, (quad[0].z + quad[2].z) / 2};
            ASSERT_GT(dot(polygonNormal(quad), centre), 0.0f);
        }
        for (std::size_t k = 0; k < strip.vertices.size(); ++k) {
            expectPoint(strip.normals[k], strip.vertices[k]);
            lowest = std::min(lowest, strip.vertices[k].y);
            highest = std::max(highest, strip.vertices[k].y);
        }
    }
    EXPECT_FLOAT_EQ(lowest, -1.0f);
    EXPECT_FLOAT_EQ(highest, 1.0f);
}

TEST_F(DebugGeometry, RenderWrapsImmediateMode)
{
    QRVISXRender& render = *visual_->getRender();
    render.setClearColor(0.3f, 0.3f, 0.3f);
    render.clear(true, false, true);
    render.clear(false, false, false);
    render.beginQuadStrip();
    render.setVertexColor(1, 0, 0, 1);
    render.setNormal(0, 1, 0);
    render.setTexCoord1(0, 0.5f);
    render.setTexCoord2(2, 0.25f, 1.0f);
    render.vertex(1, 2, 3);
    render.end();
    EXPECT_THAT(gl_.calls(),
                ElementsAre("glClearColor(0.3, 0.3, 0.3, 1)", "glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT)",
                            "glBegin(GL_QUAD_STRIP)", "glColor4f(1, 0, 0, 1)", "glNormal3f(0, 1, 0)", "glMultiTexCoord1f(GL_TEXTURE0, 0.5)",
                            "glMultiTexCoord2f(GL_TEXTURE2, 0.25, 1)", "glVertex3f(1, 2, 3)", "glEnd()"));
}
