#include "entities/app_entt_paper.h"

#include "core/qr_time_main.h"
#include "entities/app_entt_kip.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_random.h"
#include "math/qr_math_vector.h"
#include "world/app_wrld_entities.h"

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
    spinAngle_ += kSpinSpeed * (time ? time->getDelta() : 0.0f);
    setOrientation(QRMATHQuaternion::fromRotationY(spinAngle_));

    APPWRLDEntities* list = getEntityList();
    APPENTTKip* hero = list ? list->getKip() : nullptr;
    if (!hero || QRMATHVector3::distanceSquared(getPosition(), hero->getPosition()) >= kReach * kReach)
        return;
    list->createEntity("Pickup", getPosition() + kSparkleLift);
    hero->collectPaper();
    playSound("sounds\\collect_paper.wav");
    removeFromWorld();
}
