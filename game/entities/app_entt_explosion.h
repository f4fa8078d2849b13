#pragma once
// The explosion of a dying coder monkey: six drifting particles that play the 64 cells of the
// explosion sheet at 32 cells per second, after which the effect removes itself. Owned by the
// world's entity list.

#include "entities/app_entt_particleemitter.h"

class APPENTTExplosion : public APPENTTParticleEmitter {
public:
    static constexpr int kCells = 64;
    static constexpr float kCellsPerSecond = 32.0f;

    APPENTTExplosion(QRObject* owner, const Vector3& position);

    // Emits all six particles at once.
    void afterCreate() override;
    // Shows every particle the cell of the explosion's age; past the last cell they vanish.
    void update() override;
    void emit() override;
};
