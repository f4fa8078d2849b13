#include "entity_world_fixture.h"

#include "core/qr_time_main.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/text/qr_visx_font.h"
#include "world/app_wrld_hud.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>

using ::testing::Contains;
using ::testing::HasSubstr;

namespace {

class HUDTest : public EntityWorldFixture {
protected:
    APPWRLDHUD& hud() { return *world().getHUD(); }
    // One drawn frame of the display after delta seconds.
    void renderFrame(float delta)
    {
        qrTime()->setDelta(delta);
        hud().render();
    }
};

void expectText(const APPWRLDHUDText& actual, const std::string& text, const Vector2& position, float height,
                const Vector4& colour, int alignment)
{
    EXPECT_EQ(actual.text, text);
    EXPECT_NEAR(actual.position.x, position.x, 1e-4f) << text;
    EXPECT_NEAR(actual.position.y, position.y, 1e-4f) << text;
    EXPECT_NEAR(actual.height, height, 1e-5f) << text;
    EXPECT_NEAR(actual.colour.w, colour.w, 1e-5f) << text;
    EXPECT_EQ((std::vector<float>{actual.colour.x, actual.colour.y, actual.colour.z}),
              (std::vector<float>{colour.x, colour.y, colour.z}))
        << text;
    EXPECT_EQ(actual.alignment, alignment) << text;
}

} // namespace

TEST_F(HUDTest, StatusLinesSitInTheCornersOfTheView)
{
    const Vector4 white{1.0f, 1.0f, 1.0f, 1.0f};
    const float left = 0.1f - 640.0f / 480.0f;
    auto lines = hud().getStatusTexts();
    ASSERT_EQ(lines.size(), 3u);
    expectText(lines[1], "Papers: 0 / 0", {left, 0.17f - 1.0f}, 0.03f, white, QRVISXFont::kAlignLeft);

    entities().createEntity("Paper", {100.0f, 0.0f, 100.0f});
    entities().createEntity("Paper", {900.0f, 0.0f, 100.0f});
    entities().countPapers();
    hud().setHealth(-12);
    hud().setPapersCollected(1);
    hud().setLevelTitle("m\xC3\xA4" "chtiger als Gott");
    lines = hud().getStatusTexts();
    ASSERT_EQ(lines.size(), 3u);
    // The hero plays on below 0; the display never shows less than nothing.
    expectText(lines[0], "Health: 0", {left, 0.9f}, 0.03f, white, QRVISXFont::kAlignLeft);
    expectText(lines[1], "Papers: 1 / 2", {left, 0.17f - 1.0f}, 0.03f, white, QRVISXFont::kAlignLeft);
    expectText(lines[2], "Level: m\xC3\xA4" "chtiger als Gott", {left, -0.9f}, 0.03f, white, QRVISXFont::kAlignLeft);
    // The title reaches the Latin-1 glyph sheet as one glyph per letter.
    const auto glyphs = QRVISXFont::glyphCodes(lines[2].text);
    EXPECT_EQ(glyphs.size(), std::string("Level: mXchtiger als Gott").size());
    EXPECT_EQ(glyphs[8], 0xE4);
}

TEST_F(HUDTest, EveryDropInHealthFlashesTheViewRedForAMoment)
{
    struct Step {
        const char* what;
        int health;    // set by the hero, or reset when below -1000
        float delta;   // drawn afterwards
        bool flashing;
        const char* shown;
    };
    const Step steps[] = {
        {"the same health is no hit", 100, 0.0f, false, "Health: 100"},
        {"a banana", 90, 0.0f, true, "Health: 90"},
        {"fading", 90, 0.3f, true, "Health: 90"},
        {"over after 0.4 s", 90, 0.2f, false, "Health: 90"},
        {"a hit below 0", -5, 0.1f, true, "Health: 0"},
        {"health back up is no hit", 100, 0.5f, false, "Health: 100"},
    };
    for (const Step& s : steps) {
        hud().setHealth(s.health);
        renderFrame(s.delta);
        EXPECT_EQ(hud().getHitFlashAlpha() > 0.0f, s.flashing) << s.what;
        EXPECT_EQ(hud().getStatusTexts()[0].text, s.shown) << s.what;
    }
    hud().setHealth(50);
    hud().resetHealth(-30);
    EXPECT_EQ(hud().getHitFlashAlpha(), 0.0f) << "a resumed game is no hit";
}

TEST_F(HUDTest, LevelUpFlashShrinksFadesAndEndsAfterSevenSeconds)
{
    struct Case {
        float delta; // rendered before looking
        float timer;
        float backdrop;
        float height;
        float alpha;
    };
    const Case cases[] = {
        {0.0f, 1.0f, 0.5f, 0.5f, 1.0f},    {0.1f, 1.1f, 0.4f, 0.3f, 1.0f},  {0.15f, 1.25f, 0.25f, 0.1f, 1.0f},
        {4.75f, 6.0f, 0.0f, 0.1f, 1.0f},   {0.5f, 6.5f, 0.0f, 0.1f, 0.5f},   {0.45f, 6.95f, 0.0f, 0.1f, 0.05f},
    };
    hud().startLevelUpFlash();
    for (const Case& c : cases) {
        if (c.delta > 0.0f)
            renderFrame(c.delta);
        EXPECT_NEAR(hud().getLevelUpTimer(), c.timer, 1e-5f);
        EXPECT_NEAR(hud().getBackdropAlpha(), c.backdrop, 1e-5f) << c.timer;
        const auto texts = hud().getFlashTexts();
        ASSERT_EQ(texts.size(), 9u) << c.timer;
        int shadow = 0;
        for (int i = -1; i <= 1; ++i)
            for (int j = -1; j <= 1; ++j)
                if (i != 0 || j != 0)
                    expectText(texts[static_cast<std::size_t>(shadow++)], "Level Up!",
                               {static_cast<float>(i) * 0.01f, static_cast<float>(j) * 0.01f}, c.height,
                               {0.0f, 0.0f, 0.0f, c.alpha}, QRVISXFont::kAlignCenter);
        expectText(texts[8], "Level Up!", {0.0f, 0.0f}, c.height, {1.0f, 1.0f, 1.0f, c.alpha},
                   QRVISXFont::kAlignCenter);
    }
    renderFrame(0.1f);
    EXPECT_EQ(hud().getLevelUpTimer(), 0.0f) << "passing 7 seconds ends the flash";
    EXPECT_TRUE(hud().getFlashTexts().empty());
    renderFrame(0.1f);
    EXPECT_EQ(hud().getLevelUpTimer(), 0.0f) << "and nothing runs it on";
}

TEST_F(HUDTest, DrawsItsTextInTheOverlayCameraAndLeavesTheSceneCameraCurrent)
{
    std::filesystem::copy(std::filesystem::path(KIPSTER_PROGRAM_FOLDER) / "fonts", programFolder().path() / "fonts",
                          std::filesystem::copy_options::recursive);
    hud().initialize();
    ASSERT_NE(hud().getFont()->getTexture(), nullptr);
    gl_.clearCalls();

    renderFrame(0.02f);
    auto calls = gl_.takeCalls();
    const auto textDraws = std::count_if(calls.begin(), calls.end(), [](const std::string& call) {
        return call.rfind("glDrawArrays(GL_QUADS", 0) == 0;
    });
    EXPECT_EQ(textDraws, 3);
    EXPECT_EQ(visual_->getCameraManager()->getCurrentCamera(),
              static_cast<QRVISXCamera*>(visual_->getCameraManager()->get3DCamera()));

    hud().startLevelUpFlash();
    renderFrame(0.02f);
    calls = gl_.takeCalls();
    EXPECT_THAT(calls, Contains("glColor4f(0, 1, 1, 0.5)"));
    EXPECT_THAT(calls, Contains("glVertex3f(-4, -2, -0.1)"));
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& call) { return call.rfind("glDrawArrays(GL_QUADS", 0) == 0; }),
              3 + 9);
    EXPECT_THAT(shownBoxes(), ::testing::Not(Contains(HasSubstr("fonts\\"))));
}
