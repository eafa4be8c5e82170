#ifndef MAYA_STANDIN_MTYPES_H
#define MAYA_STANDIN_MTYPES_H
// Basic types and constants shared by the API headers.

#include <maya/MApiNamespace.h>

#define MAYA_API_VERSION 20220400

OPENMAYA_NAMESPACE_OPEN

// Coordinate spaces of queries that take one.
class MSpace {
public:
    enum Space {
        kInvalid = 0,
        kTransform = 1,
        kPreTransform = 2,
        kPostTransform = 3,
        kWorld = 4,
        kLast = 5,
        kObject = kPreTransform
    };
};

// Function-set types; only the ones the runtime distinguishes.
class MFn {
public:
    enum Type {
        kInvalid = 0,
        kBase = 1,
        kNamedObject = 2,
        kDependencyNode = 3,
        kDagNode = 4,
        kTransform = 110,
        kCamera = 250,
        kMesh = 296
    };
};

OPENMAYA_NAMESPACE_CLOSE

#endif
