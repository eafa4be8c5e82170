"""Benchmark of vantrop's bucket streaming into the sample receiver.

Streams a 1920x1080 render with the outputs "RGBA", "Z" and "N" at bucket size 64
through the renderer stand-in into examples/mtoa_callbacks.py, and reports:

- wall time and MPix/s (median of several renders);
- where the render's work goes: the driver's own loops, the stand-in's colour
  transform and quantiser, Python (the call pattern and the receiver), and the rest.
  Measured with callgrind on one render of the same frame: instruction counts, not
  seconds, but exact and repeatable. The render alone is counted: the process zeroes
  the counts when the render starts and dumps them when it ends (callgrind_marks.c);
- the cost of one Python call per output, the fresh import included: 1x1 buckets
  whose three outputs are sent to Python, against the same buckets with outputs
  that no kind matches, so that everything but the calls cancels out; and the
  sample receiver's own work on a full 64x64 block;
- the ratio of the render's time to a plain copy of the same float data.

Needs KORVANE_BUILD_DIR (the build with the plug-ins) and PYTHONPATH with
<build>/python and examples/.
"""

import argparse
import collections
import ctypes
import glob
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np

import arnold_standin as ai
import mtoa_callbacks
import scene

XRES, YRES, BUCKET_SIZE = 1920, 1080, 64
OUTPUT_TYPES = (("RGBA", ai.RGBA), ("Z", ai.FLOAT), ("N", ai.VECTOR))
# The stand-in's functions that the driver calls per pixel or per byte.
TRANSFORM_AND_QUANTISER = ("AiColorManagerTransform", "AiQuantize8bit", "AiM4VectorByMatrixMult")


def build_dir():
    path = os.environ.get("KORVANE_BUILD_DIR")
    if not path:
        sys.exit("stream_bench: set KORVANE_BUILD_DIR to the build with the plug-ins")
    return path


def make_frame(path=None):
    """The demo scene's outputs at full HD (cheap shading: this is about the drivers)."""
    if path and os.path.exists(path):
        data = np.load(path)
        return {k: data[k] for k in data.files}
    cheap = scene.Scene(spheres=scene.demo_scene().spheres, shadow_samples=2, supersampling=1)
    frame = scene.render(cheap, XRES, YRES)
    if path:
        np.savez(path, **frame)
    return frame


def outputs_of(frame):
    arrays = (frame["beauty"], frame["depth"], frame["normals"])
    return [(name, pixel_type, data) for (name, pixel_type), data in zip(OUTPUT_TYPES, arrays)]


def make_node():
    plugin = ai.load_plugin(os.path.join(build_dir(), "plugins", "vantrop.so"))
    universe = ai.Universe(xres=XRES, yres=YRES, camera="persp", color_manager=True)
    node = universe.create_driver(plugin, "benchDriver")
    node["alphaMode"] = "fromRGBA"
    node["bgColor"] = (0.30, 0.45, 0.70)
    node["minDepth"] = 14.0
    node["maxDepth"] = 3.0
    return universe, node


def best_and_median(run, repeats):
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        run()
        times.append(time.perf_counter() - start)
    return min(times), statistics.median(times)


def time_render(universe, node, outputs, threads, repeats):
    # The PNGs are the receiver's end-of-render work, not streaming: timed apart.
    finished = mtoa_callbacks.render_finished
    mtoa_callbacks.render_finished = lambda: None
    try:
        universe.render(node, outputs, bucket_size=BUCKET_SIZE, threads=threads)  # warm-up
        return best_and_median(
            lambda: universe.render(node, outputs, bucket_size=BUCKET_SIZE, threads=threads),
            repeats)
    finally:
        mtoa_callbacks.render_finished = finished


def time_png_writing(universe, node, outputs, threads):
    """Seconds the receiver's render_finished takes to write the three full-HD PNGs."""
    finished = mtoa_callbacks.render_finished
    seconds = []

    def timed():
        start = time.perf_counter()
        finished()
        seconds.append(time.perf_counter() - start)

    mtoa_callbacks.render_finished = timed
    try:
        universe.render(node, outputs, bucket_size=BUCKET_SIZE, threads=threads)
    finally:
        mtoa_callbacks.render_finished = finished
    return seconds[0]


def time_python_call(node, receiver, calls):
    """Seconds per receive_bucket call, from 1x1 buckets sent and not sent to Python.

    Outputs that no kind matches are neither converted nor sent, so the difference
    also holds the conversion of one pixel: the figure errs on the high side."""
    pixel = {"RGBA": np.full((1, 1, 4), 0.5, np.float32), "Z": np.full((1, 1), 5.0, np.float32),
             "N": np.array([[[0.0, 0.0, 1.0]]], np.float32)}
    sent = [(name, t, pixel[name]) for name, t in OUTPUT_TYPES]
    skipped = [(name.lower() + "_", t, pixel[name]) for name, t in OUTPUT_TYPES]
    original = mtoa_callbacks.receive_bucket
    mtoa_callbacks.receive_bucket = receiver
    try:
        node.open(data_window=(0, 0, XRES - 1, YRES - 1), bucket_size=BUCKET_SIZE)

        def burst(outputs):
            return lambda: [node.write_bucket(i % XRES, 0, 1, 1, outputs) for i in range(calls)]

        burst(sent)()  # warm-up: the receiver's frames are made on their first bucket
        with_calls = best_and_median(burst(sent), 5)[0]
        without = best_and_median(burst(skipped), 5)[0]
        node.close()
    finally:
        mtoa_callbacks.receive_bucket = original
    return max(with_calls - without, 0.0) / (calls * len(OUTPUT_TYPES))


def time_receiver_body(calls):
    """Seconds per direct call of the sample receiver with a full 64x64 RGBA block."""
    block = (ctypes.c_ubyte * (BUCKET_SIZE * BUCKET_SIZE * 4))()
    address = ctypes.addressof(block)
    columns = XRES // BUCKET_SIZE
    mtoa_callbacks.render_setup("x", "", XRES, YRES, 4, False, 0, 0, 0, XRES - 1, YRES - 1)
    receive = mtoa_callbacks.receive_bucket

    def burst():
        for i in range(calls):
            receive(i, (i % columns) * BUCKET_SIZE, (i // columns % 16) * BUCKET_SIZE,
                    BUCKET_SIZE, BUCKET_SIZE, 4, 1 + i % 3, address)
    best = best_and_median(burst, 3)[0]
    mtoa_callbacks.reset()
    return best / calls


def time_plain_copy(frame_outputs, repeats):
    sources = [data for _, _, data in frame_outputs]
    targets = [np.empty_like(a) for a in sources]

    def copy():
        for source, target in zip(sources, targets):
            np.copyto(target, source)
    copy()
    return best_and_median(copy, repeats)


# ---- Profile -------------------------------------------------------------------

def profile_child(frame_path, threads, marks_path):
    """Runs under callgrind: one render, counted alone."""
    marks = ctypes.CDLL(marks_path)
    frame_outputs = outputs_of(make_frame(frame_path))
    universe, node = make_node()
    mtoa_callbacks.render_finished = lambda: None
    universe.render(node, frame_outputs, bucket_size=BUCKET_SIZE, threads=threads)
    marks.korvane_profile_zero()
    universe.render(node, frame_outputs, bucket_size=BUCKET_SIZE, threads=threads)
    marks.korvane_profile_dump()


def read_callgrind(path):
    """Self costs per (object, function) and inclusive call costs per
    (caller object, caller function, callee object, callee function), in instructions."""
    names = {"ob": {}, "fn": {}}
    self_cost = collections.Counter()
    call_cost = collections.Counter()
    call_count = collections.Counter()
    ob = fn = cob = cfn = None
    pending_calls = None

    def name(kind, text):
        match = re.match(r"\((\d+)\)(?: (.*))?$", text)
        if not match:
            return text
        table = names["ob" if kind in ("ob", "cob") else "fn"]
        if match.group(2) is not None:
            table[match.group(1)] = match.group(2)
        return table[match.group(1)]

    with open(path) as f:
        for line in f:
            line = line.rstrip("\n")
            if not line:
                continue
            key, _, value = line.partition("=")
            if key in ("ob", "fn", "cob", "cfn") and value:
                resolved = name(key, value)
                if key == "ob":
                    ob = resolved
                elif key == "fn":
                    fn, cob = resolved, None
                elif key == "cob":
                    cob = resolved
                else:
                    cfn = resolved
                continue
            if key == "calls":
                pending_calls = int(value.split()[0])
                continue
            if not (line[0].isdigit() or line[0] in "+-*"):
                continue
            parts = line.split()
            cost = int(parts[1]) if len(parts) > 1 else 0
            if pending_calls is not None:
                edge = (ob, fn, cob or ob, cfn)
                call_cost[edge] += cost
                call_count[edge] += pending_calls
                pending_calls, cob = None, None
            else:
                self_cost[(ob, fn)] += cost
    return self_cost, call_cost, call_count


def profile_shares(path):
    self_cost, call_cost, call_count = read_callgrind(path)
    total = sum(self_cost.values())

    def is_driver(obj):
        return os.path.basename(obj or "").startswith("vantrop")

    def is_standin(obj):
        return os.path.basename(obj or "").startswith("libai.")

    driver_loops = sum(c for (obj, _), c in self_cost.items() if is_driver(obj))
    standin_pixels = python = python_calls = 0
    for (caller_ob, _, callee_ob, callee_fn), cost in call_cost.items():
        if not is_driver(caller_ob) or is_driver(callee_ob):
            continue
        if is_standin(callee_ob) and (callee_fn or "").split("(")[0] in TRANSFORM_AND_QUANTISER:
            standin_pixels += cost
        elif re.match(r"Py|_Py", callee_fn or ""):
            python += cost
            if (callee_fn or "").startswith("PyObject_CallObject"):
                python_calls += call_count[(caller_ob, _, callee_ob, callee_fn)]
    return {"total": total, "driver": driver_loops, "standin": standin_pixels,
            "python": python, "python_calls": python_calls,
            "rest": total - driver_loops - standin_pixels - python}


def run_profile(frame_path, threads):
    marks = os.path.join(build_dir(), "lib", "libkorvane_callgrind_marks.so")
    if not shutil.which("valgrind") or not os.path.exists(marks):
        return None, "valgrind or the callgrind marks library is missing: no profile"
    folder = tempfile.mkdtemp(prefix="korvane-callgrind-")
    try:
        command = ["valgrind", "--tool=callgrind",
                   "--callgrind-out-file=%s" % os.path.join(folder, "cg.out"),
                   sys.executable, os.path.abspath(__file__), "--profile-child", frame_path,
                   "--threads", str(threads), "--marks", marks]
        done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                              text=True)
        dumps = [p for p in glob.glob(os.path.join(folder, "cg.out*"))
                 if not p.endswith("cg.out")]
        if done.returncode != 0 or not dumps:
            return None, "callgrind run failed: %s" % done.stderr.strip()[-400:]
        return profile_shares(sorted(dumps)[0]), None
    finally:
        shutil.rmtree(folder, ignore_errors=True)


# ---- Report ----------------------------------------------------------------------

def report(rows):
    width = max(len(label) for label, _ in rows)
    for label, value in rows:
        print("  %-*s  %s" % (width, label, value))


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--threads", type=int, default=4)
    parser.add_argument("--repeats", type=int, default=7)
    parser.add_argument("--calls", type=int, default=20000, help="1x1 buckets per call burst")
    parser.add_argument("--no-profile", action="store_true", help="skip the callgrind run")
    parser.add_argument("--profile-child", metavar="FRAME", help=argparse.SUPPRESS)
    parser.add_argument("--marks", help=argparse.SUPPRESS)
    args = parser.parse_args(argv)
    if args.profile_child:
        profile_child(args.profile_child, args.threads, args.marks)
        return 0

    # The frame, and every picture that the receiver writes at a render's end (a render
    # closed by any of the measurements below), go to one folder, removed at the end.
    workdir = tempfile.mkdtemp(prefix="korvane-bench-")
    mtoa_callbacks.output_dir = os.path.join(workdir, "pictures")
    try:
        frame_path = os.path.join(workdir, "frame.npz")
        frame_outputs = outputs_of(make_frame(frame_path))
        universe, node = make_node()
        best, median = time_render(universe, node, frame_outputs, args.threads, args.repeats)
        copy_best, _ = time_plain_copy(frame_outputs, args.repeats)
        png = time_png_writing(universe, node, frame_outputs, args.threads)
        call_sample = time_python_call(node, mtoa_callbacks.receive_bucket, args.calls)
        call_empty = time_python_call(node, lambda *message: None, args.calls)
        body = time_receiver_body(args.calls)
        shares, problem = (None, "skipped") if args.no_profile else run_profile(
            frame_path, args.threads)
    finally:
        shutil.rmtree(workdir, ignore_errors=True)

    pixels = XRES * YRES
    buckets = -(-XRES // BUCKET_SIZE) * -(-YRES // BUCKET_SIZE)
    float_mb = sum(d.nbytes for _, _, d in frame_outputs) / 1e6
    print("vantrop streaming into the sample receiver: %dx%d, RGBA + Z + N, bucket size %d,"
          " %d threads, %d buckets, %d calls of receive_bucket"
          % (XRES, YRES, BUCKET_SIZE, args.threads, buckets, 3 * buckets))
    rows = [
        ("wall time, median of %d" % args.repeats, "%.1f ms (best %.1f ms)"
         % (median * 1e3, best * 1e3)),
        ("throughput", "%.1f MPix/s of frame (%.1f MPix/s of output pixels)"
         % (pixels / median / 1e6, 3 * pixels / median / 1e6)),
        ("plain copy of the float data", "%.2f ms for %.1f MB: the render takes %.0fx that"
         % (copy_best * 1e3, float_mb, median / copy_best)),
        ("Python call per output, 1x1 bucket", "%.2f us with an empty receiver, %.2f us with the"
         " sample one" % (call_empty * 1e6, call_sample * 1e6)),
        ("sample receiver, 64x64 RGBA block", "%.2f us a call (called from Python directly)"
         % (body * 1e6)),
        ("PNG writing at the render's end", "%.0f ms for the three pictures (not in the above)"
         % (png * 1e3)),
    ]
    report(rows)
    if shares is None:
        print("  profile: %s" % problem)
        return 0
    total = shares["total"]
    print("  where the render's instructions go (callgrind, %.2f G instructions):" % (total / 1e9))
    report([
        ("  driver's own loops (vantrop.so)", "%5.1f %%" % (100.0 * shares["driver"] / total)),
        ("  stand-in transform, quantiser, matrix", "%5.1f %%" % (100.0 * shares["standin"] / total)),
        ("  Python: call pattern and receiver", "%5.1f %%  (%.0f instructions a call)"
         % (100.0 * shares["python"] / total,
            shares["python"] / max(shares["python_calls"], 1))),
        ("  rest: stand-in host, log, libc", "%5.1f %%" % (100.0 * shares["rest"] / total)),
    ])
    return 0


if __name__ == "__main__":
    sys.exit(main())
