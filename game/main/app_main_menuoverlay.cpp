#include "main/app_main_menuoverlay.h"

#include "world/app_wrld_hud.h"

#include "visual/qr_visx_main.h"
#include "visual/text/qr_visx_font.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr const char* kFontFile = "fonts\\default.font";
constexpr int kAlphaBlending = 3;
constexpr float kTitleY = 0.55f;
constexpr float kTitleHeight = 0.09f;
constexpr float kFirstLineY = 0.36f;
constexpr float kLineSpacing = 0.09f;
constexpr float kLineHeight = 0.035f;
constexpr float kFirstItemY = 0.15f;
// Items take clicks across this half width around the centre line.
constexpr float kItemHalfWidth = 0.6f;
constexpr Vector4 kTitleColour{1.0f, 1.0f, 1.0f, 1.0f};
constexpr Vector4 kLineColour{0.85f, 0.9f, 1.0f, 1.0f};
constexpr Vector4 kItemColour{0.75f, 0.75f, 0.75f, 1.0f};
constexpr Vector4 kSelectedColour{1.0f, 0.85f, 0.2f, 1.0f};
constexpr Vector4 kShadowColour{0.0f, 0.0f, 0.0f, 1.0f};
constexpr float kShadowOffset = 0.006f;
} // namespace

APPMAINMenuOverlay::APPMAINMenuOverlay(QRObject* owner, std::string_view name) : QRObject(owner, name) {}

APPMAINMenuOverlay::~APPMAINMenuOverlay() = default;

void APPMAINMenuOverlay::initialize()
{
    QRObject::initialize();
    font_ = qrNew<QRVISXFont>(this);
    font_->loadFromFile(kFontFile);
}

void APPMAINMenuOverlay::open(std::string title, std::vector<std::string> lines, std::vector<std::string> items)
{
    title_ = std::move(title);
    lines_ = std::move(lines);
    items_ = std::move(items);
    selected_ = 0;
    open_ = true;
}

Vector2 APPMAINMenuOverlay::getItemCentre(int index) const
{
    // Lines of text push the items down so the two never overlap.
    const float linesBottom = kFirstLineY - kLineSpacing * static_cast<float>(lines_.size());
    const float first = std::min(kFirstItemY, linesBottom - 0.5f * kItemSpacing);
    return {0.0f, first - kItemSpacing * static_cast<float>(index)};
}

int APPMAINMenuOverlay::itemAt(const Vector2& point) const
{
    if (std::fabs(point.x) > kItemHalfWidth)
        return kNone;
    for (int i = 0; i < static_cast<int>(items_.size()); ++i)
        if (std::fabs(point.y - getItemCentre(i).y) < 0.5f * kItemSpacing)
            return i;
    return kNone;
}

int APPMAINMenuOverlay::update(const APPMAINMenuInput& input)
{
    if (!open_ || items_.empty())
        return kNone;
    const int count = static_cast<int>(items_.size());
    const int pointed = itemAt(input.cursor);
    if (input.cursorMoved && pointed != kNone)
        selected_ = pointed;
    // The list wraps round, as players of menus with a pad expect.
    if (input.up)
        selected_ = (selected_ + count - 1) % count;
    if (input.down)
        selected_ = (selected_ + 1) % count;
    if (input.click)
        return pointed;
    return input.choose ? selected_ : kNone;
}

void APPMAINMenuOverlay::render()
{
    QRVISXMain* visual = qrVisual();
    if (!open_ || !visual)
        return;
    QRVISXCameraManager* cameras = visual->getCameraManager();
    if (!cameras->get2DCamera() || !cameras->get3DCamera())
        return;
    cameras->activateCamera(cameras->get2DCamera());
    drawBackdrop();
    drawText(title_, {0.0f, kTitleY}, kTitleHeight, kTitleColour);
    for (std::size_t i = 0; i < lines_.size(); ++i)
        drawText(lines_[i], {0.0f, kFirstLineY - kLineSpacing * static_cast<float>(i)}, kLineHeight, kLineColour);
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        const bool selected = i == selected_;
        const std::string text = selected ? "> " + items_[i] + " <" : items_[i];
        drawText(text, getItemCentre(i), kItemHeight, selected ? kSelectedColour : kItemColour);
    }
    cameras->activateCamera(cameras->get3DCamera());
}

void APPMAINMenuOverlay::drawText(const std::string& text, const Vector2& position, float height,
                                  const Vector4& colour) const
{
    if (!font_)
        return;
    const int centre = QRVISXFont::kAlignCenter;
    // A dark copy behind keeps the text readable over a bright sky.
    font_->renderText(text, {position.x + kShadowOffset, position.y - kShadowOffset}, height, true, kShadowColour,
                      kAlphaBlending, centre);
    font_->renderText(text, position, height, true, colour, kAlphaBlending, centre);
}

void APPMAINMenuOverlay::drawBackdrop() const
{
    APPWRLDHUD::drawFullView({0.0f, 0.02f, 0.08f, 0.6f});
}
