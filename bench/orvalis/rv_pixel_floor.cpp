// The memory-bound floor of handing a 3840 x 2160 RGBA image to the Render View:
// fill an array of RV_PIXEL from the 8-bit pixels (no decode, no flip) and copy it
// once, as the Render View does. Both arrays are mapped and touched before the
// clock starts, so only the memory traffic is timed, not the page faults of fresh
// memory. Prints the best of several runs in milliseconds.
#include <maya/MRenderView.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kPixels = std::size_t{3840} * 2160;

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void fill(std::vector<RV_PIXEL>& out, const std::vector<std::uint8_t>& image) {
    const std::uint8_t* src = image.data();
    for (std::size_t i = 0; i < kPixels; ++i, src += 4)
        out[i] = RV_PIXEL{float(src[0]), float(src[1]), float(src[2]), float(src[3])};
}

}  // namespace

int main() {
    std::vector<std::uint8_t> image(kPixels * 4);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = std::uint8_t(i * 2654435761u >> 24);
    std::vector<RV_PIXEL> filled(kPixels), copy(kPixels);

    double best_fill_copy = 1e30, best_fill = 1e30;
    for (int run = 0; run < 7; ++run) {
        Clock::time_point start = Clock::now();
        fill(filled, image);
        std::memcpy(copy.data(), filled.data(), kPixels * sizeof(RV_PIXEL));
        best_fill_copy = std::min(best_fill_copy, ms_since(start));

        start = Clock::now();
        fill(filled, image);
        best_fill = std::min(best_fill, ms_since(start));
    }
    std::printf("floor_fill_copy_ms %.2f\nfloor_fill_ms %.2f\n", best_fill_copy, best_fill);
    return copy[kPixels / 2].r < 0.0f;  // keeps the work observable
}
