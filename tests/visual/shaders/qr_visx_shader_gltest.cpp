#include "gl_context_fixture.h"

#include "core/qr_mngr_assetmanager.h"
#include "core/qr_mngr_main.h"
#include "core/qr_mngr_updateableresources.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"

#include <QColor>
#include <QImage>

#include <gmock/gmock.h>

#include <array>
#include <cstdlib>
#include <string>
#include <utility>

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

using Pixel = std::array<int, 3>;

// "#version" must stand on a line of its own and a line comment must end at its line: both only
// hold when every source line reaches the driver with its line break.
const char* const kVertexSource = "#version 120\n"
                                  "// straight through: the quad is given in clip space\n"
                                  "void main()\n"
                                  "{\n"
                                  "    gl_Position = gl_Vertex;\n"
                                  "}\n";

std::string fragmentSource(const std::string& body)
{
    return "#version 120\n"
           "// the colour comes from the material variable pool\n"
           "uniform vec4 tint;\n"
           "void main()\n"
           "{\n"
           "    " + body + "\n"
           "}\n";
}

::testing::AssertionResult near(const Pixel& pixel, const Pixel& wanted)
{
    for (std::size_t i = 0; i < pixel.size(); ++i)
        if (std::abs(pixel[i] - wanted[i]) > 3)
            return ::testing::AssertionFailure()
                   << "pixel (" << pixel[0] << ", " << pixel[1] << ", " << pixel[2] << ") wanted (" << wanted[0]
                   << ", " << wanted[1] << ", " << wanted[2] << ")";
    return ::testing::AssertionSuccess();
}

class ShaderGL : public GLContextFixture {
protected:
    ShaderGL() { visual().generateMainRenderContext("Main RC", "Visual Device"); }

    ~ShaderGL() override
    {
        for (auto* configuration : held_)
            qrAssets()->release(configuration);
    }

    QRVISXShaderManager& shaders() { return *visual().getMaterialManager()->getShaderManager(); }
    QRVISXMaterialVariablePool& pool() { return *visual().getMaterialManager()->getVariablePool(); }

    QRVISXShaderConfiguration* load(const std::string& stem, const std::string& fragmentBody)
    {
        programFolder().write(stem + ".vertex", kVertexSource);
        programFolder().write(stem + ".fragment", fragmentSource(fragmentBody));
        programFolder().write(stem + ".shader", "shader " + stem + " :\nadd vertex shader " + stem +
                                                    ".vertex\nadd fragment shader " + stem + ".fragment\n");
        auto* configuration = qrAssets()->acquire<QRVISXShaderConfiguration>(stem + ".shader");
        held_.push_back(configuration);
        return configuration;
    }

    // A quad over the whole view with the configuration (or its fallback) in the vertex colour,
    // facing along normal; the centre pixel.
    Pixel draw(QRVISXShaderConfiguration* configuration, const Vector4& colour = {1.0f, 1.0f, 1.0f, 1.0f},
               const Vector3& normal = {0.0f, 0.0f, 1.0f})
    {
        qrGL().clearColor(0.0f, 0.0f, 0.0f, 1.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        qrGL().disable(GL_CULL_FACE);
        qrGL().disable(GL_DEPTH_TEST);
        shaders().setConfiguration(configuration);
        shaders().apply(false);
        qrGL().color4f(colour.x, colour.y, colour.z, colour.w);
        qrGL().normal3f(normal.x, normal.y, normal.z);
        qrGL().begin(GL_QUADS);
        for (const auto& [x, y] : {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}}) {
            qrGL().texCoord2f((x + 1.0f) / 2.0f, (y + 1.0f) / 2.0f);
            qrGL().vertex2f(x, y);
        }
        qrGL().end();
        std::array<GLubyte, 3> centre{};
        qrGL().readPixels(kPanelWidth / 2, kPanelHeight / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, centre.data());
        return {centre[0], centre[1], centre[2]};
    }

    std::vector<QRVISXShaderConfiguration*> held_;
};

} // namespace

TEST_F(ShaderGL, DefaultConfigurationsCompileOnTheDriver)
{
    EXPECT_TRUE(shaders().getDefaultSolid()->isValid()) << logText();
    EXPECT_TRUE(shaders().getDefaultUnlit()->isValid()) << logText();
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(ShaderGL, DefaultProgramsDrawTheVertexColourLitAndTextured)
{
    // Clip space straight through, light 0 shining along the view from the front.
    for (GLenum matrix : {GL_PROJECTION, GL_MODELVIEW}) {
        qrGL().matrixMode(matrix);
        qrGL().loadIdentity();
    }
    const GLfloat front[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat dim[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    qrGL().lightfv(GL_LIGHT0, GL_POSITION, front);
    qrGL().lightfv(GL_LIGHT0, GL_DIFFUSE, white);
    qrGL().lightfv(GL_LIGHT0, GL_AMBIENT, none);
    qrGL().lightModelfv(GL_LIGHT_MODEL_AMBIENT, dim);
    auto* solid = shaders().getDefaultSolid();
    ASSERT_TRUE(solid->isValid()) << logText();

    // No texture on unit 0: the vertex colour, not the black of an empty unit.
    EXPECT_TRUE(near(draw(solid, {1.0f, 0.0f, 0.0f, 1.0f}), {255, 0, 0}));
    EXPECT_TRUE(near(draw(solid, {1.0f, 0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}), {51, 0, 0}));

    QImage picture(4, 4, QImage::Format_RGB888);
    picture.fill(QColor(0, 0, 255));
    picture.save(QString::fromStdString((programFolder() / "blue.png").string()));
    auto* texture = qrAssets()->acquire<QRVISXTexture2>("blue.png");
    ASSERT_NE(texture, nullptr);
    auto* textures = visual().getMaterialManager()->getTextureManager();
    textures->requestTexture(texture, 0);
    textures->applyTextures(false);
    EXPECT_TRUE(near(draw(shaders().getDefaultUnlit()), {0, 0, 255}));
    EXPECT_TRUE(near(draw(shaders().getDefaultUnlit(), {0.0f, 1.0f, 1.0f, 1.0f}), {0, 0, 255}));
    EXPECT_TRUE(near(draw(solid, {1.0f, 1.0f, 1.0f, 1.0f}), {0, 0, 255}));
    textures->requestTexture(nullptr, 0);
    textures->applyTextures(false);
    qrAssets()->release(texture);
    EXPECT_EQ(qrGL().getError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(ShaderGL, PoolVariableColoursTheProgram)
{
    auto* configuration = load("flat", "gl_FragColor = tint;");
    ASSERT_TRUE(configuration->isValid()) << logText();

    pool().setVector4("tint", {1.0f, 0.5f, 0.0f, 1.0f});
    EXPECT_TRUE(near(draw(configuration), {255, 128, 0}));
    pool().setVector4("tint", {0.0f, 0.0f, 1.0f, 1.0f});
    EXPECT_TRUE(near(draw(configuration), {0, 0, 255}));
    EXPECT_EQ(qrGL().getError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(ShaderGL, SyntaxErrorIsLoggedWithTheDriverMessageAndDrawingGoesOn)
{
    auto* broken = load("broken", "gl_FragColor = tint");
    EXPECT_FALSE(broken->isValid());
    ASSERT_FALSE(shownBoxes().empty());
    EXPECT_THAT(shownBoxes()[0], HasSubstr("broken.fragment\": Shader compilation error:\r\n\r\n"));
    // The driver's own words follow the heading, in the box and in the log.
    const std::string driverText = shownBoxes()[0].substr(shownBoxes()[0].find("\r\n\r\n") + 4);
    EXPECT_FALSE(driverText.empty());
    EXPECT_THAT(logText(), HasSubstr("Shader compilation error:"));
    EXPECT_THAT(logText(), HasSubstr(driverText.substr(0, driverText.find('\n'))));
    EXPECT_THAT(shownBoxes(), Contains(HasSubstr("Could not generate shader configuration because of defect shaders")));

    // Drawing with it falls back to the default solid program, which lights the white quad.
    draw(broken);
    EXPECT_EQ(shaders().getCurrentConfiguration(), shaders().getDefaultSolid());
    EXPECT_EQ(qrGL().getError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderGL, SourceRewrittenOnDiskAndReloadedDrawsTheNewColour)
{
    auto* configuration = load("live", "gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0) + 0.0 * tint;");
    ASSERT_TRUE(configuration->isValid()) << logText();
    EXPECT_TRUE(near(draw(configuration), {255, 0, 0}));
    auto* updates = qrManagers()->getUpdateableResources();
    const std::string fragment = (programFolder() / "live.fragment").string();

    programFolder().write("live.fragment", fragmentSource("gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0) + 0.0 * tint;"));
    updates->updateResourcesForFile(fragment);
    EXPECT_TRUE(near(draw(configuration), {0, 255, 0}));

    // A broken edit keeps the last program that linked: the picture stays, the message is logged.
    programFolder().write("live.fragment", fragmentSource("gl_FragColor = vec4(0.0, 0.0, 1.0, 1.0) +"));
    updates->updateResourcesForFile(fragment);
    EXPECT_TRUE(configuration->isValid());
    EXPECT_TRUE(near(draw(configuration), {0, 255, 0}));
    EXPECT_THAT(logText(), HasSubstr("live.fragment\": Shader compilation error:"));
    EXPECT_EQ(qrGL().getError(), static_cast<GLenum>(GL_NO_ERROR));

    programFolder().write("live.fragment", fragmentSource("gl_FragColor = vec4(0.0, 0.0, 1.0, 1.0) + 0.0 * tint;"));
    updates->updateResourcesForFile(fragment);
    EXPECT_TRUE(near(draw(configuration), {0, 0, 255}));
    EXPECT_EQ(qrGL().getError(), static_cast<GLenum>(GL_NO_ERROR));
}
