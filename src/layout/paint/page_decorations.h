#pragma once
// The parts of a painted page that are not text: the rule that separates footnotes and endnotes
// from the text, the lines between columns, dotted gridlines on table cells without borders, and
// the editing view's decorations of Print Layout pages: the shaded page margins, the dotted
// margin borders and, while a header or footer is edited in place, the labels that name it.
#include <cstdint>
#include <string>

#include "platform/gfx/types.h"

namespace plat {
class Canvas;
}

namespace qv {

class TBox;
class TDoc;
class TPage;

// View flags of the options that these read.
inline constexpr uint16_t ViewFlagGridlines = 0x4;
inline constexpr uint16_t ViewFlagHideWhiteSpace = 0x8;
inline constexpr uint16_t ViewFlagMarginBorders = 0x20;

// Gridlines show on the cells of tables (never in previews or print preview).
bool GridlinesShown(const TDoc* doc);
// A dotted line of the pattern (2: every fifth pixel, 3: two dots of every eight) from x1 to x2
// (y1 to y2) inclusive, aligned to the document so that it does not crawl while scrolling.
void DottedHLine(plat::Canvas& canvas, int32_t x1, int32_t x2, int32_t y, int32_t pattern,
                 uint32_t colour, int32_t phase);
void DottedVLine(plat::Canvas& canvas, int32_t x, int32_t y1, int32_t y2, int32_t pattern,
                 uint32_t colour, int32_t phase);

// The separator of a footnote or endnote area painted at r: a rule at most two inches long,
// vertically centred in the area's top inset, when the document shows that separator.
void PaintNoteSeparator(const TBox& area, plat::Canvas& canvas, const plat::Rect& r);
// The lines between the columns of a section band painted at r.
void PaintColumnLines(const TBox& band, plat::Canvas& canvas, const plat::Rect& r);

// Whether the page gets the editing view's decorations: Print Layout, no preview, no print
// preview, and the page holds text.
bool PageShowsDecorations(const TPage& page);
// The page margins in the scheme's "Page margin" colour (only when the scheme sets one).
void PaintPageMarginShading(TPage& page, plat::Canvas& canvas, const plat::Rect& paper);
// Dotted lines along the text area's edges (view flag 0x20; not while white space is hidden or
// a header or footer is edited in place).
void PaintPageMarginBorders(TPage& page, plat::Canvas& canvas, const plat::Rect& paper);
// While a header or footer is edited in place: dotted lines around the page's header and footer
// areas and their labels ("Header", "First Page Footer", "Section 2 Even Page Header" ...), with
// "Same as Previous" where the area shows an earlier section's header or footer.
void PaintHeaderFooterLabels(TPage& page, plat::Canvas& canvas, const plat::Rect& paper);

// The label of a page's header (or footer) while headers and footers are edited in place.
struct THeaderFooterLabel {
  std::string Text;
  bool SameAsPrevious = false;
};
THeaderFooterLabel HeaderFooterLabel(TPage& page, bool footer);

}  // namespace qv
