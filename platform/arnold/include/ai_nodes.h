#pragma once
// Node queries (stand-in). A query of a parameter that the node does not have
// returns the type's zero value and logs a warning.

#include "ai_api.h"
#include "ai_string.h"
#include "ai_types.h"

AI_API const char* AiNodeGetName(const AtNode* node);
AI_API AtUniverse* AiNodeGetUniverse(const AtNode* node);

AI_API bool AiNodeGetBool(const AtNode* node, const AtString param);
AI_API int AiNodeGetInt(const AtNode* node, const AtString param);
AI_API float AiNodeGetFlt(const AtNode* node, const AtString param);
AI_API AtRGB AiNodeGetRGB(const AtNode* node, const AtString param);
AI_API AtString AiNodeGetStr(const AtNode* node, const AtString param);
AI_API void* AiNodeGetPtr(const AtNode* node, const AtString param);
