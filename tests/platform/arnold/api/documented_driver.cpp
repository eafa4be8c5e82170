// A driver written the way the renderer's documentation writes one: its methods defined with
// the method macros and published with the driver exporter, its entry defined with
// node_loader, output names read as AtString. It only has to compile, warning-free.

#include <ai.h>

#include <cstdint>
#include <cstring>

static_assert(AI_TYPE_VECTOR2 == 0x09 && AI_TYPE_STRING == 0x0A && AI_TYPE_ENUM == 0x0F &&
                  AI_TYPE_CLOSURE == 0x10 && AI_TYPE_USHORT == 0x11 && AI_TYPE_HALF == 0x12,
              "type codes");
static_assert(ARNOLD_VERSION_NUM >= 70000, "an Arnold 7 version");

namespace {

const AtString kBeauty("RGBA");
const AtString kXres("xres"), kYres("yres"), kGain("gain"), kLabel("label"), kTint("tint");
const char* kModes[] = {"none", "some", nullptr};

}  // namespace

AI_DRIVER_NODE_EXPORT_METHODS(DocumentedDriverMtds)

node_parameters {
    (void)nentry;
    AiNodeParamBool(params, -1, "enabled", true);
    AiNodeParamInt(params, -1, "count", 3);
    AiNodeParamFlt(params, -1, "gain", 0.5f);
    AiNodeParamStr(params, -1, "label", AtString("hello"));
    AiNodeParamRGB(params, -1, "tint", 1.0f, 0.5f, 0.25f);
    AiNodeParamPtr(params, -1, "callback", nullptr);
    AiNodeParamEnum(params, -1, "mode", 0, kModes);
    AiParameterBool("visible", false);
    AiParameterInt("samples", 4);
    AiParameterFlt("exposure", 0.0f);
    AiParameterStr("filename", "out.raw");
    AiParameterRGB("background", 0.0f, 0.0f, 0.0f);
    AiParameterPtr("user_data", nullptr);
    AiParameterEnum("filter", 1, kModes);
}

node_initialize {
    (void)render_session;
    AiAOVRegister("Z", AI_TYPE_FLOAT);  // no blending unless asked
    AiAOVRegister("N", AI_TYPE_VECTOR, AI_AOV_BLEND_OPACITY);
    AiDriverInitialize(node, false);
}

node_update {
    (void)render_session;
    (void)node;
}

node_finish { (void)node; }

driver_supports_pixel_type {
    (void)node;
    return pixel_type == AI_TYPE_FLOAT || pixel_type == AI_TYPE_RGB || pixel_type == AI_TYPE_RGBA;
}

driver_extension {
    static const char* extensions[] = {"raw", nullptr};
    return extensions;
}

driver_open {
    (void)display_window;
    const AtNode* options = AiUniverseGetOptions(AiNodeGetUniverse(node));
    AiMsgInfo("%s: %d x %d, window %d %d %d %d, buckets of %d", AiNodeGetName(node),
              AiNodeGetInt(options, kXres), AiNodeGetInt(options, kYres), data_window.minx,
              data_window.miny, data_window.maxx, data_window.maxy, bucket_size);
    AtString name;
    int pixel_type = 0;
    while (AiOutputIteratorGetNext(iterator, &name, &pixel_type, nullptr)) {
        AiMsgInfo("output %s of type %d (%zu characters)", name.c_str(), pixel_type, name.length());
    }
    AiOutputIteratorReset(iterator);
}

driver_needs_bucket {
    (void)node;
    (void)tid;
    return bucket_size_x > 0 && bucket_size_y > 0 && bucket_xo >= 0 && bucket_yo >= 0;
}

driver_prepare_bucket {
    AiMsgInfo("%s: bucket %d %d %d %d on thread %d", AiNodeGetName(node), bucket_xo, bucket_yo,
              bucket_size_x, bucket_size_y, int{tid});
}

driver_process_bucket {
    (void)node;
    (void)iterator;
    (void)sample_iterator;
    (void)bucket_xo;
    (void)bucket_yo;
    (void)bucket_size_x;
    (void)bucket_size_y;
    (void)tid;
}

driver_write_bucket {
    (void)sample_iterator;
    const float gain = AiNodeGetFlt(node, kGain);
    const AtRGB tint = AiNodeGetRGB(node, kTint);
    AiMsgInfo("label %s", AiNodeGetStr(node, kLabel).c_str());
    AtMatrix world_to_camera, world_to_screen;
    if (!AiDriverGetMatrices(world_to_camera, world_to_screen)) world_to_screen = AiM4Identity();
    AtString srgb, linear;
    AiColorManagerGetDefaults(nullptr, srgb, linear);

    AtString name;
    int pixel_type = 0;
    const void* bucket_data = nullptr;
    while (AiOutputIteratorGetNext(iterator, &name, &pixel_type, &bucket_data)) {
        if (name != kBeauty || std::strcmp(name, "RGBA") != 0 || pixel_type != AI_TYPE_RGBA) {
            continue;
        }
        const auto* pixels = static_cast<const AtRGBA*>(bucket_data);
        const size_t count = size_t(bucket_size_x) * size_t(bucket_size_y);
        // The whole bucket at once, from the renderer's RGBA samples into RGB floats.
        const AtBBox2 roi{bucket_xo, bucket_yo, bucket_xo + bucket_size_x - 1,
                          bucket_yo + bucket_size_y - 1};
        const AtChannelLayout src_layout(AI_TYPE_RGBA, AI_TYPE_FLOAT, sizeof(AtRGBA),
                                         sizeof(AtRGBA) * size_t(bucket_size_x));
        const AtChannelLayout dst_layout(AI_TYPE_RGB, AI_TYPE_FLOAT, sizeof(AtRGB),
                                         sizeof(AtRGB) * size_t(bucket_size_x));
        auto* encoded = static_cast<AtRGB*>(AiMalloc(count * sizeof(AtRGB)));
        if (!AiColorManagerTransform(nullptr, srgb, true, false, &roi, const_cast<AtRGBA*>(pixels),
                                     &src_layout, encoded, &dst_layout)) {
            AiMsgWarning("bucket %d %d left unencoded: no %s space", bucket_xo, bucket_yo,
                         srgb.c_str());
        }
        if (count > 0) AiMsgDebug("first encoded red %f", double(encoded[0].r));
        AiFree(encoded);

        auto* bytes = static_cast<uint8_t*>(AiMalloc(count * 4));
        for (int j = 0; j < bucket_size_y; ++j) {
            for (int i = 0; i < bucket_size_x; ++i) {
                const size_t k = size_t(j) * size_t(bucket_size_x) + size_t(i);
                AtRGBA pixel = pixels[k];
                pixel.r *= gain * tint.r;
                // One pixel in place: no region, no layouts, no destination.
                AiColorManagerTransform(nullptr, srgb.empty() ? linear : srgb, true, true, NULL,
                                        &pixel, NULL, NULL, NULL);
                const AtVector n = AiM4VectorByMatrixMult(world_to_screen, AtVector{0, 0, 1});
                const float channels[4] = {pixel.r, pixel.g, pixel.b * n.z, pixel.a};
                for (int c = 0; c < 4; ++c) {
                    bytes[k * 4 + size_t(c)] =
                        AiQuantize8bit(bucket_xo + i, bucket_yo + j, c, channels[c], true);
                }
            }
        }
        AiFree(bytes);
    }
}

driver_close {
    (void)iterator;
    if (!node) {
        AiMsgFatal("%s: closed without a node", "documented_driver");
        return;
    }
    const int count = AiNodeGetInt(node, AtString("count"));
    if (count < 0) AiMsgError("%s: count %d is negative", AiNodeGetName(node), count);
}

node_loader {
    if (i > 0) return false;
    node->methods = DocumentedDriverMtds;
    node->output_type = AI_TYPE_NONE;
    node->name = "documented_driver";
    node->node_type = AI_NODE_DRIVER;
    std::strcpy(node->version, AI_VERSION);
    return true;
}
