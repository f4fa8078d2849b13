#include "gl_context_fixture.h"

#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/geometry/qr_visx_model.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

#include <gmock/gmock.h>

#include <array>
#include <cmath>
#include <cstdlib>

using ::testing::IsEmpty;

namespace {

using Pixel = std::array<int, 3>;

bool near(const Pixel& pixel, const Pixel& wanted)
{
    for (std::size_t i = 0; i < pixel.size(); ++i)
        if (std::abs(pixel[i] - wanted[i]) > 10)
            return false;
    return true;
}

// A unit cube around the origin, one group per face (as a model builder makes it), faces wound
// counter-clockwise seen from outside, with the face normal on each corner.
void buildCube(QRVISXModel& model)
{
    struct Face {
        Vector3 normal, u, v;
    };
    const Face faces[] = {{{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
                          {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
                          {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}};
    model.setName("Cube");
    model.setLodCount(1);
    QRVISXModelLod& lod = *model.getLod(0);
    lod.setGroupCount(6);
    for (int f = 0; f < 6; ++f) {
        const Face& face = faces[f];
        QRVISXVertexBuffer& buffer = *lod.getGroup(f)->createBuffer();
        buffer.create(4, 6);
        const float corners[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}, {-0.5f, 0.5f}};
        for (int c = 0; c < 4; ++c) {
            const float a = corners[c][0], b = corners[c][1];
            buffer.setVertexPosition(c, {face.normal.x * 0.5f + face.u.x * a + face.v.x * b,
                                         face.normal.y * 0.5f + face.u.y * a + face.v.y * b,
                                         face.normal.z * 0.5f + face.u.z * a + face.v.z * b});
            buffer.setNormal(c, face.normal);
        }
        const int indices[] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; ++i)
            buffer.setIndex(i, indices[i]);
    }
}

class ModelPicture : public GLContextFixture {
protected:
    Pixel pixel(int x, int y)
    {
        std::array<GLubyte, 3> rgb{};
        qrGL().readPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return {rgb[0], rgb[1], rgb[2]};
    }

    // The cube tilted 30 degrees towards the viewer about x, so its front and top faces show,
    // lit by a light straight from above; orthographic, 4 x 3 units over the 640 x 480 panel.
    void drawCube(QRVISXModel& model)
    {
        visual().getRenderContextManager()->activatePrimaryContext();
        QRVISXGL& gl = qrGL();
        gl.clearColor(0.0f, 0.0f, 0.5f, 1.0f);
        gl.clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        gl.matrixMode(GL_PROJECTION);
        gl.loadIdentity();
        gl.ortho(-2.0, 2.0, -1.5, 1.5, -10.0, 10.0);
        gl.matrixMode(GL_MODELVIEW);
        gl.loadIdentity();
        const GLfloat fromAbove[4] = {0.0f, 1.0f, 0.0f, 0.0f};
        const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        gl.lightfv(GL_LIGHT0, GL_POSITION, fromAbove);
        gl.lightfv(GL_LIGHT0, GL_DIFFUSE, white);
        gl.lightfv(GL_LIGHT0, GL_AMBIENT, none);
        const GLfloat sceneAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
        gl.lightModelfv(GL_LIGHT_MODEL_AMBIENT, sceneAmbient);
        const float c = std::cos(30.0f * kDegreesToRadians), s = std::sin(30.0f * kDegreesToRadians);
        const GLfloat tilt[16] = {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
        gl.loadMatrixf(tilt);
        // No material instance: each group draws with the default material, "default_solid".
        model.render();
        gl.finish();
    }
};

} // namespace

TEST_F(ModelPicture, LitCubeFromTheModelFileShowsALitTopAndAShadedFront)
{
    visual().generateMainRenderContext("Main RC", "Visual Device");
    programFolder().write("models/readme.txt", "models go here");
    {
        auto built = qrNew<QRVISXModel>(nullptr);
        buildCube(*built);
        built->saveToFile("models\\cube.model");
    }
    auto model = qrNew<QRVISXModel>(nullptr);
    model->loadFromFile("models\\cube.model");
    model->generateVBO();
    ASSERT_TRUE(model->getLod(0)->getVertexBuffer()->hasBufferObjects());

    drawCube(*model);

    // Top face: n = (0, .87, .5) facing the light, 0.87 + the scene's 0.2 ambient saturates.
    // Front face: n = (0, -.5, .87) turned away, only the ambient 0.2 of white.
    const int centreX = 320;
    const int topY = static_cast<int>((0.43f + 1.5f) / 3.0f * 480.0f);
    const int frontY = static_cast<int>((-0.25f + 1.5f) / 3.0f * 480.0f);
    EXPECT_TRUE(near(pixel(centreX, topY), {255, 255, 255})) << pixel(centreX, topY)[0];
    EXPECT_TRUE(near(pixel(centreX, frontY), {51, 51, 51})) << pixel(centreX, frontY)[0];
    EXPECT_TRUE(near(pixel(centreX, 440), {0, 0, 128}));
    EXPECT_TRUE(near(pixel(60, topY), {0, 0, 128}));
    EXPECT_THAT(shownBoxes(), IsEmpty());
    EXPECT_EQ(logCount("VBOs generated!"), 1u);
}
