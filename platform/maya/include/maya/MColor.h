#ifndef MAYA_STANDIN_MCOLOR_H
#define MAYA_STANDIN_MCOLOR_H
// Single-precision RGBA colour.

#include <maya/MTypes.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MColor {
public:
    MColor() : r(0.0f), g(0.0f), b(0.0f), a(1.0f) {}
    MColor(float rr, float gg, float bb, float aa = 1.0f) : r(rr), g(gg), b(bb), a(aa) {}
    MColor(const float rgb[3]) : r(rgb[0]), g(rgb[1]), b(rgb[2]), a(1.0f) {}

    float& operator[](unsigned int i) { return i == 0 ? r : (i == 1 ? g : (i == 2 ? b : a)); }
    float operator[](unsigned int i) const { return i == 0 ? r : (i == 1 ? g : (i == 2 ? b : a)); }
    MColor operator+(const MColor& o) const { return MColor(r + o.r, g + o.g, b + o.b, a + o.a); }
    MColor operator-(const MColor& o) const { return MColor(r - o.r, g - o.g, b - o.b, a - o.a); }
    MColor operator*(float s) const { return MColor(r * s, g * s, b * s, a * s); }
    MColor operator/(float s) const { return MColor(r / s, g / s, b / s, a / s); }
    MColor& operator+=(const MColor& o) { r += o.r; g += o.g; b += o.b; a += o.a; return *this; }
    bool operator==(const MColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const MColor& o) const { return !(*this == o); }
    bool get(float rgb[3]) const { rgb[0] = r; rgb[1] = g; rgb[2] = b; return true; }
    bool set(float rr, float gg, float bb, float aa = 1.0f) { r = rr; g = gg; b = bb; a = aa; return true; }

    float r, g, b, a;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
