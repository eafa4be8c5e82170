"""The order of the program's file calls, as a recorder preloaded into it sees
them (tests/trellisk/call_log.c): the lock comes before the file is read or
found missing, a temporary file is new, private until it has the original's
permissions, and on the disk before it takes the original's place."""
import fcntl
import os
import select
import stat

import pytest

from conftest import LOCK, files_in, finish, with_call_log

RENAME_NOREPLACE = 1  # renameat2's flag


def current_umask():
    mask = os.umask(0)
    os.umask(mask)
    return mask


class Call:
    def __init__(self, line):
        self.name, *self.args = line.split(" ")

    def __repr__(self):
        return " ".join([self.name, *self.args])


def traced(trellisk, *args, env=None):
    """Starts the program with the recorder; returns the process and a function
    that reads the calls recorded so far, in order."""
    log = trellisk.home / "calls.log"
    process = trellisk.start(*args, env=with_call_log(dict(env or {}, CALL_LOG_FILE=str(log))))
    return process, lambda: [Call(line) for line in log.read_text().splitlines()]


def finished(process):
    out, _ = process.communicate(timeout=60)
    assert process.returncode == 0, out


def index_of(calls, name, *args, after=-1):
    """Index of the first call `name` after the index `after` whose first
    arguments are `args`."""
    for i, call in enumerate(calls):
        if i > after and call.name == name and call.args[:len(args)] == list(args):
            return i
    raise AssertionError("no call %s %s in %s" % (name, args, calls))


def lock_taken(calls, lock):
    """Index of the flock that took the lock file `lock`: the file that the run
    opened or created and then locked."""
    fd = next(c.args[2] for c in calls if c.name == "open" and c.args[0] == lock
              and c.args[2] != "-1")
    return index_of(calls, "flock", fd, str(fcntl.LOCK_EX), "0")


def test_rewrite_goes_through_a_new_private_file_that_is_on_the_disk_before_the_rename(trellisk):
    trellisk.version_dir()
    env = trellisk.env_file()
    env.write_bytes(b"X=a\nOTHER=1\n")
    env.chmod(0o640)
    process, calls = traced(trellisk, "-add", "2024", "X", "b")
    finished(process)
    calls = calls()
    lock = str(env.parent / LOCK)

    rename = calls[index_of(calls, "rename")]
    temp, target, result = rename.args
    assert (target, result) == (str(env), "0")
    assert os.path.dirname(temp) == str(env.parent) and temp != str(env)

    created = calls[index_of(calls, "open", temp)]
    flags = int(created.args[1], 16)
    assert flags & (os.O_CREAT | os.O_EXCL) == os.O_CREAT | os.O_EXCL
    fd = created.args[2]
    # The permissions come while the file is still empty; the whole content
    # is on the disk before the rename.
    chmod = index_of(calls, "fchmod", fd)
    assert calls[chmod].args[1:] == ["640", "0"]
    synced = [i for i, c in enumerate(calls)
              if c.name in ("fsync", "fdatasync") and c.args[0] == fd]
    assert synced and chmod < synced[-1] < calls.index(rename)
    assert calls[synced[-1]].args[1] == str(len(b"X=a;b\nOTHER=1\n"))

    # Only the kind of the file is asked before the lock; the lock is taken
    # before the file is tested for existence and read, and kept: it is never
    # given back before the rename.
    locked = lock_taken(calls, lock)
    assert index_of(calls, "stat", str(env)) < locked
    exists = index_of(calls, "stat", str(env), after=locked)
    assert exists < index_of(calls, "open", str(env), after=exists)
    assert not [c for c in calls if c.name == "flock" and c.args[1] == str(fcntl.LOCK_UN)]

    assert env.read_bytes() == b"X=a;b\nOTHER=1\n"
    assert stat.S_IMODE(env.stat().st_mode) == 0o640


def test_a_taken_temporary_name_is_left_alone_and_another_one_drawn(trellisk):
    folder = trellisk.version_dir()
    env = trellisk.env_file()
    env.write_bytes(b"X=a\n")
    (folder / LOCK).touch()  # only the temporary file is created exclusively
    process, calls = traced(trellisk, "-add", "2024", "X", "b", env={"CALL_LOG_TAKEN": "3"})
    finished(process)
    tried = [c.args for c in calls() if c.name == "open" and c.args[0].endswith(".tmp")]
    assert [fd for _, _, fd in tried[:3]] == ["-1"] * 3 and len(tried) == 4
    assert len({name for name, _, _ in tried}) == 4
    assert env.read_bytes() == b"X=a;b\n"
    assert files_in(folder) == ["maya.env", LOCK]


def test_a_created_file_is_whole_on_the_disk_before_it_takes_its_name(trellisk):
    """A missing maya.env is created the way a rewrite replaces it: a new
    temporary file, on the disk, then moved to the name in one step that never
    replaces a file that appeared meanwhile."""
    trellisk.version_dir()
    env = trellisk.env_file()
    process, calls = traced(trellisk, "-add", "2024", "X", "v")
    finished(process)
    calls = calls()
    locked = lock_taken(calls, str(env.parent / LOCK))
    missing = index_of(calls, "stat", str(env), "-1", after=locked)
    placed = calls[index_of(calls, "renameat2")]
    temp, target, flags, result = placed.args
    assert (target, flags, result) == (str(env), str(RENAME_NOREPLACE), "0")
    created = index_of(calls, "open", temp)
    fd = calls[created].args[2]
    synced = index_of(calls, "fsync", fd, str(len(b"X=v;")), "0")
    assert locked < missing < created < synced < calls.index(placed)
    assert not [c for c in calls if c.name == "open" and c.args[0] == str(env)]
    assert env.read_bytes() == b"X=v;"
    assert stat.S_IMODE(env.stat().st_mode) == 0o666 & ~current_umask()


@pytest.mark.parametrize("link", [False, True], ids=["file", "through-a-link"])
@pytest.mark.parametrize("before", [None, b"X=a\nOTHER=1\n"], ids=["missing", "existing"])
def test_a_run_waits_for_the_lock_and_then_reads_what_its_holder_wrote(trellisk, tmp_path, before,
                                                                       link):
    """Another program that holds the lock (as an installer wrapping its own
    edit in flock would, or a run that found the file missing and is creating
    it) makes the run wait; the run then reads the file as that program left
    it. Through a link the lock is the one beside the file at the link's end,
    whether that file exists yet or not, so every run on it takes turns."""
    folder = trellisk.version_dir()
    env = trellisk.env_file()
    real = env
    if link:
        real = tmp_path / "shared" / "real.env"
        real.parent.mkdir()
        env.symlink_to(real)
    if before is not None:
        real.write_bytes(before)
    fifo = trellisk.home / "at-the-lock"
    os.mkfifo(fifo)
    reached = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
    holder = os.open(str(real) + ".lock", os.O_RDONLY | os.O_CREAT, 0o644)
    try:
        fcntl.flock(holder, fcntl.LOCK_EX)
        process, _ = traced(trellisk, "-add", "2024", "X", "b",
                            env={"CALL_LOG_FLOCK_FIFO": str(fifo)})
        # The run has come to its lock: no time passes in this test.
        assert select.select([reached], [], [], 60)[0], "the run never came to its lock"
        assert os.read(reached, 64) == b"flock\n"
        assert process.poll() is None
        real.write_bytes(b"MINE=1\n" + (before or b""))  # the holder's own edit
    finally:
        os.close(holder)  # frees the lock
        os.close(reached)
    finished(process)
    expected = b"MINE=1\nX=a;b\nOTHER=1\n" if before else b"MINE=1\nX=b;\n"
    assert real.read_bytes() == expected
    if link:
        assert env.is_symlink() and files_in(folder) == ["maya.env"]
        assert files_in(real.parent) == ["real.env", "real.env.lock"]


@pytest.mark.parametrize("mode", ["-add", "-remove"])
def test_what_is_opened_is_checked_again_after_the_lock(trellisk, mode):
    """A regular file when the run first looks, a FIFO by the time that the
    run, which waited for the lock, opens it: the open neither blocks nor reads
    it, and nothing is written."""
    folder = trellisk.version_dir()
    env = trellisk.env_file()
    env.write_bytes(b"X=v\n")
    fifo = trellisk.home / "at-the-lock"
    os.mkfifo(fifo)
    reached = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
    holder = os.open(folder / LOCK, os.O_RDONLY | os.O_CREAT, 0o644)
    try:
        fcntl.flock(holder, fcntl.LOCK_EX)
        process, _ = traced(trellisk, mode, "2024", "X", "v",
                            env={"CALL_LOG_FLOCK_FIFO": str(fifo)})
        assert select.select([reached], [], [], 60)[0], "the run never came to its lock"
        env.unlink()
        os.mkfifo(env)
    finally:
        os.close(holder)
        os.close(reached)
    result = finish(process)
    assert result.lines == trellisk.header(mode[1:].upper(), "X", "v") + [
        "Failed to open maya env file"]
    assert result.status == 1
    assert stat.S_ISFIFO(os.lstat(env).st_mode)
    assert files_in(folder) == ["maya.env", LOCK]
