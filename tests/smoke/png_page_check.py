"""Checks the window image of a document: the interpage space at the left edge, the paper of the
page with its top margin blank, and ink in the rows where the document's first lines stand."""
import sys

from png_check import read_png


def pixel(rows, bpp, x, y):
    return tuple(rows[y][x * bpp:x * bpp + 3])


def main():
    path = sys.argv[1]
    width, height, bpp, rows = read_png(path)
    if width < 600 or height < 400:
        print("%s: size %dx%d is too small" % (path, width, height))
        return 1
    problems = []
    # The page's paper is white, the space around it grey.
    if pixel(rows, bpp, 2, height // 2) == (255, 255, 255):
        problems.append("no interpage space at the left edge")
    if pixel(rows, bpp, width // 3, 40) != (255, 255, 255):
        problems.append("the page's top margin is not blank paper")
    # The heading and the first paragraphs: dark or coloured ink on some rows below the margin.
    inked_rows = 0
    for y in range(60, min(height, 400)):
        row = rows[y]
        for x in range(30, min(width, 700) * bpp, bpp):
            px = tuple(row[x:x + 3])
            if sum(px) < 300:
                inked_rows += 1
                break
    if inked_rows < 40:
        problems.append("ink on only %d rows where the text stands" % inked_rows)
    for p in problems:
        print("%s: %s" % (path, p))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
