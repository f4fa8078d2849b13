#include "visual_unit_fixture.h"

#include "core/qr_mngr_assetmanager.h"
#include "resource/qr_resc_stream.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/materials/qr_visx_material.h"
#include "visual/materials/qr_visx_materialinstance.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariable.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/textures/qr_visx_texture.h"

#include <QBuffer>
#include <QImage>

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

// The expected bytes of a command stream, written the way the stream encodes them.
struct Bytes {
    std::vector<std::uint8_t> data;

    Bytes& i(std::int32_t value) { return raw(&value, 4); }
    Bytes& f(float value) { return raw(&value, 4); }
    Bytes& b(bool value) { return raw(&value, 1); }
    Bytes& s(const std::string& text)
    {
        i(static_cast<std::int32_t>(text.size()));
        return raw(text.data(), text.size());
    }
    Bytes& v(float x, float y, float z, float w) { return f(x).f(y).f(z).f(w); }
    Bytes& raw(const void* bytes, std::size_t count)
    {
        const auto* first = static_cast<const std::uint8_t*>(bytes);
        data.insert(data.end(), first, first + count);
        return *this;
    }
};

std::string pngBytes(QColor color)
{
    QImage image(2, 2, QImage::Format_RGB888);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

class Material : public VisualUnitFixture {
protected:
    Material()
    {
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5", "GL_VERSION_2_0",
                           "GL_EXT_blend_color", "GL_EXT_blend_minmax", "GL_ARB_multitexture",
                           "GL_ARB_texture_cube_map", "GL_ARB_shader_objects", "GL_ARB_vertex_shader",
                           "GL_ARB_fragment_shader", "GL_ARB_texture_non_power_of_two"});
        gl_.setInteger(GL_MAX_TEXTURE_UNITS, 4);
        gl_.setInteger(GL_MAX_TEXTURE_SIZE, 2048);
        writeConfiguration("shaders/default/default_solid", "void main() { gl_FragColor = gl_Color; }");
        writeConfiguration("shaders/default/default_unlit", "void main() { gl_FragColor = gl_Color; }");
        visual_->getExtensionManager()->initialize();
        manager().initialize();
        gl_.clearCalls();
    }

    QRVISXMaterialManager& manager() { return *visual_->getMaterialManager(); }
    QRVISXMaterialVariablePool& pool() { return *manager().getVariablePool(); }
    const QRVISXGLState& states() { return manager().getStateManager()->getCurrent(); }

    // stem.shader linking stem.vertex and stem.fragment (with this fragment source).
    void writeConfiguration(const std::string& stem, const std::string& fragmentSource)
    {
        programFolder().write(stem + ".vertex", "void main() { gl_Position = ftransform(); }");
        programFolder().write(stem + ".fragment", fragmentSource);
        programFolder().write(stem + ".shader", "shader configuration :\nadd vertex shader " + stem +
                                                    ".vertex\nadd fragment shader " + stem + ".fragment\n");
    }

    static QROwned<QRRESCStringList> script(const std::vector<std::string>& lines)
    {
        auto list = qrNew<QRRESCStringList>(nullptr, true, true);
        list->setName("test.material");
        for (const auto& line : lines)
            list->add(line);
        return list;
    }

    static QROwned<QRVISXMaterial> compile(const std::vector<std::string>& lines)
    {
        auto material = qrNew<QRVISXMaterial>(nullptr);
        material->generateFromStringList(*script(lines));
        return material;
    }

    // The stream of pass "p" compiled from the given pass body.
    static std::vector<std::uint8_t> passBytes(const std::vector<std::string>& body)
    {
        std::vector<std::string> lines = {"pass p :"};
        lines.insert(lines.end(), body.begin(), body.end());
        auto material = compile(lines);
        auto* pass = material->findPass("p");
        return pass ? pass->getCommandStream().getBytes() : std::vector<std::uint8_t>{};
    }

    std::vector<std::string> textureCalls(const std::vector<std::string>& calls)
    {
        std::vector<std::string> result;
        for (const auto& call : calls)
            if (call.find("Texture") != std::string::npos || call.find("TEXTURE_2D") != std::string::npos)
                result.push_back(call);
        return result;
    }
};

} // namespace

TEST_F(Material, StatementsCompileIntoTheirCommandBytes)
{
    struct Case {
        std::vector<std::string> body;
        Bytes expected;
    };
    const Case cases[] = {
        {{"set blendingmode additive", "enable blending"}, Bytes().i(3).i(4).i(1).i(3).i(3).b(true)},
        {{"enable depthfunc lessequal"}, Bytes().i(3).i(10).i(GL_LEQUAL)},
        {{"enable depthfunc"}, Bytes()},
        {{"set depthfunc sometimes"}, Bytes().i(3).i(10).i(-1)},
        {{"set color (1, 0.5, 0, 1)"}, Bytes().i(3).i(5).v(1.0f, 0.5f, 0.0f, 1.0f)},
        {{"set color 1 0.5 0 1"}, Bytes()},
        {{"set alphathreshold 0.3"}, Bytes().i(3).i(2).f(0.3f)},
        {{"set alphathreshold high", "set linewidth"}, Bytes()},
        {{"set cullface maybe", "disable depthwrite", "SET DepthTest TRUE"},
         Bytes().i(3).i(6).b(false).i(3).i(11).b(false).i(3).i(9).b(true)},
        {{"set polygonmode Wireframe", "enable alphafunc greaterequal"}, Bytes().i(3).i(14).i(1).i(3).i(1).i(GL_GEQUAL)},
        {{"reset", "reset textures", "clear shaders", "reset everything"},
         Bytes().i(1).i(0).i(1).i(2).i(0).i(4).i(1).i(0)},
        {{"like base", "ignore"}, Bytes().i(2).s("base").i(10)},
        {{"set texture2d Diffuse to texelunit 3", "enable texture2d detail"},
         Bytes().i(4).s("Diffuse").i(1).i(3).i(4).s("detail").i(1).i(0)},
        {{"set texture2d", "set rendering on", "set lod 3", "frobnicate the pass"}, Bytes()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.front());
        EXPECT_EQ(passBytes(c.body), c.expected.data);
    }
    // Texture statements register their 2D variables in the pool (with the name's case).
    EXPECT_NE(pool().findVariable("Diffuse", kMaterialVariableTexture2), nullptr);
    EXPECT_THAT(shownBoxes(), IsEmpty());
    EXPECT_THAT(logText(), HasSubstr("Unknown material command ignored: \"frobnicate the pass\""));
    EXPECT_THAT(logText(), HasSubstr("Render state value is not a number: \"set alphathreshold high\""));
}

TEST_F(Material, PassesDefaultPassAndNameComeFromTheScript)
{
    auto material = compile({"default pass Second", "material Stone", "set depthwrite off", "pass first:",
                             "set linewidth 2", "pass second :", "ignore"});
    EXPECT_EQ(material->getName(), "Stone");
    ASSERT_EQ(material->getPassCount(), 2);
    EXPECT_EQ(material->getDefaultPass(), material->getPassAt(1));
    // Statements before the first pass belong to no pass.
    EXPECT_EQ(material->getPassAt(0)->getCommandStream().getBytes(), Bytes().i(3).i(12).f(2.0f).data);
    EXPECT_THAT(logText(), HasSubstr("Creating Pass: \"first\""));
    EXPECT_THAT(logText(), HasSubstr("Loading material \"test.material\""));

    auto withoutDefault = compile({"default pass missing", "pass only :"});
    EXPECT_EQ(withoutDefault->getDefaultPass(), nullptr);
}

TEST_F(Material, UseSetsStatesThenBindsTexturesThenSwitchesTheProgramWithPoolUniforms)
{
    writeConfiguration("shaders/tinted", "uniform vec4 tint; uniform sampler2D diffuse;\n"
                                         "void main() { gl_FragColor = tint; }");
    programFolder().write("textures/red.png", pngBytes(Qt::red));
    auto* texture = qrAssets()->acquire<QRVISXTexture2>("textures/red.png");
    ASSERT_NE(texture, nullptr);
    // "reset states", not "reset": resetting the texture units would unbind them at every use.
    auto material = compile({"default pass main", "pass main :", "reset states", "set depthwrite off",
                             "set texture2d diffuse to texelunit 1", "set shader shaders/tinted.shader"});
    auto* configuration = material->getShaderConfigurationAt(0);
    ASSERT_NE(configuration, nullptr);
    ASSERT_TRUE(configuration->isValid()) << logText();
    pool().setTexture2("diffuse", texture);
    pool().setVector4("tint", {0.25f, 0.5f, 0.75f, 1.0f});
    gl_.clearCalls();

    material->use();

    const auto calls = gl_.takeCalls();
    const auto position = [&](const std::string& prefix) {
        return std::find_if(calls.begin(), calls.end(), [&](const std::string& call) { return call.rfind(prefix, 0) == 0; }) -
               calls.begin();
    };
    const auto program = std::to_string(configuration->getGLProgramId());
    EXPECT_LT(position("glDepthMask(GL_FALSE)"), position("glBindTexture"));
    EXPECT_LT(position("glBindTexture"), position("glUseProgram(" + program + ")"));
    EXPECT_LT(position("glUseProgram(" + program + ")"), position("glUniform4fv"));
    EXPECT_THAT(calls, Contains("glActiveTexture(GL_TEXTURE1)"));
    EXPECT_THAT(calls, Contains("glBindTexture(GL_TEXTURE_2D, " + std::to_string(texture->getGLTextureId()) + ")"));
    EXPECT_THAT(calls, Contains(StartsWith("glUniform4fv(")));
    EXPECT_THAT(calls, Contains(HasSubstr("0.25, 0.5, 0.75, 1)")));
    EXPECT_EQ(manager().getCurrentMaterial(), material.get());

    // The pool value reaches the uniform again at every use, the program is not switched again.
    pool().setVector4("tint", {1.0f, 0.0f, 0.0f, 1.0f});
    material->use();
    const auto again = gl_.takeCalls();
    EXPECT_THAT(again, Contains(HasSubstr("1, 0, 0, 1)")));
    EXPECT_THAT(again, Not(Contains(StartsWith("glUseProgram"))));
    EXPECT_THAT(textureCalls(again), IsEmpty());

    material.reset();
    qrAssets()->release(texture);
}

TEST_F(Material, ConsecutiveMaterialsSharingTexturesBindNothingTwice)
{
    programFolder().write("textures/grass.png", pngBytes(Qt::green));
    programFolder().write("textures/noise.png", pngBytes(Qt::gray));
    // A full "reset", as every material script starts, must not cost the binds either.
    const std::string body = "\npass p :\nreset\nset texture2d diffuse to texelunit 0\n"
                             "set texture2d detail to texelunit 1\n";
    programFolder().write("materials/a.material", "default pass p" + body + "set color (1, 0, 0, 1)\n");
    programFolder().write("materials/b.material", "default pass p" + body + "set color (0, 1, 0, 1)\n");
    QROwned<QRVISXMaterialInstance> instances[2];
    for (int i = 0; i < 2; ++i) {
        instances[i] = qrNew<QRVISXMaterialInstance>(nullptr);
        instances[i]->setMaterial(i == 0 ? "materials/a.material" : "materials/b.material");
        instances[i]->getScript().add("set texture2d diffuse textures/grass.png");
        instances[i]->getScript().add("set texture2d detail \"textures/noise.png\"");
        ASSERT_TRUE(instances[i]->compile());
    }
    ASSERT_EQ(instances[0]->getVariableCount(), 2);
    gl_.clearCalls();

    instances[0]->use();
    const std::string detail = std::to_string(instances[0]->findTextureVariable("detail")->getTexture()->getGLTextureId());
    EXPECT_THAT(gl_.takeCalls(), Contains("glBindTexture(GL_TEXTURE_2D, " + detail + ")"));
    for (int round = 0; round < 3; ++round) {
        instances[1]->use();
        EXPECT_THAT(textureCalls(gl_.calls()), IsEmpty());
        EXPECT_THAT(gl_.takeCalls(), Contains("glColor4f(0, 1, 0, 1)"));
        instances[0]->use();
        EXPECT_THAT(textureCalls(gl_.takeCalls()), IsEmpty());
    }
}

TEST_F(Material, LikeRunsTheNamedPassClearOnlyConsumesAndIgnoreSkipsGeometry)
{
    auto material = compile({"default pass main", "pass base :", "set depthwrite off", "set alphathreshold 0.3",
                             "pass main :", "clear states", "like base", "enable alphatest", "ignore",
                             "set linewidth 2", "pass loop :", "like loop", "set linewidth 6", "pass second :",
                             "like third", "pass third :", "like second", "set pointsize 4"});
    material->use();
    EXPECT_FALSE(states().depthWrite);
    // The alpha test sets its threshold too: the value of base is overwritten.
    EXPECT_TRUE(states().alphaTest);
    EXPECT_EQ(states().alphaThreshold, 0.5f);
    EXPECT_EQ(states().lineWidth, 2.0f);
    EXPECT_TRUE(manager().isIgnoringGeometry());

    // A pass like itself, directly or through another, runs its other commands once and reports.
    manager().executePass(material->findPass("loop"));
    EXPECT_EQ(states().lineWidth, 6.0f);
    manager().executePass(material->findPass("second"));
    EXPECT_EQ(states().pointSize, 4.0f);
    ASSERT_EQ(shownBoxes().size(), 2u);
    EXPECT_THAT(shownBoxes()[0], HasSubstr("Pass \"loop\" is like itself"));
    manager().executePass(material->findPass("loop"));
    EXPECT_EQ(shownBoxes().size(), 2u);
}

TEST_F(Material, WordValuesOutsideTheirTablesChangeNoState)
{
    auto material = compile({"default pass p", "pass p :", "set depthfunc sometimes", "set alphafunc often",
                             "set blendingmode glow", "set polygonmode dotted"});
    const QRVISXGLState before = states();
    material->use();
    EXPECT_EQ(states(), before);
}

TEST_F(Material, BrokenStreamsStopTheirPassAndReportOnce)
{
    auto material = qrNew<QRVISXMaterial>(nullptr);
    auto* unknown = material->addPass("unknown");
    unknown->getCommandStream().writeInt(10);
    unknown->getCommandStream().writeInt(77);
    unknown->getCommandStream().writeInt(3);
    auto* truncated = material->addPass("truncated");
    // A colour command whose four components end after two.
    truncated->getCommandStream().writeInt(3);
    truncated->getCommandStream().writeInt(5);
    truncated->getCommandStream().writeFloat(1.0f);
    truncated->getCommandStream().writeFloat(0.5f);

    manager().executePass(unknown);
    EXPECT_TRUE(manager().isIgnoringGeometry());
    manager().executePass(truncated);
    ASSERT_EQ(shownBoxes().size(), 2u);
    EXPECT_THAT(shownBoxes()[0], HasSubstr("Unknown material command 77"));
    EXPECT_THAT(shownBoxes()[1], HasSubstr("Error on reading data from stream"));
    // The commands before the damage still work, and later frames do not report again.
    manager().executePass(truncated);
    manager().executePass(unknown);
    EXPECT_TRUE(manager().isIgnoringGeometry());
    EXPECT_EQ(shownBoxes().size(), 2u);
}

TEST_F(Material, APassHeaderWithoutColonOpensNoPassSoItsCommandsStayInTheOpenOne)
{
    auto material = compile({"pass p :", "set linewidth 3", "pass q", "pass : r", "ignore", "pass s :"});
    ASSERT_EQ(material->getPassCount(), 2);
    EXPECT_EQ(material->getPassAt(1)->getName(), "s");
    EXPECT_EQ(material->getPassAt(0)->getCommandStream().getBytes(), Bytes().i(3).i(12).f(3.0f).i(10).data);
    EXPECT_THAT(logText(), HasSubstr("Not a pass statement (\"pass <name> :\"), ignored: \"pass q\""));

    // A reload whose script opens no pass (a file caught half-written) keeps the passes it had.
    EXPECT_FALSE(material->generateFromStringList(*script({"default pass p", "pass p", "set linewidth 5"})));
    ASSERT_EQ(material->getPassCount(), 2);
    EXPECT_THAT(logText(), HasSubstr("The material keeps its previous passes"));
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(Material, TheIgnoreCommandSkipsOnlyTheGeometryOfItsOwnPass)
{
    auto ignoring = compile({"default pass p", "pass p :", "ignore"});
    auto triangle = qrNew<QRVISXVertexBuffer>(nullptr);
    triangle->create(3);
    // What follows the ignoring pass: nothing, a group without material, the overrides.
    const std::function<void()> nextDraws[] = {[] {}, [&] { manager().resetForMaterial(); },
                                               [&] { manager().resetForMaterialLit(); manager().lock(); },
                                               [&] { manager().resetForMaterialUnlit(); manager().lock(); }};
    for (const auto& next : nextDraws) {
        ignoring->use();
        next();
        gl_.clearCalls();
        triangle->render();
        manager().unlock();
        const bool drawn = std::ranges::any_of(gl_.takeCalls(), [](const std::string& c) { return c.starts_with("glDraw"); });
        EXPECT_EQ(drawn, &next != &nextDraws[0]);
    }
}

TEST_F(Material, ScriptProblemsGiveClearErrorsWithoutCrashing)
{
    programFolder().write("materials/odd.material",
                          "default pass p\npass p :\nset texturecube sky to texelunit 1\n"
                          "set texture2d diffuse to texelunit 99\nset shader shaders/none.shader\nwobble\n");
    auto* material = qrAssets()->acquire<QRVISXMaterial>("materials/odd.material");
    ASSERT_NE(material, nullptr);
    auto instance = qrNew<QRVISXMaterialInstance>(nullptr);
    instance->setMaterial("materials/odd.material");
    instance->getScript().add("set texture2d diffuse textures/missing.png");
    instance->getScript().add("set texture3d volume textures/missing.png");
    EXPECT_TRUE(instance->compile());
    instance->use();
    instance->use();

    const auto& boxes = shownBoxes();
    const auto count = [&](const std::string& text) {
        return std::count_if(boxes.begin(), boxes.end(),
                             [&](const std::string& box) { return box.find(text) != std::string::npos; });
    };
    // Once from each compiler; the executor reports its pass once, not at every use.
    EXPECT_EQ(count("Method: parseSetTextureStatement: \r\nUnknown texture format type"), 2);
    EXPECT_EQ(count("Method: executeCommandSetTexture: \r\nUnknown texture format"), 1);
    EXPECT_THAT(boxes, Contains(HasSubstr("missing.png")));
    EXPECT_THAT(boxes, Contains(HasSubstr("none.shader")));
    EXPECT_THAT(logText(), HasSubstr("Texel unit out of range"));
    EXPECT_THAT(logText(), HasSubstr("Unknown material command ignored: \"wobble\""));
    // The unloadable configuration keeps its index; the pass falls back to the default one.
    EXPECT_EQ(material->getShaderConfigurationCount(), 1);
    EXPECT_EQ(manager().getShaderManager()->getCurrentConfiguration(), manager().getShaderManager()->getDefaultSolid());

    instance.reset();
    qrAssets()->release(material);
}

TEST_F(Material, InstanceRecordRoundTripsByteExactly)
{
    programFolder().write("materials/a.material", "default pass p\npass p :\nset texture2d diffuse\n");
    programFolder().write("textures/red.png", pngBytes(Qt::red));
    auto instance = qrNew<QRVISXMaterialInstance>(nullptr);
    instance->setName("Body");
    instance->setMaterial("materials/a.material");
    instance->getScript().add("set texture2d diffuse \"textures/red.png\"");
    instance->getScript().add("");
    const std::string path = (programFolder() / "body.instance").string();
    instance->saveToFile(path);

    Bytes expected;
    expected.s("Body").s("materials/a.material").i(2).s("set texture2d diffuse \"textures/red.png\"").s("");
    const std::string written = programFolder().read("body.instance");
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.end()), expected.data);

    auto loaded = qrNew<QRVISXMaterialInstance>(nullptr);
    loaded->loadFromFile(path);
    EXPECT_EQ(loaded->getName(), "Body");
    ASSERT_NE(loaded->getMaterial(), nullptr);
    EXPECT_EQ(loaded->getMaterial(), instance->getMaterial());
    ASSERT_EQ(loaded->getScript().getCount(), 2);
    EXPECT_EQ(loaded->getScript().get(0), instance->getScript().get(0));
    EXPECT_TRUE(loaded->isCompiled());
    auto* variable = loaded->findTextureVariable("diffuse");
    ASSERT_NE(variable, nullptr);
    EXPECT_NE(variable->getTexture(), nullptr);
    EXPECT_THAT(shownBoxes(), IsEmpty());

    loaded->use();
    EXPECT_EQ(pool().getTexture2Variable("diffuse")->getTexture(), variable->getTexture());
}

TEST_F(Material, TruncatedOrHostileInstanceRecordsLeaveTheInstanceEmpty)
{
    Bytes record;
    record.s("Body").s("materials/a.material").i(2).s("set rendering on").s("#");
    const std::string whole(record.data.begin(), record.data.end());
    Bytes hostile;
    hostile.s("Body").s("").i(0x7fffffff).s("x");
    const std::string hostileBytes(hostile.data.begin(), hostile.data.end());
    programFolder().write("materials/a.material", "pass p :\n");

    for (std::size_t length = 0; length <= whole.size(); ++length) {
        const bool complete = length == whole.size();
        SCOPED_TRACE(length);
        programFolder().write("body.instance", whole.substr(0, length));
        auto instance = qrNew<QRVISXMaterialInstance>(nullptr);
        const auto boxesBefore = shownBoxes().size();
        instance->loadFromFile("body.instance");
        EXPECT_EQ(instance->isEmpty(), !complete);
        EXPECT_EQ(instance->getScript().getCount(), complete ? 2 : 0);
        EXPECT_EQ(shownBoxes().size(), boxesBefore + (complete ? 0 : 1));
    }
    programFolder().write("hostile.instance", hostileBytes);
    auto instance = qrNew<QRVISXMaterialInstance>(nullptr);
    instance->loadFromFile("hostile.instance");
    EXPECT_TRUE(instance->getScript().isEmpty());
    EXPECT_THAT(shownBoxes().back(), HasSubstr("is incomplete or damaged"));
}

TEST_F(Material, ContextResetLiftsAnOverridesLock)
{
    auto& materials = *visual_->getMaterialManager();
    materials.getStateManager()->setDepthWrite(false);
    materials.lock();
    gl_.clearCalls();
    materials.resetAll();
    EXPECT_FALSE(materials.isLocked());
    EXPECT_FALSE(materials.getStateManager()->isLocked());
    EXPECT_THAT(gl_.takeCalls(), Contains("glDepthMask(GL_TRUE)")) << "the fresh context gets every state";
}
