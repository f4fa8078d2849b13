#pragma once
// Turbo-Kip's red streak: a fast projectile that hurts only coder monkeys and flashes where it
// hits. Created by the hero through the entity list ("RedStreak"), owned by the list.

#include "entities/app_entt_projectile.h"

class APPENTTRedStreak : public APPENTTProjectile {
public:
    APPENTTRedStreak(QRObject* owner, const Vector3& position);

    void afterCreate() override;
    void onImpact() override;
    void onGroundHit() override;

private:
    // An impact sprite where the streak ends, and its sound.
    void flash();
};
