#pragma once
// Parameter types and parameter declaration in a node type's parameter list
// (stand-in). The offset is -1 for parameters that live only in the node's
// parameter store.

#include <cstdint>

#include "ai_api.h"
#include "ai_color.h"
#include "ai_enum.h"
#include "ai_matrix.h"
#include "ai_string.h"
#include "ai_vector.h"

struct AtList;

// Parameter and pixel type codes.
#define AI_TYPE_BYTE      0x00
#define AI_TYPE_INT       0x01
#define AI_TYPE_UINT      0x02
#define AI_TYPE_BOOLEAN   0x03
#define AI_TYPE_FLOAT     0x04
#define AI_TYPE_RGB       0x05
#define AI_TYPE_RGBA      0x06
#define AI_TYPE_VECTOR    0x07
#define AI_TYPE_VECTOR2   0x09
#define AI_TYPE_STRING    0x0A
#define AI_TYPE_POINTER   0x0B
#define AI_TYPE_NODE      0x0C
#define AI_TYPE_ARRAY     0x0D
#define AI_TYPE_MATRIX    0x0E
#define AI_TYPE_ENUM      0x0F
#define AI_TYPE_CLOSURE   0x10
#define AI_TYPE_USHORT    0x11
#define AI_TYPE_HALF      0x12
#define AI_TYPE_UNDEFINED 0xFF
#define AI_TYPE_NONE      0xFF

AI_API void AiNodeParamBool(AtList* params, int varoffset, const char* pname, bool pdefault);
AI_API void AiNodeParamInt(AtList* params, int varoffset, const char* pname, int pdefault);
AI_API void AiNodeParamFlt(AtList* params, int varoffset, const char* pname, float pdefault);
AI_API void AiNodeParamStr(AtList* params, int varoffset, const char* pname, AtString pdefault);
AI_API void AiNodeParamRGB(AtList* params, int varoffset, const char* pname, float r, float g,
                           float b);
AI_API void AiNodeParamPtr(AtList* params, int varoffset, const char* pname, void* pdefault);
AI_API void AiNodeParamEnum(AtList* params, int varoffset, const char* pname, int pdefault,
                            AtEnum enum_type);

// Shorthands for declaring parameters inside node_parameters, whose parameter list is
// named params.
#define AiParameterBool(n, c)      AiNodeParamBool(params, -1, n, c);
#define AiParameterInt(n, c)       AiNodeParamInt(params, -1, n, c);
#define AiParameterFlt(n, c)       AiNodeParamFlt(params, -1, n, c);
#define AiParameterStr(n, c)       AiNodeParamStr(params, -1, n, AtString(c));
#define AiParameterRGB(n, r, g, b) AiNodeParamRGB(params, -1, n, r, g, b);
#define AiParameterPtr(n, c)       AiNodeParamPtr(params, -1, n, c);
#define AiParameterEnum(n, c, e)   AiNodeParamEnum(params, -1, n, c, e);
