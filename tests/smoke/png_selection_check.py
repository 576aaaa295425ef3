#!/usr/bin/env python3
"""Reads screen images of the main window showing a document whose first line holds a few words.

  png_selection_check.py word IMAGE N        prints "x y", the middle of the N-th word (from 1) of
                                              the first text line; fails while there is none
  png_selection_check.py check BEFORE AFTER N checks AFTER, taken once the N-th word was selected,
                                              against BEFORE, taken just before: the status bar is
                                              shown at the bottom and follows the selection, and
                                              the selection tint lies over that word alone

The window's frame (menu bar and status bar) is the frame's light grey; the text is dark ink on
white paper. Words are told apart by the blank columns of a space."""
import sys
from collections import Counter

from png_check import read_png

FRAME_GREY = (0xF0, 0xF0, 0xF0)
WHITE = (0xFF, 0xFF, 0xFF)
WORD_GAP = 5        # blank columns between two words at least (letters stand closer)
SCROLL_BAR = 24     # columns at the right edge left out of the text search


class Image:
    def __init__(self, path):
        self.width, self.height, self.bpp, self.rows = read_png(path)

    def px(self, x, y):
        return tuple(self.rows[y][x * self.bpp:x * self.bpp + 3])

    def row_colour(self, y):
        return Counter(self.px(x, y) for x in range(0, self.width, 2)).most_common(1)[0][0]


def is_ink(p):
    return sum(p) < 300


def status_bar(im):
    """The rows of the bottom band in the frame's grey: (top, bottom) or None."""
    y = im.height - 1
    while y >= 0 and im.row_colour(y) == FRAME_GREY:
        y -= 1
    return (y + 1, im.height) if y + 1 < im.height else None


def text_area(im):
    """The rows between the top band of the frame and the status bar."""
    top = 0
    while top < im.height and im.row_colour(top) == FRAME_GREY:
        top += 1
    bar = status_bar(im)
    return top + 2, (bar[0] - 1 if bar else im.height)


def first_line(im):
    """The rows of the first line of text, and its words as (left, right) column ranges."""
    top, bottom = text_area(im)
    right = im.width - SCROLL_BAR

    def inked(y):
        return any(is_ink(im.px(x, y)) for x in range(right))

    y = top
    while y < bottom and not inked(y):
        y += 1
    ys = []
    while y < bottom and inked(y):
        ys.append(y)
        y += 1
    if not ys:
        return [], []
    columns = [x for x in range(right) if any(is_ink(im.px(x, yy)) for yy in ys)]
    words = []
    for x in columns:
        if words and x - words[-1][1] <= WORD_GAP:
            words[-1][1] = x
        else:
            words.append([x, x])
    # A caret standing apart is a narrow run, not a word.
    return ys, [(l, r) for l, r in words if r - l >= 3]


def word_box(im, n):
    ys, words = first_line(im)
    if len(words) < n:
        return None
    left, right = words[n - 1]
    return left, ys[0], right, ys[-1]


def share(before, after, box, test):
    """Of the pixels in the box that are white in BEFORE, the share that passes `test` in AFTER."""
    left, top, right, bottom = box
    cells = [(x, y) for y in range(top, bottom + 1) for x in range(left, right + 1)
             if before.px(x, y) == WHITE]
    if not cells:
        return 0.0
    return sum(1 for x, y in cells if test(after.px(x, y))) / len(cells)


def check(before, after, n):
    problems = []
    bar = status_bar(after)
    if bar is None or not 15 <= bar[1] - bar[0] <= 40:
        problems.append("no status bar at the bottom of the window (band %s)" % (bar,))
    else:
        top, bottom = bar
        ink = sum(1 for y in range(top, bottom) for x in range(after.width // 2)
                  if is_ink(after.px(x, y)))
        if ink < 30:
            problems.append("the status bar shows no text (%d ink pixels)" % ink)
        changed = sum(1 for y in range(top, bottom) for x in range(after.width)
                      if before.px(x, y) != after.px(x, y))
        if changed < 20:
            problems.append("the status bar did not follow the selection (%d pixels changed)" % changed)
    _, words = first_line(before)
    if len(words) < max(n, 2):
        problems.append("the first line shows %d words" % len(words))
        return problems
    ys, _ = first_line(before)
    for i, (left, right) in enumerate(words, 1):
        box = (left, ys[0], right, ys[-1])
        if i == n:
            tinted = share(before, after, box, lambda p: p != WHITE)
            if tinted < 0.9:
                problems.append("only %d%% of word %d's paper is tinted" % (tinted * 100, i))
        else:
            kept = share(before, after, box, lambda p: p == WHITE)
            if kept < 0.9:
                problems.append("word %d is tinted too (%d%% of its paper kept)" % (i, kept * 100))
    return problems


def main():
    mode = sys.argv[1]
    if mode == "word":
        box = word_box(Image(sys.argv[2]), int(sys.argv[3]))
        if box is None:
            return 1
        print("%d %d" % ((box[0] + box[2]) // 2, (box[1] + box[3]) // 2))
        return 0
    before, after = Image(sys.argv[2]), Image(sys.argv[3])
    problems = check(before, after, int(sys.argv[4]))
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
