// Colour management and quantisation. Both are pure functions of their
// arguments, so they are safe on any thread and tests can compute the bytes.

#include <cmath>

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

// "sRGB" encodes (output) or decodes (input) r, g, b with the standard
// piecewise curve; "linear" leaves them. Alpha is never touched; the pixel
// position and the dither flag do not change the result. Unknown space or a
// node that is no colour manager: the colour is left and the answer is false.
AI_API bool AiColorManagerTransform(AtNode* color_manager, AtString color_space, bool is_output,
                                    bool /*dither*/, const AtVector2* /*pixel*/, AtRGBA* rgba,
                                    AtRGB* rgb, float* channel, void* /*reserved*/)
{
    if (!is_manager(color_manager) || standin::failing("AiColorManagerTransform"))
        return false;
    // Interned once: the transform runs for every pixel.
    static const AtString linear(kLinearSpace), srgb(kSrgbSpace);
    if (color_space == linear)
        return true;
    if (color_space != srgb)
        return false;
    float (*curve)(float) = is_output ? linear_to_srgb : srgb_to_linear;
    if (rgba) {
        rgba->r = curve(rgba->r);
        rgba->g = curve(rgba->g);
        rgba->b = curve(rgba->b);
    }
    if (rgb) {
        rgb->r = curve(rgb->r);
        rgb->g = curve(rgb->g);
        rgb->b = curve(rgb->b);
    }
    if (channel)
        *channel = curve(*channel);
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
