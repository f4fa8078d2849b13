#include "entities/app_entt_sprite.h"

APPENTTSprite::APPENTTSprite(QRObject* owner, const Vector3& position) : APPENTTParticleEmitter(owner, position) {}

void APPENTTSprite::afterCreate()
{
    APPENTTParticleEmitter::afterCreate();
    setRemaining(0);
    // Until its particles exist an empty sprite must not take itself away.
    setRemoveWhenEmpty(false);
    mainParticle_ = nullptr;
}

void APPENTTSprite::setupSprite(QRVISXTexture2* texture, const Vector2& patternSize, float particleSize,
                                const Vector4& colour, int blendMode)
{
    setEmission(blendMode, texture, patternSize);
    for (int i = 0; i < 2; ++i) {
        APPENTTParticle* particle = emitParticle(getPosition(), colour, particleSize);
        particle->setFade(0.5f, 1.5f);
        if (i == 0)
            mainParticle_ = particle;
    }
    setRemoveWhenEmpty(true);
}

void APPENTTSprite::particleRemoved(const APPENTTParticle* particle)
{
    if (particle == mainParticle_)
        mainParticle_ = nullptr;
}
