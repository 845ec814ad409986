#pragma once

#include "geometry/PointF.h"

#include <array>

namespace pq {

// An affine transform as a 4x4 float matrix M acting on row vectors: p' = (x, y, z, 1) * M, with the
// fourth component of the result forced to 1.
//
// Composition order: Translate, Scale and Rotate put their matrix on the LEFT (M := T * M), so the
// operation requested LAST is the FIRST to act on a point. Multiply puts the other matrix on the right
// (M := M * other), so the other transform acts after this one. To rotate about (cx, cy) request
// Translate(-cx, -cy, 0), Rotate(a), Translate(cx, cy, 0). Translate moves points by the NEGATED
// arguments: to move points by (+u, +v) pass (-u, -v).
class CTransform {
public:
    using Matrix = std::array<float, 16>;
    struct Vec3 {
        float x, y, z;
    };

    CTransform() { Reset(); }

    void Reset();
    void Translate(float dx, float dy, float dz);
    void Scale(float sx, float sy, float sz);
    // Rotation about the z axis; with y pointing down, a positive angle turns clockwise on screen.
    void Rotate(float angleRadians);
    void Multiply(const CTransform& other);

    [[nodiscard]] Vec3 Apply(float x, float y, float z) const;
    [[nodiscard]] CPointF Apply(CPointF p) const;

    // The inverse matrix, computed on first use after a change of M.
    [[nodiscard]] const Matrix& Inverse() const;
    // Applies the inverse matrix to a point.
    [[nodiscard]] CPointF ApplyInverse(CPointF p) const;

    [[nodiscard]] const Matrix& GetMatrix() const { return matrix; }
    void SetMatrix(const Matrix& m);
    [[nodiscard]] float At(int row, int column) const {
        return matrix[static_cast<std::size_t>(row * 4 + column)];
    }
    [[nodiscard]] bool IsInverseValid() const { return inverseValid; }

private:
    void MultiplyLeft(const Matrix& left);

    Matrix matrix{};
    mutable Matrix inverse{};
    mutable bool inverseValid = true;
};

} // namespace pq
