#include "layout/paint/formatting_marks.h"

#include <algorithm>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "foundation/settings/options_holder.h"
#include "platform/gfx/canvas.h"

namespace qv {

namespace {

constexpr uint8_t kPilcrow = 182;
constexpr uint8_t kCurrencySign = 164;
constexpr uint8_t kDegreeSign = 176;
constexpr uint8_t kEnDash = 150;
constexpr uint8_t kEmDash = 151;
constexpr uint8_t kMiddleDot = 183;
constexpr uint8_t kBullet = 149;

void Bar(plat::Canvas& canvas, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
  canvas.FillRect({x, y, x + w, y + h}, colour);
}

}  // namespace

TMarkSettings MarkSettingsFor(const TDoc* doc) {
  TMarkSettings marks;
  const TViewOptions& view = GetOptionsHolder().Options.View;
  marks.Types = view.SpecSymbTypesEx;
  marks.Allowed = (view.Flags & ViewFlagSpecialSymbols) != 0 &&
                  (doc == nullptr || (!doc->PrintPreview && !doc->IsDocFlagSet(dfPreview)));
  return marks;
}

uint8_t MarkGlyph(uint8_t code, const TMarkSettings& marks) {
  if (!marks.Allowed) return 0;
  switch (code) {
    case ' ':
      return marks.Shows(TMarkSettings::Spaces) ? kMiddleDot : 0;
    case scParagraphEnd:
      return marks.Shows(TMarkSettings::ParagraphEnds) ? kPilcrow : 0;
    case scCellEnd:
    case scRowEnd:
      return marks.Shows(TMarkSettings::ParagraphEnds) ? kCurrencySign : 0;
    case scNonBreakingSpace:
      return kDegreeSign;
    case scNonBreakingHyphen:
    case scEnDash:
      return kEnDash;
    case scEmDash:
      return kEmDash;
    case scOptionalHyphen:
      return '-';
    case scEnSpace:
    case scEmSpace:
    case scQuarterEmSpace:
      return marks.Shows(TMarkSettings::Spaces) ? kBullet : ' ';
    default:
      return 0;
  }
}

std::string BreakLabelText(int32_t label) {
  switch (label) {
    case 0:
      return "Page Break";
    case 1:
      return "Column Break";
    case 2:
      return "Section Break (Continuous)";
    case 4:
      return "Section Break (Even Page)";
    case 5:
      return "Section Break (Odd Page)";
    default:
      return "Section Break (Next Page)";
  }
}

void DrawLineBreakMark(plat::Canvas& canvas, int32_t b, int32_t f, uint32_t colour) {
  Bar(canvas, b, f + 4, 9, 1, colour);      // shaft
  Bar(canvas, b + 1, f + 3, 2, 3, colour);  // head
  Bar(canvas, b + 2, f + 2, 2, 5, colour);
  Bar(canvas, b + 9, f, 1, 4, colour);      // stem
}

void DrawOptionalHyphenMark(plat::Canvas& canvas, int32_t left, int32_t right, int32_t top,
                            int32_t height, uint32_t colour) {
  const int32_t mid = left + (right - left) / 2;
  const int32_t h = std::max(1, height);
  Bar(canvas, mid, top, 1, h, colour);
  Bar(canvas, mid, top - 1, 3, 1, colour);      // tick to the right at the top
  Bar(canvas, mid - 2, top + h, 3, 1, colour);  // tick to the left at the bottom
}

void DrawTabArrow(plat::Canvas& canvas, const plat::Rect& cell, uint32_t colour) {
  const int32_t l = cell.left + (cell.Width() - 10) / 2;
  const int32_t t = cell.top + (cell.Height() - 5) / 2;
  Bar(canvas, l, t + 2, 12, 1, colour);
  Bar(canvas, l + 6, t, 2, 5, colour);
  Bar(canvas, l + 8, t + 1, 2, 3, colour);
}

void DrawPatternLine(plat::Canvas& canvas, int32_t left, int32_t right, int32_t y, int pattern,
                     uint32_t colour) {
  // Phase from x so that rules drawn in pieces look as one.
  for (int32_t x = left; x < right; ++x) {
    const bool on = pattern == 0 ? (x & 1) == 0 : (x & 3) < 2;
    if (on) canvas.SetPixel(x, y, colour);
  }
}

}  // namespace qv
