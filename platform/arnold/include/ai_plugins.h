#pragma once
// Plug-in libraries: the record that a library's NodeLoader fills (stand-in).

#include <cstdint>

#include "ai_api.h"
#include "ai_version.h"

#if defined(_WIN32)
#  define AI_DLL_EXPORT __declspec(dllexport)
#else
#  define AI_DLL_EXPORT __attribute__((visibility("default")))
#endif

// Exports a plug-in's entry under its plain name.
#define AI_EXPORT_LIB AI_EXTERN_C AI_DLL_EXPORT

struct AtNodeLib {
    int node_type;                     // AI_NODE_DRIVER, ...
    uint8_t output_type;               // AI_TYPE_NONE for drivers
    const char* name;                  // node type name
    const void* methods;               // the node type's AtNodeMethods
    char version[AI_MAXSIZE_VERSION];  // renderer version the library is built for
};
