#include "docwindow/caret_keys.h"

#include <algorithm>
#include <climits>

#include "document/doc.h"
#include "document/line.h"
#include "document/par.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "docwindow/scroll_into_view.h"
#include "foundation/base/units.h"
#include "layout/box.h"
#include "layout/char_positions.h"
#include "layout/paint/box_geometry.h"
#include "platform/controls/control.h"
#include "platform/win/keys.h"

namespace qv {

namespace {

bool Placed(const TPar& par) { return par.HasFlag(pfLinesValid) && !par.Lines.empty(); }

TLine* LineOf(TDoc& doc, const TDocPosition& p) {
  if (p.Par < 0 || p.Par >= doc.ParCount()) return nullptr;
  TPar& par = *doc.Par(p.Par);
  if (!Placed(par)) return nullptr;
  return par.Lines[static_cast<size_t>(std::clamp(p.Line, 0, static_cast<int32_t>(par.Lines.size()) - 1))];
}

// The caret's x in view pixels (the insertion point, not the caret image's left).
int32_t CaretPointX(const TDoc& doc) { return doc.View.CaretX + doc.View.CaretInset; }

// The position on the line nearest to a view x.
TDocPosition AtX(TDoc& doc, TLine& line, int32_t viewX) {
  TDocPosition p;
  MakePosition(line.Par->Index, line.FirstChar, p);
  p.Line = line.LineIndex;
  if (line.Box == nullptr) return p;
  const plat::Point origin = BoxToViewPoint(*line.Box, {line.Box->PixelMargins.left, 0});
  const int32_t x = MulDiv(viewX - origin.x, 100, std::max(1, doc.ZoomPercent));
  p.Offset = line.FirstChar + std::clamp(CharIndexAtX(line, x), 0, line.Count);
  p.Offset = std::min(p.Offset, std::max(0, line.Par->CharCount() - 1));
  return p;
}

// The line above or below the caret's line (across paragraphs), laid out; null at the story's
// edge.
TLine* NeighbourLine(TDoc& doc, const TDocPosition& caret, int32_t direction) {
  TPar& par = *doc.Par(caret.Par);
  const int32_t line = caret.Line + direction;
  if (Placed(par) && line >= 0 && line < static_cast<int32_t>(par.Lines.size()))
    return par.Lines[static_cast<size_t>(line)];
  TDocRange story;
  doc.GetCurrentStoryRange(story);
  for (int32_t p = caret.Par + direction; p >= story.Start.Par && p <= story.End.Par; p += direction) {
    TDocPosition at;
    MakePosition(p, direction > 0 ? 0 : std::max(0, doc.Par(p)->CharCount() - 1), at);
    EnsureLaidOut(doc, at, false);
    TPar& next = *doc.Par(p);
    if (!Placed(next)) continue;
    return direction > 0 ? next.Lines.front() : next.Lines.back();
  }
  return nullptr;
}

bool LineMove(TDoc& doc, TDocPosition& target, int32_t direction) {
  TLine* line = NeighbourLine(doc, target, direction);
  if (line == nullptr) return false;
  const int32_t x = CaretPointX(doc);
  target = AtX(doc, *line, x);
  return true;
}

bool TargetFor(TDocForm& form, TDoc& doc, uint8_t key, bool ctrl, TDocPosition& target) {
  target = doc.Caret;
  const int32_t length = doc.Par(target.Par)->CharCount();
  TDocRange story;
  doc.GetCurrentStoryRange(story);
  switch (key) {
    case plat::VK_LEFT:
      if (ctrl) {
        target = doc.PrevWordStart(target);
        return true;
      }
      return PrevCharPosition(doc, target);
    case plat::VK_RIGHT:
      if (ctrl) {
        target = doc.NextWordStart(target);
        return true;
      }
      if (target.Offset + 1 < length) {
        ++target.Offset;
        return true;
      }
      if (target.Par >= story.End.Par) return false;
      MakePosition(target.Par + 1, 0, target);
      return true;
    case plat::VK_UP:
    case plat::VK_DOWN:
      return LineMove(doc, target, key == plat::VK_UP ? -1 : 1);
    case plat::VK_HOME:
    case plat::VK_END: {
      if (ctrl) {
        target = key == plat::VK_HOME ? story.Start : story.End;
        if (key == plat::VK_END) target.Offset = std::max(0, doc.Par(target.Par)->CharCount() - 1);
        return true;
      }
      TLine* line = LineOf(doc, target);
      if (line == nullptr) {
        target.Offset = key == plat::VK_HOME ? 0 : std::max(0, length - 1);
        return true;
      }
      target.Offset = key == plat::VK_HOME ? line->FirstChar : std::min(line->LastChar(), length - 1);
      return true;
    }
    case plat::VK_PRIOR:
    case plat::VK_NEXT: {
      // Line by line until the caret moved by most of a window's height.
      const int32_t direction = key == plat::VK_PRIOR ? -1 : 1;
      const int32_t height = std::max(1, form.PageArea.Height() * 9 / 10);
      const int32_t startY = doc.View.CaretY;
      const int32_t x = CaretPointX(doc);
      bool moved = false;
      for (int32_t guard = 0; guard < 100000; ++guard) {
        TLine* line = NeighbourLine(doc, target, direction);
        if (line == nullptr) break;
        target = AtX(doc, *line, x);
        moved = true;
        const plat::Point top = BoxToViewPoint(*line->Box, {0, doc.TwipsToPixelsY(line->Top)});
        if (std::abs(top.y - startY) >= height) break;
      }
      return moved;
    }
    default:
      return false;
  }
}

}  // namespace

bool HandleCaretKey(TDocForm& form, uint8_t key, uint8_t shift) {
  if (key < plat::VK_PRIOR || key > plat::VK_DOWN || form.DocPtr() == nullptr) return false;
  TDoc& doc = form.Doc();
  if (doc.ParCount() == 0) return false;
  const bool extend = (shift & plat::ssShift) != 0;
  const bool ctrl = (shift & plat::ssCtrl) != 0;
  // Moving without Shift from a selection starts at its near end.
  if (!extend && doc.HasSelection() && (key == plat::VK_LEFT || key == plat::VK_RIGHT)) {
    const TDocRange* first = doc.Selection->GetRange(0);
    const TDocRange* last = doc.Selection->GetRange(doc.Selection->Count() - 1);
    TDocPosition to = key == plat::VK_LEFT ? first->Start : last->End;
    to.Offset = std::min(to.Offset, std::max(0, doc.Par(to.Par)->CharCount() - 1));
    MoveCaretByKey(doc, to, cmMove, key);
    return true;
  }
  if (extend) form.Flags |= TDocForm::dfShiftNavigating;
  TDocPosition target;
  if (!TargetFor(form, doc, key, ctrl, target)) return false;
  MoveCaretByKey(doc, target, extend ? cmExtend : cmMove, key);
  return true;
}

}  // namespace qv
