"""The parameter table of every node type: names, types, defaults (enumerations with their
entry lists) and declaration order, as declared and as a new node holds them."""

import struct

import pytest

import arnold_standin as ai
from conftest import DRIVERS


def f32(value):
    """The single-precision value a FLOAT default holds."""
    return struct.unpack("f", struct.pack("f", value))[0]


UPSCALER = (0, ["none", "latent2x", "RealESRGAN"])
ALPHA_MODE = (0, ["none", "fromRGBA", "dichotomousImageSeg"])
EXTENSION = (0, ["png", "tga", "jpeg", "tiff", "sgi"])

INFERENCE = [
    ("enableInference", "BOOL", True),
    ("modelName", "STRING", "runwayml/stable-diffusion-v1-5"),
    ("prompt", "STRING", "A painting of vindrel as a cat."),
    ("negativePrompt", "STRING", ""),
    ("inferenceSteps", "INT", 25),
    ("guidance", "FLOAT", 7.5),
    ("eta", "FLOAT", 0.0),
    ("seed", "INT", 0),
    ("useLora", "BOOL", False),
    ("loraModel", "STRING", ""),
    ("loraWeight", "FLOAT", 0.75),
    ("color_space", "STRING", "linear"),
]
INPAINTING = [
    ("inpaintingModel", "STRING", "runwayml/stable-diffusion-inpainting"),
    ("blurRegion", "INT", 8),
]
UPSCALE = [
    ("upscaler", "ENUM", UPSCALER),
    ("upscaleInferenceSteps", "INT", 50),
    ("upscaleSeed", "INT", 0),
    ("latentUpscalerModel", "STRING", "stabilityai/sd-x2-latent-upscaler"),
    ("ESRGanModel", "STRING", "RealESRGAN_x2plus"),
    ("enhanceFaces", "BOOL", False),
    ("GPFGanModel", "STRING", "GFPGANv1.3"),
]
ALPHA = [
    ("alphaMode", "ENUM", ALPHA_MODE),
    ("imageSegModelName", "STRING", "isnet"),
]
OUTPUT = [
    ("extension", "ENUM", EXTENSION),
    ("saveOutputImage", "BOOL", False),
    ("saveLatents", "BOOL", False),
    ("savePasses", "BOOL", False),
    ("saveSettings", "BOOL", False),
]
VANTROP_INFERENCE = (
    [INFERENCE[0],
     ("fileSuffix", "STRING", "_sd"),
     ("vantropModelName", "STRING", "stabilityai/stable-diffusion-2-depth")]
    + INFERENCE[2:11])
VANTROP_DEPTH = [
    ("strength", "FLOAT", f32(0.8)),
    ("minDepth", "FLOAT", 10.0),
    ("maxDepth", "FLOAT", 0.0),
]
MIRELLE_NORMALS = [
    ("strength", "FLOAT", 0.5),
    ("normalGenerationModel", "STRING", "deepbump256"),
    ("generateNormals", "BOOL", True),
]

COMMON = INFERENCE + INPAINTING + UPSCALE + ALPHA + OUTPUT
TABLES = {
    "diffusion": COMMON,
    "panorama": COMMON,
    "mirelle": INFERENCE + INPAINTING + MIRELLE_NORMALS + UPSCALE + ALPHA + OUTPUT,
    "vantrop": VANTROP_INFERENCE + INPAINTING + UPSCALE + VANTROP_DEPTH + ALPHA + OUTPUT,
}


@pytest.mark.parametrize("name", DRIVERS)
def test_declares_the_full_table_in_order(plugins, name):
    declared = plugins[name].parameters()
    assert [(n, t) for n, t, _ in declared] == [(n, t) for n, t, _ in TABLES[name]]
    for (param, kind, default), (_, _, expected) in zip(declared, TABLES[name]):
        # Exact comparison: FLOAT defaults against their single-precision values.
        assert default == expected and type(default) is type(expected), param


@pytest.mark.parametrize("name", DRIVERS)
def test_new_node_holds_the_defaults(plugins, name):
    universe = ai.Universe(xres=64, yres=64, camera="persp", color_manager=True)
    node = universe.create_driver(plugins[name], "aiDriver1")
    for param, kind, default in TABLES[name]:
        expected = default[1][default[0]] if kind == "ENUM" else default
        assert node[param] == expected, param
    assert "bgColor" not in node  # read by vantrop as a user parameter, declared by none


def test_vantrop_lacks_the_model_and_colour_space_of_the_others(plugins):
    names = {name: {p[0] for p in plugins[name].parameters()} for name in DRIVERS}
    assert not {"modelName", "color_space"} & names["vantrop"]
    for name in ("diffusion", "panorama", "mirelle"):
        assert not {"fileSuffix", "vantropModelName", "minDepth", "maxDepth"} & names[name]
