#include "visual_unit_fixture.h"

#include "visual/device/qr_visx_vsync.h"

#include <gmock/gmock.h>

#include <set>
#include <string>
#include <vector>

using ::testing::ElementsAreArray;

class VSync : public VisualUnitFixture {
protected:
    std::vector<std::string> swapCalls()
    {
        std::vector<std::string> swaps;
        for (const std::string& call : gl_.takeCalls())
            if (call.starts_with("glXSwapInterval"))
                swaps.push_back(call);
        return swaps;
    }
};

TEST_F(VSync, TheIntervalGoesThroughTheSwapControlTheLoaderFound)
{
    const struct {
        std::set<std::string> extensions;
        bool supported;
        std::vector<std::string> calls; // initialize, switch off, re-apply
    } cases[] = {
        {{}, false, {}},
        {{"GLX_EXT_swap_control"}, true,
         {"glXSwapIntervalEXT(1)", "glXSwapIntervalEXT(0)", "glXSwapIntervalEXT(0)"}},
        {{"GLX_MESA_swap_control"}, true,
         {"glXSwapIntervalMESA(1)", "glXSwapIntervalMESA(0)", "glXSwapIntervalMESA(0)"}},
        {{"GLX_EXT_swap_control", "GLX_MESA_swap_control"}, true,
         {"glXSwapIntervalEXT(1)", "glXSwapIntervalEXT(0)", "glXSwapIntervalEXT(0)"}},
    };
    for (const auto& testCase : cases) {
        gl_.setExtensions(testCase.extensions);
        gl_.clearCalls();
        auto vSync = qrNew<QRVISXVSync>(nullptr);
        vSync->initialize();
        vSync->setVSync(false);
        vSync->reapplyVSync();
        EXPECT_EQ(vSync->isSupported(), testCase.supported) << testCase.extensions.size();
        EXPECT_THAT(swapCalls(), ElementsAreArray(testCase.calls)) << testCase.extensions.size();
        EXPECT_FALSE(vSync->isEnabled());
    }
    EXPECT_TRUE(shownBoxes().empty()) << "a missing swap control is no error";
}
