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
      entities_(qrNew<QRRESCList>(this, true))
{
}

APPWRLDEntities::~APPWRLDEntities()
{
    hero_ = nullptr;
    // Entities leave their blocks as they go, so the environment must still be there.
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
    if (entity && entity == hero_)
        hero_ = nullptr;
    entities_->remove(entity);
}

int APPWRLDEntities::countPapers()
{
    paperCount_ = 0;
    for (QRObject* object : *entities_)
        if (static_cast<APPENTTMain*>(object)->getTypeName() == "Paper")
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

void APPWRLDEntities::updateNearCamera()
{
    if (!world_)
        return;
    const APPENVRBlockIndex index = world_->getCamera()->getBlockIndex();
    const int centreX = index.ax * APPENVRMain::kBlocksPerArea + index.bx;
    const int centreZ = index.az * APPENVRMain::kBlocksPerArea + index.bz;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dz = -1; dz <= 1; ++dz)
            updateBlock(centreX + dx, centreZ + dz);
}

void APPWRLDEntities::updateBlock(int globalX, int globalZ)
{
    if (globalX < 0 || globalX >= kBlocksPerSide || globalZ < 0 || globalZ >= kBlocksPerSide)
        return;
    const int perArea = APPENVRMain::kBlocksPerArea;
    APPENVRBlock* block = world_->getEnvironment()->getBlock(globalX / perArea, globalZ / perArea,
                                                             globalX % perArea, globalZ % perArea);
    // An update may take other entities of the block out of the world as well as its own (a
    // collected paper, a hit target), which would shift the list under a running index. The
    // entities standing here when the block's turn came are updated from the last to the first,
    // each only while it is still registered here.
    std::vector<APPENTTMain*> standing;
    standing.reserve(static_cast<std::size_t>(block->getEntityCount()));
    for (int i = 0; i < block->getEntityCount(); ++i)
        standing.push_back(block->getEntity(i));
    for (auto entity = standing.rbegin(); entity != standing.rend(); ++entity)
        if (block->hasEntity(*entity))
            (*entity)->update();
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
    for (int ax = 0; ax < APPENVRMain::kAreaCount; ++ax) {
        for (int az = 0; az < APPENVRMain::kAreaCount; ++az) {
            const APPENVRArea* area = environment.getArea(ax, az);
            if (!frustum.isBoxVisible(area->getBounds().minimum, area->getBounds().maximum))
                continue;
            for (int bx = 0; bx < APPENVRMain::kBlocksPerArea; ++bx) {
                for (int bz = 0; bz < APPENVRMain::kBlocksPerArea; ++bz) {
                    const APPENVRBlock* block = area->getBlock(bx, bz);
                    if (!frustum.isBoxVisible(block->getBounds().minimum, block->getBounds().maximum))
                        continue;
                    for (int i = 0; i < block->getEntityCount(); ++i) {
                        APPENTTMain* entity = block->getEntity(i);
                        if (!shadowCastersOnly || entity->castsShadow())
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
