#pragma once
// The base of everything that lives in the world besides terrain, sky and water: a placed,
// oriented, sized object with an optional shared model, kept registered in the terrain block under
// its position. Owned by the world's entity list (APPWRLDEntities), referenced by its block.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <cstdint>
#include <string>
#include <string_view>

class APPENTTEditForm;
class APPENVRBlock;
class APPWRLDEntities;
class APPWRLDMain;
class QRFILEFile;
class QRVISXModel;

class APPENTTMain : public QRObject {
public:
    // owner: the entity list that creates it (the entity reaches its world through it).
    APPENTTMain(QRObject* owner, const Vector3& position);
    ~APPENTTMain() override;

    // Sets the defaults, then registers the entity in the block under its position.
    void afterCreate() override;
    // Leaves its block first, so no block keeps a reference to a dead entity.
    void beforeDestroy() override;

    // The "Main" tab of the attribute window: name, position, size.
    virtual void fillEditForm(APPENTTEditForm& form);
    virtual void readEditForm(const APPENTTEditForm& form);
    // translation(position) * rotation(orientation) * uniform scale(size).
    virtual Matrix4 getWorldMatrix() const;
    virtual void update() {}
    virtual void render();
    // The model, or a unit box where there is none, so the editor can see and pick the entity.
    virtual void renderEditor();
    // The name written before the record in an area file and accepted by the entity list.
    virtual std::string getTypeName() const;
    // The base record: position, orientation, size.
    virtual bool save(QRFILEFile& file) const;
    // Reads the base record and moves the entity there. A short record (reported by the file) or one
    // holding values that are not finite numbers (reported here) changes nothing and gives false.
    virtual bool load(QRFILEFile& file);
    // Spawned during play only (projectiles, particle effects): never written to an area file.
    virtual bool isTransient() const { return false; }
    // The radius around the position that holds everything the entity draws (culling, shadow
    // casters): the model's first level scaled by the size; 0 without a model.
    virtual float getBoundingRadius() const;

    // Every position change goes through here, so the block registration follows the entity.
    void setPosition(const Vector3& position);
    const Vector3& getPosition() const { return position_; }
    const Quaternion& getOrientation() const { return orientation_; }
    void setOrientation(const Quaternion& orientation) { orientation_ = orientation; }
    void resetOrientation();
    float getSize() const { return size_; }
    void setSize(float size) { size_ = size; }
    QRVISXModel* getModel() const { return model_; }
    void setModel(QRVISXModel* model) { model_ = model; }
    // From the world's model list, which loads each model once and shares it.
    void setModelByName(std::string_view name);
    bool castsShadow() const { return castsShadow_; }
    void setCastsShadow(bool casts) { castsShadow_ = casts; }
    APPENVRBlock* getBlock() const { return block_; }

    // Turns in the entity's own frame (degrees).
    void rotateLocalX(float degrees);
    void rotateLocalY(float degrees);
    void rotateLocalZ(float degrees);
    Vector3 forwardVector() const;
    Vector3 rightVector() const;

    // The terrain height under the entity; 0 outside a world.
    float terrainHeight() const;
    void snapToTerrain(float offset);
    // Non-positional, on the first idle channel.
    void playSound(std::string_view fileName) const;
    // Destroys the entity: callers must not touch it afterwards.
    void removeFromWorld();
    // Fills the attribute window, shows it, and takes the values back only when closed with OK.
    bool editAttributes(APPENTTEditForm& form);

    void renderModel();
    // Skipped when the model's bounding sphere at that placement is outside the view frustum.
    // Seen in perspective from farther than kFarModelDistance times its size, a model with a level
    // named "far" (the generated scenery) draws that one instead of level 0.
    void drawModel(QRVISXModel* model, const Vector3& position, float size, const Quaternion& orientation) const;
    static constexpr float kFarModelDistance = 180.0f;
    // The level drawModel draws of model at that placement, seen from the active 3D camera.
    static int levelToDraw(const QRVISXModel& model, const Vector3& position, float size);
    // The nearest point of the model's surface straight below point (down to y = -100).
    bool hitTest(const Vector3& point, Vector3& hit) const;
    // Where the segment first meets the model's triangles as placed (position, orientation, size),
    // with fraction its share of the way from start (0..1); false when it misses.
    bool segmentHit(const Vector3& start, const Vector3& end, Vector3& hit, float& fraction) const;

    // Keeps the entity in the entity list of the block under its position. A position on a block's
    // edge stays with the block it is registered in.
    void updateBlock();

    // Unique among all entities made in this run and never reused, so an editor's history can find
    // an entity again without keeping a pointer that might outlive it.
    std::uint64_t getSerial() const { return serial_; }
    // Only for an entity of the level given back after play: it is the same entity again.
    void restoreSerial(std::uint64_t serial) { serial_ = serial; }

    // Taken out of the world while an update pass runs (the list destroys it when the pass ends):
    // it leaves its block for good, so nothing finds, updates or draws it any more.
    void detachFromWorld();
    bool isDetached() const { return detached_; }

    // The largest radius of any level of the model, unscaled: characters draw their pose's level
    // at size 1.
    float posedRadius() const;

    // The list that owns the entity and its world; null for an entity made outside a world.
    APPWRLDEntities* getEntityList() const { return entityList_; }
    APPWRLDMain* getWorld() const;

private:
    void leaveBlock();

    APPWRLDEntities* entityList_;
    std::uint64_t serial_;
    Vector3 position_;
    Quaternion orientation_;
    float size_ = 1.0f;
    APPENVRBlock* block_ = nullptr;
    QRVISXModel* model_ = nullptr;
    bool castsShadow_ = true;
    bool detached_ = false;
};
