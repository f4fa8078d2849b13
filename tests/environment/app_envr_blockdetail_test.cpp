// Which level of detail and shading a block gets from where the eye is: by the distance to the
// nearest point of its box (height included), the far shading by the distance along the ground,
// everything in full under an orthographic camera.

#include "environment/app_envr_blockdetail.h"

#include <gtest/gtest.h>

TEST(BlockDetail, LevelAndShadingFollowTheDistanceToTheBox)
{
    // Block (2, 3) of area (1, 1): x 960..1120, z 1120..1280, ground from 10 to 30 high.
    const APPENVRBox box{{960.0f, 10.0f, 1120.0f}, {1120.0f, 30.0f, 1280.0f}};
    struct Case {
        const char* what;
        Vector3 eye;
        bool perspective;
        int level;
        bool farShading;
    };
    const Case cases[] = {
        {"inside the box", {1000.0f, 20.0f, 1200.0f}, true, 0, false},
        {"above the box: only the height counts", {1040.0f, 200.0f, 1200.0f}, true, 1, false},
        {"oblique, just inside full detail", {1120.0f + 100.0f, 30.0f + 124.0f, 1200.0f}, true, 0, true},
        {"oblique, just beyond full detail", {1120.0f + 100.0f, 30.0f + 126.0f, 1200.0f}, true, 1, true},
        {"oblique and high, full shading", {1120.0f + 60.0f, 30.0f + 140.0f, 1280.0f + 60.0f}, true, 1, false},
        {"along the ground at the far shading's edge", {960.0f - 100.0f, 20.0f, 1200.0f}, true, 0, true},
        {"just short of the far shading", {960.0f - 99.0f, 20.0f, 1200.0f}, true, 0, false},
        {"far shading, half detail", {960.0f - 160.0f, 20.0f, 1200.0f}, true, 1, true},
        {"far off diagonally", {960.0f - 300.0f, 200.0f, 1120.0f - 300.0f}, true, 2, true},
        {"high above far off: level by distance, shading by ground", {1040.0f, 400.0f, 1120.0f - 170.0f}, true, 2, true},
        {"orthographic, far off", {0.0f, 500.0f, 0.0f}, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const APPENVRBlockDetail detail = APPENVRBlockDetail::choose(c.eye, box, c.perspective);
        EXPECT_EQ(detail.level, c.level);
        EXPECT_EQ(detail.farShading, c.farShading);
    }
}
