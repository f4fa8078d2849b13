#include "visual_unit_fixture.h"

#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/state/qr_visx_stencilbuffer.h"

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
                            "glStencilOp(GL_KEEP, GL_DECR_WRAP, GL_KEEP)", "glActiveStencilFaceEXT(GL_FRONT)"));
}

TEST_F(StencilBuffer, OneSidedModesAndMaskAfterTheTwoSidedModeActOnTheFrontFace)
{
    initializeWith({"GL_EXT_stencil_wrap", "GL_EXT_stencil_two_side"});
    stencil().setStencilMode(8);
    const std::size_t twoSidedCalls = gl_.calls().size();
    stencil().setStencilMode(2);
    stencil().setMask(7);

    // Replays the face selector (OpenGL starts on the front face) over all calls: each stencil
    // call belongs to the face selected at that moment.
    std::string face = "GL_FRONT";
    std::size_t index = 0;
    std::vector<std::string> stencilCalls;
    for (const std::string& call : gl_.calls()) {
        if (call.rfind("glActiveStencilFaceEXT(", 0) == 0)
            face = call.substr(23, call.size() - 24);
        else if (call.rfind("glStencil", 0) == 0 && index >= twoSidedCalls)
            stencilCalls.push_back(face + " " + call);
        ++index;
    }
    EXPECT_THAT(stencilCalls, ElementsAre("GL_FRONT glStencilFunc(GL_EQUAL, 0, 255)",
                                          "GL_FRONT glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP)",
                                          "GL_FRONT glStencilMask(7)"));
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
