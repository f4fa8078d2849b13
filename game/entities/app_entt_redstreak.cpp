#include "entities/app_entt_redstreak.h"

#include "entities/app_entt_sprite.h"
#include "world/app_wrld_entities.h"

APPENTTRedStreak::APPENTTRedStreak(QRObject* owner, const Vector3& position) : APPENTTProjectile(owner, position) {}

void APPENTTRedStreak::afterCreate()
{
    APPENTTProjectile::afterCreate();
    setSpeed(40.0f);
    setDamage(30);
    setHits(false, true);
    setLifetime(3.0f);
    setModelByName("models\\props\\redstreak.model");
    setSize(1.0f);
    setCastsShadow(false);
}

void APPENTTRedStreak::onImpact()
{
    flash();
}

void APPENTTRedStreak::onGroundHit()
{
    flash();
}

void APPENTTRedStreak::flash()
{
    if (APPWRLDEntities* list = getEntityList()) {
        auto* sprite = dynamic_cast<APPENTTSprite*>(list->createEntity("Sprite", getPosition()));
        if (sprite) {
            sprite->setupSprite(list->getRedStreakImpactTexture(), {1.0f, 1.0f}, 0.4f, {1.0f, 1.0f, 1.0f, 1.0f}, 1);
            sprite->getMainParticle()->setFade(0.1f, 5.0f);
        }
    }
    playSound("sounds\\impact.wav");
}
