#ifndef MAYA_STANDIN_MTYPES_H
#define MAYA_STANDIN_MTYPES_H
// Basic types and constants shared by the API headers.

#include <maya/MApiNamespace.h>

#include <cstddef>

#define MAYA_API_VERSION 20220400

// Marks what a plug-in or module exports to Maya (its entry points, and the data
// that MApiVersion.h defines).
#ifndef PLUGIN_EXPORT
#if defined(_WIN32)
#define PLUGIN_EXPORT __declspec(dllexport)
#else
#define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif
#endif

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

OPENMAYA_NAMESPACE_CLOSE

#endif
