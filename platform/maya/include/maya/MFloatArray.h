#ifndef MAYA_STANDIN_MFLOATARRAY_H
#define MAYA_STANDIN_MFLOATARRAY_H
// Growable array of float.

#include <maya/MStandinArray.h>

OPENMAYA_NAMESPACE_OPEN
MAYA_STANDIN_ARRAY_CLASS(MFloatArray, float)
OPENMAYA_NAMESPACE_CLOSE

#endif
