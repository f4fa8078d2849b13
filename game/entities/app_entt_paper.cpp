#include "entities/app_entt_paper.h"

#include "core/qr_time_main.h"
#include "entities/app_entt_kip.h"
#include "entities/app_entt_sweep.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_random.h"
#include "math/qr_math_vector.h"
#include "world/app_wrld_entities.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr float kSpinSpeed = 120.0f;
constexpr Vector3 kSparkleLift{0.0f, 1.2f, 0.0f};
} // namespace

APPENTTPaper::APPENTTPaper(QRObject* owner, const Vector3& position) : APPENTTActor(owner, position) {}

void APPENTTPaper::afterCreate()
{
    APPENTTActor::afterCreate();
    spinAngle_ = 0.0f;
    setModelByName("models\\props\\paper_" + std::to_string(QRMATHRandom::randomInteger(1, 5)) + ".model");
}

std::string APPENTTPaper::getTypeName() const
{
    return "Paper";
}

void APPENTTPaper::update()
{
    const QRTIMEMain* time = qrTime();
    // Whole turns go, so hours of spinning keep the angle's precision.
    spinAngle_ = std::fmod(spinAngle_ + kSpinSpeed * (time ? time->getDelta() : 0.0f), 360.0f);
    setOrientation(QRMATHQuaternion::fromRotationY(spinAngle_));

    // Along the whole way the hero came in his last frame: a fast flight covers more than the
    // reach between two frames.
    APPWRLDEntities* list = getEntityList();
    APPENTTKip* hero = list ? list->getKip() : nullptr;
    if (!hero)
        return;
    const std::array<Vector3, 3> way = hero->getSweptPath();
    if (std::min(APPENTTSweep::distanceSquared(getPosition(), way[0], way[1]),
                 APPENTTSweep::distanceSquared(getPosition(), way[1], way[2])) >= kReach * kReach)
        return;
    list->createEntity("Pickup", getPosition() + kSparkleLift);
    hero->collectPaper();
    playSound("sounds\\collect_paper.wav");
    removeFromWorld();
}
