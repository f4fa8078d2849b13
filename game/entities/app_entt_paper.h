#pragma once
// A paper for the hero to collect: it spins in place, and once the hero comes within 3 units it
// sparkles, counts for the hero, plays its sound and leaves the world. Placed in the editor and
// stored in the area files; owned by the world's entity list.

#include "entities/app_entt_actor.h"

class APPENTTPaper : public APPENTTActor {
public:
    // Collected when the hero is closer than this.
    static constexpr float kReach = 3.0f;

    APPENTTPaper(QRObject* owner, const Vector3& position);

    // One of the five paper models, drawn at random.
    void afterCreate() override;
    // Spins; the paper may be collected and gone afterwards.
    void update() override;
    std::string getTypeName() const override;

    float getSpinAngle() const { return spinAngle_; }

private:
    float spinAngle_ = 0.0f;
};
