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

// Strict mode plays a driver of the level its extensions name: names come back as drivers give
// them back, each kind counting on its own, and what the level lacks is noted once per call.
TEST(GLRecorder, StrictModeReusesNamesPerKindAndNotesWhatTheLevelLacks)
{
    GLRecorder gl;
    gl.setStrict(true);
    gl.setExtensions({"GL_ARB_multitexture"});
    gl.setInteger(GL_MAX_TEXTURE_UNITS, 2);
    QRVISXGL& layer = qrGL();
    const GLuint first = layer.genTexture();
    const GLuint second = layer.genTexture();
    layer.deleteTexture(first);
    EXPECT_EQ(layer.genTexture(), first) << "the lowest free name comes back";
    EXPECT_NE(second, first);
    EXPECT_EQ(layer.genFramebuffer(), 1u) << "frame buffers count on their own";
    EXPECT_TRUE(gl.isLive(second));

    struct Case {
        void (*call)();
        const char* violation; // nullptr: the level offers it
    };
    const Case cases[] = {
        {[] { qrGL().activeTexture(GL_TEXTURE1); }, nullptr},
        {[] { qrGL().activeTexture(GL_TEXTURE2); }, "glActiveTexture(GL_TEXTURE2) beyond the 2 units"},
        {[] { qrGL().genBuffer(); }, "glGenBuffers needs GL_VERSION_1_5 or GL_ARB_vertex_buffer_object"},
        {[] { qrGL().genBuffer(); }, nullptr},
        {[] { qrGL().texParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT); }, nullptr},
        {[] { qrGL().texParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE); },
         "glTexParameteri(GL_CLAMP_TO_EDGE) needs GL_VERSION_1_2 or GL_SGIS_texture_edge_clamp"},
        {[] { qrGL().texGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP); },
         "glTexGeni(GL_NORMAL_MAP) needs GL_VERSION_1_3 or GL_ARB_texture_cube_map"},
        {[] { qrGL().useProgram(0); }, "glUseProgram needs GL_VERSION_2_0"},
    };
    // The frame buffer made above was already a violation of this level.
    std::size_t noted = gl.violations().size();
    for (const Case& c : cases) {
        c.call();
        ASSERT_EQ(gl.violations().size(), noted + (c.violation ? 1 : 0));
        if (c.violation) {
            EXPECT_EQ(gl.violations().back(), c.violation);
        }
        noted = gl.violations().size();
    }
}
