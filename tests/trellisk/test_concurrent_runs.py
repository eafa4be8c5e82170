"""Many runs started together on one maya.env (two installers at once, a script
that adds values in parallel): every run that reports success has its change
in the file, and no line that was there before is lost."""
import os

import pytest

from conftest import LOCK, WINE, files_in, finish

wine = pytest.mark.wine
NAME = "TOOLS_PATH"
RUNS = 12 if WINE else 40  # a Wine process is heavy: fewer, but still together
KEPT = [b"KEEP_%02d=C:/keep/%02d" % (i, i) for i in range(50)]
VALUES = ["D:/tools/v%02d" % i for i in range(RUNS)]


def start_together(trellisk, runs):
    """Starts one process per argument list. Each waits, before it becomes the
    program, until all have been started; then all are released at once."""
    gate, release = os.pipe()
    # The shell reads its standard input, the gate, up to its end, which comes
    # when the write end is closed here; the children never hold it.
    wait_at_the_gate = ["/bin/sh", "-c", 'read _; exec "$@"', "gate"]
    try:
        processes = [trellisk.start(*args, wrapper=wait_at_the_gate, stdin=gate)
                     for args in runs]
    finally:
        os.close(release)
        os.close(gate)
    return [finish(p, timeout=300) for p in processes]


@pytest.mark.parametrize("before, mode, values_after, link", [
    # Each ADD puts its own value into the one line of the variable.
    pytest.param(KEPT, "-add", VALUES, False, id="add", marks=wine),
    pytest.param(None, "-add", VALUES, False, id="add-to-a-missing-file", marks=wine),
    # The run that creates the file behind a link and those that find it take turns.
    pytest.param(None, "-add", VALUES, True, id="add-through-a-link-to-a-missing-file"),
    # Each REMOVE takes its own value out; the value that nobody removes stays.
    pytest.param(KEPT[:25] + [(NAME + "=" + ";".join(VALUES + ["E:/stays"])).encode()]
                 + KEPT[25:], "-remove", ["E:/stays"], False, id="remove", marks=wine),
])
def test_runs_started_together_lose_nothing(trellisk, tmp_path, before, mode, values_after, link):
    folder = trellisk.version_dir()
    env = trellisk.env_file()
    if link:
        folder = tmp_path / "shared"
        folder.mkdir()
        env.symlink_to(folder / "real.env")
        env = folder / "real.env"
    if before is not None:
        env.write_bytes(b"\n".join(before) + b"\n")

    results = start_together(trellisk, [(mode, "2024", NAME, v) for v in VALUES])
    assert [r.status for r in results] == [0] * RUNS, [r.lines[-1] for r in results if r.status]
    if before is None:
        created = [r for r in results if "Maya env file doesn't exist, creating it" in r.lines]
        assert len(created) == 1

    *lines, end = env.read_bytes().replace(b"\r\n", b"\n").split(b"\n")
    assert end == b""
    variable = [line for line in lines if line.startswith(NAME.encode() + b"=")]
    assert [line for line in lines if line not in variable] == (KEPT if before else [])
    assert len(variable) == 1
    # The runs take turns in any order; each value is there exactly once.
    values = variable[0][len(NAME) + 1:].rstrip(b";").split(b";")
    assert sorted(values) == sorted(v.encode() for v in values_after)
    assert files_in(folder) == ([env.name, env.name + ".lock"] if link else ["maya.env", LOCK])
