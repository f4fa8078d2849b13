#include "visual_unit_fixture.h"

#include "visual/geometry/qr_visx_displaylist.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(VisualUnitFixture, DisplayListIsCreatedOnceCompiledCalledAndDeleted)
{
    auto list = qrNew<QRVISXDisplayList>(nullptr);
    list->call();
    EXPECT_THAT(gl_.calls(), IsEmpty());

    list->beginCompile();
    gl_.vertex3f(1, 2, 3);
    list->endCompile();
    const GLint name = list->getListName();
    list->beginCompile();
    list->endCompile();
    list->call();
    list->clear();
    list->clear();

    const std::string id = std::to_string(name);
    EXPECT_THAT(gl_.calls(), ElementsAre("glGenLists(1, " + id + ")", "glNewList(" + id + ", GL_COMPILE)",
                                         "glVertex3f(1, 2, 3)", "glEndList()", "glNewList(" + id + ", GL_COMPILE)",
                                         "glEndList()", "glCallList(" + id + ")", "glDeleteLists(" + id + ", 1)"));
    EXPECT_TRUE(list->isEmpty());
    const std::string log = logText();
    EXPECT_NE(log.find("Creating display list \"QR VISX Display List\""), std::string::npos);
    EXPECT_NE(log.find("Deleting display list \"QR VISX Display List\""), std::string::npos);
}
