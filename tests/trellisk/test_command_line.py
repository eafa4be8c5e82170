"""The command line: argument tests in their order, the printed lines, and a
maya.env that does not exist yet."""
import pytest

from conftest import LOCK, files_in

wine = pytest.mark.wine


@wine
@pytest.mark.parametrize("args, count, message", [
    ([], 0, "Invalid number of arguments"),
    (["-add", "2024", "X"], 3, "Invalid number of arguments"),
    (["-add", "2024", "X", "v", "w"], 5, "Invalid number of arguments"),
    (["-ADD", "2024", "X", "v"], 4, "Invalid mode"),
    (["add", "2024", "X", "v"], 4, "Invalid mode"),
    (["-add ", "2024", "X", "v"], 4, "Invalid mode"),
    (["-add", "2024.5", "X", "v"], 4, "Invalid maya version"),
    (["-add", "24", "X", "v"], 4, "Invalid maya version"),
    (["-add", "", "X", "v"], 4, "Invalid maya version"),
    (["-add", "2024", "", "v"], 4, "Invalid env var name"),
    (["-remove", "2024", "X", ""], 4, "Invalid env var value"),
    # the tests run in order: only the first failure is reported
    (["-bad", "24", "", ""], 4, "Invalid mode"),
    (["-add", "24", "", ""], 4, "Invalid maya version"),
])
def test_invalid_arguments_fail_with_the_first_message(trellisk, args, count, message):
    result = trellisk.run(*args)
    assert result.lines == ["%d arguments" % count, message]
    assert result.status == 1
    assert not (trellisk.home / "Documents" / "maya").exists()


@pytest.mark.parametrize("args, message", [
    (['"-add"', '"2024"', '"X"', '"v"'], None),     # one enclosing pair goes
    (['-add', '2024', '"', 'v'], "Invalid env var name"),   # a lone quote is empty
    (['-add', '2024', 'X', '"'], "Invalid env var value"),
    (['-add', '"2024', 'X', 'v'], "Invalid maya version"),  # no closing quote: it stays
    (['""-add""', '2024', 'X', 'v'], "Invalid mode"),  # only one pair goes
    (['-add', '"20"24"', 'X', 'v'], "Invalid maya version"),  # inner quotes stay
])
def test_enclosing_quotes_are_removed_once(trellisk, args, message):
    trellisk.version_dir()
    result = trellisk.run(*args)
    if message:
        assert result.lines == ["4 arguments", message] and result.status == 1
    else:
        assert result.lines[:5] == trellisk.header("ADD", "X", "v")
        assert result.status == 0
        assert trellisk.env_file().read_bytes() == b"X=v;"


def test_missing_profile_variable_is_reported_after_the_argument_tests(trellisk):
    result = trellisk.run("-add", "2024", "X", "v", unset=["USERPROFILE"])
    assert result.lines == ["4 arguments", "Failed to get user documents folder"]
    assert result.status == 1
    # an argument failure comes first
    result = trellisk.run("-add", "2024", "", "v", unset=["USERPROFILE"])
    assert result.lines == ["4 arguments", "Invalid env var name"]
    result = trellisk.run("-add", "2024", "X", "a\nb", unset=["USERPROFILE"])
    assert result.lines == ["4 arguments", "Invalid env var value"]


@wine
@pytest.mark.parametrize("mode", ["-add", "-remove"])
@pytest.mark.parametrize("name, value, message", [
    # A name is found again as the text before the first "=" of its line,
    # which is read trimmed: no "=" in it, no blank or tab at its start.
    ("A=B", "v", "Invalid env var name"),
    ("=", "v", "Invalid env var name"),
    (" PATH", "v", "Invalid env var name"),
    ("\tPATH", "v", "Invalid env var name"),
    (" ", "v", "Invalid env var name"),
    # A line break would start a line of its own.
    ("PATH\nPYTHONPATH", "/evil", "Invalid env var name"),
    ("PATH\r", "v", "Invalid env var name"),
    ("PATH", "/b\nPYTHONPATH=/evil", "Invalid env var value"),
    ("PATH", "/b\r", "Invalid env var value"),
    ("PATH", "\r\n", "Invalid env var value"),
    ("A=B", "a\nb", "Invalid env var name"),  # the name is tested first
])
def test_names_and_values_that_would_break_the_line_format_are_refused(trellisk, mode, name,
                                                                       value, message):
    folder = trellisk.version_dir()
    before = b"PATH=/a\nA=1\n"
    trellisk.env_file().write_bytes(before)
    result = trellisk.run(mode, "2024", name, value)
    assert result.lines == ["4 arguments", message]
    assert result.status == 1
    assert trellisk.env_file().read_bytes() == before
    assert files_in(folder) == ["maya.env"]  # not even a lock file


@wine
@pytest.mark.parametrize("mode", ["-add", "-remove"])
@pytest.mark.parametrize("version", ["/../", "..//", "../.", "./..", "....", "..\\.", "a/bc",
                                     "a\\bc", "C:ab", "\\\\ab"])
def test_a_version_that_is_not_one_folder_name_is_refused(trellisk, mode, version):
    """Such a version would lead out of maya, to Documents\\maya.env, or to
    another drive: nothing is touched there or anywhere else."""
    documents = trellisk.home / "Documents"
    trellisk.version_dir()
    (documents / "maya.env").write_bytes(b"X=a\n")
    (documents / "maya" / "maya.env").write_bytes(b"X=a\n")
    before = tree(trellisk.home)
    result = trellisk.run(mode, version, "X", "v")
    assert result.lines == ["4 arguments", "Invalid maya version"]
    assert result.status == 1
    assert tree(trellisk.home) == before


def tree(folder):
    """Every path below `folder` with its content (None for a folder)."""
    return {p: None if p.is_dir() else p.read_bytes() for p in folder.rglob("*")}


@wine
def test_remove_from_a_missing_file_changes_nothing(trellisk):
    folder = trellisk.version_dir()
    result = trellisk.run("-remove", "2024", "TOOLS_PATH", "C:/a")
    assert result.lines == trellisk.header("REMOVE", "TOOLS_PATH", "C:/a") + [
        "Maya env file doesn't exist, nothing to remove"]
    assert result.status == 0
    assert files_in(folder) == [LOCK]  # no maya.env


@wine
@pytest.mark.parametrize("version, name, value", [
    ("2024", "TOOLS_PATH", "E:\\c\\"),
    ("abcd", "SPACED \t", " v w "),  # any four bytes; blanks stay where they are found again
    ("..24", "X", "v"),  # dots, but not only dots
    ("2024", "X", "a;b=c"),
])
def test_add_to_a_missing_file_creates_one_line(trellisk, version, name, value):
    folder = trellisk.version_dir(version)
    result = trellisk.run("-add", version, name, value)
    assert result.lines == trellisk.header("ADD", name, value, version) + [
        "Maya env file doesn't exist, creating it"]
    assert result.status == 0
    # ";" after the value, no line end, on every platform
    assert trellisk.env_file(version).read_bytes() == (name + "=" + value + ";").encode()
    assert files_in(folder) == ["maya.env", LOCK]


@wine
def test_add_without_the_version_folder_fails_to_create(trellisk):
    (trellisk.home / "Documents" / "maya").mkdir(parents=True, exist_ok=True)
    result = trellisk.run("-add", "2030", "X", "v")
    assert result.lines == trellisk.header("ADD", "X", "v", "2030") + [
        "Maya env file doesn't exist, creating it", "Failed to create maya env file"]
    assert result.status == 1
    assert not trellisk.env_file("2030").parent.exists()  # no folder is created


@wine
def test_arguments_are_not_expanded_as_wildcards(trellisk):
    trellisk.version_dir()
    (trellisk.version_dir() / "other.txt").write_bytes(b"")
    result = trellisk.run("-add", "2024", "X", "*")
    assert result.lines[:5] == trellisk.header("ADD", "X", "*")
    assert trellisk.env_file().read_bytes() == b"X=*;"
