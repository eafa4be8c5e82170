#pragma once
// Pure arithmetic of the render-start message.

#include <cstdint>

namespace korvane {

// Bytes per pixel sent to Python: an alpha byte unless alphaMode is "none" (index 0).
inline int channels_for_alpha_mode(int alpha_mode) { return alpha_mode != 0 ? 4 : 3; }

// Width or height of an inclusive window side, in 64 bits: up to 2^32 pixels for the widest
// window that int bounds allow.
inline int64_t window_extent(int min, int max) { return int64_t{max} - min + 1; }

// A region render is one whose data window differs in size (not position) from the resolution.
inline bool is_region(int64_t width, int64_t height, int xres, int yres) {
    return width != xres || height != yres;
}

// Number of buckets of side bucket_size that cover one side of extent pixels (a window's
// columns or rows of buckets): up to 2^32; 0 for an empty side or a bucket size that is not
// positive. A window's bucket count is columns x rows, which can reach 2^64 and so does not
// fit 64 bits: the render-start message forms that product as a Python int.
inline int64_t covering_buckets(int64_t extent, int bucket_size) {
    if (extent <= 0 || bucket_size <= 0) return 0;
    return (extent + bucket_size - 1) / bucket_size;
}

}  // namespace korvane
