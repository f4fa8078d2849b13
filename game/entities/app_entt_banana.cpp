#include "entities/app_entt_banana.h"

#include "core/qr_time_main.h"

namespace {
constexpr const char* kImpactSound = "sounds\\banana_impact.wav";
} // namespace

APPENTTBanana::APPENTTBanana(QRObject* owner, const Vector3& position) : APPENTTProjectile(owner, position) {}

void APPENTTBanana::afterCreate()
{
    APPENTTProjectile::afterCreate();
    setSpeed(15.0f);
    setDamage(5);
    setHits(true, false);
    setLifetime(4.0f);
    setModelByName("models\\props\\banana.model");
    setSize(0.4f);
    setCastsShadow(true);
}

void APPENTTBanana::update()
{
    const QRTIMEMain* time = qrTime();
    const float dt = time ? time->getDelta() : 0.0f;
    rotateLocalX(-800.0f * dt);
    rotateLocalY(100.0f * dt);
    rotateLocalZ(200.0f * dt);
    fly();
}

void APPENTTBanana::onImpact()
{
    playSound(kImpactSound);
}

void APPENTTBanana::onGroundHit()
{
    playSound(kImpactSound);
}
