#ifndef MAYA_STANDIN_MTRANSFORMATIONMATRIX_H
#define MAYA_STANDIN_MTRANSFORMATIONMATRIX_H
// A transformation seen through its components. The runtime keeps the matrix
// and reads the translation from its row 3.

#include <maya/MMatrix.h>
#include <maya/MVector.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MTransformationMatrix {
public:
    MTransformationMatrix();
    MTransformationMatrix(const MMatrix& m);
    MTransformationMatrix(const MTransformationMatrix& other);
    MTransformationMatrix& operator=(const MTransformationMatrix& other);
    MTransformationMatrix& operator=(const MMatrix& m);

    MMatrix asMatrix() const;
    MMatrix asMatrixInverse() const;
    // The translation row; every space gives the same value for a matrix
    // without a parent.
    MVector getTranslation(MSpace::Space space, MStatus* ReturnStatus = nullptr) const;
    MStatus setTranslation(const MVector& vector, MSpace::Space space);
    bool operator==(const MTransformationMatrix& other) const;
    bool operator!=(const MTransformationMatrix& other) const;

    static const MTransformationMatrix identity;

private:
    MMatrix fMatrix;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
