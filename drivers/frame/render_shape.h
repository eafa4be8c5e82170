#pragma once
// Pure arithmetic of the render-start message.

#include <cstdint>

namespace korvane {

// Bytes per pixel sent to Python: an alpha byte unless alphaMode is "none" (index 0).
inline int channels_for_alpha_mode(int alpha_mode) { return alpha_mode != 0 ? 4 : 3; }

// Width or height of an inclusive window side, widened so that extreme bounds cannot overflow.
inline int64_t window_extent(int min, int max) { return int64_t{max} - min + 1; }

// A region render is one whose data window differs in size (not position) from the resolution.
inline bool is_region(int64_t width, int64_t height, int xres, int yres) {
    return width != xres || height != yres;
}

// Number of buckets of side bucket_size that cover a width x height window; 0 for an empty
// window or a bucket size that is not positive.
inline int64_t covering_bucket_count(int64_t width, int64_t height, int bucket_size) {
    if (width <= 0 || height <= 0 || bucket_size <= 0) return 0;
    const int64_t columns = (width + bucket_size - 1) / bucket_size;
    const int64_t rows = (height + bucket_size - 1) / bucket_size;
    return columns * rows;
}

}  // namespace korvane
