#ifndef MAYA_STANDIN_MPOINT_H
#define MAYA_STANDIN_MPOINT_H
// Double-precision homogeneous point. Acts on matrices as a row vector (p x M).

#include <maya/MVector.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MPoint {
public:
    MPoint() : x(0.0), y(0.0), z(0.0), w(1.0) {}
    MPoint(double xx, double yy, double zz = 0.0, double ww = 1.0) : x(xx), y(yy), z(zz), w(ww) {}
    MPoint(const MVector& v) : x(v.x), y(v.y), z(v.z), w(1.0) {}
    MPoint(const MFloatPoint& p);
    MPoint(const MFloatVector& v);
    MPoint(const double d[4]) : x(d[0]), y(d[1]), z(d[2]), w(d[3]) {}

    double& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    double operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    double operator()(unsigned int i) const { return (*this)[i]; }

    MVector operator-(const MPoint& o) const { return MVector(x - o.x, y - o.y, z - o.z); }
    // A point with w != 1 is cartesianized first; the result has w = 1.
    MPoint operator+(const MVector& v) const;
    MPoint operator-(const MVector& v) const;
    MPoint& operator+=(const MVector& v);
    MPoint& operator-=(const MVector& v);
    MPoint operator*(double s) const { return MPoint(x * s, y * s, z * s, w * s); }
    MPoint operator/(double s) const { return MPoint(x / s, y / s, z / s, w / s); }
    MPoint operator*(const MMatrix& m) const;
    MPoint& operator*=(const MMatrix& m);
    bool operator==(const MPoint& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const MPoint& o) const { return !(*this == o); }
    bool isEquivalent(const MPoint& o, double tolerance = 1.0e-10) const;

    // x, y and z divided by w, then w = 1.
    MPoint& cartesianize();
    // x, y and z multiplied by w.
    MPoint& rationalize();
    MPoint& homogenize();
    double distanceTo(const MPoint& o) const;
    MStatus get(double d[4]) const { d[0] = x; d[1] = y; d[2] = z; d[3] = w; return MStatus(); }

    static const MPoint origin;

    double x, y, z, w;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
