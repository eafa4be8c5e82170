#pragma once
// Plug-in libraries: the record that NodeLoader fills and the method tables it
// points to (stand-in).

#include <cstdint>

#include "ai_api.h"
#include "ai_types.h"

#define AI_MAXSIZE_VERSION 32

struct AtCommonMethods {
    bool (*PluginInitialize)(void** plugin_data);
    void (*PluginCleanup)(void* plugin_data);
    void (*Parameters)(AtList* params, AtNodeEntry* node_entry);
    void (*Initialize)(AtRenderSession* render_session, AtNode* node);
    void (*Update)(AtRenderSession* render_session, AtNode* node);
    void (*Finish)(AtNode* node);
};

struct AtNodeMethods {
    const AtCommonMethods* cmethods;  // common to every node kind
    const void* dmethods;             // kind-specific table (AtDriverNodeMethods for drivers)
};

struct AtNodeLib {
    int node_type;                     // AI_NODE_DRIVER, ...
    uint8_t output_type;               // AI_TYPE_NONE for drivers
    const char* name;                  // node type name
    const AtNodeMethods* methods;
    char version[AI_MAXSIZE_VERSION];  // renderer version the library is built for
};

// The one entry of a plug-in library: fills *node for index i and answers true,
// or answers false when the library has no node type at that index.
typedef bool (*AtNodeLoaderFunc)(int i, AtNodeLib* node);
