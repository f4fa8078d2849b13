#pragma once
// How much of a terrain block is drawn, by its distance from the eye: every height step near the
// eye, every second one further out, only the cell corners far away; and beyond the shadow map's
// reach the ground shaded from the layers' average colours instead of their pictures. Under an
// orthographic camera (the editor's map views, tests from above) distance says nothing about the
// size on screen, so everything is drawn in full.

#include "environment/app_envr_main.h"
#include "math/qr_math_types.h"

struct APPENVRBlockDetail {
    // 0: every height step; 1: every second; 2: the cell corners (APPENVRBlockMesh's levels).
    int level = 0;
    // The ground's layers from their average colours, and no shadow map.
    bool farShading = false;

    // Full detail below the first distance, half detail below the second (from the eye to the
    // nearest point of the block's culling box).
    static constexpr float kFullDetailDistance = 160.0f;
    static constexpr float kHalfDetailDistance = 320.0f;
    // Measured along the ground: just beyond the square the shadow map covers around the eye (70
    // units each way, so at most 99 units away at its corners).
    static constexpr float kFarShadingDistance = 100.0f;

    static APPENVRBlockDetail choose(const Vector3& eye, const APPENVRBox& box, bool perspective);
};
