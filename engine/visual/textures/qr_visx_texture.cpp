#include "visual/textures/qr_visx_texture.h"

#include "core/qr_core_log.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_image.h"
#include "resource/qr_resc_stringlist.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/materials/qr_visx_materialvariablepool.h"
#include "visual/textures/qr_visx_texturecompiler.h"
#include "visual/textures/qr_visx_texturemanager.h"

namespace {

QRVISXMaterialManager* materialManager()
{
    auto* visual = qrVisual();
    return visual ? visual->getMaterialManager() : nullptr;
}

QRVISXTextureManager* textureManager()
{
    auto* materials = materialManager();
    return materials ? materials->getTextureManager() : nullptr;
}

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// The settings a texture script can change, one bit each.
enum ScriptSetting : std::uint8_t {
    kScriptFilter = 1,
    kScriptAnisotropy = 2,
    kScriptHorizontalClamp = 4,
    kScriptVerticalClamp = 8,
    kScriptMipmapping = 16,
    kScriptCompression = 32,
};

// The smallest power of two that is at least value, starting at 1.
int nextPowerOfTwo(int value)
{
    int result = 1;
    while (result < value && result < (1 << 30))
        result <<= 1;
    return result;
}

} // namespace

QRVISXTexture::QRVISXTexture(QRObject* owner, std::string_view name) : QRRESCMain(owner, name) {}

QRVISXTexture2::QRVISXTexture2(QRObject* owner) : QRVISXTexture(owner, "2D Texture")
{
    if (auto* manager = textureManager())
        anisotropy_ = manager->getAnisotropyDegree();
}

QRVISXTexture2::~QRVISXTexture2()
{
    clear();
    // Material variables hold plain pointers to textures; none may outlive this one.
    if (auto* materials = materialManager())
        if (auto* pool = materials->getVariablePool())
            pool->forgetTexture(this);
}

void QRVISXTexture2::clear()
{
    if (getGLTextureId() == kNoTexture)
        return;
    logDebug("Deleting Texture from GL: " + getName());
    if (auto* manager = textureManager())
        manager->deleteTexture(*this);
    // Without the visual module its contexts are gone, and the OpenGL texture went with them.
    setGLTextureId(kNoTexture);
}

void QRVISXTexture2::compileScriptFor(const std::string& fileName)
{
    auto* files = qrFile();
    if (!files)
        return;
    const std::string scriptName = QRFILEMain::changeExtension(fileName, "texture");
    scriptFileID_ = QRFILEMain::fileNameID(files->relativeName(scriptName));
    // A line taken out of the script (or the whole script) must take its setting with it on reload.
    resetScriptSettings();
    if (!files->fileExists(scriptName, false))
        return;
    auto script = qrNew<QRRESCStringList>(this, true, true);
    script->loadFromFile(scriptName);
    const int filter = filter_;
    const int anisotropy = anisotropy_;
    const bool horizontalClamp = horizontalClamp_;
    const bool verticalClamp = verticalClamp_;
    const bool mipmapping = mipmapping_;
    const bool compression = compression_;
    auto compiler = qrNew<QRVISXTextureCompiler>(this);
    compiler->compile(this, script.get());
    // Only what the script changed is its own; settings the program made (a sky box clamps its
    // textures after loading them) stay when a reload resets the script's.
    scriptSettings_ = static_cast<std::uint8_t>(
        (filter_ != filter ? kScriptFilter : 0) | (anisotropy_ != anisotropy ? kScriptAnisotropy : 0) |
        (horizontalClamp_ != horizontalClamp ? kScriptHorizontalClamp : 0) |
        (verticalClamp_ != verticalClamp ? kScriptVerticalClamp : 0) |
        (mipmapping_ != mipmapping ? kScriptMipmapping : 0) | (compression_ != compression ? kScriptCompression : 0));
}

void QRVISXTexture2::resetScriptSettings()
{
    // The defaults of a new texture; the OpenGL texture is already gone, so nothing is re-applied.
    if (scriptSettings_ & kScriptFilter)
        filter_ = kFilterTrilinear;
    if (scriptSettings_ & kScriptAnisotropy) {
        auto* manager = textureManager();
        anisotropy_ = manager ? manager->getAnisotropyDegree() : 1;
    }
    if (scriptSettings_ & kScriptHorizontalClamp)
        horizontalClamp_ = false;
    if (scriptSettings_ & kScriptVerticalClamp)
        verticalClamp_ = false;
    if (scriptSettings_ & kScriptMipmapping)
        mipmapping_ = true;
    if (scriptSettings_ & kScriptCompression)
        compression_ = false;
    scriptSettings_ = 0;
}

void QRVISXTexture2::loadFromFile(const std::string& fileName)
{
    clear();
    dataFormat_ = kFormatUndefined;
    pixelFormat_ = kFormatUndefined;
    auto* files = qrFile();
    if (!files || !files->fileExists(fileName, true))
        return;
    setName(fileName);
    setFileName(fileName);
    logDebug("Loading texture from file: " + quoted(fileName));
    compileScriptFor(fileName);
    auto image = qrNew<QRRESCImage2>(this, fileName);
    image->setFlipForGL(true);
    image->loadFromFile(fileName);
    loadFromImage(*image);
}

void QRVISXTexture2::loadFromImage(QRRESCImage2& image)
{
    // generateFromImage takes the image's name; a name the script gave the texture wins.
    image.setName(getName());
    generateFromImage(image);
}

void QRVISXTexture2::updateFromFile()
{
    const std::string fileName = getFileName();
    if (fileName.empty())
        return;
    if (auto* log = qrLog())
        log->logInformation("Updating managed object " + quoted(getName()));
    // The new picture goes into memory first: if it cannot be read (half written, corrupt,
    // deleted), the texture keeps drawing with its previous contents.
    auto image = qrNew<QRRESCImage2>(this, fileName);
    image->setFlipForGL(true);
    image->loadFromFile(fileName);
    if (!image->isValid()) {
        logWarning("updateFromFile", "Keeping the previous contents of texture " + quoted(getName()));
        return;
    }
    clear();
    dataFormat_ = kFormatUndefined;
    pixelFormat_ = kFormatUndefined;
    setName(fileName);
    setFileName(fileName);
    logDebug("Loading texture from file: " + quoted(fileName));
    compileScriptFor(fileName);
    loadFromImage(*image);
}

bool QRVISXTexture2::usesFile(std::uint32_t fileID) const
{
    return scriptFileID_ != 0 && fileID == scriptFileID_;
}

void QRVISXTexture2::generateFromImage(QRRESCImage2& image)
{
    clear();
    setName(image.getName());
    if (!image.getFileName().empty())
        setFileName(image.getFileName());
    auto* manager = textureManager();
    if (!manager) {
        reportError("generateFromImage", "The texture " + quoted(getName()) +
                                             " cannot be uploaded without a running visual module");
        return;
    }
    if (image.isValid() && !manager->isNonPowerOfTwoSupported())
        image.setImageSize(nextPowerOfTwo(image.getWidth()), nextPowerOfTwo(image.getHeight()));
    if (dataFormat_ == kFormatUndefined)
        dataFormat_ = image.getDataFormat();
    if (pixelFormat_ == kFormatUndefined)
        pixelFormat_ = image.getPixelFormat();
    width_ = image.getWidth();
    height_ = image.getHeight();
    if (image.isValid())
        manager->generateTextureContentsInGL(*this, &image);
}

int QRVISXTexture2::getImageDataFormatForTextureFormat(int dataFormat, int pixelFormat) const
{
    // Depth is read back as floats whatever its precision.
    if (pixelFormat == kPixelDepth && dataFormat == kData8)
        return 1;
    if (dataFormat == kData8)
        return 0;
    if (dataFormat >= kData16 && dataFormat <= kData32)
        return 1;
    reportError("getImageDataFormatForTextureFormat", "Undefined texture data format");
    return 0;
}

int QRVISXTexture2::getImagePixelFormatForTextureFormat(int pixelFormat) const
{
    switch (pixelFormat) {
    case kPixelLuminance:
    case kPixelDepth:
    case kPixelStencil:
        return 0;
    case kPixelRGB:
        return 1;
    case kPixelRGBA:
        return 2;
    default:
        reportError("getImagePixelFormatForTextureFormat", "Undefined texture pixel format");
        return 0;
    }
}

void QRVISXTexture2::generateEmptyTexture(int dataFormat, int pixelFormat, int width, int height, float fillValue)
{
    dataFormat_ = dataFormat;
    pixelFormat_ = pixelFormat;
    auto image = qrNew<QRRESCImage2>(this, getName());
    image->generateEmptyImage(getImageDataFormatForTextureFormat(dataFormat, pixelFormat),
                              getImagePixelFormatForTextureFormat(pixelFormat), width, height);
    image->fillImageWithColor(fillValue);
    generateFromImage(*image);
}

void QRVISXTexture2::applyParametersIfUploaded()
{
    if (getGLTextureId() == kNoTexture)
        return;
    if (auto* manager = textureManager())
        manager->applyTextureParameters(*this);
}

void QRVISXTexture2::setFilter(int filter)
{
    filter_ = filter;
    applyParametersIfUploaded();
}

void QRVISXTexture2::setAnisotropy(int anisotropy)
{
    anisotropy_ = anisotropy;
    applyParametersIfUploaded();
}

void QRVISXTexture2::setClamp(bool horizontal, bool vertical)
{
    horizontalClamp_ = horizontal;
    verticalClamp_ = vertical;
    applyParametersIfUploaded();
}

void QRVISXTexture2::setHorizontalClamp(bool clamp)
{
    horizontalClamp_ = clamp;
    applyParametersIfUploaded();
}

void QRVISXTexture2::setVerticalClamp(bool clamp)
{
    verticalClamp_ = clamp;
    applyParametersIfUploaded();
}
