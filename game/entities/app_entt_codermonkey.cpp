#include "entities/app_entt_codermonkey.h"

#include "entities/app_entt_projectile.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_vector.h"
#include "visual/qr_visx_main.h"
#include "visual/geometry/qr_visx_model.h"
#include "visual/view/qr_visx_transform.h"
#include "world/app_wrld_entities.h"

namespace {
constexpr float kNoHeroDistance = 999999.0f;
constexpr float kWaitTime = 1.0f;
constexpr float kWindUpTime = 0.3f;
constexpr float kAttackTime = 1.0f;
constexpr float kDyingTime = 0.3f;
constexpr Vector3 kHand{0.0f, 1.5f, 0.0f};
// Bananas fly at the hero's chest, explosions burst at the monkey's.
constexpr Vector3 kHeroTarget{0.0f, 1.2f, 0.0f};
constexpr Vector3 kExplosionLift{0.0f, 1.2f, 0.0f};
} // namespace

APPENTTCoderMonkey::APPENTTCoderMonkey(QRObject* owner, const Vector3& position) : APPENTTCharacter(owner, position)
{
}

void APPENTTCoderMonkey::afterCreate()
{
    APPENTTCharacter::afterCreate();
    setModelByName("models\\characters\\monkey.model");
    setHealth(100);
    pose_ = kPoseIdle;
    setStateHandler(&APPENTTCoderMonkey::onWaitingState, this);
}

std::string APPENTTCoderMonkey::getTypeName() const
{
    return "CoderMonkey";
}

float APPENTTCoderMonkey::distanceToHero() const
{
    const APPWRLDEntities* list = getEntityList();
    const APPENTTMain* hero = list ? list->getHero() : nullptr;
    return hero ? QRMATHVector3::distance(getPosition(), hero->getPosition()) : kNoHeroDistance;
}

void APPENTTCoderMonkey::onWaitingState()
{
    pose_ = kPoseIdle;
    if (getStateTime() > kWaitTime && distanceToHero() < kSightRange)
        setStateHandler(&APPENTTCoderMonkey::onAttackingState, this);
}

void APPENTTCoderMonkey::onAttackingState()
{
    faceHero();
    if (getStateTime() < kWindUpTime) {
        pose_ = kPoseWindUp;
    } else {
        pose_ = kPoseThrow;
        if (getStateId() == 0) {
            setStateId(1);
            throwBanana();
        }
    }
    if (getStateTime() > kAttackTime) {
        pose_ = kPoseIdle;
        setStateHandler(&APPENTTCoderMonkey::onWaitingState, this);
    }
}

void APPENTTCoderMonkey::onDyingState()
{
    if (getStateTime() > kDyingTime)
        removeFromWorld();
}

void APPENTTCoderMonkey::faceHero()
{
    const APPWRLDEntities* list = getEntityList();
    const APPENTTMain* hero = list ? list->getHero() : nullptr;
    if (!hero)
        return;
    Vector3 toHero = hero->getPosition() - getPosition();
    toHero.y = 0.0f;
    // Standing on the hero's spot there is no direction to turn to.
    if (QRMATHVector3::length(toHero) <= 0.0f)
        return;
    // The turn is taken in the world's frame (before the orientation): taken in the monkey's own
    // frame it only faces the hero while the monkey stands upright, and a rolled one would spin.
    setOrientation(QRMATHQuaternion::fromTo(forwardVector(), QRMATHVector3::normalize(toHero)) *
                   getOrientation());
}

void APPENTTCoderMonkey::throwBanana()
{
    const Vector3 hand = getPosition() + kHand;
    APPWRLDEntities* list = getEntityList();
    const APPENTTMain* hero = list ? list->getHero() : nullptr;
    const Vector3 direction =
        hero ? QRMATHVector3::direction(hand, hero->getPosition() + kHeroTarget) : forwardVector();
    if (list) {
        if (auto* banana = dynamic_cast<APPENTTProjectile*>(list->createEntity("Banana", hand))) {
            banana->setDirection(direction);
            banana->setOrientation(getOrientation());
        }
    }
    playSound("sounds\\throw_banana.wav");
}

void APPENTTCoderMonkey::onDeath()
{
    if (APPWRLDEntities* list = getEntityList())
        list->createEntity("Explosion", getPosition() + kExplosionLift);
    playSound("sounds\\explosion.wav");
    setStateHandler(&APPENTTCoderMonkey::onDyingState, this);
}

void APPENTTCoderMonkey::render()
{
    QRVISXMain* visual = qrVisual();
    if (!visual || !getModel())
        return;
    QRVISXTransformWorld* world = visual->getTransform()->getWorld();
    world->reset();
    world->translate(getPosition());
    world->rotate(getOrientation());
    world->apply();
    getModel()->renderLod(pose_, true);
}
