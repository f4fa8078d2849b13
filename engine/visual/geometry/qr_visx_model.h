#pragma once
// A model: material instances and levels of detail; each level holds one vertex buffer whose index
// array its groups draw in ranges, each group with one of the model's material instances. Loads
// and saves the model file format ("QOR____1"). Levels can also be built from separately filled
// group buffers, which are merged into the level's buffer when the model is saved.
// A model owns its material instances and levels, a level its buffer and groups. Models of the
// game are owned by the world's model list.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"
#include "resource/qr_resc_main.h"

#include <GL/glew.h>

#include <cstdint>
#include <string>
#include <vector>

class QRFILEFile;
class QRVISXBinaryReader;
class QRVISXMaterialInstance;
class QRVISXModel;
class QRVISXModelLod;
class QRVISXVertexBuffer;

class QRVISXModelGroup : public QRObject {
public:
    explicit QRVISXModelGroup(QRVISXModelLod* lod);
    ~QRVISXModelGroup() override;

    // Draws with its material instance (or the default material) when asked, then its own buffer
    // whole, or, once merged, its range of the level's buffer.
    void render(bool withMaterials);

    // The group's own buffer, filled by a model builder and merged into the level's on save.
    QRVISXVertexBuffer* createBuffer();
    QRVISXVertexBuffer* getBuffer() const { return buffer_.get(); }
    bool hasBuffer() const { return buffer_ != nullptr; }
    // The buffer's mode while the group has one, else the mode recorded for its range.
    GLenum getPrimitiveMode() const;
    void setPrimitiveMode(std::int32_t mode) { primitiveMode_ = mode; }
    int getFirstIndex() const { return firstIndex_; }
    int getLastIndex() const { return lastIndex_; }
    void setRange(int first, int last);
    // A material instance of the group's model, or null for the default material.
    QRVISXMaterialInstance* getMaterialInstance() const { return materialInstance_; }
    void setMaterialInstance(QRVISXMaterialInstance* instance) { materialInstance_ = instance; }

    // Appends the group's buffer to its level's buffer, records the range it landed at and frees it.
    void addToLodBuffer();

    void writeRecord(QRFILEFile& file, const QRVISXModel& model) const;
    bool readRecord(QRVISXBinaryReader& reader, const QRVISXModel& model, std::string& error);

private:
    QRVISXModelLod* lod_;
    std::int32_t primitiveMode_ = -1;
    std::int32_t firstIndex_ = -1;
    std::int32_t lastIndex_ = -1;
    QROwned<QRVISXVertexBuffer> buffer_;
    QRVISXMaterialInstance* materialInstance_ = nullptr;
};

class QRVISXModelLod : public QRObject {
public:
    explicit QRVISXModelLod(QRVISXModel* model);
    ~QRVISXModelLod() override;

    QRVISXModel* getModel() const { return model_; }

    // Clears the group list and creates count new groups.
    void setGroupCount(int count);
    int getGroupCount() const { return static_cast<int>(groups_.size()); }
    // Null outside 0..count-1.
    QRVISXModelGroup* getGroup(int index) const;

    QRVISXVertexBuffer* getVertexBuffer() const { return buffer_.get(); }
    // A new, empty buffer replaces the level's buffer.
    QRVISXVertexBuffer* createVertexBuffer();

    // Stored in the file and written back unchanged (the flag as the very byte read); the engine
    // gives them no meaning.
    bool getFlag() const { return flag_ != 0; }
    void setFlag(bool flag) { flag_ = flag ? 1 : 0; }
    // index 0 or 1.
    float getValue(int index) const { return values_[index == 0 ? 0 : 1]; }
    void setValue(int index, float value) { values_[index == 0 ? 0 : 1] = value; }

    const Vector3& getBoundingBoxMinimum() const { return boxMinimum_; }
    const Vector3& getBoundingBoxMaximum() const { return boxMaximum_; }
    float getRadius() const { return radius_; }

    // Merges the group buffers (group 0 first) into a new level buffer.
    void buildBuffer();
    // Every group that still holds a buffer of its own appends it to the level's buffer (built
    // first when the level has none), so that its range is what a saved file records.
    void mergeGroupBuffers();
    // Box and radius around every vertex and the origin; builds the buffer first when missing.
    void updateBounds();
    // Every group in list order.
    void render(bool withMaterials);

    // Saving merges the group buffers and refreshes the bounds first.
    void writeRecord(QRFILEFile& file);
    bool readRecord(QRVISXBinaryReader& reader, QRFILEFile& file, std::string& error);

private:
    // The level's buffer, ready to take a group buffer's vertices: created (with that buffer's
    // layout) when the level has none, and made indexed when its vertices are drawn in order.
    void prepareBufferFor(const QRVISXVertexBuffer& group);

    QRVISXModel* model_;
    std::uint8_t flag_ = 1;
    float values_[2] = {0.0f, 0.0f};
    Vector3 boxMinimum_;
    Vector3 boxMaximum_;
    float radius_ = 0.0f;
    QROwned<QRVISXVertexBuffer> buffer_;
    std::vector<QROwned<QRVISXModelGroup>> groups_;
};

class QRVISXModel : public QRRESCMain {
public:
    explicit QRVISXModel(QRObject* owner);
    ~QRVISXModel() override;

    void loadFromFile(const std::string& path) override;
    // Live reload: the file is read into the model only when it holds a whole model; otherwise the
    // model keeps drawing what it held (reported). Buffer objects are made again when it had them.
    void updateFromFile() override;
    void saveToFile(const std::string& path) override;
    void loadFromStream(QRFILEFile& file) override;
    void saveToStream(QRFILEFile& file) override;
    // The model record; false (the model left empty, the reason in error) for a truncated file or
    // one whose contents could not be drawn safely.
    bool readRecord(QRFILEFile& file, std::string& error);

    void clear() override;
    bool isEmpty() const override { return lods_.empty(); }

    // Append empty levels / material instances until there are count.
    void setLodCount(int count);
    void setMaterialInstanceCount(int count);
    int getLodCount() const { return static_cast<int>(lods_.size()); }
    int getMaterialInstanceCount() const { return static_cast<int>(materialInstances_.size()); }
    // Null outside 0..count-1.
    QRVISXModelLod* getLod(int index) const;
    QRVISXMaterialInstance* getMaterialInstance(int index) const;
    // -1 for null or an instance of another model.
    int indexOfMaterialInstance(const QRVISXMaterialInstance* instance) const;

    bool hasBufferObjects() const;

    // Level 0 with materials.
    void render();
    // Level index (an animation frame for characters); an index the model lacks draws nothing.
    void renderLod(int index, bool withMaterials);
    // Static buffer objects for every level, once after loading.
    void generateVBO();

private:
    std::vector<QROwned<QRVISXMaterialInstance>> materialInstances_;
    std::vector<QROwned<QRVISXModelLod>> lods_;
};
