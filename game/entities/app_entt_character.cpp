#include "entities/app_entt_character.h"

#include "core/qr_time_main.h"

APPENTTCharacter::APPENTTCharacter(QRObject* owner, const Vector3& position) : APPENTTActor(owner, position) {}

void APPENTTCharacter::afterCreate()
{
    setStateHandler(&APPENTTCharacter::onDefaultState, this);
    APPENTTActor::afterCreate();
}

void APPENTTCharacter::update()
{
    runState();
}

std::string APPENTTCharacter::getTypeName() const
{
    return "Character";
}

void APPENTTCharacter::damage(int amount)
{
    setHealth(getHealth() - amount);
    if (getHealth() < 1)
        onDeath();
    else
        onHurt();
}

void APPENTTCharacter::setStateHandler(StateMethod method, APPENTTCharacter* target)
{
    stateMethod_ = method;
    stateTarget_ = target;
    stateTime_ = 0.0f;
    stateId_ = 0;
}

void APPENTTCharacter::runState()
{
    if (QRTIMEMain* time = qrTime())
        stateTime_ += time->getDelta();
    if (stateMethod_ && stateTarget_)
        (stateTarget_->*stateMethod_)();
}
