#ifndef MAYA_STANDIN_MVECTORARRAY_H
#define MAYA_STANDIN_MVECTORARRAY_H
// Growable array of MVector.

#include <maya/MStandinArray.h>
#include <maya/MVector.h>

OPENMAYA_NAMESPACE_OPEN
MAYA_STANDIN_ARRAY_CLASS(MVectorArray, MVector)
OPENMAYA_NAMESPACE_CLOSE

#endif
