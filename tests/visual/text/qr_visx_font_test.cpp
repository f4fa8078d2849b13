#include "visual_unit_fixture.h"

#include "resource/qr_resc_stringlist.h"
#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/text/qr_visx_font.h"
#include "visual/text/qr_visx_fontmanager.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/view/qr_visx_viewport.h"

#include <QImage>
#include <gmock/gmock.h>

#include <filesystem>
#include <functional>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::Pointwise;
using ::testing::FloatNear;

namespace {

class Fonts : public VisualUnitFixture {
protected:
    Fonts()
    {
        gl_.setExtensions({"GL_VERSION_1_2", "GL_VERSION_1_3", "GL_VERSION_1_4", "GL_VERSION_1_5", "GL_VERSION_2_0",
                           "GL_EXT_blend_color", "GL_EXT_blend_minmax", "GL_ARB_multitexture", "GL_ARB_texture_cube_map", "GL_ARB_shader_objects",
                           "GL_ARB_vertex_shader", "GL_ARB_fragment_shader", "GL_ARB_texture_non_power_of_two"});
        gl_.setInteger(GL_MAX_TEXTURE_UNITS, 4);
        gl_.setInteger(GL_MAX_TEXTURE_SIZE, 2048);
        writeConfiguration("shaders/default/default_solid");
        writeConfiguration("shaders/default/default_unlit");
        writeConfiguration("fonts/font");
        QImage sheet(256, 256, QImage::Format_RGBA8888);
        sheet.fill(Qt::white);
        const auto path = programFolder() / "fonts" / "sheet.png";
        std::filesystem::create_directories(path.parent_path());
        sheet.save(QString::fromStdString(path.string()), "PNG");
        visual_->getExtensionManager()->initialize();
        visual_->getMaterialManager()->initialize();
        visual_->getViewPort()->set(0, 0, 640, 480);
        gl_.clearCalls();
    }

    void writeConfiguration(const std::string& stem) const
    {
        programFolder().write(stem + ".vertex", "void main() { gl_Position = ftransform(); }");
        programFolder().write(stem + ".fragment", "uniform sampler2D glyphs;\nvoid main() { gl_FragColor = gl_Color; }");
        programFolder().write(stem + ".shader", "shader configuration :\nset texture2d glyphs to texelunit 0\n"
                                                "add vertex shader " + stem + ".vertex\nadd fragment shader " +
                                                    stem + ".fragment\n");
    }

    static QROwned<QRVISXFont> parse(const std::vector<std::string>& lines)
    {
        auto script = qrNew<QRRESCStringList>(nullptr, true, true);
        for (const auto& line : lines)
            script->add(line);
        auto font = qrNew<QRVISXFont>(nullptr);
        font->loadFromStringList(*script);
        return font;
    }

    // A font file with the glyph sheet and shader, these widths lines, loaded.
    QROwned<QRVISXFont> load(const std::vector<std::string>& tableLines)
    {
        std::string text = "set texture fonts\\sheet.png\nset shader fonts\\font.shader\n";
        for (const auto& line : tableLines)
            text += line + "\n";
        programFolder().write("fonts/test.font", text);
        auto font = qrNew<QRVISXFont>(nullptr);
        font->loadFromFile("fonts\\test.font");
        return font;
    }

    static std::string row(int first, int count = 16, const std::string& separator = " ")
    {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += (i ? separator : "") + std::to_string(first + i);
        return text;
    }

    // A table of 16 rows whose width of character c is c mod 100.
    static std::vector<std::string> table()
    {
        std::vector<std::string> lines = {"{"};
        for (int r = 0; r < 16; ++r) {
            std::string text;
            for (int c = 0; c < 16; ++c)
                text += (c ? ", " : "") + std::to_string((r * 16 + c) % 100);
            lines.push_back(text);
        }
        lines.push_back("}");
        return lines;
    }
};

} // namespace

TEST_F(Fonts, SettingsReadSetExactlyAndLowerCaseTheirWords)
{
    struct Case {
        std::string line;
        std::function<bool(const QRVISXFont&)> holds;
    };
    const Case cases[] = {
        {"set blending Additive", [](const QRVISXFont& f) { return f.getBlending() == 1; }},
        {"set BLENDING max", [](const QRVISXFont& f) { return f.getBlending() == 5; }},
        {"SET blending additive", [](const QRVISXFont& f) { return f.getBlending() == 3; }},
        {"set blending glow", [](const QRVISXFont& f) { return f.getBlending() == 3; }},
        {"set scale ABSOLUTE", [](const QRVISXFont& f) { return f.getScaleMode() == QRVISXFont::kScaleAbsolute; }},
        {"set size 0.25", [](const QRVISXFont& f) { return f.getSize() == 0.25f; }},
        {"set size big", [](const QRVISXFont& f) { return f.getSize() == 0.1f; }},
        {"set alignment Right", [](const QRVISXFont& f) { return f.getAlignment() == QRVISXFont::kAlignRight; }},
        {"set alignment middle", [](const QRVISXFont& f) { return f.getAlignment() == QRVISXFont::kAlignLeft; }},
        {"set name \"Hud Font\"", [](const QRVISXFont& f) { return f.getName() == "Hud Font"; }},
        {"Set name Other", [](const QRVISXFont& f) { return f.getName() == "QR VISX Font"; }},
        {"set texture fonts\\sheet.png",
         [](const QRVISXFont& f) { return f.getTexture() && f.getTexture()->getWidth() == 256 && f.getCellSize() == 16; }},
        {"set shader fonts\\font.shader", [](const QRVISXFont& f) { return f.getShader() && f.getShader()->isValid(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_TRUE(c.holds(*parse({c.line})));
    }
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(Fonts, WidthTableFillsSixteenRowsInOrder)
{
    auto withTable = parse(table());
    for (int c = 0; c < 256; ++c)
        ASSERT_EQ(withTable->getGlyphWidth(static_cast<std::uint8_t>(c)), c % 100) << c;

    // Without a table every width stays 1; rows only count between the braces.
    auto without = parse({"0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15", "set size 2"});
    for (int c = 0; c < 256; ++c)
        ASSERT_EQ(without->getGlyphWidth(static_cast<std::uint8_t>(c)), 1);
    EXPECT_THAT(shownBoxes(), IsEmpty());
}

TEST_F(Fonts, HostileWidthTablesAreReportedOnceAndNeverOverrun)
{
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        const char* error;
        int badRow;
    };
    std::vector<std::string> tooMany = table();
    tooMany.insert(tooMany.end() - 1, row(200));
    std::vector<std::string> manyBad = {"{", row(0)};
    for (int i = 0; i < 5000; ++i)
        manyBad.push_back("1 2");
    const Case cases[] = {
        {"short row", {"{", row(0), row(10, 15), row(20)}, "row 2 of the width table holds 15 widths instead of 16", 1},
        {"long row", {"{", row(0), row(10, 17)}, "row 2 of the width table holds 17 widths instead of 16", 1},
        {"width beyond a byte", {"{", row(0), row(250)}, "row 2 of the width table: \"256\" is no width from 0 to 255", 1},
        {"negative width", {"{", row(0), row(-1)}, "\"-1\" is no width from 0 to 255", 1},
        {"huge number", {"{", row(0), "99999999999 " + row(0, 15)}, "\"99999999999\" is no width", 1},
        {"word", {"{", row(0), "a1 " + row(0, 15)}, "\"a1\" is no width", 1},
        {"seventeen rows", tooMany, "row 17 of the width table is beyond the sixteenth row", -1},
        {"thousands of bad rows", manyBad, "(4999 more faulty rows in the width table)", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = shownBoxes().size();
        auto font = load(c.lines);
        ASSERT_EQ(shownBoxes().size(), before + 1);
        EXPECT_THAT(shownBoxes().back(), HasSubstr(c.error));
        EXPECT_THAT(shownBoxes().back(), HasSubstr("fonts\\test.font"));
        // The good rows are taken; the faulty one changes nothing.
        if (c.badRow > 0) {
            EXPECT_EQ(font->getGlyphWidth(0), 0);
            EXPECT_EQ(font->getGlyphWidth(15), 15);
            EXPECT_EQ(font->getGlyphWidth(16), 1);
            EXPECT_EQ(font->getGlyphWidth(31), 1);
        } else {
            EXPECT_EQ(font->getGlyphWidth(255), 255 % 100);
        }
    }
}

TEST_F(Fonts, TextBecomesLatinOneGlyphCodes)
{
    using Codes = std::vector<std::uint8_t>;
    EXPECT_EQ(QRVISXFont::glyphCodes("Kip"), (Codes{'K', 'i', 'p'}));
    EXPECT_EQ(QRVISXFont::glyphCodes("m\xC3\xA4" "chtig"), (Codes{'m', 0xE4, 'c', 'h', 't', 'i', 'g'}));
    EXPECT_EQ(QRVISXFont::glyphCodes("\xE2\x82\xAC!"), (Codes{'?', '!'}));
    // Latin-1 bytes and broken sequences stand for themselves.
    EXPECT_EQ(QRVISXFont::glyphCodes("m\xE4g"), (Codes{'m', 0xE4, 'g'}));
    EXPECT_EQ(QRVISXFont::glyphCodes("\xC3"), (Codes{0xC3}));
    EXPECT_EQ(QRVISXFont::glyphCodes("\xE0\x80\x80"), (Codes{0xE0, 0x80, 0x80}));
}

TEST_F(Fonts, RenderTextSendsOneTexturedQuadPerCharacter)
{
    std::vector<std::string> lines = {"{"};
    for (int r = 0; r < 16; ++r)
        lines.push_back(r == 4 ? "8 32 16 8 8 8 8 8 8 8 8 8 8 8 8 8" : "8 8 8 8 8 8 8 8 8 8 8 8 8 8 8 8");
    lines.push_back("}");
    auto font = load(lines);
    ASSERT_THAT(shownBoxes(), IsEmpty());
    gl_.clearCalls();

    // "A" (65: row 4, column 1) advances 32 / 16 * s on each side of its centre, "B" 16 / 16 * s.
    font->renderText("AB", {0.5f, 0.25f}, 0.1f, true, {1, 1, 1, 1}, 3, QRVISXFont::kAlignLeft);
    const float positions[] = {0.6f, 0.35f, 0.8f, 0.35f, 0.8f, 0.15f, 0.6f, 0.15f,
                               0.9f, 0.35f, 1.1f, 0.35f, 1.1f, 0.15f, 0.9f, 0.15f};
    const float texCoords[] = {1 / 16.f, 0.75f, 2 / 16.f, 0.75f, 2 / 16.f, 0.6875f, 1 / 16.f, 0.6875f,
                               2 / 16.f, 0.75f, 3 / 16.f, 0.75f, 3 / 16.f, 0.6875f, 2 / 16.f, 0.6875f};
    EXPECT_THAT(gl_.lastDrawnPositions(), Pointwise(FloatNear(1e-5f), positions));
    EXPECT_THAT(gl_.lastDrawnTexCoords(), Pointwise(FloatNear(1e-5f), texCoords));
    const std::vector<std::string>& calls = gl_.calls();
    EXPECT_THAT(calls, Contains("glDrawArrays(GL_QUADS, 0, 8)"));
    EXPECT_THAT(calls, Contains("glClientActiveTexture(GL_TEXTURE0)"));
    EXPECT_EQ(calls.back(), "glDisableClientState(GL_TEXTURE_COORD_ARRAY)");
    const auto& applied = visual_->getMaterialManager()->getStateManager()->getApplied();
    EXPECT_FALSE(applied.depthTest);
    EXPECT_FALSE(applied.cullFace);
    EXPECT_EQ(applied.blendingMode, 3);

    // Relative sizes count per pixel of the view port's height: 48 of 480 is 0.1 again.
    font->renderText("AB", {0.5f, 0.25f}, 48.0f, false, {1, 1, 1, 1}, 3, QRVISXFont::kAlignLeft);
    EXPECT_THAT(gl_.lastDrawnPositions(), Pointwise(FloatNear(1e-5f), positions));
}

TEST_F(Fonts, AlignmentShiftsByTheTextWidth)
{
    auto font = load({});
    // Without a table every character advances 2 * s / 16 (a width of 1 texel in a 16-texel cell).
    const float width = font->getTextWidth("Kip", true, 0.1f);
    EXPECT_FLOAT_EQ(width, 3 * 2.0f / 16.0f * 0.1f);
    const auto firstCorner = [&](int alignment) {
        font->renderText("Kip", {0.0f, 0.0f}, 0.1f, true, {1, 1, 1, 1}, 3, alignment);
        return gl_.lastDrawnPositions().empty() ? 1e9f : gl_.lastDrawnPositions()[0];
    };
    const float left = firstCorner(QRVISXFont::kAlignLeft);
    EXPECT_FLOAT_EQ(left, 0.1f / 16.0f - 0.1f);
    EXPECT_NEAR(firstCorner(QRVISXFont::kAlignCenter), left - width / 2, 1e-6f);
    EXPECT_NEAR(firstCorner(QRVISXFont::kAlignRight), left - width, 1e-6f);

    gl_.clearCalls();
    font->renderText("Kip", {0.0f, 0.0f}, 0.1f, true, {1, 1, 1, 1}, 3, 3);
    EXPECT_THAT(shownBoxes(), ElementsAre(HasSubstr("Undefined font alignment")));
    EXPECT_THAT(gl_.calls(), IsEmpty());

    // Relative text in a view port without height has no size: nothing is drawn or set up.
    visual_->getViewPort()->set(0, 0, 640, 0);
    gl_.clearCalls();
    font->renderText("Kip", {0.0f, 0.0f}, 48.0f, false, {1, 1, 1, 1}, 3, QRVISXFont::kAlignLeft);
    EXPECT_THAT(gl_.calls(), IsEmpty());
}

TEST_F(Fonts, ReloadKeepsTheTextureAndProgramItNamesAgain)
{
    auto font = load(table());
    const GLint textureId = font->getTexture()->getGLTextureId();
    const GLint programId = font->getShader()->getGLProgramId();
    gl_.clearCalls();
    font->updateFromFile();
    EXPECT_EQ(font->getTexture()->getGLTextureId(), textureId);
    EXPECT_EQ(font->getShader()->getGLProgramId(), programId);
    EXPECT_THAT(gl_.takeCalls(), IsEmpty()) << "nothing deleted, uploaded or linked again";

    // A script without the texture gives it back; with its last reference it goes.
    programFolder().write("fonts/test.font", "set shader fonts\\font.shader\n");
    font->updateFromFile();
    EXPECT_EQ(font->getTexture(), nullptr);
    EXPECT_FALSE(gl_.isLive(static_cast<GLuint>(textureId)));
    EXPECT_TRUE(gl_.isLive(static_cast<GLuint>(programId)));
}
