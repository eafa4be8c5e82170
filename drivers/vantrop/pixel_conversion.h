#pragma once
// Per-pixel arithmetic of vantrop's bucket streaming: which outputs are sent, how a sample
// is read, and the depth and normal encodings. Pure functions, inlined into the bucket loop.

#include <ai.h>

#include <cmath>
#include <cstddef>
#include <cstring>

namespace korvane {

// Kind code sent with each block; the codes do not follow the order of the name tests.
enum BucketKind : unsigned { kNotSent = 0, kBeauty = 1, kNormals = 2, kDepth = 3 };

// Chosen from the whole output name, with case.
inline BucketKind bucket_kind_of(const char* output_name) {
    if (output_name == nullptr) return kNotSent;
    if (std::strcmp(output_name, "RGBA") == 0) return kBeauty;
    if (std::strcmp(output_name, "Z") == 0) return kDepth;
    if (std::strcmp(output_name, "N") == 0) return kNormals;
    return kNotSent;
}

// One sample as the conversions see it: the working colour and the sample alpha. The alpha
// is also the fourth component handed to the colour transform.
struct Sample {
    float r, g, b;
    float alpha;
};

// Sample i of an output's bucket data. RGBA samples are composited over the background
// here, whatever the output's name; types that carry no colour read as black.
inline Sample read_sample(int pixel_type, const void* data, size_t i, const AtRGB& background) {
    if (data == nullptr) return {0.0f, 0.0f, 0.0f, 1.0f};
    switch (pixel_type) {
        case AI_TYPE_FLOAT: {
            const float v = static_cast<const float*>(data)[i];
            return {v, v, v, 1.0f};
        }
        case AI_TYPE_RGB: {
            const AtRGB& c = static_cast<const AtRGB*>(data)[i];
            return {c.r, c.g, c.b, 1.0f};
        }
        case AI_TYPE_RGBA: {
            const AtRGBA& c = static_cast<const AtRGBA*>(data)[i];
            const float rest = 1.0f - c.a;
            return {c.a * c.r + rest * background.r, c.a * c.g + rest * background.g,
                    c.a * c.b + rest * background.b, c.a};
        }
        case AI_TYPE_VECTOR: {
            const AtVector& v = static_cast<const AtVector*>(data)[i];
            return {v.x, v.y, v.z, 1.0f};
        }
        default:
            return {0.0f, 0.0f, 0.0f, 1.0f};
    }
}

// lo below lo, hi above hi, the value itself otherwise; NaN gives lo, so that no NaN
// reaches the quantiser.
inline float clamp_to(float value, float lo, float hi) {
    if (value > hi) return hi;
    return value >= lo ? value : lo;
}

// Depth mapped to 0..1 between minDepth (0) and maxDepth (1); with the defaults (10 and 0)
// near is white and far is black. An empty range keeps the formula's limits: depths above
// the common value give 1, the rest 0.
inline float normalized_depth(float depth, float min_depth, float max_depth) {
    if (max_depth == min_depth) return depth > min_depth ? 1.0f : 0.0f;
    return clamp_to((depth - min_depth) / (max_depth - min_depth), 0.0f, 1.0f);
}

inline float length_of(const AtVector& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// A direction scaled to length 1; a zero vector stays as it is.
inline AtVector unit_or_zero(const AtVector& v) {
    const float length = length_of(v);
    if (length == 0.0f) return v;
    return {v.x / length, v.y / length, v.z / length};
}

// A screen-space unit normal as a colour. Blue never falls below 0.5: normals facing away
// from the camera show as flat.
inline AtRGB normal_color(const AtVector& unit_normal) {
    return {clamp_to((unit_normal.x + 1.0f) * 0.5f, 0.0f, 1.0f),
            clamp_to((unit_normal.y + 1.0f) * 0.5f, 0.0f, 1.0f),
            clamp_to(0.5f - unit_normal.z * 0.5f, 0.5f, 1.0f)};
}

}  // namespace korvane
