"""A receiver that records every call of the drivers, with the thread that made it;
receive_bucket copies its block during the call, as a receiver must."""
import ctypes
import threading

calls = []


def render_setup(*args):
    calls.append(("render_setup", args, None, threading.get_ident()))


def receive_bucket(*args):
    index, xo, yo, size_x, size_y, channels, kind, address = args
    block = ctypes.string_at(address, size_x * size_y * channels)
    calls.append(("receive_bucket", args, block, threading.get_ident()))


def render_finished(*args):
    calls.append(("render_finished", args, None, threading.get_ident()))
