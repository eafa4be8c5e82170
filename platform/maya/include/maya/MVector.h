#ifndef MAYA_STANDIN_MVECTOR_H
#define MAYA_STANDIN_MVECTOR_H
// Double-precision direction. Acts on matrices as a row vector (v x M), without
// the translation row.

#include <maya/MStatus.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MVector {
public:
    MVector() : x(0.0), y(0.0), z(0.0) {}
    MVector(double xx, double yy, double zz = 0.0) : x(xx), y(yy), z(zz) {}
    MVector(const MFloatVector& v);
    MVector(const MPoint& p);
    MVector(const MFloatPoint& p);
    MVector(const double d[3]) : x(d[0]), y(d[1]), z(d[2]) {}

    double& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : z); }
    double operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    double operator()(unsigned int i) const { return (*this)[i]; }

    MVector operator+(const MVector& o) const { return MVector(x + o.x, y + o.y, z + o.z); }
    MVector operator-(const MVector& o) const { return MVector(x - o.x, y - o.y, z - o.z); }
    MVector operator-() const { return MVector(-x, -y, -z); }
    MVector& operator+=(const MVector& o) { x += o.x; y += o.y; z += o.z; return *this; }
    MVector& operator-=(const MVector& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    MVector operator*(double s) const { return MVector(x * s, y * s, z * s); }
    MVector& operator*=(double s) { x *= s; y *= s; z *= s; return *this; }
    MVector operator/(double s) const { return MVector(x / s, y / s, z / s); }
    MVector& operator/=(double s) { x /= s; y /= s; z /= s; return *this; }
    // Dot product.
    double operator*(const MVector& o) const { return x * o.x + y * o.y + z * o.z; }
    // Cross product.
    MVector operator^(const MVector& o) const {
        return MVector(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
    }
    MVector operator*(const MMatrix& m) const;
    MVector& operator*=(const MMatrix& m);
    bool operator==(const MVector& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const MVector& o) const { return !(*this == o); }
    bool isEquivalent(const MVector& o, double tolerance = 1.0e-10) const;

    double length() const;
    MVector normal() const;
    // Scales to unit length when the squared length is above 1e-20; a shorter
    // vector is left as it is. Always kSuccess.
    MStatus normalize();
    MStatus get(double d[3]) const { d[0] = x; d[1] = y; d[2] = z; return MStatus(); }

    static const MVector zero;
    static const MVector xAxis;
    static const MVector yAxis;
    static const MVector zAxis;

    double x, y, z;
};

inline MVector operator*(double s, const MVector& v) { return v * s; }

OPENMAYA_NAMESPACE_CLOSE

#endif
