#pragma once
// Colour management (stand-in).

#include "ai_api.h"
#include "ai_color.h"
#include "ai_string.h"
#include "ai_vector.h"

struct AtNode;

// Default colour space names of a colour manager (null: the renderer's default
// manager). Both outputs are left as they are when the manager has no such space.
AI_API void AiColorManagerGetDefaults(AtNode* color_manager, AtString& srgb_space,
                                      AtString& linear_space);

// Transforms one pixel in place. With is_output true the transform goes from the
// rendering space to color_space (the output transform); otherwise from color_space
// to the rendering space.
AI_API bool AiColorManagerTransform(AtNode* color_manager, AtString color_space, bool is_output,
                                    bool dither, const AtVector2* pixel, AtRGBA* rgba,
                                    AtRGB* rgb = nullptr, float* channel = nullptr,
                                    void* reserved = nullptr);
