// The mirelle parameter table: the common groups with three parameters of its own between
// the inpainting and the upscale group.

#include "driver_frame.h"

namespace node_type {
namespace {

void declare_normal_generation_params(AtList* params) {
    AiNodeParamFlt(params, -1, "strength", 0.5f);
    AiNodeParamStr(params, -1, "normalGenerationModel", AtString("deepbump256"));
    AiNodeParamBool(params, -1, "generateNormals", true);
}

}  // namespace

void declare_parameters(AtList* params) {
    korvane::declare_inference_params(params);
    korvane::declare_inpainting_params(params);
    declare_normal_generation_params(params);
    korvane::declare_upscale_params(params);
    korvane::declare_alpha_params(params);
    korvane::declare_output_params(params);
}

}  // namespace node_type
