#ifndef MAYA_STANDIN_MFLOATMATRIX_H
#define MAYA_STANDIN_MFLOATMATRIX_H
// 4x4 single-precision matrix for row vectors (p x M).

#include <maya/MStatus.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFloatMatrix {
public:
    MFloatMatrix();
    MFloatMatrix(const float m[4][4]);
    MFloatMatrix(const double m[4][4]);
    MFloatMatrix(const MFloatMatrix& other);
    MFloatMatrix& operator=(const MFloatMatrix& other);

    float operator()(unsigned int row, unsigned int col) const { return matrix[row][col]; }
    float& operator()(unsigned int row, unsigned int col) { return matrix[row][col]; }
    const float* operator[](unsigned int row) const { return matrix[row]; }
    float* operator[](unsigned int row) { return matrix[row]; }

    MStatus get(float dest[4][4]) const;
    MStatus get(double dest[4][4]) const;
    MFloatMatrix transpose() const;
    MFloatMatrix& setToIdentity();
    MFloatMatrix inverse() const;
    float det4x4() const;
    bool isEquivalent(const MFloatMatrix& other, float tolerance = 1.0e-5f) const;

    MFloatMatrix operator*(const MFloatMatrix& right) const;
    MFloatMatrix& operator*=(const MFloatMatrix& right);
    bool operator==(const MFloatMatrix& other) const;
    bool operator!=(const MFloatMatrix& other) const;

    float matrix[4][4];
};

OPENMAYA_NAMESPACE_CLOSE

#endif
