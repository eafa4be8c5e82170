#pragma once
// Vectors and points (stand-in).

struct AtVector {
    float x, y, z;
};

struct AtVector2 {
    float x, y;
};
