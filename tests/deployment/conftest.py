"""What the tests of a build for a deployed Python share. pytest may run under another
Python than the build's (KORVANE_PYTHON_EXECUTABLE): everything about the build's Python
is asked of that interpreter, in a process of its own."""

import json
import os
import subprocess
import textwrap

# The driver libraries of the build (none in a build without drivers).
DRIVERS = [name for name in os.environ.get("KORVANE_DRIVER_PLUGINS", "").split(",") if name]


def in_build_python(source, env=None):
    """Runs source in the build's interpreter (in the environment `env`, by default this
    one) and returns what it printed as JSON."""
    done = subprocess.run([os.environ["KORVANE_PYTHON_EXECUTABLE"], "-c",
                           textwrap.dedent(source)], check=True, capture_output=True, text=True,
                          env=env)
    return json.loads(done.stdout)
