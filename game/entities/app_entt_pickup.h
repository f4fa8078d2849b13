#pragma once
// The sparkle of a collected paper: eleven sparks at once and twenty more over 0.4 s, flying
// apart and fading; the effect removes itself when the last has faded. Owned by the world's
// entity list.

#include "entities/app_entt_particleemitter.h"

class APPENTTPickup : public APPENTTParticleEmitter {
public:
    APPENTTPickup(QRObject* owner, const Vector3& position);

    void afterCreate() override;
    void emit() override;
};
