#pragma once
// A menu drawn by the engine over the game view (the pause menu, the end screen): a dimmed view,
// a title, a few lines of text and a column of items, one of them selected. It is steered by a
// frame's menu input (up, down, choose, and the mouse cursor in view units) and says which item
// was chosen; it knows nothing of devices. Owned by the application.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <string>
#include <vector>

class QRVISXFont;

// One frame of what steers the menu.
struct APPMAINMenuInput {
    bool up = false;
    bool down = false;
    bool choose = false;
    // The left button went down this frame, with the cursor where it is.
    bool click = false;
    // Where the cursor is, in the 2D camera's units (centre 0, up positive); moving it over an item
    // selects that item.
    Vector2 cursor{0.0f, 0.0f};
    bool cursorMoved = false;
};

class APPMAINMenuOverlay : public QRObject {
public:
    static constexpr int kNone = -1;
    static constexpr float kItemHeight = 0.06f;
    static constexpr float kItemSpacing = 0.17f;

    APPMAINMenuOverlay(QRObject* owner, std::string_view name);
    ~APPMAINMenuOverlay() override;

    // Loads the font.
    void initialize() override;

    // Shows the menu with the first item selected.
    void open(std::string title, std::vector<std::string> lines, std::vector<std::string> items);
    void close() { open_ = false; }
    bool isOpen() const { return open_; }

    // The index of the item chosen this frame, or kNone.
    int update(const APPMAINMenuInput& input);
    // Draws over whatever the frame has drawn, in the 2D camera, and leaves the 3D camera current.
    void render();

    int getSelected() const { return selected_; }
    const std::string& getTitle() const { return title_; }
    const std::vector<std::string>& getItems() const { return items_; }
    // The centre of an item's line, in the 2D camera's units.
    Vector2 getItemCentre(int index) const;
    // The item under a point (its line's full width, half the spacing above and below), or kNone.
    int itemAt(const Vector2& point) const;

private:
    void drawBackdrop() const;
    void drawText(const std::string& text, const Vector2& position, float height, const Vector4& colour) const;

    QROwned<QRVISXFont> font_;
    bool open_ = false;
    std::string title_;
    std::vector<std::string> lines_;
    std::vector<std::string> items_;
    int selected_ = 0;
};
