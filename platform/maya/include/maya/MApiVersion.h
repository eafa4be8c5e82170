#ifndef MAYA_STANDIN_MAPIVERSION_H
#define MAYA_STANDIN_MAPIVERSION_H
// Defines the API version text and the plug-in signature block that a plug-in
// or module exports for Maya to check. MFnPlugin.h includes this header; the one
// source file of a library that includes MFnPlugin.h defines both, and every
// other source file that includes it defines MNoVersionString first.

#include <maya/MTypes.h>

extern "C" {
PLUGIN_EXPORT char MApiVersion[] = "20220400";
}

// The stand-in's own signature: a tag, the API version and a format number.
PLUGIN_EXPORT char ADSK_PLUGIN_SIGNATURE[] = {
    'K', 'O', 'R', 'V', 'A', 'N', 'E', '-', 'M', 'A', 'Y', 'A', '-', 'S', 'T', 'A',
    'N', 'D', 'I', 'N', 0,   '2', '0', '2', '2', '0', '4', '0', '0', 0,   1,   0};

#endif
