// The characters: Kip in his two personalities and the coder monkey. Each is one posable figure:
// limbs hang from joints whose angles make a pose, and every pose is one level of the model. The
// figures look along -Z with +X on their right, their feet on the origin, as the game places them.

#include "contentgen_models.h"

#include <algorithm>
#include <cmath>

namespace cg {

namespace {

// Joint angles in degrees. swing moves a limb forwards (negative: backwards), spread sideways
// away from the body, yaw turns it outwards about the vertical, bend folds the elbow forwards or
// the knee backwards.
struct Limb {
    float swing = 0.0f, spread = 0.0f, yaw = 0.0f, bend = 0.0f;
};

struct Pose {
    float lift = 0.0f;  // the whole figure raised
    float pitch = 0.0f; // the whole figure tilted forwards about the hips
    float lean = 0.0f;  // the upper body bent forwards at the waist
    float turn = 0.0f;  // the upper body turned to the left
    float headPitch = 0.0f, headTurn = 0.0f;
    Limb armLeft, armRight, legLeft, legRight;
    float scarf = 0.0f;     // Kipster's scarf: 0 hangs down, 1 streams back in flight
    bool firing = false;    // Turbo-Kip's blaster flashes
    bool holding = false;   // the monkey holds a banana in its right hand
};

Frame limbFrame(const Vec3& joint, const Limb& limb, float side)
{
    return Frame::translate(joint) * Frame::rotateZ(side * limb.spread) * Frame::rotateY(-side * limb.yaw) *
           Frame::rotateX(limb.swing);
}

// z of the front of an ellipsoid head (centre c, radii r) at x, y: where features sit on the face.
float faceZ(const Vec3& c, const Vec3& r, float x, float y)
{
    const float dx = (x - c.x) / r.x, dy = (y - c.y) / r.y;
    return c.z - r.z * std::sqrt(std::max(0.0f, 1.0f - dx * dx - dy * dy));
}

// --- Kip ---------------------------------------------------------------------------------------

constexpr float kHipY = 0.92f, kHipHalf = 0.115f, kThigh = 0.42f, kShin = 0.40f;
constexpr float kWaistY = 1.0f, kShoulderY = 0.40f, kShoulderHalf = 0.28f, kUpperArm = 0.30f, kForearm = 0.26f;

struct Outfit {
    bool turbo = false;
    Colour skin = rgb(0xf7c59f), hair = rgb(0x6d3b1f);
    Colour top, topDark, trim, trousers, trousersDark, shoes, soles, hands, pack, packDark;
};

Outfit kipster()
{
    Outfit o;
    o.top = rgb(0xffc23c);
    o.topDark = rgb(0xf29e1f);
    o.trim = rgb(0xffffff);
    o.trousers = rgb(0x3d6fb6);
    o.trousersDark = rgb(0x2d5590);
    o.shoes = rgb(0xef476f);
    o.soles = rgb(0xf4f4f4);
    o.hands = o.skin;
    o.pack = rgb(0x1a936f);
    o.packDark = rgb(0x12684f);
    return o;
}

Outfit turboKip()
{
    Outfit o;
    o.turbo = true;
    o.top = rgb(0xd7263d);
    o.topDark = rgb(0x9e1b2d);
    o.trim = rgb(0xffd23f);
    o.trousers = rgb(0x2b2d42);
    o.trousersDark = rgb(0x1b1c2b);
    o.shoes = rgb(0x1b1b1e);
    o.soles = rgb(0xffd23f);
    o.hands = rgb(0x22232e);
    o.pack = rgb(0x5c677d);
    o.packDark = rgb(0x3a4354);
    return o;
}

void kipLeg(Mesh& m, const Pose& pose, const Outfit& o, float side)
{
    const Limb& leg = side < 0 ? pose.legLeft : pose.legRight;
    Place hip(m, limbFrame({side * kHipHalf, kHipY, 0.0f}, leg, side));
    m.prism(6, 0.075f, 0.088f, -kThigh, 0.03f, o.trousers, o.trousers, 30.0f);
    Place knee(m, Frame::translate(0, -kThigh, 0) * Frame::rotateX(-leg.bend));
    m.prism(6, 0.064f, 0.074f, -kShin + 0.02f, 0.0f, o.trousers, o.trousers, 30.0f);
    m.prism(6, 0.072f, 0.072f, -kShin + 0.02f, -kShin + 0.09f, o.trousersDark, o.trousersDark, 30.0f);
    // The foot stays nearly level with the ground whatever the leg does.
    Place ankle(m, Frame::translate(0, -kShin, 0) * Frame::rotateX(-0.8f * (leg.swing - leg.bend)));
    m.box({-0.075f, -0.1f, -0.2f}, {0.075f, -0.065f, 0.08f}, o.soles);
    m.box({-0.07f, -0.065f, -0.12f}, {0.07f, 0.03f, 0.07f}, o.shoes);
    m.polygon({{-0.07f, -0.065f, -0.19f}, {0.07f, -0.065f, -0.19f}, {0.07f, 0.0f, -0.12f}, {-0.07f, 0.0f, -0.12f}}, o.shoes);
    m.polygon({{0.07f, -0.065f, -0.19f}, {0.07f, -0.065f, -0.12f}, {0.07f, 0.0f, -0.12f}}, o.shoes);
    m.polygon({{-0.07f, -0.065f, -0.19f}, {-0.07f, 0.0f, -0.12f}, {-0.07f, -0.065f, -0.12f}}, o.shoes);
    m.box({-0.072f, 0.0f, -0.11f}, {0.072f, 0.02f, -0.05f}, o.soles);
}

// Turbo-Kip's blaster on his right fist: a chunky orange housing reaching out to the right, a grey
// barrel with dark rings, glowing cells and a glowing muzzle. It always aims where Kip looks,
// whatever his arm does: only the fist's place is taken from the arm.
void blaster(Mesh& m, const Pose& pose)
{
    const Frame& fist = m.frame();
    Frame aim;
    aim.m = {fist.m[0], fist.m[3], fist.m[6], fist.m[1], fist.m[4], fist.m[7], fist.m[2], fist.m[5], fist.m[8]};
    Place aimed(m, aim);
    const Colour body = rgb(0xff9f1c), bodyLight = rgb(0xffb347), dark = rgb(0x2b2d42), metal = rgb(0xc4cbd6);
    m.box({-0.07f, -0.1f, -0.24f}, {0.27f, 0.11f, 0.12f}, body, bodyLight, body);
    m.box({0.02f, -0.17f, -0.06f}, {0.12f, -0.1f, 0.06f}, dark);
    m.box({0.12f, 0.11f, -0.16f}, {0.2f, 0.16f, 0.04f}, dark);
    m.setSlot(kGlow);
    m.box({0.27f, -0.04f, -0.18f}, {0.285f, 0.06f, 0.06f}, rgb(0x4cc9f0));
    m.setSlot(kPainted);
    // The barrel along -Z (the prism's +Y turned forwards).
    Place barrel(m, Frame::translate(0.17f, 0.02f, 0.0f) * Frame::rotateX(-90.0f));
    m.prism(8, 0.06f, 0.06f, 0.24f, 0.5f, metal, metal, 22.5f);
    m.prism(8, 0.08f, 0.08f, 0.3f, 0.36f, dark, dark, 22.5f);
    m.prism(8, 0.09f, 0.09f, 0.48f, 0.56f, dark, dark, 22.5f);
    m.setSlot(kGlow);
    m.prism(8, 0.06f, 0.0f, 0.56f, 0.585f, rgb(0xff4d4d), rgb(0xff4d4d), 22.5f, false, false);
    if (pose.firing) {
        // The shot leaves in a flash: a bright core inside a wider cone of fire and a burst.
        m.setAlpha(0.9f);
        m.prism(8, 0.08f, 0.0f, 0.56f, 1.2f, rgb(0xfff1c1), rgb(0xfff1c1), 0.0f, false, false);
        m.setAlpha(0.75f);
        m.prism(8, 0.2f, 0.0f, 0.56f, 1.0f, rgb(0xff5a36), rgb(0xff5a36), 22.5f, false, false);
        m.prism(8, 0.26f, 0.0f, 0.56f, 0.64f, rgb(0xffb347), rgb(0xffb347), 22.5f, false, false);
        m.setAlpha(1.0f);
    }
    m.setSlot(kPainted);
}

void kipArm(Mesh& m, const Pose& pose, const Outfit& o, float side)
{
    const Limb& arm = side < 0 ? pose.armLeft : pose.armRight;
    Place shoulder(m, limbFrame({side * kShoulderHalf, kShoulderY, 0.0f}, arm, side));
    m.ball({0, -0.01f, 0}, {0.09f, 0.09f, 0.09f}, 0, o.top);
    m.prism(6, 0.07f, 0.078f, -kUpperArm, 0.02f, o.top, o.top, 30.0f);
    Place elbow(m, Frame::translate(0, -kUpperArm, 0) * Frame::rotateX(arm.bend));
    m.prism(6, 0.06f, 0.07f, -kForearm, 0.01f, o.top, o.top, 30.0f);
    m.prism(6, 0.066f, 0.066f, -kForearm, -kForearm + 0.05f, o.turbo ? o.trim : o.topDark, o.topDark, 30.0f);
    Place hand(m, Frame::translate(0, -kForearm - 0.055f, 0));
    m.ball({0, 0, 0}, {0.062f, 0.07f, 0.066f}, 1, o.hands);
    if (o.turbo && side > 0)
        blaster(m, pose);
}

void kipHead(Mesh& m, const Pose& pose, const Outfit& o)
{
    Place head(m, Frame::translate(0, 0.5f, 0) * Frame::rotateX(-pose.headPitch) * Frame::rotateY(pose.headTurn));
    const Vec3 c{0.0f, 0.23f, -0.01f}, r{0.23f, 0.245f, 0.22f};
    m.ball(c, r, 1, o.skin);
    m.ball({-0.228f, 0.21f, 0.0f}, {0.04f, 0.065f, 0.05f}, 0, o.skin);
    m.ball({0.228f, 0.21f, 0.0f}, {0.04f, 0.065f, 0.05f}, 0, o.skin);
    // Hair: a cap over the back and the top, messy tufts, a fringe.
    m.setShading(0.06f, 3);
    m.ball({0.0f, 0.31f, 0.06f}, {0.25f, 0.2f, 0.24f}, 1, o.hair, 0.06f, o.turbo ? 17u : 5u);
    m.setShading(0.0f, 0);
    const float tufts[][4] = {{-0.08f, 0.47f, 0.0f, -25.0f}, {0.05f, 0.49f, 0.05f, 15.0f}, {0.14f, 0.45f, 0.08f, 40.0f},
                              {-0.15f, 0.44f, 0.1f, -45.0f}, {0.0f, 0.45f, 0.2f, 5.0f}};
    for (const auto& t : tufts) {
        Place tuft(m, Frame::translate(t[0], t[1], t[2]) * Frame::rotateZ(-t[3]) * Frame::rotateX(o.turbo ? 35.0f : 15.0f));
        m.prism(4, 0.06f, 0.0f, -0.02f, o.turbo ? 0.16f : 0.11f, o.hair, o.hair, 45.0f);
    }
    for (int i = -1; i <= 1; ++i) {
        Place fringe(m, Frame::translate(0.07f * static_cast<float>(i), 0.42f, faceZ(c, r, 0.07f * static_cast<float>(i), 0.42f) + 0.02f) *
                            Frame::rotateX(-120.0f) * Frame::rotateZ(10.0f * static_cast<float>(i)));
        m.prism(4, 0.055f, 0.0f, 0.0f, 0.11f, o.hair, o.hair, 45.0f);
    }
    // Face: eyes, nose and mouth sit on the front of the head.
    const Colour ink = rgb(0x1b1b1e);
    for (float side : {-1.0f, 1.0f}) {
        const float x = 0.085f * side, y = 0.25f, z = faceZ(c, r, x, y);
        m.box({x - 0.022f, y - 0.035f, z - 0.012f}, {x + 0.022f, y + 0.03f, z + 0.03f}, ink);
        m.box({x - 0.012f + 0.008f, y + 0.0f, z - 0.016f}, {x + 0.006f + 0.008f, y + 0.018f, z - 0.011f}, rgb(0xffffff));
    }
    m.ball({0.0f, 0.19f, faceZ(c, r, 0.0f, 0.19f) - 0.005f}, {0.03f, 0.028f, 0.03f}, 0, rgb(0xf0a987));
    {
        const float y = 0.115f, z = faceZ(c, r, 0.0f, y);
        if (o.turbo)
            m.box({-0.06f, y - 0.008f, z - 0.01f}, {0.06f, y + 0.012f, z + 0.03f}, rgb(0x7a1d2b));
        else {
            m.box({-0.05f, y - 0.012f, z - 0.012f}, {0.05f, y + 0.012f, z + 0.03f}, rgb(0xb23a48));
            m.box({-0.07f, y + 0.005f, z - 0.008f}, {-0.045f, y + 0.025f, z + 0.03f}, rgb(0xb23a48));
            m.box({0.045f, y + 0.005f, z - 0.008f}, {0.07f, y + 0.025f, z + 0.03f}, rgb(0xb23a48));
        }
    }
    if (!o.turbo) {
        // Glasses: a thin frame around each eye, a bridge and the arms to the ears.
        const Colour frame = rgb(0x3d2c2e);
        for (float side : {-1.0f, 1.0f}) {
            const float x = 0.085f * side, y = 0.25f, z = faceZ(c, r, x, y) - 0.03f;
            m.box({x - 0.062f, y + 0.048f, z - 0.008f}, {x + 0.062f, y + 0.062f, z + 0.008f}, frame);
            m.box({x - 0.062f, y - 0.062f, z - 0.008f}, {x + 0.062f, y - 0.048f, z + 0.008f}, frame);
            m.box({x - 0.062f, y - 0.062f, z - 0.008f}, {x - 0.048f, y + 0.062f, z + 0.008f}, frame);
            m.box({x + 0.048f, y - 0.062f, z - 0.008f}, {x + 0.062f, y + 0.062f, z + 0.008f}, frame);
            m.box({side * 0.145f, y + 0.04f, z}, {side * 0.232f, y + 0.054f, z + 0.17f}, frame);
        }
        m.box({-0.025f, 0.275f, faceZ(c, r, 0.0f, 0.275f) - 0.038f}, {0.025f, 0.287f, faceZ(c, r, 0.0f, 0.275f) - 0.024f}, frame);
    } else {
        // A visor across the eyes with a glowing line, and a headband whose tails fly behind.
        const float z = faceZ(c, r, 0.0f, 0.25f);
        m.box({-0.2f, 0.2f, z - 0.035f}, {0.2f, 0.3f, z + 0.08f}, rgb(0x14213d));
        m.box({-0.24f, 0.22f, z + 0.06f}, {0.24f, 0.28f, 0.05f}, rgb(0x14213d));
        m.setSlot(kGlow);
        m.box({-0.17f, 0.24f, z - 0.045f}, {0.17f, 0.255f, z - 0.03f}, rgb(0x4cc9f0));
        m.setSlot(kPainted);
        m.prism(10, 0.243f, 0.243f, 0.34f, 0.4f, rgb(0x1b1b1e), rgb(0x1b1b1e), 18.0f, false, false);
        m.tube({{0.02f, 0.37f, 0.22f}, {0.08f, 0.33f, 0.36f}, {0.05f, 0.26f, 0.48f}}, {0.03f, 0.025f, 0.015f}, 4, rgb(0x1b1b1e));
        m.tube({{-0.02f, 0.37f, 0.22f}, {-0.09f, 0.36f, 0.34f}, {-0.13f, 0.3f, 0.44f}}, {0.03f, 0.025f, 0.015f}, 4, rgb(0x1b1b1e));
    }
}

void kipScarf(Mesh& m, const Pose& pose)
{
    const Colour red = rgb(0xe63946), white = rgb(0xfff3e0);
    m.prism(8, 0.13f, 0.122f, 0.37f, 0.47f, red, red, 22.5f);
    // Two ends, hanging down the chest or streaming over the back in flight, in stripes.
    const std::vector<Vec3> hanging1 = {{0.07f, 0.42f, -0.13f}, {0.1f, 0.3f, -0.17f}, {0.11f, 0.18f, -0.18f}, {0.12f, 0.06f, -0.18f}};
    const std::vector<Vec3> hanging2 = {{0.12f, 0.42f, -0.1f}, {0.17f, 0.32f, -0.15f}, {0.19f, 0.22f, -0.16f}};
    const std::vector<Vec3> flying1 = {{0.0f, 0.44f, 0.13f}, {0.03f, 0.42f, 0.4f}, {0.06f, 0.2f, 0.5f}, {-0.02f, -0.06f, 0.53f}, {0.05f, -0.34f, 0.55f}};
    const std::vector<Vec3> flying2 = {{0.05f, 0.44f, 0.13f}, {0.1f, 0.4f, 0.38f}, {0.15f, 0.2f, 0.44f}, {0.1f, -0.02f, 0.49f}};
    for (int end = 0; end < 2; ++end) {
        const auto& path = pose.scarf > 0.5f ? (end == 0 ? flying1 : flying2) : (end == 0 ? hanging1 : hanging2);
        for (std::size_t k = 0; k + 1 < path.size(); ++k)
            m.tube({path[k], path[k + 1]}, {0.045f, 0.045f}, 4, k % 2 == 0 ? red : white);
    }
}

void kipTorso(Mesh& m, const Pose& pose, const Outfit& o)
{
    m.roundedBox(0.22f, 0.145f, 0.06f, -0.08f, 0.44f, o.top);
    m.roundedBox(0.228f, 0.152f, 0.06f, -0.12f, -0.04f, o.topDark);
    m.prism(6, 0.07f, 0.07f, 0.4f, 0.52f, o.skin, o.skin);
    if (!o.turbo) {
        // Hoodie: the pocket, the drawstrings, the hood lying on the back.
        m.box({-0.13f, 0.0f, -0.165f}, {0.13f, 0.16f, -0.13f}, o.topDark);
        m.box({-0.06f, 0.26f, -0.165f}, {-0.04f, 0.4f, -0.14f}, o.trim);
        m.box({0.04f, 0.26f, -0.165f}, {0.06f, 0.4f, -0.14f}, o.trim);
        m.ball({0.0f, 0.43f, 0.1f}, {0.18f, 0.09f, 0.11f}, 0, o.topDark);
        // Backpack with its flap, front pocket and straps.
        m.box({-0.17f, 0.04f, 0.13f}, {0.17f, 0.38f, 0.32f}, o.pack);
        m.box({-0.175f, 0.3f, 0.12f}, {0.175f, 0.42f, 0.335f}, o.packDark);
        m.box({-0.12f, 0.08f, 0.32f}, {0.12f, 0.22f, 0.37f}, o.packDark);
        m.box({-0.03f, 0.26f, 0.335f}, {0.03f, 0.32f, 0.345f}, rgb(0xffd23f));
        for (float side : {-1.0f, 1.0f}) {
            m.box({side * 0.15f - 0.03f, 0.02f, -0.17f}, {side * 0.15f + 0.03f, 0.44f, -0.14f}, o.packDark);
            m.box({side * 0.15f - 0.03f, 0.42f, -0.16f}, {side * 0.15f + 0.03f, 0.46f, 0.14f}, o.packDark);
        }
        kipScarf(m, pose);
    } else {
        // Jacket: a yellow belt and zip, the bolt on the chest, a power pack with glowing cells.
        m.roundedBox(0.226f, 0.15f, 0.06f, 0.02f, 0.06f, o.trim);
        m.box({-0.015f, 0.06f, -0.158f}, {0.015f, 0.44f, -0.14f}, o.trim);
        m.setSlot(kDetails);
        const UVRect bolt = atlas::bolt();
        m.picture({-0.03f, 0.2f, -0.16f}, {-0.21f, 0.2f, -0.16f}, {-0.21f, 0.3f, -0.16f}, {-0.03f, 0.3f, -0.16f}, bolt);
        m.setSlot(kPainted);
        m.roundedBox(0.23f, 0.16f, 0.05f, 0.42f, 0.48f, o.topDark);
        m.box({-0.15f, 0.06f, 0.13f}, {0.15f, 0.4f, 0.27f}, o.pack, o.packDark, o.packDark);
        m.setSlot(kGlow);
        for (float side : {-1.0f, 1.0f}) {
            Place cell(m, Frame::translate(side * 0.075f, 0.0f, 0.285f));
            m.prism(6, 0.032f, 0.032f, 0.1f, 0.36f, rgb(0x4cc9f0), rgb(0x7ee0ff));
        }
        m.setSlot(kPainted);
    }
}

Mesh kip(const Pose& pose, const Outfit& o)
{
    Mesh m;
    Place root(m, Frame::translate(0, pose.lift + kHipY, 0) * Frame::rotateX(-pose.pitch) * Frame::translate(0, -kHipY, 0));
    kipLeg(m, pose, o, -1.0f);
    kipLeg(m, pose, o, 1.0f);
    m.roundedBox(0.19f, 0.125f, 0.05f, kHipY - 0.1f, kHipY + 0.12f, o.trousers);
    Place upper(m, Frame::translate(0, kWaistY, 0) * Frame::rotateX(-pose.lean) * Frame::rotateY(pose.turn));
    kipTorso(m, pose, o);
    kipArm(m, pose, o, -1.0f);
    kipArm(m, pose, o, 1.0f);
    kipHead(m, pose, o);
    return m;
}

// The two walking steps: one leg forwards, the other back, the arms swinging against the legs.
Pose step(bool leftForward)
{
    Pose p;
    const float s = leftForward ? 1.0f : -1.0f;
    Limb& front = leftForward ? p.legLeft : p.legRight;
    Limb& back = leftForward ? p.legRight : p.legLeft;
    front = {32.0f, 2.0f, 0.0f, 12.0f};
    back = {-24.0f, 2.0f, 0.0f, 34.0f};
    p.armLeft = {-32.0f * s, 8.0f, 0.0f, 25.0f};
    p.armRight = {32.0f * s, 8.0f, 0.0f, 25.0f};
    p.lean = 6.0f;
    p.turn = -6.0f * s;
    p.lift = -0.03f;
    return p;
}

ModelSpec kipsterModel()
{
    const Outfit o = kipster();
    Pose standing;
    standing.armLeft = {2.0f, 9.0f, 0.0f, 12.0f};
    standing.armRight = {2.0f, 9.0f, 0.0f, 12.0f};
    standing.legLeft = {0.0f, 3.0f, 0.0f, 0.0f};
    standing.legRight = {0.0f, 3.0f, 0.0f, 0.0f};

    Pose flying;
    flying.lift = 0.25f;
    flying.pitch = 78.0f;
    flying.headPitch = -62.0f;
    flying.armRight = {172.0f, 4.0f, 0.0f, 0.0f};
    flying.armLeft = {-12.0f, 14.0f, 0.0f, 10.0f};
    flying.legLeft = {4.0f, 5.0f, 0.0f, 24.0f};
    flying.legRight = {-4.0f, 4.0f, 0.0f, 4.0f};
    flying.scarf = 1.0f;

    ModelSpec spec;
    spec.path = "models\\characters\\Kipster.model";
    spec.levels.push_back({"standing", kip(standing, o)});
    spec.levels.push_back({"flying", kip(flying, o)});
    spec.levels.push_back({"step A", kip(step(true), o)});
    spec.levels.push_back({"step B", kip(step(false), o)});
    return spec;
}

ModelSpec turboKipModel()
{
    const Outfit o = turboKip();
    // The blaster is carried forwards in every pose but the jump.
    const Limb carry{8.0f, 6.0f, 8.0f, 82.0f};
    Pose standing;
    standing.armRight = carry;
    standing.armLeft = {4.0f, 12.0f, 0.0f, 18.0f};
    standing.legLeft = {0.0f, 6.0f, 0.0f, 0.0f};
    standing.legRight = {0.0f, 6.0f, 0.0f, 0.0f};

    Pose stepA = step(true), stepB = step(false);
    stepA.armRight = {carry.swing - 8.0f, carry.spread, carry.yaw, carry.bend};
    stepB.armRight = {carry.swing + 8.0f, carry.spread, carry.yaw, carry.bend};

    Pose airborne;
    airborne.lift = 0.25f;
    airborne.legLeft = {62.0f, 8.0f, 0.0f, 95.0f};
    airborne.legRight = {24.0f, 8.0f, 0.0f, 78.0f};
    airborne.armLeft = {30.0f, 55.0f, 0.0f, 35.0f};
    airborne.armRight = {35.0f, 20.0f, 10.0f, 70.0f};
    airborne.lean = 10.0f;
    airborne.headPitch = -8.0f;

    // Firing: the blaster held out to the right at chest height, where the game launches the shot.
    Pose firing;
    firing.armRight = {20.0f, 5.0f, 55.0f, 80.0f};
    firing.armLeft = {40.0f, 12.0f, -20.0f, 95.0f};
    firing.legLeft = {16.0f, 8.0f, 0.0f, 8.0f};
    firing.legRight = {-14.0f, 8.0f, 0.0f, 10.0f};
    firing.lean = -4.0f;
    firing.firing = true;

    ModelSpec spec;
    spec.path = "models\\characters\\Turbo-Kip.model";
    spec.levels.push_back({"standing", kip(standing, o)});
    spec.levels.push_back({"step A", kip(stepA, o)});
    spec.levels.push_back({"step B", kip(stepB, o)});
    spec.levels.push_back({"airborne", kip(airborne, o)});
    spec.levels.push_back({"firing", kip(firing, o)});
    return spec;
}

// --- The coder monkey --------------------------------------------------------------------------

constexpr float kMonkeyHipY = 0.62f, kMonkeyThigh = 0.3f, kMonkeyShin = 0.26f;
constexpr float kMonkeyWaistY = 0.66f, kMonkeyShoulderY = 0.42f, kMonkeyShoulderHalf = 0.25f;
constexpr float kMonkeyUpperArm = 0.33f, kMonkeyForearm = 0.32f;

const Colour kFur = rgb(0x8d5524), kFurDark = rgb(0x6b3f1a), kFace = rgb(0xf1c27d);
const Colour kHoodie = rgb(0x6a4c93), kHoodieDark = rgb(0x523a73);

void monkeyLeg(Mesh& m, const Pose& pose, float side)
{
    const Limb& leg = side < 0 ? pose.legLeft : pose.legRight;
    Place hip(m, limbFrame({side * 0.11f, kMonkeyHipY, 0.0f}, leg, side));
    m.prism(6, 0.07f, 0.085f, -kMonkeyThigh, 0.03f, kFur, kFur);
    Place knee(m, Frame::translate(0, -kMonkeyThigh, 0) * Frame::rotateX(-leg.bend));
    m.prism(6, 0.06f, 0.07f, -kMonkeyShin, 0.0f, kFur, kFur);
    Place ankle(m, Frame::translate(0, -kMonkeyShin, 0) * Frame::rotateX(-0.8f * (leg.swing - leg.bend)));
    m.box({-0.08f, -0.06f, -0.2f}, {0.08f, 0.01f, 0.06f}, kFace);
    m.box({-0.07f, -0.06f, -0.25f}, {0.07f, -0.02f, -0.19f}, kFace);
}

void monkeyArm(Mesh& m, const Pose& pose, float side)
{
    const Limb& arm = side < 0 ? pose.armLeft : pose.armRight;
    Place shoulder(m, limbFrame({side * kMonkeyShoulderHalf, kMonkeyShoulderY, 0.0f}, arm, side));
    m.ball({0, 0, 0}, {0.085f, 0.085f, 0.085f}, 0, kHoodie);
    m.prism(6, 0.068f, 0.076f, -kMonkeyUpperArm, 0.02f, kHoodie, kHoodie, 30.0f);
    Place elbow(m, Frame::translate(0, -kMonkeyUpperArm, 0) * Frame::rotateX(arm.bend));
    m.prism(6, 0.055f, 0.064f, -kMonkeyForearm, 0.01f, kFur, kFur, 30.0f);
    m.prism(6, 0.07f, 0.07f, -0.02f, 0.05f, kHoodieDark, kHoodieDark, 30.0f);
    Place hand(m, Frame::translate(0, -kMonkeyForearm - 0.05f, 0));
    m.ball({0, 0, 0}, {0.07f, 0.075f, 0.06f}, 1, kFace);
    if (side > 0 && pose.holding) {
        Place banana(m, Frame::translate(0.0f, -0.06f, -0.03f) * Frame::rotateY(90.0f) * Frame::rotateZ(80.0f) *
                            Frame::scale(0.42f));
        addBanana(m);
    }
}

void monkeyHead(Mesh& m, const Pose& pose)
{
    Place head(m, Frame::translate(0, 0.47f, 0) * Frame::rotateX(-pose.headPitch) * Frame::rotateY(pose.headTurn));
    const Vec3 c{0.0f, 0.24f, 0.0f}, r{0.25f, 0.24f, 0.23f};
    m.ball(c, r, 1, kFur);
    // The face: a pale heart of two cheeks and a muzzle, big eyes, a grin.
    const Vec3 cheeks{0.0f, 0.27f, faceZ(c, r, 0.0f, 0.27f) + 0.07f};
    m.ball({-0.075f, cheeks.y, cheeks.z}, {0.1f, 0.11f, 0.08f}, 1, kFace);
    m.ball({0.075f, cheeks.y, cheeks.z}, {0.1f, 0.11f, 0.08f}, 1, kFace);
    const Vec3 muzzle{0.0f, 0.15f, faceZ(c, r, 0.0f, 0.15f) - 0.02f};
    m.ball(muzzle, {0.15f, 0.1f, 0.1f}, 1, kFace);
    for (float side : {-1.0f, 1.0f}) {
        const float x = side * 0.075f, y = 0.28f, z = cheeks.z - 0.075f;
        m.box({x - 0.03f, y - 0.04f, z - 0.012f}, {x + 0.03f, y + 0.04f, z + 0.02f}, rgb(0xffffff));
        m.box({x - 0.016f, y - 0.03f, z - 0.02f}, {x + 0.016f, y + 0.02f, z + 0.0f}, rgb(0x1b1b1e));
        m.box({side * 0.03f - 0.012f, 0.18f, muzzle.z - 0.1f}, {side * 0.03f + 0.012f, 0.195f, muzzle.z - 0.08f}, rgb(0x4a2a12));
        // Ears and the headphone cups over them.
        m.ball({side * 0.26f, 0.26f, 0.02f}, {0.05f, 0.09f, 0.08f}, 0, kFur);
        m.ball({side * 0.28f, 0.26f, 0.02f}, {0.03f, 0.065f, 0.06f}, 0, kFace);
        Place cup(m, Frame::translate(side * 0.29f, 0.26f, 0.02f) * Frame::rotateZ(90.0f));
        m.prism(8, 0.085f, 0.085f, -0.05f, 0.05f, rgb(0x2b2d42), rgb(0xf72585));
    }
    m.box({-0.07f, 0.08f, muzzle.z - 0.085f}, {0.07f, 0.105f, muzzle.z - 0.06f}, rgb(0x4a2a12));
    m.box({-0.09f, 0.1f, muzzle.z - 0.075f}, {-0.06f, 0.125f, muzzle.z - 0.055f}, rgb(0x4a2a12));
    m.box({0.06f, 0.1f, muzzle.z - 0.075f}, {0.09f, 0.125f, muzzle.z - 0.055f}, rgb(0x4a2a12));
    // Headphone band and a tuft of hair.
    m.tube({{-0.29f, 0.28f, 0.02f}, {-0.24f, 0.46f, 0.02f}, {0.0f, 0.53f, 0.02f}, {0.24f, 0.46f, 0.02f}, {0.29f, 0.28f, 0.02f}},
           {0.025f, 0.025f, 0.025f, 0.025f, 0.025f}, 4, rgb(0x2b2d42));
    Place tuft(m, Frame::translate(0.0f, 0.46f, -0.05f) * Frame::rotateX(-30.0f));
    m.prism(4, 0.05f, 0.0f, 0.0f, 0.12f, kFurDark, kFurDark, 45.0f);
}

Mesh monkeyFigure(const Pose& pose)
{
    Mesh m;
    Place root(m, Frame::translate(0, pose.lift, 0));
    monkeyLeg(m, pose, -1.0f);
    monkeyLeg(m, pose, 1.0f);
    m.roundedBox(0.17f, 0.13f, 0.05f, kMonkeyHipY - 0.1f, kMonkeyHipY + 0.1f, kFur);
    // The tail curls up behind.
    m.tube({{0.0f, 0.55f, 0.12f}, {0.05f, 0.45f, 0.35f}, {0.12f, 0.55f, 0.55f}, {0.1f, 0.8f, 0.62f}, {0.0f, 0.92f, 0.52f},
            {-0.04f, 0.85f, 0.42f}},
           {0.045f, 0.042f, 0.04f, 0.036f, 0.032f, 0.028f}, 5, kFur);
    {
        Place upper(m, Frame::translate(0, kMonkeyWaistY, 0) * Frame::rotateX(-pose.lean) * Frame::rotateY(pose.turn));
        m.roundedBox(0.2f, 0.15f, 0.07f, -0.08f, 0.44f, kHoodie);
        m.roundedBox(0.205f, 0.155f, 0.07f, -0.1f, -0.02f, kHoodieDark);
        m.box({-0.02f, 0.05f, -0.165f}, {0.02f, 0.42f, -0.14f}, kHoodieDark);
        m.ball({0.0f, 0.43f, 0.1f}, {0.17f, 0.08f, 0.1f}, 0, kHoodieDark);
        m.prism(6, 0.08f, 0.08f, 0.4f, 0.5f, kFur, kFur);
        monkeyArm(m, pose, -1.0f);
        monkeyArm(m, pose, 1.0f);
        monkeyHead(m, pose);
    }
    return m;
}

// The desk: a banana crate with the laptop on it, in front of the monkey.
void monkeyDesk(Mesh& m)
{
    const Colour wood = rgb(0xd9a066), woodDark = rgb(0xb07a3f), metal = rgb(0xc9ced6);
    m.box({-0.34f, 0.0f, -0.86f}, {0.34f, 0.6f, -0.36f}, wood, rgb(0xe3b27c), woodDark);
    for (float y : {0.08f, 0.3f, 0.52f})
        m.box({-0.35f, y, -0.87f}, {0.35f, y + 0.06f, -0.35f}, woodDark);
    m.setSlot(kDetails);
    m.picture({0.2f, 0.14f, -0.875f}, {-0.2f, 0.14f, -0.875f}, {-0.2f, 0.46f, -0.875f}, {0.2f, 0.46f, -0.875f},
              atlas::sticker());
    m.setSlot(kPainted);
    // Laptop base with its keyboard, the lid opened towards the monkey.
    m.box({-0.24f, 0.6f, -0.72f}, {0.24f, 0.63f, -0.4f}, metal);
    m.box({-0.2f, 0.63f, -0.66f}, {0.2f, 0.635f, -0.48f}, rgb(0x3a3f4b));
    Place hinge(m, Frame::translate(0.0f, 0.63f, -0.72f) * Frame::rotateX(-14.0f));
    m.box({-0.24f, 0.0f, -0.02f}, {0.24f, 0.33f, 0.0f}, metal);
    m.setSlot(kDetails);
    m.picture({-0.22f, 0.02f, 0.003f}, {0.22f, 0.02f, 0.003f}, {0.22f, 0.31f, 0.003f}, {-0.22f, 0.31f, 0.003f},
              atlas::laptopScreen());
    m.picture({0.08f, 0.09f, -0.023f}, {-0.08f, 0.09f, -0.023f}, {-0.08f, 0.25f, -0.023f}, {0.08f, 0.25f, -0.023f},
              atlas::sticker());
    m.setSlot(kPainted);
}

Mesh monkey(const Pose& pose)
{
    Mesh m = monkeyFigure(pose);
    monkeyDesk(m);
    return m;
}

// Hands on the keyboard; raised is the hand lifted off the keys.
Pose typing(float leftRaise, float rightRaise, float headTurn)
{
    Pose p;
    p.lean = 14.0f;
    p.headPitch = 14.0f;
    p.headTurn = headTurn;
    p.armLeft = {12.0f + 10.0f * leftRaise, -12.0f, 0.0f, 62.0f + 25.0f * leftRaise};
    p.armRight = {12.0f + 10.0f * rightRaise, -12.0f, 0.0f, 62.0f + 25.0f * rightRaise};
    p.legLeft = {0.0f, 5.0f, 0.0f, 0.0f};
    p.legRight = {0.0f, 5.0f, 0.0f, 0.0f};
    return p;
}

ModelSpec monkeyModel()
{
    Pose idle = typing(0.0f, 0.0f, 0.0f);
    Pose typingA = typing(0.9f, 0.0f, -8.0f);
    Pose thinking = typing(0.0f, 0.0f, 14.0f);
    thinking.armLeft = {10.0f, -8.0f, 0.0f, 62.0f};
    // Stuck on a bug: scratching its head.
    thinking.armRight = {150.0f, 28.0f, 0.0f, 115.0f};
    thinking.headPitch = -10.0f;
    thinking.lean = 4.0f;

    Pose windUp;
    windUp.lean = -14.0f;
    windUp.turn = -22.0f;
    windUp.headTurn = 18.0f;
    windUp.armRight = {-150.0f, 10.0f, 0.0f, 70.0f};
    windUp.armLeft = {70.0f, 10.0f, 0.0f, 20.0f};
    windUp.legLeft = {14.0f, 6.0f, 0.0f, 6.0f};
    windUp.legRight = {-12.0f, 6.0f, 0.0f, 12.0f};
    windUp.holding = true;

    Pose throwing;
    throwing.lean = 22.0f;
    throwing.turn = 20.0f;
    throwing.headPitch = -12.0f;
    throwing.headTurn = -16.0f;
    throwing.armRight = {104.0f, 0.0f, -10.0f, 8.0f};
    throwing.armLeft = {-45.0f, 16.0f, 0.0f, 20.0f};
    throwing.legLeft = {20.0f, 6.0f, 0.0f, 8.0f};
    throwing.legRight = {-18.0f, 6.0f, 0.0f, 20.0f};

    ModelSpec spec;
    spec.path = "models\\characters\\monkey.model";
    spec.levels.push_back({"idle", monkey(idle)});
    spec.levels.push_back({"typing", monkey(typingA)});
    spec.levels.push_back({"thinking", monkey(thinking)});
    spec.levels.push_back({"winding up", monkey(windUp)});
    spec.levels.push_back({"throwing", monkey(throwing)});
    return spec;
}

} // namespace

std::vector<ModelSpec> characterModels() { return {kipsterModel(), turboKipModel(), monkeyModel()}; }

} // namespace cg
