// Per-pixel arithmetic of the bucket streaming: name tests, sample reading, depth and
// normal encodings.

#include "pixel_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace korvane {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(BucketKind, ComparesWholeNamesWithCase) {
    const struct {
        const char* name;
        BucketKind kind;
    } cases[] = {{"RGBA", kBeauty}, {"Z", kDepth},     {"N", kNormals},  {"rgba", kNotSent},
                 {"RGB", kNotSent}, {"RGBA1", kNotSent}, {"Z ", kNotSent}, {"ZZ", kNotSent},
                 {"N2", kNotSent},  {"n", kNotSent},     {"", kNotSent},   {nullptr, kNotSent}};
    for (const auto& c : cases) {
        EXPECT_EQ(bucket_kind_of(c.name), c.kind) << (c.name ? c.name : "(null)");
    }
    EXPECT_EQ(int{kBeauty}, 1);
    EXPECT_EQ(int{kNormals}, 2);
    EXPECT_EQ(int{kDepth}, 3);
}

void expect_sample(const Sample& actual, const Sample& expected, const std::string& what) {
    EXPECT_FLOAT_EQ(actual.r, expected.r) << what;
    EXPECT_FLOAT_EQ(actual.g, expected.g) << what;
    EXPECT_FLOAT_EQ(actual.b, expected.b) << what;
    EXPECT_FLOAT_EQ(actual.alpha, expected.alpha) << what;
}

TEST(ReadSample, ReadsEachPixelTypeAtItsIndex) {
    const AtRGB bg{0.2f, 0.4f, 0.6f};
    const float floats[] = {9.0f, 3.5f};
    const AtRGB rgbs[] = {{9, 9, 9}, {0.1f, 0.2f, 0.3f}};
    const AtVector vectors[] = {{9, 9, 9}, {-1.0f, 0.5f, 2.0f}};
    expect_sample(read_sample(AI_TYPE_FLOAT, floats, 1, bg), {3.5f, 3.5f, 3.5f, 1.0f}, "FLOAT");
    expect_sample(read_sample(AI_TYPE_RGB, rgbs, 1, bg), {0.1f, 0.2f, 0.3f, 1.0f}, "RGB");
    expect_sample(read_sample(AI_TYPE_VECTOR, vectors, 1, bg), {-1.0f, 0.5f, 2.0f, 1.0f},
                  "VECTOR");
}

TEST(ReadSample, CompositesRgbaOverTheBackground) {
    const AtRGB bg{0.2f, 0.4f, 0.6f};
    const AtRGBA pixels[] = {{1.0f, 1.0f, 1.0f, 0.0f},  // transparent: the background
                             {0.8f, 0.1f, 0.3f, 1.0f},  // opaque: its own colour
                             {1.0f, 0.0f, 0.5f, 0.5f}};
    expect_sample(read_sample(AI_TYPE_RGBA, pixels, 0, bg), {0.2f, 0.4f, 0.6f, 0.0f}, "a=0");
    expect_sample(read_sample(AI_TYPE_RGBA, pixels, 1, bg), {0.8f, 0.1f, 0.3f, 1.0f}, "a=1");
    expect_sample(read_sample(AI_TYPE_RGBA, pixels, 2, bg), {0.6f, 0.2f, 0.55f, 0.5f}, "a=.5");
}

TEST(ReadSample, OtherTypesAndMissingDataReadAsOpaqueBlack) {
    const float data[] = {1.0f, 1.0f, 1.0f, 1.0f};
    for (const int type : {AI_TYPE_BYTE, AI_TYPE_INT, AI_TYPE_VECTOR2, AI_TYPE_MATRIX, 255}) {
        expect_sample(read_sample(type, data, 0, {1, 1, 1}), {0, 0, 0, 1}, std::to_string(type));
    }
    expect_sample(read_sample(AI_TYPE_RGBA, nullptr, 0, {1, 1, 1}), {0, 0, 0, 1}, "null data");
}

TEST(NormalizedDepth, MapsTheDefaultRangeNearWhiteFarBlack) {
    const struct {
        float depth, expected;
    } cases[] = {{0.0f, 1.0f},  {5.0f, 0.5f}, {10.0f, 0.0f}, {20.0f, 0.0f},
                 {-1.0f, 1.0f}, {2.5f, 0.75f}, {kInf, 0.0f}, {-kInf, 1.0f}};
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(normalized_depth(c.depth, 10.0f, 0.0f), c.expected) << c.depth;
    }
    EXPECT_FLOAT_EQ(normalized_depth(3.0f, 2.0f, 6.0f), 0.25f);  // an ascending range
}

TEST(NormalizedDepth, NeverGivesNaN) {
    // An empty range keeps the limits of the division; the common value itself gives 0.
    EXPECT_EQ(normalized_depth(3.0f, 3.0f, 3.0f), 0.0f);
    EXPECT_EQ(normalized_depth(4.0f, 3.0f, 3.0f), 1.0f);
    EXPECT_EQ(normalized_depth(2.0f, 3.0f, 3.0f), 0.0f);
    EXPECT_EQ(normalized_depth(kNaN, 10.0f, 0.0f), 0.0f);
    EXPECT_EQ(normalized_depth(kInf, kInf, 0.0f), 0.0f);
}

TEST(ClampTo, KeepsValuesInsideAndMapsNaNToTheLowerBound) {
    EXPECT_EQ(clamp_to(-0.5f, 0.0f, 1.0f), 0.0f);
    EXPECT_EQ(clamp_to(0.25f, 0.0f, 1.0f), 0.25f);
    EXPECT_EQ(clamp_to(1.5f, 0.0f, 1.0f), 1.0f);
    EXPECT_EQ(clamp_to(kNaN, 0.5f, 1.0f), 0.5f);
}

TEST(NormalColor, MapsUnitNormalsWithBlueNeverBelowHalf) {
    const struct {
        AtVector normal;
        AtRGB expected;
    } cases[] = {{{0, 0, -1}, {0.5f, 0.5f, 1.0f}},  // facing the camera
                 {{0, 0, 1}, {0.5f, 0.5f, 0.5f}},   // facing away: blue held at 0.5
                 {{1, 0, 0}, {1.0f, 0.5f, 0.5f}},
                 {{-1, 0, 0}, {0.0f, 0.5f, 0.5f}},
                 {{0, 1, 0}, {0.5f, 1.0f, 0.5f}},
                 {{0, -1, 0}, {0.5f, 0.0f, 0.5f}}};
    for (const auto& c : cases) {
        const AtRGB color = normal_color(c.normal);
        EXPECT_FLOAT_EQ(color.r, c.expected.r);
        EXPECT_FLOAT_EQ(color.g, c.expected.g);
        EXPECT_FLOAT_EQ(color.b, c.expected.b);
    }
}

TEST(UnitOrZero, ScalesToLengthOneAndLeavesZeroAlone) {
    const AtVector unit = unit_or_zero({0.0f, 3.0f, -4.0f});
    EXPECT_FLOAT_EQ(unit.x, 0.0f);
    EXPECT_FLOAT_EQ(unit.y, 0.6f);
    EXPECT_FLOAT_EQ(unit.z, -0.8f);
    const AtVector zero = unit_or_zero({0.0f, 0.0f, 0.0f});
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);
}

}  // namespace
}  // namespace korvane
