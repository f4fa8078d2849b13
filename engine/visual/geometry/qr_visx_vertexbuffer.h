#pragma once
// Geometry in memory: per-vertex attribute arrays (positions, normals, colours, weights, eight
// texture coordinate sets) and an optional index array, drawn through the vertex buffer manager
// from static buffer objects or, without them, from the arrays themselves. Owned by whoever made
// it (a model level or group, a terrain block); it owns its arrays and its buffer objects.

#include "math/qr_math_types.h"
#include "resource/qr_resc_main.h"

#include <GL/glew.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QRVISXVertexBuffer : public QRRESCMain {
public:
    static constexpr int kTexCoordSets = 8;

    explicit QRVISXVertexBuffer(QRObject* owner);
    ~QRVISXVertexBuffer() override;

    // Deletes the buffer objects and empties every array; component counts and mode stay.
    void clear() override;
    bool isEmpty() const override { return vertexHigh_ == -1; }

    GLenum getPrimitiveMode() const { return primitiveMode_; }
    bool isIndexed() const { return indexed_; }
    int getVertexHigh() const { return vertexHigh_; }
    int getIndexHigh() const { return indexHigh_; }
    int getVertexCount() const { return vertexHigh_ + 1; }
    int getIndexCount() const { return indexHigh_ + 1; }
    bool isInitialized() const { return initialized_; }
    bool hasBufferObjects() const { return hasBufferObjects_; }

    // Triangles, not indexed, 3 normal components, nothing else.
    void setDefaults();
    void setPrimitive(bool indexed, GLenum mode);
    // Set the counts before sizing; on a sized buffer they re-pack the arrays as the change forms do.
    void setComponentCounts(int normals, int colours, int weights);
    void setTexCoordComponents(int set, int count);
    int getNormalComponents() const { return normalComponents_; }
    int getColorComponents() const { return colorComponents_; }
    int getWeightComponents() const { return weightComponents_; }
    int getTexCoordComponents(int set) const;
    int getHighestTexCoordSet() const { return highestTexCoordSet_; }

    // Discard the contents and size every array; the one-argument forms make no index array.
    void create(int vertexCount);
    void create(int vertexCount, int indexCount);
    // Size every array, keeping what fits; new elements are zero.
    void resize(int vertexCount);
    void resize(int vertexCount, int indexCount);
    // Re-pack an existing array to a new per-vertex count: per vertex the first min(old, new)
    // components stay, the rest are zero.
    void changeComponentCounts(int normals, int colours, int weights);
    void changeTexCoordComponents(int set, int count);

    // Element access; an index outside the arrays throws std::out_of_range, as it is a programming
    // error. Attribute setters write as many components as the buffer has (at most the value's).
    Vector3 getVertexPosition(int vertex) const;
    void setVertexPosition(int vertex, const Vector3& position);
    Vector3 getNormal(int vertex) const;
    void setNormal(int vertex, const Vector3& normal);
    Vector4 getColor(int vertex) const;
    void setColor(int vertex, const Vector4& colour);
    Vector2 getTexCoord(int set, int vertex) const;
    void setTexCoord(int set, int vertex, const Vector2& coordinate);
    // All four components of a set that has them (particle cells, sizes and turns ride in one).
    void setTexCoord4(int set, int vertex, const Vector4& coordinate);
    void setIndex(int index, int vertex);
    // -1 for a buffer without indices.
    int getIndex(int index) const;
    // Position and every attribute this buffer has, with this buffer's per-vertex counts.
    void copyVertex(const QRVISXVertexBuffer& source, int sourceVertex, int targetVertex);

    // The raw arrays, for drawing and bulk filling.
    const std::vector<float>& getPositions() const { return positions_; }
    const std::vector<float>& getNormals() const { return normals_; }
    const std::vector<float>& getColors() const { return colors_; }
    const std::vector<float>& getWeights() const { return weights_; }
    const std::vector<float>& getTexCoords(int set) const { return texCoords_.at(static_cast<std::size_t>(set)); }
    const std::vector<std::int32_t>& getIndices() const { return indices_; }

    // Uploads the arrays into static buffer objects (the arrays stay); needs a sized buffer.
    void generateVBO();
    void render();
    void renderWithMode(GLenum mode);
    // Elements first..last: indices when indexed, vertices otherwise.
    void renderRange(GLenum mode, int first, int last);

    void saveToStream(QRFILEFile& file) override;
    void loadFromStream(QRFILEFile& file) override;
    // The record without reporting: false with the reason when the record is truncated or would
    // make the buffer unsafe to draw (bad counts, indices outside the vertices). The buffer is
    // cleared on failure.
    bool readRecord(QRFILEFile& file, std::string& error);
    void writeRecord(QRFILEFile& file) const;

    // Counts, mode, indexed flag, vertices and indices of another vertex buffer.
    void assign(const QRObject& source) override;

    // Buffer object names, -1 when not created; the manager creates and deletes them.
    struct BufferObjects {
        GLint positions = -1;
        GLint normals = -1;
        GLint colors = -1;
        GLint weights = -1;
        GLint indices = -1;
        std::array<GLint, kTexCoordSets> texCoords{-1, -1, -1, -1, -1, -1, -1, -1};
    };
    const BufferObjects& getBufferObjects() const { return bufferObjects_; }
    BufferObjects& bufferObjects() { return bufferObjects_; }
    void setHasBufferObjects(bool value) { hasBufferObjects_ = value; }

private:
    void size(int vertexCount, int indexCount, bool keep);
    void updateHighestSet();
    void deleteBufferObjects();
    void checkVertex(int vertex) const;
    void checkIndex(int index) const;
    static void repack(std::vector<float>& array, int vertexCount, int oldCount, int newCount);

    GLenum primitiveMode_ = GL_TRIANGLES;
    bool indexed_ = false;
    int normalComponents_ = 3;
    int colorComponents_ = 0;
    int weightComponents_ = 0;
    std::array<int, kTexCoordSets> texCoordComponents_{};
    int highestTexCoordSet_ = -1;
    int vertexHigh_ = -1;
    int indexHigh_ = -1;
    std::vector<float> positions_;
    std::vector<float> normals_;
    std::vector<float> colors_;
    std::vector<float> weights_;
    std::array<std::vector<float>, kTexCoordSets> texCoords_;
    std::vector<std::int32_t> indices_;
    bool initialized_ = false;
    bool hasBufferObjects_ = false;
    BufferObjects bufferObjects_;
};
