// The selection model: setting and extending the selection with the canonical placing of range
// ends at paragraph marks and table cells, the normal form of a multi-range selection, multiple
// selection against a saved base, inversion, and what is recomputed after every change.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/selection_flags.h"
#include "document/selection_services.h"
#include "document/selection_tables.h"
#include "document/surrogate_pairs.h"

namespace qv {

namespace {

int32_t ParLen(const TDoc& doc, int32_t par) { return doc.Par(par)->CharCount(); }

TDocPosition EndOfPar(const TDoc& doc, int32_t par) {
  TDocPosition p;
  MakePosition(par, ParLen(doc, par), p);
  return p;
}

TDocPosition StartOfPar(int32_t par) {
  TDocPosition p;
  MakePosition(par, 0, p);
  return p;
}

bool DocHasTables(const TDoc& doc) {
  for (int32_t p = 0; p < doc.ParCount(); ++p)
    if (ParInTable(doc, p)) return true;
  return false;
}

// Whether both paragraphs are in tables and in the same cell, row or table, as rangeOf finds it.
bool SameTablePart(const TDoc& doc, int32_t a, int32_t b,
                   void (*rangeOf)(const TDoc&, int32_t, TDocRange&)) {
  if (!ParInTable(doc, a) || !ParInTable(doc, b)) return false;
  TDocRange ra, rb;
  rangeOf(doc, a, ra);
  rangeOf(doc, b, rb);
  return ra.Start.Par == rb.Start.Par;
}

bool SameCell(const TDoc& doc, int32_t a, int32_t b) {
  return SameTablePart(doc, a, b, TableCellRange);
}

bool SameRow(const TDoc& doc, int32_t a, int32_t b) {
  return SameTablePart(doc, a, b, TableRowRange);
}

bool SameTable(const TDoc& doc, int32_t a, int32_t b) { return SameTablePart(doc, a, b, TableRange); }

// The paragraph whose AnchoredShapes hold the shape; -1 when none does.
int32_t AnchorParOfShape(TDoc& doc, const TShape* shape) {
  for (int32_t p = 0; p < doc.ParCount(); ++p) {
    const TPar& par = *doc.Par(p);
    if (!par.HasFlag(pfAnchoredShapes)) continue;
    if (std::find(par.AnchoredShapes.begin(), par.AnchoredShapes.end(), shape) !=
        par.AnchoredShapes.end())
      return p;
  }
  return -1;
}

// Whether two neighbouring ranges of a normalised fragment join across their paragraph boundary
// in the given pass (0 or 1; pass 1 only runs in documents with tables).
bool JoinsAcrossParagraphs(TDoc& doc, const TDocRange& p, const TDocRange& r, int pass,
                           bool hasTables) {
  if (r.Start.Offset != 0 || r.Start.Par != p.End.Par + 1) return false;
  if (p.End.Offset < ParLen(doc, p.End.Par)) return false;
  if (doc.StoryOfParagraph(p.Start.Par) != doc.StoryOfParagraph(r.Start.Par)) return false;
  const bool pEndIn = ParInTable(doc, p.End.Par);
  const bool rStartIn = ParInTable(doc, r.Start.Par);
  if (!hasTables || (!pEndIn && !rStartIn)) return true;
  if (pass == 0) {
    if (!ParInTable(doc, p.Start.Par) || !pEndIn || !rStartIn || !ParInTable(doc, r.End.Par))
      return false;
    if (SameCell(doc, p.Start.Par, r.Start.Par) && SameCell(doc, p.End.Par, r.End.Par)) return true;
    if (!SameRow(doc, p.Start.Par, r.End.Par)) return false;
    TDocRange pCell, rCell;
    TableCellRange(doc, p.Start.Par, pCell);
    TableCellRange(doc, r.End.Par, rCell);
    return SamePlace(p.Start, pCell.Start) && SamePlace(r.End, rCell.End);
  }
  if (pEndIn) {
    TDocRange row;
    TableRowRange(doc, p.End.Par, row);
    if (!SamePlace(p.End, row.End) || ComparePositions(p.Start, row.Start) > 0) return false;
  }
  if (!rStartIn) return true;
  TDocRange row;
  TableRowRange(doc, r.Start.Par, row);
  return SamePlace(r.Start, row.Start) && ComparePositions(r.End, row.End) >= 0;
}

}  // namespace

// --- Range ends ---

void TDoc::AdjustRangeEnds(int32_t& startPar, int32_t& startOffset, int32_t& endPar,
                           int32_t& endOffset, uint8_t cellFlag) {
  const int32_t last = ParCount() - 1;
  startPar = std::clamp(startPar, 0, last);
  endPar = std::clamp(endPar, 0, last);
  startOffset = std::clamp(startOffset, 0, ParLen(*this, startPar));
  endOffset = std::clamp(endOffset, 0, ParLen(*this, endPar));
  if (endPar < startPar) {
    std::swap(startPar, endPar);
    std::swap(startOffset, endOffset);
  } else if (startPar == endPar && endOffset < startOffset) {
    std::swap(startOffset, endOffset);
  }
  if (startPar != last && startOffset == ParLen(*this, startPar)) {
    bool move = !ParInTable(*this, startPar);
    if (!move) {
      TDocRange cell;
      TableCellRange(*this, startPar, cell);
      move = cell.End.Par != startPar;
    }
    if (move) {
      ++startPar;
      startOffset = 0;
    }
  }
  if (endOffset == 0 && endPar > 0 && (cellFlag == 0 || !ParInTable(*this, endPar))) {
    --endPar;
    endOffset = ParLen(*this, endPar);
  }
  // A character outside the basic plane is never cut in two; an empty range stays empty.
  const bool empty = startPar == endPar && startOffset == endOffset;
  startOffset = SnapOffsetBackward(*Par(startPar), startOffset);
  endOffset = empty ? startOffset : SnapOffsetForward(*Par(endPar), endOffset);
  if (endPar < startPar || (endPar == startPar && endOffset < startOffset)) {
    endPar = startPar;
    endOffset = startOffset;
  }
}

// --- Setting the selection ---

void TDoc::SetSelection(int32_t startPar, int32_t startOffset, int32_t endPar, int32_t endOffset,
                        uint8_t flags) {
  TSelectionServices& services = SelectionServices();
  services.InvalidateSelectionInstances(*this);
  if (!IsDocFlagSet(dfMakingParagraphSelection)) SetDocFlag(dfWholeParagraphSelection, false);
  TFragmentRef old = AcquireFragment();
  if ((flags & (ssReplace | ssNoChangeNotice)) == 0) old->Assign(*Selection);

  const int32_t last = ParCount() - 1;
  startPar = std::clamp(startPar, 0, last);
  endPar = std::clamp(endPar, 0, last);
  startOffset = std::clamp(startOffset, 0, ParLen(*this, startPar));
  endOffset = std::clamp(endOffset, 0, ParLen(*this, endPar));
  TDocPosition given, givenEnd;
  MakePosition(startPar, startOffset, given);
  MakePosition(endPar, endOffset, givenEnd);
  if (!HasSelection() || ComparePositions(SelectionAnchor, given) < 0 ||
      ComparePositions(SelectionAnchor, givenEnd) > 0)
    MakePosition(startPar, startOffset, SelectionAnchor);

  AdjustRangeEnds(startPar, startOffset, endPar, endOffset, 1);
  Selection->ColumnBlock = 0;
  TDocRange range{};
  MakeRange(startPar, startOffset, endPar, endOffset, range);
  range.Start.Line = INT32_MAX;
  if ((flags & ssReplace) != 0 || (flags & ssAddToBase) == 0) {
    Selection->SetCount(1);
    *Selection->GetRange(0) = range;
    Selection->RefreshLastRange();
    SelectionBase->Clear();
  } else {
    Selection->Assign(*SelectionBase);
    Selection->InsertRange(0, range);
  }

  ExpandSelectionToCells();
  if (IsFragmentEmpty(Selection)) Selection->Clear();
  if ((flags & ssNoChangeNotice) == 0) SelectionChanged();

  if (!IsDocFlagSet(dfNoSelectionRepaint)) {
    if (old->Count() == 1 && Selection->Count() == 1) {
      TDocRange previous = *old->GetRange(0);
      if (IsSingleShapeRange(previous) &&
          PositionInRangeInclusive(previous.Start, *Selection->GetRange(0)) &&
          PositionInRangeInclusive(previous.End, *Selection->GetRange(0)))
        previous.End = previous.Start;
      RepaintSelectionChange(previous);
    } else if (IsFragmentEmpty(Selection)) {
      RepaintRange(nullptr, old.get());
    } else {
      TDocRange both{};
      both.Start = ComparePositions(old->GetRange(0)->Start, Selection->GetRange(0)->Start) < 0
                       ? old->GetRange(0)->Start
                       : Selection->GetRange(0)->Start;
      both.End = ComparePositions(old->LastRange->End, Selection->LastRange->End) > 0
                     ? old->LastRange->End
                     : Selection->LastRange->End;
      RepaintRange(&both, nullptr);
    }
  }

  if (!IsDocFlagSet(dfKeepFindInSelection)) FindInSelection = {0, 0};
  ProofSelectionState = 0;
  SelectionCacheValue = INT32_MAX;
  if ((flags & ssNoInterfaceUpdate) == 0) services.RequestInterfaceUpdate();
  services.NoteSelectionChanged(*this);
  services.HideTypingPopups();
  old.reset();
  if (!IsDocFlagSet(dfKeepSidePaneItems)) services.ClearSidePaneItems(*this);
}

void TDoc::SelectAll() {
  TDocRange r;
  GetCurrentStoryRange(r);
  SetSelection(r.Start.Par, r.Start.Offset, r.End.Par, r.End.Offset, 0);
}

void TDoc::ClearSelection(uint8_t flags) {
  if (HasSelection()) SetSelection(0, 0, 0, 0, flags);
}

void TDoc::InvertSelection() {
  TDocRange bounds;
  GetCurrentStoryRange(bounds);
  InvertFragments(*Selection, bounds);
  if (IsFragmentEmpty(Selection)) Selection->Clear();
  SelectionChanged();
  SelectionServices().RequestInterfaceUpdate();
  SelectionServices().Redraw(*this);
}

void TDoc::SaveSelectionBase() {
  SelectionBase->Assign(*Selection);
  SplitFragmentsAtCells(*SelectionBase);
}

void TDoc::SnapAnchorToSelection() {
  if (!HasSelection()) return;
  for (int32_t i = Selection->Count() - 1; i >= 0; --i) {
    const TDocRange& r = *Selection->GetRange(i);
    if (!PositionInRangeInclusive(SelectionAnchor, r)) continue;
    if (SamePlace(SelectionAnchor, r.Start) || SamePlace(SelectionAnchor, r.End)) return;
    int64_t toStart = 0, toEnd = 0;
    if (r.Start.Par == r.End.Par) {
      toStart = SelectionAnchor.Offset - r.Start.Offset;
      toEnd = r.End.Offset - SelectionAnchor.Offset;
    } else {
      toStart = SelectionAnchor.Par - r.Start.Par;
      toEnd = r.End.Par - SelectionAnchor.Par;
    }
    const TDocPosition& to = toEnd < toStart ? r.End : r.Start;
    MakePosition(to.Par, to.Offset, SelectionAnchor);
    return;
  }
  const TDocPosition& first = Selection->GetRange(0)->Start;
  MakePosition(first.Par, first.Offset, SelectionAnchor);
}

void TDoc::CaretToSelectionStart() {
  // Nothing selected is stored as one zero-filled range, which names no place: the caret stays.
  const TDocPosition start = HasSelection() ? Selection->GetRange(0)->Start : Caret;
  MakePosition(start.Par, start.Offset, SelectionAnchor);
  SelectionServices().SetCaret(*this, start.Par, start.Offset, 0, INT32_MAX);
}

int32_t TDoc::GetFirstSelectedPar() const {
  return HasSelection() ? Selection->GetRange(0)->Start.Par : Caret.Par;
}

bool TDoc::SameFragments(const TCompoundFragment& a, const TCompoundFragment& b) {
  TFragmentRef na = CloneFragment(a);
  TFragmentRef nb = CloneFragment(b);
  NormalizeFragments(*na);
  NormalizeFragments(*nb);
  return na->Equals(*nb);
}

bool TDoc::IsSelectionContiguous() {
  TFragmentRef f = CloneFragment(*Selection);
  NormalizeFragments(*f);
  return f->Count() == 1;
}

// --- Tables ---

void TDoc::ExpandSelectionToCells() {
  if (IsFragmentEmpty(Selection)) return;
  if (Selection->Count() == 1 && ParInTable(*this, Selection->GetRange(0)->Start.Par)) {
    TDocRange table;
    TableRange(*this, Selection->GetRange(0)->Start.Par, table);
    if (SameRange(table, *Selection->GetRange(0))) return;
  }
  const bool asRows = IsDocFlagSet(dfSelectTableAsRows);
  for (int32_t i = Selection->Count() - 1; i >= 0; --i) {
    TDocRange r = *Selection->GetRange(i);
    AdjustRangeEnds(r.Start.Par, r.Start.Offset, r.End.Par, r.End.Offset, 1);
    if (ParInTable(*this, r.End.Par)) {
      // A range that reaches a cell's end mark from inside the cell covers the whole cell.
      TDocRange cell;
      TableCellRange(*this, r.End.Par, cell);
      if (SamePlace(r.End, cell.End) && r.Start.Par >= cell.Start.Par) r.Start = cell.Start;
    }
    *Selection->GetRange(i) = r;
    const bool startIn = ParInTable(*this, r.Start.Par);
    const bool endIn = ParInTable(*this, r.End.Par);
    if (r.Start.Par == r.End.Par || (!startIn && !endIn)) continue;
    bool pastStartCell = true;
    if (startIn) {
      TDocRange startCell;
      TableCellRange(*this, r.Start.Par, startCell);
      pastStartCell = startCell.End.Par < r.End.Par;
    }
    const bool oneTable = SameTable(*this, r.Start.Par, r.End.Par);
    if (oneTable && !pastStartCell) continue;  // paragraphs of one cell
    if (oneTable && !asRows) {
      TDocRange table;
      TableRange(*this, r.Start.Par, table);
      SelectionServices().EnsureParLaidOut(*this, std::min(table.End.Par + 1, ParCount() - 1));
      int32_t l1 = 0, r1 = 0, l2 = 0, r2 = 0;
      TableCellHorzBounds(*this, r.Start.Par, l1, r1);
      TableCellHorzBounds(*this, r.End.Par, l2, r2);
      TFragmentRef cells = TableCellsInColumnSpan(
          *this, table, TableRowIndex(*this, r.Start.Par), std::min(l1, l2), std::max(r1, r2),
          TableRowIndex(*this, r.End.Par));
      Selection->DeleteRange(i);
      if (!IsFragmentEmpty(cells)) Selection->AppendRanges(*cells);
      else Selection->InsertRange(Selection->Count(), r);
      continue;
    }
    // Reaching into a table from outside, joining two tables, or tables as rows: whole rows.
    TDocRange row;
    if (startIn) {
      TableRowRange(*this, r.Start.Par, row);
      r.Start = row.Start;
    }
    if (endIn) {
      TableRowRange(*this, r.End.Par, row);
      r.End = EndOfPar(*this, row.End.Par);
    }
    *Selection->GetRange(i) = r;
  }
  NormalizeFragments(*Selection);
}

void TDoc::NormalizeFragments(TCompoundFragment& fragment) {
  for (int32_t i = 0; i < fragment.Count(); ++i) {
    TDocRange& r = *fragment.GetRange(i);
    if (r.Start.Par != r.End.Par || r.Start.Par < 0 || r.Start.Par >= ParCount()) continue;
    if (r.End.Offset < ParLen(*this, r.End.Par) || !ParInTable(*this, r.Start.Par)) continue;
    if (!EndsTableCell(*this, r.Start.Par)) continue;
    TDocRange cell;
    TableCellRange(*this, r.Start.Par, cell);
    r.Start = cell.Start;
  }
  fragment.Normalize();
  const bool hasTables = DocHasTables(*this);
  for (int pass = 0; pass < (hasTables ? 2 : 1); ++pass) {
    for (int32_t i = fragment.Count() - 1; i >= 1; --i) {
      TDocRange& p = *fragment.GetRange(i - 1);
      const TDocRange& r = *fragment.GetRange(i);
      if (!JoinsAcrossParagraphs(*this, p, r, pass, hasTables)) continue;
      p.End = r.End;
      fragment.DeleteRange(i);
    }
  }
  fragment.RefreshLastRange();
}

void TDoc::SplitFragmentsAtCells(TCompoundFragment& fragment) {
  for (int32_t i = fragment.Count() - 1; i >= 0; --i) {
    TDocRange r = *fragment.GetRange(i);
    for (int32_t p = r.End.Par; p > r.Start.Par;) {
      if (!ParInTable(*this, p)) {
        --p;
        continue;
      }
      TDocRange cell;
      TableCellRange(*this, p, cell);
      const int startVsCell = ComparePositions(cell.Start, r.Start);
      if (startVsCell > 0 || (startVsCell == 0 && ComparePositions(cell.End, r.End) < 0)) {
        if (ComparePositions(cell.End, r.End) < 0) {
          TDocRange after{};
          after.Start = StartOfPar(cell.End.Par + 1);
          after.End = r.End;
          fragment.InsertRange(fragment.Count(), after);
          r.End = cell.End;
        }
        TDocRange whole{};
        whole.Start = cell.Start;
        whole.End = r.End;
        fragment.InsertRange(fragment.Count(), whole);
        r.End = cell.Start;
        if (cell.Start.Par - 1 >= r.Start.Par) r.End = EndOfPar(*this, cell.Start.Par - 1);
        if (ComparePositions(r.End, r.Start) < 0) r.End = r.Start;
      }
      p = cell.Start.Par - 1;
    }
    *fragment.GetRange(i) = r;
  }
  fragment.Normalize();
}

// --- Inversion ---

void TDoc::InvertFragments(TCompoundFragment& fragment, const TDocRange& bounds) {
  TFragmentRef gaps = AcquireFragment();
  const int32_t n = fragment.Count();
  gaps->SetCount(n + 1);
  for (int32_t i = 0; i <= n; ++i) {
    TDocRange& g = *gaps->GetRange(i);
    g.Start = i == 0 ? bounds.Start : fragment.GetRange(i - 1)->End;
    g.End = i == n ? bounds.End : fragment.GetRange(i)->Start;
  }
  gaps->RefreshLastRange();
  for (int32_t i = gaps->Count() - 1; i >= 0; --i) {
    TDocRange& g = *gaps->GetRange(i);
    if (g.Start.Par < bounds.End.Par && g.Start.Par >= 0 && g.Start.Par < ParCount() - 1 &&
        g.Start.Offset >= ParLen(*this, g.Start.Par))
      g.Start = StartOfPar(g.Start.Par + 1);
    if (g.End.Offset == 0 && g.End.Par > bounds.Start.Par && g.End.Par > 0)
      g.End = EndOfPar(*this, g.End.Par - 1);
    if (ComparePositions(g.End, g.Start) < 0) g.End = g.Start;
    if (IsRangeEmpty(g) && gaps->Count() > 1) gaps->DeleteRange(i);
  }
  fragment.Assign(*gaps);
  SplitFragmentsAtCells(fragment);
  NormalizeFragments(fragment);
}

// --- After a change ---

void TDoc::SelectionChanged() {
  TSelectionServices& services = SelectionServices();
  if (!IsDocFlagSet(dfKeepSelectedShapes) && !SelectedShapes.empty()) {
    SelectedShapes.clear();
    services.ScheduleRedraw(*this, 0);
  }
  ShapesInSelection.clear();
  std::erase_if(SelectedShapes, [this](TShape* s) {
    return IsParagraphWhollySelected(AnchorParOfShape(*this, s));
  });
  ValidateWrapEditShape();
  services.InvalidateSelectionInstances(*this);
  VisibleSelection->Assign(*Selection);

  if (HasSelection() && services.UpdateCollapsedRanges(*this) > 0) {
    ExtendOverCollapsedText(*VisibleSelection);
    ExcludeCollapsedText(*Selection);
    if (IsFragmentEmpty(Selection)) {
      Selection->Clear();
      VisibleSelection->Clear();
    }
  }
  if (HasSelection()) {
    TDocRange unused{};
    GetCommonParFormat(Selection.get(), unused, CurParFormat);
    GetCommonCharFormat(Selection.get(), unused, CurCharFormat);
  } else {
    const int32_t par = std::clamp(Caret.Par, 0, ParCount() - 1);
    CurParFormat = Par(par)->Format;
    if (!IsDocFlagSet(dfKeepCurCharFormat)) GetCharFormatAtPos(Caret, CurCharFormat);
  }

  if (!IsDocFlagSet(dfKeepFindInSelection)) FindInSelection = {0, 0};
  if (HasSelection() && HasFloatingShapes()) CollectShapesInFragment(*Selection, ShapesInSelection);
  if (!services.IsRevealPinned() && RevealFragment) RevealFragment->Clear();
  ProofSelectionState = 0;
  SelectionCacheValue = INT32_MAX;
}

// --- Collapsed headings ---

void TDoc::ExcludeCollapsedText(TCompoundFragment& fragment) {
  TSelectionServices& services = SelectionServices();
  const std::vector<std::pair<int32_t, int32_t>> collapsed = services.CollapsedRanges(*this);
  if (collapsed.empty()) return;
  TFragmentRef hidden = AcquireFragment();
  bool first = true;
  auto hide = [&](int32_t from, int32_t to) {
    TDocRange r{};
    r.Start = StartOfPar(from);
    r.End = EndOfPar(*this, to);
    if (first) *hidden->GetRange(0) = r;
    else hidden->InsertRange(hidden->Count(), r);
    first = false;
  };
  for (const auto& [a, b] : collapsed)
    if (a >= 0 && b >= a && b < ParCount()) hide(a, b);
  if (StoryCounts[stFootnotes] + StoryCounts[stEndnotes] > 0) {
    const int32_t firstNote = FirstParagraphOfStory(stFootnotes);
    const int32_t lastNote = LastParagraphOfStory(stEndnotes);
    for (int32_t i = fragment.Count() - 1; i >= 0; --i) {
      const TDocRange& r = *fragment.GetRange(i);
      if (StoryOfParagraph(r.Start.Par) == stMain && StoryOfParagraph(r.End.Par) == stMain) break;
      const int32_t from = StoryOfParagraph(r.Start.Par) == stMain ? firstNote : r.Start.Par;
      const int32_t to =
          StoryOfParagraph(r.End.Par) == stHeadersFooters ? lastNote : r.End.Par;
      for (int32_t p = std::max(from, firstNote); p <= std::min(to, lastNote); ++p)
        if (services.IsCollapsedTablePar(*this, p)) hide(p, p);
    }
  }
  fragment.Exclude(*hidden);
  for (int32_t i = 0; i < fragment.Count(); ++i) {
    TDocRange& r = *fragment.GetRange(i);
    AdjustRangeEnds(r.Start.Par, r.Start.Offset, r.End.Par, r.End.Offset, 0);
  }
  NormalizeFragments(fragment);
}

bool TDoc::ExtendOverCollapsedText(TCompoundFragment& fragment) {
  TSelectionServices& services = SelectionServices();
  bool extended = false;
  for (int32_t i = 0; i < fragment.Count(); ++i) {
    TDocRange& r = *fragment.GetRange(i);
    if (r.Start.Offset != 0 || r.End.Par + 1 >= ParCount()) continue;
    if (r.End.Offset < ParLen(*this, r.End.Par)) continue;
    int32_t first = -1, last = -1;
    if (!services.FindCollapsedRange(*this, r.End.Par + 1, first, last) || first < 0) continue;
    last = std::min(last, ParCount() - 1);
    if (last <= r.End.Par) continue;
    r.End = EndOfPar(*this, last);
    extended = true;
  }
  if (extended) fragment.Normalize();
  return extended;
}

// --- Shapes ---

void TDoc::CollectShapesInFragment(const TCompoundFragment& fragment, std::vector<TShape*>& list) {
  list.clear();
  TFragmentRef f = CloneFragment(fragment);
  NormalizeFragments(*f);
  for (int32_t i = 0; i < f->Count(); ++i) {
    const TDocRange& r = *f->GetRange(i);
    if (IsRangeEmpty(r)) continue;
    const int32_t from = r.Start.Offset > 0 ? r.Start.Par + 1 : r.Start.Par;
    const int32_t to = r.End.Offset < ParLen(*this, r.End.Par) ? r.End.Par - 1 : r.End.Par;
    for (int32_t p = std::max(from, 0); p <= std::min(to, ParCount() - 1); ++p) {
      TPar& par = *Par(p);
      NormalizeParagraphTags(par);
      if (par.HasFlag(pfAnchoredShapes))
        list.insert(list.end(), par.AnchoredShapes.begin(), par.AnchoredShapes.end());
    }
  }
}

}  // namespace qv
