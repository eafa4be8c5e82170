#ifndef MAYA_STANDIN_MDOUBLEARRAY_H
#define MAYA_STANDIN_MDOUBLEARRAY_H
// Growable array of double.

#include <maya/MStandinArray.h>

OPENMAYA_NAMESPACE_OPEN
MAYA_STANDIN_ARRAY_CLASS(MDoubleArray, double)
OPENMAYA_NAMESPACE_CLOSE

#endif
