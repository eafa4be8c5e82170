#ifndef MAYA_STANDIN_MFN_H
#define MAYA_STANDIN_MFN_H
// Function-set and node types, with Maya's values; only the types the runtime
// distinguishes, and the bases every node of its scene has.

#include <maya/MApiNamespace.h>

OPENMAYA_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFn {
public:
    enum Type {
        kInvalid = 0,
        kBase = 1,
        kNamedObject = 2,
        kModel = 3,
        kDependencyNode = 4,
        kDagNode = 107,
        kTransform = 110,
        kCamera = 250,
        kMesh = 296
    };
};

OPENMAYA_NAMESPACE_CLOSE

#endif
