#pragma once
// Pixel positions of character boundaries in fitted lines and the way back from a pixel x to a
// character. Each paragraph keeps a cache of whole-pixel character widths (TPar::Widths: two
// 16-bit halves of a key made of the two scale percentages, then one width per character), made
// from the lines' precise layout-unit positions so that the rounding errors of single characters
// never add up along a line. A line's widths are made again when its lfWidthsCurrent flag is
// clear or the scales changed.
#include <cstdint>

namespace qv {

class TLine;

// Pixel x of the boundary before character n of the line (n = Count gives the line's end).
int32_t GetLineCharX(TLine& line, int32_t n);
// The character boundary nearest to a pixel x (ties go to the right); right of every boundary
// the line's end, or the position before the paragraph mark on the paragraph's last line.
int32_t CharIndexAtX(TLine& line, int32_t x);

struct TCharRange {
  int32_t First = 0;
  int32_t Last = 0;
};
// The boundaries of the line that a block (column) selection between two pixel x values covers:
// the boundary nearest to the left x (a tie goes right) and the one nearest to the right x from
// there on (a tie goes left); the paragraph mark is never included. Equal x values give (0, 0).
TCharRange BlockSelectionCharRange(TLine& line, int32_t x1, int32_t x2);

}  // namespace qv
