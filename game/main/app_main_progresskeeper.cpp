#include "main/app_main_progresskeeper.h"

#include "core/qr_core_log.h"
#include "entities/app_entt_actor.h"
#include "entities/app_entt_kip.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_main.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_hud.h"
#include "world/app_wrld_main.h"

#include <algorithm>
#include <unordered_map>

namespace {
constexpr float kWorldExtent = APPENVRMain::kAreaSize * APPENVRMain::kAreaCount;

bool samePlace(const Vector3& a, const Vector3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Entities that still count: a monkey whose health ran out is dying, not alive.
std::unordered_map<std::uint64_t, APPENTTMain*> livingEntities(const APPWRLDEntities& list)
{
    std::unordered_map<std::uint64_t, APPENTTMain*> living;
    for (int i = 0; i < list.getEntityCount(); ++i) {
        APPENTTMain* entity = list.getEntity(i);
        const auto* actor = dynamic_cast<const APPENTTActor*>(entity);
        if (entity->getTypeName() == "CoderMonkey" && actor && actor->getHealth() < 1)
            continue;
        living.emplace(entity->getSerial(), entity);
    }
    return living;
}
} // namespace

APPMAINProgressKeeper::APPMAINProgressKeeper(QRObject* owner, APPWRLDMain* world, std::string path)
    : QRObject(owner, "Progress"), world_(world), file_(qrNew<APPMAINProgressFile>(this, std::move(path)))
{
}

APPMAINProgressKeeper::~APPMAINProgressKeeper() = default;

void APPMAINProgressKeeper::takeInventory()
{
    inventory_.clear();
    const APPWRLDEntities& list = *world_->getEntities();
    for (int i = 0; i < list.getEntityCount(); ++i) {
        const APPENTTMain* entity = list.getEntity(i);
        const std::string type = entity->getTypeName();
        if (type == "Paper" || type == "CoderMonkey")
            inventory_.push_back({entity->getSerial(), type == "Paper", entity->getPosition()});
    }
    std::vector<std::string> names;
    for (int x = 0; x < APPENVRMain::kAreaCount; ++x)
        for (int z = 0; z < APPENVRMain::kAreaCount; ++z)
            names.push_back(world_->getEnvironment()->getArea(x, z)->getFileName());
    digest_ = APPMAINProgressFile::worldDigest(names);
}

APPMAINProgress APPMAINProgressKeeper::capture() const
{
    APPMAINProgress progress;
    progress.worldDigest = digest_;
    progress.timePlayed = timePlayed_;
    progress.finished = finished_;
    if (const APPENTTKip* kip = world_->getEntities()->getKip()) {
        progress.heroPosition = kip->getPosition();
        progress.heroYaw = kip->getYaw();
        progress.heroPitch = kip->getPitch();
        progress.personality = kip->getPersonality();
        progress.level = kip->getLevel();
        progress.papersCollected = kip->getPapersCollected();
        progress.health = kip->getHealth();
    }
    const auto living = livingEntities(*world_->getEntities());
    for (const Placed& placed : inventory_) {
        if (living.count(placed.serial))
            continue;
        (placed.paper ? progress.collectedPapers : progress.defeatedMonkeys).push_back(placed.position);
    }
    return progress;
}

void APPMAINProgressKeeper::apply(const APPMAINProgress& progress)
{
    timePlayed_ = progress.timePlayed;
    finished_ = progress.finished;
    APPWRLDEntities* list = world_->getEntities();
    if (APPENTTKip* kip = list->getKip()) {
        // A file written for this world still only places the hero inside it.
        Vector3 position = progress.heroPosition;
        position.x = std::clamp(position.x, 0.0f, kWorldExtent);
        position.z = std::clamp(position.z, 0.0f, kWorldExtent);
        kip->setPosition(position);
        kip->setPersonality(progress.personality);
        kip->setHeading(progress.heroYaw, progress.heroPitch);
        kip->restoreProgress(progress.papersCollected, progress.level);
        kip->setHealth(progress.health);
        kip->placeCamera();
    }
    if (APPWRLDHUD* hud = world_->getHUD()) {
        hud->setPapersCollected(std::max(0, progress.papersCollected));
        hud->setLevelTitle(APPENTTKip::levelTitle(progress.level));
        hud->resetHealth(progress.health);
    }
    // Each saved place takes one entity of its kind still standing there.
    const auto remove = [&](const std::vector<Vector3>& places, bool paper) {
        std::vector<bool> taken(inventory_.size(), false);
        auto living = livingEntities(*list);
        for (const Vector3& place : places) {
            for (std::size_t i = 0; i < inventory_.size(); ++i) {
                const Placed& placed = inventory_[i];
                if (taken[i] || placed.paper != paper || !samePlace(placed.position, place))
                    continue;
                taken[i] = true;
                if (const auto found = living.find(placed.serial); found != living.end()) {
                    found->second->removeFromWorld();
                    living.erase(found);
                }
                break;
            }
        }
    };
    remove(progress.collectedPapers, true);
    remove(progress.defeatedMonkeys, false);
    sinceSave_ = 0.0f;
}

bool APPMAINProgressKeeper::resume()
{
    const std::optional<APPMAINProgress> saved = file_->load();
    if (!saved)
        return false;
    if (saved->worldDigest != digest_) {
        if (auto* log = qrLog())
            log->logInformation("The progress file belongs to another world; a new game starts");
        return false;
    }
    apply(*saved);
    return true;
}

void APPMAINProgressKeeper::advance(float delta)
{
    timePlayed_ += delta;
    sinceSave_ += delta;
    if (sinceSave_ >= kAutosaveSeconds)
        save();
}

bool APPMAINProgressKeeper::save()
{
    sinceSave_ = 0.0f;
    if (!world_->getEntities()->getKip())
        return false;
    return file_->save(capture());
}

void APPMAINProgressKeeper::forget()
{
    timePlayed_ = 0.0f;
    sinceSave_ = 0.0f;
    finished_ = false;
    file_->remove();
}
