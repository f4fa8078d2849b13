#pragma once
// An entity with hit points that can be targeted: the base of the hero, monkeys, projectiles,
// papers, ads and scenery. Owned by the world's entity list.

#include "entities/app_entt_main.h"

class APPENTTActor : public APPENTTMain {
public:
    APPENTTActor(QRObject* owner, const Vector3& position);

    void afterCreate() override;
    // Adds the "Actor" tab: health and targetable.
    void fillEditForm(APPENTTEditForm& form) override;
    void readEditForm(const APPENTTEditForm& form) override;
    std::string getTypeName() const override;

    // Both move through setPosition, so the block registration follows.
    virtual void moveHorizontal(const Vector3& delta);
    virtual void moveVertical(float dy);

    int getHealth() const { return health_; }
    void setHealth(int health) { health_ = health; }
    bool isTargetable() const { return targetable_; }
    void setTargetable(bool targetable) { targetable_ = targetable; }

private:
    int health_ = -1;
    bool targetable_ = true;
};
