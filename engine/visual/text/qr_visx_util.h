#pragma once
// Debug geometry: solid and wire boxes and spheres drawn in immediate mode (the editor, particle
// emitters), plus the default colours and sizes of grids, axis crosses, cylinders and arrows.
// QRVISXUtil is owned by the visual module and owns its six parts.

#include "core/qr_core_object.h"
#include "math/qr_math_types.h"

#include <vector>

class QRVISXUtilGrids : public QRObject {
public:
    explicit QRVISXUtilGrids(QRObject* owner) : QRObject(owner, "QR VISX Util Grids") {}

    int blendingMode = 0;
    Vector4 color1{0.5f, 0.5f, 0.5f, 1.0f};
    Vector4 color2{0.7f, 0.7f, 0.7f, 1.0f};
};

class QRVISXUtilAxisCross : public QRObject {
public:
    explicit QRVISXUtilAxisCross(QRObject* owner) : QRObject(owner, "QR VISX Util Axis Cross") {}

    int blendingMode = 0;
    Vector4 xColor{1.0f, 0.0f, 0.0f, 1.0f};
    Vector4 yColor{0.0f, 1.0f, 0.0f, 1.0f};
    Vector4 zColor{0.0f, 0.0f, 1.0f, 1.0f};
};

class QRVISXUtilBoxes : public QRObject {
public:
    explicit QRVISXUtilBoxes(QRObject* owner) : QRObject(owner, "QR VISX Util Boxes") {}

    // The box (+-1 on every axis, times halfSize) rotated by orientation at position: its faces
    // in the fill colour, then a wire grid on every face in the line colour. withMaterial sets
    // the material up for each; without it the caller's states draw. A colour with alpha 0 is
    // not drawn.
    void drawBox(const Vector3& position, const Quaternion& orientation, bool withMaterial, const Vector3& halfSize);
    void drawCube(const Vector3& position, bool withMaterial, float halfSize);

    int blendingMode = 0;
    Vector4 fillColor{0.7f, 0.7f, 0.7f, 1.0f};
    Vector4 lineColor{1.0f, 1.0f, 1.0f, 1.0f};
    int subdivisionsX = 2;
    int subdivisionsY = 2;
    int subdivisionsZ = 2;
};

class QRVISXUtilSpheres : public QRObject {
public:
    static constexpr int kRings = 16;
    static constexpr int kSegments = 24;

    explicit QRVISXUtilSpheres(QRObject* owner);

    // The unit sphere scaled by scale, rotated by orientation at position: filled in the fill
    // colour, then as wire frame in the line colour (alpha 0 skips a pass).
    void drawSphere(const Vector3& position, const Quaternion& orientation, bool withMaterial, const Vector3& scale);
    void drawSphereRadius(const Vector3& position, bool withMaterial, float radius);

    // The upper hemisphere: ring i (0 at the top pole .. kRings / 2 at the equator), segment j
    // (0 .. kSegments) at index i * (kSegments + 1) + j.
    const std::vector<Vector3>& getPositions() const { return positions_; }
    const std::vector<Vector3>& getNormals() const { return normals_; }

    int blendingMode = 0;
    Vector4 fillColor{0.7f, 0.7f, 0.7f, 1.0f};
    Vector4 lineColor{1.0f, 1.0f, 1.0f, 1.0f};

private:
    void drawBands() const;

    std::vector<Vector3> positions_;
    std::vector<Vector3> normals_;
};

class QRVISXUtilCylinders : public QRObject {
public:
    static constexpr int kSegments = 16;

    explicit QRVISXUtilCylinders(QRObject* owner);

    const std::vector<Vector3>& getCirclePoints() const { return circle_; }

    int blendingMode = 0;
    Vector4 fillColor{0.7f, 0.7f, 0.7f, 1.0f};
    Vector4 lineColor{1.0f, 1.0f, 1.0f, 1.0f};
    int segments = kSegments;
    int rings = 2;

private:
    std::vector<Vector3> circle_;
};

class QRVISXUtilArrow : public QRObject {
public:
    explicit QRVISXUtilArrow(QRObject* owner) : QRObject(owner, "QR VISX Util Arrow") {}

    int blendingMode = 0;
    Vector4 color{1.0f, 1.0f, 0.0f, 1.0f};
    float size1 = 0.3f;
    float size2 = 0.2f;
    float size3 = 2.0f;
};

class QRVISXUtil : public QRObject {
public:
    explicit QRVISXUtil(QRObject* owner);
    ~QRVISXUtil() override;
    void initialize() override;

    QRVISXUtilGrids* getGrids() const { return grids_.get(); }
    QRVISXUtilAxisCross* getAxisCross() const { return axisCross_.get(); }
    QRVISXUtilBoxes* getBoxes() const { return boxes_.get(); }
    QRVISXUtilSpheres* getSpheres() const { return spheres_.get(); }
    QRVISXUtilCylinders* getCylinders() const { return cylinders_.get(); }
    QRVISXUtilArrow* getArrow() const { return arrow_.get(); }

private:
    QROwned<QRVISXUtilGrids> grids_;
    QROwned<QRVISXUtilAxisCross> axisCross_;
    QROwned<QRVISXUtilBoxes> boxes_;
    QROwned<QRVISXUtilSpheres> spheres_;
    QROwned<QRVISXUtilCylinders> cylinders_;
    QROwned<QRVISXUtilArrow> arrow_;
};
