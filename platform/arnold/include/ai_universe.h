#pragma once
// Universes and their options node (stand-in).

#include "ai_api.h"

struct AtNode;
class AtUniverse;

AI_API AtNode* AiUniverseGetOptions(const AtUniverse* universe);
