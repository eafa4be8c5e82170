// Window arithmetic of the render-start message.

#include "render_shape.h"

#include <gtest/gtest.h>

#include <climits>

namespace korvane {
namespace {

struct BucketCountCase {
    int64_t width, height;
    int bucket_size;
    int64_t expected;
};

class CoveringBucketCount : public testing::TestWithParam<BucketCountCase> {};

// Columns x rows; the windows here keep the product within 64 bits.
TEST_P(CoveringBucketCount, CountsTheBucketsThatCoverTheWindow) {
    const BucketCountCase& c = GetParam();
    EXPECT_EQ(covering_buckets(c.width, c.bucket_size) * covering_buckets(c.height, c.bucket_size),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, CoveringBucketCount,
    testing::Values(BucketCountCase{640, 100, 64, 20},   // the truncating formula gives 25
                    BucketCountCase{100, 100, 64, 4},    // ... and 3 here
                    BucketCountCase{640, 640, 64, 100},  // divisible: both agree
                    BucketCountCase{1, 1, 64, 1},
                    BucketCountCase{65, 64, 64, 2},
                    BucketCountCase{1920, 1080, 64, 510},
                    BucketCountCase{0, 10, 64, 0},       // empty or inverted windows
                    BucketCountCase{10, -3, 64, 0},
                    BucketCountCase{10, 10, 0, 0},       // bucket size must be positive
                    BucketCountCase{10, 10, -64, 0},
                    BucketCountCase{int64_t{INT_MAX} + 1, int64_t{INT_MAX} + 1, 1,
                                    (int64_t{INT_MAX} + 1) * (int64_t{INT_MAX} + 1)}));

// The widest side, 2^32 pixels, in buckets of 1, of 64 and of the largest int.
TEST(CoveringBuckets, OfTheWidestSideDoNotOverflow) {
    const int64_t widest = window_extent(INT_MIN, INT_MAX);
    EXPECT_EQ(covering_buckets(widest, 1), widest);
    EXPECT_EQ(covering_buckets(widest, 64), widest / 64);
    EXPECT_EQ(covering_buckets(widest, INT_MAX), 3);
}

TEST(WindowExtent, IsInclusiveAndDoesNotOverflow) {
    EXPECT_EQ(window_extent(0, 639), 640);
    EXPECT_EQ(window_extent(5, 5), 1);
    EXPECT_EQ(window_extent(INT_MIN, INT_MAX), int64_t{UINT32_MAX} + 1);
}

struct RegionCase {
    int minx, miny, maxx, maxy;
    bool expected;
};

class IsRegion : public testing::TestWithParam<RegionCase> {};

// Resolution 640 x 480: only the window's size counts, not its place.
TEST_P(IsRegion, ComparesTheWindowSizeWithTheResolution) {
    const RegionCase& c = GetParam();
    EXPECT_EQ(is_region(window_extent(c.minx, c.maxx), window_extent(c.miny, c.maxy), 640, 480),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(Windows, IsRegion,
                         testing::Values(RegionCase{0, 0, 639, 479, false},
                                         RegionCase{10, 20, 649, 499, false},  // moved
                                         RegionCase{0, 0, 319, 479, true},     // crop
                                         RegionCase{0, 0, 639, 239, true},
                                         RegionCase{-10, 0, 639, 479, true},   // overscan
                                         RegionCase{0, 0, 639, 480, true}));

}  // namespace
}  // namespace korvane
