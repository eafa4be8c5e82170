#include "bucket_streaming.h"

#include "python_call.h"  // Python.h comes first

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "driver_frame.h"
#include "log_text.h"
#include "pixel_conversion.h"

namespace korvane {

std::atomic<uint32_t> bucket_index{0};

namespace {

// What every output of one bucket is converted with, read once per bucket.
struct BucketSettings {
    int channels;
    float min_depth;
    float max_depth;
    AtRGB background;
    AtMatrix world_to_screen;
    AtNode* color_manager;  // null: the renderer's default manager
    AtString color_space;
};

// Where a bucket lies in the image.
struct BucketArea {
    int xo, yo, size_x, size_y;
    size_t pixel_count() const {
        return size_x > 0 && size_y > 0 ? size_t(size_x) * size_t(size_y) : 0;
    }
};

BucketSettings read_settings(AtNode* node) {
    static const AtString min_depth("minDepth"), max_depth("maxDepth"), bg_color("bgColor"),
        color_manager("color_manager");

    BucketSettings settings{};
    settings.channels = node_channels(node);

    // A failed query leaves the identity: normals then pass untransformed.
    AtMatrix world_to_camera = AiM4Identity();
    settings.world_to_screen = AiM4Identity();
    AiDriverGetMatrices(world_to_camera, settings.world_to_screen);

    settings.min_depth = AiNodeGetFlt(node, min_depth);
    settings.max_depth = AiNodeGetFlt(node, max_depth);
    settings.background = AiNodeGetRGB(node, bg_color);

    const AtNode* options = AiUniverseGetOptions(AiNodeGetUniverse(node));
    settings.color_manager = static_cast<AtNode*>(AiNodeGetPtr(options, color_manager));
    AtString srgb, linear;
    AiColorManagerGetDefaults(settings.color_manager, srgb, linear);
    settings.color_space = srgb.empty() ? linear : srgb;
    return settings;
}

// Bytes of the block, at least one so that an empty bucket still sends a valid address;
// 0 when the size does not fit in the address range.
size_t block_size(const BucketArea& area, int channels) {
    const size_t pixels = area.pixel_count();
    if (pixels > std::numeric_limits<size_t>::max() / size_t(channels)) return 0;
    return std::max<size_t>(pixels * size_t(channels), 1);
}

AtRGB beauty_color(const Sample& s, const BucketSettings& settings) {
    AtRGBA pixel{s.r, s.g, s.b, s.alpha};
    AiColorManagerTransform(settings.color_manager, settings.color_space, true, true, nullptr,
                            &pixel, nullptr, nullptr, nullptr);
    return {pixel.r, pixel.g, pixel.b};
}

AtRGB depth_color(const Sample& s, const BucketSettings& settings) {
    return {normalized_depth(s.r, settings.min_depth, settings.max_depth),
            normalized_depth(s.g, settings.min_depth, settings.max_depth),
            normalized_depth(s.b, settings.min_depth, settings.max_depth)};
}

// A zero normal (no surface) shows the background, unconverted.
AtRGB normals_color(const Sample& s, const BucketSettings& settings) {
    const AtVector normal{s.r, s.g, s.b};
    if (length_of(normal) == 0.0f) return settings.background;
    return normal_color(unit_or_zero(AiM4VectorByMatrixMult(settings.world_to_screen, normal)));
}

// Fills the block with one output's pixels, top row first; the dither of each byte
// follows the pixel's image coordinates.
template <AtRGB (*convert)(const Sample&, const BucketSettings&)>
void write_block(const BucketArea& area, int pixel_type, const void* data,
                 const BucketSettings& settings, uint8_t* block) {
    const int channels = settings.channels;
    size_t i = 0;
    for (int row = 0; row < area.size_y; ++row) {
        const int y = area.yo + row;
        for (int column = 0; column < area.size_x; ++column, ++i) {
            const int x = area.xo + column;
            const Sample sample = read_sample(pixel_type, data, i, settings.background);
            const AtRGB color = convert(sample, settings);
            uint8_t* pixel = block + i * size_t(channels);
            pixel[0] = AiQuantize8bit(x, y, 0, color.r, true);
            pixel[1] = AiQuantize8bit(x, y, 1, color.g, true);
            pixel[2] = AiQuantize8bit(x, y, 2, color.b, true);
            if (channels == 4) pixel[3] = AiQuantize8bit(x, y, 3, sample.alpha, true);
        }
    }
}

void convert_output(BucketKind kind, const BucketArea& area, int pixel_type, const void* data,
                    const BucketSettings& settings, uint8_t* block) {
    switch (kind) {
        case kBeauty:
            return write_block<beauty_color>(area, pixel_type, data, settings, block);
        case kDepth:
            return write_block<depth_color>(area, pixel_type, data, settings, block);
        case kNormals:
            return write_block<normals_color>(area, pixel_type, data, settings, block);
        case kNotSent:
            return;
    }
}

void send_block(uint32_t number, const BucketArea& area, int channels, BucketKind kind,
                const uint8_t* block) {
    call_mtoa_callback("receive_bucket", [&] {
        return pack_new_references(
            PyLong_FromUnsignedLong(number), PyLong_FromLong(area.xo), PyLong_FromLong(area.yo),
            PyLong_FromLong(area.size_x), PyLong_FromLong(area.size_y),
            PyLong_FromUnsignedLong(unsigned(channels)), PyLong_FromUnsignedLong(kind),
            PyLong_FromVoidPtr(const_cast<uint8_t*>(block)));
    });
}

}  // namespace

void send_bucket(AtNode* node, AtOutputIterator* iterator, AtAOVSampleIterator* /*samples*/,
                 int bucket_xo, int bucket_yo, int bucket_size_x, int bucket_size_y) {
    // One number per bucket, taken once: concurrent calls never share or skip one.
    const uint32_t number = bucket_index.fetch_add(1);
    const BucketArea area{bucket_xo, bucket_yo, bucket_size_x, bucket_size_y};
    AiMsgInfo(KORVANE_LOG_PREFIX "driver_write_bucket");
    const BucketSettings settings = read_settings(node);

    const size_t size = block_size(area, settings.channels);
    auto* block = static_cast<uint8_t*>(size != 0 ? AiMalloc(size) : nullptr);
    if (block == nullptr) {
        AiMsgError(KORVANE_ERROR_FORMAT, "Could not allocate bucket buffer");
        return;
    }

    AtString name;
    int pixel_type = 0;
    const void* data = nullptr;
    while (AiOutputIteratorGetNext(iterator, &name, &pixel_type, &data)) {
        const BucketKind kind = bucket_kind_of(name.c_str());
        if (kind == kNotSent) continue;
        convert_output(kind, area, pixel_type, data, settings, block);
        send_block(number, area, settings.channels, kind, block);
    }
    AiFree(block);
}

}  // namespace korvane
