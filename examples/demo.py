"""Renders the built-in scene through the four korvane drivers with the sample receiver.

    PYTHONPATH=build/release/python:examples python3 examples/demo.py \\
        --plugins build/release/plugins [--out demo-output]

The scene (examples/scene.py) gives the renderer's outputs: "RGBA" (beauty and alpha),
"Z" (depth) and "N" (world-space normals). Each driver renders them once in the
renderer stand-in; `mtoa_callbacks` receives the render start, `vantrop`'s buckets and
the render end, and writes vantrop's beauty, depth and normals as PNG into --out.
"""

import argparse
import os
import sys
import time

import mtoa_callbacks
import scene

DRIVERS = ("diffusion", "vantrop", "panorama", "mirelle")
REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# A soft blue, shown where the beauty is transparent and where no normal was hit.
BACKGROUND = (0.30, 0.45, 0.70)
CAMERA_FOV = 54.43
CAMERA_EYE = (0.0, 0.9, 0.6)
CAMERA_TARGET = (0.1, -0.55, -5.6)


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--plugins", default=os.path.join(REPO_ROOT, "build", "release", "plugins"),
                        help="folder of the driver libraries (diffusion.so, vantrop.so, ...)")
    parser.add_argument("--out", default=os.path.join(REPO_ROOT, "demo-output"),
                        help="folder for the PNGs (default: demo-output/ at the repo root)")
    parser.add_argument("--width", type=int, default=640)
    parser.add_argument("--height", type=int, default=360)
    parser.add_argument("--bucket-size", type=int, default=32)
    parser.add_argument("--threads", type=int, default=4)
    parser.add_argument("--drivers", default=",".join(DRIVERS),
                        help="comma-separated node types to render (default: all four)")
    args = parser.parse_args(argv)
    for name in ("width", "height", "bucket_size", "threads"):
        if getattr(args, name) <= 0:
            parser.error("--%s must be positive" % name.replace("_", "-"))
    args.drivers = [d for d in args.drivers.split(",") if d]
    unknown = sorted(set(args.drivers) - set(DRIVERS))
    if unknown:
        parser.error("unknown driver(s): %s" % ", ".join(unknown))
    return args


def import_standin():
    try:
        import arnold_standin
    except ImportError as error:
        sys.exit("demo: cannot import arnold_standin (%s); build the project first "
                 "and put <build>/python on PYTHONPATH" % error)
    return arnold_standin


def camera_to_world():
    return scene.look_at(CAMERA_EYE, CAMERA_TARGET)


def make_universe(ai, width, height):
    """A universe whose camera is the one the scene is cast from, so that the driver's
    world-to-screen matrix turns the scene's normals as that camera sees them."""
    universe = ai.Universe(xres=width, yres=height, camera="persp", color_manager=True)
    universe.set_camera(matrix=camera_to_world(), fov=CAMERA_FOV)
    return universe


def setup_driver(node, node_type, depth_near, depth_far):
    node["alphaMode"] = "fromRGBA"
    if node_type == "vantrop":
        node["bgColor"] = BACKGROUND
        # The depth conversion maps minDepth to black and maxDepth to white, so the
        # far end goes in minDepth to show near things white.
        node["minDepth"] = depth_far
        node["maxDepth"] = depth_near


def render_driver(ai, args, node_type, outputs, depth_near, depth_far):
    """One render through one driver; returns what the host loaded, the receiver's
    summary, the time and the log's errors."""
    path = os.path.join(args.plugins, node_type + ".so")
    if not os.path.isfile(path):
        raise OSError("no driver library at %s" % path)
    plugin = ai.load_plugin(path)
    loaded = "node type %s, Arnold %s, %d parameters" % (
        plugin.name, plugin.version, len(plugin.parameters()))
    universe = make_universe(ai, args.width, args.height)
    node = universe.create_driver(plugin, node_type + "Driver")
    setup_driver(node, node_type, depth_near, depth_far)
    finished_before = len(mtoa_callbacks.summaries)
    start = time.perf_counter()
    universe.render(node, outputs, bucket_size=args.bucket_size, threads=args.threads)
    seconds = time.perf_counter() - start
    summary = (mtoa_callbacks.summaries[-1]
               if len(mtoa_callbacks.summaries) > finished_before else None)
    errors = [text for severity, text in universe.log if severity == "error"]
    return loaded, summary, seconds, errors


def scene_outputs(ai, width, height):
    """The scene rendered from the demo's camera, as the renderer's three outputs."""
    demo_scene = scene.demo_scene()
    frame = scene.render(demo_scene, width, height, CAMERA_FOV, camera_to_world())
    near, _ = scene.depth_range(frame["depth"])
    outputs = [("RGBA", ai.RGBA, frame["beauty"]),
               ("Z", ai.FLOAT, frame["depth"]),
               ("N", ai.VECTOR, frame["normals"])]
    return outputs, near, demo_scene.view_distance


def print_render(node_type, loaded, summary, seconds, errors):
    print("%s:" % node_type)
    print("  loaded: " + loaded)
    if summary is None or summary["render_start"] is None:
        print("  the receiver got no render start")
    else:
        start = summary["render_start"]
        print("  render_setup%r" % (tuple(start),))
        buckets = summary["buckets"]
        print("  buckets received: " + ", ".join("%s %d" % kv for kv in buckets.items())
              + " (bucket_count %d)" % start.bucket_count)
        files = summary["files"]
        print("  PNGs: " + (", ".join(os.path.basename(f) for f in files) if files
                            else "none (no bucket streamed)"))
    for line in errors:
        print("  log error: " + line)
    print("  time: %.1f ms" % (seconds * 1e3))


def main(argv=None):
    args = parse_args(argv)
    ai = import_standin()
    mtoa_callbacks.output_dir = os.path.abspath(args.out)

    print("korvane demo: %dx%d, bucket size %d, %d threads; PNGs to %s"
          % (args.width, args.height, args.bucket_size, args.threads, args.out))
    print("scene: ray casting the beauty, depth and normals ...", flush=True)
    start = time.perf_counter()
    outputs, near, far = scene_outputs(ai, args.width, args.height)
    scene_seconds = time.perf_counter() - start
    print("scene: ray cast in %.1f ms; depth shown white at %.2f, black at %.2f"
          % (scene_seconds * 1e3, near, far))

    failed = False
    for node_type in args.drivers:
        try:
            loaded, summary, seconds, errors = render_driver(ai, args, node_type, outputs,
                                                             near, far)
        except OSError as error:
            print("%s: cannot load the driver: %s" % (node_type, error))
            failed = True
            continue
        print_render(node_type, loaded, summary, seconds, errors)
        failed = failed or bool(errors) or summary is None
    print("total: %.2f s" % (time.perf_counter() - start))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
