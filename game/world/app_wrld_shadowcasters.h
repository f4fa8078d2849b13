#pragma once
// A fingerprint of everything that would draw into the shadow map around a centre: each shadow
// caster standing on a block under the map's square (or beside it, within a margin) with its
// identity, place, turn, size, model and pose. While it stays the same (and the map's centre
// too) the map already drawn is still right, and the shadow pass is skipped.

#include "math/qr_math_types.h"

#include <cstdint>

class APPWRLDMain;

class APPWRLDShadowCasters {
public:
    // How far beyond the map's square a caster may stand and still reach into it.
    static constexpr float kReach = 20.0f;

    // A fingerprint that differs whenever a caster near the square came, went, moved, turned,
    // changed size, model or pose; projectiles and particle effects near it change it every call,
    // since what they draw changes without them moving.
    static std::uint64_t fingerprint(const APPWRLDMain& world, const Vector3& centre, float halfSize);
};
