// The parameter groups shared by the four node types. The drivers read back only alphaMode;
// the rest are settings of the generation step on the Python side.

#include "driver_frame.h"

namespace korvane {

const char* const upscaler_entries[] = {"none", "latent2x", "RealESRGAN", nullptr};
const char* const alpha_mode_entries[] = {"none", "fromRGBA", "dichotomousImageSeg", nullptr};
const char* const extension_entries[] = {"png", "tga", "jpeg", "tiff", "sgi", nullptr};

namespace {

// AiNodeParamEnum takes a mutable list by the renderer's signature; it only reads it.
const char** entries(const char* const* list) { return const_cast<const char**>(list); }

}  // namespace

void declare_inference_params(AtList* params) {
    AiNodeParamBool(params, -1, "enableInference", true);
    AiNodeParamStr(params, -1, "modelName", AtString("runwayml/stable-diffusion-v1-5"));
    declare_prompt_params(params);
    AiNodeParamStr(params, -1, "color_space", AtString("linear"));
}

void declare_prompt_params(AtList* params) {
    AiNodeParamStr(params, -1, "prompt", AtString("A painting of vindrel as a cat."));
    AiNodeParamStr(params, -1, "negativePrompt", AtString(""));
    AiNodeParamInt(params, -1, "inferenceSteps", 25);
    AiNodeParamFlt(params, -1, "guidance", 7.5f);
    AiNodeParamFlt(params, -1, "eta", 0.0f);
    AiNodeParamInt(params, -1, "seed", 0);
    AiNodeParamBool(params, -1, "useLora", false);
    AiNodeParamStr(params, -1, "loraModel", AtString(""));
    AiNodeParamFlt(params, -1, "loraWeight", 0.75f);
}

void declare_inpainting_params(AtList* params) {
    AiNodeParamStr(params, -1, "inpaintingModel", AtString("runwayml/stable-diffusion-inpainting"));
    AiNodeParamInt(params, -1, "blurRegion", 8);
}

void declare_upscale_params(AtList* params) {
    AiNodeParamEnum(params, -1, "upscaler", 0, entries(upscaler_entries));
    AiNodeParamInt(params, -1, "upscaleInferenceSteps", 50);
    AiNodeParamInt(params, -1, "upscaleSeed", 0);
    AiNodeParamStr(params, -1, "latentUpscalerModel",
                   AtString("stabilityai/sd-x2-latent-upscaler"));
    AiNodeParamStr(params, -1, "ESRGanModel", AtString("RealESRGAN_x2plus"));
    AiNodeParamBool(params, -1, "enhanceFaces", false);
    AiNodeParamStr(params, -1, "GPFGanModel", AtString("GFPGANv1.3"));
}

void declare_alpha_params(AtList* params) {
    AiNodeParamEnum(params, -1, "alphaMode", 0, entries(alpha_mode_entries));
    AiNodeParamStr(params, -1, "imageSegModelName", AtString("isnet"));
}

void declare_output_params(AtList* params) {
    AiNodeParamEnum(params, -1, "extension", 0, entries(extension_entries));
    AiNodeParamBool(params, -1, "saveOutputImage", false);
    AiNodeParamBool(params, -1, "saveLatents", false);
    AiNodeParamBool(params, -1, "savePasses", false);
    AiNodeParamBool(params, -1, "saveSettings", false);
}

}  // namespace korvane
