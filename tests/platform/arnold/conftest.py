"""Fixtures of the stand-in's tests: the fake driver plug-in and a universe."""

import os

import pytest

import arnold_standin as ai


@pytest.fixture(scope="session")
def plugin():
    return ai.load_plugin(os.environ["FAKE_DRIVER"])


@pytest.fixture
def universe():
    return ai.Universe(xres=10, yres=7)


@pytest.fixture
def node(universe, plugin):
    node = universe.create_driver(plugin, "fake1")
    universe.clear_log()
    return node


@pytest.fixture(autouse=True)
def no_failures():
    yield
    ai.reset_failures()


def texts(universe, prefix=""):
    """The universe's log texts that begin with prefix."""
    return [text for _, text in universe.log if text.startswith(prefix)]
