#ifndef MAYA_STANDIN_MFNDAGNODE_H
#define MAYA_STANDIN_MFNDAGNODE_H
// DAG node function set: the node a path or object ends at, and its path.

#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnDagNode : public MFnDependencyNode {
public:
    MFnDagNode();
    // kInvalidParameter in ReturnStatus when the path or object holds no node.
    MFnDagNode(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFnDagNode(const MDagPath& object, MStatus* ReturnStatus = nullptr);
    ~MFnDagNode() override;
    MFn::Type type() const override;

    // The path the set was made on; for a set made on an object, a path to it.
    MStatus getPath(MDagPath& path) const;
    MDagPath dagPath(MStatus* ReturnStatus = nullptr) const;
    MString fullPathName(MStatus* ReturnStatus = nullptr) const;
    MString partialPathName(MStatus* ReturnStatus = nullptr) const;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
