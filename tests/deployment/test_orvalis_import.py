"""orvalis in the interpreter that it is built for (Maya's Python 3.7 when deployed), which
may lack numpy: importing it and computing a mask need none."""

import os
import shutil
import subprocess
import sys
import sysconfig

import pytest

from conftest import in_build_python


def test_module_imports_in_the_build_python():
    module = in_build_python("""
        import json, sysconfig
        import orvalis
        print(json.dumps({"version": orvalis.__version__, "doc": orvalis.__doc__,
                          "file": orvalis.__file__,
                          "suffix": sysconfig.get_config_var("EXT_SUFFIX"),
                          "functions": sorted(n for n in vars(orvalis) if n[0] != "_")}))
    """)
    assert module["version"] == "dev"
    assert module["doc"] is None
    assert module["file"].endswith("/orvalis" + module["suffix"])  # .cpython-37m-... for 3.7
    assert module["functions"] == ["compute_cam_mask_vtx_colors", "set_renderview_image"]


def test_camera_mask_runs_without_numpy():
    # With nothing to find, the mask reports its failed selection look-up as a Maya warning
    # and returns: the whole call, through the Maya libraries, with numpy blocked.
    warnings = in_build_python("""
        import json, sys
        sys.modules["numpy"] = None
        import maya_standin, orvalis
        maya_standin.reset()
        orvalis.compute_cam_mask_vtx_colors("", "", "mask", 1, True, True, True)
        print(json.dumps(maya_standin.warnings()))
    """)
    assert len(warnings) == 1
    assert warnings[0].startswith("compute_cam_mask_vtx_colors() : ")


def test_set_renderview_image_needs_numpy():
    raised = in_build_python("""
        import json, sys
        sys.modules["numpy"] = None
        import maya_standin, orvalis
        maya_standin.reset()
        try:
            orvalis.set_renderview_image(1, 1, 3, False, b"abc")
        except ImportError as error:
            print(json.dumps(["numpy" in str(error), maya_standin.render_view_calls()]))
    """)
    assert raised == [True, []]  # raised before any Maya call


def test_another_python_version_refuses_the_module(tmp_path):
    build_version = in_build_python("""
        import json, sys
        print(json.dumps("%d.%d" % sys.version_info[:2]))
    """)
    if build_version == "%d.%d" % sys.version_info[:2]:
        pytest.skip("pytest runs under the build's Python version; no other one to try")
    # The file renamed so that pytest's interpreter finds it: the module's entry refuses it.
    found = [name for name in os.listdir(os.environ["KORVANE_PYTHON_DIR"])
             if name.startswith("orvalis.")]
    assert len(found) == 1
    shutil.copy(os.path.join(os.environ["KORVANE_PYTHON_DIR"], found[0]),
                tmp_path / ("orvalis" + sysconfig.get_config_var("EXT_SUFFIX")))
    done = subprocess.run([sys.executable, "-c", "import orvalis"], cwd=tmp_path,
                          capture_output=True, text=True)
    assert done.returncode == 1
    assert ("ImportError: Python version mismatch: module was compiled for Python "
            + build_version + ",") in done.stderr
