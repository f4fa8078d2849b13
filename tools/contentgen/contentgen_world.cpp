// The default world: the sixteen area files, written by the game's own environment and entities.
// The land comes from contentgen_land; this file plans what stands on it (the hero's start, the
// papers and the coder monkeys guarding some of them, the advertisement boards along the streets,
// the campus town's buildings and street furniture, trees and rocks in the countryside), then
// creates every entity through the world's entity list and lets the environment save the areas.
//
// The papers lead through the whole world: easy ones between the hero's knoll and the town, then
// the squares and campus buildings, the lake with its island, the river, the mesas and hills in
// the east, the ridge with its lookout, the western woods and the meadows beyond the river. Some
// float at jumping height or sit on mesas whose rims only a jump gets over; some hang so high above
// the ground, the water or a roof that only flying reaches them.

#include "contentgen.h"
#include "contentgen_engine.h"
#include "contentgen_land.h"
#include "contentgen_models.h"

#include "entities/app_entt_environmentmodel.h"
#include "entities/app_entt_main.h"
#include "environment/app_envr_main.h"
#include "math/qr_math_quaternion.h"
#include "visual/geometry/qr_visx_model.h"
#include "world/app_wrld_entities.h"
#include "world/app_wrld_main.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace cg {

namespace {

using land::Spot;

constexpr float kDegrees = 3.14159265f / 180.0f;
// The hero's heading at the start (the hero sets it when it is created): yaw 220 looks along
// (-sin 220, -cos 220).
constexpr float kStartYaw = 220.0f;
// Above this a paper is out of reach of every jump (the highest jump at the last level rises about
// 6.8 units, and a paper is taken within 3); below 5 even the first level's jump of 2.6 reaches it.
constexpr float kFlyingLift = 14.0f;
constexpr float kJumpLift = 4.3f;
constexpr float kGroundLift = 0.5f;
constexpr float kMonkeyDistanceFromStart = 60.0f;

std::string sceneryPath(const std::string& name) { return "models\\environment\\" + name + ".model"; }

struct Bounds {
    Vec3 low{1e9f, 1e9f, 1e9f}, high{-1e9f, -1e9f, -1e9f};
};

Bounds meshBounds(const Mesh& mesh)
{
    Bounds b;
    for (const Mesh::Part& part : mesh.parts())
        for (const Mesh::Vertex& v : part.vertices) {
            b.low = {std::min(b.low.x, v.position.x), std::min(b.low.y, v.position.y), std::min(b.low.z, v.position.z)};
            b.high = {std::max(b.high.x, v.position.x), std::max(b.high.y, v.position.y), std::max(b.high.z, v.position.z)};
        }
    return b;
}

// The scenery models' bounds by path, and the advertisement board's.
std::map<std::string, Bounds> modelBounds()
{
    std::map<std::string, Bounds> bounds;
    for (const ModelSpec& spec : sceneryModels())
        bounds[spec.path] = meshBounds(spec.levels.front().mesh);
    for (const ModelSpec& spec : propModels())
        if (!spec.poster.empty()) {
            bounds["ad"] = meshBounds(spec.levels.front().mesh);
            break;
        }
    return bounds;
}

struct Box2 {
    float x0 = 0.0f, z0 = 0.0f, x1 = 0.0f, z1 = 0.0f;
    bool overlaps(const Box2& o) const { return x0 < o.x1 && o.x0 < x1 && z0 < o.z1 && o.z0 < z1; }
    Box2 grown(float by) const { return {x0 - by, z0 - by, x1 + by, z1 + by}; }
};
Box2 around(float x, float z, float r) { return {x - r, z - r, x + r, z + r}; }

// One entity of the world as it will be created.
struct Thing {
    std::string type;
    std::string model; // environment models only
    Vector3 position;
    float yaw = 0.0f;
    float size = 1.0f;
};

enum class Reach { Ground, Jump, Flying };

struct PaperSpot {
    const char* name;
    Spot spot;
    Reach reach;
};

// A scenery model's world box, for the check that no paper lies inside one.
struct Solid {
    std::string model;
    Vector3 low, high;
};

class Plan {
public:
    Plan(const APPENVRMain& environment, std::map<std::string, Bounds> bounds)
        : environment_(environment), bounds_(std::move(bounds))
    {
    }

    float ground(float x, float z) const { return environment_.getHeight({x, 0.0f, z}); }
    // Rise of the terrain over 4 units, the steeper of the two axes.
    float slope(float x, float z) const
    {
        return std::max(std::fabs(ground(x + 2.0f, z) - ground(x - 2.0f, z)), std::fabs(ground(x, z + 2.0f) - ground(x, z - 2.0f))) / 4.0f;
    }
    bool known(const std::string& model) const { return bounds_.count(model) != 0; }

    Box2 footprint(const std::string& model, float x, float z, float yaw, float size) const
    {
        const Bounds& b = bounds_.at(model);
        const float c = std::cos(yaw * kDegrees), s = std::sin(yaw * kDegrees);
        Box2 box{1e9f, 1e9f, -1e9f, -1e9f};
        for (float lx : {b.low.x, b.high.x})
            for (float lz : {b.low.z, b.high.z}) {
                const float wx = x + size * (lx * c + lz * s), wz = z + size * (-lx * s + lz * c);
                box = {std::min(box.x0, wx), std::min(box.z0, wz), std::max(box.x1, wx), std::max(box.z1, wz)};
            }
        return box;
    }

    // Free of everything placed with a hard footprint, of street cells and of the view from the start.
    bool free(const Box2& box, bool avoidStreets = true) const
    {
        for (const Box2& taken : hard_)
            if (taken.overlaps(box))
                return false;
        return !(avoidStreets && touchesStreet(box)) && !inStartView(box);
    }

    // Buildings, street furniture, boards: nothing else may overlap them.
    bool build(const std::string& model, float x, float z, float yaw, float size, bool avoidStreets = true)
    {
        const Box2 box = footprint(model, x, z, yaw, size);
        if (!free(box, avoidStreets))
            return false;
        hard_.push_back(box);
        addScenery(model, x, z, yaw, size, 0.0f, box);
        return true;
    }

    // Trees, bushes and rocks: their full footprint keeps off the hard ones; among themselves only
    // their inner part must not overlap, so crowns may touch.
    bool grow(const std::string& model, float x, float z, float yaw, float size)
    {
        const Box2 box = footprint(model, x, z, yaw, size);
        if (!free(box, true))
            return false;
        const float cx = 0.5f * (box.x0 + box.x1), cz = 0.5f * (box.z0 + box.z1);
        const Box2 inner = around(cx, cz, 0.3f * std::min(box.x1 - box.x0, box.z1 - box.z0));
        for (const Box2& taken : soft_)
            if (taken.overlaps(inner))
                return false;
        soft_.push_back(inner);
        addScenery(model, x, z, yaw, size, 0.15f * size, box);
        return true;
    }

    void reserve(const Box2& box) { hard_.push_back(box); }

    void add(Thing thing) { things_.push_back(std::move(thing)); }

    const std::vector<Thing>& things() const { return things_; }
    std::vector<Thing>& things() { return things_; }
    const std::vector<Solid>& solids() const { return solids_; }

    // The highest solid over (x, z), or -1e9.
    float topOfSolids(float x, float z) const
    {
        float top = -1e9f;
        for (const Solid& solid : solids_)
            if (x >= solid.low.x && x <= solid.high.x && z >= solid.low.z && z <= solid.high.z)
                top = std::max(top, solid.high.y);
        return top;
    }

    bool inStartView(const Box2& box) const
    {
        // The view down into the town: a narrow wedge from the start along the first heading.
        const float fx = -std::sin(kStartYaw * kDegrees), fz = -std::cos(kStartYaw * kDegrees);
        for (float x : {box.x0, box.x1, 0.5f * (box.x0 + box.x1)})
            for (float z : {box.z0, box.z1, 0.5f * (box.z0 + box.z1)}) {
                const float dx = x - land::kStart.x, dz = z - land::kStart.z;
                const float along = dx * fx + dz * fz, across = std::fabs(dx * fz - dz * fx);
                if (along > -12.0f && along < 280.0f && across < 9.0f + 0.05f * std::max(0.0f, along))
                    return true;
            }
        return false;
    }

private:
    bool touchesStreet(const Box2& box) const
    {
        const land::Ground& cells = land::ground();
        const int cx0 = static_cast<int>(std::floor(box.x0 / land::kCellSize)), cx1 = static_cast<int>(std::floor(box.x1 / land::kCellSize));
        const int cz0 = static_cast<int>(std::floor(box.z0 / land::kCellSize)), cz1 = static_cast<int>(std::floor(box.z1 / land::kCellSize));
        for (int cx = cx0; cx <= cx1; ++cx)
            for (int cz = cz0; cz <= cz1; ++cz) {
                if (!cells.street(cx, cz))
                    continue;
                // The street and its pavement keep a unit off the cell's edge.
                const Box2 band{land::kCellSize * static_cast<float>(cx) + 1.0f, land::kCellSize * static_cast<float>(cz) + 1.0f,
                                land::kCellSize * static_cast<float>(cx + 1) - 1.0f, land::kCellSize * static_cast<float>(cz + 1) - 1.0f};
                if (band.overlaps(box))
                    return true;
            }
        return false;
    }

    void addScenery(const std::string& model, float x, float z, float yaw, float size, float sink, const Box2& box)
    {
        // On a slope the model stands on the lowest corner of its footprint, its foundations in the
        // ground elsewhere.
        float y = ground(x, z);
        if (box.x1 - box.x0 > 6.0f || box.z1 - box.z0 > 6.0f)
            y = std::min({ground(box.x0, box.z0), ground(box.x1, box.z0), ground(box.x0, box.z1), ground(box.x1, box.z1), y});
        y -= sink;
        things_.push_back({"EnvironmentModel", model, {x, y, z}, yaw, size});
        const Bounds& b = bounds_.at(model);
        solids_.push_back({model, {box.x0, y + b.low.y * size, box.z0}, {box.x1, y + b.high.y * size, box.z1}});
    }

    const APPENVRMain& environment_;
    std::map<std::string, Bounds> bounds_;
    std::vector<Box2> hard_, soft_;
    std::vector<Thing> things_;
    std::vector<Solid> solids_;
};

float yawFacing(float dx, float dz) { return std::atan2(-dx, -dz) / kDegrees; }

// --- The town ------------------------------------------------------------------------------------

enum class Use { Houses, LectureHallNorth, CampusSquare, Library, MarketSquare, LectureHallEast, PondPark, Park, Sports, CarPark };

// By block row (z, north first), then column (x, west first).
constexpr Use kBlocks[4][4] = {
    {Use::Houses, Use::LectureHallNorth, Use::Houses, Use::PondPark},
    {Use::Park, Use::CampusSquare, Use::Library, Use::Houses},
    {Use::Houses, Use::LectureHallEast, Use::MarketSquare, Use::Houses},
    {Use::Houses, Use::Sports, Use::Houses, Use::CarPark},
};

struct Block {
    float x0, z0, x1, z1;
    float cx() const { return 0.5f * (x0 + x1); }
    float cz() const { return 0.5f * (z0 + z1); }
};

Block townBlock(int column, int row)
{
    return {land::blockStart(column), land::blockStart(row), land::blockEnd(column), land::blockEnd(row)};
}

// Puts a building with its front towards side (0 north -z, 1 east +x, 2 south +z, 3 west -x) of the
// block, its front `gap` units inside the block's edge, at `along` on that edge.
bool building(Plan& plan, const std::string& model, const Block& block, int side, float along, float gap, float size,
              const Bounds& b)
{
    const float front = -b.low.z * size;
    switch (side) {
    case 0: return plan.build(model, along, block.z0 + gap + front, 0.0f, size);
    case 1: return plan.build(model, block.x1 - gap - front, along, -90.0f, size);
    case 2: return plan.build(model, along, block.z1 - gap - front, 180.0f, size);
    default: return plan.build(model, block.x0 + gap + front, along, 90.0f, size);
    }
}

void houses(Plan& plan, const std::map<std::string, Bounds>& bounds, const Block& block, Random& random)
{
    const std::string yellow = sceneryPath("house_yellow"), blue = sceneryPath("house_blue");
    for (int side = 0; side < 4; ++side) {
        const bool alongX = side == 0 || side == 2;
        const float start = alongX ? block.x0 : block.z0;
        for (float t : alongX ? std::vector<float>{14.0f, 35.0f, 56.0f, 77.0f, 98.0f} : std::vector<float>{34.0f, 56.0f, 78.0f}) {
            const std::string& model = random.uniform() < 0.5f ? yellow : blue;
            building(plan, model, block, side, start + t + random.range(-1.5f, 1.5f), random.range(3.0f, 6.0f),
                     random.range(1.6f, 1.8f), bounds.at(model));
        }
    }
}

void benchesAround(Plan& plan, float x, float z, float radius, int count, float phase)
{
    for (int i = 0; i < count; ++i) {
        const float a = (phase + 360.0f * static_cast<float>(i) / static_cast<float>(count)) * kDegrees;
        const float bx = x + radius * std::cos(a), bz = z + radius * std::sin(a);
        plan.build(sceneryPath("bench"), bx, bz, yawFacing(x - bx, z - bz), 1.0f);
    }
}

// A fountain in the middle with benches around it, lamps, and a row of trees along the edges
// that leaves the middle of each side open.
void square(Plan& plan, const Block& block, float fountainSize)
{
    plan.build(sceneryPath("fountain"), block.cx(), block.cz(), 0.0f, fountainSize);
    benchesAround(plan, block.cx(), block.cz(), 9.0f * fountainSize, 4, 45.0f);
    benchesAround(plan, block.cx(), block.cz(), 9.0f * fountainSize + 12.0f, 4, 0.0f);
    for (float dx : {-30.0f, 30.0f})
        for (float dz : {-30.0f, 30.0f})
            plan.build(sceneryPath("street_lamp"), block.cx() + dx, block.cz() + dz, 0.0f, 1.0f);
    const float inset = 8.0f;
    for (float t = inset; t <= block.x1 - block.x0 - inset; t += 12.0f) {
        if (std::fabs(t - 0.5f * (block.x1 - block.x0)) < 10.0f)
            continue;
        const float size = 1.5f + 0.1f * std::fmod(t, 3.0f);
        for (const auto& [x, z] : {std::pair{block.x0 + t, block.z0 + inset}, std::pair{block.x0 + t, block.z1 - inset},
                                   std::pair{block.x0 + inset, block.z0 + t}, std::pair{block.x1 - inset, block.z0 + t}})
            plan.grow(sceneryPath("tree_birch"), x, z, t * 37.0f, size);
    }
}

void town(Plan& plan, const std::map<std::string, Bounds>& bounds, Random& random)
{
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            const Block block = townBlock(column, row);
            switch (kBlocks[row][column]) {
            case Use::Houses:
                houses(plan, bounds, block, random);
                break;
            case Use::LectureHallNorth:
                building(plan, sceneryPath("lecture_hall"), block, 2, block.cx(), 16.0f, 2.0f, bounds.at(sceneryPath("lecture_hall")));
                break;
            case Use::LectureHallEast:
                building(plan, sceneryPath("lecture_hall"), block, 1, block.cz(), 16.0f, 1.8f, bounds.at(sceneryPath("lecture_hall")));
                break;
            case Use::Library:
                building(plan, sceneryPath("library"), block, 3, block.cz(), 14.0f, 2.0f, bounds.at(sceneryPath("library")));
                building(plan, sceneryPath("house_blue"), block, 1, block.z0 + 22.0f, 6.0f, 1.5f, bounds.at(sceneryPath("house_blue")));
                building(plan, sceneryPath("house_yellow"), block, 1, block.z1 - 22.0f, 6.0f, 1.5f, bounds.at(sceneryPath("house_yellow")));
                break;
            case Use::CampusSquare:
                square(plan, block, 2.2f);
                break;
            case Use::MarketSquare:
                square(plan, block, 1.7f);
                break;
            case Use::PondPark:
                benchesAround(plan, land::kPond.x, land::kPond.z, 40.0f, 3, 200.0f);
                break;
            case Use::Park:
                benchesAround(plan, block.cx(), block.cz(), 24.0f, 3, 20.0f);
                plan.build(sceneryPath("street_lamp"), block.cx(), block.cz() - 30.0f, 0.0f, 1.0f);
                break;
            case Use::Sports: {
                // A fenced field with a gate in the middle of each long side.
                const float x0 = block.x0 + 10.0f, x1 = block.x1 - 10.0f, z0 = block.z0 + 12.0f, z1 = block.z1 - 12.0f;
                const float step = 6.2f;
                for (float x = x0 + 0.5f * step; x < x1; x += step)
                    if (std::fabs(x - block.cx()) > step)
                        for (float z : {z0, z1})
                            plan.build(sceneryPath("fence"), x, z, 0.0f, 1.5f);
                for (float z = z0 + 0.5f * step; z < z1; z += step)
                    for (float x : {x0, x1})
                        plan.build(sceneryPath("fence"), x, z, 90.0f, 1.5f);
                break;
            }
            case Use::CarPark:
                houses(plan, bounds, {block.x0, block.z0, block.x1, block.z0 + 40.0f}, random);
                break;
            }
        }
}

// Street lamps every few cells along a street, on alternating sides, kept off junctions.
void lamps(Plan& plan)
{
    const land::Ground& cells = land::ground();
    int count = 0;
    for (int x = 0; x < land::kCells; ++x)
        for (int z = 0; z < land::kCells; ++z) {
            if (!cells.street(x, z))
                continue;
            const bool alongX = cells.street(x - 1, z) && cells.street(x + 1, z) && !cells.street(x, z - 1) && !cells.street(x, z + 1);
            const bool alongZ = cells.street(x, z - 1) && cells.street(x, z + 1) && !cells.street(x - 1, z) && !cells.street(x + 1, z);
            if (!alongX && !alongZ)
                continue;
            const int along = alongX ? x : z;
            if (along % 3 != 0)
                continue;
            const float side = ((along / 3) % 2 == 0) ? 1.0f : -1.0f;
            const float cx = land::cellCentre(x), cz = land::cellCentre(z);
            if (alongX)
                count += plan.build(sceneryPath("street_lamp"), cx, cz + side * 9.5f, 0.0f, 1.0f) ? 1 : 0;
            else
                count += plan.build(sceneryPath("street_lamp"), cx + side * 9.5f, cz, 90.0f, 1.0f) ? 1 : 0;
        }
}

// --- Papers, monkeys, boards -----------------------------------------------------------------------

Spot highestIn(const Plan& plan, float x0, float z0, float x1, float z1)
{
    Spot best{x0, z0};
    float top = -1e9f;
    for (float x = x0; x <= x1; x += 16.0f)
        for (float z = z0; z <= z1; z += 16.0f)
            if (const float h = plan.ground(x, z); h > top) {
                top = h;
                best = {x, z};
            }
    return best;
}

std::vector<PaperSpot> paperSpots(const Plan& plan)
{
    const Spot start = land::kStart;
    const auto ahead = [&](float forward, float right) {
        const float fx = -std::sin(kStartYaw * kDegrees), fz = -std::cos(kStartYaw * kDegrees);
        return Spot{start.x + forward * fx - right * fz, start.z + forward * fz + right * fx};
    };
    const auto block = [](int column, int row) { return townBlock(column, row); };
    const std::vector<land::Mesa>& mesas = land::mesas();
    const Spot top = land::summit();
    return {
        // Between the knoll and the town: the first two make a Bachelor.
        {"knoll", ahead(16.0f, 3.0f), Reach::Ground},
        {"knoll slope", ahead(45.0f, -10.0f), Reach::Ground},
        {"road to town", {1000.0f, 1095.0f}, Reach::Ground},
        {"corner", {1040.0f, 1128.0f}, Reach::Ground},
        {"west street", {1064.0f, 1150.0f}, Reach::Ground},
        {"first garden", {block(0, 0).cx(), block(0, 0).cz()}, Reach::Ground},
        // The town.
        {"campus square", {block(1, 1).cx() + 24.0f, block(1, 1).cz() - 24.0f}, Reach::Ground},
        {"over the fountain", {block(1, 1).cx(), block(1, 1).cz()}, Reach::Flying},
        {"lecture hall steps", {block(1, 0).cx() - 30.0f, block(1, 0).z1 - 8.0f}, Reach::Ground},
        {"lecture hall roof", {block(1, 0).cx(), block(1, 0).z1 - 40.0f}, Reach::Flying},
        {"library garden", {block(2, 1).x1 - 30.0f, block(2, 1).cz()}, Reach::Ground},
        {"library roof", {block(2, 1).x0 + 32.0f, block(2, 1).cz()}, Reach::Flying},
        {"market square", {block(2, 2).cx() + 16.0f, block(2, 2).cz() - 12.0f}, Reach::Ground},
        {"pond", {land::kPond.x, land::kPond.z + 37.0f}, Reach::Ground},
        {"sports field", {block(1, 3).cx(), block(1, 3).cz()}, Reach::Ground},
        {"car park", {block(3, 3).cx() + 18.0f, block(3, 3).cz() + 17.0f}, Reach::Ground},
        {"park", {block(0, 1).cx(), block(0, 1).cz()}, Reach::Ground},
        {"campus square corner", {block(1, 1).x0 + 14.0f, block(1, 1).z1 - 14.0f}, Reach::Jump},
        {"behind the east lecture hall", {block(1, 2).x0 + 22.0f, block(1, 2).cz() + 16.0f}, Reach::Ground},
        // The lake and its island.
        {"lake east shore", land::lakeShore(0.0f, 14.0f), Reach::Ground},
        {"lake north shore", land::lakeShore(-90.0f, 16.0f), Reach::Ground},
        {"island", land::kIsland, Reach::Ground},
        {"over the lake", {470.0f, 2010.0f}, Reach::Flying},
        {"lake west shore", land::lakeShore(150.0f, 12.0f), Reach::Ground},
        {"river mouth", {920.0f, land::riverZ(920.0f) - 42.0f}, Reach::Ground},
        // The river.
        {"river bank", {1150.0f, land::riverZ(1150.0f) - 36.0f}, Reach::Ground},
        {"south bank", {1700.0f, land::riverZ(1700.0f) + 38.0f}, Reach::Ground},
        {"over the river", {2000.0f, land::riverZ(2000.0f)}, Reach::Flying},
        {"river bend", {2400.0f, land::riverZ(2400.0f) - 38.0f}, Reach::Ground},
        // The hills in the east.
        {"first mesa", mesas[0].centre, Reach::Jump},
        {"second mesa", mesas[1].centre, Reach::Jump},
        {"third mesa", mesas[2].centre, Reach::Jump},
        {"east hilltop", highestIn(plan, 1900.0f, 1000.0f, 2500.0f, 1850.0f), Reach::Ground},
        {"north-east hilltop", highestIn(plan, 2150.0f, 420.0f, 2530.0f, 1000.0f), Reach::Jump},
        {"trailhead", {1800.0f, 1290.0f}, Reach::Ground},
        {"forest clearing", {2250.0f, 1050.0f}, Reach::Ground},
        {"over the forest", {2350.0f, 780.0f}, Reach::Flying},
        // The ridge.
        {"summit", {top.x + 6.0f, top.z + 6.0f}, Reach::Ground},
        {"lookout", {land::kLookout.x - 10.0f, land::kLookout.z + 4.0f}, Reach::Ground},
        {"west crest", {700.0f, land::crestZ(700.0f)}, Reach::Ground},
        {"east crest", {1850.0f, land::crestZ(1850.0f)}, Reach::Ground},
        {"rock table", mesas[4].centre, Reach::Jump},
        {"above the summit", {top.x - 8.0f, top.z}, Reach::Flying},
        {"behind the ridge", {1550.0f, land::crestZ(1550.0f) - 160.0f}, Reach::Flying},
        {"ridge trailhead", {1340.0f, 872.0f}, Reach::Ground},
        {"saddle", {450.0f, land::crestZ(450.0f)}, Reach::Jump},
        // The western woods.
        {"west hilltop", highestIn(plan, 60.0f, 700.0f, 450.0f, 1400.0f), Reach::Ground},
        {"west woods", {260.0f, 900.0f}, Reach::Ground},
        {"west mesa", mesas[3].centre, Reach::Jump},
        {"west road end", {905.0f, 1448.0f}, Reach::Ground},
        // Beyond the river.
        {"south meadow", {1300.0f, 2420.0f}, Reach::Ground},
        {"south-west meadow", {820.0f, 2440.0f}, Reach::Ground},
        {"south hills", {2000.0f, 2460.0f}, Reach::Ground},
        {"south hilltop", highestIn(plan, 1400.0f, 2350.0f, 2500.0f, 2530.0f), Reach::Jump},
    };
}

// The monkeys, each a few steps from the paper it guards, looking out towards the way the hero
// comes from.
struct MonkeySpot {
    const char* paper;
    float dx, dz;
};
const MonkeySpot kMonkeys[] = {
    {"library garden", 8.0f, 12.0f},   {"pond", 13.0f, 7.0f},         {"sports field", 10.0f, -12.0f},
    {"behind the east lecture hall", -10.0f, -10.0f}, {"island", 8.0f, 10.0f}, {"river mouth", 12.0f, -10.0f},
    {"south bank", 12.0f, 10.0f},      {"second mesa", 20.0f, 6.0f},  {"forest clearing", 12.0f, 8.0f},
    {"west crest", 12.0f, 14.0f},      {"east crest", -12.0f, 14.0f}, {"west woods", 12.0f, 12.0f},
    {"south meadow", 12.0f, 12.0f},    {"south hills", 12.0f, -12.0f},
};

// Boards stand beside the streets: (street line, cell along it, side, line along x).
struct BoardSpot {
    int line, cell;
    float side;
    bool alongX;
};
const BoardSpot kBoards[] = {
    {74, 78, 1.0f, true},  {82, 78, -1.0f, true}, {82, 86, 1.0f, false}, {90, 86, -1.0f, true}, {90, 86, -1.0f, false},
    {66, 86, 1.0f, true},  {82, 70, 1.0f, true},  {74, 94, 1.0f, false}, {98, 78, -1.0f, true}, {98, 70, -1.0f, false},
    {90, 94, 1.0f, true},  {66, 86, 1.0f, false}, {82, 104, -1.0f, true}, {82, 104, 1.0f, false}, {82, 58, -1.0f, false},
    {90, 60, 1.0f, true},  {62, 66, 1.0f, false}, {74, 94, 1.0f, true},  {90, 70, 1.0f, false}, {66, 78, -1.0f, false},
};
// Two more at the trailheads of the ridge and the hills.
const Thing kTrailheadBoards[] = {
    {"Ad", "", {1366.0f, 0.0f, 874.0f}, 90.0f, 1.0f},
    {"Ad", "", {1815.0f, 0.0f, 1255.0f}, 0.0f, 1.0f},
};

// --- Countryside ---------------------------------------------------------------------------------

struct Growth {
    const char* model;
    float weight, sizeLow, sizeHigh;
};

// What grows at a place, by region; the density is the chance that a site carries anything.
void countryside(Plan& plan)
{
    const std::vector<Growth> shore = {{"tree_birch", 0.45f, 1.3f, 1.9f}, {"bush", 0.35f, 0.9f, 1.5f}, {"tree_oak", 0.2f, 1.4f, 2.0f}};
    const std::vector<Growth> mountain = {{"tree_pine", 0.68f, 1.3f, 2.1f}, {"rock_large", 0.12f, 1.2f, 3.2f},
                                          {"rocks_small", 0.1f, 1.0f, 2.0f}, {"tree_birch", 0.1f, 1.3f, 1.8f}};
    const std::vector<Growth> forest = {{"tree_pine", 0.5f, 1.3f, 2.1f}, {"tree_oak", 0.4f, 1.4f, 2.2f}, {"bush", 0.1f, 1.0f, 1.6f}};
    const std::vector<Growth> woods = {{"tree_pine", 0.5f, 1.3f, 2.1f}, {"tree_birch", 0.3f, 1.3f, 1.9f}, {"bush", 0.2f, 1.0f, 1.6f}};
    const std::vector<Growth> open = {{"tree_oak", 0.45f, 1.4f, 2.2f}, {"bush", 0.3f, 0.9f, 1.6f}, {"tree_birch", 0.1f, 1.3f, 1.9f},
                                      {"rocks_small", 0.1f, 1.0f, 2.0f}, {"rock_large", 0.05f, 1.0f, 2.2f}};
    const std::vector<Growth> grove = {{"tree_oak", 0.6f, 1.4f, 2.2f}, {"tree_birch", 0.4f, 1.3f, 1.9f}};

    constexpr float kSpacing = 24.0f;
    const int sites = static_cast<int>(land::kWorldSize / kSpacing);
    for (int i = 0; i < sites; ++i)
        for (int j = 0; j < sites; ++j) {
            Random random(0x5EED0000u + static_cast<std::uint64_t>(i) * 1000u + static_cast<std::uint64_t>(j));
            const float x = (static_cast<float>(i) + random.range(0.1f, 0.9f)) * kSpacing;
            const float z = (static_cast<float>(j) + random.range(0.1f, 0.9f)) * kSpacing;
            if (x < 8.0f || z < 8.0f || x > land::kWorldSize - 8.0f || z > land::kWorldSize - 8.0f)
                continue;
            // The town plants its own trees.
            if (x > 1040.0f && x < 1616.0f && z > 1040.0f && z < 1616.0f)
                continue;
            const float h = plan.ground(x, z);
            if (h < land::kWaterLine + 0.8f)
                continue;
            bool onMesa = false;
            for (const land::Mesa& mesa : land::mesas())
                onMesa = onMesa || std::hypot(x - mesa.centre.x, z - mesa.centre.z) < mesa.radius + 8.0f;
            if (onMesa || std::hypot(x - land::kStart.x, z - land::kStart.z) < 30.0f)
                continue;

            const float u = x / land::kWorldSize, v = z / land::kWorldSize;
            const std::vector<Growth>* kind = &open;
            float density = 0.05f;
            if (land::lakeDistance(x, z) < 100.0f || (land::riverDistance(x, z) > 20.0f && land::riverDistance(x, z) < 90.0f)) {
                kind = &shore;
                density = 0.28f;
            } else if (z < land::crestZ(x) + 260.0f && h > 28.0f) {
                kind = &mountain;
                density = 0.3f + 0.3f * clamp01(plan.slope(x, z) - 0.4f);
            } else if (x > 1650.0f && z < 2250.0f && fbm2(u, v, 8, 3, 701) > 0.1f) {
                kind = &forest;
                density = 0.7f;
            } else if (x < 480.0f && z < 1700.0f && fbm2(u, v, 8, 3, 703) > -0.2f) {
                kind = &woods;
                density = 0.6f;
            } else if (fbm2(u, v, 10, 2, 702) > 0.35f) {
                kind = &grove;
                density = 0.4f;
            } else if (z > 2250.0f || x > 1650.0f) {
                density = 0.1f;
            }
            if (random.uniform() >= density)
                continue;
            float pick = random.uniform(), sum = 0.0f;
            for (const Growth& growth : *kind) {
                sum += growth.weight;
                if (pick < sum || &growth == &kind->back()) {
                    plan.grow(sceneryPath(growth.model), x, z, random.range(0.0f, 360.0f), random.range(growth.sizeLow, growth.sizeHigh));
                    break;
                }
            }
        }
}

// Trees and bushes in the town's gardens and parks.
void townGreen(Plan& plan)
{
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            const Use use = kBlocks[row][column];
            if (use != Use::Houses && use != Use::Park && use != Use::PondPark && use != Use::Library && use != Use::Sports)
                continue;
            const Block block = townBlock(column, row);
            const float density = use == Use::Houses || use == Use::Library ? 0.4f : (use == Use::Sports ? 0.5f : 0.75f);
            for (float x = block.x0 + 6.0f; x < block.x1 - 4.0f; x += 12.0f)
                for (float z = block.z0 + 6.0f; z < block.z1 - 4.0f; z += 12.0f) {
                    Random random(hash(static_cast<std::int32_t>(x), static_cast<std::int32_t>(z), 0, 703));
                    const float px = x + random.range(-3.0f, 3.0f), pz = z + random.range(-3.0f, 3.0f);
                    if (random.uniform() >= density || plan.ground(px, pz) < land::kWaterLine + 0.8f)
                        continue;
                    // The sports field itself stays open.
                    if (use == Use::Sports && px > block.x0 + 6.0f && px < block.x1 - 6.0f && pz > block.z0 + 8.0f && pz < block.z1 - 8.0f)
                        continue;
                    const float pick = random.uniform();
                    const char* model = pick < 0.4f ? "tree_oak" : (pick < 0.75f ? "tree_birch" : "bush");
                    plan.grow(sceneryPath(model), px, pz, random.range(0.0f, 360.0f), random.range(1.4f, 2.1f));
                }
        }
}

struct Design {
    int easy = 0, ground = 0, jump = 0, flying = 0, monkeys = 0, boards = 0, scenery = 0;
    // Of the stored terrain: the lowest and highest vertex, the share below the water's surface.
    float lowest = 0.0f, highest = 0.0f, water = 0.0f;
    std::vector<std::pair<Vector3, Reach>> papers;
};

// The whole plan; false (with a message) when it breaks one of the world's own rules.
bool planWorld(Plan& plan, Design& design)
{
    for (const char* name : {"tree_oak", "tree_pine", "tree_birch", "bush", "rock_large", "rocks_small", "lecture_hall", "library",
                             "house_yellow", "house_blue", "bench", "street_lamp", "fountain", "fence"})
        if (!plan.known(sceneryPath(name))) {
            std::fprintf(stderr, "contentgen: the world needs the scenery model %s\n", sceneryPath(name).c_str());
            return false;
        }
    if (!plan.known("ad")) {
        std::fprintf(stderr, "contentgen: the world needs the advertisement boards\n");
        return false;
    }
    Random random(0x70C0u);
    // The start and its view stay clear; the boards go up first so the town builds around them.
    plan.reserve(around(land::kStart.x, land::kStart.z, 6.0f));
    plan.add({"Kip", "", {land::kStart.x, plan.ground(land::kStart.x, land::kStart.z), land::kStart.z}, kStartYaw, 1.0f});

    std::vector<Thing> boards;
    for (const BoardSpot& b : kBoards) {
        const float along = land::cellCentre(b.cell), across = land::cellCentre(b.line) + b.side * 9.5f;
        boards.push_back(b.alongX ? Thing{"Ad", "", {along, 0.0f, across}, b.side > 0.0f ? 0.0f : 180.0f, 1.0f}
                                  : Thing{"Ad", "", {across, 0.0f, along}, b.side > 0.0f ? 90.0f : -90.0f, 1.0f});
    }
    boards.insert(boards.end(), std::begin(kTrailheadBoards), std::end(kTrailheadBoards));
    for (Thing& board : boards) {
        const Box2 box = plan.footprint("ad", board.position.x, board.position.z, board.yaw, board.size);
        if (!plan.free(box)) {
            std::fprintf(stderr, "contentgen: the board at (%.0f, %.0f) has no room\n", board.position.x, board.position.z);
            return false;
        }
        plan.reserve(box.grown(1.5f));
        board.position.y = plan.ground(board.position.x, board.position.z);
        plan.add(board);
        ++design.boards;
    }

    // Papers and their guards claim their places before anything grows around them.
    const std::vector<PaperSpot> papers = paperSpots(plan);
    std::map<std::string, Spot> paperAt;
    for (const PaperSpot& paper : papers) {
        paperAt[paper.name] = paper.spot;
        if (paper.reach != Reach::Flying)
            plan.reserve(around(paper.spot.x, paper.spot.z, 7.0f));
    }
    const Spot townCentre{land::cellCentre(82), land::cellCentre(82)};
    std::vector<Thing> monkeys;
    for (const MonkeySpot& m : kMonkeys) {
        const Spot paper = paperAt.at(m.paper);
        const float x = paper.x + m.dx, z = paper.z + m.dz;
        const float h = plan.ground(x, z);
        if (h < land::kWaterLine + 0.5f || std::hypot(x - land::kStart.x, z - land::kStart.z) <= kMonkeyDistanceFromStart) {
            std::fprintf(stderr, "contentgen: the monkey guarding \"%s\" stands in water or near the start\n", m.paper);
            return false;
        }
        monkeys.push_back({"CoderMonkey", "", {x, h, z}, yawFacing(townCentre.x - x, townCentre.z - z), 1.0f});
        plan.reserve(around(x, z, 3.0f));
    }

    town(plan, modelBounds(), random);
    lamps(plan);
    townGreen(plan);
    countryside(plan);
    // Benches on the summit and the lookout facing the town, and on the lake shore.
    const Spot top = land::summit();
    plan.build(sceneryPath("bench"), top.x - 4.0f, top.z + 14.0f, yawFacing(0.0f, 1.0f), 1.0f);
    for (float dx : {-4.0f, 6.0f})
        plan.build(sceneryPath("bench"), land::kLookout.x + dx, land::kLookout.z + 12.0f, yawFacing(0.05f * dx, 1.0f), 1.0f);
    const Spot shore = land::lakeShore(-40.0f, 14.0f);
    plan.build(sceneryPath("bench"), shore.x, shore.z, yawFacing(land::kLake.x - shore.x, land::kLake.z - shore.z), 1.0f);
    design.scenery = static_cast<int>(plan.solids().size());

    for (const PaperSpot& paper : papers) {
        const float h = plan.ground(paper.spot.x, paper.spot.z);
        float y = h + kGroundLift;
        switch (paper.reach) {
        case Reach::Ground:
            ++design.ground;
            design.easy += std::hypot(paper.spot.x - land::kStart.x, paper.spot.z - land::kStart.z) < 250.0f ? 1 : 0;
            break;
        case Reach::Jump:
            ++design.jump;
            // On a mesa the top is the ground; elsewhere the paper floats at jumping height.
            y = h + kJumpLift;
            for (const land::Mesa& mesa : land::mesas())
                if (std::hypot(paper.spot.x - mesa.centre.x, paper.spot.z - mesa.centre.z) < 1.0f)
                    y = h + kGroundLift;
            break;
        case Reach::Flying: {
            ++design.flying;
            // Well above the ground or the water around it, and above any roof under it.
            float below = std::max(h, land::kWaterSurface);
            for (float dx : {-4.0f, 0.0f, 4.0f})
                for (float dz : {-4.0f, 0.0f, 4.0f})
                    below = std::max(below, plan.ground(paper.spot.x + dx, paper.spot.z + dz));
            y = std::max(below + kFlyingLift, plan.topOfSolids(paper.spot.x, paper.spot.z) + 5.0f);
            break;
        }
        }
        const Vector3 position{paper.spot.x, y, paper.spot.z};
        for (const Solid& solid : plan.solids())
            if (position.x >= solid.low.x && position.x <= solid.high.x && position.y >= solid.low.y &&
                position.y <= solid.high.y && position.z >= solid.low.z && position.z <= solid.high.z) {
                std::fprintf(stderr, "contentgen: the paper \"%s\" lies inside %s\n", paper.name, solid.model.c_str());
                return false;
            }
        plan.add({"Paper", "", position, 0.0f, 1.0f});
        design.papers.emplace_back(position, paper.reach);
    }
    for (Thing& monkey : monkeys)
        plan.add(std::move(monkey));
    design.monkeys = static_cast<int>(monkeys.size());
    return true;
}

// Entities ask the world's model list for their models as they are created. The real models would
// upload their pictures, which needs a visual module; empty stand-ins under the same names, which
// the list passes over with a log line, keep this session free of OpenGL. Area files keep only the
// names anyway.
void standInModels(const std::filesystem::path& programFolder)
{
    for (auto* family : {&characterModels, &propModels, &sceneryModels})
        for (const ModelSpec& spec : (*family)()) {
            std::string onDisk = spec.path;
            std::replace(onDisk.begin(), onDisk.end(), '\\', '/');
            std::error_code ignored;
            std::filesystem::create_directories((programFolder / onDisk).parent_path(), ignored);
            auto model = qrNew<QRVISXModel>(nullptr);
            model->setName(spec.path);
            model->saveToFile(spec.path);
        }
}

void fillTerrain(APPENVRMain& environment)
{
    for (int x = 0; x < APPENVRMain::kStoredVertexCount; ++x)
        for (int z = 0; z < APPENVRMain::kStoredVertexCount; ++z)
            environment.setHeight(x, z, land::height(APPENVRMain::kVertexSpacing * static_cast<float>(x),
                                                     APPENVRMain::kVertexSpacing * static_cast<float>(z)));
    const land::Ground& cells = land::ground();
    for (int x = 0; x < land::kCells; ++x)
        for (int z = 0; z < land::kCells; ++z) {
            environment.setGroundCell(x, z, cells.concrete(x, z) ? 1u : 0u);
            if (cells.street(x, z))
                environment.setStreet(x, z);
        }
    environment.updateStreets();
    environment.updateNormals();
    environment.updateBounds();
}

// The map of the plan seen from above, north (small z) at the top: the land shaded by its height
// and slope, water, concrete and streets, what stands on it, and the papers by how they are reached.
QImage worldMap(const APPENVRMain& environment, const Plan& plan, const Design& design)
{
    constexpr int kSize = 1024, kPanel = 270;
    constexpr float kScale = land::kWorldSize / kSize;
    QImage image(kSize + kPanel, kSize, QImage::Format_RGB888);
    image.fill(QColor(0xf4, 0xf1, 0xea));
    const land::Ground& cells = land::ground();
    for (int py = 0; py < kSize; ++py)
        for (int px = 0; px < kSize; ++px) {
            const float x = (static_cast<float>(px) + 0.5f) * kScale, z = (static_cast<float>(py) + 0.5f) * kScale;
            const float h = environment.getHeight({x, 0.0f, z});
            const Vector3 n = environment.getVertex(static_cast<int>(x / 4.0f), static_cast<int>(z / 4.0f)).normal;
            const float light = clamp01(0.55f + 0.6f * (-0.5f * n.x - 0.5f * n.z + 0.7f * n.y) - 0.25f);
            Colour c;
            if (h < land::kWaterSurface)
                c = mix(rgb(0x1d5f8a), rgb(0x4aa3c8), h / land::kWaterSurface);
            else if (h < land::kWaterLine)
                c = rgb(0xd8c88e);
            else if (h < 45.0f)
                c = mix(rgb(0x6abf4b), rgb(0x3f8a3a), (h - 3.0f) / 42.0f);
            else
                c = mix(rgb(0x3f8a3a), rgb(0x9a9486), clamp01((h - 45.0f) / 45.0f));
            const int cx = static_cast<int>(x / land::kCellSize), cz = static_cast<int>(z / land::kCellSize);
            if (cells.concrete(cx, cz))
                c = rgb(0xc9c6bd);
            c = c * (0.55f + 0.6f * light);
            if (cells.street(cx, cz))
                c = rgb(0x4a4d55);
            putRGB(image, px, py, c);
        }

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const auto at = [&](const Vector3& p) { return QPointF(p.x / kScale, p.z / kScale); };
    for (const Solid& solid : plan.solids()) {
        const QRectF box(QPointF(solid.low.x / kScale, solid.low.z / kScale), QPointF(solid.high.x / kScale, solid.high.z / kScale));
        QColor colour(0x2f, 0x5d, 0x2a);
        if (solid.model.find("house") != std::string::npos || solid.model.find("hall") != std::string::npos ||
            solid.model.find("library") != std::string::npos)
            colour = QColor(0xb0, 0x3a, 0x2e);
        else if (solid.model.find("rock") != std::string::npos)
            colour = QColor(0x80, 0x80, 0x80);
        else if (solid.model.find("lamp") != std::string::npos || solid.model.find("fence") != std::string::npos ||
                 solid.model.find("bench") != std::string::npos || solid.model.find("fountain") != std::string::npos)
            colour = QColor(0xf0, 0xf0, 0xf0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        if (box.width() > 3.0 || box.height() > 3.0)
            painter.drawRect(box);
        else
            painter.drawEllipse(box.center(), std::max(1.2, box.width() * 0.35), std::max(1.2, box.height() * 0.35));
    }
    painter.setPen(QPen(Qt::black, 1.2));
    for (const Thing& thing : plan.things()) {
        if (thing.type == "Ad") {
            painter.setBrush(QColor(0x3a, 0x86, 0xff));
            painter.drawRect(QRectF(at(thing.position) - QPointF(3, 3), QSizeF(6, 6)));
        } else if (thing.type == "CoderMonkey") {
            painter.setBrush(QColor(0xe6, 0x39, 0x46));
            const QPointF c = at(thing.position);
            painter.drawPolygon(QPolygonF({c + QPointF(0, -6), c + QPointF(5.5, 4.5), c + QPointF(-5.5, 4.5)}));
        } else if (thing.type == "Kip") {
            const QPointF c = at(thing.position);
            const QPointF ahead(-std::sin(thing.yaw * kDegrees) * 18.0, -std::cos(thing.yaw * kDegrees) * 18.0);
            painter.setPen(QPen(Qt::white, 2.5));
            painter.drawLine(c, c + ahead);
            painter.setPen(QPen(Qt::black, 1.2));
            painter.setBrush(Qt::white);
            painter.drawEllipse(c, 6.0, 6.0);
        }
    }
    for (const auto& [position, reach] : design.papers) {
        painter.setBrush(reach == Reach::Ground ? QColor(0xff, 0xd2, 0x3f) : (reach == Reach::Jump ? QColor(0xff, 0x8c, 0x1a) : QColor(0xd1, 0x4d, 0xff)));
        painter.drawEllipse(at(position), 4.5, 4.5);
    }

    // The legend.
    QFont font(fontFamily("DejaVuSans.ttf"));
    font.setPixelSize(15);
    painter.setFont(font);
    const struct {
        QColor colour;
        const char* text;
        int shape; // 0 circle, 1 triangle, 2 square
    } legend[] = {{Qt::white, "the hero's start and heading", 0},
                  {QColor(0xff, 0xd2, 0x3f), "paper on the ground", 0},
                  {QColor(0xff, 0x8c, 0x1a), "paper reached by jumping", 0},
                  {QColor(0xd1, 0x4d, 0xff), "paper reached by flying", 0},
                  {QColor(0xe6, 0x39, 0x46), "coder monkey", 1},
                  {QColor(0x3a, 0x86, 0xff), "advertisement board", 2},
                  {QColor(0xb0, 0x3a, 0x2e), "building", 2}};
    float y = 40.0f;
    for (const auto& entry : legend) {
        painter.setPen(QPen(Qt::black, 1.2));
        painter.setBrush(entry.colour);
        const QPointF c(kSize + 24, y);
        if (entry.shape == 0)
            painter.drawEllipse(c, 6.0, 6.0);
        else if (entry.shape == 1)
            painter.drawPolygon(QPolygonF({c + QPointF(0, -6), c + QPointF(5.5, 4.5), c + QPointF(-5.5, 4.5)}));
        else
            painter.drawRect(QRectF(c - QPointF(5, 5), QSizeF(10, 10)));
        painter.setPen(QColor(0x2b, 0x2d, 0x42));
        painter.drawText(QPointF(kSize + 40, y + 5), entry.text);
        y += 26.0f;
    }
    painter.setPen(QColor(0x4a, 0x4e, 0x69));
    font.setPixelSize(13);
    painter.setFont(font);
    painter.drawText(QRectF(kSize + 14, y + 10, kPanel - 24, 400), Qt::TextWordWrap,
                     QString("2560 x 2560 units, north (-z) at the top.\n\n%1 papers: %2 on the ground (%3 near the start), "
                             "%4 by jumping, %5 by flying.\n%6 coder monkeys, %7 boards, %8 scenery models.\n\n"
                             "Heights %9 to %10 (the ridge's summit); the lookout at %11 above the town at %12. "
                             "Water (below %13: the lake, the river, the park's pond) covers %14 % of the land.")
                         .arg(design.papers.size())
                         .arg(design.ground)
                         .arg(design.easy)
                         .arg(design.jump)
                         .arg(design.flying)
                         .arg(design.monkeys)
                         .arg(design.boards)
                         .arg(design.scenery)
                         .arg(static_cast<double>(design.lowest), 0, 'f', 1)
                         .arg(static_cast<double>(design.highest), 0, 'f', 1)
                         .arg(static_cast<double>(environment.getHeight({land::kLookout.x, 0.0f, land::kLookout.z})), 0, 'f', 0)
                         .arg(static_cast<double>(land::kTownHeight), 0, 'f', 0)
                         .arg(static_cast<double>(land::kWaterSurface), 0, 'f', 0)
                         .arg(100.0 * static_cast<double>(design.water), 0, 'f', 1));
    painter.end();
    return image;
}

// Fills the environment and plans what stands on it; null (reported) when the plan breaks a rule.
std::unique_ptr<Plan> buildWorld(APPWRLDMain& world, Design& design)
{
    APPENVRMain& environment = *world.getEnvironment();
    environment.initialize();
    fillTerrain(environment);
    auto plan = std::make_unique<Plan>(environment, modelBounds());
    if (!planWorld(*plan, design))
        return nullptr;
    design.lowest = 1e9f;
    design.highest = -1e9f;
    int wet = 0;
    for (int x = 0; x < APPENVRMain::kStoredVertexCount; ++x)
        for (int z = 0; z < APPENVRMain::kStoredVertexCount; ++z) {
            const float h = environment.getVertex(x, z).height;
            design.lowest = std::min(design.lowest, h);
            design.highest = std::max(design.highest, h);
            wet += h < land::kWaterSurface ? 1 : 0;
        }
    design.water = static_cast<float>(wet) / static_cast<float>(APPENVRMain::kStoredVertexCount * APPENVRMain::kStoredVertexCount);
    return plan;
}

} // namespace

bool makeWorld(Output& out)
{
    // Old area files in the output would be found first and written in place; the environment
    // writes into the session's own folder and the files are copied over from there.
    for (int ax = 0; ax < 4; ++ax)
        for (int az = 0; az < 4; ++az) {
            std::error_code ignored;
            std::filesystem::remove(out.path("world/area_" + std::to_string(ax) + "_" + std::to_string(az) + ".world"), ignored);
        }

    EngineSession engine({});
    if (engine.failed())
        return false;
    standInModels(engine.programFolder());
    auto world = qrNew<APPWRLDMain>(nullptr);
    APPENVRMain& environment = *world->getEnvironment();
    Design design;
    const std::unique_ptr<Plan> plan = buildWorld(*world, design);
    if (!plan)
        return false;

    APPWRLDEntities& entities = *world->getEntities();
    for (const Thing& thing : plan->things()) {
        APPENTTMain* entity = entities.createEntity(thing.type, thing.position);
        entity->setPosition(thing.position);
        entity->setOrientation(QRMATHQuaternion::fromRotationY(thing.yaw));
        entity->setSize(thing.size);
        if (auto* scenery = dynamic_cast<APPENTTEnvironmentModel*>(entity))
            scenery->setModelName(thing.model);
    }
    environment.saveAreas();
    const bool saved = !engine.failed();
    const int papers = entities.countPapers();
    world.reset();
    if (!saved)
        return false;

    for (int ax = 0; ax < 4; ++ax)
        for (int az = 0; az < 4; ++az) {
            const std::string relative = "world/area_" + std::to_string(ax) + "_" + std::to_string(az) + ".world";
            std::error_code error;
            std::filesystem::copy_file(engine.programFolder() / relative, out.claim(relative),
                                       std::filesystem::copy_options::overwrite_existing, error);
            if (error) {
                out.fail(relative);
                return false;
            }
        }
    std::printf("contentgen: world: %d papers (%d on the ground, %d of them near the start; %d by jumping; %d by flying), "
                "%d coder monkeys, %d boards, %d scenery models; heights %.1f to %.1f, %.1f %% under water\n",
                papers, design.ground, design.easy, design.jump, design.flying, design.monkeys, design.boards, design.scenery,
                static_cast<double>(design.lowest), static_cast<double>(design.highest), 100.0 * static_cast<double>(design.water));
    return true;
}

bool makeWorldMap(const std::string& target)
{
    EngineSession engine({});
    if (engine.failed())
        return false;
    auto world = qrNew<APPWRLDMain>(nullptr);
    Design design;
    const std::unique_ptr<Plan> plan = buildWorld(*world, design);
    return plan && worldMap(*world->getEnvironment(), *plan, design).save(QString::fromStdString(target));
}

} // namespace cg
