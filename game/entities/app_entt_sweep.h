#pragma once
// Tests along the path something covered in one frame, so that nothing fast (a flying hero, a
// red streak at a low frame rate) passes what it should have touched between two frames.

#include "math/qr_math_types.h"

#include <algorithm>

namespace APPENTTSweep {

// The squared distance from point to the nearest point of the segment from start to end.
inline float distanceSquared(const Vector3& point, const Vector3& start, const Vector3& end)
{
    const Vector3 path{end.x - start.x, end.y - start.y, end.z - start.z};
    const Vector3 offset{point.x - start.x, point.y - start.y, point.z - start.z};
    const float length2 = path.x * path.x + path.y * path.y + path.z * path.z;
    float t = 0.0f;
    if (length2 > 0.0f)
        t = std::clamp((offset.x * path.x + offset.y * path.y + offset.z * path.z) / length2, 0.0f, 1.0f);
    const Vector3 gap{offset.x - path.x * t, offset.y - path.y * t, offset.z - path.z * t};
    return gap.x * gap.x + gap.y * gap.y + gap.z * gap.z;
}

} // namespace APPENTTSweep
