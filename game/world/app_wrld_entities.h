#pragma once
// The world's entity list: owns every entity, creates entities by type name, and drives their
// update and drawing through the terrain's block grid (only the 3 x 3 blocks around the camera
// update; only blocks in the view frustum draw). Also holds the particle resources the particle
// effects share. Owned by the world.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <string_view>
#include <vector>

class APPENTTKip;
class APPENTTMain;
class APPWRLDLevelSnapshot;
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
    // Destroys the entity; during the update pass it leaves the list and its block at once and
    // is destroyed when the pass ends, so code still running on it (its own update, a caller
    // further up) never touches freed memory.
    void removeEntity(APPENTTMain* entity);

    // Set by the hero when it initialises.
    void setHero(APPENTTMain* hero) { hero_ = hero; }
    APPENTTMain* getHero() const { return hero_; }
    // The hero as Kip, for his operations (papers, health); null without a hero.
    APPENTTKip* getKip() const;

    // The number of papers in the world, handed to the heads-up display. Also counted whenever a
    // paper is created or removed, so the display follows the world.
    int countPapers();
    int getPaperCount() const { return paperCount_; }

    // The highest surface of a scenery model in the block under point, straight below it;
    // -999999 when there is none.
    float modelGroundHeight(const Vector3& point) const;
    // The first scenery model surface the segment meets, wherever the model stands (a large one
    // reaches into the blocks beside its own), with fraction the share of the way from start.
    bool sceneryHit(const Vector3& start, const Vector3& end, Vector3& hit, float& fraction) const;

    // Updates the entities of the 3 x 3 blocks around the game camera (x offsets outer, z inner;
    // the window kept inside the world), each block's list from its last entry to its first. Each
    // entity standing there when the pass begins is updated once: one removed or moved out of
    // the window before its turn is skipped, one that moved into a block visited later is not
    // updated again, and one created during the pass waits for the next frame.
    void updateNearCamera();
    // Entities whose own bounds (position and bounding radius) are in the view frustum, so
    // whatever reaches beyond its block's terrain box (a flying hero, a tall model) still draws.
    void render();
    // The same, only the entities that cast shadows: the shadow pass's frustum is the map's box,
    // and a model beside it that reaches into it still casts.
    void renderShadowCasters();
    // Every entity, without culling.
    void renderEditor();

    QRVISXShaderConfiguration* getParticleShader() const { return particleShader_; }
    QRVISXTexture2* getExplosionTexture() const { return explosionTexture_; }
    QRVISXTexture2* getRedStreakImpactTexture() const { return redStreakImpactTexture_; }
    QRVISXTexture2* getRedStreakShotTexture() const { return redStreakShotTexture_; }
    QRVISXTexture2* getPickupTexture() const { return pickupTexture_; }

    APPWRLDMain* getWorld() const { return world_; }

    // Game mode starts: the level's entity records are kept (see APPWRLDLevelSnapshot) and the
    // papers counted.
    void beginPlay();
    // The editor returns: the kept level is given back, and the papers counted. False when a
    // record could not be read back (reported).
    bool endPlay();
    APPWRLDLevelSnapshot* getLevelSnapshot() const { return levelSnapshot_.get(); }
    bool isUpdating() const { return passDepth_ > 0; }

private:
    void renderVisible(bool shadowCastersOnly);
    void destroyDetached();
    void releaseParticleResources();

    APPWRLDMain* world_;
    QROwned<QRRESCList> entities_;
    APPENTTMain* hero_ = nullptr;
    int paperCount_ = 0;
    int passDepth_ = 0;
    // Removed during the update pass, destroyed when it ends.
    std::vector<QROwned<APPENTTMain>> detached_;
    QROwned<APPWRLDLevelSnapshot> levelSnapshot_;
    QRVISXShaderConfiguration* particleShader_ = nullptr;
    QRVISXTexture2* explosionTexture_ = nullptr;
    QRVISXTexture2* redStreakImpactTexture_ = nullptr;
    QRVISXTexture2* redStreakShotTexture_ = nullptr;
    QRVISXTexture2* pickupTexture_ = nullptr;
};
