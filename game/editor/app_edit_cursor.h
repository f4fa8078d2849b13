#pragma once
// The editor's cursor: finds what lies under the mouse (terrain point, grid vertex, ground cell,
// block, area, entity) and carries out the current tool on the world: sculpting, ground and street
// painting, block imports, and creating, editing, moving, rotating, grounding and deleting
// entities. It draws its own overlay. Owned by the editor (APPEDITMain).

#include "core/qr_core_object.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_types.h"

#include <cstdint>
#include <utility>

class APPEDITHistory;
class APPEDITMain;
class APPENTTMain;
class APPENVRArea;
class APPENVRBlock;

// One logic frame's input as the editor reads it: the actions it uses, the mouse, the frame time.
struct APPEDITInput {
    bool leftPressed = false;
    bool leftHeld = false;
    bool leftReleased = false;
    bool rightPressed = false;
    bool rightHeld = false;
    bool rightReleased = false;
    bool zoomHeld = false;
    bool panHeld = false;
    bool tabPressed = false;
    bool editEntityHeld = false;
    // Keyboard flight while the right button is held: W, S, A, D, E (up), Q (down).
    bool flyForward = false;
    bool flyBack = false;
    bool flyLeft = false;
    bool flyRight = false;
    bool flyUp = false;
    bool flyDown = false;
    // Raw motion of the poll (y up) and the wheel (120 per notch).
    int motionX = 0;
    int motionY = 0;
    int wheel = 0;
    // The cursor about the view's centre (half the view height is 1, y up), and in pixels from the
    // view's lower-left corner.
    Vector2 cursorView;
    std::pair<int, int> cursorPixels{0, 0};
    // Width over height of the view the mouse is measured against.
    float aspect = 1.0f;
    // Seconds.
    float delta = 0.0f;
};

class APPEDITCursor : public QRObject {
public:
    enum Tool {
        None = 0,
        RaiseTerrain = 1,
        LowerTerrain = 2,
        RoughenTerrain = 3,
        SmoothTerrain = 4,
        ImportHeightmap = 5,
        SetGroundType = 101,
        SetStreet = 102,
        DeleteStreet = 103,
        ImportGroundmap = 104,
        CreateEntity = 201,
        EditEntity = 202,
        MoveEntity = 203,
        RotateEntity = 204,
        PlaceOnGround = 205,
        DeleteEntity = 206,
    };

    explicit APPEDITCursor(APPEDITMain* editor);

    // Selects the first ground type and the first actor in the tool window.
    void initialize() override;
    // Also shows the tool's button pressed in the tool window; closes the step of the last tool.
    void setTool(int tool);
    int getTool() const { return tool_; }

    // Picks, handles the right-click cancel and "Edit Entity", then runs the tool unless the tool
    // window has the focus.
    void update(const APPEDITInput& input);
    // The cursor sphere and the tool's overlay, over the world's editor view.
    void render();

    const Vector3& getPosition() const { return position_; }
    // Null when the cursor is outside the world.
    APPENVRArea* getArea() const { return area_; }
    APPENVRBlock* getBlock() const { return block_; }
    // (-1, -1) when the cursor is not over the terrain.
    APPENVRGridIndex getPickedVertex() const { return vertex_; }
    APPENVRGridIndex getPickedCell() const { return cell_; }
    APPENTTMain* getSelectedEntity() const { return selected_; }
    bool isRefreshing() const { return refreshIndices_; }

    // Brush weight of vertex (i, j) around (cx, cz): sin(90 deg * clamp(1 - d / (size + 1), 0, 1)).
    static float brushFalloff(int i, int j, int cx, int cz, int size);
    // The rotation a new entity gets from the rotation buttons' compass position (0 at the top,
    // clockwise): 360 minus the position, modulo 360.
    static float creationAngle(int compassPosition);
    // The caption of the tool's button, which also names its steps in the history; "" for None.
    static const char* toolCaption(int tool);
    // Forgets a selected entity that is no longer in the world.
    void checkSelection();

    // Whether a press began a stroke or drag whose release has not been seen yet.
    bool isStroking() const { return strokeTool_ != None; }
    // Finishes the stroke or drag in progress as its release would (boxes, picking, the step),
    // for when the release will never reach the tool: another tool, undo, the mouse let go
    // while the editor did not look.
    void endStroke();
    // The area of the last point of the world the mouse was over; null before the first.
    APPENVRArea* getLastPickedArea() const { return lastPickedArea_; }
    // Whether that point is where the mouse is now, or was before it left the view.
    bool isOverWorld() const { return overWorld_; }
    // Chooses an entity (from the entity list, or a copy just made): it is the selected one
    // while the mouse is over no other entity, until the next click.
    void select(const APPENTTMain* entity);

private:
    struct Segment {
        Vector3 start;
        Vector3 end;
    };
    void pick(const APPEDITInput& input);
    Segment pickSegment(const APPEDITInput& input) const;
    bool pickTerrain(const Segment& segment, Vector3& hit);
    APPENTTMain* pickEntity(const Segment& segment, Vector3& hit) const;
    static bool hitEntity(const APPENTTMain& entity, const Segment& segment, Vector3& hit);
    void setPicking(bool on);
    APPEDITHistory& history() const;

    void runTool(const APPEDITInput& input);
    void runBrush(const APPEDITInput& input);
    void applyBrush(APPENVRGridIndex centre, float strength);
    void runGroundTool();
    void paintCell(APPENVRGridIndex cell);
    void createEntity();
    void moveEntity(const APPEDITInput& input);
    void rotateEntity(const APPEDITInput& input);

    void renderBrush();
    void renderQuads(int x0, int z0, int x1, int z1);
    void renderPreview();
    void renderSelection();

    APPEDITMain* editor_;
    Vector3 position_;
    Vector3 previousPosition_;
    int tool_ = None;
    APPENVRArea* area_ = nullptr;
    APPENVRBlock* block_ = nullptr;
    APPENVRGridIndex cell_{-1, -1};
    APPENVRGridIndex vertex_{-1, -1};
    std::pair<int, int> anchor_{0, 0};
    APPENTTMain* selected_ = nullptr;
    // What the selection is: an entity that went may leave its address to a new one.
    std::uint64_t selectedSerial_ = 0;
    bool pickTerrain_ = true;
    bool pickEntities_ = true;
    bool refreshIndices_ = true;
    bool planeMode_ = false;
    bool overWorld_ = false;
    APPENVRArea* lastPickedArea_ = nullptr;
    // The serial of the chosen entity; 0 when none is.
    std::uint64_t chosenSerial_ = 0;
    // The tool whose press began the stroke in progress, and where its last frame painted, so a
    // fast drag paints the whole way between two frames.
    int strokeTool_ = None;
    APPENVRGridIndex strokeVertex_{-1, -1};
    APPENVRGridIndex strokeCell_{-1, -1};
    Vector3 planePoint_;
    Vector3 planeNormal_;
};
