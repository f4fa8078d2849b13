#include "entities/app_entt_kip.h"

#include "core/qr_time_main.h"
#include "entities/app_entt_projectile.h"
#include "entities/app_entt_sprite.h"
#include "environment/app_envr_main.h"
#include "interaction/qr_inta_action.h"
#include "interaction/qr_inta_devices.h"
#include "interaction/qr_inta_main.h"
#include "interaction/qr_inta_mouse.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_random.h"
#include "math/qr_math_vector.h"
#include "visual/qr_visx_main.h"
#include "visual/geometry/qr_visx_model.h"
#include "visual/view/qr_visx_transform.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_hud.h"
#include "world/app_wrld_main.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr const char* kKipsterModel = "models\\characters\\Kipster.model";
constexpr const char* kTurboKipModel = "models\\characters\\Turbo-Kip.model";

// Papers at which the hero rises to levels 1 to 5.
constexpr int kLevelThresholds[] = {2, 5, 10, 20, 35};
constexpr const char* kLevelTitles[] = {"Student", "Bachelor", "Master", "Ph.D.", "Institutsvorstand",
                                        "m\u00e4chtiger als Gott"};

constexpr float kMouseDegreesPerCount = 0.3f;
constexpr float kTurnDegreesPerSecond = 250.0f;
// Closer than this the body counts as facing where the mouse asks.
constexpr float kTurnDeadZone = 0.2f;
constexpr float kFallSpeed = 9.81f;
constexpr float kStepCycle = 0.8f;
constexpr float kLandingAirTime = 0.2f;
constexpr float kTakeOffAirTime = 0.1f;

float delta()
{
    QRTIMEMain* time = qrTime();
    return time ? time->getDelta() : 0.0f;
}

bool passed(float timePoint, float value)
{
    QRTIMEMain* time = qrTime();
    return time && time->hasPassed(timePoint, value);
}

const QRINTAAction* action(const char* name)
{
    QRINTAMain* input = qrInput();
    return input ? input->getActions()->findAction(name) : nullptr;
}

bool held(const char* name)
{
    const QRINTAAction* found = action(name);
    return found && found->isHeld();
}

bool justPressed(const char* name)
{
    const QRINTAAction* found = action(name);
    return found && found->isJustPressed();
}

// value moves toward target by at most step, stopping there.
float approach(float value, float target, float step)
{
    if (value < target)
        return std::min(value + step, target);
    return std::max(value - step, target);
}

// Keeps target within half a turn of current, so the body turns the short way round. Whole turns
// at once: a wild mouse frame must not become a long loop.
float within180(float target, float current)
{
    const float difference = target - current;
    if (difference > 180.0f)
        return target - 360.0f * std::ceil((difference - 180.0f) / 360.0f);
    if (difference < -180.0f)
        return target + 360.0f * std::ceil((-180.0f - difference) / 360.0f);
    return target;
}

float turnToward(float angle, float target, float rate)
{
    if (target > angle + kTurnDeadZone)
        return std::min(angle + rate, target);
    if (target < angle - kTurnDeadZone)
        return std::max(angle - rate, target);
    return angle;
}

void wrapWholeTurns(float& angle, float& target)
{
    if (std::fabs(angle) <= 360.0f)
        return;
    const float turns = 360.0f * std::trunc(angle / 360.0f);
    angle -= turns;
    target -= turns;
}

Quaternion heading(float yaw, float pitch)
{
    return QRMATHQuaternion::rotateX(QRMATHQuaternion::fromRotationY(yaw), pitch);
}
} // namespace

APPENTTKip::APPENTTKip(QRObject* owner, const Vector3& position) : APPENTTCharacter(owner, position) {}

void APPENTTKip::afterCreate()
{
    APPENTTCharacter::afterCreate();
    setHealth(100);
    yaw_ = targetYaw_ = 220.0f;
    pitch_ = targetPitch_ = 0.0f;
    pose_ = 0;
    jumpTimer_ = 0.0f;
    flying_ = false;
    onGround_ = true;
    airTime_ = 0.0f;
    cameraStretch_ = 1.0f;
    flightSpeed_ = 1.0f;
    personality_ = kKipster;
    fireCooldown_ = 0.0f;
    papersCollected_ = 0;
    level_ = 0;
    setOrientation(heading(yaw_, pitch_));
    sweptBefore_ = sweptFrom_ = sweptTo_ = getPosition();
    setModelForPersonality();
    setStateHandler(&APPENTTKip::stateIdle, this);
    if (APPWRLDEntities* list = getEntityList())
        list->setHero(this);
    placeCamera();
}

void APPENTTKip::beforeDestroy()
{
    // The world must not keep a hero that is gone, whichever way it went.
    if (APPWRLDEntities* list = getEntityList(); list && list->getHero() == this)
        list->setHero(nullptr);
    APPENTTCharacter::beforeDestroy();
}

std::string APPENTTKip::getTypeName() const
{
    return "Kip";
}

std::string APPENTTKip::levelTitle(int level)
{
    return kLevelTitles[std::clamp(level, 0, kMaxLevel)];
}

bool APPENTTKip::isIdle() const
{
    return isStateHandler(&APPENTTKip::stateIdle, this);
}

bool APPENTTKip::isWalking() const
{
    return isStateHandler(&APPENTTKip::stateWalking, this);
}

void APPENTTKip::setHeading(float yaw, float pitch)
{
    yaw_ = targetYaw_ = yaw;
    pitch_ = targetPitch_ = pitch;
    setOrientation(heading(yaw_, pitch_));
}

void APPENTTKip::setTargetHeading(float yaw, float pitch)
{
    targetYaw_ = yaw;
    targetPitch_ = pitch;
}

void APPENTTKip::sound(std::string_view fileName)
{
    if (soundObserver_)
        soundObserver_(fileName);
    playSound(fileName);
}

float APPENTTKip::heightAt(const Vector3& point) const
{
    APPWRLDMain* world = getWorld();
    return world ? world->getEnvironment()->getHeight(point) : 0.0f;
}

void APPENTTKip::setModelForPersonality()
{
    setModelByName(personality_ == kTurboKip ? kTurboKipModel : kKipsterModel);
}

// --- The frame ----------------------------------------------------------------------------------

void APPENTTKip::update()
{
    if (const APPWRLDEntities* list = getEntityList(); list && list->getHero() != this)
        return;
    const Vector3 start = getPosition();
    if (fireCooldown_ > 0.0f)
        fireCooldown_ -= delta();

    // The mouse (as sensitive as the player set it) and a controller's right stick turn him alike.
    if (const QRINTAMain* input = qrInput()) {
        const auto [lookX, lookUp] = input->getLookMotion(delta());
        look(lookX, lookUp);
    }

    runState();
    placeCamera();

    if (APPWRLDMain* world = getWorld()) {
        if (APPWRLDHUD* hud = world->getHUD()) {
            hud->setHealth(getHealth());
            hud->setPapersCollected(papersCollected_);
        }
    }
    const bool placedSince = start.x != sweptTo_.x || start.y != sweptTo_.y || start.z != sweptTo_.z;
    sweptBefore_ = placedSince ? start : sweptFrom_;
    sweptFrom_ = start;
    sweptTo_ = getPosition();
}

std::array<Vector3, 3> APPENTTKip::getSweptPath() const
{
    const Vector3& here = getPosition();
    if (sweptTo_.x != here.x || sweptTo_.y != here.y || sweptTo_.z != here.z)
        return {here, here, here};
    return {sweptBefore_, sweptFrom_, sweptTo_};
}

void APPENTTKip::look(float motionX, float motionUp)
{
    targetYaw_ -= kMouseDegreesPerCount * motionX;
    targetPitch_ += kMouseDegreesPerCount * motionUp;
    targetYaw_ = within180(targetYaw_, yaw_);
    targetPitch_ = within180(targetPitch_, pitch_);
}

void APPENTTKip::turn(float rate, bool pitchFollows)
{
    const float step = kTurnDegreesPerSecond * rate * delta();
    yaw_ = turnToward(yaw_, targetYaw_, step);
    if (pitchFollows) {
        pitch_ = turnToward(pitch_, targetPitch_, step);
    } else {
        pitch_ = std::fmod(pitch_, 360.0f);
        pitch_ = approach(pitch_, 0.0f, step);
    }
    // Circling and looping for hours must not eat the angles' precision: whole turns go, from the
    // body and its target alike, so the way he turns does not change.
    wrapWholeTurns(yaw_, targetYaw_);
    wrapWholeTurns(pitch_, targetPitch_);
    setOrientation(heading(yaw_, pitch_));
}

Quaternion APPENTTKip::getLookOrientation() const
{
    return heading(targetYaw_, targetPitch_);
}

Vector3 APPENTTKip::getLookDirection() const
{
    return QRMATHQuaternion::forward(getLookOrientation());
}

void APPENTTKip::placeCamera()
{
    APPWRLDMain* world = getWorld();
    if (!world)
        return;
    // Looking slightly down on the hero.
    const Quaternion q = QRMATHQuaternion::rotateX(getLookOrientation(), -20.0f);
    Vector3 eye = getPosition() + Vector3{0.0f, 1.5f, 0.0f} + QRMATHQuaternion::forward(q) * -10.0f +
                  QRMATHQuaternion::up(q) * 2.0f;
    const float ground = heightAt(eye);
    if (eye.y + 0.2f < ground)
        eye.y = ground + 0.2f;
    APPWRLDCamera* camera = world->getCamera();
    camera->setPosition(eye);
    camera->setOrientation(q);
    camera->setDepthStretch(cameraStretch_);
}

// --- States -------------------------------------------------------------------------------------

void APPENTTKip::stateIdle()
{
    cameraStretch_ = approach(cameraStretch_, 1.0f, 2.0f * delta());
    turn(1.0f, false);
    fireCheck();
    pose_ = 0;
    if (personality_ == kTurboKip) {
        if (airTime_ > 0.1f)
            pose_ = 3;
        if (fireCooldown_ > 0.0f)
            pose_ = 4;
    }
    if (held("Forward") || held("Back") || held("Left") || held("Right"))
        setStateHandler(&APPENTTKip::stateWalking, this);
    jumpCheck();
    flyCheck();
    personalityToggles();
    jumpImpulse();
    gravity();
}

void APPENTTKip::stateWalking()
{
    cameraStretch_ = approach(cameraStretch_, 1.0f, 2.0f * delta());
    turn(0.7f, false);
    fireCheck();

    float t = getStateTime();
    const bool firstStep = t < 0.2f;
    const bool secondStep = t > 0.4f && t < 0.6f;
    if (personality_ == kKipster) {
        pose_ = firstStep ? 2 : secondStep ? 3 : 0;
    } else {
        pose_ = firstStep ? 1 : secondStep ? 2 : 0;
        if (airTime_ > 0.1f)
            pose_ = 3;
        if (fireCooldown_ > 0.0f)
            pose_ = 4;
    }
    if (t > kStepCycle) {
        t = 0.0f;
        setStateTime(t);
    }
    if (onGround_ && (passed(0.1f, t) || passed(0.5f, t)))
        sound("sounds\\footsteps.wav");

    Vector3 direction{0.0f, 0.0f, 0.0f};
    if (held("Forward"))
        direction.z = 1.0f;
    if (held("Back"))
        direction.z = -1.0f;
    if (held("Left"))
        direction.x = -1.0f;
    if (held("Right"))
        direction.x = 1.0f;
    if (QRMATHVector3::length(direction) <= 0.1f) {
        setStateHandler(&APPENTTKip::stateIdle, this);
    } else {
        direction = QRMATHVector3::normalize(direction);
        const float distance = (5.0f + 1.2f * static_cast<float>(level_)) * delta();
        moveHorizontal(forwardVector() * (direction.z * distance));
        moveHorizontal(rightVector() * (direction.x * distance));
    }

    jumpCheck();
    flyCheck();
    personalityToggles();
    jumpImpulse();
    gravity();
}

void APPENTTKip::stateFlying()
{
    float wanted = 1.0f;
    if (held("Forward"))
        wanted = 1.5f;
    if (held("Back"))
        wanted = 0.5f;
    flightSpeed_ = approach(flightSpeed_, wanted, delta());

    const float boost = flightSpeed_ - 1.0f;
    cameraStretch_ = approach(cameraStretch_, std::max(1.0f, 1.0f + 0.6f * boost), 2.0f * delta());
    // The faster he flies, the wider his turns.
    turn(0.6f * (1.0f - 0.6f * boost), true);
    pose_ = 1;

    // Hard turns cost speed.
    const float offCourse = std::max(std::fabs(yaw_ - targetYaw_), std::fabs(pitch_ - targetPitch_));
    const float keep = std::clamp((90.0f - offCourse) / 90.0f, 0.5f, 1.0f);
    const Vector3 step =
        forwardVector() * ((27.0f * flightSpeed_ + 5.0f * static_cast<float>(level_)) * delta() * keep);
    moveHorizontal(step);
    moveVertical(step.y);

    const Vector3& position = getPosition();
    const float ground = heightAt(position);
    if (position.y < ground + 1.0f)
        setPosition({position.x, ground + 1.0f, position.z});

    if (getStateTime() > 0.1f) {
        setStateTime(getStateTime() - 1.0f);
        sound("sounds\\fly.wav");
    }

    if (justPressed("Fly")) {
        flying_ = false;
        airTime_ = 0.0f;
        onGround_ = false;
        setStateHandler(&APPENTTKip::stateIdle, this);
    }
}

// --- Checks shared by idle and walking ----------------------------------------------------------

void APPENTTKip::jumpCheck()
{
    if (justPressed("Jump") && !flying_ && onGround_ && jumpTimer_ <= 0.0f) {
        jumpTimer_ = 1.0f;
        sound("sounds\\jump.wav");
    }
}

void APPENTTKip::flyCheck()
{
    if (personality_ == kKipster && justPressed("Fly") && !flying_ && !onGround_ && airTime_ > kTakeOffAirTime) {
        setStateHandler(&APPENTTKip::stateFlying, this);
        flying_ = true;
        airTime_ = 0.0f;
        flightSpeed_ = 1.0f;
    }
}

void APPENTTKip::personalityToggles()
{
    for (const char* name : {"Prior Personality", "Next Personality", "Tab"})
        if (justPressed(name))
            togglePersonality();
}

void APPENTTKip::jumpImpulse()
{
    if (jumpTimer_ > 0.0f) {
        // The impulse fades with the timer; its exact integral over the frame lifts him as high
        // at 5 frames a second as at 144 (summing it at the frame's end fell short by half).
        const float dt = delta();
        const float active = std::min(dt, jumpTimer_);
        const float rise = (20.0f + 2.0f * static_cast<float>(level_)) * (jumpTimer_ * active - 0.5f * active * active);
        jumpTimer_ -= dt;
        moveVertical(rise);
    } else {
        jumpTimer_ = 0.0f;
    }
}

void APPENTTKip::gravity()
{
    if (flying_)
        return;
    // A constant fall speed, not an acceleration.
    moveVertical(-kFallSpeed * delta());
    const Vector3& position = getPosition();
    const float ground = heightAt(position);
    if (position.y > ground) {
        onGround_ = false;
        airTime_ += delta();
        return;
    }
    if (!onGround_ && airTime_ > kLandingAirTime)
        sound("sounds\\land.wav");
    setPosition({position.x, ground, position.z});
    jumpTimer_ = 0.0f;
    onGround_ = true;
    airTime_ = 0.0f;
}

void APPENTTKip::moveHorizontal(const Vector3& delta)
{
    const Vector3 flat{delta.x, 0.0f, delta.z};
    if (QRMATHVector3::length(flat) <= 0.0f)
        return;
    // A rise steeper than one unit over one unit stops the whole move.
    const Vector3 ahead = getPosition() + QRMATHVector3::normalize(flat);
    if (getPosition().y + 1.0f < heightAt(ahead))
        return;
    // The world's edge stops him like a wall.
    const float edge = APPENVRMain::kAreaSize * static_cast<float>(APPENVRMain::kAreaCount);
    const Vector3& position = getPosition();
    const Vector3 kept{std::clamp(position.x + flat.x, 0.0f, edge) - position.x, 0.0f,
                       std::clamp(position.z + flat.z, 0.0f, edge) - position.z};
    APPENTTCharacter::moveHorizontal(kept);
}

// --- Personality, papers and levels -------------------------------------------------------------

void APPENTTKip::setPersonality(int personality)
{
    personality_ = personality;
    setModelForPersonality();
    flying_ = false;
    airTime_ = 0.0f;
    onGround_ = false;
    fireCooldown_ = 0.0f;
    setStateHandler(&APPENTTKip::stateIdle, this);
}

void APPENTTKip::togglePersonality()
{
    setPersonality(personality_ == kKipster ? kTurboKip : kKipster);
}

void APPENTTKip::collectPaper()
{
    ++papersCollected_;
    if (std::find(std::begin(kLevelThresholds), std::end(kLevelThresholds), papersCollected_) !=
        std::end(kLevelThresholds))
        levelUp();
}

void APPENTTKip::restoreProgress(int papersCollected, int level)
{
    papersCollected_ = std::max(0, papersCollected);
    level_ = std::clamp(level, 0, kMaxLevel);
    if (APPWRLDHUD* hud = getWorld() ? getWorld()->getHUD() : nullptr) {
        hud->setLevelTitle(levelTitle(level_));
        hud->setPapersCollected(papersCollected_);
    }
}

void APPENTTKip::levelUp()
{
    // Every level's speeds and titles are defined up to the fifth.
    if (level_ >= kMaxLevel)
        return;
    ++level_;
    APPWRLDHUD* hud = getWorld() ? getWorld()->getHUD() : nullptr;
    if (hud)
        hud->setLevelTitle(levelTitle(level_));
    sound("sounds\\level_up.wav");
    if (hud)
        hud->startLevelUpFlash();
}

// --- Firing -------------------------------------------------------------------------------------

void APPENTTKip::fireCheck()
{
    if (personality_ == kTurboKip && fireCooldown_ <= 0.0f && held("Left Mouse")) {
        fireCooldown_ = 0.25f - 0.04f * static_cast<float>(level_);
        sound("sounds\\turbo_kip_fire.wav");
        fire();
    }
}

void APPENTTKip::fire()
{
    APPWRLDEntities* list = getEntityList();
    if (!list)
        return;
    const Vector3 muzzle =
        getPosition() + Vector3{0.0f, 1.2f, 0.0f} + rightVector() * 0.9f + forwardVector() * 0.7f;
    const Quaternion look = getLookOrientation();
    Vector3 direction = QRMATHQuaternion::forward(look);

    // Aim help: the monkey nearest the line of sight, within 100 units and 10 degrees.
    const APPENTTMain* target = nullptr;
    float bestAngle = 10.0f;
    for (int i = 0; i < list->getEntityCount(); ++i) {
        const APPENTTMain* entity = list->getEntity(i);
        if (entity->getTypeName() != "CoderMonkey" ||
            QRMATHVector3::distance(muzzle, entity->getPosition()) > 100.0f)
            continue;
        const Vector3 aim = entity->getPosition() + Vector3{0.0f, 1.3f, 0.0f};
        const float angle = QRMATHVector3::angleBetween(direction, aim - muzzle);
        if (angle < bestAngle) {
            bestAngle = angle;
            target = entity;
        }
    }
    if (target)
        direction = QRMATHVector3::direction(muzzle, target->getPosition() + Vector3{0.0f, 1.3f, 0.0f});

    launchRedStreak(muzzle, direction, look);
}

// --- Drawing ------------------------------------------------------------------------------------

void APPENTTKip::render()
{
    QRVISXMain* visual = qrVisual();
    QRVISXModel* model = getModel();
    if (!visual || !model)
        return;
    QRVISXTransformWorld* world = visual->getTransform()->getWorld();
    world->reset();
    world->translate(getPosition());
    world->rotate(getOrientation());
    world->apply();
    model->renderLod(pose_, true);
}

void APPENTTKip::launchRedStreak(const Vector3& muzzle, const Vector3& direction, const Quaternion& orientation)
{
    APPWRLDEntities* list = getEntityList();
    APPENTTMain* streak = list->createEntity("RedStreak", muzzle);
    streak->setOrientation(orientation);
    if (auto* projectile = dynamic_cast<APPENTTProjectile*>(streak))
        projectile->setDirection(direction);

    auto* flash = dynamic_cast<APPENTTSprite*>(list->createEntity("Sprite", muzzle));
    if (!flash)
        return;
    flash->setupSprite(list->getRedStreakShotTexture(), {1.0f, 1.0f}, 0.5f, {1.0f, 1.0f, 1.0f, 1.0f}, 1);
    if (APPENTTParticle* particle = flash->getMainParticle()) {
        particle->setRotation(QRMATHRandom::randomFloat(0.0f, 360.0f));
        particle->setFade(0.0f, 6.0f);
        particle->setSizeChange(-1.0f);
    }
}
