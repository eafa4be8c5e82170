#pragma once
// AOVs (stand-in).

#include <cstdint>

#include "ai_api.h"
#include "ai_params.h"

// How an AOV's samples are blended.
#define AI_AOV_BLEND_NONE    0
#define AI_AOV_BLEND_OPACITY 1

// Registers an AOV with the universe being set up; false when another type is
// already registered under the name.
AI_API bool AiAOVRegister(const char* name, uint8_t type, int blend_mode = AI_AOV_BLEND_NONE);
