#include "gl_context_fixture.h"

#include "core/qr_mngr_assetmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_material.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/device/rendercontexts/qr_visx_rendercontext.h"
#include "visual/device/rendercontexts/qr_visx_rendercontextmanager.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <array>
#include <cstdlib>
#include <string>

namespace {

using Pixel = std::array<int, 3>;

// One source string per line and no line breaks between them: every line ends where a token may.
const char* const kVertexSource = "void main()\n"
                                  "{\n"
                                  "gl_Position = gl_Vertex;\n"
                                  "}\n";

std::string fragmentSource(const std::string& uniform)
{
    return "uniform vec4 " + uniform + ";\nvoid main()\n{\ngl_FragColor = " + uniform + ";\n}\n";
}

std::string materialScript(const std::string& configuration, bool brokenPass = false)
{
    return std::string("material Tint\ndefault pass main\n") + (brokenPass ? "pass main\n" : "pass main :\n") +
           "reset\ndisable cullface\ndisable depthtest\nset shader " + configuration + "\n";
}

bool near(const Pixel& pixel, const Pixel& wanted)
{
    for (std::size_t i = 0; i < pixel.size(); ++i)
        if (std::abs(pixel[i] - wanted[i]) > 8)
            return false;
    return true;
}

class MaterialDrawing : public GLContextFixture {
protected:
    void writeConfiguration(const std::string& name, const std::string& uniform)
    {
        programFolder().write("shaders/" + name + ".vertex", kVertexSource);
        programFolder().write("shaders/" + name + ".fragment", fragmentSource(uniform));
        programFolder().write("shaders/" + name + ".shader", "shader " + name + " :\nadd vertex shader shaders\\" +
                                                                 name + ".vertex\nadd fragment shader shaders\\" +
                                                                 name + ".fragment\n");
    }

    // One frame as the game draws it: activation resets the caches, the material sets everything
    // up, a quad covers the view; the centre is read back before the swap. File changes arrive
    // with the window framework's events after the frame.
    Pixel drawFrame(QRVISXMaterial* material)
    {
        visual().getRenderContextManager()->activatePrimaryContext();
        qrGL().clearColor(0.3f, 0.3f, 0.3f, 1.0f);
        qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        material->use();
        qrGL().begin(GL_QUADS);
        qrGL().vertex2f(-1, -1);
        qrGL().vertex2f(1, -1);
        qrGL().vertex2f(1, 1);
        qrGL().vertex2f(-1, 1);
        qrGL().end();
        std::array<GLubyte, 3> centre{};
        qrGL().readBuffer(GL_BACK);
        qrGL().readPixels(kPanelWidth / 2, kPanelHeight / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, centre.data());
        mainContext_->swapBuffers();
        visual().endFrame();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return {centre[0], centre[1], centre[2]};
    }

    // Frames until the log holds text (true) or the time limit passed (false).
    bool drawUntilLogged(QRVISXMaterial* material, const std::string& text)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            drawFrame(material);
            if (logText().find(text) != std::string::npos)
                return true;
        }
        return false;
    }

    QRVISXRenderContext* mainContext_ = nullptr;
};

} // namespace

TEST_F(MaterialDrawing, ColourFromAPoolVariableReachesTheScreenAndSurvivesABrokenEdit)
{
    writeConfiguration("tint", "tintColor");
    writeConfiguration("second", "secondColor");
    programFolder().write("materials/tint.material", materialScript("shaders\\tint.shader"));
    mainContext_ = visual().generateMainRenderContext("Main RC", "Visual Device");
    ASSERT_NE(mainContext_, nullptr);
    auto* material = qrAssets()->acquire<QRVISXMaterial>("materials\\tint.material");
    ASSERT_NE(material, nullptr);
    ASSERT_EQ(material->getShaderConfigurationCount(), 1);
    auto* pool = visual().getMaterialManager()->getVariablePool();
    pool->setVector4("tintColor", {0.2f, 0.8f, 0.4f, 1.0f});
    pool->setVector4("secondColor", {0.0f, 0.0f, 1.0f, 1.0f});

    EXPECT_TRUE(near(drawFrame(material), {51, 204, 102})) << logText();
    pool->setVector4("tintColor", {1.0f, 0.5f, 0.0f, 1.0f});
    EXPECT_TRUE(near(drawFrame(material), {255, 128, 0}));

    // A script saved half-written keeps the material drawing as before.
    programFolder().write("materials/tint.material", materialScript("shaders\\second.shader", true));
    ASSERT_TRUE(drawUntilLogged(material, "The material keeps its previous passes"));
    EXPECT_TRUE(near(drawFrame(material), {255, 128, 0}));

    // The finished edit takes effect: another configuration reading another pool variable.
    programFolder().write("materials/tint.material", materialScript("shaders\\second.shader"));
    QElapsedTimer clock;
    clock.start();
    bool blue = false;
    while (!blue && clock.elapsed() < 10000)
        blue = near(drawFrame(material), {0, 0, 255});
    EXPECT_TRUE(blue);

    qrAssets()->release(material);
}
