// Float textures on drivers with and without GL_ARB_texture_float: without it a float colour
// texture keeps 8 bits per component instead of asking for a format the driver lacks.

#include "visual_unit_fixture.h"

#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"

#include <gmock/gmock.h>

#include <string>

namespace {
class TextureLevels : public VisualUnitFixture {};
} // namespace

TEST_F(TextureLevels, FloatColourTexturesNeedTheFloatExtension)
{
    struct Case {
        bool floats;
        int dataFormat, pixelFormat;
        const char* internalFormat;
    };
    const Case cases[] = {
        {true, QRVISXTexture2::kData16, QRVISXTexture2::kPixelRGB, "GL_RGB16F_ARB"},
        {false, QRVISXTexture2::kData16, QRVISXTexture2::kPixelRGB, "GL_RGB"},
        {true, QRVISXTexture2::kData32, QRVISXTexture2::kPixelRGBA, "GL_RGBA32F_ARB"},
        {false, QRVISXTexture2::kData32, QRVISXTexture2::kPixelRGBA, "GL_RGBA"},
        {false, QRVISXTexture2::kData16, QRVISXTexture2::kPixelLuminance, "GL_LUMINANCE"},
        {false, QRVISXTexture2::kData8, QRVISXTexture2::kPixelRGB, "GL_RGB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.internalFormat);
        gl_.setExtensions(c.floats ? std::set<std::string>{"GL_VERSION_1_5", "GL_ARB_multitexture",
                                                           "GL_ARB_texture_cube_map", "GL_ARB_texture_float"}
                                   : std::set<std::string>{"GL_VERSION_1_5", "GL_ARB_multitexture",
                                                           "GL_ARB_texture_cube_map"});
        gl_.setStrict(true);
        visual_->getExtensionManager()->initialize();
        visual_->getMaterialManager()->getTextureManager()->initialize();
        gl_.clearCalls();
        auto texture = qrNew<QRVISXTexture2>(nullptr);
        texture->setMipmapping(false);
        texture->generateEmptyTexture(c.dataFormat, c.pixelFormat, 4, 4, 1.0f);
        EXPECT_THAT(gl_.takeCalls(), testing::Contains(testing::HasSubstr(std::string("glTexImage2D(GL_TEXTURE_2D, 0, ") +
                                                                          c.internalFormat + ", 4, 4")));
        EXPECT_GT(texture->getGLTextureId(), 0);
    }
    EXPECT_EQ(gl_.violations(), std::vector<std::string>{});
}
