#ifndef MAYA_STANDIN_MFNDEPENDENCYNODE_H
#define MAYA_STANDIN_MFNDEPENDENCYNODE_H
// Dependency node function set: the base of the function sets of the runtime's
// nodes (every node of its scene is a DAG node).

#include <maya/MFnBase.h>
#include <maya/MString.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnDependencyNode : public MFnBase {
public:
    MFnDependencyNode();
    // kInvalidParameter in ReturnStatus when the object is no node.
    MFnDependencyNode(const MObject& object, MStatus* ReturnStatus = nullptr);
    ~MFnDependencyNode() override;
    MFn::Type type() const override;

    MString name(MStatus* ReturnStatus = nullptr) const;
};

OPENMAYA_NAMESPACE_CLOSE

#endif
