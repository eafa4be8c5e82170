#ifndef MAYA_STANDIN_MFLOATPOINT_H
#define MAYA_STANDIN_MFLOATPOINT_H
// Single-precision homogeneous point (row vector).

#include <maya/MFloatVector.h>
#include <maya/MPoint.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFloatPoint {
public:
    MFloatPoint() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
    MFloatPoint(float xx, float yy, float zz = 0.0f, float ww = 1.0f) : x(xx), y(yy), z(zz), w(ww) {}
    MFloatPoint(double xx, double yy, double zz = 0.0, double ww = 1.0)
        : x(static_cast<float>(xx)), y(static_cast<float>(yy)), z(static_cast<float>(zz)),
          w(static_cast<float>(ww)) {}
    MFloatPoint(const MFloatVector& v) : x(v.x), y(v.y), z(v.z), w(1.0f) {}
    MFloatPoint(const MPoint& p)
        : x(static_cast<float>(p.x)), y(static_cast<float>(p.y)), z(static_cast<float>(p.z)),
          w(static_cast<float>(p.w)) {}

    MStatus setCast(const MPoint& p) { *this = MFloatPoint(p); return MStatus(); }
    float& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    float operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }

    MFloatVector operator-(const MFloatPoint& o) const { return MFloatVector(x - o.x, y - o.y, z - o.z); }
    MFloatPoint operator+(const MFloatVector& v) const { return MFloatPoint(x + v.x, y + v.y, z + v.z, w); }
    MFloatPoint operator-(const MFloatVector& v) const { return MFloatPoint(x - v.x, y - v.y, z - v.z, w); }
    MFloatPoint operator*(const MFloatMatrix& m) const;
    bool operator==(const MFloatPoint& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const MFloatPoint& o) const { return !(*this == o); }
    MFloatPoint& cartesianize();
    float distanceTo(const MFloatPoint& o) const;

    float x, y, z, w;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
