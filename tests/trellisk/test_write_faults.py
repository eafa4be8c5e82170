"""Failures of the file work: the original maya.env survives every one of them,
no temporary file is left behind, and the program says what failed.

Most failures are real ones: a maya.env that is a folder makes the read fail,
a file-size limit on the process (RLIMIT_FSIZE) makes the writes or the close
fail, an address-space limit makes memory run out, and an unprivileged user
meets a read-only folder or an unreadable file. The recorder of file calls
(call_log.c) makes the flush to the disk fail with ENOSPC, as a full disk
does, or kills the program there, as kill -9 or a power loss would."""
import os
import re
import resource
import signal
import stat
from pathlib import Path

import pytest

from conftest import LOCK, NOBODY, as_nobody, files_in, with_call_log

SANITIZED = os.environ.get("KORVANE_SANITIZE") == "1"


def file_size_limit(limit):
    def apply():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)  # fail the write, don't kill
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
    return dict(preexec_fn=apply, restore_signals=False)


def test_read_error_is_not_taken_for_the_end_of_the_file(trellisk):
    """/proc/self/mem is a regular file whose first page, of the program that
    reads it, is never mapped: it opens, and its read fails (EIO)."""
    folder = trellisk.version_dir()
    trellisk.env_file().symlink_to("/proc/self/mem")
    for mode in ["-add", "-remove"]:
        result = trellisk.run(mode, "2024", "X", "v")
        assert result.lines == trellisk.header(mode[1:].upper(), "X", "v") + [
            "Failed to read maya env file"]
        assert result.status == 1
    assert files_in(folder) == ["maya.env"]
    assert os.readlink(trellisk.env_file()) == "/proc/self/mem"


@pytest.mark.parametrize("before", [
    b"TOOLS_PATH=F:/a\n" + b"OTHER=1\n" * 20,     # fits the stream buffer: the flush fails
    b"TOOLS_PATH=F:/a\n" + b"OTHER=1\n" * 4000,   # larger: the write itself fails
], ids=["flush-fails", "write-fails"])
@pytest.mark.parametrize("mode", ["-add", "-remove"])
def test_failed_write_keeps_the_original(trellisk, before, mode):
    folder = trellisk.version_dir()
    trellisk.env_file().write_bytes(before)
    result = trellisk.run(mode, "2024", "TOOLS_PATH", "F:/a", **file_size_limit(64))
    assert result.lines[-1] == "Failed to write maya env file"
    assert result.status == 1
    assert trellisk.env_file().read_bytes() == before
    assert files_in(folder) == ["maya.env", LOCK]


def test_failed_write_of_a_created_file_leaves_no_file(trellisk):
    folder = trellisk.version_dir()
    result = trellisk.run("-add", "2024", "X", "v" * 100, **file_size_limit(64))
    assert result.lines[-2:] == ["Maya env file doesn't exist, creating it",
                                 "Failed to write maya env file"]
    assert result.status == 1
    assert files_in(folder) == [LOCK]


@pytest.mark.skipif(SANITIZED, reason="the sanitizer runtime needs a large address space")
def test_exhausted_memory_is_reported_as_an_error(trellisk):
    folder = trellisk.version_dir()
    line = b"OTHER=" + b"x" * 1000 + b"\n"
    before = line * (20 * 1024)  # about 20 MiB: more than the whole address space allowed
    trellisk.env_file().write_bytes(before)
    limit = 16 << 20

    result = trellisk.run("-add", "2024", "X", "v", preexec_fn=lambda: resource.setrlimit(
        resource.RLIMIT_AS, (limit, limit)))
    assert result.lines == trellisk.header("ADD", "X", "v")
    assert result.stderr == "Error: std::bad_alloc\n"
    assert result.status == 1
    assert files_in(folder) == ["maya.env", LOCK]
    assert trellisk.env_file().stat().st_size == len(before)


def test_permissions_of_the_file_are_kept(trellisk):
    trellisk.version_dir()
    trellisk.env_file().write_bytes(b"X=a\n")
    trellisk.env_file().chmod(0o640)
    assert trellisk.run("-add", "2024", "X", "b").status == 0
    assert stat.S_IMODE(trellisk.env_file().stat().st_mode) == 0o640


def test_owner_of_the_file_is_kept(trellisk):
    if os.geteuid() != 0:
        pytest.skip("needs root to give the file to another user")
    trellisk.version_dir()
    trellisk.env_file().write_bytes(b"X=a\n")
    os.chown(trellisk.env_file(), NOBODY, NOBODY)
    assert trellisk.run("-add", "2024", "X", "b").status == 0
    info = trellisk.env_file().stat()
    assert (info.st_uid, info.st_gid) == (NOBODY, NOBODY)


def flush_fails():
    return dict(env=with_call_log({"CALL_LOG_FSYNC": "fail"}))


@pytest.mark.parametrize("fault", [lambda: file_size_limit(16), flush_fails],
                         ids=["write", "flush"])
@pytest.mark.parametrize("before", [None, b"X=a\n"], ids=["missing", "existing"])
def test_a_failed_write_through_a_link_removes_only_what_the_run_made(trellisk, tmp_path, fault,
                                                                      before):
    """The user's link stays, and so does the file behind it, or its absence:
    the run removes its own temporary file and nothing else."""
    folder = trellisk.version_dir()
    real = tmp_path / "shared" / "real.env"
    real.parent.mkdir()
    if before is not None:
        real.write_bytes(before)
    trellisk.env_file().symlink_to(real)
    result = trellisk.run("-add", "2024", "X", "v" * 100, **fault())
    assert result.lines[-1] == "Failed to write maya env file"
    assert result.status == 1
    assert os.readlink(trellisk.env_file()) == str(real)
    assert files_in(folder) == ["maya.env"]
    if before is None:
        assert files_in(real.parent) == ["real.env.lock"]
    else:
        assert files_in(real.parent) == ["real.env", "real.env.lock"]
        assert real.read_bytes() == before


def make_lookalikes(folder: Path, outside: Path, link=True) -> list:
    """Names beside maya.env that a run must never remove: names that differ
    from those of its temporary files, and a folder and a link that have such
    a name. Returns the names."""
    names = ["maya.env.ABCDEF12.tmp", "maya.env.1234567.tmp", "maya.env.123456789.tmp",
             "maya.env.1234567g.tmp", "maya.env.12345678.tmp.bak", "maya.env.12345678.TMP",
             "maya.env12345678.tmp", "other.env.12345678.tmp"]
    for name in names:
        (folder / name).write_bytes(b"keep")
    outside.write_bytes(b"keep")
    (folder / "maya.env.0badf00d.tmp").mkdir()
    (folder / "maya.env.0badf00d.tmp" / "inside").write_bytes(b"keep")
    names.append("maya.env.0badf00d.tmp")
    if link:
        (folder / "maya.env.deadbeef.tmp").symlink_to(outside)
        names.append("maya.env.deadbeef.tmp")
    return names


@pytest.mark.wine
def test_leftover_temporary_files_are_removed_and_nothing_else(trellisk, tmp_path):
    """Wine shows a link as the file it leads to, so there no link stands
    among the look-alikes."""
    folder = trellisk.version_dir()
    trellisk.env_file().write_bytes(b"X=a\n")
    for name in ["maya.env.0123abcd.tmp", "maya.env.ffffffff.tmp"]:
        (folder / name).write_bytes(b"half")
    keep = make_lookalikes(folder, tmp_path / "outside", link=not trellisk.windows)
    result = trellisk.run("-add", "2024", "X", "b")
    assert result.status == 0
    assert files_in(folder) == sorted(keep + ["maya.env", LOCK])
    assert files_in(folder / "maya.env.0badf00d.tmp") == ["inside"]
    assert (tmp_path / "outside").read_bytes() == b"keep"


@pytest.mark.parametrize("before", [None, b"X=a\n"], ids=["creating", "rewriting"])
def test_the_next_run_removes_the_temporary_file_of_a_killed_run(trellisk, tmp_path, before):
    folder = trellisk.version_dir()
    env = trellisk.env_file()
    if before is not None:
        env.write_bytes(before)
    killed = trellisk.run("-add", "2024", "X", "b", env=with_call_log({"CALL_LOG_FSYNC": "kill"}))
    assert killed.status == -signal.SIGKILL
    left = [n for n in files_in(folder) if n not in ("maya.env", LOCK)]
    assert len(left) == 1 and re.fullmatch(r"maya\.env\.[0-9a-f]{8}\.tmp", left[0])
    # A killed creation leaves no maya.env, a killed rewrite the original.
    assert (env.read_bytes() if before else env.exists()) == (before or False)

    keep = make_lookalikes(folder, tmp_path / "outside")
    result = trellisk.run("-add", "2024", "X", "c")
    assert result.status == 0
    assert env.read_bytes() == (b"X=a;c\n" if before else b"X=c;")
    assert files_in(folder) == sorted(keep + ["maya.env", LOCK])
    assert (tmp_path / "outside").read_bytes() == b"keep"
    assert files_in(folder / "maya.env.0badf00d.tmp") == ["inside"]


def make_fifo(path):
    os.mkfifo(path)


def make_device(path):
    try:
        os.mknod(path, stat.S_IFCHR | 0o600, os.makedev(1, 3))  # as /dev/null
    except PermissionError:
        pytest.skip("no right to make a device here")


@pytest.mark.parametrize("make", [make_fifo, make_device, os.mkdir], ids=["fifo", "device",
                                                                           "folder"])
def test_a_lock_file_that_is_not_a_regular_file_is_not_used(trellisk, make):
    """The run neither blocks on it nor takes it for a lock; without a lock it
    removes no temporary file, since another run may be writing it."""
    folder = trellisk.version_dir()
    env = trellisk.env_file()
    env.write_bytes(b"X=a\n")
    make(folder / LOCK)
    (folder / "maya.env.0123abcd.tmp").write_bytes(b"half")
    result = trellisk.run("-add", "2024", "X", "b")  # the time-out of finish is a safety net
    assert result.status == 0
    assert env.read_bytes() == b"X=a;b\n"
    assert files_in(folder) == ["maya.env", "maya.env.0123abcd.tmp", LOCK]


def test_a_link_in_the_place_of_the_lock_file_is_not_followed(trellisk):
    """The link is neither followed nor replaced, so no file appears where it
    leads; the run goes on without the lock, as in a read-only folder."""
    folder = trellisk.version_dir()
    trellisk.env_file().write_bytes(b"X=a\n")
    elsewhere = trellisk.home / "elsewhere"
    (folder / LOCK).symlink_to(elsewhere)
    assert trellisk.run("-add", "2024", "X", "b").status == 0
    assert trellisk.env_file().read_bytes() == b"X=a;b\n"
    assert not elsewhere.exists() and (folder / LOCK).is_symlink()


@pytest.fixture
def unprivileged(public_trellisk):
    """A profile folder that the user `nobody` can reach, and a function that
    runs the program as that user (permission bits do not stop root)."""
    folder = public_trellisk.version_dir()

    def run(*args):
        return public_trellisk.run(*args, **as_nobody())
    yield folder, run


@pytest.mark.parametrize("file_mode, folder_mode, files", [
    # The file is writable, but nothing can be created beside it: the run goes
    # on without the lock file, and the temporary file fails as before.
    (0o666, 0o555, ["maya.env"]),
    # The file forbids writing, though the folder would allow the rename.
    (0o444, 0o777, ["maya.env", LOCK]),
], ids=["folder-without-room-for-the-temporary-file", "read-only-file-is-not-replaced"])
def test_a_file_that_may_not_be_rewritten_is_left_alone(unprivileged, file_mode, folder_mode,
                                                        files):
    folder, run = unprivileged
    env = folder / "maya.env"
    env.write_bytes(b"X=a\n")
    env.chmod(file_mode)
    folder.chmod(folder_mode)
    result = run("-add", "2024", "X", "b")
    assert result.lines[-1] == "Failed to open maya env file"
    assert result.status == 1
    assert env.read_bytes() == b"X=a\n"
    assert files_in(folder) == files


def test_unreadable_file(unprivileged):
    folder, run = unprivileged
    env = folder / "maya.env"
    env.write_bytes(b"X=a\n")
    env.chmod(0)
    result = run("-remove", "2024", "X", "a")
    assert result.lines[-2:] == ["Env var value: a", "Failed to open maya env file"]
    assert result.status == 1
    env.chmod(0o644)
    assert env.read_bytes() == b"X=a\n"
    assert files_in(folder) == ["maya.env"]
