// The vantrop node type: its own parameter table, the depth AOV, and bucket streaming.

#include "bucket_streaming.h"
#include "driver_frame.h"

namespace node_type {
namespace {

// The inference group of vantrop: its own model parameter and file suffix, no modelName
// and no color_space.
void declare_depth_inference_params(AtList* params) {
    AiNodeParamBool(params, -1, "enableInference", true);
    AiNodeParamStr(params, -1, "fileSuffix", AtString("_sd"));
    AiNodeParamStr(params, -1, "vantropModelName",
                   AtString("stabilityai/stable-diffusion-2-depth"));
    korvane::declare_prompt_params(params);
}

// Strength of the depth-guided generation, and the depth range of the Z blocks.
void declare_depth_params(AtList* params) {
    AiNodeParamFlt(params, -1, "strength", 0.8f);
    AiNodeParamFlt(params, -1, "minDepth", 10.0f);
    AiNodeParamFlt(params, -1, "maxDepth", 0.0f);
}

}  // namespace

// bgColor is deliberately not declared: it is read as a user parameter of the node, and a
// node without one composites over black.
void declare_parameters(AtList* params) {
    declare_depth_inference_params(params);
    korvane::declare_inpainting_params(params);
    korvane::declare_upscale_params(params);
    declare_depth_params(params);
    korvane::declare_alpha_params(params);
    korvane::declare_output_params(params);
}

void initialize(AtNode* node) {
    AiAOVRegister("Z", AI_TYPE_FLOAT, AI_AOV_BLEND_NONE);  // a clash is no reason to stop
    AiDriverInitialize(node, false);
}

void write_bucket(AtNode* node, AtOutputIterator* iterator, AtAOVSampleIterator* sample_iterator,
                  int bucket_xo, int bucket_yo, int bucket_size_x, int bucket_size_y) {
    korvane::send_bucket(node, iterator, sample_iterator, bucket_xo, bucket_yo, bucket_size_x,
                         bucket_size_y);
}

void reset_render_state() { korvane::bucket_index.store(0); }

}  // namespace node_type
