#pragma once
// A projectile (banana or red streak): flies straight in ten hit-tested steps per frame, damages
// the first fitting character it touches, stops at the terrain and in scenery, and ends after its
// lifetime. Owned by the world's entity list; it removes itself when it ends.

#include "entities/app_entt_actor.h"

class APPENTTProjectile : public APPENTTActor {
public:
    // A character is hit when the point 1 unit above its feet is this close.
    static constexpr float kHitRadius = 1.6f;
    static constexpr int kSubSteps = 10;

    APPENTTProjectile(QRObject* owner, const Vector3& position);

    void afterCreate() override;
    // Flies one frame; the projectile may be gone afterwards.
    void update() override;
    // Spawned during play only.
    bool isTransient() const override { return true; }

    // It hit a character or a scenery model.
    virtual void onImpact() {}
    // It hit the terrain.
    virtual void onGroundHit() {}
    // Its lifetime ran out.
    virtual void onExpire() {}

    // Set by the launcher right after creation, with the orientation.
    void setDirection(const Vector3& direction) { direction_ = direction; }
    const Vector3& getDirection() const { return direction_; }
    void setSpeed(float unitsPerSecond) { speed_ = unitsPerSecond; }
    float getSpeed() const { return speed_; }
    void setDamage(int damage) { damage_ = damage; }
    int getDamage() const { return damage_; }
    void setHits(bool hero, bool monkeys)
    {
        hitsHero_ = hero;
        hitsMonkeys_ = monkeys;
    }
    bool hitsHero() const { return hitsHero_; }
    bool hitsMonkeys() const { return hitsMonkeys_; }
    void setLifetime(float seconds) { lifetime_ = seconds; }
    float getLifetime() const { return lifetime_; }

protected:
    // The flight of one frame; false when the projectile has ended (and is destroyed).
    bool fly();

private:
    // Damages the first living target that the step from start to the position passed within
    // reach of; true when there was one.
    bool hitCharacter(const Vector3& start);

    Vector3 direction_{1.0f, 0.0f, 0.0f};
    float speed_ = 10.0f;
    int damage_ = 10;
    bool hitsHero_ = true;
    bool hitsMonkeys_ = true;
    float lifetime_ = 3.0f;
};
