#pragma once
// A short flash of two particles at one point (muzzle flash, impact flash): set up once by its
// creator, it emits nothing more and removes itself when both have faded. Owned by the world's
// entity list.

#include "entities/app_entt_particleemitter.h"

class APPENTTSprite : public APPENTTParticleEmitter {
public:
    APPENTTSprite(QRObject* owner, const Vector3& position);

    void afterCreate() override;

    // Blend mode, texture and cell size, then the two particles at the sprite's position, each
    // fading from 0.5 s on at 1.5 per second; the first becomes the main particle, which the
    // creator usually adjusts afterwards.
    void setupSprite(QRVISXTexture2* texture, const Vector2& patternSize, float particleSize, const Vector4& colour,
                     int blendMode);
    // Null once it has faded.
    APPENTTParticle* getMainParticle() const { return mainParticle_; }

protected:
    void particleRemoved(const APPENTTParticle* particle) override;

private:
    APPENTTParticle* mainParticle_ = nullptr;
};
