#pragma once
// A running engine core with a constructed, not initialised, visual module whose GL calls go to a
// recorder; no display needed. Tests bring up the parts they need themselves.

#include "engine_fixture.h"
#include "gl_recorder.h"

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"
#include "visual/qr_visx_main.h"

#include <gtest/gtest.h>

class VisualUnitFixture : public EngineFixture {
protected:
    VisualUnitFixture() : visual_(qrNew<QRVISXMain>(nullptr))
    {
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5", "GL_VERSION_2_0",
                           "GL_EXT_blend_color", "GL_EXT_blend_minmax"});
    }

    GLRecorder gl_;
    QROwned<QRVISXMain> visual_;
};

// Compares points computed in single precision.
inline void expectPoint(const Vector3& actual, const Vector3& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
    EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}
