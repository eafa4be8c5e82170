#pragma once
// 4x4 single-precision matrices acting on row vectors: v' = v * M, translation in
// row 3 (stand-in).

#include "ai_api.h"
#include "ai_vector.h"

struct AtMatrix {
    float data[4][4];
    float* operator[](int t) { return data[t]; }
    const float* operator[](int t) const { return data[t]; }
};

// Transforms a direction: the upper 3x3 of the matrix, no translation.
AI_API AtVector AiM4VectorByMatrixMult(const AtMatrix& m, const AtVector& v);
// Transforms a point: with translation, divided by w.
AI_API AtVector AiM4PointByMatrixMult(const AtMatrix& m, const AtVector& p);
AI_API AtMatrix AiM4Identity();
