#ifndef MAYA_STANDIN_MFLOATVECTORARRAY_H
#define MAYA_STANDIN_MFLOATVECTORARRAY_H
// Growable array of MFloatVector.

#include <maya/MStandinArray.h>
#include <maya/MFloatVector.h>

OPENMAYA_NAMESPACE_OPEN
MAYA_STANDIN_ARRAY_CLASS(MFloatVectorArray, MFloatVector)
OPENMAYA_NAMESPACE_CLOSE

#endif
