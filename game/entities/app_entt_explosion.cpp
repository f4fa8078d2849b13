#include "entities/app_entt_explosion.h"

#include "math/qr_math_random.h"
#include "math/qr_math_vector.h"
#include "world/app_wrld_entities.h"

#include <cmath>

namespace {
constexpr int kParticles = 6;
constexpr int kSheetSide = 8;
} // namespace

APPENTTExplosion::APPENTTExplosion(QRObject* owner, const Vector3& position) : APPENTTParticleEmitter(owner, position)
{
}

void APPENTTExplosion::afterCreate()
{
    APPENTTParticleEmitter::afterCreate();
    const APPWRLDEntities* list = getEntityList();
    setEmission(1, list ? list->getExplosionTexture() : nullptr, {0.125f, 0.125f});
    for (int i = 0; i < kParticles; ++i)
        emit();
    setRemaining(0);
    setRemoveWhenEmpty(true);
}

void APPENTTExplosion::emit()
{
    const Vector3 offset{QRMATHRandom::randomFloat(-0.4f, 0.4f), QRMATHRandom::randomFloat(-0.4f, 0.4f),
                         QRMATHRandom::randomFloat(-0.4f, 0.4f)};
    APPENTTParticle* particle =
        emitParticle(getPosition() + offset, {1.0f, 1.0f, 1.0f, 1.0f}, QRMATHRandom::randomFloat(1.5f, 1.9f));
    particle->setPatternCell({0.0f, 7.0f});
    particle->setFade(2.0f, 0.0f);
    particle->setVelocity(offset);
}

void APPENTTExplosion::update()
{
    if (!updateEmitter())
        return;
    // The sheet's first row is its top one, which OpenGL sees as row 7.
    const int cell = static_cast<int>(std::floor(getAge() * kCellsPerSecond));
    for (int i = 0; i < getParticleCount(); ++i) {
        if (cell >= kCells)
            getParticle(i)->setSize(0.0f);
        else
            getParticle(i)->setPatternCell({static_cast<float>(cell % kSheetSide),
                                            static_cast<float>(kSheetSide - 1 - cell / kSheetSide)});
    }
}
