"""Text beyond ASCII: a profile folder whose name the ANSI code page cannot
hold (C:\\users\\Łukasz), and names and values with such characters.

On Windows the path is used in wide characters, as the system gives it; name
and value are written in the ANSI code page, exactly where it holds them, and
refused where it cannot. A character that it cannot hold prints as "?" in the
path line. Natively every argument is bytes, and the same bytes are written."""
import pytest

from conftest import LOCK, LOOKALIKE_USER, files_in

wine = pytest.mark.wine


@wine
@pytest.mark.parametrize("before", [None, b"PATH=C:/a\n"], ids=["missing", "existing"])
def test_the_profile_folder_is_found_whatever_its_name(wide_trellisk, before):
    """The folder of the best-fit look-alike name, another user's, stays
    untouched."""
    t = wide_trellisk
    lookalike = t.home.parent / LOOKALIKE_USER / "Documents" / "maya" / "2024"
    lookalike.mkdir(parents=True)
    (lookalike / "maya.env").write_bytes(b"PATH=C:/other\n")
    try:
        folder = t.version_dir()
        if before is not None:
            t.env_file().write_bytes(before)
        result = t.run("-add", "2024", "PATH", "C:/b")
        assert result.lines[:5] == t.header("ADD", "PATH", "C:/b")
        assert result.status == 0
        after = b"PATH=C:/a;C:/b\n" if before else b"PATH=C:/b;"
        if t.windows:
            after = after.replace(b"\n", b"\r\n")
        assert t.env_file().read_bytes() == after
        assert files_in(folder) == ["maya.env", LOCK]
        assert files_in(lookalike) == ["maya.env"]
        assert (lookalike / "maya.env").read_bytes() == b"PATH=C:/other\n"
    finally:
        (lookalike / "maya.env").unlink()
        for folder in [lookalike, *lookalike.parents][:4]:
            folder.rmdir()


@wine
@pytest.mark.parametrize("name, value, refused", [
    # Held by code page 1252: its bytes are written, as they always were.
    ("PATH", "C:/Zoë/Café", None),
    ("NAMÉ", "v", None),
    # Not held by it: refused, where a best-fit or "?" would write another text.
    ("PATH", "C:/Łukasz/日本/tools", "Invalid env var value"),
    ("PATH", "C:/Łukasz", "Invalid env var value"),
    ("NAMEŁ", "v", "Invalid env var name"),
    ("日本", "C:/Łukasz", "Invalid env var name"),  # the name is tested first
])
@pytest.mark.parametrize("mode", ["-add", "-remove"])
def test_names_and_values_beyond_ascii(wide_trellisk, mode, name, value, refused):
    t = wide_trellisk
    folder = t.version_dir()
    # ADD appends the value to the line, REMOVE takes it out again.
    short, long = name + "=C:/Zoë", name + "=C:/Zoë;" + value
    before = (short if mode == "-add" else long).encode(t.encoding, errors="replace") + b"\n"
    t.env_file().write_bytes(before)
    result = t.run(mode, "2024", name, value)
    if refused and t.windows:
        assert result.lines == ["4 arguments", refused]
        assert result.status == 1
        assert t.env_file().read_bytes() == before
        assert files_in(folder) == ["maya.env"]
        return
    assert result.lines[:5] == t.header(mode[1:].upper(), name, value)
    assert result.status == 0
    after = t.encode((long if mode == "-add" else short) + "\n")
    if t.windows:
        after = after.replace(b"\n", b"\r\n")
    assert t.env_file().read_bytes() == after
