// Colour management and quantisation. Both are pure functions of their arguments (a
// refused transform also logs a warning), so they are safe on any thread and tests can
// compute the bytes.

#include <cmath>
#include <cstdint>
#include <cstring>

#include "internal.h"

namespace {

constexpr const char* kSrgbSpace = "sRGB";
constexpr const char* kLinearSpace = "linear";

float linear_to_srgb(float c)
{
    if (c <= 0.0031308f)
        return 12.92f * c;
    return 1.055f * std::pow(c, 1.0f / 2.4f) - 0.055f;
}

float srgb_to_linear(float c)
{
    if (c <= 0.04045f)
        return c / 12.92f;
    return std::pow((c + 0.055f) / 1.055f, 2.4f);
}

// A null manager is the renderer's default one; any other node must be a
// colour manager.
bool is_manager(const AtNode* color_manager)
{
    return !color_manager || color_manager->kind == AI_NODE_COLOR_MANAGER;
}

// 4x4 ordered-dither (Bayer) thresholds; each channel reads the pattern at its
// own shift so that the channels do not band together.
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

float dither_offset(int x, int y, int channel)
{
    const int column = (x + channel) & 3;
    const int row = (y + 2 * channel) & 3;
    return (static_cast<float>(kBayer[row][column]) + 0.5f) / 16.0f - 0.5f;
}

float unchanged(float c)
{
    return c;
}

using Curve = float (*)(float);

// The curve that takes r, g and b into (output) or out of color_space; null for a space
// the manager does not know.
Curve curve_for(AtString color_space, bool is_output)
{
    // Interned once: drivers transform pixel by pixel.
    static const AtString linear(kLinearSpace), srgb(kSrgbSpace);
    if (color_space == linear)
        return unchanged;
    if (color_space == srgb)
        return is_output ? linear_to_srgb : srgb_to_linear;
    return nullptr;
}

// Pixels of a caller's buffer, from the first pixel of a region on. Channels are copied
// byte-wise: the strides need not keep floats aligned.
struct PixelBuffer {
    unsigned char* first = nullptr;
    size_t channels = 4;  // 3: RGB, alpha read as 1 and not written
    size_t x_stride = 0;
    size_t y_stride = 0;

    unsigned char* at(size_t column, size_t row) const
    {
        return first + column * x_stride + row * y_stride;
    }
    AtRGBA read(size_t column, size_t row) const
    {
        float c[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        std::memcpy(c, at(column, row), channels * sizeof(float));
        return {c[0], c[1], c[2], c[3]};
    }
    void write(size_t column, size_t row, const AtRGBA& pixel) const
    {
        const float c[4] = {pixel.r, pixel.g, pixel.b, pixel.a};
        std::memcpy(at(column, row), c, channels * sizeof(float));
    }
};

// A null layout is packed RGBA floats, rows of `width` pixels. False for a layout of
// other channel types.
bool describe(void* data, const AtChannelLayout* layout, size_t width, PixelBuffer& buffer)
{
    buffer.first = static_cast<unsigned char*>(data);
    if (!layout) {
        buffer.channels = 4;
        buffer.x_stride = sizeof(AtRGBA);
        buffer.y_stride = sizeof(AtRGBA) * width;
        return true;
    }
    if (layout->type != AI_TYPE_FLOAT ||
        (layout->channel_type != AI_TYPE_RGB && layout->channel_type != AI_TYPE_RGBA))
        return false;
    buffer.channels = layout->channel_type == AI_TYPE_RGBA ? 4 : 3;
    buffer.x_stride = layout->x_stride;
    buffer.y_stride = layout->y_stride;
    return true;
}

}  // namespace

AI_API void AiColorManagerGetDefaults(AtNode* color_manager, AtString& srgb_space,
                                      AtString& linear_space)
{
    if (!is_manager(color_manager)) {
        standin::log_to(color_manager->universe, ai_standin::SEVERITY_WARNING,
                        "%sAiColorManagerGetDefaults: node '%s' is not a colour manager",
                        standin::kOwnPrefix, color_manager->name.c_str());
        return;
    }
    srgb_space = AtString(kSrgbSpace);
    linear_space = AtString(kLinearSpace);
}

// "sRGB" encodes (output) or decodes (input) r, g, b with the standard piecewise curve;
// "linear" leaves them. Alpha is never touched, and the dither flag does not change float
// results. Unknown space or a node that is no colour manager: nothing is written and the
// answer is false.
AI_API bool AiColorManagerTransform(AtNode* color_manager, AtString color_space, bool is_output,
                                    bool /*dither*/, const AtBBox2* roi, void* src,
                                    const AtChannelLayout* src_layout, void* dst,
                                    const AtChannelLayout* dst_layout)
{
    if (!is_manager(color_manager) || standin::failing("AiColorManagerTransform"))
        return false;
    const Curve curve = curve_for(color_space, is_output);
    if (!curve)
        return false;
    const AtBBox2 region = roi ? *roi : AtBBox2{0, 0, 0, 0};
    if (region.maxx < region.minx || region.maxy < region.miny)
        return true;  // an empty region: nothing to do
    const size_t width = size_t(int64_t(region.maxx) - region.minx + 1);
    const size_t height = size_t(int64_t(region.maxy) - region.miny + 1);
    PixelBuffer from, to;
    const char* refusal = nullptr;
    if (!src)
        refusal = "no source pixels";
    else if (!describe(src, src_layout, width, from) ||
             !describe(dst ? dst : src, dst ? dst_layout : src_layout, width, to))
        refusal = "only RGB and RGBA pixels of floats can be transformed";
    if (refusal) {
        standin::log_to(color_manager ? color_manager->universe : nullptr,
                        ai_standin::SEVERITY_WARNING, "%sAiColorManagerTransform: %s",
                        standin::kOwnPrefix, refusal);
        return false;
    }
    for (size_t row = 0; row < height; ++row) {
        for (size_t column = 0; column < width; ++column) {
            AtRGBA pixel = from.read(column, row);
            pixel.r = curve(pixel.r);
            pixel.g = curve(pixel.g);
            pixel.b = curve(pixel.b);
            to.write(column, row, pixel);
        }
    }
    return true;
}

AI_API uint8_t AiQuantize8bit(int x, int y, int channel, float value, bool dither)
{
    if (std::isnan(value))
        return 0;
    const float clamped = value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
    float scaled = clamped * 255.0f;
    if (dither)
        scaled += dither_offset(x, y, channel);
    const float rounded = std::floor(scaled + 0.5f);
    if (rounded <= 0.0f)
        return 0;
    if (rounded >= 255.0f)
        return 255;
    return static_cast<uint8_t>(rounded);
}
