#include "entities/app_entt_pickup.h"

#include "math/qr_math_random.h"
#include "math/qr_math_vector.h"
#include "world/app_wrld_entities.h"

namespace {
constexpr int kFirstBurst = 11;
constexpr int kLaterSparks = 20;
constexpr float kSparksPerSecond = 50.0f;
} // namespace

APPENTTPickup::APPENTTPickup(QRObject* owner, const Vector3& position) : APPENTTParticleEmitter(owner, position) {}

void APPENTTPickup::afterCreate()
{
    APPENTTParticleEmitter::afterCreate();
    const APPWRLDEntities* list = getEntityList();
    setEmission(1, list ? list->getPickupTexture() : nullptr, {1.0f, 1.0f});
    for (int i = 0; i < kFirstBurst; ++i)
        emit();
    setRemaining(kLaterSparks);
    setRate(kSparksPerSecond);
    setRemoveWhenEmpty(true);
}

void APPENTTPickup::emit()
{
    const Vector3 offset{QRMATHRandom::randomFloat(-0.5f, 0.5f), QRMATHRandom::randomFloat(-0.5f, 0.5f),
                         QRMATHRandom::randomFloat(-0.5f, 0.5f)};
    APPENTTParticle* particle =
        emitParticle(getPosition() + offset, {1.0f, 1.0f, 1.0f, 1.0f}, QRMATHRandom::randomFloat(0.4f, 0.6f));
    particle->setFadeIn(0.1f);
    particle->setFade(0.3f, 2.0f);
    particle->setVelocity(offset * 4.0f);
}
