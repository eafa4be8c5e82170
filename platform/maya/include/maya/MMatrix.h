#ifndef MAYA_STANDIN_MMATRIX_H
#define MAYA_STANDIN_MMATRIX_H
// 4x4 double matrix for row vectors: a point p maps to p x M, so the translation
// lies in row 3.

#include <maya/MStatus.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MMatrix {
public:
    MMatrix();
    MMatrix(const double m[4][4]);
    MMatrix(const float m[4][4]);
    MMatrix(const MMatrix& other);
    MMatrix& operator=(const MMatrix& other);

    double operator()(unsigned int row, unsigned int col) const { return matrix[row][col]; }
    double& operator()(unsigned int row, unsigned int col) { return matrix[row][col]; }
    const double* operator[](unsigned int row) const { return matrix[row]; }
    double* operator[](unsigned int row) { return matrix[row]; }

    MStatus get(double dest[4][4]) const;
    MStatus get(float dest[4][4]) const;
    MMatrix transpose() const;
    MMatrix& setToIdentity();
    MMatrix& setToProduct(const MMatrix& left, const MMatrix& right);
    MMatrix inverse() const;
    MMatrix adjoint() const;
    MMatrix homogenize() const;
    double det4x4() const;
    double det3x3() const;
    bool isEquivalent(const MMatrix& other, double tolerance = 1.0e-10) const;
    bool isSingular() const;

    MMatrix operator+(const MMatrix& right) const;
    MMatrix operator-(const MMatrix& right) const;
    MMatrix operator*(const MMatrix& right) const;
    MMatrix& operator*=(const MMatrix& right);
    MMatrix operator*(double scale) const;
    bool operator==(const MMatrix& other) const;
    bool operator!=(const MMatrix& other) const;

    static const MMatrix identity;

    double matrix[4][4];
};

OPENMAYA_NAMESPACE_CLOSE

#endif
