#include "geometry/Transform.h"

#include "geometry/Numeric.h"

#include <cmath>
#include <utility>

namespace pq {

namespace {

constexpr CTransform::Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

CTransform::Matrix Product(const CTransform::Matrix& a, const CTransform::Matrix& b) {
    CTransform::Matrix r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a[static_cast<std::size_t>(i * 4 + k)] * b[static_cast<std::size_t>(k * 4 + j)];
            r[static_cast<std::size_t>(i * 4 + j)] = sum;
        }
    return r;
}

// Gauss-Jordan elimination on [M | I] with partial pivoting. Every pivot passes the small-value guard,
// so a singular matrix gives large but finite values instead of a division by zero.
CTransform::Matrix Invert(const CTransform::Matrix& m) {
    float a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = m[static_cast<std::size_t>(r * 4 + c)];
            a[r][c + 4] = (r == c) ? 1.0f : 0.0f;
        }

    // Forward elimination.
    for (int col = 0; col < 4; ++col) {
        int pivotRow = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivotRow][col]))
                pivotRow = r;
        if (pivotRow != col)
            for (int c = 0; c < 8; ++c)
                std::swap(a[col][c], a[pivotRow][c]);
        const float pivot = static_cast<float>(GuardDivisor(a[col][col]));
        for (int r = col + 1; r < 4; ++r) {
            const float f = a[r][col] / pivot;
            for (int c = col; c < 8; ++c)
                a[r][c] -= f * a[col][c];
        }
    }

    // Back substitution, one column of the inverse at a time.
    CTransform::Matrix inv{};
    for (int c = 0; c < 4; ++c)
        for (int r = 3; r >= 0; --r) {
            float sum = a[r][c + 4];
            for (int k = r + 1; k < 4; ++k)
                sum -= a[r][k] * inv[static_cast<std::size_t>(k * 4 + c)];
            inv[static_cast<std::size_t>(r * 4 + c)] = sum / static_cast<float>(GuardDivisor(a[r][r]));
        }
    return inv;
}

} // namespace

void CTransform::Reset() {
    matrix = kIdentity;
    inverse = kIdentity;
    inverseValid = true;
}

void CTransform::SetMatrix(const Matrix& m) {
    matrix = m;
    inverseValid = false;
}

void CTransform::MultiplyLeft(const Matrix& left) {
    matrix = Product(left, matrix);
    inverseValid = false;
}

void CTransform::Translate(float dx, float dy, float dz) {
    Matrix t = kIdentity;
    t[12] = -dx;
    t[13] = -dy;
    t[14] = -dz;
    MultiplyLeft(t);
}

void CTransform::Scale(float sx, float sy, float sz) {
    Matrix s = kIdentity;
    s[0] = sx;
    s[5] = sy;
    s[10] = sz;
    MultiplyLeft(s);
}

void CTransform::Rotate(float angleRadians) {
    const float c = std::cos(angleRadians);
    const float s = std::sin(angleRadians);
    Matrix r = kIdentity;
    r[0] = c;
    r[1] = s;
    r[4] = -s;
    r[5] = c;
    MultiplyLeft(r);
}

void CTransform::Multiply(const CTransform& other) {
    matrix = Product(matrix, other.matrix);
    inverseValid = false;
}

static CTransform::Vec3 ApplyMatrix(const CTransform::Matrix& m, float x, float y, float z) {
    return {x * m[0] + y * m[4] + z * m[8] + m[12], x * m[1] + y * m[5] + z * m[9] + m[13],
            x * m[2] + y * m[6] + z * m[10] + m[14]};
}

CTransform::Vec3 CTransform::Apply(float x, float y, float z) const {
    return ApplyMatrix(matrix, x, y, z);
}

CPointF CTransform::Apply(CPointF p) const {
    const Vec3 v = ApplyMatrix(matrix, p.x, p.y, 0.0f);
    return {v.x, v.y};
}

const CTransform::Matrix& CTransform::Inverse() const {
    if (!inverseValid) {
        inverse = Invert(matrix);
        inverseValid = true;
    }
    return inverse;
}

CPointF CTransform::ApplyInverse(CPointF p) const {
    const Vec3 v = ApplyMatrix(Inverse(), p.x, p.y, 0.0f);
    return {v.x, v.y};
}

} // namespace pq
