// The parameters of the node types that declare the common table and nothing else.

#include "driver_frame.h"

namespace node_type {

void declare_parameters(AtList* params) {
    korvane::declare_inference_params(params);
    korvane::declare_inpainting_params(params);
    korvane::declare_upscale_params(params);
    korvane::declare_alpha_params(params);
    korvane::declare_output_params(params);
}

}  // namespace node_type
