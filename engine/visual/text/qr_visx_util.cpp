#include "visual/text/qr_visx_util.h"

#include "visual/gl/qr_visx_gl.h"
#include "visual/qr_visx_main.h"
#include "visual/materials/qr_visx_materialmanager.h"
#include "visual/state/qr_visx_statemanager.h"
#include "visual/view/qr_visx_transform.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float kDegrees = std::numbers::pi_v<float> / 180.0f;

QRVISXMaterialManager* materials()
{
    auto* visual = qrVisual();
    return visual ? visual->getMaterialManager() : nullptr;
}

// Identity, translate, rotate, then scale (the last acts first on the vertices), applied.
void placeWorld(const Vector3& position, const Quaternion& orientation, const Vector3* scale)
{
    auto* visual = qrVisual();
    if (!visual)
        return;
    QRVISXTransformWorld* world = visual->getTransform()->getWorld();
    world->reset();
    world->translate(position);
    world->rotate(orientation);
    if (scale)
        world->scaleVector(*scale);
    world->apply();
}

// Material set-up of one pass of a debug object: lit or unlit defaults, its blending (which
// also stops depth writes and culling, so see-through objects show their back), its colour
// (none for a pass that draws nothing).
void setUpPass(bool lit, int blendingMode, const Vector4* colour, bool wireframe)
{
    QRVISXMaterialManager* manager = materials();
    if (!manager)
        return;
    if (lit)
        manager->resetForMaterialLit();
    else
        manager->resetForMaterialUnlit();
    QRVISXStateManager* states = manager->getStateManager();
    if (blendingMode != 0) {
        states->setBlendingMode(blendingMode);
        states->setDepthWrite(false);
        states->setCullFace(false, states->getCurrent().cullBackSides);
    }
    if (wireframe)
        states->setWireframe();
    if (colour)
        states->setCurrentColor(colour->x, colour->y, colour->z, colour->w);
    manager->apply();
}

struct Face {
    Vector3 normal;
    // Corners in counter-clockwise order seen from outside, each component +-1.
    Vector3 corners[4];
};

const Face kFaces[6] = {
    {{1, 0, 0}, {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}}},
    {{-1, 0, 0}, {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}}},
    {{0, 1, 0}, {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}}},
    {{0, -1, 0}, {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}},
    {{0, 0, 1}, {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}}},
    {{0, 0, -1}, {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}}},
};

Vector3 scaled(const Vector3& corner, const Vector3& halfSize)
{
    return {corner.x * halfSize.x, corner.y * halfSize.y, corner.z * halfSize.z};
}

Vector3 lerp(const Vector3& a, const Vector3& b, float t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

} // namespace

// ---------------------------------------------------------------------------------------------

void QRVISXUtilBoxes::drawBox(const Vector3& position, const Quaternion& orientation, bool withMaterial,
                              const Vector3& halfSize)
{
    placeWorld(position, orientation, nullptr);
    QRVISXGL& gl = qrGL();
    if (fillColor.w != 0.0f) {
        if (withMaterial)
            setUpPass(true, blendingMode, &fillColor, false);
        gl.begin(GL_QUADS);
        for (const Face& face : kFaces) {
            gl.normal3f(face.normal.x, face.normal.y, face.normal.z);
            for (const Vector3& corner : face.corners) {
                const Vector3 point = scaled(corner, halfSize);
                gl.vertex3f(point.x, point.y, point.z);
            }
        }
        gl.end();
    }
    // The unlit set-up follows the faces even without lines, so the box always leaves it behind.
    const bool lines = lineColor.w != 0.0f;
    if (withMaterial)
        setUpPass(false, blendingMode, lines ? &lineColor : nullptr, false);
    if (!lines)
        return;
    // Along each face edge as many steps as its axis has subdivisions: lines at 0, 1/n .. 1.
    const auto divisionsAlong = [this](const Vector3& edge) {
        const int divisions = edge.x != 0.0f ? subdivisionsX : edge.y != 0.0f ? subdivisionsY : subdivisionsZ;
        return divisions > 0 ? divisions : 1;
    };
    gl.begin(GL_LINES);
    for (const Face& face : kFaces) {
        const Vector3 origin = scaled(face.corners[0], halfSize);
        const Vector3 alongU = scaled(face.corners[1], halfSize);
        const Vector3 alongV = scaled(face.corners[3], halfSize);
        const Vector3 opposite = scaled(face.corners[2], halfSize);
        const Vector3 u{face.corners[1].x - face.corners[0].x, face.corners[1].y - face.corners[0].y,
                        face.corners[1].z - face.corners[0].z};
        const Vector3 v{face.corners[3].x - face.corners[0].x, face.corners[3].y - face.corners[0].y,
                        face.corners[3].z - face.corners[0].z};
        // Lines across v, stepping along u; then lines across u, stepping along v.
        const int stepsU = divisionsAlong(u);
        for (int i = 0; i <= stepsU; ++i) {
            const float t = static_cast<float>(i) / static_cast<float>(stepsU);
            const Vector3 a = lerp(origin, alongU, t);
            const Vector3 b = lerp(alongV, opposite, t);
            gl.vertex3f(a.x, a.y, a.z);
            gl.vertex3f(b.x, b.y, b.z);
        }
        const int stepsV = divisionsAlong(v);
        for (int i = 0; i <= stepsV; ++i) {
            const float t = static_cast<float>(i) / static_cast<float>(stepsV);
            const Vector3 a = lerp(origin, alongV, t);
            const Vector3 b = lerp(alongU, opposite, t);
            gl.vertex3f(a.x, a.y, a.z);
            gl.vertex3f(b.x, b.y, b.z);
        }
    }
    gl.end();
}

void QRVISXUtilBoxes::drawCube(const Vector3& position, bool withMaterial, float halfSize)
{
    drawBox(position, Quaternion{}, withMaterial, {halfSize, halfSize, halfSize});
}

// ---------------------------------------------------------------------------------------------

QRVISXUtilSpheres::QRVISXUtilSpheres(QRObject* owner) : QRObject(owner, "QR VISX Util Spheres")
{
    const int rings = kRings / 2 + 1;
    positions_.reserve(static_cast<std::size_t>(rings * (kSegments + 1)));
    normals_.reserve(positions_.capacity());
    for (int i = 0; i < rings; ++i) {
        const float polar = static_cast<float>(i) / static_cast<float>(kRings) * 180.0f * kDegrees;
        for (int j = 0; j <= kSegments; ++j) {
            const float azimuth = static_cast<float>(j) / static_cast<float>(kSegments) * 360.0f * kDegrees;
            const Vector3 point{std::sin(polar) * std::cos(azimuth), std::cos(polar), std::sin(polar) * std::sin(azimuth)};
            positions_.push_back(point);
            const float length = std::sqrt(point.x * point.x + point.y * point.y + point.z * point.z);
            normals_.push_back({point.x / length, point.y / length, point.z / length});
        }
    }
}

void QRVISXUtilSpheres::drawBands() const
{
    QRVISXGL& gl = qrGL();
    const int bands = kRings / 2;
    const auto at = [](int ring, int segment) { return static_cast<std::size_t>(ring * (kSegments + 1) + segment); };
    const auto emit = [&](std::size_t index, float mirror) {
        const Vector3& n = normals_[index];
        const Vector3& p = positions_[index];
        gl.normal3f(n.x, n.y * mirror, n.z);
        gl.vertex3f(p.x, p.y * mirror, p.z);
    };
    // The ring nearer the bottom comes first in every strip, so that the faces wind
    // counter-clockwise seen from outside; in the mirrored hemisphere that is the other index.
    for (int i = 0; i < bands; ++i) {
        gl.begin(GL_QUAD_STRIP);
        for (int j = 0; j <= kSegments; ++j) {
            emit(at(i + 1, j), 1.0f);
            emit(at(i, j), 1.0f);
        }
        gl.end();
    }
    for (int i = bands - 1; i >= 0; --i) {
        gl.begin(GL_QUAD_STRIP);
        for (int j = 0; j <= kSegments; ++j) {
            emit(at(i, j), -1.0f);
            emit(at(i + 1, j), -1.0f);
        }
        gl.end();
    }
}

void QRVISXUtilSpheres::drawSphere(const Vector3& position, const Quaternion& orientation, bool withMaterial,
                                   const Vector3& scale)
{
    placeWorld(position, orientation, &scale);
    if (fillColor.w > 0.0f) {
        if (withMaterial)
            setUpPass(true, blendingMode, &fillColor, false);
        drawBands();
    }
    if (lineColor.w > 0.0f) {
        if (withMaterial)
            setUpPass(false, blendingMode, &lineColor, true);
        drawBands();
    }
}

void QRVISXUtilSpheres::drawSphereRadius(const Vector3& position, bool withMaterial, float radius)
{
    drawSphere(position, Quaternion{}, withMaterial, {radius, radius, radius});
}

// ---------------------------------------------------------------------------------------------

QRVISXUtilCylinders::QRVISXUtilCylinders(QRObject* owner) : QRObject(owner, "QR VISX Util Cylinders")
{
    for (int i = 0; i <= kSegments; ++i) {
        const float angle = static_cast<float>(i) * 360.0f / static_cast<float>(kSegments) * kDegrees;
        circle_.push_back({std::cos(angle), 0.0f, std::sin(angle)});
    }
}

// ---------------------------------------------------------------------------------------------

QRVISXUtil::QRVISXUtil(QRObject* owner) : QRObject(owner, "QR VISX Util")
{
    grids_ = qrNew<QRVISXUtilGrids>(this);
    axisCross_ = qrNew<QRVISXUtilAxisCross>(this);
    boxes_ = qrNew<QRVISXUtilBoxes>(this);
    spheres_ = qrNew<QRVISXUtilSpheres>(this);
    cylinders_ = qrNew<QRVISXUtilCylinders>(this);
    arrow_ = qrNew<QRVISXUtilArrow>(this);
}

QRVISXUtil::~QRVISXUtil() = default;

void QRVISXUtil::initialize()
{
    grids_->initialize();
    axisCross_->initialize();
    boxes_->initialize();
    spheres_->initialize();
    cylinders_->initialize();
    arrow_->initialize();
}
