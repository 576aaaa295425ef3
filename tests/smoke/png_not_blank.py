"""Checks that saved window images are PNGs of a plausible size with something drawn on them:
several colours, and dark pixels (text) on a share of the rows."""
import sys

from png_check import read_png


def check(path, min_width, min_height):
    width, height, bpp, rows = read_png(path)
    if width < min_width or height < min_height:
        return "%s: size %dx%d, expected at least %dx%d" % (path, width, height, min_width, min_height)
    colours = set()
    text_rows = 0
    for row in rows:
        dark = False
        for x in range(0, width * bpp, bpp):
            px = tuple(row[x:x + 3])
            colours.add(px)
            if sum(px) < 200:
                dark = True
        text_rows += dark
    if len(colours) < 4:
        return "%s: only %d colours: the window is blank" % (path, len(colours))
    if text_rows < height // 10:
        return "%s: dark pixels on only %d of %d rows: no text drawn" % (path, text_rows, height)
    return None


def main():
    # Arguments: PATH MIN_WIDTH MIN_HEIGHT, repeated.
    args = sys.argv[1:]
    failed = False
    for i in range(0, len(args), 3):
        problem = check(args[i], int(args[i + 1]), int(args[i + 2]))
        if problem:
            print(problem)
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
