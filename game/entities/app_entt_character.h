#pragma once
// An actor driven by a state machine: one state handler runs per update, with a timer that
// restarts at every switch and a sub-state number the handler interprets. The base of the hero
// and the coder monkeys. Owned by the world's entity list.

#include "entities/app_entt_actor.h"

class APPENTTCharacter : public APPENTTActor {
public:
    // A state handler: a method of a character class, run on its target.
    using StateMethod = void (APPENTTCharacter::*)();

    APPENTTCharacter(QRObject* owner, const Vector3& position);

    void afterCreate() override;
    // Runs the current state.
    void update() override;
    std::string getTypeName() const override;

    virtual void onHurt() {}
    virtual void onDeath() {}
    // The initial state.
    virtual void onDefaultState() {}

    // Health drops by amount; below 1 the character dies, otherwise it is hurt.
    void damage(int amount);

    // Installs the handler and restarts the state timer and sub-state.
    template <class T>
    void setStateHandler(void (T::*method)(), T* target)
    {
        setStateHandler(static_cast<StateMethod>(method), static_cast<APPENTTCharacter*>(target));
    }
    void setStateHandler(StateMethod method, APPENTTCharacter* target);
    template <class T>
    bool isStateHandler(void (T::*method)(), const T* target) const
    {
        return stateMethod_ == static_cast<StateMethod>(method) && stateTarget_ == target;
    }

    void setStateId(int id) { stateId_ = id; }
    int getStateId() const { return stateId_; }
    float getStateTime() const { return stateTime_; }
    // For states that run in cycles (a step, a wing beat) and wind their timer back.
    void setStateTime(float time) { stateTime_ = time; }
    // The state timer grows by the frame time, then the handler runs.
    void runState();

private:
    StateMethod stateMethod_ = nullptr;
    APPENTTCharacter* stateTarget_ = nullptr;
    float stateTime_ = 0.0f;
    int stateId_ = 0;
};
