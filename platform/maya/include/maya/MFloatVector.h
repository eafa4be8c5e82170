#ifndef MAYA_STANDIN_MFLOATVECTOR_H
#define MAYA_STANDIN_MFLOATVECTOR_H
// Single-precision direction (row vector).

#include <maya/MVector.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFloatVector {
public:
    MFloatVector() : x(0.0f), y(0.0f), z(0.0f) {}
    MFloatVector(float xx, float yy, float zz = 0.0f) : x(xx), y(yy), z(zz) {}
    MFloatVector(double xx, double yy, double zz = 0.0)
        : x(static_cast<float>(xx)), y(static_cast<float>(yy)), z(static_cast<float>(zz)) {}
    MFloatVector(const MVector& v)
        : x(static_cast<float>(v.x)), y(static_cast<float>(v.y)), z(static_cast<float>(v.z)) {}
    MFloatVector(const MFloatPoint& p);

    MStatus setCast(const MVector& v) {
        x = static_cast<float>(v.x); y = static_cast<float>(v.y); z = static_cast<float>(v.z);
        return MStatus();
    }
    float& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    MFloatVector operator+(const MFloatVector& o) const { return MFloatVector(x + o.x, y + o.y, z + o.z); }
    MFloatVector operator-(const MFloatVector& o) const { return MFloatVector(x - o.x, y - o.y, z - o.z); }
    MFloatVector operator-() const { return MFloatVector(-x, -y, -z); }
    MFloatVector operator*(float s) const { return MFloatVector(x * s, y * s, z * s); }
    MFloatVector operator/(float s) const { return MFloatVector(x / s, y / s, z / s); }
    float operator*(const MFloatVector& o) const { return x * o.x + y * o.y + z * o.z; }
    MFloatVector operator^(const MFloatVector& o) const {
        return MFloatVector(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
    }
    MFloatVector operator*(const MFloatMatrix& m) const;
    bool operator==(const MFloatVector& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const MFloatVector& o) const { return !(*this == o); }

    float length() const;
    MFloatVector normal() const;
    MStatus normalize();

    float x, y, z;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
