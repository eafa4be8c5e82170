"""Values compared as paths in a double-byte ANSI code page: Windows in Japanese
(932), where the second byte of a character can be a "\\" byte (ソ is 83 5C, 表
95 5C) or an ASCII letter (ア 83 41, ヂ 83 61). A character is compared whole
and never changed; only characters of one byte are case-folded or read as
separators. Under Wine the program runs with code page 932; natively the same
cases hold for the bytes of the arguments (UTF-8), where no ASCII byte occurs
inside a character."""
import pytest

wine = pytest.mark.wine
NAME = "PYTHONPATH"

# id; the variable's line before; mode; value; the line after (None: gone)
CASES = [
    # Another letter in the trail byte is another character.
    ("other-letter-not-removed", "PYTHONPATH=C:\\ア;", "-remove", "C:\\ヂ", "PYTHONPATH=C:\\ア;"),
    ("other-letter-added", "PYTHONPATH=C:\\ア;", "-add", "C:\\ヂ", "PYTHONPATH=C:\\ア;C:\\ヂ"),
    ("same-letter-removed", "PYTHONPATH=C:\\ア;C:\\ヂ", "-remove", "c:/ア/", "PYTHONPATH=C:\\ヂ"),
    # A trail byte "\" is no separator: not collapsed with the one after it.
    ("trail-backslash-added", "PYTHONPATH=C:\\ソ\\scripts", "-add", "C:\\ソscripts",
     "PYTHONPATH=C:\\ソ\\scripts;C:\\ソscripts"),
    ("trail-backslash-not-removed", "PYTHONPATH=C:\\ソscripts;", "-remove", "C:\\ソ\\scripts",
     "PYTHONPATH=C:\\ソscripts;"),
    # Case and separators of the one-byte characters around still make no
    # difference.
    ("same-path-not-added", "PYTHONPATH=c:/ソ/tools;", "-add", "C:\\ソ\\Tools\\",
     "PYTHONPATH=c:/ソ/tools;"),
    ("same-path-removed", "PYTHONPATH=c:/ソ/tools;D:/x", "-remove", "C:\\ソ\\Tools\\",
     "PYTHONPATH=D:/x"),
    ("trail-backslash-before-separators", "PYTHONPATH=C:\\表\\\\x;C:/表;C:/表/", "-remove",
     "c:/表/X", "PYTHONPATH=C:/表;C:/表/"),
    ("trail-backslash-at-the-end", "PYTHONPATH=C:/表;C:/表/;C:/表x", "-remove", "c:\\表\\\\",
     "PYTHONPATH=C:/表x"),
    ("only-value-removed", "PYTHONPATH=C:\\ソ\\", "-remove", "c:/ソ", None),
]


def parsed(line):
    name, values = line.split("=", 1)
    values = values.split(";")
    if values[-1] == "":
        values.pop()
    return ["Parsed env var name: " + name, "Parsed env var values: "] + [
        " [%s]" % v for v in values]


@wine
@pytest.mark.parametrize("before, mode, value, after",
                         [pytest.param(*c[1:], id=c[0]) for c in CASES])
def test_values_are_compared_character_by_character(cp932_trellisk, before, mode, value, after):
    t = cp932_trellisk
    t.version_dir()
    t.env_file().write_bytes(t.encode("OTHER=ソ\n" + before + "\n"))
    result = t.run(mode, "2024", NAME, value)
    assert result.lines == t.header(mode[1:].upper(), NAME, value) + [
        t.narrow(line) for line in parsed(before)]
    assert result.status == 0
    expected = "OTHER=ソ\n" + (after + "\n" if after else "")
    if t.windows:
        expected = expected.replace("\n", "\r\n")
    assert t.env_file().read_bytes() == t.encode(expected)


@wine
def test_a_name_with_trail_bytes_finds_its_line_again(cp932_trellisk):
    t = cp932_trellisk
    t.version_dir()
    name = "表ソア"
    assert t.run("-add", "2024", name, "C:\\ソ").status == 0
    assert t.env_file().read_bytes() == t.encode(name + "=C:\\ソ;")
    result = t.run("-add", "2024", name, "c:/ソ/")
    assert result.lines[5:] == [t.narrow(line) for line in parsed(name + "=C:\\ソ;")]
    assert t.run("-remove", "2024", name, "C:/ソ").status == 0
    assert t.env_file().read_bytes() == b""


@wine
def test_a_version_whose_trail_byte_is_a_backslash_names_one_folder(cp932_trellisk):
    """ソ12 is four bytes in code page 932, 83 5C 31 32: one folder name, whose
    second byte is no separator."""
    t = cp932_trellisk
    if not t.windows:
        pytest.skip("four bytes in code page 932 only")
    folder = t.version_dir("ソ12")
    result = t.run("-add", "ソ12", NAME, "C:/a")
    assert result.lines == t.header("ADD", NAME, "C:/a", "ソ12") + [
        "Maya env file doesn't exist, creating it"]
    assert result.status == 0
    assert (folder / "maya.env").read_bytes() == b"PYTHONPATH=C:/a;"
