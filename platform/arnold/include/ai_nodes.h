#pragma once
// Nodes: the methods a plug-in defines for its node type, and node queries
// (stand-in).
//
// A plug-in writes its methods with the macros below, each followed by the method's
// body; the macro names the arguments. A query of a parameter that the node does not
// have returns the type's zero value and logs a warning.

#include "ai_api.h"
#include "ai_node_entry.h"
#include "ai_params.h"
#include "ai_string.h"

class AtUniverse;
class AtRenderSession;
struct AtList;
struct AtNodeEntry;
struct AtNode;

// Declares the node type's parameters into params.
#define node_parameters static void Parameters(AtList* params, AtNodeEntry* nentry)

// Runs once for every new node of the type.
#define node_initialize static void Initialize(AtRenderSession* render_session, AtNode* node)

// Runs before every render that follows a change of the node.
#define node_update static void Update(AtRenderSession* render_session, AtNode* node)

// Runs when the node is destroyed.
#define node_finish static void Finish(AtNode* node)

// The library's entry: fills node for its node type number i, or answers false when
// the library has none at that number.
#define node_loader AI_EXPORT_LIB bool NodeLoader(int i, AtNodeLib* node)

// Declares the common methods and makes their table, ai_common_mtds, for a kind's
// exporter macro.
#define AI_INSTANCE_COMMON_METHODS                                            \
    node_parameters;                                                          \
    node_initialize;                                                          \
    node_update;                                                              \
    node_finish;                                                              \
    static AtCommonMethods ai_common_mtds = {nullptr,    nullptr, Parameters, \
                                             Initialize, Update,  Finish};

AI_API const char* AiNodeGetName(const AtNode* node);
AI_API AtUniverse* AiNodeGetUniverse(const AtNode* node);

AI_API bool AiNodeGetBool(const AtNode* node, const AtString param);
AI_API int AiNodeGetInt(const AtNode* node, const AtString param);
AI_API float AiNodeGetFlt(const AtNode* node, const AtString param);
AI_API AtRGB AiNodeGetRGB(const AtNode* node, const AtString param);
AI_API AtString AiNodeGetStr(const AtNode* node, const AtString param);
AI_API void* AiNodeGetPtr(const AtNode* node, const AtString param);
