#include "world/app_wrld_entities.h"

#include "core/qr_core_log.h"
#include "core/qr_mngr_assetmanager.h"
#include "entities/app_entt_ad.h"
#include "entities/app_entt_banana.h"
#include "entities/app_entt_codermonkey.h"
#include "entities/app_entt_environmentmodel.h"
#include "entities/app_entt_explosion.h"
#include "entities/app_entt_kip.h"
#include "entities/app_entt_main.h"
#include "entities/app_entt_paper.h"
#include "entities/app_entt_pickup.h"
#include "entities/app_entt_redstreak.h"
#include "entities/app_entt_sprite.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "environment/app_envr_main.h"
#include "file/qr_file_main.h"
#include "resource/qr_resc_list.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/view/qr_visx_frustum.h"
#include "visual/qr_visx_main.h"
#include "visual/shaders/qr_visx_shaderconfiguration.h"
#include "visual/textures/qr_visx_texture.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_hud.h"
#include "world/app_wrld_levelsnapshot.h"
#include "world/app_wrld_main.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {
constexpr float kNoGround = -999999.0f;
constexpr int kBlocksPerSide = APPENVRMain::kAreaCount * APPENVRMain::kBlocksPerArea;

using EntityFactory = QROwned<APPENTTMain> (*)(APPWRLDEntities* list, const Vector3& position);

template <class T>
QROwned<APPENTTMain> construct(APPWRLDEntities* list, const Vector3& position)
{
    return qrNew<T>(list, position);
}

struct EntityType {
    const char* name;
    EntityFactory create;
};

// The names creation accepts, in the order they are compared.
const EntityType kEntityTypes[] = {
    {"Entity", construct<APPENTTMain>},
    {"EnvironmentModel", construct<APPENTTEnvironmentModel>},
    {"Kip", construct<APPENTTKip>},
    {"Ad", construct<APPENTTAd>},
    {"Paper", construct<APPENTTPaper>},
    {"CoderMonkey", construct<APPENTTCoderMonkey>},
    {"RedStreak", construct<APPENTTRedStreak>},
    {"Pickup", construct<APPENTTPickup>},
    {"Sprite", construct<APPENTTSprite>},
    {"Explosion", construct<APPENTTExplosion>},
    {"Banana", construct<APPENTTBanana>},
};

QROwned<APPENTTMain> createOfType(const EntityType& type, APPWRLDEntities* list, const Vector3& position)
{
    return type.create(list, position);
}

// Particle content comes with the particle effects; until it is installed the list goes without it
// rather than stopping every start with an error box.
template <class T>
T* acquireIfPresent(const std::string& path)
{
    auto* files = qrFile();
    auto* assets = qrAssets();
    if (!files || !assets)
        return nullptr;
    if (!files->fileExists(path, false)) {
        if (auto* log = qrLog())
            log->logWarning("Particle resource not found: \"" + path + "\"");
        return nullptr;
    }
    return assets->acquire<T>(path);
}
} // namespace

APPWRLDEntities::APPWRLDEntities(QRObject* owner)
    : QRObject(owner, "World Entity List"), world_(dynamic_cast<APPWRLDMain*>(owner)),
      entities_(qrNew<QRRESCList>(this, true)), levelSnapshot_(qrNew<APPWRLDLevelSnapshot>(this))
{
}

APPWRLDEntities::~APPWRLDEntities()
{
    hero_ = nullptr;
    // Entities leave their blocks as they go, so the environment must still be there.
    detached_.clear();
    entities_.reset();
    releaseParticleResources();
}

void APPWRLDEntities::initialize()
{
    QRObject::initialize();
    releaseParticleResources();
    particleShader_ = acquireIfPresent<QRVISXShaderConfiguration>("shaders\\particle.shader");
    explosionTexture_ = acquireIfPresent<QRVISXTexture2>("textures\\particles\\explosion.png");
    redStreakImpactTexture_ = acquireIfPresent<QRVISXTexture2>("textures\\particles\\redstreak_impact.png");
    redStreakShotTexture_ = acquireIfPresent<QRVISXTexture2>("textures\\particles\\redstreak_shot.png");
    pickupTexture_ = acquireIfPresent<QRVISXTexture2>("textures\\particles\\pickup.png");
    hero_ = nullptr;
}

void APPWRLDEntities::releaseParticleResources()
{
    auto* assets = qrAssets();
    if (!assets)
        return;
    assets->release(particleShader_);
    assets->release(explosionTexture_);
    assets->release(redStreakImpactTexture_);
    assets->release(redStreakShotTexture_);
    assets->release(pickupTexture_);
}

APPENTTMain* APPWRLDEntities::createEntity(std::string_view typeName, const Vector3& position)
{
    // Any other name gives a plain entity, as "Entity" does.
    const EntityType* found = &kEntityTypes[0];
    for (const EntityType& type : kEntityTypes) {
        if (typeName == type.name) {
            found = &type;
            break;
        }
    }
    APPENTTMain* entity = createOfType(*found, this, position).release();
    entities_->add(entity);
    if (found->create == construct<APPENTTPaper>)
        countPapers();
    return entity;
}

APPENTTKip* APPWRLDEntities::getKip() const
{
    return dynamic_cast<APPENTTKip*>(hero_);
}

APPENTTMain* APPWRLDEntities::getEntity(int index) const
{
    return static_cast<APPENTTMain*>(entities_->get(index));
}

int APPWRLDEntities::getEntityCount() const
{
    return entities_->getCount();
}

void APPWRLDEntities::removeEntity(APPENTTMain* entity)
{
    const int index = entities_->indexOf(entity);
    if (index < 0)
        return;
    if (entity == hero_)
        hero_ = nullptr;
    const bool paper = dynamic_cast<const APPENTTPaper*>(entity) != nullptr;
    if (passDepth_ > 0) {
        entities_->setOwnsObjects(false);
        entities_->deleteAt(index);
        entities_->setOwnsObjects(true);
        entity->detachFromWorld();
        detached_.emplace_back(entity);
    } else {
        entities_->deleteAt(index);
    }
    if (paper)
        countPapers();
}

void APPWRLDEntities::destroyDetached()
{
    // An entity destroyed here may still remove others on its way out; they join the queue.
    while (!detached_.empty()) {
        std::vector<QROwned<APPENTTMain>> going;
        going.swap(detached_);
        going.clear();
    }
}

void APPWRLDEntities::beginPlay()
{
    levelSnapshot_->keep(*this);
    countPapers();
}

bool APPWRLDEntities::endPlay()
{
    const bool complete = levelSnapshot_->giveBack(*this);
    countPapers();
    return complete;
}

int APPWRLDEntities::countPapers()
{
    paperCount_ = 0;
    for (QRObject* object : *entities_)
        if (dynamic_cast<const APPENTTPaper*>(object))
            ++paperCount_;
    if (world_ && world_->getHUD())
        world_->getHUD()->setPapersInWorld(paperCount_);
    return paperCount_;
}

float APPWRLDEntities::modelGroundHeight(const Vector3& point) const
{
    float highest = kNoGround;
    if (!world_)
        return highest;
    const APPENVRBlock* block = world_->getEnvironment()->getBlockAt(point);
    for (int i = 0; i < block->getEntityCount(); ++i) {
        const APPENTTMain* entity = block->getEntity(i);
        Vector3 hit;
        if (entity->getTypeName() == "EnvironmentModel" && entity->hitTest(point, hit))
            highest = std::max(highest, hit.y);
    }
    return highest;
}

bool APPWRLDEntities::sceneryHit(const Vector3& start, const Vector3& end, Vector3& hit, float& fraction) const
{
    bool found = false;
    fraction = 2.0f;
    for (QRObject* object : *entities_) {
        const auto* scenery = dynamic_cast<const APPENTTEnvironmentModel*>(object);
        Vector3 candidate;
        float share = 0.0f;
        if (scenery && scenery->segmentHit(start, end, candidate, share) && share < fraction) {
            fraction = share;
            hit = candidate;
            found = true;
        }
    }
    return found;
}

void APPWRLDEntities::updateNearCamera()
{
    if (!world_)
        return;
    const APPENVRBlockIndex index = world_->getCamera()->getBlockIndex();
    // A camera beyond the world's edge still updates the edge blocks, where everything outside
    // the world is registered.
    const int centreX = std::clamp(index.ax * APPENVRMain::kBlocksPerArea + index.bx, 0, kBlocksPerSide - 1);
    const int centreZ = std::clamp(index.az * APPENVRMain::kBlocksPerArea + index.bz, 0, kBlocksPerSide - 1);
    const int perArea = APPENVRMain::kBlocksPerArea;
    std::vector<APPENVRBlock*> window;
    for (int x = centreX - 1; x <= centreX + 1; ++x)
        for (int z = centreZ - 1; z <= centreZ + 1; ++z)
            if (x >= 0 && x < kBlocksPerSide && z >= 0 && z < kBlocksPerSide)
                window.push_back(world_->getEnvironment()->getBlock(x / perArea, z / perArea, x % perArea, z % perArea));

    // Who stands in the window is fixed when the pass begins: an entity that walks into a block
    // visited later is not updated twice. Each is remembered with its serial, so one that went
    // and whose memory a new entity took over is not mistaken for it.
    struct Due {
        APPENTTMain* entity;
        std::uint64_t serial;
        const APPENVRBlock* block;
    };
    std::vector<Due> due;
    for (const APPENVRBlock* block : window)
        for (int i = block->getEntityCount() - 1; i >= 0; --i)
            due.push_back({block->getEntity(i), block->getEntity(i)->getSerial(), block});
    // Asked by address only, so it may be asked about an entity that is gone; most are still in
    // the block they stood in.
    const auto standsInWindow = [&window](const Due& next) {
        return next.block->hasEntity(next.entity) ||
               std::any_of(window.begin(), window.end(),
                           [&next](const APPENVRBlock* block) { return block->hasEntity(next.entity); });
    };

    ++passDepth_;
    for (const Due& next : due)
        if (standsInWindow(next) && next.entity->getSerial() == next.serial)
            next.entity->update();
    --passDepth_;
    if (passDepth_ == 0)
        destroyDetached();
}

void APPWRLDEntities::render()
{
    renderVisible(false);
}

void APPWRLDEntities::renderShadowCasters()
{
    renderVisible(true);
}

void APPWRLDEntities::renderVisible(bool shadowCastersOnly)
{
    QRVISXMain* visual = qrVisual();
    if (!world_ || !visual)
        return;
    const QRVISXFrustum& frustum = *visual->getCameraManager()->getFrustum();
    const APPENVRMain& environment = *world_->getEnvironment();
    // Block by block, in the order the blocks hold them; each entity by its own bounds, since a
    // block's terrain box says nothing about what stands or flies in it.
    for (int ax = 0; ax < APPENVRMain::kAreaCount; ++ax) {
        for (int az = 0; az < APPENVRMain::kAreaCount; ++az) {
            const APPENVRArea* area = environment.getArea(ax, az);
            for (int bx = 0; bx < APPENVRMain::kBlocksPerArea; ++bx) {
                for (int bz = 0; bz < APPENVRMain::kBlocksPerArea; ++bz) {
                    const APPENVRBlock* block = area->getBlock(bx, bz);
                    for (int i = 0; i < block->getEntityCount(); ++i) {
                        APPENTTMain* entity = block->getEntity(i);
                        if ((!shadowCastersOnly || entity->castsShadow()) &&
                            frustum.isSphereVisible(entity->getPosition(), entity->getBoundingRadius()))
                            entity->render();
                    }
                }
            }
        }
    }
}

void APPWRLDEntities::renderEditor()
{
    for (int i = 0; i < entities_->getCount(); ++i)
        getEntity(i)->renderEditor();
}
