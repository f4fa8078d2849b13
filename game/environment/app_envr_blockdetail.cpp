#include "environment/app_envr_blockdetail.h"

#include <algorithm>
#include <cmath>

namespace {
// How far value lies outside [low, high]; 0 inside.
float outside(float value, float low, float high)
{
    return std::max({low - value, 0.0f, value - high});
}
} // namespace

APPENVRBlockDetail APPENVRBlockDetail::choose(const Vector3& eye, const APPENVRBox& box, bool perspective)
{
    if (!perspective)
        return {};
    const float dx = outside(eye.x, box.minimum.x, box.maximum.x);
    const float dy = outside(eye.y, box.minimum.y, box.maximum.y);
    const float dz = outside(eye.z, box.minimum.z, box.maximum.z);
    const float along = std::sqrt(dx * dx + dz * dz);
    const float distance = std::sqrt(along * along + dy * dy);
    APPENVRBlockDetail detail;
    detail.level = distance < kFullDetailDistance ? 0 : distance < kHalfDetailDistance ? 1 : 2;
    detail.farShading = along >= kFarShadingDistance;
    return detail;
}
