#include "visual_unit_fixture.h"

#include "visual/gl/qr_visx_extensionmanager.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

using VisualMain = VisualUnitFixture;
using ExtensionManager = VisualUnitFixture;

TEST_F(VisualMain, FirstGLErrorIsShownLaterOnesAreLogged)
{
    EXPECT_FALSE(visual_->checkGLError());
    EXPECT_THAT(shownBoxes(), IsEmpty());

    gl_.queueError(GL_INVALID_ENUM);
    EXPECT_TRUE(visual_->checkGLError());
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_THAT(shownBoxes()[0], HasSubstr("GL Error occurred: GL_INVALID_ENUM"));

    const std::pair<GLenum, const char*> later[] = {
        {GL_INVALID_VALUE, "GL_INVALID_VALUE"},       {GL_INVALID_OPERATION, "GL_INVALID_OPERATION"},
        {GL_STACK_OVERFLOW, "GL_STACK_OVERFLOW"},     {GL_STACK_UNDERFLOW, "GL_STACK_UNDERFLOW"},
        {GL_OUT_OF_MEMORY, "GL_OUT_OF_MEMORY"},       {0x0506, "Unknown Error"},
    };
    for (const auto& [code, text] : later) {
        gl_.queueError(code);
        EXPECT_TRUE(visual_->checkGLError());
        EXPECT_THAT(logText(), HasSubstr(std::string("GL Error occurred: ") + text));
    }
    EXPECT_EQ(shownBoxes().size(), 1u);
}

TEST_F(VisualMain, CheckReadsOneErrorAtATime)
{
    gl_.queueError(GL_INVALID_VALUE);
    gl_.queueError(GL_OUT_OF_MEMORY);
    EXPECT_TRUE(visual_->checkGLError());
    EXPECT_THAT(logText(), Not(HasSubstr("GL_OUT_OF_MEMORY")));
    EXPECT_TRUE(visual_->checkGLError());
    EXPECT_FALSE(visual_->checkGLError());
}

TEST_F(VisualMain, UnregisteredDeviceGivesAnErrorAndNoContext)
{
    EXPECT_EQ(visual_->generateMainRenderContext("Main RC", "No Such Device"), nullptr);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_THAT(shownBoxes()[0],
                HasSubstr("No device was found in the device manager using the name \"No Such Device\""));
}

TEST_F(ExtensionManager, DetectsOpenGL20)
{
    visual_->getExtensionManager()->initialize();
    EXPECT_EQ(visual_->getExtensionManager()->getGLVersion(), QRVISXExtensionManager::kGL20);
    EXPECT_THAT(logText(), HasSubstr("Extension \"GL_version_1_2\" loaded"));
    EXPECT_THAT(logText(), HasSubstr("Detected GL Version: 2.0"));
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(ExtensionManager, DetectsOpenGL15WithoutShaders)
{
    gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5"});
    visual_->getExtensionManager()->initialize();
    EXPECT_EQ(visual_->getExtensionManager()->getGLVersion(), QRVISXExtensionManager::kGL15);
    EXPECT_THAT(logText(), HasSubstr("Extension \"GL_version_2_0\" not found"));
    EXPECT_THAT(logText(), HasSubstr("Detected GL Version: 1.5"));
}

TEST_F(ExtensionManager, OpenGL14IsToldToTheUserAndStartUpGoesOn)
{
    gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4"});
    visual_->getExtensionManager()->initialize();
    EXPECT_EQ(visual_->getExtensionManager()->getGLVersion(), QRVISXExtensionManager::kInsufficient);
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr(
                                  "A sufficient OpenGL Version could not be detected. QOR 2 needs at least OpenGL "
                                  "1.5 to run!")));
    const std::string log = logText();
    EXPECT_THAT(log, HasSubstr("Extension \"GL_version_1_4\" loaded"));
    EXPECT_THAT(log, HasSubstr("Extension \"GL_version_1_5\" not found"));
    EXPECT_THAT(log, Not(HasSubstr("Detected GL Version")));
}

TEST_F(ExtensionManager, RequiredExtensionIsToldToTheUserOptionalOneOnlyLogged)
{
    auto& extensions = *visual_->getExtensionManager();
    EXPECT_TRUE(extensions.loadExtension("GL_EXT_blend_color", true));
    EXPECT_FALSE(extensions.loadExtension("GL_ARB_imaginary", false));
    EXPECT_THAT(shownBoxes(), IsEmpty());
    EXPECT_FALSE(extensions.loadExtension("GL_ARB_imaginary", true));
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr("GL Extension \"GL_ARB_imaginary\" not found!")));
    EXPECT_THAT(logText(), HasSubstr("Extension \"GL_ARB_imaginary\" not found"));
}

TEST_F(ExtensionManager, LoaderThatCannotStartFindsNothingAndSaysWhyOnce)
{
    gl_.setLoaderFailure("Missing GL version");
    auto& extensions = *visual_->getExtensionManager();
    EXPECT_FALSE(extensions.loadExtension("GL_EXT_blend_color", false));
    EXPECT_FALSE(extensions.loadExtension("GL_EXT_blend_minmax", false));
    const std::string log = logText();
    const auto first = log.find("Missing GL version");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(log.find("Missing GL version", first + 1), std::string::npos);
}
