"""make deploy and make test on a copy of the Makefile and the scripts: PREFIX reaches the
script as one argument, and the interpreters are checked before anything is installed
or built (see conftest.py for the stubs)."""

import pytest

from conftest import fake_python

# The stubs install nothing, so there is no lib/ of the stand-ins to name.
INSTALLED = "Installed into {}: plugins/ (ARNOLD_PLUGIN_PATH), python/ (PYTHONPATH)"


@pytest.mark.parametrize("prefix", [
    "/opt/my tools",
    "out",
    "it's \"quoted\" $HOME $(PATH) `id` \\",
    None,
])
def test_make_deploy_hands_prefix_over_as_one_argument(tree, prefix):
    (tree.root / "scripts" / "deploy.sh").write_text((tree.root / "scripts" / "deps.sh")
                                                     .read_text())
    done = tree.run(["make", "-s", "deploy"] + ([f"PREFIX={prefix}"] if prefix else []))
    assert done.returncode == 0, done.stderr
    assert [args for name, args, *_ in tree.calls()] == [[prefix] if prefix else []]


def test_deploy_refuses_a_second_argument(tree):
    done = tree.run(["scripts/deploy.sh", "/opt/my", "tools"])
    assert done.returncode == 2
    assert done.stderr.startswith("usage: ") and done.stderr.count("\n") == 1
    assert tree.calls() == []


def test_deploy_names_every_missing_interpreter_before_installing_anything(tree):
    # 3.9 given and wrong, 3.7 unset and not under pyenv
    done = tree.run(["make", "deploy"], KORVANE_PYTHON39=str(tree.root / "none" / "python3.9"))
    assert done.returncode != 0
    lines = done.stderr.splitlines()
    assert any(line.startswith("Python 3.9: KORVANE_PYTHON39=") for line in lines)
    assert any(line.startswith("Python 3.7 not found under") and "KORVANE_PYTHON37" in line
               for line in lines)
    assert tree.calls() == []     # no package installed, nothing configured
    assert not (tree.root / "build").exists()


@pytest.mark.parametrize("prefix, cwd, expected", [
    ("my tools", "home", "home/my tools"),   # relative: from the folder the command runs in
    ("../home/./x y/", "home", "home/x y"),
    (None, "home", "build/deploy"),          # the default is in the tree
])
def test_deploy_installs_both_builds_into_the_absolute_prefix(tree, prefix, cwd, expected):
    py39 = fake_python(tree.root / "py39", "3.9")
    py37 = fake_python(tree.root / "py37", "3.7")
    done = tree.run([str(tree.root / "scripts" / "deploy.sh")] + ([prefix] if prefix else []),
                    cwd=tree.root / cwd, KORVANE_PYTHON39=str(py39), KORVANE_PYTHON37=str(py37))
    assert done.returncode == 0, done.stderr
    absolute = str(tree.root / expected)
    assert done.stdout.splitlines()[-1] == INSTALLED.format(absolute)
    calls = tree.calls()
    assert calls[0][:2] == ("deps.sh", ["deploy"])
    assert [args for name, args, *_ in calls if args[0] == "--install"] == [
        ["--install", "build/py3.9", "--prefix", absolute],
        ["--install", "build/py3.7", "--prefix", absolute]]
    # the presets take the interpreters found from the environment
    assert all(call[2:] == (str(py39), str(py37)) for call in calls if call[0] == "cmake")


@pytest.mark.parametrize("setting", ["", "/nonexistent/python3.7", "3.9"])
def test_make_test_stops_at_a_given_setting_that_does_not_fit(tree, setting):
    if setting == "3.9":
        setting = str(fake_python(tree.root / "py39", "3.9"))
    done = tree.run(["make", "test"], KORVANE_PYTHON37=setting)
    assert done.returncode != 0
    assert "KORVANE_PYTHON37" in done.stderr and "skipped" not in done.stdout
    assert "== configuring" not in done.stdout
    assert tree.calls() == []


def test_make_test_skips_the_unset_settings_not_found_and_builds_the_others(tree):
    py37 = fake_python(tree.root / "py37", "3.7")
    done = tree.run(["make", "test"], KORVANE_PYTHON37=str(py37))
    assert done.returncode == 0, done.stderr
    assert (f"== skipped build/py3.9: Python 3.9 not found under {tree.pyenv}/versions: "
            "set KORVANE_PYTHON39 to a Python 3.9 interpreter") in done.stdout.splitlines()
    configured = [(args[1], py37_) for name, args, py39_, py37_ in tree.calls()
                  if name == "cmake" and args[0] == "--preset"]
    assert configured == [("release", str(py37)), ("asan", str(py37)), ("py3.7", str(py37))]



def test_make_test_sets_the_platform_locations_aside_and_make_deploy_takes_them(tree):
    pythons = {"KORVANE_PYTHON39": str(fake_python(tree.root / "py39", "3.9")),
               "KORVANE_PYTHON37": str(fake_python(tree.root / "py37", "3.7"))}
    locations = {"ARNOLD_LOCATION": "/opt/arnold", "MAYA_LOCATION": "/opt/maya",
                 "DEVKIT_LOCATION": ""}

    def configured(command):
        before = len(tree.recorded())
        done = tree.run(command, **pythons, **locations)
        assert done.returncode == 0, done.stderr
        return done.stdout, [{key: settings[key] for key in locations}
                             for name, args, settings in tree.recorded()[before:]
                             if name == "cmake" and args[0] == "--preset"]

    output, tested = configured(["make", "test"])
    assert ("== make test builds against the stand-ins: ARNOLD_LOCATION MAYA_LOCATION set "
            "aside (make deploy builds against them)") in output.splitlines()
    assert tested == [dict.fromkeys(locations)] * 4   # release, asan, py3.9, py3.7
    _, deployed = configured(["make", "deploy"])
    assert deployed == [locations] * 2
