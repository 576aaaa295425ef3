#pragma once
// Underlines of a painted line. The line painter records one segment for every underlined run;
// after the text, segments that continue each other are merged and each merged segment is drawn
// in its style, so that an underline runs on unbroken across runs that differ only in font or
// size, sits under the tallest of them, and keeps the phase of its dots, dashes and waves.
#include <cstdint>
#include <span>
#include <vector>

#include "document/char_format.h"
#include "platform/gfx/types.h"

namespace plat {
class Canvas;
}

namespace qv {

// Underline style codes of TCharFormat::Underline.
enum : int32_t {
  ulNone = 0,
  ulSingle = 1,
  ulWordsOnly = 2,
  ulDouble = 3,
  ulDotted = 4,
  ulThick = 6,
  ulDash = 7,
  ulDashDot = 9,
  ulDashDotDot = 10,
  ulWave = 11,
  ulThickDotted = 20,
  ulThickDash = 23,
  ulThickDashDot = 25,
  ulThickDashDotDot = 26,
  ulHeavyWave = 27,
  ulLongDash = 39,
  ulDoubleWave = 43,
  ulThickLongDash = 55,
};

struct TUnderlineSegment {
  int32_t Start = 0;    // first character index in the line
  int32_t End = 0;      // index after the last one
  int32_t TextTop = 0;  // pixel y of the run's text cell
  uint16_t Ascent = 0;  // of the run's font, pixels
  uint16_t Descent = 0; // descent plus external leading
  TCharFormat Format;   // the run format
  uint32_t TextColor = 0;  // the run's text colour as painted
};

// The next segment continues the current one: it starts where the current one ends, with the
// same style, text colour, underline colour and subscript state, and compatible raise amounts.
bool UnderlineSegmentsJoin(const TUnderlineSegment& current, const TUnderlineSegment& next);
// Segments merged where they join; a merged segment takes the text top and metrics of its
// tallest part and is bold only when all its parts are.
std::vector<TUnderlineSegment> MergeUnderlineSegments(std::span<const TUnderlineSegment> segments);

// What one underline draws: filled rectangles, or wavy polylines clipped to a rectangle.
struct TUnderlineShape {
  std::vector<plat::Rect> Pieces;
  std::vector<std::vector<plat::Point>> Waves;
  int32_t PenWidth = 1;
  plat::Rect WaveClip;
};

// The shape of an underline of the style over [left, right) whose base is at baseY, for a font
// of the ascent. Patterns start at left - ((phase + left) mod period) so that they stay aligned
// to the document (phase = the view's horizontal scroll origin); unaligned patterns start at left.
// Codes that are no underline style give an empty shape; words-only draws as single.
TUnderlineShape UnderlineShape(int32_t style, int32_t ascent, bool bold, int32_t left,
                               int32_t right, int32_t baseY, int32_t phase, bool aligned);
// Fills the pieces and draws the waves in the colour; the canvas's clip is restored.
void DrawUnderlineShape(plat::Canvas& canvas, const TUnderlineShape& shape, uint32_t colour);

}  // namespace qv
