#include "entities/app_entt_projectile.h"

#include "core/qr_time_main.h"
#include "entities/app_entt_codermonkey.h"
#include "math/qr_math_intersection.h"
#include "math/qr_math_vector.h"
#include "world/app_wrld_entities.h"

namespace {
// Characters are hit at their middle, not at their feet.
constexpr Vector3 kHitPointLift{0.0f, 1.0f, 0.0f};
// Higher than any model stands above a projectile, and low enough to keep single precision exact
// to a hundredth of a unit.
constexpr float kSceneryQueryReach = 500.0f;
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
    for (int i = 0; i < kSubSteps; ++i) {
        setPosition(getPosition() + step);
        if (hitCharacter())
            onImpact();
        else if (terrainHeight() >= getPosition().y)
            onGroundHit();
        else if (insideScenery())
            onImpact();
        else
            continue;
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

bool APPENTTProjectile::insideScenery() const
{
    // Scenery's ground height is the nearest surface below the point asked from, which can never
    // lie above the projectile itself; asked from high above, it is the model's top surface, and a
    // projectile below that has flown into the model.
    const APPWRLDEntities* list = getEntityList();
    const Vector3& position = getPosition();
    return list && list->modelGroundHeight({position.x, position.y + kSceneryQueryReach, position.z}) > position.y;
}

bool APPENTTProjectile::hitCharacter()
{
    const APPWRLDEntities* list = getEntityList();
    if (!list || (!hitsHero_ && !hitsMonkeys_))
        return false;
    const APPENTTMain* hero = list->getHero();
    for (int i = 0; i < list->getEntityCount(); ++i) {
        APPENTTMain* entity = list->getEntity(i);
        // The distance first: it rules out nearly every entity at the cost of a few multiplications.
        if (entity == this || !QRMATHIntersection::pointInSphere(entity->getPosition() + kHitPointLift, getPosition(),
                                                                 kHitRadius))
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
