#pragma once
// Parameter declaration in a node type's parameter list (stand-in). The offset
// is -1 for parameters that live only in the node's parameter store.

#include "ai_api.h"
#include "ai_string.h"
#include "ai_types.h"

AI_API void AiNodeParamBool(AtList* params, int offset, const char* name, bool default_value);
AI_API void AiNodeParamInt(AtList* params, int offset, const char* name, int default_value);
AI_API void AiNodeParamFlt(AtList* params, int offset, const char* name, float default_value);
AI_API void AiNodeParamStr(AtList* params, int offset, const char* name, AtString default_value);
AI_API void AiNodeParamRGB(AtList* params, int offset, const char* name, float r, float g, float b);
AI_API void AiNodeParamPtr(AtList* params, int offset, const char* name, void* default_value);
// enum_names: entry names in index order, ended by a null entry.
AI_API void AiNodeParamEnum(AtList* params, int offset, const char* name, int default_index,
                            const char** enum_names);
