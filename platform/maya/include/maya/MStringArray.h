#ifndef MAYA_STANDIN_MSTRINGARRAY_H
#define MAYA_STANDIN_MSTRINGARRAY_H
// Growable array of MString.

#include <maya/MStandinArray.h>
#include <maya/MString.h>

OPENMAYA_NAMESPACE_OPEN
MAYA_STANDIN_ARRAY_CLASS(MStringArray, MString)
OPENMAYA_NAMESPACE_CLOSE

#endif
