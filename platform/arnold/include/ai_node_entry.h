#pragma once
// Node types: node kinds and the method tables a node type is built from (stand-in).

#include "ai_params.h"
#include "ai_string.h"

class AtRenderSession;
struct AtNode;
struct AtList;

// Node kinds.
#define AI_NODE_UNDEFINED     0x0000
#define AI_NODE_OPTIONS       0x0001
#define AI_NODE_CAMERA        0x0002
#define AI_NODE_LIGHT         0x0004
#define AI_NODE_SHAPE         0x0008
#define AI_NODE_SHADER        0x0010
#define AI_NODE_OVERRIDE      0x0020
#define AI_NODE_DRIVER        0x0040
#define AI_NODE_FILTER        0x0080
#define AI_NODE_COLOR_MANAGER 0x0800
#define AI_NODE_OPERATOR      0x1000
#define AI_NODE_IMAGER        0x2000
#define AI_NODE_RENDER_OUTPUT 0x4000
#define AI_NODE_ALL           0xFFFF

struct AtNodeEntry;

// Methods that every node type has.
struct AtCommonMethods {
    bool (*PluginInitialize)(void**);
    void (*PluginCleanup)(void*);
    void (*Parameters)(AtList*, AtNodeEntry*);
    void (*Initialize)(AtRenderSession*, AtNode*);
    void (*Update)(AtRenderSession*, AtNode*);
    void (*Finish)(AtNode*);
};

// A node type's methods: the common ones and those of its kind (AtDriverNodeMethods
// for a driver).
struct AtNodeMethods {
    const AtCommonMethods* cmethods;
    const void* dmethods;
};
