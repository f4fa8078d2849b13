#include "world/app_wrld_levelsnapshot.h"

#include "entities/app_entt_main.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "file/qr_file_file.h"
#include "file/qr_file_stream.h"
#include "math/qr_math_vector.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"

#include <algorithm>

namespace {
const char* const kRecordName = "kept level";
} // namespace

APPWRLDLevelSnapshot::APPWRLDLevelSnapshot(QRObject* owner) : QRObject(owner, "Level Snapshot") {}

void APPWRLDLevelSnapshot::keep(const APPWRLDEntities& entities)
{
    forget();
    for (int i = 0; i < entities.getEntityCount(); ++i) {
        const APPENTTMain* entity = entities.getEntity(i);
        const APPENVRBlock* block = entity->getBlock();
        if (entity->isTransient() || !block)
            continue;
        Record record;
        record.serial = entity->getSerial();
        record.typeName = entity->getTypeName();
        record.name = entity->getName();
        record.model = entity->getModel();
        const APPENVRAreaIndex area = block->getArea()->getIndex();
        record.block = {area.ax, area.az, block->getIndex().x, block->getIndex().z};
        record.slot = block->indexOfEntity(entity);
        QRFILEFile file(this);
        file.openForMemoryWriting(QRFileType::Binary, kRecordName);
        entity->save(file);
        if (auto written = file.copyToMemory())
            record.bytes = written->getBytes();
        records_.push_back(std::move(record));
    }
    const APPENTTMain* hero = entities.getHero();
    heroSerial_ = hero ? hero->getSerial() : 0;
    kept_ = true;
}

void APPWRLDLevelSnapshot::forget()
{
    records_.clear();
    heroSerial_ = 0;
    kept_ = false;
}

bool APPWRLDLevelSnapshot::giveBack(APPWRLDEntities& entities)
{
    APPWRLDMain* world = entities.getWorld();
    if (!kept_ || !world)
        return true;
    while (entities.getEntityCount() > 0)
        entities.removeEntity(entities.getEntity(entities.getEntityCount() - 1));

    bool complete = true;
    std::vector<std::pair<const Record*, APPENTTMain*>> restored;
    restored.reserve(records_.size());
    APPENTTMain* hero = nullptr;
    // In the list's own order, so searches over the list meet the entities as before play.
    for (const Record& record : records_) {
        APPENVRBlock* block =
            world->getEnvironment()->getBlock(record.block.ax, record.block.az, record.block.bx, record.block.bz);
        // Registered in its block first and then moved by its record, as an area load does: a
        // position on the block's edge stays with the block it was kept in.
        const Vector3 centre = (block->getBounds().minimum + block->getBounds().maximum) * 0.5f;
        APPENTTMain* entity = entities.createEntity(record.typeName, centre);
        entity->restoreSerial(record.serial);
        QRFILEMemoryStream stream(record.bytes);
        QRFILEFile file(this);
        file.openFromStream(&stream, QRFileType::Binary, kRecordName, QRFileLocation::None);
        if (!entity->load(file)) {
            reportError("giveBack", "The kept record of entity \"" + record.name + "\" could not be read back");
            entities.removeEntity(entity);
            complete = false;
            continue;
        }
        entity->setName(record.name);
        if (record.model)
            entity->setModel(record.model);
        if (record.serial == heroSerial_)
            hero = entity;
        restored.emplace_back(&record, entity);
    }
    // Each block's list in its kept order, which is the order its area file stores.
    std::stable_sort(restored.begin(), restored.end(),
                     [](const auto& a, const auto& b) { return a.first->slot < b.first->slot; });
    for (const auto& [record, entity] : restored)
        if (APPENVRBlock* block = entity->getBlock())
            block->moveEntityTo(entity, record->slot);
    if (hero)
        entities.setHero(hero);
    forget();
    return complete;
}
