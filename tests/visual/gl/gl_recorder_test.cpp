#include "gl_recorder.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

// Buffer bits share values with enums (GL_COLOR_BUFFER_BIT is GL_LIGHT0); each call spells its own.
TEST(GLRecorder, SpellsClearBitsAndLightsApart)
{
    GLRecorder gl;
    qrGL().clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    qrGL().enable(GL_LIGHT0);
    EXPECT_THAT(gl.calls(), ElementsAre("glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT)",
                                        "glEnable(GL_LIGHT0)"));
}
