#include "editor/app_edit_history.h"

#include "entities/app_entt_main.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "file/qr_file_file.h"
#include "file/qr_file_stream.h"
#include "math/qr_math_vector.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {
constexpr int kStored = APPENVRMain::kStoredVertexCount;
constexpr int kCells = APPENVRMain::kCellCount;
constexpr int kAreas = APPENVRMain::kAreaCount;
constexpr int kBlocksPerSide = APPENVRMain::kAreaCount * APPENVRMain::kBlocksPerArea;
// Boxes are numbered blocks first (global x * 16 + global z), then areas (256 + ax * 4 + az).
constexpr int kBlockBoxes = kBlocksPerSide * kBlocksPerSide;
constexpr int kBoxes = kBlockBoxes + kAreas * kAreas;
const char* const kRecordName = "undo history";

// Values compare by their bytes: a restored grid must be the same bytes the area file would get.
template <class T>
bool sameBytes(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

APPENVRBlock* blockOfBox(const APPENVRMain& environment, int box)
{
    const int gx = box / kBlocksPerSide;
    const int gz = box % kBlocksPerSide;
    const int perArea = APPENVRMain::kBlocksPerArea;
    return environment.getBlock(gx / perArea, gz / perArea, gx % perArea, gz % perArea);
}

const APPENVRBox& boxAt(const APPENVRMain& environment, int box)
{
    if (box < kBlockBoxes)
        return blockOfBox(environment, box)->getBounds();
    const int area = box - kBlockBoxes;
    return environment.getArea(area / kAreas, area % kAreas)->getBounds();
}

APPENVRAreaIndex areaOfBox(int box)
{
    if (box < kBlockBoxes)
        return {box / kBlocksPerSide / APPENVRMain::kBlocksPerArea, box % kBlocksPerSide / APPENVRMain::kBlocksPerArea};
    const int area = box - kBlockBoxes;
    return {area / kAreas, area % kAreas};
}

// An entity as its area file would hold it, plus where in the file: the block and the place in
// the block's list. The name is kept too, though no file holds it, since the attribute window
// edits it.
struct EntityState {
    std::string typeName;
    std::string name;
    std::vector<std::uint8_t> record;
    APPENVRBlockIndex block;
    int slot = 0;

    bool operator==(const EntityState& other) const
    {
        return typeName == other.typeName && name == other.name && record == other.record &&
               block.ax == other.block.ax && block.az == other.block.az && block.bx == other.block.bx &&
               block.bz == other.block.bz && slot == other.slot;
    }
    std::size_t bytes() const { return sizeof(EntityState) + typeName.size() + name.size() + record.size(); }
};

struct VertexChange {
    std::uint32_t index;
    APPENVRVertex before;
    APPENVRVertex after;
};

struct CellChange {
    std::uint32_t index;
    std::uint32_t before;
    std::uint32_t after;
};

struct BoxChange {
    int index;
    APPENVRBox before;
    APPENVRBox after;
};
} // namespace

class APPEDITHistoryStep {
public:
    std::string name;
    std::vector<VertexChange> vertices;
    std::vector<CellChange> cells;
    std::vector<BoxChange> boxes;
    int entityKey = 0;
    std::optional<EntityState> entityBefore;
    std::optional<EntityState> entityAfter;
    std::vector<APPENVRAreaIndex> areas;

    bool isEmpty() const { return vertices.empty() && cells.empty() && boxes.empty() && entityBefore == entityAfter; }
    std::size_t bytes() const
    {
        return sizeof(*this) + name.size() + vertices.size() * sizeof(VertexChange) + cells.size() * sizeof(CellChange) +
               boxes.size() * sizeof(BoxChange) + areas.size() * sizeof(APPENVRAreaIndex) +
               (entityBefore ? entityBefore->bytes() : 0) + (entityAfter ? entityAfter->bytes() : 0);
    }
    void addArea(APPENVRAreaIndex area)
    {
        const bool known = std::any_of(areas.begin(), areas.end(),
                                       [&](const APPENVRAreaIndex& a) { return a.ax == area.ax && a.az == area.az; });
        if (!known)
            areas.push_back(area);
    }
    void findAreas()
    {
        for (const VertexChange& change : vertices)
            addArea({static_cast<int>(change.index) / kStored / APPENVRMain::kVerticesPerArea,
                     static_cast<int>(change.index) % kStored / APPENVRMain::kVerticesPerArea});
        for (const CellChange& change : cells)
            addArea({static_cast<int>(change.index) / kCells / APPENVRMain::kCellsPerArea,
                     static_cast<int>(change.index) % kCells / APPENVRMain::kCellsPerArea});
        for (const BoxChange& change : boxes)
            addArea(areaOfBox(change.index));
        for (const auto* state : {&entityBefore, &entityAfter})
            if (*state)
                addArea({(*state)->block.ax, (*state)->block.az});
    }
};

// The terrain as a step began: every stored vertex, every cell, every box.
struct APPEDITHistory::TerrainState {
    std::vector<APPENVRVertex> vertices;
    std::vector<std::uint32_t> cells;
    std::vector<APPENVRBox> boxes;

    void capture(const APPENVRMain& environment)
    {
        vertices.resize(static_cast<std::size_t>(kStored) * kStored);
        cells.resize(static_cast<std::size_t>(kCells) * kCells);
        boxes.resize(kBoxes);
        for (int x = 0; x < kStored; ++x)
            for (int z = 0; z < kStored; ++z)
                vertices[static_cast<std::size_t>(x * kStored + z)] = environment.getVertex(x, z);
        for (int x = 0; x < kCells; ++x)
            for (int z = 0; z < kCells; ++z)
                cells[static_cast<std::size_t>(x * kCells + z)] = environment.getGroundCell(x, z);
        for (int box = 0; box < kBoxes; ++box)
            boxes[static_cast<std::size_t>(box)] = boxAt(environment, box);
    }

    // What differs between this state and the environment now.
    void compare(const APPENVRMain& environment, APPEDITHistoryStep& step) const
    {
        for (int x = 0; x < kStored; ++x) {
            for (int z = 0; z < kStored; ++z) {
                const auto index = static_cast<std::uint32_t>(x * kStored + z);
                const APPENVRVertex& now = environment.getVertex(x, z);
                if (!sameBytes(vertices[index], now))
                    step.vertices.push_back({index, vertices[index], now});
            }
        }
        for (int x = 0; x < kCells; ++x) {
            for (int z = 0; z < kCells; ++z) {
                const auto index = static_cast<std::uint32_t>(x * kCells + z);
                const std::uint32_t now = environment.getGroundCell(x, z);
                if (cells[index] != now)
                    step.cells.push_back({index, cells[index], now});
            }
        }
        for (int box = 0; box < kBoxes; ++box) {
            const APPENVRBox& now = boxAt(environment, box);
            if (!sameBytes(boxes[static_cast<std::size_t>(box)], now))
                step.boxes.push_back({box, boxes[static_cast<std::size_t>(box)], now});
        }
    }
};

namespace {
void restoreTerrain(APPENVRMain& environment, const APPEDITHistoryStep& step, bool undo)
{
    // Setting a vertex or cell marks the blocks drawing it for a rebuild, as an edit does.
    for (const VertexChange& change : step.vertices)
        environment.setVertex(static_cast<int>(change.index) / kStored, static_cast<int>(change.index) % kStored,
                              undo ? change.before : change.after);
    for (const CellChange& change : step.cells)
        environment.setGroundCell(static_cast<int>(change.index) / kCells, static_cast<int>(change.index) % kCells,
                                  undo ? change.before : change.after);
    for (const BoxChange& change : step.boxes) {
        const APPENVRBox& box = undo ? change.before : change.after;
        if (change.index < kBlockBoxes) {
            blockOfBox(environment, change.index)->setBounds(box);
        } else {
            const APPENVRAreaIndex area = areaOfBox(change.index);
            environment.getArea(area.ax, area.az)->setBounds(box);
        }
    }
}

APPENTTMain* findEntity(const APPWRLDEntities& entities, std::uint64_t serial)
{
    for (int i = 0; i < entities.getEntityCount(); ++i)
        if (entities.getEntity(i)->getSerial() == serial)
            return entities.getEntity(i);
    return nullptr;
}
} // namespace

APPEDITHistory::APPEDITHistory(QRObject* owner, std::function<APPWRLDMain*()> world)
    : QRObject(owner, "Edit History"), world_(std::move(world))
{
}

APPEDITHistory::~APPEDITHistory() = default;

int APPEDITHistory::addListener(Listener listener)
{
    listeners_.push_back({nextListenerId_, std::move(listener), {}});
    return nextListenerId_++;
}

int APPEDITHistory::addClearListener(ClearListener listener)
{
    listeners_.push_back({nextListenerId_, {}, std::move(listener)});
    return nextListenerId_++;
}

void APPEDITHistory::removeListener(int id)
{
    std::erase_if(listeners_, [id](const Entry& entry) { return entry.id == id; });
}

APPWRLDMain* APPEDITHistory::world() const
{
    return world_ ? world_() : nullptr;
}

bool APPEDITHistory::isStale() const
{
    const APPWRLDMain* current = world();
    return current != stepsWorld_ || (current && current->getEnvironment()->getAreaLoadCount() != stepsLoads_);
}

void APPEDITHistory::dropIfStale()
{
    if (!isStale())
        return;
    const bool hadSteps = !steps_.empty() || isOpen();
    if (hadSteps)
        clear();
    else
        serials_.clear();
    const APPWRLDMain* current = world();
    stepsWorld_ = current;
    stepsLoads_ = current ? current->getEnvironment()->getAreaLoadCount() : 0;
}

bool APPEDITHistory::canUndo() const
{
    // A stroke stays open until a frame sees the button let go; Undo pressed right after letting go
    // must still reach it.
    return !isStale() && (position_ > 0 || isOpen());
}

bool APPEDITHistory::canRedo() const
{
    return !isStale() && position_ < static_cast<int>(steps_.size());
}

std::string APPEDITHistory::getUndoName() const
{
    if (isOpen() && !isStale())
        return openName_;
    return canUndo() ? steps_[static_cast<std::size_t>(position_ - 1)]->name : std::string();
}

std::string APPEDITHistory::getRedoName() const
{
    return canRedo() ? steps_[static_cast<std::size_t>(position_)]->name : std::string();
}

void APPEDITHistory::clear()
{
    steps_.clear();
    position_ = 0;
    bytes_ = 0;
    serials_.clear();
    open_ = Open::None;
    openEntity_.reset();
    for (const Entry& entry : std::vector<Entry>(listeners_))
        if (entry.cleared)
            entry.cleared();
}

int APPEDITHistory::keyOf(const APPENTTMain* entity)
{
    const std::uint64_t serial = entity->getSerial();
    for (const auto& [key, known] : serials_)
        if (known == serial)
            return key;
    serials_[nextKey_] = serial;
    return nextKey_++;
}

void APPEDITHistory::beginTerrain(const std::string& name)
{
    if (open_ == Open::Terrain && openName_ == name)
        return;
    commit();
    dropIfStale();
    APPWRLDMain* current = world();
    if (!current)
        return;
    if (!openTerrain_)
        openTerrain_ = std::make_unique<TerrainState>();
    openTerrain_->capture(*current->getEnvironment());
    open_ = Open::Terrain;
    openName_ = name;
}

namespace {
EntityState captureEntity(QRObject* owner, const APPENTTMain& entity)
{
    EntityState state;
    state.typeName = entity.getTypeName();
    state.name = entity.getName();
    QRFILEFile file(owner);
    file.openForMemoryWriting(QRFileType::Binary, kRecordName);
    entity.save(file);
    if (auto written = file.copyToMemory())
        state.record = written->getBytes();
    if (const APPENVRBlock* block = entity.getBlock()) {
        const APPENVRAreaIndex area = block->getArea()->getIndex();
        state.block = {area.ax, area.az, block->getIndex().x, block->getIndex().z};
        state.slot = block->indexOfEntity(&entity);
    }
    return state;
}
} // namespace

void APPEDITHistory::beginEntity(const std::string& name, APPENTTMain* entity)
{
    dropIfStale();
    const int key = entity ? keyOf(entity) : 0;
    if (open_ == Open::Entity && openName_ == name && key != 0 && openEntity_->entityKey == key)
        return;
    commit();
    dropIfStale();
    if (!world())
        return;
    openEntity_ = std::make_unique<APPEDITHistoryStep>();
    openEntity_->name = name;
    openEntity_->entityKey = entity ? keyOf(entity) : 0;
    if (entity)
        openEntity_->entityBefore = captureEntity(this, *entity);
    open_ = Open::Entity;
    openName_ = name;
}

void APPEDITHistory::entityCreated(APPENTTMain* entity)
{
    if (open_ == Open::Entity && openEntity_->entityKey == 0 && entity)
        openEntity_->entityKey = keyOf(entity);
}

void APPEDITHistory::commit()
{
    const Open open = open_;
    open_ = Open::None;
    if (open == Open::None)
        return;
    APPWRLDMain* current = world();
    // Areas loaded while the step was open replaced what it began with.
    if (!current || isStale()) {
        openEntity_.reset();
        dropIfStale();
        return;
    }
    auto step = std::make_unique<APPEDITHistoryStep>();
    if (open == Open::Terrain) {
        step->name = openName_;
        openTerrain_->compare(*current->getEnvironment(), *step);
    } else {
        step = std::move(openEntity_);
        if (const auto found = serials_.find(step->entityKey); found != serials_.end())
            if (const APPENTTMain* entity = findEntity(*current->getEntities(), found->second))
                step->entityAfter = captureEntity(this, *entity);
    }
    if (step->isEmpty())
        return;
    step->findAreas();
    record(std::move(step));
}

void APPEDITHistory::record(std::unique_ptr<APPEDITHistoryStep> step)
{
    for (auto redo = steps_.begin() + position_; redo != steps_.end(); ++redo)
        bytes_ -= (*redo)->bytes();
    steps_.erase(steps_.begin() + position_, steps_.end());
    bytes_ += step->bytes();
    steps_.push_back(std::move(step));
    // The newest step stays even when it alone is over the byte bound: it is what the user just did.
    while (static_cast<int>(steps_.size()) > kMaxSteps || (bytes_ > kMaxBytes && steps_.size() > 1)) {
        bytes_ -= steps_.front()->bytes();
        steps_.erase(steps_.begin());
    }
    position_ = static_cast<int>(steps_.size());
    notify(APPEDITEdit::Recorded, *steps_.back());
}

void APPEDITHistory::notify(APPEDITEdit::Kind kind, const APPEDITHistoryStep& step)
{
    const APPEDITEdit edit{kind, step.name, step.areas};
    // A listener may add or remove listeners.
    for (const Entry& entry : std::vector<Entry>(listeners_))
        if (entry.edited)
            entry.edited(edit);
}

std::string APPEDITHistory::undo()
{
    return apply(true);
}

std::string APPEDITHistory::redo()
{
    return apply(false);
}

std::string APPEDITHistory::apply(bool undo)
{
    commit();
    dropIfStale();
    APPWRLDMain* current = world();
    if (!current || (undo ? !canUndo() : !canRedo()))
        return {};
    if (undo)
        --position_;
    const APPEDITHistoryStep& step = *steps_[static_cast<std::size_t>(position_)];
    if (!undo)
        ++position_;
    restoreTerrain(*current->getEnvironment(), step, undo);

    const std::optional<EntityState>& target = undo ? step.entityBefore : step.entityAfter;
    if (step.entityKey != 0 && (step.entityBefore || step.entityAfter)) {
        APPWRLDEntities& entities = *current->getEntities();
        std::uint64_t& serial = serials_[step.entityKey];
        APPENTTMain* entity = findEntity(entities, serial);
        if (!target) {
            if (entity)
                entities.removeEntity(entity);
        } else {
            APPENVRBlock* block =
                current->getEnvironment()->getBlock(target->block.ax, target->block.az, target->block.bx, target->block.bz);
            // Registered in its block first, then moved by its record, as loading an area does: a
            // position on the block's edge stays with the block the file had it in.
            const Vector3 centre = (block->getBounds().minimum + block->getBounds().maximum) * 0.5f;
            if (!entity) {
                entity = entities.createEntity(target->typeName, centre);
                serial = entity->getSerial();
            } else {
                entity->setPosition(centre);
            }
            QRFILEMemoryStream stream(target->record);
            QRFILEFile file(this);
            file.openFromStream(&stream, QRFileType::Binary, kRecordName, QRFileLocation::None);
            if (!entity->load(file))
                reportError(undo ? "undo" : "redo", "The kept record of entity \"" + target->name + "\" could not be read");
            entity->setName(target->name);
            if (APPENVRBlock* registered = entity->getBlock())
                registered->moveEntityTo(entity, target->slot);
        }
    }
    notify(undo ? APPEDITEdit::Undone : APPEDITEdit::Redone, step);
    return step.name;
}
