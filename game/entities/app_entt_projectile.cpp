#include "entities/app_entt_projectile.h"

#include "core/qr_time_main.h"
#include "entities/app_entt_codermonkey.h"
#include "entities/app_entt_sweep.h"
#include "math/qr_math_intersection.h"
#include "math/qr_math_vector.h"
#include "world/app_wrld_entities.h"

namespace {
// Characters are hit at their middle, not at their feet.
constexpr Vector3 kHitPointLift{0.0f, 1.0f, 0.0f};
} // namespace

APPENTTProjectile::APPENTTProjectile(QRObject* owner, const Vector3& position) : APPENTTActor(owner, position) {}

void APPENTTProjectile::afterCreate()
{
    APPENTTActor::afterCreate();
    direction_ = {1.0f, 0.0f, 0.0f};
    speed_ = 10.0f;
    damage_ = 10;
    hitsHero_ = true;
    hitsMonkeys_ = true;
    lifetime_ = 3.0f;
}

void APPENTTProjectile::update()
{
    fly();
}

bool APPENTTProjectile::fly()
{
    const QRTIMEMain* time = qrTime();
    const float dt = time ? time->getDelta() : 0.0f;
    const Vector3 step = QRMATHVector3::normalize(direction_) * (dt * speed_ * 0.1f);
    // Scenery is met by its real surfaces along the frame's whole way (under a canopy or a lamp's
    // arm is open air), once per frame; the steps then find where on the way it lies.
    const APPWRLDEntities* list = getEntityList();
    Vector3 sceneryPoint;
    float sceneryAt = 2.0f;
    if (!list || !list->sceneryHit(getPosition(), getPosition() + step * static_cast<float>(kSubSteps), sceneryPoint,
                                   sceneryAt))
        sceneryAt = 2.0f;
    for (int i = 0; i < kSubSteps; ++i) {
        const Vector3 start = getPosition();
        setPosition(start + step);
        if (hitCharacter(start)) {
            onImpact();
        } else if (terrainHeight() >= getPosition().y) {
            onGroundHit();
        } else if (sceneryAt * static_cast<float>(kSubSteps) <= static_cast<float>(i + 1)) {
            // The flash belongs on the surface that was hit.
            setPosition(sceneryPoint);
            onImpact();
        } else {
            continue;
        }
        removeFromWorld();
        return false;
    }
    lifetime_ -= dt;
    if (lifetime_ <= 0.0f) {
        onExpire();
        removeFromWorld();
        return false;
    }
    return true;
}

bool APPENTTProjectile::hitCharacter(const Vector3& start)
{
    const APPWRLDEntities* list = getEntityList();
    if (!list || (!hitsHero_ && !hitsMonkeys_))
        return false;
    const APPENTTMain* hero = list->getHero();
    for (int i = 0; i < list->getEntityCount(); ++i) {
        APPENTTMain* entity = list->getEntity(i);
        // The distance first: it rules out nearly every entity at the cost of a few multiplications.
        // Along the step, so a slow frame does not carry the projectile past a target.
        if (entity == this ||
            APPENTTSweep::distanceSquared(entity->getPosition() + kHitPointLift, start, getPosition()) >
                kHitRadius * kHitRadius)
            continue;
        auto* character = dynamic_cast<APPENTTCharacter*>(entity);
        if (!character || character->getHealth() <= 0)
            continue;
        const bool target = (hitsHero_ && entity == hero) ||
                            (hitsMonkeys_ && dynamic_cast<APPENTTCoderMonkey*>(entity) != nullptr);
        if (!target)
            continue;
        character->damage(damage_);
        return true;
    }
    return false;
}
