#!/usr/bin/env python3
"""Saves what the X display shows as a PNG file: the whole screen, or the rectangle X Y WIDTH
HEIGHT. Usage: x_screen_image.py OUT.png [X Y WIDTH HEIGHT]. The image is read with XGetImage
through ctypes, so that no X module for Python and no screenshot tool is needed."""
import ctypes
import ctypes.util
import struct
import sys
import zlib

Z_PIXMAP = 2
ALL_PLANES = ctypes.c_ulong(-1 & 0xFFFFFFFFFFFFFFFF)


class XImage(ctypes.Structure):
    # The leading fields of Xlib's XImage, as far as the pixel masks.
    _fields_ = [
        ("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
        ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
        ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
        ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
        ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
        ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong),
    ]


def shift_of(mask):
    shift = 0
    while mask and not mask & 1:
        mask >>= 1
        shift += 1
    return shift


def grab(rect):
    xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XDefaultRootWindow.restype = ctypes.c_ulong
    xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    xlib.XDisplayWidth.argtypes = xlib.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xlib.XGetImage.restype = ctypes.POINTER(XImage)
    xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                               ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    display = xlib.XOpenDisplay(None)
    if not display:
        raise RuntimeError("no display")
    if rect is None:
        rect = (0, 0, xlib.XDisplayWidth(display, 0), xlib.XDisplayHeight(display, 0))
    x, y, w, h = rect
    image = xlib.XGetImage(display, xlib.XDefaultRootWindow(display), x, y, w, h, ALL_PLANES,
                           Z_PIXMAP)
    if not image:
        raise RuntimeError("XGetImage failed")
    im = image.contents
    if im.bits_per_pixel != 32:
        raise RuntimeError("unexpected %d bits per pixel" % im.bits_per_pixel)
    raw = ctypes.string_at(im.data, im.bytes_per_line * im.height)
    order = "<" if im.byte_order == 0 else ">"
    masks = [(m, shift_of(m)) for m in (im.red_mask, im.green_mask, im.blue_mask)]
    rows = []
    for row in range(im.height):
        start = row * im.bytes_per_line
        words = struct.unpack_from("%s%dI" % (order, im.width), raw, start)
        line = bytearray(im.width * 3)
        for i, word in enumerate(words):
            for c, (mask, shift) in enumerate(masks):
                line[i * 3 + c] = (word & mask) >> shift
        rows.append(bytes(line))
    xlib.XCloseDisplay(ctypes.c_void_p(display))
    return w, h, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = b"".join(b"\x00" + r for r in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        f.write(chunk(b"IEND", b""))


def main():
    rect = tuple(int(v) for v in sys.argv[2:6]) if len(sys.argv) >= 6 else None
    width, height, rows = grab(rect)
    write_png(sys.argv[1], width, height, rows)
    return 0


if __name__ == "__main__":
    sys.exit(main())
