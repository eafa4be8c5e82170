#pragma once
// Universes and their options node (stand-in).

#include "ai_api.h"
#include "ai_types.h"

AI_API AtNode* AiUniverseGetOptions(const AtUniverse* universe);
