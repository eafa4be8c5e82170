#pragma once
// Utilities for drivers (stand-in).

#include <cstdint>

#include "ai_api.h"

// One 8-bit value from a float in 0..1 for channel i of pixel (x, y); the dither is
// a fixed pattern over (x, y, i), so the result depends on the arguments alone.
AI_API uint8_t AiQuantize8bit(int x, int y, int i, float value, bool dither);
