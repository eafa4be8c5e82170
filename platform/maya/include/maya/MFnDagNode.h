#ifndef MAYA_STANDIN_MFNDAGNODE_H
#define MAYA_STANDIN_MFNDAGNODE_H
#include <maya/MFnBase.h>
#endif
