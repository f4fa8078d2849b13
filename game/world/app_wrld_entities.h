#pragma once
// The world's entity list: owns every entity, creates entities by type name, and drives their
// update and drawing through the terrain's block grid (only the 3 x 3 blocks around the camera
// update; only blocks in the view frustum draw). Also holds the particle resources the particle
// effects share. Owned by the world.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <string_view>

class APPENTTKip;
class APPENTTMain;
class APPWRLDMain;
class QRRESCList;
class QRVISXShaderConfiguration;
class QRVISXTexture2;

class APPWRLDEntities : public QRObject {
public:
    explicit APPWRLDEntities(QRObject* owner);
    ~APPWRLDEntities() override;

    // Loads the particle shader and textures (those present) and forgets the hero.
    void initialize() override;

    // Type names are compared exactly; an unknown name gives a plain entity. The entity is
    // registered in the block under position before this returns.
    APPENTTMain* createEntity(std::string_view typeName, const Vector3& position);
    APPENTTMain* getEntity(int index) const;
    int getEntityCount() const;
    // Destroys the entity.
    void removeEntity(APPENTTMain* entity);

    // Set by the hero when it initialises.
    void setHero(APPENTTMain* hero) { hero_ = hero; }
    APPENTTMain* getHero() const { return hero_; }
    // The hero as Kip, for his operations (papers, health); null without a hero.
    APPENTTKip* getKip() const;

    // The number of papers in the world, handed to the heads-up display.
    int countPapers();
    int getPaperCount() const { return paperCount_; }

    // The highest surface of a scenery model in the block under point, straight below it;
    // -999999 when there is none.
    float modelGroundHeight(const Vector3& point) const;

    // Updates the entities of the 3 x 3 blocks around the game camera (x offsets outer, z inner),
    // each block's list from its last entry to its first. Entities may leave or be removed during
    // any update; one removed before its turn is skipped, one that moved into a block visited later
    // is updated there again.
    void updateNearCamera();
    // Entities of the blocks whose boxes are in the view frustum.
    void render();
    // The same, only the entities that cast shadows.
    void renderShadowCasters();
    // Every entity, without culling.
    void renderEditor();

    QRVISXShaderConfiguration* getParticleShader() const { return particleShader_; }
    QRVISXTexture2* getExplosionTexture() const { return explosionTexture_; }
    QRVISXTexture2* getRedStreakImpactTexture() const { return redStreakImpactTexture_; }
    QRVISXTexture2* getRedStreakShotTexture() const { return redStreakShotTexture_; }
    QRVISXTexture2* getPickupTexture() const { return pickupTexture_; }

    APPWRLDMain* getWorld() const { return world_; }

private:
    void updateBlock(int globalX, int globalZ);
    void renderVisible(bool shadowCastersOnly);
    void releaseParticleResources();

    APPWRLDMain* world_;
    QROwned<QRRESCList> entities_;
    APPENTTMain* hero_ = nullptr;
    int paperCount_ = 0;
    QRVISXShaderConfiguration* particleShader_ = nullptr;
    QRVISXTexture2* explosionTexture_ = nullptr;
    QRVISXTexture2* redStreakImpactTexture_ = nullptr;
    QRVISXTexture2* redStreakShotTexture_ = nullptr;
    QRVISXTexture2* pickupTexture_ = nullptr;
};
