"""Many runs started together on one maya.env (two installers at once, a script
that adds values in parallel): every run that reports success has its change
in the file, and no line that was there before is lost."""
import os
import stat

import pytest

from conftest import LOCK, NOBODY, WINE, as_nobody, files_in, finish

wine = pytest.mark.wine
NAME = "TOOLS_PATH"
RUNS = 12 if WINE else 40  # a Wine process is heavy: fewer, but still together
KEPT = [b"KEEP_%02d=C:/keep/%02d" % (i, i) for i in range(50)]
VALUES = ["D:/tools/v%02d" % i for i in range(RUNS)]


def assert_values(variable_lines, expected):
    """The runs take turns in any order; each value is there exactly once."""
    assert len(variable_lines) == 1
    values = variable_lines[0][len(NAME) + 1:].rstrip(b";").split(b";")
    assert sorted(values) == sorted(v.encode() for v in expected)


def start_together(trellisk, runs, **popen):
    """Starts one process per argument list (with the options `popen` of
    Trellisk.start). Each waits, before it becomes the program, until all have
    been started; then all are released at once."""
    gate, release = os.pipe()
    # The shell reads its standard input, the gate, up to its end, which comes
    # when the write end is closed here; the children never hold it.
    wait_at_the_gate = ["/bin/sh", "-c", 'read _; exec "$@"', "gate"]
    try:
        processes = [trellisk.start(*args, wrapper=wait_at_the_gate, stdin=gate, **popen)
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
    assert_values(variable, values_after)
    assert files_in(folder) == ([env.name, env.name + ".lock"] if link else ["maya.env", LOCK])


def owner_and_mode(path):
    info = os.stat(path)
    return info.st_uid, info.st_gid, stat.S_IMODE(info.st_mode)


@pytest.mark.parametrize("first", ["-add", "-remove"],
                         ids=["root-creates-the-file", "root-creates-the-lock-file"])
def test_files_that_a_run_with_root_rights_makes_stay_the_users(public_trellisk, first):
    """An installer started with sudo (umask 077) in a user's folder, then that
    user's runs, many at once (umask 077 too): what the root run created, the
    lock file and maya.env, belongs to the owner of the folder, the lock file
    can be opened by every run, and every run keeps its value."""
    t = public_trellisk
    folder = t.version_dir()
    for path in [t.home, *t.home.rglob("*")]:
        os.chown(path, NOBODY, NOBODY)
    env, lock = t.env_file(), folder / LOCK
    installer = "C:/installer"

    root = t.run(first, "2024", NAME, installer, umask=0o077)
    assert root.status == 0
    assert owner_and_mode(lock) == (NOBODY, NOBODY, 0o644)
    if first == "-add":
        assert owner_and_mode(env) == (NOBODY, NOBODY, 0o600)
    else:
        assert not env.exists()

    results = start_together(t, [("-add", "2024", NAME, v) for v in VALUES],
                             **as_nobody(umask=0o077))
    assert [r.status for r in results] == [0] * RUNS, [r.lines[-1] for r in results if r.status]
    lines = env.read_bytes().splitlines()
    assert_values(lines, VALUES + ([installer] if first == "-add" else []))
    assert owner_and_mode(env) == (NOBODY, NOBODY, 0o600)
    assert owner_and_mode(lock) == (NOBODY, NOBODY, 0o644)

    # A later rewrite with root rights keeps the owner and the mode.
    assert t.run("-remove", "2024", NAME, VALUES[0], umask=0o077).status == 0
    assert owner_and_mode(env) == (NOBODY, NOBODY, 0o600)
    assert files_in(folder) == ["maya.env", LOCK]


def test_a_run_without_root_rights_keeps_what_the_system_gives(public_trellisk):
    """The user's own run makes files of its own, with the permissions of any
    new file; only the lock file is readable by everyone, whatever the umask."""
    t = public_trellisk
    folder = t.version_dir()
    folder.chmod(0o777)  # root's folder, which the user may write into
    result = t.run("-add", "2024", NAME, "C:/a", **as_nobody(umask=0o077))
    assert result.status == 0
    assert owner_and_mode(t.env_file()) == (NOBODY, NOBODY, 0o600)
    assert owner_and_mode(folder / LOCK) == (NOBODY, NOBODY, 0o644)
