#pragma once
// Kip, the player's hero: steered by the keyboard and the mouse, either Kipster (walks, jumps,
// flies) or Turbo-Kip (walks, fires red streaks); collects papers that raise his academic level.
// Each frame he places the game camera behind himself and feeds the heads-up display. Owned by
// the world's entity list, where he registers himself as the world's hero.

#include "entities/app_entt_character.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

class APPENTTKip : public APPENTTCharacter {
public:
    static constexpr int kKipster = 0;
    static constexpr int kTurboKip = 1;
    static constexpr int kMaxLevel = 5;

    // Told the file name of every sound the hero plays (tests follow the hero by ear).
    using SoundObserver = std::function<void(std::string_view fileName)>;

    APPENTTKip(QRObject* owner, const Vector3& position);

    void afterCreate() override;
    void beforeDestroy() override;
    // Only the world's hero plays: reads input, moves, places the camera, feeds the display. Any
    // other Kip (an old area file may hold two) stands still.
    void update() override;
    // The pose's level of the current personality's model, unscaled and without a frustum test.
    void render() override;
    float getBoundingRadius() const override { return posedRadius(); }
    std::string getTypeName() const override;
    // Moves only where the ground one unit ahead rises no more than one unit above the feet, and
    // never beyond the world's edge (he stops there, sliding along it).
    void moveHorizontal(const Vector3& delta) override;

    // The way the hero came over his last two updates (every point his position when he was
    // placed since), so a fast hero still picks up what he passed: something that updates once a
    // frame, before or after him, meets each part of his way at least once.
    std::array<Vector3, 3> getSweptPath() const;

    // One more paper; at 2, 5, 10, 20 and 35 papers the hero rises a level.
    void collectPaper();
    void levelUp();
    // Puts back what a saved game had achieved, without the fanfare of rising to it.
    void restoreProgress(int papersCollected, int level);
    void setPersonality(int personality);
    void togglePersonality();

    // The heading the mouse asks for (target yaw, then target pitch about the local X axis).
    Quaternion getLookOrientation() const;
    Vector3 getLookDirection() const;
    // Puts the game camera ten units behind and two above the hero, looking slightly down.
    void placeCamera();
    // The mouse's motion of a frame turns the targets (x right, y up, in counts; the right stick
    // and the sensitivity make fractions).
    void look(float motionX, float motionUp);

    // The title of a level (0 "Student" to 5 "mächtiger als Gott", UTF-8).
    static std::string levelTitle(int level);

    float getYaw() const { return yaw_; }
    float getPitch() const { return pitch_; }
    float getTargetYaw() const { return targetYaw_; }
    float getTargetPitch() const { return targetPitch_; }
    // Sets both the body and the mouse's heading (placing the hero, tests).
    void setHeading(float yaw, float pitch);
    void setTargetHeading(float yaw, float pitch);
    int getPose() const { return pose_; }
    float getJumpTimer() const { return jumpTimer_; }
    bool isFlying() const { return flying_; }
    bool isOnGround() const { return onGround_; }
    float getAirTime() const { return airTime_; }
    float getCameraStretch() const { return cameraStretch_; }
    float getFlightSpeed() const { return flightSpeed_; }
    int getPersonality() const { return personality_; }
    float getFireCooldown() const { return fireCooldown_; }
    int getPapersCollected() const { return papersCollected_; }
    int getLevel() const { return level_; }
    bool isIdle() const;
    bool isWalking() const;

    void setSoundObserver(SoundObserver observer) { soundObserver_ = std::move(observer); }

private:
    void stateIdle();
    void stateWalking();
    void stateFlying();

    // Turns the body toward the targets at 250 x rate degrees per second; without pitchFollows
    // the pitch relaxes to level instead.
    void turn(float rate, bool pitchFollows);
    void jumpCheck();
    void flyCheck();
    void personalityToggles();
    void jumpImpulse();
    void gravity();
    void fireCheck();
    void fire();
    // A red streak from muzzle along direction, and its muzzle flash.
    void launchRedStreak(const Vector3& muzzle, const Vector3& direction, const Quaternion& orientation);
    void sound(std::string_view fileName);
    float heightAt(const Vector3& point) const;
    void setModelForPersonality();

    float yaw_ = 220.0f;
    float pitch_ = 0.0f;
    float targetYaw_ = 220.0f;
    float targetPitch_ = 0.0f;
    int pose_ = 0;
    float jumpTimer_ = 0.0f;
    bool flying_ = false;
    bool onGround_ = true;
    float airTime_ = 0.0f;
    float cameraStretch_ = 1.0f;
    float flightSpeed_ = 1.0f;
    int personality_ = kKipster;
    float fireCooldown_ = 0.0f;
    int papersCollected_ = 0;
    int level_ = 0;
    Vector3 sweptBefore_;
    Vector3 sweptFrom_;
    Vector3 sweptTo_;
    SoundObserver soundObserver_;
};
