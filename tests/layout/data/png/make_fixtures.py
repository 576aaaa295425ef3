#!/usr/bin/python3
"""Makes the PNG fixtures of the picture codec tests and their expected pixels.

Run once with Debian's python3-pil installed (it is not a build dependency):
    /usr/bin/python3 make_fixtures.py
Each fixture is written by the small PNG encoder below (so that every colour type, bit depth,
filter type and interlace method occurs), then decoded by Pillow as the reference decoder. The
expected pixels (<name>.rgb) are Pillow's decoding as 8-bit red, green, blue bytes, row by row,
with alpha flattened onto white the way the codec does it: (a v + 255 (255 - a)) div 255, 16-bit
samples taken by their high byte.
"""
import io
import struct
import zlib

from PIL import Image

ADAM7 = [(0, 0, 8, 8), (0, 4, 8, 8), (4, 0, 8, 4), (0, 2, 4, 4), (2, 0, 4, 2), (0, 1, 2, 2), (1, 0, 2, 1)]
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


class Lcg:
    def __init__(self, seed):
        self.state = seed

    def next(self, n):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return (self.state >> 8) % n


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def pack_row(samples, depth):
    if depth == 16:
        return b"".join(struct.pack(">H", s) for s in samples)
    if depth == 8:
        return bytes(samples)
    out, acc, bits = bytearray(), 0, 0
    for s in samples:
        acc = (acc << depth) | s
        bits += depth
        if bits == 8:
            out.append(acc)
            acc, bits = 0, 0
    if bits:
        out.append(acc << (8 - bits))
    return bytes(out)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def filter_row(kind, row, above, bpp):
    out = bytearray()
    for i, x in enumerate(row):
        a = row[i - bpp] if i >= bpp else 0
        b = above[i]
        c = above[i - bpp] if i >= bpp else 0
        pred = [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]
        out.append((x - pred) & 0xFF)
    return bytes([kind]) + bytes(out)


def encode(width, height, depth, ctype, interlace, pixels, palette=None, trns=None):
    """pixels[y][x] is a tuple of samples."""
    channels = CHANNELS[ctype]
    bpp = max(1, channels * depth // 8)
    raw = bytearray()
    passes = ADAM7 if interlace else [(0, 0, 1, 1)]
    for number, (r0, c0, rs, cs) in enumerate(passes):
        cols = list(range(c0, width, cs))
        rows = list(range(r0, height, rs))
        if not cols or not rows:
            continue
        above = bytes(len(pack_row([0] * len(cols) * channels, depth)))
        for k, y in enumerate(rows):
            row = pack_row([s for x in cols for s in pixels[y][x]], depth)
            raw += filter_row((k + number) % 5, row, above, bpp)
            above = row
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, ctype, 0, 0, interlace))
    if palette:
        out += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    if trns:
        out += chunk(b"tRNS", bytes(trns))
    out += chunk(b"tEXt", b"Comment\x00made for the codec tests")
    data = zlib.compress(bytes(raw), 9)
    half = len(data) // 2  # image data split over two chunks
    out += chunk(b"IDAT", data[:half]) + chunk(b"IDAT", data[half:])
    out += chunk(b"IEND", b"")
    return out


def sample_pixels(width, height, depth, ctype, rng, palette_size):
    top = (1 << depth) - 1
    channels = CHANNELS[ctype]
    alphas = [0, top, top // 2 + 1]
    pixels = []
    for y in range(height):
        row = []
        for x in range(width):
            if ctype == 3:
                row.append((rng.next(palette_size),))
                continue
            s = [rng.next(top + 1) for _ in range(channels)]
            if ctype in (4, 6) and (x + y) % 4 == 0:
                s[-1] = alphas[(x + 2 * y) % 3]
            row.append(tuple(s))
        pixels.append(row)
    return pixels


def flatten(v, a):
    return (a * v + 255 * (255 - a)) // 255


def expected_rgb(png):
    """The reference decoding, flattened onto white."""
    im = Image.open(io.BytesIO(png))
    im.load()
    out = bytearray()
    if im.mode in ("I", "I;16", "I;16B"):
        for v in im.getdata():
            out += bytes([v >> 8] * 3)
        return bytes(out)
    rgba = im.convert("RGBA") if im.mode in ("P", "LA", "RGBA", "PA") else im.convert("RGB")
    for p in rgba.getdata():
        if len(p) == 4:
            out += bytes(flatten(c, p[3]) for c in p[:3])
        else:
            out += bytes(p)
    return bytes(out)


def own_expectation(width, height, depth, ctype, pixels, palette, trns):
    """What the samples mean, worked out here independently, to check the reference decoder."""
    top = (1 << depth) - 1
    hi = (lambda s: s >> 8) if depth == 16 else (lambda s: s * 255 // top)
    out = bytearray()
    for row in pixels:
        for s in row:
            if ctype == 3:
                r, g, b = palette[s[0]]
                a = trns[s[0]] if trns and s[0] < len(trns) else 255
                out += bytes(flatten(c, a) for c in (r, g, b))
            elif ctype == 0:
                out += bytes([hi(s[0])] * 3)
            elif ctype == 4:
                out += bytes([flatten(hi(s[0]), hi(s[1]))] * 3)
            elif ctype == 2:
                out += bytes(hi(c) for c in s)
            else:
                out += bytes(flatten(hi(c), hi(s[3])) for c in s[:3])
    return bytes(out)


def make(name, width, height, depth, ctype, interlace, seed):
    rng = Lcg(seed)
    palette = trns = None
    palette_size = 0
    if ctype == 3:
        palette_size = min(1 << depth, 200)
        palette = [(rng.next(256), rng.next(256), rng.next(256)) for _ in range(palette_size)]
        if depth in (2, 8):
            trns = [0, 128, 255] + [rng.next(256) for _ in range(min(palette_size, 10) - 3)]
    pixels = sample_pixels(width, height, depth, ctype, rng, palette_size)
    png = encode(width, height, depth, ctype, interlace, pixels, palette, trns)
    rgb = expected_rgb(png)
    assert rgb == own_expectation(width, height, depth, ctype, pixels, palette, trns), name
    with open(name + ".png", "wb") as f:
        f.write(png)
    with open(name + ".rgb", "wb") as f:
        f.write(rgb)
    print(name, len(png), "bytes")


COMBOS = [(0, 1), (0, 2), (0, 4), (0, 8), (0, 16), (2, 8), (2, 16), (3, 1), (3, 2), (3, 4), (3, 8),
          (4, 8), (4, 16), (6, 8), (6, 16)]

if __name__ == "__main__":
    seed = 1
    for ctype, depth in COMBOS:
        for interlace in (0, 1):
            make(f"t{ctype}d{depth}{'i' if interlace else 'n'}", 9, 7, depth, ctype, interlace, seed)
            seed += 1
    make("t6d8i_1x1", 1, 1, 8, 6, 1, 99)
    make("t0d2i_5x3", 5, 3, 2, 0, 1, 100)
