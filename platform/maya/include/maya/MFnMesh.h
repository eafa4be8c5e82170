#ifndef MAYA_STANDIN_MFNMESH_H
#define MAYA_STANDIN_MFNMESH_H
// Polygon mesh function set: topology queries, ray queries and colour sets.
// Faces are polygons; the ray queries split them into fans of triangles
// (v0, vi, vi+1) and number those triangles 0, 1, ... within their face.

#include <maya/MColorArray.h>
#include <maya/MDGModifier.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVector.h>
#include <maya/MFnDagNode.h>
#include <maya/MIntArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>
#include <maya/MUintArray.h>
#include <maya/MVector.h>

OPENMAYA_NAMESPACE_OPEN

// Acceleration settings of the ray queries, made by MFnMesh::autoUniformGridParams
// or MFnMesh::uniformGridParams. The runtime accelerates with a bounding-volume
// hierarchy whatever the grid sizes say; a default value asks for no acceleration.
class OPENMAYA_EXPORT MMeshIsectAccelParams {
public:
    MMeshIsectAccelParams();

private:
    friend class MFnMesh;
    enum Mode { kNone = 0, kAutoGrid = 1, kUniformGrid = 2 };
    explicit MMeshIsectAccelParams(Mode mode);

    Mode fMode;
};

class OPENMAYA_EXPORT MFnMesh : public MFnDagNode {
public:
    enum MColorRepresentation { kAlpha = 1, kRGB = 3, kRGBA = 4 };

    MFnMesh();
    // kInvalidParameter in ReturnStatus when the path holds no mesh.
    MFnMesh(const MDagPath& object, MStatus* ReturnStatus = nullptr);
    MFnMesh(const MObject& object, MStatus* ReturnStatus = nullptr);
    ~MFnMesh() override;
    MFn::Type type() const override;
    MStatus setObject(const MDagPath& path);

    int numVertices(MStatus* ReturnStatus = nullptr) const;
    int numPolygons(MStatus* ReturnStatus = nullptr) const;
    MStatus getPoint(int vertexId, MPoint& pos, MSpace::Space space = MSpace::kObject) const;
    MStatus getPoints(MPointArray& vertexArray, MSpace::Space space = MSpace::kObject) const;
    MStatus getPolygonVertices(int polygonId, MIntArray& vertexList) const;
    MStatus getVertexNormal(int vertexId, bool angleWeighted, MVector& normal,
                            MSpace::Space space = MSpace::kObject) const;

    static MMeshIsectAccelParams autoUniformGridParams();
    static MMeshIsectAccelParams uniformGridParams(int xDiv, int yDiv, int zDiv);
    MStatus freeCachedIntersectionAccelerator();
    MString cachedIntersectionAcceleratorInfo(MStatus* ReturnStatus = nullptr);

    // Every hit at raySource + t * rayDirection with 0 <= t <= maxParam
    // (-maxParam <= t <= maxParam when testBothDirections), t in lengths of
    // the direction as given. tolerance widens each triangle's barycentric
    // bounds. Without accelParams every triangle is tested. True when any hit.
    bool allIntersections(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                          const MIntArray* faceIds, const MIntArray* triIds, bool idsSorted,
                          MSpace::Space space, float maxParam, bool testBothDirections,
                          MMeshIsectAccelParams* accelParams, bool sortHits,
                          MFloatPointArray& hitPoints, MFloatArray* hitRayParams,
                          MIntArray* hitFaces, MIntArray* hitTriangles, MFloatArray* hitBary1s,
                          MFloatArray* hitBary2s, float tolerance = 1e-6f,
                          MStatus* ReturnStatus = nullptr);
    int numColorSets(MStatus* ReturnStatus = nullptr) const;
    MStatus getColorSetNames(MStringArray& setNames) const;
    // A name already taken, or empty, is replaced by a free one, handed back.
    MStatus createColorSet(MString& colorSetName, MDGModifier* modifier = nullptr,
                           const MUintArray* instances = nullptr);
    MString createColorSetWithName(const MString& colorSetName, MDGModifier* modifier = nullptr,
                                   const MUintArray* instances = nullptr,
                                   MStatus* ReturnStatus = nullptr);
    MStatus deleteColorSet(const MString& colorSetName, MDGModifier* modifier = nullptr,
                           MSelectionList* currentSelection = nullptr);
    MStatus setCurrentColorSetName(const MString& colorSetName, MDGModifier* modifier = nullptr,
                                   MSelectionList* currentSelection = nullptr);
    MString currentColorSetName(int instance = -1, MStatus* ReturnStatus = nullptr) const;
    // Colours of the listed vertices in the current colour set (one made,
    // "colorSet1", when the mesh has none).
    MStatus setVertexColors(MColorArray& colors, MIntArray& vertexList,
                            MDGModifier* modifier = nullptr);
    MStatus setVertexColors(MColorArray& colors, MIntArray& vertexList, MDGModifier* modifier,
                            MColorRepresentation rep);
    MStatus getVertexColors(MColorArray& colors, const MString* colorSet = nullptr,
                            const MColor* defaultUnsetColor = nullptr) const;

private:
    // The shared ray query; hits is the runtime's own hit list.
    bool intersect(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                   const MIntArray* faceIds, const MIntArray* triIds, MSpace::Space space,
                   float maxParam, bool testBothDirections, const MMeshIsectAccelParams* accel,
                   float tolerance, void* hits) const;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
