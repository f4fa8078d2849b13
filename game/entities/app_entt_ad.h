#pragma once
// An advertisement board: shows one of 22 posters and takes a new one at random whenever the
// player has looked more than 50 degrees away from it. Placed in the editor and stored in the
// area files; owned by the world's entity list.

#include "entities/app_entt_actor.h"

class APPENTTAd : public APPENTTActor {
public:
    static constexpr int kPosters = 22;
    // How often (seconds) the board checks whether it is out of sight, and what counts as that.
    static constexpr float kCheckInterval = 0.5f;
    static constexpr float kOutOfSightAngle = 50.0f;

    APPENTTAd(QRObject* owner, const Vector3& position);

    void afterCreate() override;
    // Notes when the game camera looks away.
    void update() override;
    // Changes the poster first if it was noted, then draws the board.
    void render() override;
    std::string getTypeName() const override;

    bool isChangePending() const { return changePending_; }
    static std::string posterModel(int number);

private:
    void choosePoster();

    float checkTimer_ = 0.0f;
    bool changePending_ = true;
};
