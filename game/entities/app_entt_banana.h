#pragma once
// The coder monkeys' banana: a slow, spinning projectile that hurts only the hero. Owned by the
// world's entity list.

#include "entities/app_entt_projectile.h"

class APPENTTBanana : public APPENTTProjectile {
public:
    APPENTTBanana(QRObject* owner, const Vector3& position);

    void afterCreate() override;
    // Spins, then flies.
    void update() override;
    void onImpact() override;
    void onGroundHit() override;
};
