"""Reading the module's status warnings back."""
import os
import pathlib
import re

WARNING = re.compile(
    r"^(?P<function>\w+)\(\) : (?P<text>.*)\(\) in (?P=function), "
    r"\(line (?P<line>\d+) in file '(?P<file>[^']*)'\)$", re.S)


def parse_warning(warning):
    """(function, error text, line, file) of a status warning."""
    match = WARNING.match(warning)
    assert match, f"not a status warning: {warning!r}"
    return match["function"], match["text"], int(match["line"]), match["file"]


def source_line(file, line):
    """Line `line` (counted from 1) of the source file that a warning names."""
    path = pathlib.Path(file)
    if not path.is_absolute():
        path = pathlib.Path(os.environ["KORVANE_SOURCE_DIR"]) / path
    return path.read_text().splitlines()[line - 1]
