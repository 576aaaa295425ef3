"""Checks that a saved window image is the painted main window: the menu bar at the top and the
status bar at the bottom in the frame's light grey, and the page of the new empty document
(white paper) in the document area between them."""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, idat, ihdr = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour = ihdr[:4]
    if depth != 8 or colour not in (2, 6):
        raise ValueError("unexpected pixel format")
    bpp = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, prev = [], bytearray(stride)
    for y in range(height):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if f == 1:
                line[i] = (line[i] + a) & 0xFF
            elif f == 2:
                line[i] = (line[i] + b) & 0xFF
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 0xFF
        rows.append(bytes(line))
        prev = line
    return width, height, bpp, rows


def main():
    width, height, bpp, rows = read_png(sys.argv[1])
    if width < 640 or height < 480:
        print("size %dx%d, expected a main window" % (width, height))
        return 1

    def px(x, y):
        return tuple(rows[y][x * bpp:x * bpp + 3])

    for x, y in ((width // 2, 2), (width // 2, height - 3)):
        if px(x, y) != (0xF0, 0xF0, 0xF0):
            print("pixel at %d,%d is %s, expected the frame's grey" % (x, y, px(x, y)))
            return 1
    paper = sum(1 for y in range(height // 4, height * 3 // 4, 4)
                for x in range(0, width, 4) if px(x, y) == (0xFF, 0xFF, 0xFF))
    if paper < 1000:
        print("no page painted in the document area (%d paper pixels)" % paper)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
