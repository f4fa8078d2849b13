#pragma once
// A coder monkey: a stationary enemy that waits until the hero comes within 50 units, then turns
// to it and throws a banana about every two seconds; it explodes when its health runs out. Owned
// by the world's entity list; it removes itself shortly after dying.

#include "entities/app_entt_character.h"

class APPENTTCoderMonkey : public APPENTTCharacter {
public:
    // Levels of the monkey's model.
    static constexpr int kPoseIdle = 0;
    static constexpr int kPoseWindUp = 3;
    static constexpr int kPoseThrow = 4;
    static constexpr float kSightRange = 50.0f;

    APPENTTCoderMonkey(QRObject* owner, const Vector3& position);

    void afterCreate() override;
    // The pose's level of the model, turned but not scaled, without a frustum test.
    void render() override;
    float getBoundingRadius() const override { return posedRadius(); }
    std::string getTypeName() const override;
    void onDeath() override;

    void onWaitingState();
    void onAttackingState();
    void onDyingState();

    int getPose() const { return pose_; }

private:
    // 999999 without a hero.
    float distanceToHero() const;
    void faceHero();
    void throwBanana();

    int pose_ = kPoseIdle;
};
