#ifndef MAYA_STANDIN_MCOLORARRAY_H
#define MAYA_STANDIN_MCOLORARRAY_H
// Growable array of MColor.

#include <maya/MStandinArray.h>
#include <maya/MColor.h>

OPENMAYA_NAMESPACE_OPEN
MAYA_STANDIN_ARRAY_CLASS(MColorArray, MColor)
OPENMAYA_NAMESPACE_CLOSE

#endif
