"""A maya.env, or the file at the end of its links, that is not a regular file
(a FIFO, a device, a socket, a folder) is refused before anything is read,
created or written: "Failed to open maya env file", exit 1, in both modes. It
stays what it was, and so do its links; nothing appears beside it, not even a
lock file, so no run waits for a run that hangs on it.

The devices are made in the test's folder with the numbers of /dev/null and
/dev/zero (an endless one), so that a fault could never reach the real ones."""
import os
import socket
import stat

import pytest

from conftest import files_in

wine = pytest.mark.wine


def make_fifo(path):
    os.mkfifo(path)


def device(major, minor):
    def make(path):
        try:
            os.mknod(path, stat.S_IFCHR | 0o666, os.makedev(major, minor))
        except PermissionError:
            pytest.skip("no right to make a device here")
    return make


def make_socket(path):
    # Reached through the folder's descriptor: the whole path may be longer
    # than a socket's address can be.
    folder = os.open(os.path.dirname(path), os.O_RDONLY)
    try:
        with socket.socket(socket.AF_UNIX) as s:
            s.bind("/proc/self/fd/%d/%s" % (folder, os.path.basename(path)))
    finally:
        os.close(folder)


def make_folder(path):
    os.mkdir(path)
    with open(os.path.join(path, "inside"), "wb") as f:
        f.write(b"X=a\n")


KINDS = [
    pytest.param(make_fifo, id="fifo", marks=wine),
    pytest.param(device(1, 3), id="null-device", marks=wine),
    pytest.param(device(1, 5), id="endless-device", marks=wine),
    pytest.param(make_socket, id="socket"),
    pytest.param(make_folder, id="folder", marks=wine),
]


def kind(path):
    info = os.lstat(path)
    return stat.S_IFMT(info.st_mode), info.st_rdev


@pytest.mark.parametrize("make", KINDS)
def test_a_maya_env_that_is_not_a_regular_file_is_refused(trellisk, make):
    folder = trellisk.version_dir()
    env = trellisk.env_file()
    make(str(env))
    before = kind(env)
    for mode in ["-add", "-remove", "-add"]:
        result = trellisk.run(mode, "2024", "X", "v")
        assert result.lines == trellisk.header(mode[1:].upper(), "X", "v") + [
            "Failed to open maya env file"]
        assert result.status == 1
        assert kind(env) == before
        assert files_in(folder) == ["maya.env"]


@pytest.mark.parametrize("make", [p.values[0] for p in KINDS], ids=[p.id for p in KINDS])
def test_the_file_at_the_end_of_the_links_is_checked(trellisk, tmp_path, make):
    folder = trellisk.version_dir()
    elsewhere = tmp_path / "elsewhere"
    elsewhere.mkdir()
    real = elsewhere / "real.env"
    make(str(real))
    before = kind(real)
    trellisk.env_file().symlink_to(elsewhere / "middle.env")
    (elsewhere / "middle.env").symlink_to("real.env")
    for mode in ["-add", "-remove"]:
        result = trellisk.run(mode, "2024", "X", "v")
        assert result.lines[5:] == ["Failed to open maya env file"]
        assert result.status == 1
    assert kind(real) == before
    assert os.readlink(trellisk.env_file()) == str(elsewhere / "middle.env")
    assert files_in(folder) == ["maya.env"]
    assert files_in(elsewhere) == ["middle.env", "real.env"]
