#include "visual_unit_fixture.h"

#include "visual/state/qr_visx_lights.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/state/qr_visx_statemanager.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class StateManager : public VisualUnitFixture {
protected:
    StateManager() : states_(*visual_->getMaterialManager()->getStateManager())
    {
        states_.reset();
        gl_.clearCalls();
    }

    QRVISXStateManager& states_;
};

} // namespace

TEST_F(StateManager, ResetSendsEveryStateOnceInOrderAndCachesTheDefaults)
{
    states_.setBlendingMode(3);
    states_.setWireframe();
    states_.apply(false);
    gl_.clearCalls();

    states_.reset();

    EXPECT_THAT(gl_.calls(), ElementsAre("glDisable(GL_ALPHA_TEST)", "glAlphaFunc(GL_GEQUAL, 0.5)",
                                         "glDisable(GL_BLEND)", "glColor4f(1, 1, 1, 1)", "glEnable(GL_CULL_FACE)",
                                         "glCullFace(GL_BACK)", "glFrontFace(GL_CCW)", "glEnable(GL_DEPTH_TEST)",
                                         "glDepthFunc(GL_LEQUAL)", "glDepthMask(GL_TRUE)", "glLineWidth(1)",
                                         "glPointSize(1)", "glPolygonMode(GL_FRONT_AND_BACK, GL_FILL)"));
    EXPECT_EQ(states_.getApplied(), states_.getDefaults());
    EXPECT_EQ(states_.getCurrent(), states_.getDefaults());
}

TEST_F(StateManager, SecondUnchangedApplySendsOnlyTheColour)
{
    states_.setDepthFunc(GL_LESS);
    states_.setCurrentColor(0.5f, 0.25f, 1.0f, 0.75f);
    states_.apply(false);
    EXPECT_THAT(gl_.takeCalls(), ElementsAre("glColor4f(0.5, 0.25, 1, 0.75)", "glDepthFunc(GL_LESS)"));

    states_.apply(false);
    EXPECT_THAT(gl_.calls(), ElementsAre("glColor4f(0.5, 0.25, 1, 0.75)"));
}

TEST_F(StateManager, ChangedStatesAreSentInTheFixedOrder)
{
    states_.setLineWidth(2.0f);
    states_.setAlphaTest(true, 0.25f);
    states_.setCullFace(true, false);
    states_.setCounterClockwiseWinding(false);
    states_.setDepthWrite(false);
    states_.setPointSize(3.0f);
    states_.setWireframe();
    states_.apply(false);

    EXPECT_THAT(gl_.calls(),
                ElementsAre("glEnable(GL_ALPHA_TEST)", "glAlphaFunc(GL_GEQUAL, 0.25)", "glColor4f(1, 1, 1, 1)",
                            "glCullFace(GL_FRONT)", "glFrontFace(GL_CW)", "glDepthMask(GL_FALSE)", "glLineWidth(2)",
                            "glPointSize(3)", "glPolygonMode(GL_FRONT_AND_BACK, GL_LINE)"));
}

TEST_F(StateManager, LockedSettersAndResetToDefaultsChangeNothingAndApplySendsNothing)
{
    // The override that was set up before locking must survive whatever comes while locked.
    states_.setLineWidth(2.0f);
    states_.lock();
    states_.setCurrentColor(1.0f, 0.0f, 0.0f, 1.0f);
    states_.setDepthWrite(false);
    states_.setBlendingMode(1);
    states_.resetToDefaults();
    states_.apply(true);

    EXPECT_THAT(gl_.calls(), IsEmpty());
    QRVISXGLState expected = states_.getDefaults();
    expected.lineWidth = 2.0f;
    EXPECT_EQ(states_.getCurrent(), expected);

    states_.unlock();
    states_.setDepthWrite(false);
    states_.apply(false);
    EXPECT_THAT(gl_.calls(), ElementsAre("glColor4f(1, 1, 1, 1)", "glDepthMask(GL_FALSE)", "glLineWidth(2)"));
}

TEST_F(StateManager, BlendingModeZeroSwitchesBlendingOffAndTheOldModeComesBackWithoutABlendFunction)
{
    states_.setBlendingMode(3);
    states_.apply(false);
    EXPECT_THAT(gl_.takeCalls(), ElementsAre("glEnable(GL_BLEND)", "glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)",
                                             "glBlendEquation(GL_FUNC_ADD)", "glColor4f(1, 1, 1, 1)"));

    states_.setBlendingMode(0);
    states_.apply(false);
    EXPECT_THAT(gl_.takeCalls(), ElementsAre("glDisable(GL_BLEND)", "glColor4f(1, 1, 1, 1)"));
    EXPECT_EQ(states_.getApplied().blendingMode, 3);

    states_.setBlendingMode(3);
    states_.apply(false);
    EXPECT_THAT(gl_.calls(), ElementsAre("glEnable(GL_BLEND)", "glColor4f(1, 1, 1, 1)"));
}

TEST_F(StateManager, EachBlendingModeSendsItsFactorsAndEquation)
{
    const std::vector<std::vector<std::string>> expected = {
        {"glBlendFunc(GL_SRC_ALPHA, GL_ONE)", "glBlendEquation(GL_FUNC_ADD)"},
        {"glBlendFunc(GL_ZERO, GL_SRC_ALPHA)", "glBlendEquation(GL_FUNC_ADD)"},
        {"glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)", "glBlendEquation(GL_FUNC_ADD)"},
        {"glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)", "glBlendEquation(GL_MIN)"},
        {"glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)", "glBlendEquation(GL_MAX)"},
    };
    for (int mode = 1; mode <= 5; ++mode) {
        states_.setBlendingMode(mode);
        states_.apply(false);
        std::vector<std::string> calls = gl_.takeCalls();
        std::erase_if(calls, [](const std::string& call) { return !call.starts_with("glBlend"); });
        EXPECT_EQ(calls, expected[static_cast<std::size_t>(mode - 1)]) << "mode " << mode;
    }
    states_.setBlendingMode(9);
    states_.apply(false);
    EXPECT_THAT(gl_.calls(), ElementsAre("glColor4f(1, 1, 1, 1)"));
}

TEST_F(StateManager, ForcedApplyAfterAContextSwitchRefreshesTheCachedBlendingMode)
{
    states_.setBlendingMode(3);
    states_.apply(false);
    // The fresh context has OpenGL's own blend function; mode 3 must be sent again when asked for.
    states_.reset();
    gl_.clearCalls();

    states_.setBlendingMode(3);
    states_.apply(false);
    EXPECT_THAT(gl_.calls(), ElementsAre("glEnable(GL_BLEND)", "glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)",
                                         "glBlendEquation(GL_FUNC_ADD)", "glColor4f(1, 1, 1, 1)"));
}

TEST_F(StateManager, DepthFunctionWaitsUntilTheDepthTestIsOn)
{
    states_.setDepthTest(false);
    states_.setDepthFunc(GL_ALWAYS);
    states_.apply(false);
    EXPECT_THAT(gl_.takeCalls(), ElementsAre("glColor4f(1, 1, 1, 1)", "glDisable(GL_DEPTH_TEST)"));

    states_.setDepthTest(true);
    states_.apply(false);
    EXPECT_THAT(gl_.calls(),
                ElementsAre("glColor4f(1, 1, 1, 1)", "glEnable(GL_DEPTH_TEST)", "glDepthFunc(GL_ALWAYS)"));
}

TEST_F(StateManager, DisabledManagerSendsNothing)
{
    states_.setEnabled(false);
    states_.setDepthWrite(false);
    states_.apply(true);
    EXPECT_THAT(gl_.calls(), IsEmpty());
}

TEST_F(StateManager, InitializeLoadsTheBlendExtensionsSetsUpTheFixedStatesAndResets)
{
    states_.initialize();

    const auto& calls = gl_.calls();
    ASSERT_GE(calls.size(), 8u);
    // Lights first (eight of them), then scissor test, stencil buffer and polygon offset, then the reset.
    EXPECT_EQ(calls.front(), "glDisable(GL_LIGHT0)");
    const auto scissor = std::find(calls.begin(), calls.end(), "glDisable(GL_SCISSOR_TEST)");
    const auto stencil = std::find(calls.begin(), calls.end(), "glDisable(GL_STENCIL_TEST)");
    const auto offset = std::find(calls.begin(), calls.end(), "glDisable(GL_POLYGON_OFFSET_FILL)");
    const auto resetStart = std::find(calls.begin(), calls.end(), "glDisable(GL_ALPHA_TEST)");
    EXPECT_TRUE(scissor < stencil && stencil < offset && offset < resetStart);
    EXPECT_EQ(calls.back(), "glPolygonMode(GL_FRONT_AND_BACK, GL_FILL)");
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(states_.getLights()->getLight(i)->isEnabled());

    EXPECT_THAT(logText(), HasSubstr("Extension \"GL_EXT_blend_color\" loaded"));
    EXPECT_THAT(logText(), HasSubstr("Extension \"GL_EXT_blend_minmax\" loaded"));
    EXPECT_THAT(logText(), HasSubstr("State Manager initialized!"));
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(StateManager, MissingBlendExtensionIsToldToTheUserAndStartUpGoesOn)
{
    gl_.setExtensions({"GL_EXT_blend_color"});
    states_.initialize();

    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_THAT(shownBoxes()[0], HasSubstr("GL Extension \"GL_EXT_blend_minmax\" not found!"));
    EXPECT_THAT(logText(), HasSubstr("State Manager initialized!"));
}
