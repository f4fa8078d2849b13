#include "contentgen_mesh.h"

#include <algorithm>
#include <map>
#include <utility>

namespace cg {

namespace {

constexpr float kPi = 3.14159265358979f;

float radians(float degrees) { return degrees * (kPi / 180.0f); }

// Newell's method: the polygon's normal scaled by twice its area, well defined for any winding of
// a convex outline, also when the corners are not exactly in one plane.
Vec3 newellVector(const std::vector<Vec3>& p)
{
    Vec3 n;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const Vec3& a = p[i];
        const Vec3& b = p[(i + 1) % p.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

Vec3 newellNormal(const std::vector<Vec3>& p) { return normalize(newellVector(p)); }

// Outline points of a ring around the Y axis, with the angle growing from +X towards -Z: the
// order in which an outline extruded upwards faces outwards.
std::vector<std::array<float, 2>> ring(int sides, float radius, float phase)
{
    std::vector<std::array<float, 2>> points;
    for (int i = 0; i < sides; ++i) {
        const float a = radians(phase + 360.0f * static_cast<float>(i) / static_cast<float>(sides));
        points.push_back({radius * std::cos(a), -radius * std::sin(a)});
    }
    return points;
}

} // namespace

Frame Frame::operator*(const Frame& o) const
{
    Frame r;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            r.m[row * 3 + col] = m[row * 3] * o.m[col] + m[row * 3 + 1] * o.m[3 + col] + m[row * 3 + 2] * o.m[6 + col];
    r.t = point(o.t);
    return r;
}

Frame Frame::translate(const Vec3& offset)
{
    Frame f;
    f.t = offset;
    return f;
}

Frame Frame::scale(float x, float y, float z)
{
    Frame f;
    f.m = {x, 0, 0, 0, y, 0, 0, 0, z};
    return f;
}

Frame Frame::rotateX(float degrees)
{
    const float c = std::cos(radians(degrees)), s = std::sin(radians(degrees));
    Frame f;
    f.m = {1, 0, 0, 0, c, -s, 0, s, c};
    return f;
}

Frame Frame::rotateY(float degrees)
{
    const float c = std::cos(radians(degrees)), s = std::sin(radians(degrees));
    Frame f;
    f.m = {c, 0, s, 0, 1, 0, -s, 0, c};
    return f;
}

Frame Frame::rotateZ(float degrees)
{
    const float c = std::cos(radians(degrees)), s = std::sin(radians(degrees));
    Frame f;
    f.m = {c, -s, 0, s, c, 0, 0, 0, 1};
    return f;
}

UVRect UVRect::pixels(float x, float y, float w, float h, float pictureWidth, float pictureHeight)
{
    // Textures are uploaded with the picture's top row at v = 1.
    return {x / pictureWidth, 1.0f - (y + h) / pictureHeight, (x + w) / pictureWidth, 1.0f - y / pictureHeight};
}

namespace {
// Far away, parts below these sizes are a pixel or less: flowers and knobs (balls), posts and
// marks thinner than this both ways (boxes), tips and slivers (polygons, by area).
constexpr float kFarSmallestBall = 0.15f;
constexpr float kFarThinnest = 0.12f;
constexpr float kFarSmallestArea = 0.02f;
} // namespace

Mesh::Mesh(Detail detail) : detail_(detail) { frames_.push_back(Frame{}); }

int Mesh::sidesFor(int sides) const
{
    return detail_ == Detail::Far ? std::max(std::min(sides, 4), (sides + 1) / 2) : sides;
}

void Mesh::push(const Frame& frame) { frames_.push_back(frames_.back() * frame); }

void Mesh::pop()
{
    if (frames_.size() > 1)
        frames_.pop_back();
}

Colour Mesh::shade(const Colour& colour)
{
    const std::uint32_t face = faceCounter_++;
    if (shadeAmount_ <= 0.0f)
        return colour;
    const float factor = 1.0f + shadeAmount_ * (2.0f * hashFloat(static_cast<std::int32_t>(face), 7, 11, shadeSeed_) - 1.0f);
    return colour * factor;
}

void Mesh::polygon(const std::vector<Vec3>& corners, const Colour& colour)
{
    polygon(corners, std::vector<std::array<float, 2>>(corners.size(), {0.0f, 0.0f}), colour);
}

void Mesh::polygon(const std::vector<Vec3>& corners, const std::vector<std::array<float, 2>>& uv, const Colour& colour)
{
    if (corners.size() < 3 || uv.size() != corners.size())
        return;
    if (detail_ == Detail::Far && 0.5f * length(newellVector(corners)) < kFarSmallestArea)
        return;
    std::vector<Vec3> placed;
    std::vector<std::array<float, 2>> coordinates = uv;
    for (const Vec3& corner : corners)
        placed.push_back(frame().point(corner));
    // A mirroring frame turns the outline around; turn it back so the face still faces outwards.
    if (frame().determinant() < 0.0f) {
        std::reverse(placed.begin(), placed.end());
        std::reverse(coordinates.begin(), coordinates.end());
    }
    const Vec3 normal = newellNormal(placed);
    const Colour painted = shade(colour);
    Part& part = parts_[slot_];
    // A polygon that is not flat (a twisted quad) is drawn as separate triangles, each with its
    // own normal, so that every face is lit as it lies.
    const auto fanNormal = [&](std::size_t i) { return cross(placed[i] - placed[0], placed[i + 1] - placed[0]); };
    bool flat = true;
    for (std::size_t i = 1; i + 1 < placed.size() && flat; ++i) {
        const Vec3 n = fanNormal(i);
        flat = length(n) < 1e-9f || dot(normalize(n), normal) > 0.996f;
    }
    if (!flat) {
        for (std::size_t i = 1; i + 1 < placed.size(); ++i) {
            const Vec3 n = fanNormal(i);
            if (length(n) < 1e-9f)
                continue;
            const auto first = static_cast<std::int32_t>(part.vertices.size());
            for (std::size_t k : {std::size_t{0}, i, i + 1})
                part.vertices.push_back({placed[k], normalize(n), painted, alpha_, coordinates[k][0], coordinates[k][1]});
            for (std::int32_t k = 0; k < 3; ++k)
                part.indices.push_back(first + k);
        }
        return;
    }
    const auto first = static_cast<std::int32_t>(part.vertices.size());
    for (std::size_t i = 0; i < placed.size(); ++i)
        part.vertices.push_back({placed[i], normal, painted, alpha_, coordinates[i][0], coordinates[i][1]});
    for (std::size_t i = 1; i + 1 < placed.size(); ++i) {
        part.indices.push_back(first);
        part.indices.push_back(first + static_cast<std::int32_t>(i));
        part.indices.push_back(first + static_cast<std::int32_t>(i + 1));
    }
}

void Mesh::picture(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d, const UVRect& rect, const Colour& tint)
{
    polygon({a, b, c, d}, {{{rect.u0, rect.v0}}, {{rect.u1, rect.v0}}, {{rect.u1, rect.v1}}, {{rect.u0, rect.v1}}}, tint);
}

void Mesh::box(const Vec3& low, const Vec3& high, const Colour& colour) { box(low, high, colour, colour, colour); }

void Mesh::box(const Vec3& low, const Vec3& high, const Colour& sides, const Colour& top, const Colour& bottom)
{
    if (detail_ == Detail::Far) {
        std::array<float, 3> extents = {std::fabs(high.x - low.x), std::fabs(high.y - low.y),
                                        std::fabs(high.z - low.z)};
        std::sort(extents.begin(), extents.end());
        if (extents[1] < kFarThinnest)
            return;
    }
    const Vec3 centre = (low + high) * 0.5f;
    const Vec3 half = (high - low) * 0.5f;
    struct Face {
        Vec3 n, u, v;
    };
    // u x v = n, so the corners -u-v, +u-v, +u+v, -u+v run counter-clockwise seen from outside.
    static const Face kFaces[6] = {{{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
                                   {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
                                   {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}}};
    const auto scaled = [&](const Vec3& axis) { return Vec3{axis.x * half.x, axis.y * half.y, axis.z * half.z}; };
    for (int f = 0; f < 6; ++f) {
        const Vec3 n = scaled(kFaces[f].n), u = scaled(kFaces[f].u), v = scaled(kFaces[f].v);
        const Vec3 c = centre + n;
        const Colour& colour = f == 2 ? top : (f == 3 ? bottom : sides);
        quad(c - u - v, c + u - v, c + u + v, c - u + v, colour);
    }
}

void Mesh::roundedBox(float halfX, float halfZ, float bevel, float y0, float y1, const Colour& colour)
{
    const float b = std::min({bevel, halfX * 0.99f, halfZ * 0.99f});
    const std::vector<std::array<float, 2>> outline = {
        {halfX, halfZ - b},  {halfX, -(halfZ - b)},  {halfX - b, -halfZ}, {-(halfX - b), -halfZ},
        {-halfX, -(halfZ - b)}, {-halfX, halfZ - b}, {-(halfX - b), halfZ}, {halfX - b, halfZ}};
    const auto at = [&](std::size_t i, float y) { return Vec3{outline[i][0], y, outline[i][1]}; };
    const std::size_t n = outline.size();
    for (std::size_t i = 0; i < n; ++i)
        quad(at(i, y0), at((i + 1) % n, y0), at((i + 1) % n, y1), at(i, y1), colour);
    std::vector<Vec3> top, bottom;
    for (std::size_t i = 0; i < n; ++i) {
        top.push_back(at(i, y1));
        bottom.push_back(at(n - 1 - i, y0));
    }
    polygon(top, colour);
    polygon(bottom, colour);
}

void Mesh::prism(int sides, float radius0, float radius1, float y0, float y1, const Colour& side, const Colour& caps,
                 float phase, bool bottomCap, bool topCap)
{
    sides = sidesFor(sides);
    const auto low = ring(sides, radius0, phase), high = ring(sides, radius1, phase);
    const auto n = static_cast<std::size_t>(sides);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        const Vec3 a{low[i][0], y0, low[i][1]}, b{low[j][0], y0, low[j][1]};
        const Vec3 c{high[j][0], y1, high[j][1]}, d{high[i][0], y1, high[i][1]};
        if (radius1 <= 0.0f)
            polygon({a, b, c}, side);
        else if (radius0 <= 0.0f)
            polygon({a, c, d}, side);
        else
            quad(a, b, c, d, side);
    }
    if (topCap && radius1 > 0.0f) {
        std::vector<Vec3> cap;
        for (std::size_t i = 0; i < n; ++i)
            cap.push_back({high[i][0], y1, high[i][1]});
        polygon(cap, caps);
    }
    if (bottomCap && radius0 > 0.0f) {
        std::vector<Vec3> cap;
        for (std::size_t i = 0; i < n; ++i)
            cap.push_back({low[n - 1 - i][0], y0, low[n - 1 - i][1]});
        polygon(cap, caps);
    }
}

void Mesh::lathe(int sides, const std::vector<std::array<float, 2>>& profile, const Colour& colour, float phase,
                 bool closeEnds)
{
    sides = sidesFor(sides);
    for (std::size_t k = 0; k + 1 < profile.size(); ++k) {
        const auto low = ring(sides, profile[k][0], phase), high = ring(sides, profile[k + 1][0], phase);
        const float y0 = profile[k][1], y1 = profile[k + 1][1];
        const auto n = static_cast<std::size_t>(sides);
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t j = (i + 1) % n;
            const Vec3 a{low[i][0], y0, low[i][1]}, b{low[j][0], y0, low[j][1]};
            const Vec3 c{high[j][0], y1, high[j][1]}, d{high[i][0], y1, high[i][1]};
            if (profile[k + 1][0] <= 0.0f)
                polygon({a, b, c}, colour);
            else if (profile[k][0] <= 0.0f)
                polygon({a, c, d}, colour);
            else
                quad(a, b, c, d, colour);
        }
    }
    if (!closeEnds || profile.empty())
        return;
    const auto n = static_cast<std::size_t>(sides);
    if (profile.back()[0] > 0.0f) {
        const auto top = ring(sides, profile.back()[0], phase);
        std::vector<Vec3> cap;
        for (std::size_t i = 0; i < n; ++i)
            cap.push_back({top[i][0], profile.back()[1], top[i][1]});
        polygon(cap, colour);
    }
    if (profile.front()[0] > 0.0f) {
        const auto bottom = ring(sides, profile.front()[0], phase);
        std::vector<Vec3> cap;
        for (std::size_t i = 0; i < n; ++i)
            cap.push_back({bottom[n - 1 - i][0], profile.front()[1], bottom[n - 1 - i][1]});
        polygon(cap, colour);
    }
}

void Mesh::ball(const Vec3& centre, const Vec3& radii, int subdivisions, const Colour& colour, float jitter,
                std::uint32_t seed)
{
    if (detail_ == Detail::Far) {
        if (std::max({std::fabs(radii.x), std::fabs(radii.y), std::fabs(radii.z)}) < kFarSmallestBall)
            return;
        subdivisions = std::max(subdivisions - 1, 0);
    }
    const float t = (1.0f + std::sqrt(5.0f)) * 0.5f;
    std::vector<Vec3> points = {{-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0}, {0, -1, t}, {0, 1, t},
                                {0, -1, -t}, {0, 1, -t}, {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1}};
    for (Vec3& p : points)
        p = normalize(p);
    std::vector<std::array<int, 3>> faces = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                                             {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                                             {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                                             {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    for (int level = 0; level < std::min(subdivisions, 2); ++level) {
        std::map<std::pair<int, int>, int> middles;
        const auto middle = [&](int a, int b) {
            const auto key = std::minmax(a, b);
            if (auto found = middles.find(key); found != middles.end())
                return found->second;
            points.push_back(normalize(points[static_cast<std::size_t>(a)] + points[static_cast<std::size_t>(b)]));
            const int index = static_cast<int>(points.size()) - 1;
            middles[key] = index;
            return index;
        };
        std::vector<std::array<int, 3>> finer;
        for (const auto& f : faces) {
            const int ab = middle(f[0], f[1]), bc = middle(f[1], f[2]), ca = middle(f[2], f[0]);
            finer.push_back({f[0], ab, ca});
            finer.push_back({f[1], bc, ab});
            finer.push_back({f[2], ca, bc});
            finer.push_back({ab, bc, ca});
        }
        faces = std::move(finer);
    }
    std::vector<Vec3> placed;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const float push = 1.0f + jitter * (2.0f * hashFloat(static_cast<std::int32_t>(i), 3, 5, seed) - 1.0f);
        const Vec3& p = points[i];
        placed.push_back(centre + Vec3{p.x * radii.x, p.y * radii.y, p.z * radii.z} * push);
    }
    for (const auto& f : faces) {
        const Vec3 a = placed[static_cast<std::size_t>(f[0])], b = placed[static_cast<std::size_t>(f[1])],
                   c = placed[static_cast<std::size_t>(f[2])];
        // Radii of different signs or a strong jitter could turn a face inwards; keep it facing out.
        if (dot(cross(b - a, c - a), (a + b + c) * (1.0f / 3.0f) - centre) < 0.0f)
            polygon({a, c, b}, colour);
        else
            polygon({a, b, c}, colour);
    }
}

void Mesh::tube(const std::vector<Vec3>& points, const std::vector<float>& radii, int sides, const Colour& colour,
                bool closeEnds)
{
    if (points.size() < 2 || radii.size() != points.size())
        return;
    sides = sidesFor(sides);
    // Rings perpendicular to the path, their reference direction carried along it (parallel
    // transport), so the tube does not twist.
    std::vector<std::vector<Vec3>> rings;
    Vec3 previousNormal;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const Vec3 ahead = k + 1 < points.size() ? points[k + 1] - points[k] : points[k] - points[k - 1];
        const Vec3 behind = k > 0 ? points[k] - points[k - 1] : ahead;
        const Vec3 direction = normalize(normalize(ahead) + normalize(behind));
        Vec3 normal;
        if (k == 0) {
            const Vec3 helper = std::fabs(direction.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
            normal = normalize(cross(cross(direction, helper), direction));
        } else {
            normal = normalize(previousNormal - direction * dot(previousNormal, direction));
        }
        previousNormal = normal;
        const Vec3 binormal = cross(direction, normal);
        std::vector<Vec3> ringPoints;
        for (int i = 0; i < sides; ++i) {
            const float a = radians(360.0f * static_cast<float>(i) / static_cast<float>(sides));
            // normal x binormal = direction: the rings run so that the sides face outwards.
            ringPoints.push_back(points[k] + (normal * std::cos(a) + binormal * std::sin(a)) * radii[k]);
        }
        rings.push_back(std::move(ringPoints));
    }
    const auto n = static_cast<std::size_t>(sides);
    for (std::size_t k = 0; k + 1 < rings.size(); ++k)
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t j = (i + 1) % n;
            const bool endsInPoint = radii[k + 1] <= 0.0f, startsInPoint = radii[k] <= 0.0f;
            if (endsInPoint)
                polygon({rings[k][i], rings[k][j], rings[k + 1][i]}, colour);
            else if (startsInPoint)
                polygon({rings[k][i], rings[k + 1][j], rings[k + 1][i]}, colour);
            else
                quad(rings[k][i], rings[k][j], rings[k + 1][j], rings[k + 1][i], colour);
        }
    if (!closeEnds)
        return;
    if (radii.back() > 0.0f)
        polygon(rings.back(), colour);
    if (radii.front() > 0.0f) {
        std::vector<Vec3> start(rings.front().rbegin(), rings.front().rend());
        polygon(start, colour);
    }
}

int Mesh::triangleCount() const
{
    std::size_t indices = 0;
    for (const Part& part : parts_)
        indices += part.indices.size();
    return static_cast<int>(indices / 3);
}

void Mesh::append(const Mesh& other)
{
    for (int slot = 0; slot < kSlotCount; ++slot) {
        Part& target = parts_[slot];
        const Part& source = other.parts_[slot];
        const auto offset = static_cast<std::int32_t>(target.vertices.size());
        target.vertices.insert(target.vertices.end(), source.vertices.begin(), source.vertices.end());
        for (std::int32_t index : source.indices)
            target.indices.push_back(offset + index);
    }
}

} // namespace cg
