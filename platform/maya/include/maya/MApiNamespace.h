#ifndef MAYA_STANDIN_MAPINAMESPACE_H
#define MAYA_STANDIN_MAPINAMESPACE_H
// Versioned namespace of the API classes, and forward declarations of them.
// Code names the classes unqualified through the using-directive at the end.

#define OPENMAYA_MAJOR_NAMESPACE OpenMaya20220000
#define OPENMAYA_NAMESPACE_OPEN \
    namespace Autodesk { namespace Maya { namespace OpenMaya20220000 {
#define OPENMAYA_NAMESPACE_CLOSE }}}

#if defined(_WIN32)
#define OPENMAYA_EXPORT
#else
// The runtime library is built with hidden visibility; API classes are exported.
#define OPENMAYA_EXPORT __attribute__((visibility("default")))
#endif

OPENMAYA_NAMESPACE_OPEN
class M3dView;
class MColor;
class MColorArray;
class MDagPath;
class MDGModifier;
class MFloatArray;
class MFloatMatrix;
class MFloatPoint;
class MFloatPointArray;
class MFloatVector;
class MFn;
class MFnBase;
class MFnCamera;
class MFnDagNode;
class MFnDependencyNode;
class MFnMesh;
class MFnPlugin;
class MGlobal;
class MIntArray;
class MItMeshVertex;
class MMatrix;
class MMeshIsectAccelParams;
class MObject;
class MPoint;
class MPointArray;
class MRenderView;
class MSelectionList;
class MStatus;
class MString;
class MStringArray;
class MTransformationMatrix;
class MUintArray;
class MVector;
OPENMAYA_NAMESPACE_CLOSE

using namespace Autodesk::Maya::OpenMaya20220000;

#endif
