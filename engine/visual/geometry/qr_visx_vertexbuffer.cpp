#include "visual/geometry/qr_visx_vertexbuffer.h"

#include "file/qr_file_file.h"
#include "visual/geometry/qr_visx_binaryreader.h"
#include "visual/qr_visx_main.h"
#include "visual/geometry/qr_visx_vertexbuffermanager.h"

#include <algorithm>
#include <stdexcept>

namespace {
// No OpenGL attribute takes more than four components per vertex.
constexpr int kMaxComponents = 4;

QRVISXVertexBufferManager* manager()
{
    auto* visual = qrVisual();
    return visual ? visual->getVertexBufferManager() : nullptr;
}

bool validCount(int count)
{
    return count >= 0 && count <= kMaxComponents;
}

void writeFloats(QRFILEFile& file, const std::vector<float>& values)
{
    if (!values.empty())
        file.write(values.data(), static_cast<std::int64_t>(values.size() * sizeof(float)));
}

bool readFloats(QRVISXBinaryReader& reader, std::vector<float>& values)
{
    return reader.readBytes(values.data(), static_cast<std::int64_t>(values.size() * sizeof(float)));
}
} // namespace

QRVISXVertexBuffer::QRVISXVertexBuffer(QRObject* owner) : QRRESCMain(owner, "Vertex Buffer")
{
    setDefaults();
}

QRVISXVertexBuffer::~QRVISXVertexBuffer()
{
    deleteBufferObjects();
}

void QRVISXVertexBuffer::clear()
{
    deleteBufferObjects();
    positions_.clear();
    normals_.clear();
    colors_.clear();
    weights_.clear();
    for (auto& set : texCoords_)
        set.clear();
    indices_.clear();
    vertexHigh_ = -1;
    indexHigh_ = -1;
    highestTexCoordSet_ = -1;
    initialized_ = false;
    hasBufferObjects_ = false;
}

void QRVISXVertexBuffer::setDefaults()
{
    primitiveMode_ = GL_TRIANGLES;
    indexed_ = false;
    normalComponents_ = 3;
    colorComponents_ = 0;
    weightComponents_ = 0;
    texCoordComponents_.fill(0);
    highestTexCoordSet_ = -1;
}

void QRVISXVertexBuffer::setPrimitive(bool indexed, GLenum mode)
{
    indexed_ = indexed;
    primitiveMode_ = mode;
}

void QRVISXVertexBuffer::setComponentCounts(int normals, int colours, int weights)
{
    if (!validCount(normals) || !validCount(colours) || !validCount(weights)) {
        reportError("setComponentCounts", "Component counts must lie between 0 and 4");
        return;
    }
    // Arrays already sized with the old counts would be indexed past their end: re-pack them.
    if (initialized_) {
        changeComponentCounts(normals, colours, weights);
        return;
    }
    normalComponents_ = normals;
    colorComponents_ = colours;
    weightComponents_ = weights;
}

void QRVISXVertexBuffer::setTexCoordComponents(int set, int count)
{
    if (set < 0 || set >= kTexCoordSets || !validCount(count)) {
        reportError("setTexCoordComponents", "Texture coordinate set or component count out of range");
        return;
    }
    if (initialized_) {
        changeTexCoordComponents(set, count);
        return;
    }
    texCoordComponents_[static_cast<std::size_t>(set)] = count;
}

int QRVISXVertexBuffer::getTexCoordComponents(int set) const
{
    return set >= 0 && set < kTexCoordSets ? texCoordComponents_[static_cast<std::size_t>(set)] : 0;
}

void QRVISXVertexBuffer::create(int vertexCount)
{
    create(vertexCount, 0);
}

void QRVISXVertexBuffer::create(int vertexCount, int indexCount)
{
    if (vertexCount < 0 || indexCount < 0) {
        reportError("create", "Vertex and index counts must not be negative");
        return;
    }
    clear();
    size(vertexCount, indexCount, false);
}

void QRVISXVertexBuffer::resize(int vertexCount)
{
    resize(vertexCount, 0);
}

void QRVISXVertexBuffer::resize(int vertexCount, int indexCount)
{
    if (vertexCount < 0 || indexCount < 0) {
        reportError("resize", "Vertex and index counts must not be negative");
        return;
    }
    size(vertexCount, indexCount, true);
}

void QRVISXVertexBuffer::size(int vertexCount, int indexCount, bool keep)
{
    // Buffer objects of the old size would let a draw read past their end.
    deleteBufferObjects();
    const auto n = static_cast<std::size_t>(vertexCount);
    auto fit = [&](std::vector<float>& array, int components) {
        if (!keep)
            array.clear();
        array.resize(n * static_cast<std::size_t>(components), 0.0f);
    };
    fit(positions_, 3);
    fit(normals_, normalComponents_);
    fit(colors_, colorComponents_);
    fit(weights_, weightComponents_);
    for (int set = 0; set < kTexCoordSets; ++set)
        fit(texCoords_[static_cast<std::size_t>(set)], texCoordComponents_[static_cast<std::size_t>(set)]);
    updateHighestSet();
    indexed_ = indexCount >= 1;
    if (!keep)
        indices_.clear();
    indices_.resize(indexed_ ? static_cast<std::size_t>(indexCount) : 0, 0);
    vertexHigh_ = vertexCount - 1;
    indexHigh_ = indexed_ ? indexCount - 1 : -1;
    initialized_ = true;
}

void QRVISXVertexBuffer::updateHighestSet()
{
    highestTexCoordSet_ = -1;
    for (int set = 0; set < kTexCoordSets; ++set)
        if (texCoordComponents_[static_cast<std::size_t>(set)] > 0)
            highestTexCoordSet_ = set;
}

void QRVISXVertexBuffer::repack(std::vector<float>& array, int vertexCount, int oldCount, int newCount)
{
    if (oldCount == newCount)
        return;
    std::vector<float> packed(static_cast<std::size_t>(vertexCount) * static_cast<std::size_t>(newCount), 0.0f);
    const int kept = std::min(oldCount, newCount);
    for (int vertex = 0; vertex < vertexCount; ++vertex)
        for (int component = 0; component < kept; ++component)
            packed[static_cast<std::size_t>(vertex * newCount + component)] =
                array[static_cast<std::size_t>(vertex * oldCount + component)];
    array = std::move(packed);
}

void QRVISXVertexBuffer::changeComponentCounts(int normals, int colours, int weights)
{
    if (!validCount(normals) || !validCount(colours) || !validCount(weights)) {
        reportError("changeComponentCounts", "Component counts must lie between 0 and 4");
        return;
    }
    deleteBufferObjects();
    const int vertexCount = getVertexCount();
    repack(normals_, vertexCount, normalComponents_, normals);
    repack(colors_, vertexCount, colorComponents_, colours);
    repack(weights_, vertexCount, weightComponents_, weights);
    normalComponents_ = normals;
    colorComponents_ = colours;
    weightComponents_ = weights;
}

void QRVISXVertexBuffer::changeTexCoordComponents(int set, int count)
{
    if (set < 0 || set >= kTexCoordSets || !validCount(count)) {
        reportError("changeTexCoordComponents", "Texture coordinate set or component count out of range");
        return;
    }
    deleteBufferObjects();
    auto& components = texCoordComponents_[static_cast<std::size_t>(set)];
    repack(texCoords_[static_cast<std::size_t>(set)], getVertexCount(), components, count);
    components = count;
    updateHighestSet();
}

void QRVISXVertexBuffer::checkVertex(int vertex) const
{
    if (vertex < 0 || vertex > vertexHigh_)
        throw std::out_of_range("Vertex index is out of valid range (visual experience\\qr_visx_vertexbuffer)");
}

void QRVISXVertexBuffer::checkIndex(int index) const
{
    if (index < 0 || index > indexHigh_)
        throw std::out_of_range("Index is out of valid range (visual experience\\qr_visx_vertexbuffer)");
}

Vector3 QRVISXVertexBuffer::getVertexPosition(int vertex) const
{
    checkVertex(vertex);
    const float* p = &positions_[static_cast<std::size_t>(vertex) * 3];
    return {p[0], p[1], p[2]};
}

void QRVISXVertexBuffer::setVertexPosition(int vertex, const Vector3& position)
{
    checkVertex(vertex);
    float* p = &positions_[static_cast<std::size_t>(vertex) * 3];
    p[0] = position.x;
    p[1] = position.y;
    p[2] = position.z;
}

Vector3 QRVISXVertexBuffer::getNormal(int vertex) const
{
    checkVertex(vertex);
    float values[3] = {};
    for (int k = 0; k < std::min(normalComponents_, 3); ++k)
        values[k] = normals_[static_cast<std::size_t>(vertex * normalComponents_ + k)];
    return {values[0], values[1], values[2]};
}

void QRVISXVertexBuffer::setNormal(int vertex, const Vector3& normal)
{
    checkVertex(vertex);
    const float values[3] = {normal.x, normal.y, normal.z};
    for (int k = 0; k < std::min(normalComponents_, 3); ++k)
        normals_[static_cast<std::size_t>(vertex * normalComponents_ + k)] = values[k];
}

Vector4 QRVISXVertexBuffer::getColor(int vertex) const
{
    checkVertex(vertex);
    float values[4] = {};
    for (int k = 0; k < std::min(colorComponents_, 4); ++k)
        values[k] = colors_[static_cast<std::size_t>(vertex * colorComponents_ + k)];
    return {values[0], values[1], values[2], values[3]};
}

void QRVISXVertexBuffer::setColor(int vertex, const Vector4& colour)
{
    checkVertex(vertex);
    const float values[4] = {colour.x, colour.y, colour.z, colour.w};
    for (int k = 0; k < std::min(colorComponents_, 4); ++k)
        colors_[static_cast<std::size_t>(vertex * colorComponents_ + k)] = values[k];
}

Vector2 QRVISXVertexBuffer::getTexCoord(int set, int vertex) const
{
    checkVertex(vertex);
    const int count = getTexCoordComponents(set);
    float values[2] = {};
    for (int k = 0; k < std::min(count, 2); ++k)
        values[k] = texCoords_[static_cast<std::size_t>(set)][static_cast<std::size_t>(vertex * count + k)];
    return {values[0], values[1]};
}

void QRVISXVertexBuffer::setTexCoord(int set, int vertex, const Vector2& coordinate)
{
    checkVertex(vertex);
    const int count = getTexCoordComponents(set);
    const float values[2] = {coordinate.x, coordinate.y};
    for (int k = 0; k < std::min(count, 2); ++k)
        texCoords_[static_cast<std::size_t>(set)][static_cast<std::size_t>(vertex * count + k)] = values[k];
}

void QRVISXVertexBuffer::setTexCoord4(int set, int vertex, const Vector4& coordinate)
{
    checkVertex(vertex);
    const int count = getTexCoordComponents(set);
    const float values[4] = {coordinate.x, coordinate.y, coordinate.z, coordinate.w};
    for (int k = 0; k < std::min(count, 4); ++k)
        texCoords_[static_cast<std::size_t>(set)][static_cast<std::size_t>(vertex * count + k)] = values[k];
}

void QRVISXVertexBuffer::setIndex(int index, int vertex)
{
    checkIndex(index);
    indices_[static_cast<std::size_t>(index)] = vertex;
}

int QRVISXVertexBuffer::getIndex(int index) const
{
    if (!indexed_)
        return -1;
    checkIndex(index);
    return indices_[static_cast<std::size_t>(index)];
}

void QRVISXVertexBuffer::copyVertex(const QRVISXVertexBuffer& source, int sourceVertex, int targetVertex)
{
    source.checkVertex(sourceVertex);
    checkVertex(targetVertex);
    setVertexPosition(targetVertex, source.getVertexPosition(sourceVertex));
    // The source may have fewer components than this buffer: those it lacks become zero, and
    // it is never read beyond its own per-vertex count.
    auto copy = [&](std::vector<float>& target, int targetCount, const std::vector<float>& from, int fromCount) {
        if (targetCount <= 0)
            return;
        for (int k = 0; k < targetCount; ++k)
            target[static_cast<std::size_t>(targetVertex * targetCount + k)] =
                k < fromCount ? from[static_cast<std::size_t>(sourceVertex * fromCount + k)] : 0.0f;
    };
    copy(normals_, normalComponents_, source.normals_, source.normalComponents_);
    copy(colors_, colorComponents_, source.colors_, source.colorComponents_);
    copy(weights_, weightComponents_, source.weights_, source.weightComponents_);
    for (std::size_t set = 0; set < kTexCoordSets; ++set)
        copy(texCoords_[set], texCoordComponents_[set], source.texCoords_[set], source.texCoordComponents_[set]);
}

void QRVISXVertexBuffer::generateVBO()
{
    if (!initialized_) {
        reportError("generateVBO", "Vertex buffer not initialized yet");
        return;
    }
    deleteBufferObjects();
    if (auto* buffers = manager())
        hasBufferObjects_ = buffers->createBufferObjects(*this);
}

void QRVISXVertexBuffer::deleteBufferObjects()
{
    if (!hasBufferObjects_)
        return;
    if (auto* buffers = manager())
        buffers->deleteBufferObjects(*this);
    // Without the manager the context went with the visual module, and with it the objects.
    bufferObjects_ = BufferObjects();
    hasBufferObjects_ = false;
}

void QRVISXVertexBuffer::render()
{
    renderWithMode(primitiveMode_);
}

void QRVISXVertexBuffer::renderWithMode(GLenum mode)
{
    renderRange(mode, 0, indexed_ ? indexHigh_ : vertexHigh_);
}

void QRVISXVertexBuffer::renderRange(GLenum mode, int first, int last)
{
    if (auto* buffers = manager())
        buffers->draw(*this, mode, last, first);
}

void QRVISXVertexBuffer::saveToStream(QRFILEFile& file)
{
    writeRecord(file);
}

void QRVISXVertexBuffer::writeRecord(QRFILEFile& file) const
{
    file.write(static_cast<std::int32_t>(normalComponents_));
    file.write(static_cast<std::int32_t>(colorComponents_));
    file.write(static_cast<std::int32_t>(weightComponents_));
    for (int count : texCoordComponents_)
        file.write(static_cast<std::int32_t>(count));
    file.write(static_cast<std::int32_t>(highestTexCoordSet_));
    file.write(indexed_);
    file.write(static_cast<std::int32_t>(getVertexCount()));
    if (indexed_)
        file.write(static_cast<std::int32_t>(getIndexCount()));
    writeFloats(file, positions_);
    writeFloats(file, normals_);
    writeFloats(file, colors_);
    writeFloats(file, weights_);
    for (const auto& set : texCoords_)
        writeFloats(file, set);
    // Only an indexed record carries indices; anything else would shift every later field.
    if (indexed_ && !indices_.empty())
        file.write(indices_.data(), static_cast<std::int64_t>(indices_.size() * sizeof(std::int32_t)));
}

void QRVISXVertexBuffer::loadFromStream(QRFILEFile& file)
{
    std::string error;
    if (!readRecord(file, error))
        reportError("loadFromStream", error);
}

bool QRVISXVertexBuffer::readRecord(QRFILEFile& file, std::string& error)
{
    clear();
    QRVISXBinaryReader reader(file);
    std::int32_t normals = 0, colours = 0, weights = 0, highest = 0, vertexCount = 0, indexCount = 0;
    std::array<std::int32_t, kTexCoordSets> sets{};
    std::uint8_t indexed = 0;
    bool complete = reader.readInt(normals) && reader.readInt(colours) && reader.readInt(weights);
    for (auto& count : sets)
        complete = complete && reader.readInt(count);
    complete = complete && reader.readInt(highest) && reader.readByte(indexed) && reader.readInt(vertexCount);
    if (complete && indexed)
        complete = reader.readInt(indexCount);
    if (!complete) {
        error = "The vertex buffer record is truncated";
        return false;
    }
    // Every count the buffer can hold is read; drawing leaves out the layouts OpenGL cannot take.
    bool countsValid = validCount(normals) && validCount(colours) && validCount(weights);
    // Summed wide: the counts are not yet known to be small.
    std::int64_t floatsPerVertex = std::int64_t{3} + normals + colours + weights;
    for (auto count : sets) {
        countsValid = countsValid && validCount(count);
        floatsPerVertex += count;
    }
    if (!countsValid) {
        error = "The vertex buffer record has invalid component counts";
        return false;
    }
    if (vertexCount < 0 || indexCount < 0) {
        error = "The vertex buffer record has a negative vertex or index count";
        return false;
    }
    const std::int64_t bytes = (vertexCount * floatsPerVertex + indexCount) * 4;
    if (bytes > reader.remaining()) {
        error = "The vertex buffer record is truncated: it announces " + std::to_string(vertexCount) +
                " vertices and " + std::to_string(indexCount) + " indices";
        return false;
    }
    setComponentCounts(normals, colours, weights);
    for (int set = 0; set < kTexCoordSets; ++set)
        setTexCoordComponents(set, sets[static_cast<std::size_t>(set)]);
    create(vertexCount, indexed ? indexCount : 0);
    bool read = readFloats(reader, positions_) && readFloats(reader, normals_) && readFloats(reader, colors_) &&
                readFloats(reader, weights_);
    for (auto& set : texCoords_)
        read = read && readFloats(reader, set);
    read = read && reader.readBytes(indices_.data(), static_cast<std::int64_t>(indices_.size() * sizeof(std::int32_t)));
    if (!read) {
        clear();
        error = "The vertex buffer record is truncated";
        return false;
    }
    for (std::int32_t index : indices_)
        if (index < 0 || index >= vertexCount) {
            clear();
            error = "The vertex buffer record has an index (" + std::to_string(index) + ") outside its " +
                    std::to_string(vertexCount) + " vertices";
            return false;
        }
    return true;
}

void QRVISXVertexBuffer::assign(const QRObject& source)
{
    const auto* buffer = dynamic_cast<const QRVISXVertexBuffer*>(&source);
    if (!buffer || buffer == this)
        return;
    deleteBufferObjects();
    primitiveMode_ = buffer->primitiveMode_;
    indexed_ = buffer->indexed_;
    normalComponents_ = buffer->normalComponents_;
    colorComponents_ = buffer->colorComponents_;
    weightComponents_ = buffer->weightComponents_;
    texCoordComponents_ = buffer->texCoordComponents_;
    highestTexCoordSet_ = buffer->highestTexCoordSet_;
    vertexHigh_ = buffer->vertexHigh_;
    indexHigh_ = buffer->indexHigh_;
    positions_ = buffer->positions_;
    normals_ = buffer->normals_;
    colors_ = buffer->colors_;
    weights_ = buffer->weights_;
    texCoords_ = buffer->texCoords_;
    indices_ = buffer->indices_;
    initialized_ = buffer->initialized_;
}
