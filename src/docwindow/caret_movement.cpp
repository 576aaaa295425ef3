#include "docwindow/caret_movement.h"

#include <algorithm>
#include <climits>
#include <span>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/line.h"
#include "document/par.h"
#include "document/selection_flags.h"
#include "document/selection_services.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/hit_test.h"
#include "docwindow/scroll_into_view.h"
#include "docwindow/view_flags.h"
#include "foundation/settings/options_holder.h"
#include "layout/box.h"
#include "layout/line_metrics.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/line_painter.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

constexpr int32_t kCmdBrowsePrevious = 4225;
constexpr int32_t kCmdBrowseNext = 4226;
constexpr int32_t kSoundCapsLock = 12420;
constexpr int32_t kSoundNumLock = 12430;
// The browse object Page.
constexpr uint8_t kBrowsePage = 4;
// Pixels the page-key caret keeps from the page area's edge.
constexpr int32_t kPageKeyMargin = 10;

bool IsNavigationKey(uint8_t key) { return key >= plat::VK_PRIOR && key <= plat::VK_DOWN; }
bool IsModifierKey(uint8_t key) { return key >= plat::VK_SHIFT && key <= plat::VK_MENU; }
bool IsArrow(uint8_t key) { return key >= plat::VK_LEFT && key <= plat::VK_DOWN; }
bool IsVerticalKey(uint8_t key) {
  return key == plat::VK_PRIOR || key == plat::VK_NEXT || key == plat::VK_UP || key == plat::VK_DOWN;
}
bool MovesBackward(uint8_t key) {
  return key == plat::VK_PRIOR || key == plat::VK_HOME || key == plat::VK_LEFT || key == plat::VK_UP;
}

TDocPosition Pos(int32_t par, int32_t offset) {
  TDocPosition p;
  MakePosition(par, offset, p);
  return p;
}

bool InTable(const TDoc& doc, int32_t par) { return doc.Par(par)->Format.InTable == 1; }

TDocRange Story(const TDoc& doc) {
  TDocRange r;
  doc.GetCurrentStoryRange(r);
  return r;
}

// The fragment the document shows as the selection (it may be wider than the selection itself).
const TCompoundFragment& ShownSelection(const TDoc& doc) {
  if (doc.VisibleSelection && !IsFragmentEmpty(doc.VisibleSelection.get())) return *doc.VisibleSelection;
  return *doc.Selection;
}

std::span<const TDocRange> RangesOf(const TCompoundFragment& f) {
  return {f.GetRange(0), static_cast<size_t>(f.Count())};
}

// A paragraph's end (after its mark) and the next paragraph's start are one place for the keys.
bool SamePlaceForKeys(const TDoc& doc, const TDocPosition& a, const TDocPosition& b) {
  if (SamePlace(a, b)) return true;
  auto endAndStart = [&](const TDocPosition& end, const TDocPosition& start) {
    return end.Par + 1 == start.Par && start.Offset == 0 && end.Offset >= doc.ParLength(end.Par);
  };
  return endAndStart(a, b) || endAndStart(b, a);
}

void Move(TKeyMove& k, const TDocPosition& target, int32_t lineHint) {
  MoveCaretByKey(k.Doc, target, k.Mode, k.Key, lineHint);
}

// --- Preparation ---

// With a selection the keys start from one of its edges; over a block of table cells they work
// on the block. True when they do; `table` is then the table's range.
bool PrepareFromSelection(TKeyMove& k, TDocRange& table) {
  TDoc& doc = k.Doc;
  const TCompoundFragment& shown = ShownSelection(doc);
  const TDocPosition anchor = doc.SelectionAnchor;
  if (doc.IsCellSelection(shown) && PositionInFragmentInclusive(anchor, RangesOf(shown))) {
    doc.GetTableRange(anchor.Par, table);
    if (!PositionInFragmentInclusive(doc.Caret, RangesOf(shown))) k.Form.MoveCaretKeepSelection(shown.LastRange->End);
    return true;
  }
  int32_t index = 0;
  for (int32_t i = 0; i < shown.Count(); ++i)
    if (PositionInRangeInclusive(anchor, *shown.GetRange(i))) {
      index = i;
      break;
    }
  const TDocRange& r = *shown.GetRange(index);
  TDocPosition edge;
  if (k.Mode == cmMove) edge = MovesBackward(k.Key) ? r.Start : r.End;
  else if (SamePlace(r.Start, anchor)) edge = r.End;
  else if (SamePlace(r.End, anchor)) edge = r.Start;
  else edge = InTable(doc, anchor.Par) ? doc.Caret : r.Start;
  if (!SamePlaceForKeys(doc, edge, doc.Caret)) k.Form.MoveCaretKeepSelection(edge);
  if (k.Mode == cmMove) k.Form.Column.Reset();
  return false;
}

// After a move inside a selection shown wider than the anchor-to-caret range, the caret goes to
// that range's edge away from the anchor.
void KeepCaretOnShownEdge(TKeyMove& k) {
  TDoc& doc = k.Doc;
  const TCompoundFragment& shown = ShownSelection(doc);
  if (shown.Count() != 1 || IsRangeEmpty(*shown.GetRange(0))) return;
  const TDocRange& r = *shown.GetRange(0);
  if (ComparePositions(doc.Caret, r.Start) <= 0 || ComparePositions(doc.Caret, r.End) >= 0) return;
  k.Form.MoveCaretKeepSelection(ComparePositions(doc.Caret, doc.SelectionAnchor) <= 0 ? r.Start : r.End);
}

// --- Home and End ---

void DropSelectionAt(TKeyMove& k, const TDocPosition& at, int32_t lineHint) {
  k.Doc.SetScopedFlag(vfNoScrollIntoView);
  MoveCaretByKey(k.Doc, at, cmMove, k.Key, lineHint);
  k.Doc.RestoreScopedFlag();
}

// Moves to a story end, scrolling straight to that end of the view when it is far away.
void StoryEndMove(TKeyMove& k, const TDocPosition& target, int32_t lineHint, bool start) {
  TDoc& doc = k.Doc;
  TDocRange main;
  doc.GetMainTextRange(main);
  const TDocRange story = Story(doc);
  const bool inMain = story.Start.Par == main.Start.Par;
  TDocRange around;
  around.Start = around.End = target;
  const bool simple = !inMain || (start ? doc.View.ScrollPos.y <= 0 : SamePlace(doc.Caret, target)) ||
                      IsRangeVisible(doc, around);
  if (simple) {
    Move(k, target, lineHint);
    return;
  }
  doc.SetScopedFlag(vfScrollNoPaint);
  doc.SetScopedFlag(dfNoSelectionRepaint);
  Move(k, target, lineHint);
  if (!doc.IsSpotlightActive()) doc.ScrollToY(start ? 0 : INT32_MAX);
  ScrollCaretIntoView(doc, start ? 6 : 5);
  doc.RestoreScopedFlags(2);
  k.Form.RedrawView();
}

void HomeEnd(TKeyMove& k) {
  TDoc& doc = k.Doc;
  const bool home = k.Key == plat::VK_HOME;
  if (k.Ctrl) {
    const TDocRange story = Story(doc);
    if (home) {
      StoryEndMove(k, Pos(story.Start.Par, 0), 0, true);
      return;
    }
    const int32_t last = story.End.Par;
    const int32_t length = doc.ParLength(last);
    StoryEndMove(k, Pos(last, k.Mode == cmMove ? std::max(0, length - 1) : length), INT32_MAX, false);
    return;
  }
  if (k.Mode == cmMove && doc.HasSelection()) {
    if (home) DropSelectionAt(k, doc.Selection->GetRange(0)->Start, INT32_MAX);
    else DropSelectionAt(k, doc.Selection->LastRange->End, 0);
  }
  TLine* line = CaretLineOf(doc);
  if (line == nullptr) return;
  if (home) {
    Move(k, Pos(line->Par->Index, line->FirstChar), line->LineIndex);
    return;
  }
  const bool lastLine = line->LastChar() >= line->Par->CharCount();
  const int32_t end = line->LastChar() - (LineEndsWithBreak(*line) || lastLine ? 1 : 0);
  Move(k, Pos(line->Par->Index, std::max(line->FirstChar, end)), line->LineIndex);
}

// --- Left and Right ---

// Where a range's end leaves the caret without a selection: after a paragraph's mark is the
// next paragraph's start.
TDocPosition CaretPlaceOf(const TDoc& doc, const TDocPosition& p) {
  const int32_t length = doc.ParLength(p.Par);
  if (p.Offset < length) return p;
  const TDocRange story = Story(doc);
  if (p.Par < story.End.Par) return Pos(p.Par + 1, 0);
  return Pos(p.Par, std::max(0, length - 1));
}

int32_t LineHintFor(const TKeyMove& k, const TDocPosition& target) {
  if (k.Mode == cmExtend && k.Doc.HasSelection())
    return ComparePositions(target, k.Doc.SelectionAnchor) > 0 ? 0 : INT32_MAX;
  return INT32_MAX;
}

void LeftRight(TKeyMove& k) {
  TDoc& doc = k.Doc;
  const bool left = k.Key == plat::VK_LEFT;
  if (k.Mode == cmMove && doc.HasSelection()) {
    if (left) Move(k, doc.Selection->GetRange(0)->Start, INT32_MAX);
    else Move(k, CaretPlaceOf(doc, doc.Selection->LastRange->End), 0);
    return;
  }
  if (RowWiseOutOfTable(k, left)) return;
  TDocPosition target = doc.Caret;
  if (k.Ctrl) {
    target = left ? doc.PrevWordStart(target) : doc.NextWordStart(target);
  } else if (left) {
    if (target.Offset > 0) {
      --target.Offset;
    } else {
      const int32_t prev = NeighbourParagraph(doc, target.Par, -1, k.Mode == cmMove);
      if (prev < 0) return;
      target = Pos(prev, std::max(0, doc.ParLength(prev) - 1));
    }
  } else {
    const int32_t length = doc.ParLength(target.Par);
    const int32_t limit = k.Mode == cmMove ? length - 1 : length;
    if (target.Offset < limit) {
      ++target.Offset;
    } else {
      const int32_t next = NeighbourParagraph(doc, target.Par, 1, k.Mode == cmMove);
      if (next < 0) return;
      target = Pos(next, k.Mode == cmMove || doc.ParLength(next) <= 1 ? 0 : 1);
    }
  }
  doc.SetScopedFlag(vfHorizontalMove);
  Move(k, target, LineHintFor(k, target));
  doc.RestoreScopedFlag();
}

// --- Ctrl+Up and Ctrl+Down ---

void ParagraphUpDown(TKeyMove& k) {
  TDoc& doc = k.Doc;
  const TDocRange story = Story(doc);
  const TDocPosition caret = doc.Caret;
  if (k.Key == plat::VK_UP) {
    if (caret.Par == story.Start.Par && caret.Offset == 0) return;
    TDocPosition target = Pos(caret.Par, 0);
    if (caret.Offset == 0) target = Pos(std::max(story.Start.Par, caret.Par - 1), 0);
    if (k.Mode == cmExtend && doc.HasSelection() && ComparePositions(target, doc.SelectionAnchor) > 0 &&
        target.Par > 0)
      target = Pos(target.Par - 1, doc.ParLength(target.Par - 1));
    Move(k, target, 0);
    return;
  }
  TDocPosition from = caret;
  if (from.Offset >= doc.ParLength(from.Par) && from.Par < story.End.Par) from = Pos(from.Par + 1, 0);
  const int32_t lastLength = doc.ParLength(story.End.Par);
  if (from.Par == story.End.Par) {
    const int32_t end = k.Mode == cmMove ? lastLength - 1 : lastLength;
    if (from.Offset >= end) return;
    Move(k, Pos(from.Par, end), INT32_MAX);
    return;
  }
  Move(k, Pos(from.Par + 1, 0), 0);
}

// --- Page Up and Page Down ---

bool WholePageZoom(const TDoc& doc) {
  return doc.ViewMode == vmPrintLayout && (doc.View.ZoomMode == zmWholePage || doc.View.ZoomMode == zmTwoPages);
}

void PageByCommand(TKeyMove& k, bool up) {
  TDoc& doc = k.Doc;
  TDocWindowServices& services = DocWindowServices();
  doc.SetScopedFlag(vfScrollNoPaint);
  services.SetInterfaceUpdatesSuspended(true);
  uint8_t& browse = GetOptions().Internal.NavObjType;
  const uint8_t saved = browse;
  browse = kBrowsePage;
  const int32_t page = doc.Caret.Page;
  const int32_t command = up ? kCmdBrowsePrevious : kCmdBrowseNext;
  services.ExecuteCommand(command);
  if (doc.View.ZoomMode == zmTwoPages && std::abs(doc.Caret.Page - page) == 1) services.ExecuteCommand(command);
  browse = saved;
  services.SetInterfaceUpdatesSuspended(false);
  services.RequestInterfaceUpdate();
  doc.RestoreScopedFlag();
  k.Form.RedrawView();
}

void PageUpDown(TKeyMove& k) {
  TDocForm& form = k.Form;
  TDoc& doc = k.Doc;
  const bool up = k.Key == plat::VK_PRIOR;
  const plat::Rect& area = form.PageArea;
  const int32_t y = doc.View.ScrollPos.y;
  const bool atEdge = up ? y <= 0 : y >= doc.View.Extent.cy - area.Height();
  if (atEdge) {
    const TDocRange story = Story(doc);
    doc.SetScopedFlag(vfNoScrollIntoView);
    if (up) Move(k, Pos(story.Start.Par, 0), 0);
    else Move(k, Pos(story.End.Par, std::max(0, doc.ParLength(story.End.Par) - (k.Mode == cmMove ? 1 : 0))), INT32_MAX);
    doc.RestoreScopedFlag();
    return;
  }
  if (WholePageZoom(doc)) {
    PageByCommand(k, up);
    return;
  }
  plat::Rect& rect = form.Column.PageKeyRect;
  if (rect.IsEmpty()) {
    const TDocView& v = doc.View;
    const plat::Point at = form.DocToClient({v.CaretX, v.CaretY});
    rect = {at.x, at.y, at.x + v.CaretWidth, at.y + v.CaretHeight};
    const int32_t margin = TDocForm::Scaled(kPageKeyMargin);
    if (rect.top < area.top || rect.bottom > area.bottom) {
      const int32_t height = v.CaretHeight;
      if (up) rect = {rect.left, area.top + margin, rect.right, area.top + margin + height};
      else rect = {rect.left, area.bottom - margin - height, rect.right, area.bottom - margin};
    }
  }
  int32_t step = area.Height() * 9 / 10;
  if (up) step = std::min(step, y);
  THitTestInfo h;
  form.HitTest(rect.left, rect.top + (up ? -step : step), h, 1u << doc.StoryOfParagraph(doc.Caret.Par));
  if (h.HasPosition()) {
    Move(k, h.Position, h.Position.Line);
    if (doc.HeaderFooterInPlace != nullptr) {
      const int32_t page = h.PageIndex >= 0 ? h.PageIndex : doc.Caret.Page;
      if (page >= 0 && page < doc.PageCount() && page != doc.HeaderFooterPage) {
        TPage* p = doc.Pages[static_cast<size_t>(page)];
        TField* field = doc.HeaderFooterInPlace;
        const bool footer = field == doc.Pages[static_cast<size_t>(std::max(0, doc.HeaderFooterPage))]->FooterField;
        TField* next = footer ? p->FooterField : p->HeaderField;
        if (next != nullptr && next != field) doc.EditHeaderFooter(next, page);
      }
    }
  }
  doc.SetScopedFlag(vfScrollNoPaint);
  if (!doc.IsSpotlightActive()) doc.ScrollToY(y + (up ? -step : step));
  doc.RestoreScopedFlag();
  form.UpdateRulers();
  form.RedrawView();
}

}  // namespace

// Extending out of a table that does not hold the anchor takes or gives up whole rows.
bool RowWiseOutOfTable(TKeyMove& k, bool backward) {
  TDoc& doc = k.Doc;
  const TDocPosition& caret = doc.Caret;
  const TDocPosition& anchor = doc.SelectionAnchor;
  if (k.Mode != cmExtend || !InTable(doc, caret.Par)) return false;
  TDocRange table;
  doc.GetTableRange(caret.Par, table);
  if (anchor.Par >= table.Start.Par && anchor.Par <= table.End.Par) return false;
  const bool after = ComparePositions(caret, anchor) > 0;
  if (backward != after) return false;
  TDocRange row;
  doc.GetRowRange(caret.Par, row);
  if (backward) {
    if (row.Start.Par == 0) return false;
    Move(k, Pos(row.Start.Par - 1, doc.ParLength(row.Start.Par - 1)), INT32_MAX);
    return true;
  }
  int32_t next = row.End.Par + 1;
  while (next < doc.ParCount() && doc.IsInMergedCell(next)) ++next;
  if (next >= doc.ParCount()) return false;
  Move(k, Pos(next, 0), 0);
  return true;
}

TLine* CaretLineOf(TDoc& doc) {
  if (doc.ParCount() == 0) return nullptr;
  TDocPosition caret = doc.Caret;
  TPar& par = *doc.Par(std::clamp(caret.Par, 0, doc.ParCount() - 1));
  if (!par.HasFlag(pfLinesValid) || par.Lines.empty()) {
    EnsureLaidOut(doc, caret, false);
    doc.Caret.Line = caret.Line;
    doc.Caret.Page = caret.Page;
  }
  if (!par.HasFlag(pfLinesValid) || par.Lines.empty()) return nullptr;
  TLine* line = par.Lines[static_cast<size_t>(std::clamp(doc.Caret.Line, 0, static_cast<int32_t>(par.Lines.size()) - 1))];
  return line != nullptr && line->Box != nullptr ? line : nullptr;
}

void SetGoalColumn(TDocForm& form) {
  TDoc& doc = form.Doc();
  TLine* line = CaretLineOf(doc);
  if (line == nullptr) return;
  const int32_t index = std::clamp(doc.Caret.Offset - line->FirstChar, 0, line->Count);
  TCaretColumn& c = form.Column;
  c.GoalX = LineTextX(*line, index);
  c.BoxX = BoxToPagePoint(*line->Box, {0, 0}).x;
  c.Table = -1;
  TCellBox* cell = GetCellBox(line->Box);
  TTableBox* table = GetTableBox(cell);
  if (table != nullptr && doc.StoryOfParagraph(line->Par->Index) == stMain) c.Table = table->FirstPar;
}

int32_t NeighbourParagraph(TDoc& doc, int32_t par, int32_t dir, bool detour) {
  const TDocRange story = Story(doc);
  TSelectionServices& selection = SelectionServices();
  if (detour && dir > 0 && doc.MergeJumpTo >= 0 && doc.MergeJumpFrom >= 0 && InTable(doc, par)) {
    // Leaving the last paragraph of the cell the detour landed in goes on from the merged cell.
    TDocRange cell;
    doc.GetCellRange(par, cell);
    if (cell.Start.Par == doc.MergeJumpTo && par == cell.End.Par && doc.MergeJumpFrom < doc.ParCount()) par = doc.MergeJumpFrom;
  }
  if (detour && dir < 0 && par == doc.MergeJumpTo && doc.MergeJumpFrom >= 0 && doc.MergeJumpFrom < doc.ParCount())
    par = doc.MergeJumpFrom;
  for (int32_t p = par + dir; p >= story.Start.Par && p <= story.End.Par; p += dir) {
    if (selection.IsParagraphHidden(doc, p)) continue;
    if (!doc.IsInMergedCell(p)) return p;
    if (!detour) continue;
    // A paragraph of a merged continuation cell is left for the cell the merge starts in.
    const int32_t landing = doc.GetMergeStartPar(p);
    doc.MergeJumpTo = landing;
    doc.MergeJumpFrom = p;
    if (dir > 0) return landing;
    TDocRange cell;
    doc.GetCellRange(landing, cell);
    return cell.End.Par;
  }
  return -1;
}

bool HandleCaretKey(TDocForm& form, uint8_t key, uint8_t shift, intptr_t keyData) {
  if (form.DocPtr() == nullptr || form.Doc().ParCount() == 0) return false;
  TDoc& doc = form.Doc();
  TDocWindowServices& services = DocWindowServices();
  if (key == plat::VK_CAPITAL || key == plat::VK_NUMLOCK) {
    if ((static_cast<uintptr_t>(keyData) & plat::KF_REPEAT_BIT) == 0) {
      const bool caps = key == plat::VK_CAPITAL;
      if (services.KeystrokeSoundsEnabled()) services.PlayEventSound(caps ? kSoundCapsLock : kSoundNumLock);
      form.Flags |= caps ? TDocForm::dfCapsLockPressed : TDocForm::dfNumLockPressed;
    }
    return false;
  }
  const bool navigation = IsNavigationKey(key);
  TKeyMove k{form, doc, key, shift, cmMove, (shift & plat::ssCtrl) != 0};
  if ((shift & plat::ssShift) != 0 && navigation) {
    k.Mode = cmExtend;
    form.Flags |= TDocForm::dfShiftNavigating;
  } else {
    form.Flags &= ~TDocForm::dfShiftNavigating;
  }
  const bool alt = (shift & plat::ssAlt) != 0;
  if (!alt && IsVerticalKey(key)) {
    if (!form.Column.IsSet()) SetGoalColumn(form);
  } else if (!IsModifierKey(key)) {
    form.Column.Reset();
  }
  if (!navigation) return false;
  TDocRange table{};
  bool cellBlock = false;
  if (!alt && doc.HasSelection()) cellBlock = PrepareFromSelection(k, table);
  if (!doc.HasSelection()) doc.SelectionAnchor = doc.Caret;
  if (alt && IsArrow(key)) return true;
  if (cellBlock && k.Mode == cmExtend && IsArrow(key)) {
    CellBlockKey(k, table);
    return true;
  }
  switch (key) {
    case plat::VK_PRIOR:
    case plat::VK_NEXT:
      if (k.Ctrl) services.ExecuteCommand(key == plat::VK_PRIOR ? kCmdBrowsePrevious : kCmdBrowseNext);
      else PageUpDown(k);
      break;
    case plat::VK_HOME:
    case plat::VK_END:
      HomeEnd(k);
      break;
    case plat::VK_LEFT:
    case plat::VK_RIGHT:
      LeftRight(k);
      break;
    case plat::VK_UP:
    case plat::VK_DOWN:
      if (k.Ctrl) ParagraphUpDown(k);
      else VerticalMove(k, key == plat::VK_UP ? -1 : 1);
      break;
    default:
      break;
  }
  KeepCaretOnShownEdge(k);
  return true;
}

}  // namespace qv
