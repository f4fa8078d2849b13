#include "entities/app_entt_ad.h"

#include "core/qr_time_main.h"
#include "math/qr_math_random.h"
#include "math/qr_math_vector.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_main.h"

#include <cstdio>

APPENTTAd::APPENTTAd(QRObject* owner, const Vector3& position) : APPENTTActor(owner, position) {}

void APPENTTAd::afterCreate()
{
    APPENTTActor::afterCreate();
    setHealth(100);
    checkTimer_ = 0.0f;
    changePending_ = true;
    // The editor, which never draws the game view, shows the board with a poster too.
    choosePoster();
}

std::string APPENTTAd::getTypeName() const
{
    return "Ad";
}

std::string APPENTTAd::posterModel(int number)
{
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02d", number);
    return std::string("models\\environment\\ads\\ad_") + digits + ".model";
}

void APPENTTAd::choosePoster()
{
    setModelByName(posterModel(QRMATHRandom::randomInteger(1, kPosters)));
}

void APPENTTAd::update()
{
    const QRTIMEMain* time = qrTime();
    checkTimer_ += time ? time->getDelta() : 0.0f;
    if (checkTimer_ <= kCheckInterval)
        return;
    checkTimer_ = 0.0f;
    const APPWRLDMain* world = getWorld();
    if (changePending_ || !world)
        return;
    const APPWRLDCamera* camera = world->getCamera();
    if (QRMATHVector3::angleBetween(camera->getForward(), getPosition() - camera->getPosition()) > kOutOfSightAngle)
        changePending_ = true;
}

void APPENTTAd::render()
{
    if (changePending_) {
        changePending_ = false;
        choosePoster();
    }
    APPENTTActor::render();
}
