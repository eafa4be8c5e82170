#ifndef MAYA_STANDIN_MITMESHVERTEX_H
#define MAYA_STANDIN_MITMESHVERTEX_H
// Iterator over the vertices of a mesh in ascending index order. Positions and
// normals in world space use the path's inclusive matrix; a vertex normal is
// the normalised sum of the unit normals of its faces (right-hand rule).

#include <maya/MDagPath.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MItMeshVertex {
public:
    // A path or object without a mesh gives an iterator that is done at once
    // (kInvalidParameter in ReturnStatus). The component is not looked at:
    // the iterator visits every vertex.
    MItMeshVertex(MObject& polyObject, MStatus* ReturnStatus = nullptr);
    MItMeshVertex(const MDagPath& polyObject, MObject& component = MObject::kNullObj,
                  MStatus* ReturnStatus = nullptr);
    virtual ~MItMeshVertex();

    bool isDone(MStatus* ReturnStatus = nullptr);
    MStatus next();
    MStatus reset();
    int count(MStatus* ReturnStatus = nullptr);
    int index(MStatus* ReturnStatus = nullptr);
    MStatus setIndex(int index, int& prevIndex);

    MPoint position(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = nullptr);
    MStatus getNormal(MVector& vector, MSpace::Space space = MSpace::kObject);
    MStatus getConnectedVertices(MIntArray& vertexList);
    MStatus getConnectedFaces(MIntArray& faceList);
    MStatus numConnectedEdges(int& edgeCount) const;
    MStatus numConnectedFaces(int& faceCount) const;

private:
    MItMeshVertex(const MItMeshVertex&) = delete;
    MItMeshVertex& operator=(const MItMeshVertex&) = delete;
    void attach(const MObject& shape, const MMatrix& world);

    MObject fShape;  // null without a mesh
    int fIndex;
    int fCount;
    MMatrix fWorld;
    MMatrix fNormalMatrix;  // inverse transpose of fWorld's 3x3 part
};

OPENMAYA_NAMESPACE_CLOSE

#endif
