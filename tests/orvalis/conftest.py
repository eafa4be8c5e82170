"""Shared fixture of the orvalis tests: a fresh Maya scene for every test."""
import pytest

import maya_standin as maya


@pytest.fixture
def scene():
    """The Maya stand-in, reset before and after the test."""
    maya.reset()
    yield maya
    maya.reset()
