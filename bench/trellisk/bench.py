"""Times trellisk ADD and REMOVE on maya.env files of 1 to 100,000 lines
(about 100 bytes a line, so 50,000 lines is about 5 MB). Each run starts from a
fresh copy of the file. Figures: the median wall time of the whole process,
and its median CPU time (user + system), which a busy machine disturbs less.
"""
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

RUNS = 9
SIZES = [1, 12_500, 25_000, 50_000, 100_000]  # 1: the fixed cost of a run
TARGET_MS = 100.0


def make_file(path, lines):
    """Module-style lines, one TOOLS_PATH line of 20 values in the middle."""
    filler = "MAYA_SCRIPT_PATH_%06d=C:/Users/artist/Documents/maya/scripts/studio/tools/%06d;D:/share\n"
    body = [filler % (i, i) for i in range(lines - 1)]
    values = ";".join("D:/pipeline/tools/v%02d" % i for i in range(20))
    body.insert(lines // 2, "TOOLS_PATH=%s;\n" % values)
    path.write_text("".join(body))


def cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def time_run(exe, home, original, env_file, args):
    """Median wall and CPU milliseconds of RUNS runs."""
    wall, cpu = [], []
    for _ in range(RUNS):
        shutil.copyfile(original, env_file)
        cpu_start, start = cpu_seconds(), time.perf_counter()
        done = subprocess.run([exe, *args], env=dict(os.environ, USERPROFILE=str(home)),
                              stdout=subprocess.DEVNULL)
        wall.append((time.perf_counter() - start) * 1000.0)
        cpu.append((cpu_seconds() - cpu_start) * 1000.0)
        if done.returncode != 0:
            sys.exit("trellisk failed: %s" % args)
    return statistics.median(wall), statistics.median(cpu)


def main():
    exe = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        home = Path(tmp)
        folder = home / "Documents" / "maya" / "2024"
        folder.mkdir(parents=True)
        env_file = folder / "maya.env"
        print("%8s %6s | %8s %8s | %10s %10s | %s" % ("lines", "MB", "ADD ms", "CPU ms", "REMOVE ms",
                                                      "CPU ms", "ADD CPU us/line above fixed cost"))
        results = {}
        fixed_cpu = None
        for lines in SIZES:
            original = home / ("original-%d.env" % lines)
            make_file(original, lines)
            add = time_run(exe, home, original, env_file,
                           ["-add", "2024", "TOOLS_PATH", "E:/new/tools"])
            remove = time_run(exe, home, original, env_file,
                              ["-remove", "2024", "TOOLS_PATH", "d:\\PIPELINE\\tools\\v07\\"])
            results[lines] = (add[0], remove[0])
            if fixed_cpu is None:
                fixed_cpu = add[1]
            per_line = "%.2f" % ((add[1] - fixed_cpu) * 1000.0 / (lines - 1)) if lines > 1 else "-"
            print("%8d %6.2f | %8.1f %8.1f | %10.1f %10.1f | %s" % (
                lines, original.stat().st_size / 1e6, *add, *remove, per_line))
        add, remove = results[50_000]
        verdict = "met" if max(add, remove) < TARGET_MS else "MISSED"
        print("50,000 lines: ADD %.1f ms, REMOVE %.1f ms wall (target under %.0f ms: %s)"
              % (add, remove, TARGET_MS, verdict))


if __name__ == "__main__":
    main()
