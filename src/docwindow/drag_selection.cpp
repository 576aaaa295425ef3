// A selecting drag: every move extends the selection from the anchor by the drag's kind
// (characters, words, sentences, lines, paragraphs, cells, table columns or rows).
#include <algorithm>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/fragment_pool.h"
#include "document/line.h"
#include "document/par.h"
#include "document/selection_flags.h"
#include "document/table_row.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/hit_test.h"
#include "docwindow/mouse_gestures.h"
#include "docwindow/view_flags.h"

namespace qv {

namespace {

bool InRange(const TDocPosition& p, const TDocRange& r) {
  return ComparePositions(p, r.Start) >= 0 && ComparePositions(p, r.End) <= 0;
}

// Sets the selection to the range unless its one range is that already; the anchor stays.
void SelectKeepingAnchor(TDoc& doc, const TDocRange& r, uint8_t flags) {
  const TCompoundFragment& sel = *doc.Selection;
  if (sel.Count() == 1 && flags == 0 && SamePlace(sel.GetRange(0)->Start, r.Start) &&
      SamePlace(sel.GetRange(0)->End, r.End))
    return;
  const TDocPosition anchor = doc.SelectionAnchor;
  doc.SetSelection(r.Start.Par, r.Start.Offset, r.End.Par, r.End.Offset, flags);
  doc.SelectionAnchor = anchor;
}

TDocRange Ordered(const TDocPosition& a, const TDocPosition& b) {
  TDocRange r;
  r.Start = ComparePositions(a, b) <= 0 ? a : b;
  r.End = ComparePositions(a, b) <= 0 ? b : a;
  return r;
}

TLine* LineOf(TDoc& doc, const TDocPosition& p) {
  if (p.Par < 0 || p.Par >= doc.ParCount()) return nullptr;
  TPar& par = *doc.Par(p.Par);
  if (!par.HasFlag(pfLinesValid) || par.Lines.empty()) return nullptr;
  return par.Lines[static_cast<size_t>(std::clamp(p.Line, 0, static_cast<int32_t>(par.Lines.size()) - 1))];
}

void ExtendLines(TDocForm& form, TDoc& doc, const THitTestInfo& h, uint8_t flags) {
  TLine* pointer = h.Line;
  TLine* anchorLine = LineOf(doc, doc.SelectionAnchor);
  if (pointer == nullptr || anchorLine == nullptr) return;
  const TDocPosition& a = doc.SelectionAnchor;
  const bool below = h.Position.Par > a.Par || (h.Position.Par == a.Par && pointer->LineIndex >= anchorLine->LineIndex);
  TDocRange r;
  if (below) MakeRange(a.Par, anchorLine->FirstChar, h.Position.Par, pointer->LastChar(), r);
  else MakeRange(h.Position.Par, pointer->FirstChar, a.Par, anchorLine->LastChar(), r);
  SelectKeepingAnchor(doc, r, flags);
  form.MoveCaretKeepSelection(below ? r.End : r.Start);
}

// Beyond the table the drag started in, the selection reaches the table's start or end.
bool ExtendOutOfTable(TDocForm& form, TDoc& doc, const TDocPosition& p, uint8_t flags) {
  TDocRange table;
  doc.GetTableRange(form.Mouse.CellPar, table);
  if (p.Par >= table.Start.Par && p.Par <= table.End.Par) return false;
  TDocPosition edge;
  if (p.Par < table.Start.Par) MakePosition(table.Start.Par, 0, edge);
  else MakePosition(table.End.Par, doc.ParLength(table.End.Par), edge);
  SelectKeepingAnchor(doc, Ordered(doc.SelectionAnchor, edge), flags);
  return true;
}

void ExtendColumns(TDocForm& form, TDoc& doc, const TDocPosition& p, uint8_t flags) {
  if (ExtendOutOfTable(form, doc, p, flags)) return;
  int32_t l1 = 0, r1 = 0, l2 = 0, r2 = 0;
  doc.GetCellHorzBounds(form.Mouse.CellPar, l1, r1);
  doc.GetCellHorzBounds(p.Par, l2, r2);
  TDocRange table;
  doc.GetTableRange(form.Mouse.CellPar, table);
  TFragmentRef cells = doc.GetCellsInColumnSpan(table, TableValueUnset, std::min(l1, l2), std::max(r1, r2),
                                                TableValueUnset);
  TFragmentRef joined = CloneFragment(*doc.SelectionBase);
  if (IsFragmentEmpty(joined)) joined->SetCount(0);
  joined->AppendRanges(*cells);
  joined->Normalize();
  doc.Selection->Assign(*joined);
  doc.ExpandSelectionToCells();
  doc.SelectionChanged();
  DocWindowServices().RequestInterfaceUpdate();
  form.RedrawView();
}

void ExtendRows(TDocForm& form, TDoc& doc, const TDocPosition& p, uint8_t flags) {
  if (ExtendOutOfTable(form, doc, p, flags)) return;
  TDocRange startRow, pointerRow;
  doc.GetRowRange(form.Mouse.CellPar, startRow);
  doc.GetRowRange(p.Par, pointerRow);
  TDocRange r;
  r.Start = ComparePositions(startRow.Start, pointerRow.Start) <= 0 ? startRow.Start : pointerRow.Start;
  r.End = ComparePositions(startRow.End, pointerRow.End) >= 0 ? startRow.End : pointerRow.End;
  doc.SetScopedFlag(dfSelectTableAsRows);
  SelectKeepingAnchor(doc, r, flags);
  doc.RestoreScopedFlag();
}

}  // namespace

void MoveWhileSelecting(TDocForm& form, const THitTestInfo& h, uint32_t keys) {
  TDoc& doc = form.Doc();
  const bool ctrl = (keys & (TDocForm::kMkLeft | TDocForm::kMkRight | TDocForm::kMkShift | TDocForm::kMkControl)) ==
                    (TDocForm::kMkLeft | TDocForm::kMkControl);
  if (!h.HasPosition()) return;
  const TDocPosition& anchor = doc.SelectionAnchor;
  if (anchor.Par < 0 || anchor.Par >= doc.ParCount() ||
      doc.StoryOfParagraph(anchor.Par) != doc.StoryOfParagraph(h.Position.Par))
    return;
  doc.SetScopedFlag(vfKeepSelectedShapes);
  const uint8_t flags = ctrl ? TDoc::ssAddToBase : 0;
  if (ctrl && doc.SelectionBase->Count() <= 1 && IsRangeEmpty(*doc.SelectionBase->GetRange(0)))
    doc.SaveSelectionBase();
  const TDocPosition& p = h.Position;
  switch (form.Mouse.DragKind) {
    case kDragCharacters:
    case kDragWords: {
      TDocPosition target = p;
      if (SamePlace(p, form.Mouse.CharDragOrigin) && ComparePositions(anchor, form.Mouse.CharDragOrigin) < 0)
        target = anchor;
      form.ExtendSelectionTo(target, ctrl);
      break;
    }
    case kDragSentences: {
      const TDocRange a = doc.SentenceAt(anchor);
      const TDocRange b = doc.SentenceAt(p);
      TDocRange r;
      r.Start = ComparePositions(a.Start, b.Start) <= 0 ? a.Start : b.Start;
      r.End = ComparePositions(a.End, b.End) >= 0 ? a.End : b.End;
      SelectKeepingAnchor(doc, r, flags);
      form.MoveCaretKeepSelection(ComparePositions(p, anchor) >= 0 ? r.End : r.Start);
      break;
    }
    case kDragLines:
      ExtendLines(form, doc, h, flags);
      break;
    case kDragParagraphs: {
      const int32_t first = std::min(anchor.Par, p.Par), last = std::max(anchor.Par, p.Par);
      TDocRange r;
      MakeRange(first, 0, last, doc.ParLength(last), r);
      SelectKeepingAnchor(doc, r, flags);
      break;
    }
    case kDragCells: {
      TDocPosition target = p;
      if (InRange(p, form.Mouse.CellRange)) target = form.Mouse.CellRange.End;
      SelectKeepingAnchor(doc, Ordered(anchor, target), flags);
      break;
    }
    case kDragColumns:
      ExtendColumns(form, doc, p, flags);
      break;
    case kDragRows:
      ExtendRows(form, doc, p, flags);
      break;
    default:
      break;
  }
  doc.RestoreScopedFlag();
  form.ResetCaretColumn();
}

}  // namespace qv
