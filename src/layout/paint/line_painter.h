#pragma once
// Painting one laid-out line: its text runs at the positions of the line's cached character
// widths, with strike-through, shadow, outline, emboss and engrave, and its underlines. Runs are
// cut only where a content tag or a drawing rule needs it, so a line is a handful of text calls.
// The selection is not drawn here (the view tints it afterwards).
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/gfx/types.h"

namespace plat {
class Canvas;
}

namespace qv {

class TDoc;
class TLine;

// Sees what the line painter draws (diagnostics and tests); the drawing itself is unchanged.
class TLinePaintObserver {
 public:
  virtual ~TLinePaintObserver() = default;
  // One text call: its origin, text, advances and the font's pixel height (negative = em height).
  virtual void OnText(int32_t /*x*/, int32_t /*y*/, std::u16string_view /*text*/,
                      std::span<const int32_t> /*dx*/, int32_t /*fontHeight*/) {}
  // One strike-through bar.
  virtual void OnStrike(const plat::Rect& /*rect*/, uint32_t /*colour*/) {}
  // The pagination mark of a paragraph's first line.
  virtual void OnPaginationMark(const plat::Rect& /*rect*/) {}
  // One merged underline: characters [start, end) of the line in the style.
  virtual void OnUnderline(int32_t /*start*/, int32_t /*end*/, int32_t /*style*/) {}
};

// Paints the line with the left edge of its box at x and its top at y. Painting never fails:
// a line outside the canvas's clip is skipped, damaged content ends the walk, and the canvas's
// state (font, colours, clip) is restored before it returns.
void PaintLine(TLine& line, plat::Canvas& canvas, int32_t x, int32_t y,
               TLinePaintObserver* observer = nullptr);

// The line's height in pixels at the document's zoom, at least 1.
int32_t LineHeightPixels(const TLine& line);
// Pixel x of character boundary n of the line, relative to its box's left edge, at the zoom
// (the line's cached widths plus the box's left inset).
int32_t LineTextX(TLine& line, int32_t n);

}  // namespace qv
