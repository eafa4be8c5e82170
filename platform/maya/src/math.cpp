// Vector and matrix arithmetic for row vectors (p x M).
#include "runtime.h"

#include <maya/MFloatMatrix.h>
#include <maya/MFloatPoint.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <cmath>
#include <cstring>

using namespace maya_runtime;

namespace {

template <class T>
void identity4(T m[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m[r][c] = r == c ? T(1) : T(0);
}

template <class T>
void multiply4(const T a[4][4], const T b[4][4], T out[4][4]) {
    T tmp[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            tmp[r][c] = a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c] + a[r][3] * b[3][c];
    std::memcpy(out, tmp, sizeof(tmp));
}

// Inverse by Gauss-Jordan elimination with partial pivoting, in double.
// A singular matrix gives the identity, as a harmless stand-in for "no inverse".
void invert4(const double in[4][4], double out[4][4]) {
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = in[r][c];
            a[r][c + 4] = r == c ? 1.0 : 0.0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (a[pivot][col] == 0.0) {
            identity4(out);
            return;
        }
        if (pivot != col)
            for (int c = 0; c < 8; ++c) std::swap(a[col][c], a[pivot][c]);
        const double inv = 1.0 / a[col][col];
        for (int c = 0; c < 8; ++c) a[col][c] *= inv;
        for (int r = 0; r < 4; ++r) {
            if (r == col || a[r][col] == 0.0) continue;
            const double f = a[r][col];
            for (int c = 0; c < 8; ++c) a[r][c] -= f * a[col][c];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[r][c] = a[r][c + 4];
}

double det3(const double m[4][4], int r0, int r1, int r2, int c0, int c1, int c2) {
    return m[r0][c0] * (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) -
           m[r0][c1] * (m[r1][c0] * m[r2][c2] - m[r1][c2] * m[r2][c0]) +
           m[r0][c2] * (m[r1][c0] * m[r2][c1] - m[r1][c1] * m[r2][c0]);
}

double det4(const double m[4][4]) {
    return m[0][0] * det3(m, 1, 2, 3, 1, 2, 3) - m[0][1] * det3(m, 1, 2, 3, 0, 2, 3) +
           m[0][2] * det3(m, 1, 2, 3, 0, 1, 3) - m[0][3] * det3(m, 1, 2, 3, 0, 1, 2);
}

}  // namespace

// --- MVector, MPoint, MFloatVector, MFloatPoint ----------------------------

const MVector MVector::zero(0.0, 0.0, 0.0);
const MVector MVector::xAxis(1.0, 0.0, 0.0);
const MVector MVector::yAxis(0.0, 1.0, 0.0);
const MVector MVector::zAxis(0.0, 0.0, 1.0);
const MPoint MPoint::origin(0.0, 0.0, 0.0, 1.0);

MVector MVector::operator*(const MMatrix& m) const {
    return MVector(x * m.matrix[0][0] + y * m.matrix[1][0] + z * m.matrix[2][0],
                   x * m.matrix[0][1] + y * m.matrix[1][1] + z * m.matrix[2][1],
                   x * m.matrix[0][2] + y * m.matrix[1][2] + z * m.matrix[2][2]);
}
MVector& MVector::operator*=(const MMatrix& m) { return *this = *this * m; }
bool MVector::isEquivalent(const MVector& o, double tolerance) const {
    return std::fabs(x - o.x) <= tolerance && std::fabs(y - o.y) <= tolerance &&
           std::fabs(z - o.z) <= tolerance;
}
double MVector::length() const { return std::sqrt(x * x + y * y + z * z); }
MVector MVector::normal() const {
    MVector v(*this);
    v.normalize();
    return v;
}
MStatus MVector::normalize() {
    const double squared = x * x + y * y + z * z;
    if (squared > 1.0e-20) {
        const double len = std::sqrt(squared);
        x /= len;
        y /= len;
        z /= len;
    }
    return MStatus();
}

MPoint MPoint::operator+(const MVector& v) const { return MPoint(*this) += v; }
MPoint MPoint::operator-(const MVector& v) const { return MPoint(*this) -= v; }
MPoint& MPoint::operator+=(const MVector& v) {
    if (w != 1.0) cartesianize();
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}
MPoint& MPoint::operator-=(const MVector& v) { return *this += -v; }

MPoint MPoint::operator*(const MMatrix& m) const {
    const auto& a = m.matrix;
    return MPoint(x * a[0][0] + y * a[1][0] + z * a[2][0] + w * a[3][0],
                  x * a[0][1] + y * a[1][1] + z * a[2][1] + w * a[3][1],
                  x * a[0][2] + y * a[1][2] + z * a[2][2] + w * a[3][2],
                  x * a[0][3] + y * a[1][3] + z * a[2][3] + w * a[3][3]);
}
MPoint& MPoint::operator*=(const MMatrix& m) { return *this = *this * m; }
bool MPoint::isEquivalent(const MPoint& o, double tolerance) const {
    return std::fabs(x - o.x) <= tolerance && std::fabs(y - o.y) <= tolerance &&
           std::fabs(z - o.z) <= tolerance && std::fabs(w - o.w) <= tolerance;
}
MPoint& MPoint::cartesianize() {
    x /= w;
    y /= w;
    z /= w;
    w = 1.0;
    return *this;
}
MPoint& MPoint::rationalize() {
    x *= w;
    y *= w;
    z *= w;
    return *this;
}
MPoint& MPoint::homogenize() { return rationalize(); }
double MPoint::distanceTo(const MPoint& o) const { return (*this - o).length(); }

MFloatVector MFloatVector::operator*(const MFloatMatrix& m) const {
    const auto& a = m.matrix;
    return MFloatVector(x * a[0][0] + y * a[1][0] + z * a[2][0],
                        x * a[0][1] + y * a[1][1] + z * a[2][1],
                        x * a[0][2] + y * a[1][2] + z * a[2][2]);
}
float MFloatVector::length() const { return std::sqrt(x * x + y * y + z * z); }
MFloatVector MFloatVector::normal() const {
    MFloatVector v(*this);
    v.normalize();
    return v;
}
MStatus MFloatVector::normalize() {
    const float len = length();
    if (len == 0.0f) return MStatus(MStatus::kFailure, "Cannot normalize a zero vector");
    x /= len;
    y /= len;
    z /= len;
    return MStatus();
}

MFloatVector::MFloatVector(const MFloatPoint& p) : x(p.x), y(p.y), z(p.z) {}
MVector::MVector(const MFloatVector& v) : x(v.x), y(v.y), z(v.z) {}
MVector::MVector(const MPoint& p) : x(p.x), y(p.y), z(p.z) {}
MVector::MVector(const MFloatPoint& p) : x(p.x), y(p.y), z(p.z) {}
MPoint::MPoint(const MFloatPoint& p) : x(p.x), y(p.y), z(p.z), w(p.w) {}
MPoint::MPoint(const MFloatVector& v) : x(v.x), y(v.y), z(v.z), w(1.0) {}

MFloatPoint MFloatPoint::operator*(const MFloatMatrix& m) const {
    const auto& a = m.matrix;
    return MFloatPoint(x * a[0][0] + y * a[1][0] + z * a[2][0] + w * a[3][0],
                       x * a[0][1] + y * a[1][1] + z * a[2][1] + w * a[3][1],
                       x * a[0][2] + y * a[1][2] + z * a[2][2] + w * a[3][2],
                       x * a[0][3] + y * a[1][3] + z * a[2][3] + w * a[3][3]);
}
MFloatPoint& MFloatPoint::cartesianize() {
    x /= w;
    y /= w;
    z /= w;
    w = 1.0f;
    return *this;
}
float MFloatPoint::distanceTo(const MFloatPoint& o) const { return (*this - o).length(); }

// --- MMatrix ---------------------------------------------------------------

const MMatrix MMatrix::identity;

MMatrix::MMatrix() { identity4(matrix); }
MMatrix::MMatrix(const double m[4][4]) { std::memcpy(matrix, m, sizeof(matrix)); }
MMatrix::MMatrix(const float m[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = m[r][c];
}
MMatrix::MMatrix(const MMatrix& other) = default;
MMatrix& MMatrix::operator=(const MMatrix& other) = default;
MStatus MMatrix::get(double dest[4][4]) const {
    std::memcpy(dest, matrix, sizeof(matrix));
    return MStatus();
}
MStatus MMatrix::get(float dest[4][4]) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dest[r][c] = static_cast<float>(matrix[r][c]);
    return MStatus();
}
MMatrix MMatrix::transpose() const {
    MMatrix t;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) t.matrix[r][c] = matrix[c][r];
    return t;
}
MMatrix& MMatrix::setToIdentity() {
    identity4(matrix);
    return *this;
}
MMatrix& MMatrix::setToProduct(const MMatrix& left, const MMatrix& right) {
    multiply4(left.matrix, right.matrix, matrix);
    return *this;
}
MMatrix MMatrix::inverse() const {
    MMatrix inv;
    invert4(matrix, inv.matrix);
    return inv;
}
MMatrix MMatrix::adjoint() const {
    // adj(M) = det(M) * M^-1 for an invertible M; cofactors for the rest.
    MMatrix adj;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            int rows[3], cols[3];
            for (int i = 0, k = 0; i < 4; ++i)
                if (i != c) rows[k++] = i;
            for (int i = 0, k = 0; i < 4; ++i)
                if (i != r) cols[k++] = i;
            const double minor = det3(matrix, rows[0], rows[1], rows[2], cols[0], cols[1], cols[2]);
            adj.matrix[r][c] = ((r + c) % 2 ? -1.0 : 1.0) * minor;
        }
    return adj;
}
MMatrix MMatrix::homogenize() const {
    MMatrix h(*this);
    for (int r = 0; r < 4; ++r) {
        const double w = h.matrix[r][3];
        if (w == 0.0) continue;
        for (int c = 0; c < 4; ++c) h.matrix[r][c] /= w;
    }
    return h;
}
double MMatrix::det4x4() const { return det4(matrix); }
double MMatrix::det3x3() const { return det3(matrix, 0, 1, 2, 0, 1, 2); }
bool MMatrix::isEquivalent(const MMatrix& other, double tolerance) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (std::fabs(matrix[r][c] - other.matrix[r][c]) > tolerance) return false;
    return true;
}
bool MMatrix::isSingular() const { return det4x4() == 0.0; }
MMatrix MMatrix::operator+(const MMatrix& right) const {
    MMatrix s;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) s.matrix[r][c] = matrix[r][c] + right.matrix[r][c];
    return s;
}
MMatrix MMatrix::operator-(const MMatrix& right) const {
    MMatrix s;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) s.matrix[r][c] = matrix[r][c] - right.matrix[r][c];
    return s;
}
MMatrix MMatrix::operator*(const MMatrix& right) const {
    MMatrix p;
    multiply4(matrix, right.matrix, p.matrix);
    return p;
}
MMatrix& MMatrix::operator*=(const MMatrix& right) {
    multiply4(matrix, right.matrix, matrix);
    return *this;
}
MMatrix MMatrix::operator*(double scale) const {
    MMatrix s(*this);
    for (auto& row : s.matrix)
        for (double& v : row) v *= scale;
    return s;
}
bool MMatrix::operator==(const MMatrix& other) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (matrix[r][c] != other.matrix[r][c]) return false;
    return true;
}
bool MMatrix::operator!=(const MMatrix& other) const { return !(*this == other); }

// --- MFloatMatrix ----------------------------------------------------------

MFloatMatrix::MFloatMatrix() { identity4(matrix); }
MFloatMatrix::MFloatMatrix(const float m[4][4]) { std::memcpy(matrix, m, sizeof(matrix)); }
MFloatMatrix::MFloatMatrix(const double m[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = static_cast<float>(m[r][c]);
}
MFloatMatrix::MFloatMatrix(const MFloatMatrix& other) = default;
MFloatMatrix& MFloatMatrix::operator=(const MFloatMatrix& other) = default;
MStatus MFloatMatrix::get(float dest[4][4]) const {
    std::memcpy(dest, matrix, sizeof(matrix));
    return MStatus();
}
MStatus MFloatMatrix::get(double dest[4][4]) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dest[r][c] = matrix[r][c];
    return MStatus();
}
MFloatMatrix MFloatMatrix::transpose() const {
    MFloatMatrix t;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) t.matrix[r][c] = matrix[c][r];
    return t;
}
MFloatMatrix& MFloatMatrix::setToIdentity() {
    identity4(matrix);
    return *this;
}
MFloatMatrix MFloatMatrix::inverse() const {
    double m[4][4], inv[4][4];
    get(m);
    invert4(m, inv);
    return MFloatMatrix(inv);
}
float MFloatMatrix::det4x4() const {
    double m[4][4];
    get(m);
    return static_cast<float>(det4(m));
}
bool MFloatMatrix::isEquivalent(const MFloatMatrix& other, float tolerance) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (std::fabs(matrix[r][c] - other.matrix[r][c]) > tolerance) return false;
    return true;
}
MFloatMatrix MFloatMatrix::operator*(const MFloatMatrix& right) const {
    MFloatMatrix p;
    multiply4(matrix, right.matrix, p.matrix);
    return p;
}
MFloatMatrix& MFloatMatrix::operator*=(const MFloatMatrix& right) {
    multiply4(matrix, right.matrix, matrix);
    return *this;
}
bool MFloatMatrix::operator==(const MFloatMatrix& other) const {
    return std::memcmp(matrix, other.matrix, sizeof(matrix)) == 0;
}
bool MFloatMatrix::operator!=(const MFloatMatrix& other) const { return !(*this == other); }

// --- MTransformationMatrix -------------------------------------------------

const MTransformationMatrix MTransformationMatrix::identity;

MTransformationMatrix::MTransformationMatrix() = default;
MTransformationMatrix::MTransformationMatrix(const MMatrix& m) : fMatrix(m) {}
MTransformationMatrix::MTransformationMatrix(const MTransformationMatrix& other) = default;
MTransformationMatrix& MTransformationMatrix::operator=(const MTransformationMatrix& other) = default;
MTransformationMatrix& MTransformationMatrix::operator=(const MMatrix& m) {
    fMatrix = m;
    return *this;
}
MMatrix MTransformationMatrix::asMatrix() const { return fMatrix; }
MMatrix MTransformationMatrix::asMatrixInverse() const { return fMatrix.inverse(); }
MVector MTransformationMatrix::getTranslation(MSpace::Space space, MStatus* ReturnStatus) const {
    if (space == MSpace::kInvalid || space >= MSpace::kLast) {
        report(ReturnStatus, MStatus(MStatus::kInvalidParameter, "Invalid space"));
        return MVector();
    }
    report(ReturnStatus, MStatus());
    return MVector(fMatrix.matrix[3][0], fMatrix.matrix[3][1], fMatrix.matrix[3][2]);
}
MStatus MTransformationMatrix::setTranslation(const MVector& v, MSpace::Space) {
    fMatrix.matrix[3][0] = v.x;
    fMatrix.matrix[3][1] = v.y;
    fMatrix.matrix[3][2] = v.z;
    return MStatus();
}
bool MTransformationMatrix::operator==(const MTransformationMatrix& other) const {
    return fMatrix == other.fMatrix;
}
bool MTransformationMatrix::operator!=(const MTransformationMatrix& other) const {
    return !(*this == other);
}
