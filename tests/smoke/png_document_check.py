"""Checks the painted page of the smoke test's table_list.rtf line by line: the heading in
its colour, the paragraph in black, the table's three rows with text in both columns, the two
list items indented beyond the body text, and the last sentence at the body's left edge."""
import sys

from png_check import read_png


def main():
    path = sys.argv[1]
    width, height, bpp, rows = read_png(path)

    def px(x, y):
        return tuple(rows[y][x * bpp:x * bpp + 3])

    # The page: the longest run of white paper across the middle row.
    mid = height // 2
    best, start = (0, 0), None
    for x in range(width + 1):
        white = x < width and px(x, mid) == (255, 255, 255)
        if white and start is None:
            start = x
        elif not white and start is not None:
            best = max(best, (x - start, start))
            start = None
    page_width, page_left = best
    if page_width < 300:
        print("%s: no page found" % path)
        return 1
    page_right = page_left + page_width

    # Text lines: runs of rows with ink (dark or coloured) on the page.
    def ink(p):
        return sum(p) < 450 or max(p) - min(p) > 60

    # Guide lines the view may draw (the margins, the text boundaries) run down the whole page:
    # columns with ink on a sixth of the rows or more (dotted lines too) are not text.
    # The page starts below the menu bar: the first row where the paper's left edge is white.
    page_top = next((y for y in range(mid) if px(page_left + 4, y) == (255, 255, 255)), 0)
    rows_seen = range(page_top, min(height, 600))
    guides = set()
    for x in range(page_left + 2, page_right - 2):
        inked = sum(1 for y in rows_seen if ink(px(x, y)))
        if inked > len(rows_seen) // 6:
            guides.add(x)

    lines, current = [], None
    for y in rows_seen:
        xs = [x for x in range(page_left + 2, page_right - 2) if x not in guides and ink(px(x, y))]
        if xs:
            if current is None:
                current = {"top": y, "xs": set(), "colour": False}
            current["xs"].update(xs)
            current["colour"] |= any(max(px(x, y)) - min(px(x, y)) > 60 for x in xs)
            current["bottom"] = y
        elif current is not None:
            lines.append(current)
            current = None
    if current is not None:
        lines.append(current)
    # Drop the page's own frame (ink across the whole page) and stray rows of a few pixels.
    lines = [l for l in lines if l["bottom"] - l["top"] >= 4 and
             max(l["xs"]) - min(l["xs"]) < page_width * 9 // 10]
    if len(lines) < 8:
        print("%s: %d text lines on the page, expected at least 8" % (path, len(lines)))
        return 1
    heading, paragraph, row1, row2, row3, item1, item2, sentence = lines[:8]
    problems = []
    if not heading["colour"]:
        problems.append("the heading is not in its colour")
    if paragraph["colour"]:
        problems.append("the paragraph is not black")
    body_left = min(paragraph["xs"])
    column = page_left + page_width * 2 // 5
    for name, row in (("first", row1), ("second", row2), ("third", row3)):
        if not any(x < column for x in row["xs"]) or not any(x > column for x in row["xs"]):
            problems.append("the table's %s row has no text in both columns" % name)
    for name, item in (("first", item1), ("second", item2)):
        if min(item["xs"]) <= body_left + 10:
            problems.append("the %s list item is not indented" % name)
    if min(sentence["xs"]) > body_left + 3:
        problems.append("the last sentence does not start at the body's left edge")
    for p in problems:
        print("%s: %s" % (path, p))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
