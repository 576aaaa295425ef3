// The three ways the window extends a selection beyond a plain anchor-to-position range: from the
// anchor with whole-word rounding, a block (column) of line pieces, and the list numbers of
// several paragraphs.
#include <algorithm>
#include <vector>

#include "document/auto_list.h"
#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/fragment_pool.h"
#include "document/line.h"
#include "document/par.h"
#include "document/selection_flags.h"
#include "document/selection_services.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "foundation/settings/options_holder.h"
#include "layout/box.h"
#include "layout/paint/line_painter.h"

namespace qv {

namespace {

// Edit option: "Select whole words automatically".
constexpr uint32_t kEditSelectWholeWords = 0x10;

bool WholeWordsOption() { return (GetOptions().Edit.Flags & kEditSelectWholeWords) != 0; }

TDocPosition Pos(int32_t par, int32_t offset) {
  TDocPosition p;
  MakePosition(par, offset, p);
  return p;
}

const TDocPosition& Earlier(const TDocPosition& a, const TDocPosition& b) {
  return ComparePositions(a, b) <= 0 ? a : b;
}
const TDocPosition& Later(const TDocPosition& a, const TDocPosition& b) {
  return ComparePositions(a, b) <= 0 ? b : a;
}

bool InTable(const TDoc& doc, int32_t par) { return doc.Par(par)->Format.InTable == 1; }

// The word at the place as a range; the place itself (empty) where there is no word.
TDocRange WordRange(TDoc& doc, const TDocPosition& at) {
  const TTextRun run = doc.WordAt(at);
  TDocRange r;
  if (run.Length <= 0) {
    r.Start = r.End = at;
    return r;
  }
  RangeOfTextRun(run, r);
  return r;
}

bool SameWord(const TDocRange& a, const TDocRange& b) {
  return !IsRangeEmpty(a) && SamePlace(a.Start, b.Start) && SamePlace(a.End, b.End);
}

bool InsideWord(const TDocPosition& p, const TDocRange& word) {
  return p.Par == word.Start.Par && ComparePositions(p, word.Start) >= 0 && ComparePositions(p, word.End) <= 0;
}

// Paragraphs in the same cell as the anchor's, or outside tables with an anchor outside them.
bool SameCellAs(TDoc& doc, int32_t par, int32_t anchorPar) {
  const bool anchorInTable = InTable(doc, anchorPar);
  if (InTable(doc, par) != anchorInTable) return false;
  if (!anchorInTable) return true;
  TDocRange a, b;
  doc.GetCellRange(anchorPar, a);
  doc.GetCellRange(par, b);
  return SameRange(a, b);
}

}  // namespace

void TDocForm::ExtendSelectionTo(const TDocPosition& position, bool ctrl) {
  if (doc_ == nullptr) return;
  TDoc& doc = *doc_;
  uint8_t flags = 0;
  if (ctrl) {
    if (doc.SelectionBase->Count() <= 1 && IsRangeEmpty(*doc.SelectionBase->GetRange(0))) doc.SaveSelectionBase();
    flags = TDoc::ssAddToBase;
  }
  const TDocPosition anchor = doc.SelectionAnchor;
  const bool wordDrag = Mouse.DragKind == kDragWords;
  const bool forward = ComparePositions(position, anchor) >= 0;
  if (!WholeWordsOption() && !wordDrag) {
    const TDocPosition& s = Earlier(anchor, position);
    const TDocPosition& e = Later(anchor, position);
    doc.SetSelection(s.Par, s.Offset, e.Par, e.Offset, flags);
    doc.SelectionAnchor = anchor;
    MoveCaretKeepSelection(doc.HasSelection() ? position : anchor);
    return;
  }
  // Ends at a paragraph's end or start do not take in the neighbouring paragraph.
  TDocPosition first = Earlier(anchor, position), last = Later(anchor, position);
  if (first.Par < last.Par && !InTable(doc, first.Par) && first.Offset >= doc.ParLength(first.Par) - 1)
    first = Pos(first.Par + 1, 0);
  if (last.Offset == 0 && !InTable(doc, last.Par) && ComparePositions(last, first) > 0 && last.Par > 0)
    last = Pos(last.Par - 1, std::max(0, doc.ParLength(last.Par - 1) - 1));
  const TDocPosition a = forward ? first : last;
  const TDocPosition p = forward ? last : first;
  // The anchor's word and the position's, each cut back to its point where it stands at the
  // edge of its word.
  TDocRange anchorWord = wordDrag ? Mouse.WordDragOrigin : WordRange(doc, a);
  if (!wordDrag && !IsRangeEmpty(anchorWord) &&
      SamePlace(a, forward ? anchorWord.End : anchorWord.Start))
    anchorWord.Start = anchorWord.End = a;
  TDocRange positionWord = WordRange(doc, p);
  const TDocRange fullPositionWord = positionWord;
  if (!IsRangeEmpty(positionWord) && SamePlace(p, forward ? positionWord.Start : positionWord.End))
    positionWord.Start = positionWord.End = p;
  TDocRange range;
  range.Start = Earlier(anchorWord.Start, positionWord.Start);
  range.End = Later(anchorWord.End, positionWord.End);
  if (!wordDrag) {
    if (SameWord(anchorWord, positionWord)) {
      range.Start = Earlier(a, p);
      range.End = Later(a, p);
    } else if (doc.HasSelection() && Mouse.LastExtensionPoint.Par == p.Par &&
               InsideWord(Mouse.LastExtensionPoint, fullPositionWord) && !IsRangeEmpty(fullPositionWord)) {
      // Moving within the word the last extension reached selects it by characters.
      const TDocRange& sel = *doc.Selection->GetRange(doc.Selection->Count() - 1);
      const TDocPosition& last = Mouse.LastExtensionPoint;
      if (forward) {
        const bool movedBack = ComparePositions(p, last) < 0;
        const bool endInside = InsideWord(sel.End, fullPositionWord) && !SamePlace(sel.End, fullPositionWord.End);
        const bool stayed = SamePlace(p, last) && SamePlace(sel.End, p);
        if (movedBack || endInside || stayed) range.End = p;
      } else {
        const bool movedOn = ComparePositions(p, last) > 0;
        const bool startInside = InsideWord(doc.Selection->GetRange(0)->Start, fullPositionWord) &&
                                 !SamePlace(doc.Selection->GetRange(0)->Start, fullPositionWord.Start);
        const bool stayed = SamePlace(p, last) && SamePlace(doc.Selection->GetRange(0)->Start, p);
        if (movedOn || startInside || stayed) range.Start = p;
      }
    }
    Mouse.LastExtensionPoint = p;
  }
  if (ComparePositions(range.End, range.Start) < 0) range.End = range.Start;
  const TCompoundFragment& sel = *doc.Selection;
  const bool differs = sel.Count() != 1 || !SamePlace(sel.GetRange(0)->Start, range.Start) ||
                       !SamePlace(sel.GetRange(0)->End, range.End);
  if (sel.Count() > 1 || ctrl || differs) {
    doc.SetSelection(range.Start.Par, range.Start.Offset, range.End.Par, range.End.Offset, flags);
    doc.SelectionAnchor = anchor;
    if (!doc.HasSelection()) MoveCaretKeepSelection(anchor);
    else MoveCaretKeepSelection(forward ? doc.Selection->LastRange->End : doc.Selection->GetRange(0)->Start);
  }
}

void TDocForm::ExtendBlockSelection(const TBlockSelection& block) {
  if (doc_ == nullptr) return;
  TDoc& doc = *doc_;
  if (Mouse.BlockValid && SamePlace(block.Corner, Mouse.Block.Corner) && block.CornerX == Mouse.Block.CornerX &&
      block.Flags == Mouse.Block.Flags)
    return;
  Mouse.Block = block;
  Mouse.BlockValid = true;
  TBlockSelection& b = Mouse.Block;
  const bool cornerFirst = ComparePositions(b.Corner, b.Anchor) < 0 ||
                           (SamePlace(b.Corner, b.Anchor) && b.Corner.Line < b.Anchor.Line);
  b.First = cornerFirst ? b.Corner : b.Anchor;
  b.Last = cornerFirst ? b.Anchor : b.Corner;
  const int32_t left = std::min(b.AnchorX, b.CornerX);
  const int32_t right = std::max(b.AnchorX, b.CornerX);
  TFragmentRef fragment = AcquireFragment();
  Mouse.EmptyBlockLines.clear();
  bool found = false;
  for (int32_t par = b.First.Par; par <= b.Last.Par && par < doc.ParCount(); ++par) {
    if (!SameCellAs(doc, par, b.Anchor.Par)) continue;
    TPar& p = *doc.Par(par);
    if (!p.HasFlag(pfLinesValid)) doc.EnsureParagraphLaidOut(par);
    const int32_t firstLine = par == b.First.Par ? std::max(0, b.First.Line) : 0;
    const int32_t lastLine = par == b.Last.Par ? b.Last.Line : p.LineCount() - 1;
    for (int32_t i = firstLine; i <= lastLine && i < static_cast<int32_t>(p.Lines.size()); ++i) {
      TLine* line = p.Lines[static_cast<size_t>(i)];
      if (line == nullptr) continue;
      int32_t from = -1, to = -1;
      // The characters whose middle lies within the block's horizontal range; never the
      // paragraph mark.
      const int32_t count = line->LastChar() >= p.CharCount() ? line->Count - 1 : line->Count;
      for (int32_t k = 0; k < count; ++k) {
        const int32_t mid = (LineTextX(*line, k) + LineTextX(*line, k + 1)) / 2;
        if (mid < left || mid >= right) continue;
        if (from < 0) from = k;
        to = k + 1;
      }
      if (from < 0) {
        Mouse.EmptyBlockLines.push_back(fragment->Count() - 1);
        continue;
      }
      TDocRange piece;
      MakeRange(par, line->FirstChar + from, par, line->FirstChar + to, piece);
      fragment->InsertRange(fragment->Count(), piece);
      found = true;
    }
  }
  if (found) {
    // Without the initial empty range every index moves down by one (-1: before the first).
    fragment->DeleteRange(0);
    fragment->ColumnBlock = 1;
    for (int32_t& index : Mouse.EmptyBlockLines) --index;
  }
  doc.Selection->Assign(*fragment);
  doc.Selection->ColumnBlock = found ? 1 : 0;
  doc.SelectionChanged();
  DocWindowServices().RequestInterfaceUpdate();
  doc.RepaintRange(nullptr, doc.Selection.get());
  RedrawView();
}

void TDocForm::SelectListParagraphs(const TDocPosition& position, int32_t mode, int32_t toggled) {
  if (doc_ == nullptr) return;
  TDoc& doc = *doc_;
  doc.SetScopedFlag(dfMakingParagraphSelection);
  const bool inListSelection = doc.IsDocFlagSet(dfWholeParagraphSelection);
  std::vector<int32_t> pars;
  auto hasList = [&](int32_t par) {
    const int32_t list = doc.Par(par)->Format.List;
    return list != ParUnset32 && list != 0;
  };
  auto add = [&](int32_t par) {
    if (std::find(pars.begin(), pars.end(), par) == pars.end()) pars.push_back(par);
  };
  if (doc.HasSelection() && (toggled != kUnsetColumn || !inListSelection)) {
    const TCompoundFragment& sel = *doc.Selection;
    bool keep = toggled != kUnsetColumn;
    for (int32_t i = 0; !keep && i < sel.Count(); ++i)
      keep = position.Par >= sel.GetRange(i)->Start.Par && position.Par <= sel.GetRange(i)->End.Par;
    for (int32_t i = 0; keep && i < sel.Count(); ++i)
      for (int32_t par = sel.GetRange(i)->Start.Par; par <= sel.GetRange(i)->End.Par; ++par)
        if (hasList(par)) add(par);
  } else if (doc.HasSelection() && inListSelection) {
    const TCompoundFragment& sel = *doc.Selection;
    for (int32_t i = 0; i < sel.Count(); ++i)
      for (int32_t par = sel.GetRange(i)->Start.Par; par <= sel.GetRange(i)->End.Par; ++par)
        if (hasList(par)) add(par);
  }
  SetCaretPos(doc, position, 0);
  if (toggled != kUnsetColumn) {
    auto it = std::find(pars.begin(), pars.end(), toggled);
    if (it != pars.end()) pars.erase(it);
    else add(toggled);
    std::sort(pars.begin(), pars.end());
    SetCaretPos(doc, position, 0);
  } else if (mode == 1) {
    if (inListSelection || pars.empty()) add(position.Par);
  } else {
    TDocRange story;
    doc.GetCurrentStoryRange(story);
    const TPar& here = *doc.Par(position.Par);
    const TAutoList* list = doc.ListByNumber(here.Format.List);
    const bool singleLevel = list != nullptr && list->SingleLevel != 0;
    for (int32_t par = story.Start.Par; par <= story.End.Par; ++par) {
      const TParFormat& f = doc.Par(par)->Format;
      if (!hasList(par) || f.List != here.Format.List) continue;
      if (singleLevel || mode == 3 || f.ListLevel == here.Format.ListLevel) add(par);
    }
    std::sort(pars.begin(), pars.end());
  }
  if (!pars.empty()) {
    TFragmentRef fragment = AcquireFragment();
    fragment->SetCount(0);
    for (int32_t par : pars) {
      TDocRange r;
      MakeRange(par, 0, par, doc.ParLength(par), r);
      fragment->InsertRange(fragment->Count(), r);
    }
    fragment->Normalize();
    doc.Selection->Assign(*fragment);
    doc.SelectionAnchor = doc.Selection->GetRange(0)->Start;
    doc.SetDocFlag(dfWholeParagraphSelection, true);
  } else {
    doc.ClearSelection();
    doc.SetDocFlag(dfWholeParagraphSelection, false);
  }
  doc.SelectionChanged();
  DocWindowServices().RequestInterfaceUpdate();
  doc.RestoreScopedFlag();
  RedrawView();
}

}  // namespace qv
