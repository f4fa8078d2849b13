#include "visual/text/qr_visx_fontmanager.h"

#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/text/qr_visx_font.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/shaders/qr_visx_shadermanager.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/textures/qr_visx_texture.h"
#include "visual/textures/qr_visx_texturemanager.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/geometry/qr_visx_vertexbuffermanager.h"
#include "visual/view/qr_visx_viewport.h"

void QRVISXFontManager::renderText(QRVISXFont* font, std::string_view text, float size, bool absolute,
                                   const Vector4& colour, int blending, int alignment, const Vector2& position)
{
    auto* visual = qrVisual();
    if (!visual || !font || !font->getTexture() || !font->getShader())
        return;
    float effective = size;
    if (!absolute) {
        const int height = visual->getViewPort()->getHeight();
        effective = height > 0 ? size / static_cast<float>(height) : 0.0f;
    }
    Vector2 start = position;
    switch (alignment) {
    case QRVISXFont::kAlignLeft:
        break;
    case QRVISXFont::kAlignCenter:
        start.x -= font->getTextWidth(text, absolute, size) * 0.5f;
        break;
    case QRVISXFont::kAlignRight:
        start.x -= font->getTextWidth(text, absolute, size);
        break;
    default:
        reportError("renderText", "Undefined font alignment");
        return;
    }
    // A view port without height gives relative text no size, and a sheet narrower than 16
    // texels no cells: nothing to draw, so no states are changed either.
    if ((!absolute && visual->getViewPort()->getHeight() <= 0) || font->getCellSize() <= 0)
        return;

    QRVISXMaterialManager* materials = visual->getMaterialManager();
    QRVISXStateManager* states = materials->getStateManager();
    materials->resetForMaterial();
    states->setDepthTest(false);
    states->setCullFace(false, states->getCurrent().cullBackSides);
    states->setBlendingMode(blending);
    states->setCurrentColor(colour.x, colour.y, colour.z, colour.w);
    materials->getTextureManager()->requestTexture(font->getTexture(), 0);
    materials->getShaderManager()->setConfiguration(font->getShader());
    materials->apply();
    QRVISXTransformWorld* world = visual->getTransform()->getWorld();
    world->reset();
    world->apply();

    drawText(*font, text, effective, start);
}

QRVISXFontManager::TextQuads QRVISXFontManager::buildTextQuads(const QRVISXFont& font, std::string_view text,
                                                               float size, const Vector2& position)
{
    TextQuads quads;
    const int cell = font.getCellSize();
    if (cell <= 0)
        return quads;
    const std::vector<std::uint8_t> codes = QRVISXFont::glyphCodes(text);
    quads.positions.reserve(codes.size() * 8);
    quads.texCoords.reserve(codes.size() * 8);
    const float s = size;
    float x = position.x;
    const float y = position.y;
    constexpr float step = 1.0f / static_cast<float>(QRVISXFont::kCellsPerRow);
    for (std::uint8_t code : codes) {
        const float advance = static_cast<float>(font.getGlyphWidth(code)) / static_cast<float>(cell) * s;
        const float row = static_cast<float>(code / QRVISXFont::kCellsPerRow);
        const float column = static_cast<float>(code % QRVISXFont::kCellsPerRow);
        x += advance;
        const float corners[8] = {x - s, y + s, x + s, y + s, x + s, y - s, x - s, y - s};
        const float left = column * step;
        const float right = (column + 1.0f) * step;
        const float top = 1.0f - row * step;
        const float bottom = 1.0f - (row + 1.0f) * step;
        const float texels[8] = {left, top, right, top, right, bottom, left, bottom};
        quads.positions.insert(quads.positions.end(), corners, corners + 8);
        quads.texCoords.insert(quads.texCoords.end(), texels, texels + 8);
        x += advance;
    }
    return quads;
}

void QRVISXFontManager::drawText(const QRVISXFont& font, std::string_view text, float size, const Vector2& position)
{
    const TextQuads quads = buildTextQuads(font, text, size, position);
    if (quads.positions.empty())
        return;
    QRVISXGL& gl = qrGL();
    // Client arrays are read as offsets into a bound buffer object; none may be bound, and the
    // vertex buffer manager must bind its own again afterwards.
    auto* visual = qrVisual();
    QRVISXVertexBufferManager* buffers = visual ? visual->getVertexBufferManager() : nullptr;
    if (buffers && buffers->hasBufferObjectSupport()) {
        gl.bindBuffer(GL_ARRAY_BUFFER, 0);
        buffers->restoreState();
    }
    // glClientActiveTexture came with OpenGL 1.3; before it unit 0 is the only one.
    if (visual && visual->getExtensionManager()->getGLVersion() >= QRVISXExtensionManager::kGL15)
        gl.clientActiveTexture(GL_TEXTURE0);
    gl.enableClientState(GL_VERTEX_ARRAY);
    gl.enableClientState(GL_TEXTURE_COORD_ARRAY);
    gl.vertexPointer(2, GL_FLOAT, 0, quads.positions.data());
    gl.texCoordPointer(2, GL_FLOAT, 0, quads.texCoords.data());
    gl.drawArrays(GL_QUADS, 0, static_cast<GLsizei>(quads.positions.size() / 2));
    gl.disableClientState(GL_VERTEX_ARRAY);
    gl.disableClientState(GL_TEXTURE_COORD_ARRAY);
}
