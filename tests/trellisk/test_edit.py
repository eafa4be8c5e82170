"""Adding to and removing from an existing maya.env: the file before and after,
and the lines reported for each variable line."""
import pytest

from conftest import LOCK, files_in

wine = pytest.mark.wine
NAME = "TOOLS_PATH"


def parsed(name, *values):
    return ["Parsed env var name: " + name, "Parsed env var values: "] + [
        " [%s]" % v for v in values]


LONG = "D:/" + "x" * 5000  # far past any fixed line buffer

CASES = [
    # id, file before, mode, value, file after, lines printed after the header
    ("add-new-value", b"TOOLS_PATH=F:/a;D:/b;\n\n   OTHER=1\n", "-add", "E:\\c\\",
     b"TOOLS_PATH=F:/a;D:/b;E:\\c\\\nOTHER=1\n", parsed(NAME, "F:/a", "D:/b")),
    ("add-present-in-other-form", b"TOOLS_PATH=F:/a;D:/b;\n\n   OTHER=1\n", "-add", "f:\\A\\",
     b"TOOLS_PATH=F:/a;D:/b;\nOTHER=1\n", parsed(NAME, "F:/a", "D:/b")),
    ("remove-every-form", b"TOOLS_PATH=F:/a;D:/b;f:\\a\\\n", "-remove", "F:/A",
     b"TOOLS_PATH=D:/b\n", parsed(NAME, "F:/a", "D:/b", "f:\\a\\")),
    ("remove-only-value", b"TOOLS_PATH=F:/a\nOTHER=1\n", "-remove", "F:/a",
     b"OTHER=1\n", parsed(NAME, "F:/a")),
    ("remove-only-line", b"TOOLS_PATH=F:/a\n", "-remove", "F:/a", b"", parsed(NAME, "F:/a")),
    ("remove-middle", b"TOOLS_PATH=x;y;x\n", "-remove", "y", b"TOOLS_PATH=x;x\n",
     parsed(NAME, "x", "y", "x")),
    ("add-new-line", b"OTHER=1", "-add", "F:/a", b"OTHER=1\nTOOLS_PATH=F:/a;\n", []),
    ("add-to-every-line", b"TOOLS_PATH=F:/a\nTOOLS_PATH=D:/b\n", "-add", "E:/c",
     b"TOOLS_PATH=F:/a;E:/c\nTOOLS_PATH=D:/b;E:/c\n", parsed(NAME, "F:/a") + parsed(NAME, "D:/b")),
    ("name-is-case-sensitive", b"tools_path=F:/a\n", "-add", "D:/b",
     b"tools_path=F:/a\nTOOLS_PATH=D:/b;\n", []),
    ("empty-value-kept", b"TOOLS_PATH=F:/a;;D:/b\n", "-add", "E:/c",
     b"TOOLS_PATH=F:/a;;D:/b;E:/c\n", parsed(NAME, "F:/a", "", "D:/b")),
    ("indented-line", b"\t\tTOOLS_PATH=F:/a\n", "-add", "D:/b", b"TOOLS_PATH=F:/a;D:/b\n",
     parsed(NAME, "F:/a")),
    ("remove-absent-still-rewrites", b"  A=1 \t\r\n\n \t \nB=2", "-remove", "Z", b"A=1\nB=2\n", []),
    ("add-to-empty-file", b"", "-add", "F:/a", b"TOOLS_PATH=F:/a;\n", []),
    ("remove-from-empty-file", b"", "-remove", "F:/a", b"", []),
    ("crlf-lines", b"TOOLS_PATH=F:/a\r\nOTHER=1\r\n", "-add", "D:/b",
     b"TOOLS_PATH=F:/a;D:/b\nOTHER=1\n", parsed(NAME, "F:/a")),
    # Control-Z ends a text-mode read on Windows: the lines after it must survive.
    ("control-z-is-an-ordinary-byte", b"A=\x1a\nTOOLS_PATH=F:/a\nB=2\n", "-add", "D:/b",
     b"A=\x1a\nTOOLS_PATH=F:/a;D:/b\nB=2\n", parsed(NAME, "F:/a")),
    ("blanks-belong-to-values", b"TOOLS_PATH= F:/a; D:/b\n", "-add", "E:/c",
     b"TOOLS_PATH= F:/a; D:/b;E:/c\n", parsed(NAME, " F:/a", " D:/b")),
    ("blanks-ignored-in-comparison", b"TOOLS_PATH= F:/a; D:/b\n", "-remove", "d:/B/",
     b"TOOLS_PATH= F:/a\n", parsed(NAME, " F:/a", " D:/b")),
    ("value-with-separator-added-whole", b"TOOLS_PATH=E:/c;G:/d\n", "-add", "E:/c;G:/d",
     b"TOOLS_PATH=E:/c;G:/d;E:/c;G:/d\n", parsed(NAME, "E:/c", "G:/d")),
    ("value-with-separator-removes-nothing", b"TOOLS_PATH=E:/c;G:/d;\n", "-remove", "E:/c;G:/d",
     b"TOOLS_PATH=E:/c;G:/d;\n", parsed(NAME, "E:/c", "G:/d")),
    ("lone-slash-removes-empty-values", b"TOOLS_PATH=F:/a;;D:/b\n", "-remove", "/",
     b"TOOLS_PATH=F:/a;D:/b\n", parsed(NAME, "F:/a", "", "D:/b")),
    # Which line is the variable's: the name followed by "=", or the name before
    # the first "=" with blanks before the "=" ignored; longer names, comments
    # and lines without "=" are others.
    ("longer-name-untouched", b"TOOLS_PATH_EXTRA=a\nTOOLS_PATH=b\n", "-add", "c",
     b"TOOLS_PATH_EXTRA=a\nTOOLS_PATH=b;c\n", parsed(NAME, "b")),
    ("longer-name-not-removed", b"TOOLS_PATH_EXTRA=a;b\n", "-remove", "a",
     b"TOOLS_PATH_EXTRA=a;b\n", []),
    ("blank-before-equals", b"TOOLS_PATH \t= a\n", "-add", "b", b"TOOLS_PATH \t= a;b\n",
     parsed(NAME + " \t", " a")),
    ("blank-before-equals-removed", b"TOOLS_PATH \t= a\nX=1\n", "-remove", "A", b"X=1\n",
     parsed(NAME + " \t", " a")),
    ("comment-never-matches", b"#TOOLS_PATH=a\n", "-add", "a",
     b"#TOOLS_PATH=a\nTOOLS_PATH=a;\n", []),
    ("line-without-equals", b"TOOLS_PATH\n", "-add", "a", b"TOOLS_PATH\nTOOLS_PATH=a;\n", []),
    # Lines of any length are read and written whole.
    ("long-line-add", ("TOOLS_PATH=" + LONG + "\nOTHER=" + LONG + "\n").encode(), "-add", "E:/c",
     ("TOOLS_PATH=" + LONG + ";E:/c\nOTHER=" + LONG + "\n").encode(), parsed(NAME, LONG)),
    ("long-line-remove", ("TOOLS_PATH=" + LONG + ";E:/c;" + LONG + "\n").encode(), "-remove",
     LONG.upper(), b"TOOLS_PATH=E:/c\n", parsed(NAME, LONG, "E:/c", LONG)),
]


@wine
@pytest.mark.parametrize("before, mode, value, after, reported",
                         [pytest.param(*c[1:], id=c[0]) for c in CASES])
def test_edit(trellisk, before, mode, value, after, reported):
    folder = trellisk.version_dir()
    trellisk.env_file().write_bytes(before)
    result = trellisk.run(mode, "2024", NAME, value)
    assert result.lines == trellisk.header(mode[1:].upper(), NAME, value) + reported
    assert result.status == 0
    if trellisk.windows:  # text mode writes CR LF
        after = after.replace(b"\n", b"\r\n")
    assert trellisk.env_file().read_bytes() == after
    assert files_in(folder) == ["maya.env", LOCK]  # no temporary file left


@wine
def test_repeated_runs_are_stable(trellisk):
    trellisk.version_dir()
    env = trellisk.env_file()
    env.write_bytes(b"TOOLS_PATH=F:/a\n")
    for _ in range(2):
        assert trellisk.run("-add", "2024", NAME, "D:\\b\\").status == 0
    assert env.read_bytes().replace(b"\r\n", b"\n") == b"TOOLS_PATH=F:/a;D:\\b\\\n"
    for _ in range(2):
        assert trellisk.run("-remove", "2024", NAME, "d:/B").status == 0
    assert env.read_bytes().replace(b"\r\n", b"\n") == b"TOOLS_PATH=F:/a\n"


@wine
@pytest.mark.parametrize("name", ["PYTHONPATH", "PYTHONPATH ", "PYTHONPATH\t", "#C"])
def test_every_name_finds_the_line_it_wrote(trellisk, name):
    """However the name is spelled, the line that an ADD wrote is the variable's
    line on the next runs: further ADDs change nothing, REMOVE takes it out."""
    trellisk.version_dir()
    env = trellisk.env_file()
    line = (name + "=C:/tools;").encode()
    assert trellisk.run("-add", "2024", name, "C:/tools").status == 0
    assert env.read_bytes() == line  # created
    for _ in range(2):
        result = trellisk.run("-add", "2024", name, "c:\\tools\\")
        assert result.status == 0
        assert result.lines[5:] == parsed(name, "C:/tools")
        assert env.read_bytes().replace(b"\r\n", b"\n") == line + b"\n"
    result = trellisk.run("-remove", "2024", name, "C:/Tools")
    assert (result.status, result.lines[5:]) == (0, parsed(name, "C:/tools"))
    assert env.read_bytes() == b""


def test_other_bytes_pass_through_unchanged(trellisk):
    trellisk.version_dir()
    before = b"A=\xe9\xc9\x00z\v\nTOOLS_PATH=\xc9\n"
    trellisk.env_file().write_bytes(before)
    result = trellisk.run("-remove", "2024", NAME, "z")
    assert result.status == 0
    assert trellisk.env_file().read_bytes() == before
