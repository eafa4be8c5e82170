#pragma once
// Colour management (stand-in).

#include <cstddef>
#include <cstdint>

#include "ai_api.h"
#include "ai_bbox.h"
#include "ai_nodes.h"

// How pixels lie in a caller's buffer: channel_type is the pixel type (AI_TYPE_RGB,
// AI_TYPE_RGBA), type the type of one channel (AI_TYPE_FLOAT), and the strides are the
// bytes from one pixel to the next in a row and from one row to the next.
struct AtChannelLayout {
    AtChannelLayout(uint8_t ct, uint8_t t, size_t x, size_t y)
        : channel_type(ct), type(t), x_stride(x), y_stride(y)
    {
    }
    uint8_t channel_type;
    uint8_t type;
    size_t x_stride;
    size_t y_stride;
};

// Default colour space names of a colour manager (null: the renderer's default
// manager). Both outputs are left as they are when the manager has no such space.
AI_API void AiColorManagerGetDefaults(AtNode* color_manager, AtString& srgb_space,
                                      AtString& linear_space);

// Transforms the pixels of the region roi (inclusive image coordinates) held at src, in
// place or into dst. With is_output true the transform goes from the rendering space to
// color_space (the output transform); otherwise from color_space to the rendering space.
// src and dst point at the region's first pixel; a null layout means packed RGBA floats,
// a null roi one pixel, a null dst the transform in place. False, with nothing written,
// for an unknown space, a node that is no colour manager or a layout the renderer cannot
// read.
AI_API bool AiColorManagerTransform(AtNode* color_manager, AtString color_space,
                                    bool is_output = true, bool dither = false,
                                    const AtBBox2* roi = NULL, void* src = NULL,
                                    const AtChannelLayout* src_layout = NULL, void* dst = NULL,
                                    const AtChannelLayout* dst_layout = NULL);
