#include "layout/paint/spelling_marks.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/line.h"
#include "document/par.h"
#include "foundation/base/service_slot.h"
#include "foundation/base/units.h"
#include "layout/layout_units.h"
#include "layout/line_fitter.h"
#include "layout/paint/spelling_mark_services.h"
#include "platform/gfx/canvas.h"

namespace qv {

namespace {

// Scoped document flags set while painting has the spellchecker look at a paragraph: a redraw
// asked for meanwhile is dropped, and the checker knows it runs for painting.
constexpr int32_t kPaintCheckFlag = 122;
constexpr int32_t kPaintCheckRunning = 123;

}  // namespace

void RegisterSpellingMarkServices(std::unique_ptr<TSpellingMarkServices> services) {
  RegisterService(std::move(services));
}
TSpellingMarkServices& SpellingMarkServices() { return Service<TSpellingMarkServices>(); }

bool LineHasSpellingMarks(TLine& line, bool dimmed) {
  if (line.Par == nullptr || line.Par->Doc == nullptr || dimmed) return false;
  TPar& par = *line.Par;
  TDoc& doc = *par.Doc;
  if (doc.IsDocFlagSet(dfPreview) || doc.PrintPreview) return false;
  TSpellingMarkServices& checker = SpellingMarkServices();
  if (!checker.ChecksAsYouType(doc)) return false;
  if (!checker.IsBusy()) {
    // A header or footer shows other text on every page: its marks are found again each time.
    if (doc.StoryOfParagraph(par.Index) == stHeadersFooters) {
      par.Spell.Generation = -1;
      par.Spell.Marks.clear();
      par.Spell.MarkCount = 0;
    }
    if (!checker.IsParagraphChecked(par)) {
      TScopedDocFlag painting(doc, kPaintCheckFlag);
      TScopedDocFlag running(doc, kPaintCheckRunning);
      checker.CheckRange(doc, par.Index, line.FirstChar, line.FirstChar + line.Count);
    }
  }
  return par.Spell.Generation == checker.CheckSerial() && !par.Spell.Marks.empty();
}

void DrawSpellingWave(plat::Canvas& canvas, int32_t left, int32_t right, int32_t baseRow,
                      uint32_t colour, int32_t phase) {
  if (right <= left) return;
  // Only the columns that can be drawn are walked, however long the mark.
  const plat::Rect clip = canvas.ClipBox();
  left = std::max(left, clip.left);
  right = std::min(right, clip.right);
  for (int32_t x = left; x < right; ++x) {
    const int64_t step = std::llabs(int64_t{x} + phase) % 4;
    const int32_t row = step == 0 ? baseRow - 1 : step == 2 ? baseRow + 1 : baseRow;
    canvas.SetPixel(x, row, colour);
  }
}

int32_t SpellMarkBaseline(const TLine& line, int32_t spaceAbove) {
  const TPar* par = line.Par;
  const TDoc* doc = par != nullptr ? par->Doc : nullptr;
  auto pxY = [doc](int32_t twips) {
    return doc != nullptr ? doc->TwipsToPixelsY(twips) : TwipsToScreenPixels(twips);
  };
  if (line.HasFlag(lfDropCap)) return pxY(spaceAbove) - 5;
  const int32_t rule = par != nullptr ? par->Format.LineRule : ParUnset16;
  const int32_t spacing = par != nullptr ? par->Format.LineSpacing : ParUnset16;
  if (rule == 0 && spacing < 0 && spacing != ParUnset16)
    return pxY(spaceAbove + PercentOf(-spacing, 80));
  const TLayoutSettings& s = LayoutLineFitter().Settings;
  const int32_t zoom = doc != nullptr ? doc->ZoomPercent : 100;
  const int32_t sum = LayoutToPixelsY(line.Ascent, s) + TwipsToScreenPixels(spaceAbove, s);
  int32_t baseline = doc != nullptr ? doc->ZoomValueY(sum) : sum;
  // When the zoom rounded the baseline up by more than it rounds the descent, the marks would
  // touch the next line: they stay a pixel higher.
  const int32_t remainder = static_cast<int32_t>((int64_t{sum} * zoom) % 100);
  const int32_t descentRemainder =
      static_cast<int32_t>((int64_t{LayoutToPixelsY(line.Descent, s)} * zoom) % 100);
  if (remainder >= 50 && remainder < descentRemainder) --baseline;
  if (rule == 1 && spacing > 0 && spacing < 240) {
    const int32_t base = LayoutToPixelsY(line.SpacingAscent, s);
    baseline -= MulDiv(doc != nullptr ? doc->ZoomValueY(base) : base, 240 - spacing, 240);
  }
  return baseline;
}

}  // namespace qv
