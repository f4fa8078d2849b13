#pragma once
// What stands in for the shader programs when the driver runs no GLSL: draws that a program
// would light are lit by OpenGL's own lighting, light 0 being the sun and the vertex colour the
// material; unlit draws show their plain colour. Only changes reach OpenGL. A plain part of the
// shader manager.

#include "math/qr_math_types.h"

class QRVISXFixedLighting {
public:
    // Lit or unlit for the draws that follow; takes effect at apply.
    void request(bool lit) { requestedLit_ = lit; }
    bool isLitRequested() const { return requestedLit_; }
    // forced after a context activation, when OpenGL's lighting state is unknown.
    void apply(bool force);
    void forget() { applied_ = kUnknown; }

    // The sun as light 0: toLight is the direction towards it in world space, given while the
    // model-view matrix is the plain view, so that it stays fixed in the world.
    static void setSun(const Vector3& toLight, const Vector3& diffuse, const Vector3& ambient);

private:
    static constexpr int kUnknown = -1;
    bool requestedLit_ = true;
    int applied_ = kUnknown;
};
