#pragma once
// Low-poly meshes built from code for the generated models: flat-shaded polygons (every face has its
// own corners carrying the face normal), a colour per face, texture coordinates where a face shows a
// picture, and a stack of frames so that parts are modelled in their own coordinates and placed by
// joints. Faces are sorted into material slots; the model writer turns each slot into one group.

#include "contentgen_common.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace cg {

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
};
inline float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(const Vec3& v) { return std::sqrt(dot(v, v)); }
inline Vec3 normalize(const Vec3& v)
{
    const float l = length(v);
    return l > 1e-12f ? v * (1.0f / l) : Vec3{0.0f, 1.0f, 0.0f};
}
inline Vec3 lerp(const Vec3& a, const Vec3& b, float t) { return a + (b - a) * t; }

// An affine frame: p' = m * p + t, m row-major.
struct Frame {
    std::array<float, 9> m = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    Vec3 t;

    Vec3 point(const Vec3& p) const { return vector(p) + t; }
    Vec3 vector(const Vec3& v) const
    {
        return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
                m[6] * v.x + m[7] * v.y + m[8] * v.z};
    }
    float determinant() const
    {
        return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
               m[2] * (m[3] * m[7] - m[4] * m[6]);
    }
    // This frame after o: (this * o)(p) = this(o(p)).
    Frame operator*(const Frame& o) const;

    static Frame translate(const Vec3& offset);
    static Frame translate(float x, float y, float z) { return translate(Vec3{x, y, z}); }
    static Frame scale(float x, float y, float z);
    static Frame scale(float s) { return scale(s, s, s); }
    // Right-handed rotations in degrees. Because the characters look along -Z, rotateX with a
    // positive angle swings a limb hanging along -Y forwards.
    static Frame rotateX(float degrees);
    static Frame rotateY(float degrees);
    static Frame rotateZ(float degrees);
};

// A rectangle of a texture in texture coordinates (v = 1 is the picture's top row).
struct UVRect {
    float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;
    // From pixels of a picture of the given size, measured from its top-left corner.
    static UVRect pixels(float x, float y, float w, float h, float pictureWidth, float pictureHeight);
};

// Material slots of a mesh; the model writer assigns each used slot one material instance.
enum Slot : int { kPainted = 0, kDetails = 1, kGlow = 2, kPoster = 3, kSlotCount = 4 };

// How much of a model a mesh keeps: everything, or what still shows from far away (the level the
// game draws scenery with beyond a distance): balls one subdivision coarser, round things with
// about half the sides, and parts too small or thin to make out left off.
enum class Detail { Full, Far };

class Mesh {
public:
    struct Vertex {
        Vec3 position, normal;
        Colour colour;
        float alpha = 1.0f;
        float u = 0.0f, v = 0.0f;
    };
    struct Part {
        std::vector<Vertex> vertices;
        std::vector<std::int32_t> indices;
    };

    explicit Mesh(Detail detail = Detail::Full);

    // Frames: everything added is placed by the product of the frames pushed so far.
    void push(const Frame& frame);
    void pop();
    const Frame& frame() const { return frames_.back(); }

    // Face attributes for what is added next.
    void setSlot(Slot slot) { slot_ = slot; }
    void setAlpha(float alpha) { alpha_ = alpha; }
    // Each face's colour is varied by up to +-amount (a hand-painted low-poly look), seeded.
    void setShading(float amount, std::uint32_t seed) { shadeAmount_ = amount, shadeSeed_ = seed; }

    // A flat convex polygon, corners counter-clockwise seen from the side it faces.
    void polygon(const std::vector<Vec3>& corners, const Colour& colour);
    // The same with a texture coordinate per corner (drawn in the current slot, white-tinted by colour).
    void polygon(const std::vector<Vec3>& corners, const std::vector<std::array<float, 2>>& uv, const Colour& colour);
    void quad(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d, const Colour& colour)
    {
        polygon({a, b, c, d}, colour);
    }
    // A quad a-b-c-d showing the rectangle of a picture: a at (u0, v0), b (u1, v0), c (u1, v1), d (u0, v1).
    void picture(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d, const UVRect& rect,
                 const Colour& tint = {1.0f, 1.0f, 1.0f});

    // An axis-aligned box in the current frame.
    void box(const Vec3& low, const Vec3& high, const Colour& colour);
    // The same with its own colours for the top and the bottom.
    void box(const Vec3& low, const Vec3& high, const Colour& sides, const Colour& top, const Colour& bottom);
    // A box with bevelled vertical edges (an octagon in plan), from y0 to y1.
    void roundedBox(float halfX, float halfZ, float bevel, float y0, float y1, const Colour& colour);
    // A prism or frustum around the Y axis from y0 to y1; sides >= 3; phase turns it in degrees.
    void prism(int sides, float radius0, float radius1, float y0, float y1, const Colour& side, const Colour& caps,
               float phase = 0.0f, bool bottomCap = true, bool topCap = true);
    // A surface of revolution around Y: profile (radius, y) from bottom to top; ends with a
    // radius above zero are closed.
    void lathe(int sides, const std::vector<std::array<float, 2>>& profile, const Colour& colour,
               float phase = 0.0f, bool closeEnds = true);
    // A low-poly ball: an icosahedron subdivided 0..2 times, scaled by radii, with each corner
    // pushed in or out by up to jitter (seeded), so rocks and tree crowns are irregular.
    void ball(const Vec3& centre, const Vec3& radii, int subdivisions, const Colour& colour, float jitter = 0.0f,
              std::uint32_t seed = 0);
    // A tube through the points with a radius per point and closed ends.
    void tube(const std::vector<Vec3>& points, const std::vector<float>& radii, int sides, const Colour& colour,
              bool closeEnds = true);

    const std::array<Part, kSlotCount>& parts() const { return parts_; }
    bool usesSlot(Slot slot) const { return !parts_[slot].indices.empty(); }
    int triangleCount() const;
    // Appends another mesh as it is (its coordinates are taken to be this mesh's).
    void append(const Mesh& other);

private:
    Colour shade(const Colour& colour);
    // The sides a round part gets at this detail.
    int sidesFor(int sides) const;

    Detail detail_ = Detail::Full;
    std::vector<Frame> frames_;
    std::array<Part, kSlotCount> parts_;
    Slot slot_ = kPainted;
    float alpha_ = 1.0f;
    float shadeAmount_ = 0.0f;
    std::uint32_t shadeSeed_ = 0;
    std::uint32_t faceCounter_ = 0;
};

// Keeps a frame pushed for the lifetime of a scope.
class Place {
public:
    Place(Mesh& mesh, const Frame& frame) : mesh_(mesh) { mesh_.push(frame); }
    ~Place() { mesh_.pop(); }
    Place(const Place&) = delete;
    Place& operator=(const Place&) = delete;

private:
    Mesh& mesh_;
};

} // namespace cg
