#pragma once
// The heads-up display: the hero's health, the papers collected out of those in the world and the
// academic level title over the game view, and the "Level Up!" flash. Its values change only
// through the setters (the hero each frame, the entity list after loading). Owned by the world;
// owns its font.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <string>
#include <vector>

class QRVISXFont;

// One line of text as the display draws it, in the 2D camera's space (x over +-aspect, y over +-1).
struct APPWRLDHUDText {
    std::string text;
    Vector2 position;
    float height = 0.0f;
    Vector4 colour;
    int alignment = 0;
};

class APPWRLDHUD : public QRObject {
public:
    static constexpr const char* kFontFile = "fonts\\default.font";

    explicit APPWRLDHUD(QRObject* owner);
    ~APPWRLDHUD() override;

    // Loads the font.
    void initialize() override;

    static constexpr const char* kHurtSound = "sounds\\hurt.wav";
    static constexpr float kHitFlashSeconds = 0.4f;

    // A drop in health is a hit: the view flashes red and the hurt sound plays. The hero ignores
    // damage and plays on, so health may run below 0; it is shown as 0.
    void setHealth(int health);
    // Puts health back without a hit (a saved game resumed, a new game).
    void resetHealth(int health);
    void setPapersCollected(int count) { papersCollected_ = count; }
    void setPapersInWorld(int count) { papersInWorld_ = count; }
    void setLevelTitle(const std::string& title) { levelTitle_ = title; }
    // Starts the flash over, also while one is running.
    void startLevelUpFlash() { levelUpTimer_ = 1.0f; }

    int getHealth() const { return health_; }
    int getPapersCollected() const { return papersCollected_; }
    int getPapersInWorld() const { return papersInWorld_; }
    const std::string& getLevelTitle() const { return levelTitle_; }
    // 0 when no flash runs; from 1 up to 7 seconds while one does.
    float getLevelUpTimer() const { return levelUpTimer_; }
    // The red flash of the last hit: its alpha, 0 once it has faded.
    float getHitFlashAlpha() const;
    QRVISXFont* getFont() const { return font_.get(); }

    // Draws over the game view in the 2D camera and leaves the 3D camera current; a running flash
    // advances by the frame time.
    void render();

    // What render draws now: the three status lines; the flash's eight shadows and its text; the
    // cyan backdrop's alpha (0: none).
    std::vector<APPWRLDHUDText> getStatusTexts() const;
    std::vector<APPWRLDHUDText> getFlashTexts() const;
    float getBackdropAlpha() const;

    // A translucent colour over the whole view, for the overlays drawn with the 2D camera.
    static void drawFullView(const Vector4& colour);

private:
    bool isFlashing() const { return levelUpTimer_ > 0.5f; }
    void drawBackdrop(float alpha) const { drawFullView({0.0f, 1.0f, 1.0f, alpha}); }
    void drawText(const APPWRLDHUDText& text) const;

    QROwned<QRVISXFont> font_;
    int health_ = 100;
    int papersCollected_ = 0;
    int papersInWorld_ = 0;
    std::string levelTitle_ = "Student";
    float levelUpTimer_ = 0.0f;
    float hitTimer_ = 0.0f;
};
