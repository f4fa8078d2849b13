#include "world/app_wrld_hud.h"

#include "core/qr_time_main.h"
#include "sound/qr_boom_channel.h"
#include "sound/qr_boom_main.h"
#include "sound/qr_boom_samples.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/text/qr_visx_font.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/text/qr_visx_render.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/view/qr_visx_viewport.h"

#include <algorithm>

namespace {
constexpr float kStatusHeight = 0.03f;
constexpr int kAlphaBlending = 3;
constexpr Vector4 kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr const char* kLevelUpText = "Level Up!";
// The flash runs from t = 1 (its start) until t passes 7.
constexpr float kFlashEnd = 7.0f;
constexpr float kShadowOffset = 0.01f;

Vector2 alignTopLeft(float x, float y)
{
    QRVISXMain* visual = qrVisual();
    return visual ? visual->getViewPort()->getAlign()->alignTopLeft(x, y) : Vector2{x - 1.0f, 1.0f - y};
}

Vector2 alignBottomLeft(float x, float y)
{
    QRVISXMain* visual = qrVisual();
    return visual ? visual->getViewPort()->getAlign()->alignBottomLeft(x, y) : Vector2{x - 1.0f, y - 1.0f};
}
} // namespace

APPWRLDHUD::APPWRLDHUD(QRObject* owner) : QRObject(owner, "HUD") {}

APPWRLDHUD::~APPWRLDHUD() = default;

void APPWRLDHUD::initialize()
{
    QRObject::initialize();
    font_ = qrNew<QRVISXFont>(this);
    font_->loadFromFile(kFontFile);
}

std::vector<APPWRLDHUDText> APPWRLDHUD::getStatusTexts() const
{
    const int left = QRVISXFont::kAlignLeft;
    return {
        {"Health: " + std::to_string(std::max(0, health_)), alignTopLeft(0.1f, 0.1f), kStatusHeight, kWhite, left},
        {"Papers: " + std::to_string(papersCollected_) + " / " + std::to_string(papersInWorld_),
         alignBottomLeft(0.1f, 0.17f), kStatusHeight, kWhite, left},
        {"Level: " + levelTitle_, alignBottomLeft(0.1f, 0.1f), kStatusHeight, kWhite, left},
    };
}

void APPWRLDHUD::setHealth(int health)
{
    if (health < health_) {
        hitTimer_ = kHitFlashSeconds;
        if (QRBOOMMain* sound = qrSound(); sound && sound->getSamples() && sound->getChannels())
            sound->getChannels()->play(sound->getSamples()->loadSample(kHurtSound));
    }
    health_ = health;
}

void APPWRLDHUD::resetHealth(int health)
{
    health_ = health;
    hitTimer_ = 0.0f;
}

float APPWRLDHUD::getHitFlashAlpha() const
{
    return hitTimer_ > 0.0f ? 0.45f * hitTimer_ / kHitFlashSeconds : 0.0f;
}

float APPWRLDHUD::getBackdropAlpha() const
{
    if (!isFlashing())
        return 0.0f;
    return std::max(0.0f, 0.5f - (levelUpTimer_ - 1.0f));
}

std::vector<APPWRLDHUDText> APPWRLDHUD::getFlashTexts() const
{
    std::vector<APPWRLDHUDText> texts;
    if (!isFlashing())
        return texts;
    const float t = levelUpTimer_;
    // The text shrinks during the first 0.2 seconds and fades out during the seventh.
    const float height = std::max(0.1f, 0.5f - 2.0f * (t - 1.0f));
    const float alpha = t > 6.0f ? 1.0f - (t - 6.0f) : 1.0f;
    const int centre = QRVISXFont::kAlignCenter;
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j)
            if (i != 0 || j != 0)
                texts.push_back({kLevelUpText,
                                 {static_cast<float>(i) * kShadowOffset, static_cast<float>(j) * kShadowOffset},
                                 height,
                                 {0.0f, 0.0f, 0.0f, alpha},
                                 centre});
    texts.push_back({kLevelUpText, {0.0f, 0.0f}, height, {1.0f, 1.0f, 1.0f, alpha}, centre});
    return texts;
}

void APPWRLDHUD::render()
{
    QRVISXMain* visual = qrVisual();
    if (!visual)
        return;
    QRVISXCameraManager* cameras = visual->getCameraManager();
    if (!cameras->get2DCamera() || !cameras->get3DCamera())
        return;
    cameras->activateCamera(cameras->get2DCamera());

    if (const float hit = getHitFlashAlpha(); hit > 0.0f) {
        drawFullView({1.0f, 0.05f, 0.0f, hit});
        if (QRTIMEMain* time = qrTime())
            hitTimer_ = std::max(0.0f, hitTimer_ - time->getDelta());
    }
    for (const APPWRLDHUDText& text : getStatusTexts())
        drawText(text);
    if (isFlashing()) {
        if (const float backdrop = getBackdropAlpha(); backdrop > 0.0f)
            drawBackdrop(backdrop);
        for (const APPWRLDHUDText& text : getFlashTexts())
            drawText(text);
        if (QRTIMEMain* time = qrTime())
            levelUpTimer_ += time->getDelta();
        if (levelUpTimer_ > kFlashEnd)
            levelUpTimer_ = 0.0f;
    }

    cameras->activateCamera(cameras->get3DCamera());
}

void APPWRLDHUD::drawText(const APPWRLDHUDText& text) const
{
    if (!font_)
        return;
    font_->renderText(text.text, text.position, text.height, true, text.colour, kAlphaBlending, text.alignment);
}

void APPWRLDHUD::drawFullView(const Vector4& colour)
{
    QRVISXMain* visual = qrVisual();
    QRVISXMaterialManager* materials = visual->getMaterialManager();
    QRVISXStateManager* states = materials->getStateManager();
    materials->resetForMaterial();
    materials->resetForMaterialUnlit();
    states->setBlendingMode(kAlphaBlending);
    states->setCurrentColor(colour.x, colour.y, colour.z, colour.w);
    states->setDepthTest(false);
    states->setCullFaceEnabled(false);
    materials->apply();
    // Text drawn before resets the transform too, but without a font nothing has.
    QRVISXTransformWorld* world = visual->getTransform()->getWorld();
    world->reset();
    world->apply();

    QRVISXRender* render = visual->getRender();
    constexpr float kDepth = -0.1f;
    // The 2D camera spans x over the view's aspect: wide enough for any window shape.
    render->beginQuads();
    render->vertex(-4.0f, -2.0f, kDepth);
    render->vertex(4.0f, -2.0f, kDepth);
    render->vertex(4.0f, 2.0f, kDepth);
    render->vertex(-4.0f, 2.0f, kDepth);
    render->end();
}
