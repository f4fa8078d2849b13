#include "gl_context_fixture.h"
#include "x11_display_helper.h"

#include "visual/device/qr_visx_displaymanager.h"
#include "visual/device/qr_visx_gammacorrection.h"
#include "visual/qr_visx_main.h"
#include "visual/device/qr_visx_resolution.h"
#include "visual/device/qr_visx_vsync.h"
#include "visual/device/rendercontexts/qr_visx_glx.h"

#include <QWidget>
#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class DisplaySettings : public GLContextFixture {
protected:
    QRVISXResolution& resolution() { return *visual().getDisplayManager()->getResolution(); }
    QRVISXVSync& vSync() { return *visual().getDisplayManager()->getVSync(); }
    QWidget* mainForm() { return core().getMainForm(); }
};

const std::pair<int, int> kDesktop{1280, 1024};

} // namespace

TEST_F(DisplaySettings, ModeTheServerDoesNotOfferIsRefused)
{
    resolution().setResolution(1000, 700, 60);
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr("Resolution not available")));
    EXPECT_FALSE(resolution().isFullScreenModeSet());
    EXPECT_EQ(x11display::screenSize(), kDesktop);
}

TEST_F(DisplaySettings, RateFromTheSettingsBeyondAShortDoesNotWrapOntoAnOfferedOne)
{
    x11display::addMode(1024, 768, 60);
    resolution().setResolution(1024, 768, 60 + 65536);
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr("Resolution not available")));
    EXPECT_EQ(x11display::screenSize(), kDesktop);
}

TEST_F(DisplaySettings, FullScreenModeFitsTheMainFormAndIsUndoneAtShutDown)
{
    x11display::addMode(1024, 768, 60);
    resolution().setResolution(1024, 768, 60);
    EXPECT_THAT(shownBoxes(), IsEmpty());
    EXPECT_EQ(x11display::screenSize(), (std::pair<int, int>{1024, 768}));
    EXPECT_TRUE(resolution().isFullScreenModeSet());
    EXPECT_TRUE(mainForm()->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(mainForm()->geometry(), QRect(0, 0, 1024, 768));

    // The same mode again does nothing at all.
    mainForm()->move(5, 5);
    resolution().setResolution(1024, 768, 60);
    EXPECT_EQ(mainForm()->pos(), QPoint(5, 5));

    shutDownVisual();
    EXPECT_EQ(x11display::screenSize(), kDesktop);
}

TEST_F(DisplaySettings, WindowedRestoresTheDesktopAndTheFrame)
{
    x11display::addMode(1024, 768, 60);
    resolution().setResolution(1024, 768, 0);
    ASSERT_EQ(x11display::screenSize(), (std::pair<int, int>{1024, 768}));

    resolution().setWindowed(800, 600);
    EXPECT_EQ(x11display::screenSize(), kDesktop);
    EXPECT_FALSE(resolution().isFullScreenModeSet());
    EXPECT_FALSE(mainForm()->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(mainForm()->size(), QSize(800, 600));
    EXPECT_EQ(resolution().getCurrentWidth(), kDesktop.first);
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(DisplaySettings, ModeChangedBehindTheGamesBackIsForgotten)
{
    x11display::addMode(1024, 768, 60);
    resolution().setResolution(1024, 768, 60);
    ASSERT_TRUE(resolution().isFullScreenModeSet());
    // Another program puts the desktop back; the record still says 1024 x 768.
    x11display::setScreenSize(kDesktop.first, kDesktop.second);
    ASSERT_EQ(resolution().getCurrentWidth(), 1024);
    // Asking for the mode again must switch again instead of trusting the stale record.
    resolution().setResolution(1024, 768, 60);
    EXPECT_EQ(x11display::screenSize(), (std::pair<int, int>{1024, 768}));
}

TEST_F(DisplaySettings, FormatModeText)
{
    EXPECT_EQ(QRVISXResolution::formatMode(1024, 768, 60), "1024*768 @60Hz");
}

TEST_F(DisplaySettings, GammaRampIsRestoredAtShutDown)
{
    const auto original = x11display::redGamma();
    ASSERT_FALSE(original.empty());
    ASSERT_FALSE(visual().getDisplayManager()->getGammaCorrection()->getSavedRamps().empty());
    x11display::fillGamma(0x8000);
    ASSERT_NE(x11display::redGamma(), original);

    shutDownVisual();
    EXPECT_EQ(x11display::redGamma(), original);
}

TEST_F(DisplaySettings, GammaRampComesBackInFullPrecision)
{
    x11display::fillGamma(0x1234);
    {
        QROwned<QRVISXGammaCorrection> gamma = qrNew<QRVISXGammaCorrection>(nullptr);
        gamma->initialize();
        x11display::fillGamma(0xFF00);
    }
    const auto restored = x11display::redGamma();
    ASSERT_FALSE(restored.empty());
    EXPECT_EQ(restored.front(), 0x1234);
    EXPECT_EQ(restored.back(), 0x1234);
}

TEST_F(DisplaySettings, VSyncUsesTheSwapControlTheDriverOffersAndLogsOnlyChanges)
{
    const std::string offered = " " + x11display::glxClientExtensions(qrglx::display()) + " ";
    const bool ext = offered.find(" GLX_EXT_swap_control ") != std::string::npos;
    const bool mesa = offered.find(" GLX_MESA_swap_control ") != std::string::npos;
    // Mesa's library offers both; the second is only asked for when the first is missing.
    EXPECT_EQ(vSync().isSupported(), ext || mesa);
    EXPECT_EQ(logCount("Extension \"GLX_EXT_swap_control\" loaded"), ext ? 1u : 0u) << logText();
    EXPECT_EQ(logCount("Extension \"GLX_MESA_swap_control\" loaded"), !ext && mesa ? 1u : 0u);
    EXPECT_THAT(shownBoxes(), IsEmpty());

    EXPECT_TRUE(vSync().isEnabled());
    EXPECT_EQ(logCount("VSync enabled"), 1u);
    vSync().setVSync(true);
    visual().endFrame();
    EXPECT_EQ(logCount("VSync enabled"), 1u);
    vSync().setVSync(false);
    visual().refreshVSync();
    EXPECT_FALSE(vSync().isEnabled());
    EXPECT_EQ(logCount("VSync disabled"), 1u);
}
