#ifndef MAYA_STANDIN_MDAGPATH_H
#define MAYA_STANDIN_MDAGPATH_H
// Path from the world to a node of the DAG. Every node has one parent, so a
// path is known by its last node.

#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MString.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MDagPath {
public:
    MDagPath();
    MDagPath(const MDagPath& other);
    MDagPath& operator=(const MDagPath& other);
    ~MDagPath();

    bool operator==(const MDagPath& other) const;
    bool operator!=(const MDagPath& other) const;

    // False for an empty path and for one whose node left the scene.
    bool isValid(MStatus* ReturnStatus = nullptr) const;
    bool hasFn(MFn::Type type, MStatus* ReturnStatus = nullptr) const;
    MFn::Type apiType(MStatus* ReturnStatus = nullptr) const;
    MObject node(MStatus* ReturnStatus = nullptr) const;
    MObject transform(MStatus* ReturnStatus = nullptr) const;
    unsigned int length(MStatus* ReturnStatus = nullptr) const;
    MStatus pop(unsigned int num = 1);
    MStatus push(const MObject& child);
    unsigned int childCount(MStatus* ReturnStatus = nullptr) const;
    MObject child(unsigned int i, MStatus* ReturnStatus = nullptr) const;
    MStatus numberOfShapesDirectlyBelow(unsigned int& num) const;
    // A transform with exactly one shape below it: the path goes on to that
    // shape. A shape: unchanged.
    MStatus extendToShape();
    MStatus extendToShapeDirectlyBelow(unsigned int index);

    MMatrix inclusiveMatrix(MStatus* ReturnStatus = nullptr) const;
    MMatrix exclusiveMatrix(MStatus* ReturnStatus = nullptr) const;
    MMatrix inclusiveMatrixInverse(MStatus* ReturnStatus = nullptr) const;
    MMatrix exclusiveMatrixInverse(MStatus* ReturnStatus = nullptr) const;

    // The node's own name (names are unique in the scene).
    MString partialPathName(MStatus* ReturnStatus = nullptr) const;
    // "|transform|shape".
    MString fullPathName(MStatus* ReturnStatus = nullptr) const;

    static MStatus getAPathTo(const MObject& node, MDagPath& path);
    static MDagPath getAPathTo(const MObject& node, MStatus* ReturnStatus = nullptr);

private:
    MObject fNode;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
