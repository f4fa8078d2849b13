#include "visual/geometry/qr_visx_vertexbuffermanager.h"

#include "visual/gl/qr_visx_extensionmanager.h"
#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"

#include <cstdint>
#include <vector>

namespace {
// Buffer-relative offset of the element at index (a pointer only in name).
const void* offset(std::size_t bytes)
{
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(bytes));
}
} // namespace

QRVISXVertexBufferManager::QRVISXVertexBufferManager(QRObject* owner)
    : QRObject(owner, "QR VISX Vertex Buffer Manager")
{
}

void QRVISXVertexBufferManager::initialize()
{
    auto* visual = qrVisual();
    auto* extensions = visual ? visual->getExtensionManager() : nullptr;
    if (!extensions)
        return;
    extensions->loadExtension("GL_EXT_vertex_array", true);
    const bool arbBuffers = extensions->loadExtension("GL_ARB_vertex_buffer_object", true);
    // The GL layer calls the core 1.2 - 1.5 entry points, which the version check loaded.
    const bool gl15 = extensions->getGLVersion() >= QRVISXExtensionManager::kGL15;
    bufferObjects_ = arbBuffers && gl15;
    multitexture_ = gl15;
    rangeElements_ = gl15;
    restoreState();
}

void QRVISXVertexBufferManager::restoreState()
{
    boundArrayBuffer_ = -1;
    boundElementBuffer_ = -1;
}

void QRVISXVertexBufferManager::bindArrayBuffer(GLint name)
{
    if (!bufferObjects_ || name == boundArrayBuffer_)
        return;
    qrGL().bindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(name));
    boundArrayBuffer_ = name;
}

void QRVISXVertexBufferManager::bindElementBuffer(GLint name)
{
    if (!bufferObjects_ || name == boundElementBuffer_)
        return;
    qrGL().bindBuffer(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLuint>(name));
    boundElementBuffer_ = name;
}

bool QRVISXVertexBufferManager::createBufferObjects(QRVISXVertexBuffer& buffer)
{
    deleteBufferObjects(buffer);
    if (!bufferObjects_)
        return false;
    logDebug("Creating VBOs...");
    QRVISXGL& gl = qrGL();
    auto upload = [&](GLenum target, const void* data, std::size_t bytes) -> GLint {
        const GLuint name = gl.genBuffer();
        gl.bindBuffer(target, name);
        gl.bufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
        return static_cast<GLint>(name);
    };
    auto uploadFloats = [&](const std::vector<float>& values) {
        return upload(GL_ARRAY_BUFFER, values.data(), values.size() * sizeof(float));
    };
    auto& names = buffer.bufferObjects();
    names.positions = uploadFloats(buffer.getPositions());
    if (buffer.getNormalComponents() > 0)
        names.normals = uploadFloats(buffer.getNormals());
    if (buffer.getColorComponents() > 0)
        names.colors = uploadFloats(buffer.getColors());
    if (buffer.getWeightComponents() > 0)
        names.weights = uploadFloats(buffer.getWeights());
    for (int set = 0; set < QRVISXVertexBuffer::kTexCoordSets; ++set)
        if (buffer.getTexCoordComponents(set) > 0)
            names.texCoords[static_cast<std::size_t>(set)] = uploadFloats(buffer.getTexCoords(set));
    if (buffer.isIndexed()) {
        const auto& indices = buffer.getIndices();
        names.indices = upload(GL_ELEMENT_ARRAY_BUFFER, indices.data(), indices.size() * sizeof(std::int32_t));
    }
    gl.bindBuffer(GL_ARRAY_BUFFER, 0);
    gl.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    boundArrayBuffer_ = 0;
    boundElementBuffer_ = 0;
    logDebug("VBOs generated!");
    return true;
}

void QRVISXVertexBufferManager::deleteBufferObjects(QRVISXVertexBuffer& buffer)
{
    auto& names = buffer.bufferObjects();
    auto remove = [&](GLint& name) {
        if (name == -1)
            return;
        if (bufferObjects_) {
            qrGL().deleteBuffer(static_cast<GLuint>(name));
            // OpenGL unbinds a deleted buffer; so does the cache.
            if (name == boundArrayBuffer_)
                boundArrayBuffer_ = 0;
            if (name == boundElementBuffer_)
                boundElementBuffer_ = 0;
        }
        name = -1;
    };
    remove(names.positions);
    remove(names.normals);
    remove(names.colors);
    remove(names.weights);
    remove(names.indices);
    for (auto& name : names.texCoords)
        remove(name);
    buffer.setHasBufferObjects(false);
}

void QRVISXVertexBufferManager::draw(const QRVISXVertexBuffer& buffer, GLenum mode, int last, int first)
{
    auto* visual = qrVisual();
    auto* materials = visual ? visual->getMaterialManager() : nullptr;
    if (materials && materials->isIgnoringGeometry())
        return;
    const int high = buffer.isIndexed() ? buffer.getIndexHigh() : buffer.getVertexHigh();
    if (last < first || buffer.isEmpty())
        return;
    if (first < 0 || last > high) {
        reportError("draw", "The range " + std::to_string(first) + ".." + std::to_string(last) +
                                " lies outside the vertex buffer's " + std::to_string(high + 1) + " elements");
        return;
    }
    QRVISXGL& gl = qrGL();
    const bool objects = buffer.hasBufferObjects() && bufferObjects_;
    const auto& names = buffer.getBufferObjects();
    // Client arrays are read as buffer offsets while a buffer is bound.
    auto source = [&](GLint name, const void* data) {
        bindArrayBuffer(objects ? name : 0);
        return objects ? offset(0) : data;
    };

    const void* positions = source(names.positions, buffer.getPositions().data());
    gl.enableClientState(GL_VERTEX_ARRAY);
    gl.vertexPointer(3, GL_FLOAT, 0, positions);
    // OpenGL takes normals as three floats (of four, the first three) and colours as three or four;
    // other layouts stay unbound rather than be read past their end.
    const int normalCount = buffer.getNormalComponents();
    const bool normals = normalCount >= 3;
    if (normals) {
        const void* pointer = source(names.normals, buffer.getNormals().data());
        gl.enableClientState(GL_NORMAL_ARRAY);
        const auto stride = static_cast<GLsizei>(normalCount == 3 ? 0 : normalCount * sizeof(float));
        gl.normalPointer(GL_FLOAT, stride, pointer);
    }
    const int colourCount = buffer.getColorComponents();
    const bool colours = colourCount == 3 || colourCount == 4;
    if (colours) {
        const void* pointer = source(names.colors, buffer.getColors().data());
        gl.enableClientState(GL_COLOR_ARRAY);
        gl.colorPointer(colourCount, GL_FLOAT, 0, pointer);
    }
    std::vector<int> sets;
    for (int set = 0; set <= buffer.getHighestTexCoordSet(); ++set) {
        const int count = buffer.getTexCoordComponents(set);
        if (count <= 0 || (set > 0 && !multitexture_))
            continue;
        if (multitexture_) {
            gl.activeTexture(GL_TEXTURE0 + static_cast<GLenum>(set));
            gl.clientActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(set));
        }
        const void* pointer = source(names.texCoords[static_cast<std::size_t>(set)], buffer.getTexCoords(set).data());
        gl.enableClientState(GL_TEXTURE_COORD_ARRAY);
        gl.texCoordPointer(count, GL_FLOAT, 0, pointer);
        sets.push_back(set);
    }

    const auto count = static_cast<GLsizei>(last - first + 1);
    if (buffer.isIndexed()) {
        bindElementBuffer(objects ? names.indices : 0);
        const void* indices = objects ? offset(static_cast<std::size_t>(first) * sizeof(std::int32_t))
                                      : static_cast<const void*>(buffer.getIndices().data() + first);
        if (rangeElements_)
            gl.drawRangeElements(mode, 0, static_cast<GLuint>(buffer.getVertexHigh()), count, GL_UNSIGNED_INT,
                                 indices);
        else
            gl.drawElements(mode, count, GL_UNSIGNED_INT, indices);
    } else {
        gl.drawArrays(mode, first, count);
    }

    gl.disableClientState(GL_VERTEX_ARRAY);
    if (normals)
        gl.disableClientState(GL_NORMAL_ARRAY);
    if (colours)
        gl.disableClientState(GL_COLOR_ARRAY);
    for (int set : sets) {
        if (multitexture_)
            gl.clientActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(set));
        gl.disableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    if (multitexture_) {
        gl.clientActiveTexture(GL_TEXTURE0);
        // The texture manager binds on the unit it thinks is active: leave unit 0 as it expects.
        if (!sets.empty())
            gl.activeTexture(GL_TEXTURE0);
    }
    if (objects) {
        bindArrayBuffer(0);
        bindElementBuffer(0);
    }
}
