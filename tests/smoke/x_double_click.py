#!/usr/bin/env python3
"""Moves the pointer of the X display to (x, y) and double-clicks the left button there through
the XTEST extension (loaded with ctypes, so that no X module for Python is needed)."""
import ctypes
import ctypes.util
import sys
import time


def main():
    x, y = int(sys.argv[1]), int(sys.argv[2])
    xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    xtst = ctypes.cdll.LoadLibrary(ctypes.util.find_library("Xtst") or "libXtst.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    display = xlib.XOpenDisplay(None)
    if not display:
        print("no display")
        return 1
    d = ctypes.c_void_p(display)
    xtst.XTestFakeMotionEvent(d, -1, x, y, 0)
    xlib.XFlush(d)
    time.sleep(0.2)
    for _ in range(2):
        xtst.XTestFakeButtonEvent(d, 1, True, 0)
        xtst.XTestFakeButtonEvent(d, 1, False, 0)
        xlib.XFlush(d)
        time.sleep(0.05)
    xlib.XSync(d, False)
    xlib.XCloseDisplay(d)
    return 0


if __name__ == "__main__":
    sys.exit(main())
