#include "visual_unit_fixture.h"

#include "visual/qr_visx_materialmanager.h"
#include "visual/qr_visx_statemanager.h"
#include "visual/qr_visx_stencilbuffer.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class StencilBuffer : public VisualUnitFixture {
protected:
    QRVISXStencilBuffer& stencil() { return *visual_->getMaterialManager()->getStateManager()->getStencilBuffer(); }

    void initializeWith(std::set<std::string> extensions)
    {
        gl_.setExtensions(std::move(extensions));
        stencil().initialize();
        gl_.clearCalls();
    }
};

} // namespace

TEST_F(StencilBuffer, InitializeDisablesTheTestAndWritesOneWhereDrawn)
{
    gl_.setExtensions({});
    stencil().initialize();
    EXPECT_THAT(gl_.calls(), ElementsAre("glDisable(GL_STENCIL_TEST)", "glClearStencil(0)", "glStencilMask(255)",
                                         "glStencilFunc(GL_ALWAYS, 1, 255)",
                                         "glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE)"));
    EXPECT_FALSE(stencil().isTwoSideSupported());
    EXPECT_FALSE(stencil().isWrapSupported());
}

TEST_F(StencilBuffer, TwoSidedModeNeedsBothExtensions)
{
    initializeWith({"GL_EXT_stencil_wrap"});
    stencil().setStencilMode(8);
    EXPECT_THAT(gl_.calls(), IsEmpty());

    initializeWith({"GL_EXT_stencil_wrap", "GL_EXT_stencil_two_side"});
    stencil().setStencilMode(8);
    EXPECT_THAT(gl_.calls(),
                ElementsAre("glEnable(GL_STENCIL_TEST_TWO_SIDE_EXT)", "glActiveStencilFaceEXT(GL_FRONT)",
                            "glStencilFunc(GL_ALWAYS, 0, 255)", "glStencilOp(GL_KEEP, GL_INCR_WRAP, GL_KEEP)",
                            "glActiveStencilFaceEXT(GL_BACK)", "glStencilFunc(GL_ALWAYS, 0, 255)",
                            "glStencilOp(GL_KEEP, GL_DECR_WRAP, GL_KEEP)"));
}

TEST_F(StencilBuffer, CountingModesWrapOnlyWhenTheServerCan)
{
    initializeWith({});
    stencil().setStencilMode(4);
    stencil().setStencilMode(7);
    EXPECT_THAT(gl_.takeCalls(), ElementsAre("glStencilFunc(GL_ALWAYS, 0, 255)", "glStencilOp(GL_KEEP, GL_INCR, GL_KEEP)",
                                             "glStencilFunc(GL_ALWAYS, 0, 255)", "glStencilOp(GL_KEEP, GL_KEEP, GL_DECR)"));

    initializeWith({"GL_EXT_stencil_wrap", "GL_EXT_stencil_two_side"});
    stencil().setMask(15);
    gl_.clearCalls();
    stencil().setStencilMode(1);
    EXPECT_THAT(gl_.calls(), ElementsAre("glDisable(GL_STENCIL_TEST_TWO_SIDE_EXT)", "glStencilFunc(GL_EQUAL, 0, 15)",
                                         "glStencilOp(GL_KEEP, GL_KEEP, GL_INCR_WRAP)"));
}

TEST_F(StencilBuffer, MaskingModesAndUnknownModes)
{
    initializeWith({});
    stencil().setStencilMode(2);
    stencil().setStencilMode(3);
    stencil().setStencilMode(9);
    stencil().setStencilMode(-1);
    EXPECT_THAT(gl_.calls(), ElementsAre("glStencilFunc(GL_EQUAL, 0, 255)", "glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP)",
                                         "glStencilFunc(GL_NOTEQUAL, 0, 255)", "glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP)"));
}
