#include "visual_unit_fixture.h"

#include "core/qr_mngr_assetmanager.h"
#include "core/qr_mngr_main.h"
#include "core/qr_mngr_updateableresources.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/shaders/qr_visx_shader.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/shaders/qr_visx_shadervariable.h"
#include "visual/view/qr_visx_transform.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <vector>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

constexpr const char* kPassVertex = "#version 120\nvoid main() { gl_Position = ftransform(); }\n";

class Shaders : public VisualUnitFixture {
protected:
    Shaders()
    {
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5", "GL_VERSION_2_0",
                           "GL_ARB_multitexture", "GL_ARB_texture_cube_map", "GL_EXT_blend_color",
                           "GL_EXT_blend_minmax", "GL_ARB_shader_objects", "GL_ARB_vertex_shader",
                           "GL_ARB_fragment_shader"});
        gl_.setInteger(GL_MAX_TEXTURE_UNITS, 4);
        gl_.setInteger(GL_MAX_TEXTURE_SIZE, 2048);
        std::filesystem::copy(std::filesystem::path(KIPSTER_SOURCE_DIR) / "content" / "shaders",
                              programFolder().path() / "shaders", std::filesystem::copy_options::recursive);
        visual_->getExtensionManager()->initialize();
        visual_->getTransform()->initialize();
        visual_->getMaterialManager()->initialize();
        gl_.clearCalls();
    }

    ~Shaders() override
    {
        for (auto* configuration : held_)
            qrAssets()->release(configuration);
    }

    QRVISXShaderManager& shaders() { return *visual_->getMaterialManager()->getShaderManager(); }
    QRVISXMaterialVariablePool& pool() { return *visual_->getMaterialManager()->getVariablePool(); }

    // stem.shader linking stem.vertex and stem.fragment; script lines go before the add statements.
    QRVISXShaderConfiguration* load(const std::string& stem, const std::string& fragment,
                                    const std::string& script = "", const std::string& vertex = kPassVertex)
    {
        programFolder().write(stem + ".vertex", vertex);
        programFolder().write(stem + ".fragment", fragment);
        programFolder().write(stem + ".shader", script + "add vertex shader " + stem + ".vertex\nadd fragment shader " +
                                                    stem + ".fragment\n");
        auto* configuration = qrAssets()->acquire<QRVISXShaderConfiguration>(stem + ".shader");
        held_.push_back(configuration);
        return configuration;
    }

    std::vector<std::string> programSwitches() const
    {
        std::vector<std::string> found;
        for (const auto& call : gl_.calls())
            if (call.starts_with("glUseProgram"))
                found.push_back(call);
        return found;
    }

    static std::string useProgram(const QRVISXShaderConfiguration* configuration)
    {
        return "glUseProgram(" + std::to_string(configuration->getGLProgramId()) + ")";
    }

    std::vector<QRVISXShaderConfiguration*> held_;
};

} // namespace

TEST_F(Shaders, DefaultConfigurationsLinkAtStartUp)
{
    ASSERT_NE(shaders().getDefaultSolid(), nullptr);
    EXPECT_TRUE(shaders().getDefaultSolid()->isValid());
    EXPECT_TRUE(shaders().getDefaultUnlit()->isValid());
    EXPECT_EQ(shaders().getCurrentConfiguration(), shaders().getDefaultSolid());
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(Shaders, ScriptNamesTheConfigurationSetsTexelUnitsAndAddsShaders)
{
    programFolder().write("cfg/a.vertex", kPassVertex);
    programFolder().write("cfg/a.fragment", "void main() { gl_FragColor = vec4(1.0); }\n");
    programFolder().write("cfg/table.shader", "use sampler Early to texelunit 6\n"
                                              "shader water :\n"
                                              "Shader other :\n"
                                              "set texture2d ReflectionMap to texelunit 2\n"
                                              "set texturecube Sky to texelunit 1\n"
                                              "also sampler Extra to texelunit 5\n"
                                              "set bumpmap Bump to texelunit 3\n"
                                              "set texture3d Volume To texelunit 4\n"
                                              "set texture2d Far to texelunit 99\n"
                                              "add vertex shader cfg/a.vertex\n"
                                              "add Fragment shader cfg/a.fragment\n"
                                              "add geometry shader cfg/a.geometry\n");
    auto* configuration = qrAssets()->acquire<QRVISXShaderConfiguration>("cfg/table.shader");
    ASSERT_NE(configuration, nullptr);
    held_.push_back(configuration);

    EXPECT_EQ(configuration->getName(), "water");
    struct Expected {
        const char* name;
        int textureType;
        int texelUnit;
    };
    // The type word of the last set statement carries on; an unknown word means 2D.
    const std::vector<Expected> expected = {
        {"Early", 0, 6}, {"ReflectionMap", 1, 2}, {"Sky", 3, 1}, {"Extra", 3, 5}, {"Bump", 1, 3}};
    std::string names;
    for (int i = 0; i < configuration->getVariableCount(); ++i)
        names += configuration->getVariableAt(i)->getName() + " ";
    ASSERT_EQ(configuration->getVariableCount(), static_cast<int>(expected.size())) << names;
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        auto* variable = dynamic_cast<QRVISXShaderVariableTexture*>(configuration->findVariable(e.name));
        ASSERT_NE(variable, nullptr);
        EXPECT_EQ(variable->getTextureType(), e.textureType);
        EXPECT_EQ(variable->getTexelUnit(), e.texelUnit);
    }
    EXPECT_EQ(configuration->getVertexShaders().size(), 1u);
    EXPECT_EQ(configuration->getFragmentShaders().size(), 1u);
    EXPECT_TRUE(configuration->isValid());
    EXPECT_THAT(shownBoxes(), ElementsAre("Shader configuration script \"" + configuration->getFileName() +
                                          "\": \"No shader type defined for shader \"cfg/a.geometry\""));
}

TEST_F(Shaders, ActiveUniformsBecomeTextureEngineAndPoolBackedVariables)
{
    // The comment line ends at its line: the declarations after it still reach the compiler.
    auto* configuration = load("cfg/query",
                               "#version 120\n"
                               "// maps and colours of the test\n"
                               "uniform sampler2D diffuseMap;\n"
                               "uniform sampler2D detailMap;\n"
                               "uniform float qr_ElapsedTime;\n"
                               "uniform mat4 qr_Foo;\n"
                               "uniform vec4 diffuseColor;\n"
                               "uniform float gl_Secret;\n"
                               "uniform int ab;\n"
                               "uniform bool qr_;\n"
                               "void main() { gl_FragColor = diffuseColor; }\n",
                               "set texture2d diffuseMap to texelunit 3\n");
    ASSERT_TRUE(configuration->isValid());

    auto texture = [&](const char* name) {
        return dynamic_cast<QRVISXShaderVariableTexture*>(configuration->findVariable(name));
    };
    auto engine = [&](const char* name) {
        return dynamic_cast<QRVISXShaderVariableQOR*>(configuration->findVariable(name));
    };
    auto uniform = [&](const char* name) {
        return dynamic_cast<QRVISXShaderVariableUniform*>(configuration->findVariable(name));
    };
    ASSERT_NE(texture("diffuseMap"), nullptr);
    EXPECT_EQ(texture("diffuseMap")->getTexelUnit(), 3);
    ASSERT_NE(texture("detailMap"), nullptr);
    EXPECT_EQ(texture("detailMap")->getTexelUnit(), 0);
    EXPECT_EQ(texture("detailMap")->getTextureType(), 1);
    ASSERT_NE(engine("qr_ElapsedTime"), nullptr);
    EXPECT_EQ(engine("qr_ElapsedTime")->getEngineVariable(), 12);
    ASSERT_NE(engine("qr_Foo"), nullptr);
    EXPECT_EQ(engine("qr_Foo")->getEngineVariable(), -1);
    ASSERT_NE(uniform("diffuseColor"), nullptr);
    EXPECT_EQ(uniform("diffuseColor")->getValueType(), QRVISXShaderVariableUniform::kVec4);
    EXPECT_EQ(uniform("diffuseColor")->getLocation(), 4);
    ASSERT_NE(uniform("ab"), nullptr);
    EXPECT_EQ(uniform("ab")->getValueType(), QRVISXShaderVariableUniform::kInt);
    EXPECT_EQ(configuration->findVariable("gl_Secret"), nullptr);
    EXPECT_EQ(configuration->findVariable("qr_"), nullptr);
    EXPECT_EQ(configuration->getVariableCount(), 6);

    auto* colour = static_cast<QRVISXMaterialVariableVector4*>(pool().findVariable("diffuseColor", kMaterialVariableVector4));
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->getValue(), (Vector4{0.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_NE(pool().findVariable("ab", kMaterialVariableInt), nullptr);
    EXPECT_THAT(logText(), HasSubstr("Creating material variable: diffuseColor"));
}

TEST_F(Shaders, UploadVariableAndDeletionLinesAreDebugLines)
{
    auto* configuration = load("cfg/lines", "uniform vec4 tint;\nvoid main() { gl_FragColor = tint; }\n");
    ASSERT_TRUE(configuration->isValid());
    const std::string name = configuration->getName();
    const std::string fragment = configuration->getFragmentShaders()[0]->getName();
    held_.pop_back();
    qrAssets()->release(configuration);

    const std::string debug = "<div class = \"debug\">";
    const std::vector<std::string> lines = {"Compiling shader configuration...",
                                            "Uploading Shader to GL: " + fragment,
                                            "Uploading Shader Configuration to GL: " + name,
                                            "Creating shader variable: tint",
                                            "Creating material variable: tint",
                                            "Deleting Shader Configuration from GL: " + name,
                                            "Deleting Shader from GL: " + fragment};
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        EXPECT_THAT(logText(), HasSubstr(debug + line + "<"));
    }
}

TEST_F(Shaders, ApplyUploadsPoolValuesSamplerUnitsAndEngineMatrices)
{
    auto* configuration = load("cfg/upload",
                               "uniform bool lit;\n"
                               "uniform int count;\n"
                               "uniform float scale;\n"
                               "uniform vec2 offset;\n"
                               "uniform vec3 tint3;\n"
                               "uniform vec4 tint;\n"
                               "uniform mat3 basis;\n"
                               "uniform mat4 qr_World;\n"
                               "uniform mat4 qr_WorldTranspose;\n"
                               "uniform sampler2D diffuseMap;\n"
                               "uniform vec3 qr_CameraPosition;\n"
                               "void main() { gl_FragColor = tint; }\n",
                               "set texture2d diffuseMap to texelunit 2\n");
    ASSERT_TRUE(configuration->isValid());
    pool().setBool("lit", true);
    pool().setInt("count", 7);
    pool().setFloat("scale", 0.5f);
    pool().setVector2("offset", {1.0f, 2.0f});
    pool().setVector3("tint3", {0.25f, 0.5f, 0.75f});
    pool().setVector4("tint", {1.0f, 0.5f, 0.0f, 1.0f});
    visual_->getTransform()->getWorld()->reset();
    visual_->getTransform()->getWorld()->translate({1.0f, 2.0f, 3.0f});

    shaders().setConfiguration(configuration);
    gl_.clearCalls();
    shaders().apply(false);

    // The script's sampler variable exists before the program's uniforms are queried.
    const std::string world = "1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1";
    EXPECT_THAT(gl_.calls(), ElementsAre(useProgram(configuration), "glUniform1i(9, 2)", "glUniform1i(0, 1)",
                                         "glUniform1i(1, 7)", "glUniform1f(2, 0.5)", "glUniform2fv(3, 1, 2)",
                                         "glUniform3fv(4, 0.25, 0.5, 0.75)", "glUniform4fv(5, 1, 0.5, 0, 1)",
                                         "glUniformMatrix3fv(6, GL_FALSE, 1, 0, 0, 0, 1, 0, 0, 0, 1)",
                                         "glUniformMatrix4fv(7, GL_FALSE, " + world + ")",
                                         "glUniformMatrix4fv(8, GL_TRUE, " + world + ")", "glUniform3fv(10, 0, 0, 0)"));
}

TEST_F(Shaders, ApplySwitchesTheProgramOnlyWhenItChanged)
{
    auto* first = load("cfg/first", "void main() { gl_FragColor = vec4(1.0); }\n");
    auto* second = load("cfg/second", "void main() { gl_FragColor = vec4(0.5); }\n");
    ASSERT_TRUE(first->isValid());
    ASSERT_TRUE(second->isValid());

    shaders().setConfiguration(first);
    shaders().apply(false);
    shaders().apply(false);
    shaders().setConfiguration(second);
    shaders().apply(false);
    shaders().apply(true);
    shaders().lock();
    shaders().setConfiguration(first);
    shaders().apply(true);
    shaders().unlock();

    EXPECT_THAT(programSwitches(), ElementsAre(useProgram(first), useProgram(second), useProgram(second)));
    EXPECT_EQ(shaders().getCurrentConfiguration(), second);
}

TEST_F(Shaders, DefectShaderOrFailedLinkLeavesTheConfigurationToTheDefault)
{
    gl_.failCompileWhenSourceContains("BROKEN", "0:2(1): error: syntax error, unexpected BROKEN\n");
    auto* defect = load("cfg/defect", "void main() { BROKEN }\n");
    ASSERT_NE(defect, nullptr);
    EXPECT_FALSE(defect->isValid());
    EXPECT_EQ(defect->getGLProgramId(), -1);
    EXPECT_THAT(gl_.calls(), Not(Contains(HasSubstr("glLinkProgram"))));
    ASSERT_EQ(shownBoxes().size(), 2u);
    EXPECT_THAT(shownBoxes()[0], HasSubstr("\"" + defect->getFragmentShaders()[0]->getName() +
                                           "\": Shader compilation error:\r\n\r\n"
                                           "0:2(1): error: syntax error, unexpected BROKEN"));
    EXPECT_THAT(shownBoxes()[0], Not(HasSubstr("BROKEN\n")));
    EXPECT_THAT(shownBoxes()[1], HasSubstr("Could not generate shader configuration because of defect shaders"));
    EXPECT_EQ(defect->getFragmentShaders()[0]->getGLShaderId(), -1);

    gl_.failNextLink("error: no main\n");
    auto* unlinked = load("cfg/unlinked", "void main() { gl_FragColor = vec4(1.0); }\n");
    EXPECT_FALSE(unlinked->isValid());
    ASSERT_EQ(shownBoxes().size(), 3u);
    EXPECT_EQ(shownBoxes()[2], "\"" + unlinked->getName() + "\": Shader configuration link error:\r\n\r\nerror: no main");
    EXPECT_THAT(gl_.calls(), Contains(HasSubstr("glDeleteProgram")));

    for (auto* invalid : {defect, unlinked}) {
        shaders().setConfiguration(invalid);
        EXPECT_EQ(shaders().getCurrentConfiguration(), shaders().getDefaultSolid());
    }
}

TEST_F(Shaders, ReloadKeepsTheLastLinkedProgramUntilTheSourceIsFixed)
{
    gl_.failCompileWhenSourceContains("BROKEN", "0:1(1): error: BROKEN is no type\n");
    auto* configuration = load("cfg/live", "uniform vec4 tint;\nvoid main() { gl_FragColor = tint; }\n");
    ASSERT_TRUE(configuration->isValid());
    const GLint firstProgram = configuration->getGLProgramId();
    shaders().setConfiguration(configuration);
    shaders().apply(false);
    auto* updates = qrManagers()->getUpdateableResources();
    const std::string fragment = (programFolder() / "cfg/live.fragment").string();

    programFolder().write("cfg/live.fragment", "uniform vec4 tint;\nvoid main() { BROKEN }\n");
    gl_.clearCalls();
    updates->updateResourcesForFile(fragment);
    EXPECT_TRUE(configuration->isValid());
    EXPECT_EQ(configuration->getGLProgramId(), firstProgram);
    EXPECT_TRUE(gl_.isLive(static_cast<GLuint>(firstProgram)));
    ASSERT_NE(configuration->findVariable("tint"), nullptr);
    EXPECT_EQ(configuration->findVariable("tint")->getLocation(), 0);
    EXPECT_THAT(shownBoxes(), Contains(HasSubstr("0:1(1): error: BROKEN is no type")));
    EXPECT_THAT(logText(), HasSubstr("keeps its last linked program"));
    shaders().apply(false);
    EXPECT_THAT(programSwitches(), IsEmpty());

    programFolder().write("cfg/live.fragment", "uniform float fade;\nuniform vec4 tint;\nvoid main() { gl_FragColor = tint * fade; }\n");
    updates->updateResourcesForFile(fragment);
    ASSERT_TRUE(configuration->isValid());
    EXPECT_NE(configuration->getGLProgramId(), firstProgram);
    EXPECT_FALSE(gl_.isLive(static_cast<GLuint>(firstProgram)));
    EXPECT_EQ(configuration->findVariable("tint")->getLocation(), 1);
    gl_.clearCalls();
    shaders().apply(false);
    EXPECT_THAT(programSwitches(), ElementsAre(useProgram(configuration)));
}
