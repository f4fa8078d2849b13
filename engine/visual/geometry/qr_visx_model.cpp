#include "visual/geometry/qr_visx_model.h"

#include "core/qr_core_log.h"
#include "file/qr_file_file.h"
#include "visual/geometry/qr_visx_binaryreader.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialinstance.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr char kMagic[] = "QOR____1";
constexpr std::int64_t kMagicSize = 8;
// The smallest records the file can hold, to refuse counts the rest of the file cannot carry:
// a material instance (name, material file name, empty script), a level (name, flag, two values,
// box, radius, an empty vertex buffer, no groups) and a group (name, mode, range, instance).
constexpr std::int64_t kMinimumInstanceRecord = 4 + 4 + 4;
constexpr std::int64_t kMinimumVertexBufferRecord = 11 * 4 + 4 + 1 + 4;
constexpr std::int64_t kMinimumLodRecord = 4 + 1 + 2 * 4 + 2 * 12 + 4 + kMinimumVertexBufferRecord + 4;
constexpr std::int64_t kMinimumGroupRecord = 4 + 4 * 4;

bool isPrimitiveMode(std::int32_t mode)
{
    return mode >= static_cast<std::int32_t>(GL_POINTS) && mode <= static_cast<std::int32_t>(GL_POLYGON);
}

QRVISXMaterialManager* materialManager()
{
    auto* visual = qrVisual();
    return visual ? visual->getMaterialManager() : nullptr;
}
} // namespace

// --- Group -------------------------------------------------------------------------------------

QRVISXModelGroup::QRVISXModelGroup(QRVISXModelLod* lod) : QRObject(lod, "Group"), lod_(lod) {}

QRVISXModelGroup::~QRVISXModelGroup() = default;

QRVISXVertexBuffer* QRVISXModelGroup::createBuffer()
{
    buffer_ = qrNew<QRVISXVertexBuffer>(this);
    return buffer_.get();
}

GLenum QRVISXModelGroup::getPrimitiveMode() const
{
    return buffer_ ? buffer_->getPrimitiveMode() : static_cast<GLenum>(primitiveMode_);
}

void QRVISXModelGroup::setRange(int first, int last)
{
    firstIndex_ = first;
    lastIndex_ = last;
}

void QRVISXModelGroup::render(bool withMaterials)
{
    if (withMaterials) {
        if (materialInstance_) {
            materialInstance_->use();
        } else if (auto* materials = materialManager()) {
            materials->resetForMaterial();
            materials->apply();
        }
    }
    if (buffer_) {
        buffer_->renderWithMode(buffer_->getPrimitiveMode());
        return;
    }
    auto* levelBuffer = lod_->getVertexBuffer();
    // An unset or empty range draws nothing, and so does a mode OpenGL does not know (a file
    // may record a range whose mode was never set).
    if (levelBuffer && firstIndex_ >= 0 && lastIndex_ >= firstIndex_ && isPrimitiveMode(primitiveMode_))
        levelBuffer->renderRange(static_cast<GLenum>(primitiveMode_), firstIndex_, lastIndex_);
}

void QRVISXModelGroup::addToLodBuffer()
{
    if (!buffer_) {
        reportError("addGroupBufferToLODBuffer", "No vertex buffer for group present");
        return;
    }
    QRVISXVertexBuffer* level = lod_->getVertexBuffer();
    if (!level) {
        reportError("addGroupBufferToLODBuffer", "No vertex buffer for LOD present");
        return;
    }
    QRVISXVertexBuffer& group = *buffer_;
    const bool smaller = level->getNormalComponents() < group.getNormalComponents() ||
                         level->getColorComponents() < group.getColorComponents() ||
                         level->getWeightComponents() < group.getWeightComponents() ||
                         [&] {
                             for (int set = 0; set < QRVISXVertexBuffer::kTexCoordSets; ++set)
                                 if (level->getTexCoordComponents(set) < group.getTexCoordComponents(set))
                                     return true;
                             return false;
                         }();
    if (smaller) {
        logDebug("Making buffer compatible with group buffer");
        level->changeComponentCounts(std::max(level->getNormalComponents(), group.getNormalComponents()),
                                     std::max(level->getColorComponents(), group.getColorComponents()),
                                     std::max(level->getWeightComponents(), group.getWeightComponents()));
        for (int set = 0; set < QRVISXVertexBuffer::kTexCoordSets; ++set)
            if (level->getTexCoordComponents(set) < group.getTexCoordComponents(set))
                level->changeTexCoordComponents(set, group.getTexCoordComponents(set));
    }
    const int levelVertices = level->getVertexCount();
    const int levelIndices = level->getIndexCount();
    const int groupVertices = group.getVertexCount();
    // Groups draw ranges of the level's index array, so a group without indices brings one
    // index per vertex; otherwise its range would be empty and it would never be drawn.
    const bool groupIndexed = group.isIndexed();
    const int groupIndices = groupIndexed ? group.getIndexCount() : groupVertices;
    firstIndex_ = levelIndices;
    lastIndex_ = levelIndices + groupIndices - 1;
    primitiveMode_ = static_cast<std::int32_t>(group.getPrimitiveMode());
    logDebug("Transfering vertex data from Group to LOD...");
    level->resize(levelVertices + groupVertices, levelIndices + groupIndices);
    for (int k = 0; k < groupVertices; ++k)
        level->copyVertex(group, k, levelVertices + k);
    for (int k = 0; k < groupIndices; ++k)
        level->setIndex(levelIndices + k, levelVertices + (groupIndexed ? group.getIndex(k) : k));
    buffer_.reset();
}

void QRVISXModelGroup::writeRecord(QRFILEFile& file, const QRVISXModel& model) const
{
    file.write(getName());
    file.write(static_cast<std::int32_t>(primitiveMode_));
    file.write(firstIndex_);
    file.write(lastIndex_);
    file.write(static_cast<std::int32_t>(model.indexOfMaterialInstance(materialInstance_)));
}

bool QRVISXModelGroup::readRecord(QRVISXBinaryReader& reader, const QRVISXModel& model, std::string& error)
{
    std::string name;
    std::int32_t mode = 0, first = 0, last = 0, instance = 0;
    if (!reader.readString(name) || !reader.readInt(mode) || !reader.readInt(first) || !reader.readInt(last) ||
        !reader.readInt(instance)) {
        error = "the group record is truncated";
        return false;
    }
    setName(name);
    // The mode is stored as it was set, valid or not; drawing skips a mode OpenGL does not know.
    const bool unset = first == -1 && last == -1;
    // A range beyond the level's buffer would make every draw of the group read past it.
    const QRVISXVertexBuffer* levelBuffer = lod_->getVertexBuffer();
    const int high = levelBuffer->isIndexed() ? levelBuffer->getIndexHigh() : levelBuffer->getVertexHigh();
    if (!unset && (first < 0 || last < first - 1 || last > high)) {
        error = "the index range " + std::to_string(first) + ".." + std::to_string(last) +
                " lies outside the level's " + std::to_string(high + 1) + " elements";
        return false;
    }
    if (instance < -1 || instance >= model.getMaterialInstanceCount()) {
        error = "the material instance index " + std::to_string(instance) + " is not one of the model's " +
                std::to_string(model.getMaterialInstanceCount());
        return false;
    }
    primitiveMode_ = mode;
    firstIndex_ = first;
    lastIndex_ = last;
    materialInstance_ = model.getMaterialInstance(instance);
    return true;
}

// --- Level of detail ---------------------------------------------------------------------------

QRVISXModelLod::QRVISXModelLod(QRVISXModel* model) : QRObject(model, "LOD"), model_(model) {}

QRVISXModelLod::~QRVISXModelLod()
{
    // Groups draw from the level's buffer and refer to the model's instances: they go first.
    groups_.clear();
    buffer_.reset();
}

void QRVISXModelLod::setGroupCount(int count)
{
    groups_.clear();
    for (int i = 0; i < count; ++i)
        groups_.push_back(qrNew<QRVISXModelGroup>(this));
}

QRVISXModelGroup* QRVISXModelLod::getGroup(int index) const
{
    return index >= 0 && index < getGroupCount() ? groups_[static_cast<std::size_t>(index)].get() : nullptr;
}

QRVISXVertexBuffer* QRVISXModelLod::createVertexBuffer()
{
    buffer_ = qrNew<QRVISXVertexBuffer>(this);
    return buffer_.get();
}

void QRVISXModelLod::buildBuffer()
{
    QRVISXVertexBuffer* level = createVertexBuffer();
    if (groups_.empty() || !groups_.front()->hasBuffer())
        return;
    const QRVISXVertexBuffer& first = *groups_.front()->getBuffer();
    level->setPrimitive(false, first.getPrimitiveMode());
    level->setComponentCounts(first.getNormalComponents(), first.getColorComponents(), first.getWeightComponents());
    for (int set = 0; set < QRVISXVertexBuffer::kTexCoordSets; ++set)
        level->setTexCoordComponents(set, first.getTexCoordComponents(set));
    level->create(0, 0);
    for (auto& group : groups_)
        group->addToLodBuffer();
    logDebug("  Vertices in LOD Buffer: " + std::to_string(level->getVertexCount()));
    logDebug("  Indices in LOD Buffer:  " + std::to_string(level->getIndexCount()));
}

void QRVISXModelLod::mergeGroupBuffers()
{
    if (!buffer_)
        buildBuffer();
    for (auto& group : groups_) {
        if (!group->hasBuffer())
            continue;
        prepareBufferFor(*group->getBuffer());
        group->addToLodBuffer();
    }
}

void QRVISXModelLod::prepareBufferFor(const QRVISXVertexBuffer& group)
{
    if (!buffer_)
        createVertexBuffer();
    QRVISXVertexBuffer& level = *buffer_;
    if (!level.isInitialized()) {
        // Built without a first group buffer (or never built): it takes the layout of this one.
        level.setPrimitive(false, group.getPrimitiveMode());
        level.setComponentCounts(group.getNormalComponents(), group.getColorComponents(),
                                 group.getWeightComponents());
        for (int set = 0; set < QRVISXVertexBuffer::kTexCoordSets; ++set)
            level.setTexCoordComponents(set, group.getTexCoordComponents(set));
        level.create(0, 0);
    } else if (!level.isIndexed() && level.getVertexCount() > 0) {
        // Ranges of a level without indices count vertices. One index per vertex in order keeps
        // every range drawing what it drew once the appended group brings indices.
        const int vertices = level.getVertexCount();
        level.resize(vertices, vertices);
        for (int vertex = 0; vertex < vertices; ++vertex)
            level.setIndex(vertex, vertex);
    }
}

void QRVISXModelLod::updateBounds()
{
    if (!buffer_)
        buildBuffer();
    // Starting at the origin keeps it inside the box, as the game's placement expects.
    boxMinimum_ = {};
    boxMaximum_ = {};
    radius_ = 0.0f;
    for (int vertex = 0; vertex < buffer_->getVertexCount(); ++vertex) {
        const Vector3 p = buffer_->getVertexPosition(vertex);
        boxMinimum_ = {std::min(boxMinimum_.x, p.x), std::min(boxMinimum_.y, p.y), std::min(boxMinimum_.z, p.z)};
        boxMaximum_ = {std::max(boxMaximum_.x, p.x), std::max(boxMaximum_.y, p.y), std::max(boxMaximum_.z, p.z)};
        radius_ = std::max(radius_, std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z));
    }
}

void QRVISXModelLod::render(bool withMaterials)
{
    for (auto& group : groups_)
        group->render(withMaterials);
}

void QRVISXModelLod::writeRecord(QRFILEFile& file)
{
    // A group still holding its own buffer would be stored without geometry (mode and range -1).
    mergeGroupBuffers();
    updateBounds();
    file.write(getName());
    file.write(flag_);
    file.write(values_[0]);
    file.write(values_[1]);
    file.write(boxMinimum_);
    file.write(boxMaximum_);
    file.write(radius_);
    buffer_->writeRecord(file);
    file.write(static_cast<std::int32_t>(groups_.size()));
    for (const auto& group : groups_)
        group->writeRecord(file, *model_);
}

bool QRVISXModelLod::readRecord(QRVISXBinaryReader& reader, QRFILEFile& file, std::string& error)
{
    std::string name;
    std::uint8_t flag = 0;
    if (!reader.readString(name) || !reader.readByte(flag) || !reader.readFloat(values_[0]) ||
        !reader.readFloat(values_[1]) || !reader.readVector3(boxMinimum_) || !reader.readVector3(boxMaximum_) ||
        !reader.readFloat(radius_)) {
        error = "the level record is truncated";
        return false;
    }
    setName(name);
    flag_ = flag;
    if (!createVertexBuffer()->readRecord(file, error))
        return false;
    std::int32_t count = 0;
    if (!reader.readInt(count)) {
        error = "the level record is truncated";
        return false;
    }
    if (!reader.fits(count, kMinimumGroupRecord)) {
        error = "the group count " + std::to_string(count) + " does not fit the rest of the file";
        return false;
    }
    setGroupCount(count);
    for (int i = 0; i < count; ++i)
        if (!groups_[static_cast<std::size_t>(i)]->readRecord(reader, *model_, error)) {
            error = "group " + std::to_string(i) + ": " + error;
            return false;
        }
    return true;
}

// --- Model -------------------------------------------------------------------------------------

QRVISXModel::QRVISXModel(QRObject* owner) : QRRESCMain(owner, "Model") {}

QRVISXModel::~QRVISXModel()
{
    clear();
}

void QRVISXModel::clear()
{
    // Levels first: their groups refer to the material instances.
    lods_.clear();
    materialInstances_.clear();
}

void QRVISXModel::setLodCount(int count)
{
    while (getLodCount() < count)
        lods_.push_back(qrNew<QRVISXModelLod>(this));
}

void QRVISXModel::setMaterialInstanceCount(int count)
{
    while (getMaterialInstanceCount() < count)
        materialInstances_.push_back(qrNew<QRVISXMaterialInstance>(this));
}

QRVISXModelLod* QRVISXModel::getLod(int index) const
{
    return index >= 0 && index < getLodCount() ? lods_[static_cast<std::size_t>(index)].get() : nullptr;
}

QRVISXMaterialInstance* QRVISXModel::getMaterialInstance(int index) const
{
    return index >= 0 && index < getMaterialInstanceCount() ? materialInstances_[static_cast<std::size_t>(index)].get()
                                                            : nullptr;
}

int QRVISXModel::indexOfMaterialInstance(const QRVISXMaterialInstance* instance) const
{
    for (std::size_t i = 0; i < materialInstances_.size(); ++i)
        if (instance && materialInstances_[i].get() == instance)
            return static_cast<int>(i);
    return -1;
}

void QRVISXModel::render()
{
    if (!lods_.empty())
        renderLod(0, true);
}

void QRVISXModel::renderLod(int index, bool withMaterials)
{
    if (auto* lod = getLod(index))
        lod->render(withMaterials);
}

void QRVISXModel::generateVBO()
{
    for (auto& lod : lods_)
        if (auto* buffer = lod->getVertexBuffer(); buffer && buffer->isInitialized())
            buffer->generateVBO();
}

bool QRVISXModel::hasBufferObjects() const
{
    for (const auto& lod : lods_)
        if (const auto* buffer = lod->getVertexBuffer(); buffer && buffer->hasBufferObjects())
            return true;
    return false;
}

void QRVISXModel::updateFromFile()
{
    const std::string path = getFullFileName();
    if (path.empty())
        return;
    if (auto* log = qrLog())
        log->logInformation("Updating managed object \"" + getName() + "\"");
    const bool hadBufferObjects = hasBufferObjects();
    // The model keeps its contents aside until the new file proved whole: a file caught half
    // written (or broken) must not make the model vanish from the world.
    std::vector<QROwned<QRVISXMaterialInstance>> previousInstances = std::move(materialInstances_);
    std::vector<QROwned<QRVISXModelLod>> previousLods = std::move(lods_);
    materialInstances_.clear();
    lods_.clear();
    const std::string previousName = getName();
    std::string error;
    bool read = false;
    {
        QRFILEFile file(this, path, QRFileAccess::Read, QRFileType::Binary);
        read = file.isOpen() && readRecord(file, error);
        if (!file.isOpen())
            error = "the file cannot be opened";
        else if (read && lods_.empty())
            error = "the file holds no level to draw";
        read = read && !lods_.empty();
    }
    if (!read) {
        clear();
        materialInstances_ = std::move(previousInstances);
        lods_ = std::move(previousLods);
        setName(previousName);
        reportError("updateFromFile", "Could not reload model \"" + getFileName() + "\": " + error +
                                          "; it keeps its previous contents");
        return;
    }
    // Levels first: their groups refer to the material instances.
    previousLods.clear();
    previousInstances.clear();
    if (hadBufferObjects)
        generateVBO();
}

void QRVISXModel::loadFromFile(const std::string& path)
{
    logDebug("Loading model \"" + getName() + "\" from file \"" + path + "\"");
    QRFILEFile file(this, path, QRFileAccess::Read, QRFileType::Binary);
    if (file.isOpen()) {
        loadFromStream(file);
        file.close();
    }
    setFileName(path);
}

void QRVISXModel::saveToFile(const std::string& path)
{
    logDebug("Saving model \"" + getName() + "\" to file \"" + path + "\"");
    QRFILEFile file(this, path, QRFileAccess::Write, QRFileType::Binary);
    if (!file.isOpen())
        return;
    saveToStream(file);
    if (file.close())
        setFileName(path);
}

void QRVISXModel::saveToStream(QRFILEFile& file)
{
    file.write(std::string(kMagic, kMagicSize), static_cast<std::int32_t>(kMagicSize));
    file.write(getName());
    file.write(static_cast<std::int32_t>(materialInstances_.size()));
    for (auto& instance : materialInstances_)
        instance->saveToStream(file);
    file.write(static_cast<std::int32_t>(lods_.size()));
    for (auto& lod : lods_)
        lod->writeRecord(file);
}

void QRVISXModel::loadFromStream(QRFILEFile& file)
{
    std::string error;
    if (!readRecord(file, error))
        reportError("loadFromStream", "Could not load model \"" + file.getFileName() + "\": " + error);
}

bool QRVISXModel::readRecord(QRFILEFile& file, std::string& error)
{
    clear();
    QRVISXBinaryReader reader(file);
    auto fail = [&](const std::string& reason) {
        clear();
        error = reason;
        return false;
    };
    // The magic is not checked: a file with another one is read all the same.
    char magic[kMagicSize] = {};
    std::string name;
    if (!reader.readBytes(magic, kMagicSize) || !reader.readString(name))
        return fail("the file ends inside the model header");
    setName(name);

    std::int32_t instanceCount = 0;
    if (!reader.readInt(instanceCount))
        return fail("the file ends inside the model header");
    if (!reader.fits(instanceCount, kMinimumInstanceRecord))
        return fail("the material instance count " + std::to_string(instanceCount) +
                    " does not fit the rest of the file");
    setMaterialInstanceCount(instanceCount);
    for (int i = 0; i < instanceCount; ++i) {
        // Records have no size of their own: after a damaged one every later field is misread.
        std::string reason;
        if (!materialInstances_[static_cast<std::size_t>(i)]->readRecord(file, reason))
            return fail("material instance " + std::to_string(i) + ": " + reason);
    }
    for (auto& instance : materialInstances_)
        instance->compile();

    std::int32_t lodCount = 0;
    if (!reader.readInt(lodCount))
        return fail("the file ends before the level count");
    if (!reader.fits(lodCount, kMinimumLodRecord))
        return fail("the level count " + std::to_string(lodCount) + " does not fit the rest of the file");
    setLodCount(lodCount);
    for (int i = 0; i < lodCount; ++i) {
        std::string reason;
        if (!lods_[static_cast<std::size_t>(i)]->readRecord(reader, file, reason))
            return fail("level " + std::to_string(i) + ": " + reason);
    }
    return true;
}
