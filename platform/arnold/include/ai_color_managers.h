#pragma once
// Colour management and quantisation (stand-in).

#include <cstdint>

#include "ai_api.h"
#include "ai_string.h"
#include "ai_types.h"

// Default colour space names of a colour manager (null: the renderer's default
// manager). Both outputs are left as they are when the manager has no such space.
AI_API void AiColorManagerGetDefaults(AtNode* color_manager, AtString& srgb_space,
                                      AtString& linear_space);

// Transforms one pixel in place. With is_output true the transform goes from
// the rendering space to color_space (the output transform); otherwise from
// color_space to the rendering space.
AI_API bool AiColorManagerTransform(AtNode* color_manager, AtString color_space, bool is_output,
                                    bool dither, const AtVector2* pixel, AtRGBA* rgba,
                                    AtRGB* rgb = nullptr, float* channel = nullptr,
                                    void* reserved = nullptr);

// One 8-bit value from a float in 0..1; the dither is a fixed pattern over
// (x, y, channel), so the result depends on the arguments alone.
AI_API uint8_t AiQuantize8bit(int x, int y, int channel, float value, bool dither);
