#ifndef MAYA_STANDIN_MPOINTARRAY_H
#define MAYA_STANDIN_MPOINTARRAY_H
// Growable array of MPoint.

#include <maya/MStandinArray.h>
#include <maya/MPoint.h>

OPENMAYA_NAMESPACE_OPEN
MAYA_STANDIN_ARRAY_CLASS(MPointArray, MPoint)
OPENMAYA_NAMESPACE_CLOSE

#endif
