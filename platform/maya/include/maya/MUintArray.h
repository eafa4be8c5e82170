#ifndef MAYA_STANDIN_MUINTARRAY_H
#define MAYA_STANDIN_MUINTARRAY_H
// Growable array of unsigned int.

#include <maya/MStandinArray.h>

OPENMAYA_NAMESPACE_OPEN
MAYA_STANDIN_ARRAY_CLASS(MUintArray, unsigned int)
OPENMAYA_NAMESPACE_CLOSE

#endif
