#ifndef MAYA_STANDIN_MFLOATPOINTARRAY_H
#define MAYA_STANDIN_MFLOATPOINTARRAY_H
// Growable array of MFloatPoint.

#include <maya/MStandinArray.h>
#include <maya/MFloatPoint.h>

OPENMAYA_NAMESPACE_OPEN
MAYA_STANDIN_ARRAY_CLASS(MFloatPointArray, MFloatPoint)
OPENMAYA_NAMESPACE_CLOSE

#endif
