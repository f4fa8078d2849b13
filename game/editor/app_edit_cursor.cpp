#include "editor/app_edit_cursor.h"

#include "editor/app_edit_attributeedit.h"
#include "editor/app_edit_history.h"
#include "editor/app_edit_main.h"
#include "editor/app_edit_windows.h"
#include "entities/app_entt_editform.h"
#include "entities/app_entt_main.h"
#include "environment/app_envr_area.h"
#include "environment/app_envr_block.h"
#include "math/qr_math_intersection.h"
#include "math/qr_math_matrix.h"
#include "math/qr_math_quaternion.h"
#include "math/qr_math_random.h"
#include "math/qr_math_round.h"
#include "math/qr_math_vector.h"
#include "visual/view/qr_visx_camera.h"
#include "visual/view/qr_visx_cameramanager.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/geometry/qr_visx_model.h"
#include "visual/text/qr_visx_render.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/view/qr_visx_transform.h"
#include "visual/text/qr_visx_util.h"
#include "visual/geometry/qr_visx_vertexbuffer.h"
#include "world/app_wrld_camera.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"
#include "world/app_wrld_models.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string_view>
#include <vector>

namespace {
constexpr float kFarAway = 999999.0f;
constexpr float kTerrainFarAway = 9999999.0f;
constexpr int kLastVertex = APPENVRMain::kStoredVertexCount - 1;
constexpr float kBrushSpeed = 5.0f;
constexpr float kRoughness = 5.0f;
constexpr float kOverlayLift = 0.05f;
constexpr float kCursorRadius = 0.15f;
constexpr Vector4 kOverlayColor{0.0f, 1.0f, 0.0f, 0.7f};
constexpr float kTabTurn = 90.0f;
constexpr float kRotateStep = 22.5f;
constexpr int kRotateThreshold = 20;
constexpr float kMinRandomSize = 0.85f;
constexpr float kMaxRandomSize = 1.15f;
// Entities standing on a block reach above its terrain: the block's culling margin covers them.
constexpr Vector3 kStandingMarginLow{10.0f, 0.0f, 10.0f};
constexpr Vector3 kStandingMarginHigh{10.0f, 50.0f, 10.0f};

// The actor list's entries: what they create and what the cursor previews.
struct Actor {
    const char* typeName;
    const char* previewModel;
};
constexpr std::array<Actor, 4> kActors{{
    {"Kip", "models\\characters\\Kipster.model"},
    {"Ad", "models\\environment\\ads\\ad_01.model"},
    {"Paper", "models\\props\\paper_1.model"},
    {"CoderMonkey", "models\\characters\\monkey.model"},
}};

bool isSculptingTool(int tool)
{
    return tool >= APPEDITCursor::RaiseTerrain && tool <= APPEDITCursor::SmoothTerrain;
}

// The grid points on the line from one point to another, without the first: where a drag went
// between two frames.
std::vector<APPENVRGridIndex> gridLine(APPENVRGridIndex from, APPENVRGridIndex to)
{
    std::vector<APPENVRGridIndex> points;
    const int dx = std::abs(to.x - from.x);
    const int dz = -std::abs(to.z - from.z);
    const int stepX = from.x < to.x ? 1 : -1;
    const int stepZ = from.z < to.z ? 1 : -1;
    int error = dx + dz;
    APPENVRGridIndex at = from;
    while (at.x != to.x || at.z != to.z) {
        const int twice = 2 * error;
        if (twice >= dz) {
            error += dz;
            at.x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            at.z += stepZ;
        }
        points.push_back(at);
    }
    return points;
}

bool meetsBox(const Vector3& start, const Vector3& end, const Vector3& minimum, const Vector3& maximum)
{
    Vector3 hit;
    return QRMATHRaycast::segmentBox(start, end, minimum, maximum, hit);
}

// The overlay's look: unlit (or lit for models), green, see-through, over the terrain.
void setUpOverlay(bool lit)
{
    QRVISXMaterialManager& materials = *qrVisual()->getMaterialManager();
    materials.resetForMaterial();
    if (lit)
        materials.resetForMaterialLit();
    else
        materials.resetForMaterialUnlit();
    QRVISXStateManager& states = *materials.getStateManager();
    states.setCurrentColor(kOverlayColor.x, kOverlayColor.y, kOverlayColor.z, kOverlayColor.w);
    states.setBlendingMode(3);
    states.setDepthWrite(false);
    materials.apply();
}
} // namespace

APPEDITCursor::APPEDITCursor(APPEDITMain* editor) : QRObject(editor, "Cursor"), editor_(editor) {}

void APPEDITCursor::initialize()
{
    QRObject::initialize();
    if (APPEDITToolWindow* tools = editor_->getToolWindow()) {
        tools->selectGroundType(0);
        tools->selectActor(0);
    }
}

APPEDITHistory& APPEDITCursor::history() const
{
    return *editor_->getHistory();
}

const char* APPEDITCursor::toolCaption(int tool)
{
    static constexpr std::pair<int, const char*> kCaptions[] = {
        {RaiseTerrain, "Raise Terrain"},
        {LowerTerrain, "Lower Terrain"},
        {RoughenTerrain, "Make Rough"},
        {SmoothTerrain, "Make Smooth"},
        {ImportHeightmap, "Import Heightmap for Block"},
        {SetGroundType, "Set Ground Type"},
        {SetStreet, "Set Street"},
        {DeleteStreet, "Delete Street"},
        {ImportGroundmap, "Import Ground Map for Block"},
        {CreateEntity, "Create new Entity"},
        {EditEntity, "Edit Entity"},
        {MoveEntity, "Move Entity"},
        {RotateEntity, "Rotate"},
        {PlaceOnGround, "Place on Ground"},
        {DeleteEntity, "Delete"},
    };
    for (const auto& [number, caption] : kCaptions)
        if (number == tool)
            return caption;
    return "";
}

void APPEDITCursor::setTool(int tool)
{
    // The release of a drag begun with the tool being left would reach only the new tool.
    if (tool != tool_)
        endStroke();
    history().commit();
    tool_ = tool;
    if (APPEDITToolWindow* tools = editor_->getToolWindow())
        tools->setToolDown(tool);
}

float APPEDITCursor::brushFalloff(int i, int j, int cx, int cz, int size)
{
    const float d = std::sqrt(static_cast<float>((i - cx) * (i - cx) + (j - cz) * (j - cz)));
    const float t = std::clamp(1.0f - d / static_cast<float>(size + 1), 0.0f, 1.0f);
    return std::sin(t * std::numbers::pi_v<float> * 0.5f);
}

float APPEDITCursor::creationAngle(int compassPosition)
{
    return static_cast<float>((360 - compassPosition % 360) % 360);
}

void APPEDITCursor::setPicking(bool on)
{
    pickTerrain_ = on;
    pickEntities_ = on;
    refreshIndices_ = on;
}

void APPEDITCursor::endStroke()
{
    const int tool = strokeTool_;
    strokeTool_ = None;
    strokeVertex_ = {-1, -1};
    strokeCell_ = {-1, -1};
    setPicking(true);
    planeMode_ = false;
    // The boxes follow the terrain once per stroke, even when it ends off the terrain, and before
    // the step closes, so that undo and redo give the boxes back with the heights.
    if (isSculptingTool(tool))
        if (APPWRLDMain* world = editor_->getWorld())
            world->getEnvironment()->updateBounds();
    history().commit();
}

void APPEDITCursor::checkSelection()
{
    if (!selected_)
        return;
    APPWRLDMain* world = editor_->getWorld();
    APPWRLDEntities* entities = world ? world->getEntities() : nullptr;
    // Found again by serial, never by address; the level given back after play is found again too.
    selected_ = nullptr;
    if (entities)
        for (int i = 0; i < entities->getEntityCount() && !selected_; ++i)
            if (entities->getEntity(i)->getSerial() == selectedSerial_)
                selected_ = entities->getEntity(i);
}

void APPEDITCursor::select(const APPENTTMain* entity)
{
    chosenSerial_ = entity ? entity->getSerial() : 0;
}

void APPEDITCursor::update(const APPEDITInput& input)
{
    // A click acts on what is under the mouse, never on an entity chosen before (turning the
    // camera with the right button keeps the choice).
    if (input.leftPressed)
        chosenSerial_ = 0;
    checkSelection();
    pick(input);

    // A right click without moving the mouse drops the tool; a right drag turns the camera.
    if (input.rightPressed)
        anchor_ = input.cursorPixels;
    if (input.rightReleased && input.cursorPixels == anchor_) {
        setTool(None);
        setPicking(true);
        planeMode_ = false;
    }
    // E held with the right button flies the camera up instead.
    if (input.editEntityHeld && !input.rightHeld && tool_ != EditEntity)
        setTool(EditEntity);

    // Clicks on the tool window's controls are not meant for the world.
    const APPEDITToolWindow* tools = editor_->getToolWindow();
    if (!tools || !tools->isFocused()) {
        if (input.tabPressed && selected_) {
            history().beginEntity(toolCaption(RotateEntity), selected_);
            selected_->setOrientation(QRMATHQuaternion::fromRotationY(kTabTurn) * selected_->getOrientation());
            history().commit();
        }
        runTool(input);
    }
    // The release ends the stroke, also one the tool did not see (its window had the focus, or
    // the editor was not running when the button was let go).
    if (!input.leftHeld && strokeTool_ != None)
        endStroke();
    // A stroke or drag is one step, from the press to the release.
    if (!input.leftHeld)
        history().commit();
}

// ---------------------------------------------------------------------------------------------
// Picking

APPEDITCursor::Segment APPEDITCursor::pickSegment(const APPEDITInput& input) const
{
    QRVISXMain* visual = qrVisual();
    QRVISXCamera3D* camera = visual ? visual->getCameraManager()->get3DCamera() : nullptr;
    if (!camera)
        return {};
    // From the camera through the mouse to the far plane.
    const float aspect = input.aspect > 0.0f ? input.aspect : 1.0f;
    const Matrix4 inverse = QRMATHMatrix4::inverse(camera->getProjectionMatrix() * camera->getViewMatrix());
    const Vector4 far =
        QRMATHMatrix4::transformVector4(inverse, {input.cursorView.x / aspect, input.cursorView.y, 1.0f, 1.0f});
    if (far.w == 0.0f)
        return {camera->getPosition(), camera->getPosition()};
    return {camera->getPosition(), {far.x / far.w, far.y / far.w, far.z / far.w}};
}

void APPEDITCursor::pick(const APPEDITInput& input)
{
    APPWRLDMain* world = editor_->getWorld();
    if (!world)
        return;
    APPENVRMain& environment = *world->getEnvironment();
    // While a menu or another window is over the view the cursor stays where it was: Save Area
    // must not take the area under the menu item.
    if (const APPEDITHost* host = editor_->getHost(); host && !host->isViewUnderMouse())
        return;
    if (refreshIndices_) {
        previousPosition_ = position_;
        area_ = nullptr;
        block_ = nullptr;
        selected_ = nullptr;
        cell_ = {-1, -1};
        vertex_ = {-1, -1};
    }

    const Segment segment = pickSegment(input);
    float best = kFarAway;
    Vector3 hit;
    if (planeMode_) {
        const Plane plane = QRMATHIntersection::planeFromPointNormal(planePoint_, planeNormal_);
        if (QRMATHRaycast::segmentPlane(segment.start, segment.end, plane, hit))
            position_ = hit;
    }
    if (pickTerrain_ && pickTerrain(segment, hit)) {
        position_ = hit;
        best = QRMATHVector3::distance(position_, segment.start);
    }
    overWorld_ = best < kFarAway;
    if (pickEntities_) {
        // Only an entity in front of the terrain is under the mouse: one hidden behind a hill
        // must not be the one a click edits or deletes.
        APPENTTMain* entity = pickEntity(segment, hit);
        if (entity && QRMATHVector3::distance(hit, segment.start) < best) {
            selected_ = entity;
            selectedSerial_ = entity->getSerial();
            position_ = hit;
            overWorld_ = true;
        }
    }
    if (refreshIndices_ && !selected_ && chosenSerial_ != 0) {
        const APPWRLDEntities& entities = *world->getEntities();
        for (int i = 0; i < entities.getEntityCount() && !selected_; ++i)
            if (entities.getEntity(i)->getSerial() == chosenSerial_)
                selected_ = entities.getEntity(i);
        if (selected_)
            selectedSerial_ = chosenSerial_;
        else
            chosenSerial_ = 0;
    }
    const APPEDITHost* host = editor_->getHost();
    if ((pickTerrain_ || pickEntities_) && host && host->isSnapToGrid()) {
        // Onto the vertex grid, halves to even.
        position_.x = APPENVRMain::kVertexSpacing * std::nearbyint(position_.x / APPENVRMain::kVertexSpacing);
        position_.z = APPENVRMain::kVertexSpacing * std::nearbyint(position_.z / APPENVRMain::kVertexSpacing);
        position_.y = environment.getHeight(position_);
    }
    if (refreshIndices_) {
        const APPENVRAreaIndex index = environment.getAreaIndex(position_);
        if (index.ax >= 0 && index.ax < APPENVRMain::kAreaCount && index.az >= 0 && index.az < APPENVRMain::kAreaCount) {
            area_ = environment.getArea(index.ax, index.az);
            const APPENVRBlockIndex blockIndex = environment.getBlockIndex(position_);
            block_ = area_->getBlock(blockIndex.bx, blockIndex.bz);
            if (overWorld_)
                lastPickedArea_ = area_;
        }
    }
}

bool APPEDITCursor::pickTerrain(const Segment& segment, Vector3& hit)
{
    const APPENVRMain& environment = *editor_->getWorld()->getEnvironment();
    float nearest = kTerrainFarAway;
    bool found = false;
    for (int ax = 0; ax < APPENVRMain::kAreaCount; ++ax) {
        for (int az = 0; az < APPENVRMain::kAreaCount; ++az) {
            const APPENVRArea& area = *environment.getArea(ax, az);
            if (!meetsBox(segment.start, segment.end, area.getBounds().minimum, area.getBounds().maximum))
                continue;
            for (int bx = 0; bx < APPENVRMain::kBlocksPerArea; ++bx) {
                for (int bz = 0; bz < APPENVRMain::kBlocksPerArea; ++bz) {
                    const APPENVRBlock& block = *area.getBlock(bx, bz);
                    if (!meetsBox(segment.start, segment.end, block.getBounds().minimum, block.getBounds().maximum))
                        continue;
                    const APPENVRGridIndex first = block.getVertexRange();
                    for (int x = first.x; x < first.x + APPENVRMain::kVerticesPerBlock; ++x) {
                        for (int z = first.z; z < first.z + APPENVRMain::kVerticesPerBlock; ++z) {
                            const Vector3 a = environment.getVertexPosition(x, z);
                            const Vector3 b = environment.getVertexPosition(x, z + 1);
                            const Vector3 c = environment.getVertexPosition(x + 1, z);
                            const Vector3 d = environment.getVertexPosition(x + 1, z + 1);
                            Vector3 candidate;
                            for (const auto& [p, q, r] : {std::array{b, c, a}, std::array{d, c, b}}) {
                                if (!QRMATHRaycast::segmentTriangle(segment.start, segment.end, p, q, r, candidate))
                                    continue;
                                const float distance = QRMATHVector3::distance(candidate, segment.start);
                                if (distance >= nearest)
                                    continue;
                                nearest = distance;
                                hit = candidate;
                                found = true;
                                if (refreshIndices_) {
                                    vertex_ = {x, z};
                                    cell_ = {x / APPENVRMain::kVerticesPerCell, z / APPENVRMain::kVerticesPerCell};
                                }
                            }
                        }
                    }
                }
            }
        }
    }
    return found;
}

APPENTTMain* APPEDITCursor::pickEntity(const Segment& segment, Vector3& hit) const
{
    const APPENVRMain& environment = *editor_->getWorld()->getEnvironment();
    float nearest = kFarAway;
    APPENTTMain* found = nullptr;
    for (int ax = 0; ax < APPENVRMain::kAreaCount; ++ax) {
        for (int az = 0; az < APPENVRMain::kAreaCount; ++az) {
            const APPENVRArea& area = *environment.getArea(ax, az);
            if (!meetsBox(segment.start, segment.end, area.getBounds().minimum - kStandingMarginLow,
                          area.getBounds().maximum + kStandingMarginHigh))
                continue;
            for (int bx = 0; bx < APPENVRMain::kBlocksPerArea; ++bx) {
                for (int bz = 0; bz < APPENVRMain::kBlocksPerArea; ++bz) {
                    const APPENVRBlock& block = *area.getBlock(bx, bz);
                    if (!meetsBox(segment.start, segment.end, block.getBounds().minimum - kStandingMarginLow,
                                  block.getBounds().maximum + kStandingMarginHigh))
                        continue;
                    for (int i = 0; i < block.getEntityCount(); ++i) {
                        APPENTTMain* entity = block.getEntity(i);
                        Vector3 candidate;
                        if (!hitEntity(*entity, segment, candidate))
                            continue;
                        const float distance = QRMATHVector3::distance(candidate, segment.start);
                        if (distance < nearest) {
                            nearest = distance;
                            hit = candidate;
                            found = entity;
                        }
                    }
                }
            }
        }
    }
    return found;
}

bool APPEDITCursor::hitEntity(const APPENTTMain& entity, const Segment& segment, Vector3& hit)
{
    QRVISXModelLod* level = entity.getModel() ? entity.getModel()->getLod(0) : nullptr;
    QRVISXVertexBuffer* buffer = level ? level->getVertexBuffer() : nullptr;
    if (!buffer) {
        // Without a model the editor shows a unit box, and that is what the mouse can hit.
        const Vector3 half{0.5f, 0.5f, 0.5f};
        return QRMATHRaycast::segmentBox(segment.start, segment.end, entity.getPosition() - half,
                                         entity.getPosition() + half, hit);
    }
    Vector3 candidate;
    if (!QRMATHRaycast::segmentSphere(segment.start, segment.end, entity.getPosition(),
                                      level->getRadius() * entity.getSize(), candidate))
        return false;
    const Matrix4 world = entity.getWorldMatrix();
    const int vertexCount = buffer->getVertexCount();
    const int cornerCount = buffer->isIndexed() ? buffer->getIndexCount() : vertexCount;
    float nearest = kFarAway;
    bool found = false;
    for (int corner = 0; corner + 2 < cornerCount; corner += 3) {
        std::array<Vector3, 3> triangle;
        bool valid = true;
        for (int k = 0; k < 3 && valid; ++k) {
            const int vertex = buffer->isIndexed() ? buffer->getIndex(corner + k) : corner + k;
            valid = vertex >= 0 && vertex < vertexCount;
            if (valid)
                triangle[k] = QRMATHMatrix4::transformPoint(world, buffer->getVertexPosition(vertex));
        }
        if (!valid ||
            !QRMATHRaycast::segmentTriangle(segment.start, segment.end, triangle[2], triangle[1], triangle[0], candidate))
            continue;
        const float distance = QRMATHVector3::distance(candidate, segment.start);
        if (distance < nearest) {
            nearest = distance;
            hit = candidate;
            found = true;
        }
    }
    return found;
}

// ---------------------------------------------------------------------------------------------
// Tools

void APPEDITCursor::runTool(const APPEDITInput& input)
{
    APPWRLDMain* world = editor_->getWorld();
    if (!world)
        return;
    if (input.leftPressed && tool_ != None)
        strokeTool_ = tool_;
    // Holding and letting go act only in a stroke this tool began: after undo or a change of tool
    // the button does nothing until it is pressed again.
    const bool stroking = strokeTool_ == tool_ && tool_ != None;
    switch (tool_) {
    case RaiseTerrain:
    case LowerTerrain:
    case RoughenTerrain:
    case SmoothTerrain:
        if (stroking)
            runBrush(input);
        break;
    case ImportHeightmap:
    case ImportGroundmap:
        if (input.leftPressed && block_) {
            history().beginTerrain(toolCaption(tool_));
            if (tool_ == ImportHeightmap)
                block_->importHeightmap();
            else
                block_->importGroundmap();
            history().commit();
        }
        break;
    case SetGroundType:
    case SetStreet:
    case DeleteStreet:
        if (input.leftHeld && stroking)
            runGroundTool();
        break;
    case CreateEntity:
        if (input.leftPressed)
            createEntity();
        break;
    case EditEntity:
        // Also when E chose the tool after the press: holding E and clicking is one gesture.
        if (input.leftReleased && selected_ && editor_->getEntityForm()) {
            history().beginEntity(toolCaption(tool_), selected_);
            APPEDITAttributeEdit(*editor_->getEntityForm()).run(*selected_);
            history().commit();
        }
        break;
    case MoveEntity:
        if (stroking)
            moveEntity(input);
        break;
    case RotateEntity:
        if (stroking)
            rotateEntity(input);
        break;
    case PlaceOnGround:
        if (input.leftPressed && selected_) {
            history().beginEntity(toolCaption(tool_), selected_);
            selected_->snapToTerrain(0.0f);
            history().commit();
        }
        break;
    case DeleteEntity:
        if (input.leftPressed && selected_) {
            if (selected_ == world->getEntities()->getHero()) {
                if (APPEDITHost* host = editor_->getHost())
                    host->setStatusText(2, "Kip cannot be deleted: the world needs its hero (creating a Kip moves him)");
                break;
            }
            history().beginEntity(toolCaption(tool_), selected_);
            world->getEntities()->removeEntity(selected_);
            selected_ = nullptr;
            history().commit();
        }
        break;
    default:
        break;
    }
}

void APPEDITCursor::runBrush(const APPEDITInput& input)
{
    const APPEDITToolWindow* tools = editor_->getToolWindow();
    const float strength = static_cast<float>((tools ? tools->getIntensity() : 2) + 1) * input.delta;
    // Raising and lowering stay on the vertex where the stroke began; roughening and smoothing
    // follow the mouse.
    const bool anchored = tool_ == RaiseTerrain || tool_ == LowerTerrain;

    if (vertex_.x >= 0 && input.leftPressed && anchored)
        setPicking(false);
    if (vertex_.x < 0) {
        strokeVertex_ = {-1, -1};
        return;
    }
    if (!input.leftHeld)
        return;
    history().beginTerrain(toolCaption(tool_));
    // A fast drag leaves no gaps: every vertex on the way from the last frame's gets its dab, and
    // the dabs share the frame's time, so a stroke works as hard as a slow one.
    std::vector<APPENVRGridIndex> dabs;
    if (!anchored && strokeVertex_.x >= 0)
        dabs = gridLine(strokeVertex_, vertex_);
    if (dabs.empty())
        dabs.push_back(vertex_);
    for (const APPENVRGridIndex& dab : dabs)
        applyBrush(dab, strength / static_cast<float>(dabs.size()));
    strokeVertex_ = vertex_;
}

void APPEDITCursor::applyBrush(APPENVRGridIndex centre, float strength)
{
    APPENVRMain& environment = *editor_->getWorld()->getEnvironment();
    const APPEDITToolWindow* tools = editor_->getToolWindow();
    const int size = tools ? tools->getBrushSize() : 2;
    const int x0 = std::clamp(centre.x - (size + 1), 0, kLastVertex);
    const int x1 = std::clamp(centre.x + (size + 1), 0, kLastVertex);
    const int z0 = std::clamp(centre.z - (size + 1), 0, kLastVertex);
    const int z1 = std::clamp(centre.z + (size + 1), 0, kLastVertex);
    float mean = 0.0f;
    if (tool_ == SmoothTerrain) {
        for (int i = x0; i <= x1; ++i)
            for (int j = z0; j <= z1; ++j)
                mean += environment.getVertex(i, j).height;
        mean /= static_cast<float>((x1 - x0 + 1) * (z1 - z0 + 1));
    }
    for (int i = x0; i <= x1; ++i) {
        for (int j = z0; j <= z1; ++j) {
            const float falloff = brushFalloff(i, j, centre.x, centre.z, size);
            const float height = environment.getVertex(i, j).height;
            float change = 0.0f;
            switch (tool_) {
            case RaiseTerrain: change = falloff * kBrushSpeed * strength; break;
            case LowerTerrain: change = -falloff * kBrushSpeed * strength; break;
            case RoughenTerrain:
                change = QRMATHRandom::randomFloat(-1.0f, 1.0f) * kRoughness * falloff * strength;
                break;
            // Moving more than the whole way to the mean would overshoot it and, frame after
            // frame at a low frame rate, swing the heights apart without end.
            default: change = (mean - height) * std::min(falloff * strength, 1.0f); break;
            }
            environment.setHeight(i, j, height + change);
        }
    }
    environment.updateNormalsInRange(x0, z0, x1, z1);
}

void APPEDITCursor::runGroundTool()
{
    if (cell_.x < 0) {
        strokeCell_ = {-1, -1};
        return;
    }
    history().beginTerrain(toolCaption(tool_));
    // Every cell on the way from the last frame's, so a fast drag paints an unbroken street.
    std::vector<APPENVRGridIndex> cells{cell_};
    if (strokeCell_.x >= 0)
        cells = gridLine(strokeCell_, cell_);
    for (const APPENVRGridIndex& cell : cells)
        paintCell(cell);
    strokeCell_ = cell_;
}

void APPEDITCursor::paintCell(APPENVRGridIndex cell)
{
    APPENVRMain& environment = *editor_->getWorld()->getEnvironment();
    const int x = cell.x;
    const int z = cell.z;
    if (tool_ == SetGroundType) {
        const APPEDITToolWindow* tools = editor_->getToolWindow();
        environment.setGroundType(x, z, tools && tools->getGroundType() == 1 ? 1 : 0);
    } else if (tool_ == SetStreet) {
        environment.setStreet(x, z);
    } else {
        environment.deleteStreet(x, z);
    }
    environment.updateStreetsInRange(x - 1, z - 1, x + 1, z + 1);
}

void APPEDITCursor::createEntity()
{
    // Over the sky the cursor keeps an old point, possibly far off the screen.
    if (!overWorld_) {
        editor_->showStatus("Nothing created: there is no ground under the cursor");
        return;
    }
    APPWRLDMain& world = *editor_->getWorld();
    const APPEDITToolWindow* tools = editor_->getToolWindow();
    float angle = creationAngle(tools ? tools->getRotationPosition() : 0);
    float size = 1.0f;
    const char* typeName = "Entity";
    const bool scenery = tools && tools->isEnvironmentModelsPageActive();
    if (scenery) {
        typeName = "EnvironmentModel";
        if (tools->isRandomOrientation())
            angle = QRMATHRandom::randomFloat(0.0f, 360.0f);
        if (tools->isRandomSize())
            size = QRMATHRandom::randomFloat(kMinRandomSize, kMaxRandomSize);
    } else if (const int actor = tools ? tools->getActor() : -1; actor >= 0 && actor < static_cast<int>(kActors.size())) {
        typeName = kActors[static_cast<std::size_t>(actor)].typeName;
    }
    // The world has one hero: creating Kip where he exists moves him, as one step.
    if (APPENTTMain* hero = world.getEntities()->getHero(); hero && std::string_view(typeName) == "Kip") {
        history().beginEntity(toolCaption(CreateEntity), hero);
        hero->setPosition(position_);
        history().commit();
        return;
    }
    history().beginEntity(toolCaption(CreateEntity), nullptr);
    APPENTTMain* entity = world.getEntities()->createEntity(typeName, position_);
    history().entityCreated(entity);
    entity->rotateLocalY(angle);
    entity->setSize(size);
    if (scenery) {
        const std::string model = tools->getSelectedModelName();
        entity->setModel(model.empty() ? nullptr : world.getModels()->getModel(model));
    }
    history().commit();
}

void APPEDITCursor::moveEntity(const APPEDITInput& input)
{
    const APPEDITToolWindow* tools = editor_->getToolWindow();
    const bool horizontal = !tools || tools->isManipulationXZ();
    if (input.leftPressed && selected_) {
        planePoint_ = position_;
        if (horizontal) {
            planeNormal_ = {0.0f, 1.0f, 0.0f};
        } else {
            // Upright and facing the camera.
            Vector3 normal = -editor_->getWorld()->getCamera()->getForward();
            normal.y = 0.0f;
            planeNormal_ = QRMATHVector3::normalize(normal);
        }
        setPicking(false);
        planeMode_ = true;
        previousPosition_ = position_;
    }
    if (input.leftHeld && selected_) {
        history().beginEntity(toolCaption(MoveEntity), selected_);
        Vector3 delta = position_ - previousPosition_;
        previousPosition_ = position_;
        if (!horizontal)
            delta = {0.0f, delta.y, 0.0f};
        const APPENVRMain& environment = *editor_->getWorld()->getEnvironment();
        Vector3 p = selected_->getPosition();
        const float aboveGround = p.y - environment.getHeight(p);
        p += delta;
        selected_->setPosition(p);
        if (horizontal) {
            // Over hills and valleys the entity keeps its height above the ground.
            p.y = environment.getHeight(p) + aboveGround;
            selected_->setPosition(p);
        }
    }
}

void APPEDITCursor::rotateEntity(const APPEDITInput& input)
{
    const APPEDITToolWindow* tools = editor_->getToolWindow();
    const bool horizontal = !tools || tools->isManipulationXZ();
    if (input.leftPressed && selected_) {
        setPicking(false);
        anchor_ = input.cursorPixels;
    }
    if (input.leftHeld && selected_) {
        history().beginEntity(toolCaption(RotateEntity), selected_);
        const auto [x, y] = input.cursorPixels;
        if (horizontal && std::abs(x - anchor_.first) > kRotateThreshold) {
            const float turn = x < anchor_.first ? -kRotateStep : kRotateStep;
            anchor_.first = x;
            selected_->setOrientation(QRMATHQuaternion::fromRotationY(turn) * selected_->getOrientation());
        }
        if (!horizontal && std::abs(y - anchor_.second) > kRotateThreshold) {
            // Pixels count upwards: a smaller y is a movement down.
            const float turn = y < anchor_.second ? kRotateStep : -kRotateStep;
            anchor_.second = y;
            selected_->rotateLocalZ(turn);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Overlay

void APPEDITCursor::render()
{
    QRVISXMain* visual = qrVisual();
    if (!visual || !editor_->getWorld())
        return;
    setUpOverlay(false);
    visual->getUtil()->getSpheres()->drawSphereRadius(position_, false, kCursorRadius);

    if (isSculptingTool(tool_)) {
        renderBrush();
    } else if (tool_ == ImportHeightmap || tool_ == ImportGroundmap) {
        if (block_) {
            const APPENVRGridIndex first = block_->getVertexRange();
            const APPENVRGridIndex end = block_->getVertexRangeEnd();
            renderQuads(first.x, first.z, end.x, end.z);
        }
    } else if (tool_ >= SetGroundType && tool_ <= DeleteStreet) {
        if (cell_.x >= 0) {
            const int x = cell_.x * APPENVRMain::kVerticesPerCell;
            const int z = cell_.z * APPENVRMain::kVerticesPerCell;
            renderQuads(x, z, x + APPENVRMain::kVerticesPerCell, z + APPENVRMain::kVerticesPerCell);
        }
    } else if (tool_ == CreateEntity) {
        renderPreview();
    } else if ((tool_ >= EditEntity && tool_ <= DeleteEntity) ||
               (selected_ && selected_->getSerial() == chosenSerial_)) {
        renderSelection();
    }
}

void APPEDITCursor::renderQuads(int x0, int z0, int x1, int z1)
{
    QRVISXMain& visual = *qrVisual();
    QRVISXTransformWorld& transform = *visual.getTransform()->getWorld();
    transform.reset();
    transform.translate({0.0f, kOverlayLift, 0.0f});
    transform.apply();
    const APPENVRMain& environment = *editor_->getWorld()->getEnvironment();
    QRVISXRender& render = *visual.getRender();
    const APPEDITToolWindow* tools = editor_->getToolWindow();
    const int size = tools ? tools->getBrushSize() : 2;
    const bool brush = isSculptingTool(tool_);
    for (int i = std::max(x0, 0); i < std::min(x1, APPENVRMain::kStoredVertexCount); ++i) {
        for (int j = std::max(z0, 0); j < std::min(z1, APPENVRMain::kStoredVertexCount); ++j) {
            // The brush fades towards its rim as its effect does.
            const float weight = brush ? brushFalloff(i, j, vertex_.x, vertex_.z, size) : 1.0f;
            render.setVertexColor(kOverlayColor.x * weight, kOverlayColor.y * weight, kOverlayColor.z * weight,
                                  kOverlayColor.w * weight);
            render.beginTriangleStrip();
            for (const auto& [x, z] : {std::array{i, j}, std::array{i, j + 1}, std::array{i + 1, j}, std::array{i + 1, j + 1}}) {
                const Vector3 p = environment.getVertexPosition(x, z);
                render.vertex(p.x, p.y, p.z);
            }
            render.end();
        }
    }
}

void APPEDITCursor::renderBrush()
{
    if (vertex_.x < 0)
        return;
    const APPEDITToolWindow* tools = editor_->getToolWindow();
    const int size = tools ? tools->getBrushSize() : 2;
    renderQuads(vertex_.x - size - 1, vertex_.z - size - 1, vertex_.x + size + 1, vertex_.z + size + 1);
}

void APPEDITCursor::renderPreview()
{
    APPWRLDMain& world = *editor_->getWorld();
    const APPEDITToolWindow* tools = editor_->getToolWindow();
    if (!tools)
        return;
    QRVISXModel* model = nullptr;
    if (tools->isEnvironmentModelsPageActive()) {
        const std::string name = tools->getSelectedModelName();
        model = name.empty() ? nullptr : world.getModels()->getModel(name);
    } else if (const int actor = tools->getActor(); actor >= 0 && actor < static_cast<int>(kActors.size())) {
        model = world.getModels()->getModel(kActors[static_cast<std::size_t>(actor)].previewModel);
    }
    if (!model)
        return;
    QRVISXMain& visual = *qrVisual();
    setUpOverlay(true);
    QRVISXMaterialManager& materials = *visual.getMaterialManager();
    materials.lock();
    QRVISXTransformWorld& transform = *visual.getTransform()->getWorld();
    transform.reset();
    transform.translate(position_);
    transform.rotateY(creationAngle(tools->getRotationPosition()));
    transform.apply();
    model->renderLod(0, true);
    materials.unlock();
}

void APPEDITCursor::renderSelection()
{
    if (!selected_)
        return;
    setUpOverlay(true);
    QRVISXMaterialManager& materials = *qrVisual()->getMaterialManager();
    materials.lock();
    selected_->renderEditor();
    materials.unlock();

    // Models coloured per vertex keep their colours when drawn again in the overlay's state, so
    // the selection also gets an outline: the wire box around its model.
    Vector3 centre{0.0f, 0.0f, 0.0f};
    Vector3 half{0.5f, 0.5f, 0.5f};
    if (const QRVISXModelLod* level = selected_->getModel() ? selected_->getModel()->getLod(0) : nullptr) {
        const float size = selected_->getSize();
        centre = (level->getBoundingBoxMinimum() + level->getBoundingBoxMaximum()) * (0.5f * size);
        half = (level->getBoundingBoxMaximum() - level->getBoundingBoxMinimum()) * (0.5f * size);
    }
    setUpOverlay(false);
    QRVISXUtilBoxes& boxes = *qrVisual()->getUtil()->getBoxes();
    const Vector4 fill = boxes.fillColor;
    const Vector4 line = boxes.lineColor;
    const std::array<int, 3> subdivisions{boxes.subdivisionsX, boxes.subdivisionsY, boxes.subdivisionsZ};
    boxes.fillColor.w = 0.0f;
    boxes.lineColor.w = 1.0f;
    boxes.subdivisionsX = boxes.subdivisionsY = boxes.subdivisionsZ = 1;
    const Quaternion& orientation = selected_->getOrientation();
    boxes.drawBox(selected_->getPosition() + QRMATHQuaternion::rotateVector(orientation, centre), orientation, false,
                  half);
    boxes.fillColor = fill;
    boxes.lineColor = line;
    boxes.subdivisionsX = subdivisions[0];
    boxes.subdivisionsY = subdivisions[1];
    boxes.subdivisionsZ = subdivisions[2];
}
