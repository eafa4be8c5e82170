"""A maya.env that is a symbolic link: every step (the lock, the existence
test, the read, the creation, the temporary file and the rename) works on the
file at the end of the link chain, whether that file exists yet or not. A
relative link is taken from the folder of the link. The links stay as they
were; the printed path is the one built from USERPROFILE."""
import os

import pytest

from conftest import files_in

wine = pytest.mark.wine
CREATE_FAILED = ["Maya env file doesn't exist, creating it", "Failed to create maya env file"]

# id; the links ({path: link text}, "{v}" the version folder, "{e}" a folder
# outside the profile); the file at the chain's end; its content before (None:
# missing); mode; the lines after the header; the content after (None: missing)
CASES = [
    pytest.param({"{v}/maya.env": "{e}/real.env"}, "{e}/real.env", b"X=a\n", "-add",
                 ["Parsed env var name: X", "Parsed env var values: ", " [a]"], b"X=a;v\n",
                 id="link-to-a-file", marks=wine),
    pytest.param({"{v}/maya.env": "{e}/first.env", "{e}/first.env": "deeper/second.env",
                  "{e}/deeper/second.env": "../real.env"}, "{e}/real.env", b"X=a;v\n", "-remove",
                 ["Parsed env var name: X", "Parsed env var values: ", " [a]", " [v]"], b"X=a\n",
                 id="chain-of-relative-links", marks=wine),
    pytest.param({"{v}/maya.env": "{e}/real.env"}, "{e}/real.env", None, "-add",
                 ["Maya env file doesn't exist, creating it"], b"X=v;", id="link-to-a-missing-file"),
    pytest.param({"{v}/maya.env": "{e}/first.env", "{e}/first.env": "real.env"}, "{e}/real.env",
                 None, "-add", ["Maya env file doesn't exist, creating it"], b"X=v;",
                 id="relative-link-to-a-missing-file"),
    pytest.param({"{v}/maya.env": "{e}/real.env"}, "{e}/real.env", None, "-remove",
                 ["Maya env file doesn't exist, nothing to remove"], None,
                 id="remove-through-a-link-to-a-missing-file"),
    pytest.param({"{v}/maya.env": "{e}/no-folder/real.env"}, "{e}/no-folder/real.env", None,
                 "-add", CREATE_FAILED, None, id="link-into-a-missing-folder"),
    # A loop is not followed: the run works on maya.env itself, which the
    # system cannot open (ELOOP), and the creation never replaces the link.
    pytest.param({"{v}/maya.env": "loop.env", "{v}/loop.env": "maya.env"}, "{v}/maya.env", None,
                 "-add", CREATE_FAILED, None, id="loop"),
    pytest.param({"{v}/maya.env": "loop.env", "{v}/loop.env": "maya.env"}, "{v}/maya.env", None,
                 "-remove", ["Maya env file doesn't exist, nothing to remove"], None,
                 id="remove-through-a-loop"),
]


@pytest.mark.parametrize("links, end, before, mode, reported, after", CASES)
def test_a_linked_maya_env_is_handled_at_the_end_of_its_links(trellisk, tmp_path, links, end,
                                                              before, mode, reported, after):
    places = {"v": str(trellisk.version_dir()), "e": str(tmp_path / "elsewhere")}
    os.mkdir(places["e"])
    for link, text in links.items():
        link = link.format(**places)
        os.makedirs(os.path.dirname(link), exist_ok=True)
        os.symlink(text.format(**places), link)
    end = end.format(**places)
    if before is not None:
        with open(end, "wb") as f:
            f.write(before)
    # Any path taken from the working folder instead of the link's would show.
    work = tmp_path / "work"
    work.mkdir()

    result = trellisk.run(mode, "2024", "X", "v", cwd=work)
    assert result.lines == trellisk.header(mode[1:].upper(), "X", "v") + reported
    assert result.status == (1 if reported == CREATE_FAILED else 0)

    for link, text in links.items():  # every link stays as it was
        assert os.readlink(link.format(**places)) == text.format(**places)
    if trellisk.windows and after:
        after = after.replace(b"\n", b"\r\n")
    if after is None:
        assert not os.path.lexists(end) or os.path.islink(end)
    else:
        with open(end, "rb") as f:
            assert f.read() == after
    # Nothing was made but the file at the end and the lock file beside it.
    made = {os.path.join(root, name) for place in places.values() if os.path.isdir(place)
            for root, dirs, names in os.walk(place) for name in dirs + names}
    made -= {link.format(**places) for link in links}
    made -= {os.path.dirname(link.format(**places)) for link in links}
    expected = {end} if after is not None else set()
    if os.path.isdir(os.path.dirname(end)):
        expected.add(end + ".lock")
    assert made == expected
    assert files_in(work) == []
