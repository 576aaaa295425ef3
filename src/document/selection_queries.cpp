// Questions about the selection that commands and edits ask before they act. They read the
// selection state (Selection, Caret, CurParFormat) and change nothing.
#include <algorithm>
#include <span>

#include "document/compound_fragment.h"
#include "document/content_stream.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_scan.h"
#include "document/selection_tables.h"
#include "document/styles.h"

namespace qv {

namespace {

std::span<const TDocRange> RangesOf(const TCompoundFragment& f) {
  return {f.GetRange(0), static_cast<size_t>(f.Count())};
}

int32_t ParLen(const TDoc& doc, int32_t par) { return doc.Par(par)->CharCount(); }

bool InNoteStory(const TDoc& doc, int32_t par) {
  const int32_t story = doc.StoryOfParagraph(par);
  return story == stFootnotes || story == stEndnotes;
}

bool SameTable(const TDoc& doc, int32_t a, int32_t b) {
  if (!ParInTable(doc, a) || !ParInTable(doc, b)) return false;
  TDocRange ta, tb;
  TableRange(doc, a, ta);
  TableRange(doc, b, tb);
  return SameRange(ta, tb);
}

// The one-character range of the last character before a place (the character whose end the
// place is); empty at the start of the document.
TDocRange LastCharBefore(const TDoc& doc, const TDocPosition& end) {
  TDocRange r;
  if (end.Offset > 0) {
    MakeCharRange(end.Par, end.Offset - 1, r);
  } else if (end.Par > 0) {
    const int32_t len = ParLen(doc, end.Par - 1);
    MakeCharRange(end.Par - 1, std::max(len - 1, 0), r);
  } else {
    MakeCollapsedRange(0, 0, r);
  }
  return r;
}

}  // namespace

bool TDoc::HasSelection() const { return !IsFragmentEmpty(Selection.get()); }

bool TDoc::IsSingleFragmentSelection() const { return HasSelection() && Selection->Count() == 1; }

bool TDoc::IsPositionSelected(const TDocPosition& position) const {
  return HasSelection() && PositionInFragment(position, RangesOf(*Selection));
}

bool TDoc::SelectionInOneTable() {
  if (GetParFormatProp(CurParFormat, ppInTable) <= 0) return false;
  if (!HasSelection()) return true;
  return SameTable(*this, Selection->GetRange(0)->Start.Par, Selection->LastRange->End.Par);
}

bool TDoc::IsCellSelection(const TCompoundFragment& fragment) {
  if (IsFragmentEmpty(&fragment)) return false;
  if (!SameTable(*this, fragment.GetRange(0)->Start.Par, fragment.LastRange->End.Par)) return false;
  for (int32_t i = fragment.Count() - 1; i >= 0; --i) {
    const TDocRange& r = *fragment.GetRange(i);
    if (!ParInTable(*this, r.Start.Par) || !ParInTable(*this, r.End.Par)) continue;
    TDocRange startCell, endCell;
    TableCellRange(*this, r.Start.Par, startCell);
    TableCellRange(*this, r.End.Par, endCell);
    if (SameRange(startCell, endCell) && ComparePositions(startCell.End, r.End) > 0) return false;
  }
  return true;
}

bool TDoc::SelectionOnlyRowEnds() {
  if (GetParFormatProp(CurParFormat, ppInTable) <= 0 || !HasSelection()) return false;
  return IsFragmentEmpty(SplitFragmentsByTableRows(*this, *Selection));
}

bool TDoc::AtRowEndMark() {
  if (GetParFormatProp(CurParFormat, ppInTable) <= 0) return false;
  if (HasSelection()) return SelectionOnlyRowEnds();
  return Caret.Par >= 0 && Caret.Par < ParCount() && IsRowEndParagraph(*this, Caret.Par);
}

bool TDoc::IsParagraphWhollySelected(int32_t par) const {
  if (!HasSelection() || par < 0 || par >= ParCount()) return false;
  const int32_t len = ParLen(*this, par);
  for (const TDocRange& r : RangesOf(*Selection)) {
    const bool startsBefore = r.Start.Par < par || (r.Start.Par == par && r.Start.Offset == 0);
    const bool endsAfter = r.End.Par > par || (r.End.Par == par && r.End.Offset >= len);
    if (startsBefore && endsAfter) return true;
  }
  return false;
}

bool TDoc::IsSingleShapeRange(const TDocRange& range) const {
  if (IsRangeEmpty(range) || range.Start.Par != range.End.Par) return false;
  if (range.Start.Par < 0 || range.Start.Par >= ParCount()) return false;
  if (range.End.Offset - range.Start.Offset != 1) return false;
  const TPar& p = *Par(range.Start.Par);
  return range.Start.Offset >= 0 && range.Start.Offset < p.CharCount() &&
         p.CodeAt(range.Start.Offset) == scInlineShape;
}

bool TDoc::IsInlineShapeSelected() const {
  return IsSingleFragmentSelection() && IsSingleShapeRange(*Selection->GetRange(0));
}

TShape* TDoc::GetShapeAt(const TDocPosition& position) const {
  if (position.Par < 0 || position.Par >= ParCount()) return nullptr;
  const TPar& p = *Par(position.Par);
  if (position.Offset < 0 || position.Offset >= p.CharCount() ||
      p.CodeAt(position.Offset) != scInlineShape)
    return nullptr;
  const int32_t off = p.CharToStreamOffset(position.Offset);
  if (!IsTagAt(p.Content.Data, p.Content.Length, off)) return nullptr;
  const TContentTag tag = ReadTagAt(p.Content.Data, off);
  return ShapeOfTag(tag);
}

bool TDoc::FragmentHasHeadings(const TCompoundFragment& fragment) const {
  for (const TDocRange& r : RangesOf(fragment)) {
    const int32_t last = std::min(r.End.Par, ParCount() - 1);
    for (int32_t p = std::max(r.Start.Par, 0); p <= last; ++p) {
      const TStyle* style = Par(p)->GetStyle();
      if (style != nullptr && style->IsHeading()) return true;
    }
  }
  return false;
}

bool TDoc::SelectionHasHeadings() const { return FragmentHasHeadings(*GetSelectionFragment()); }

bool TDoc::RangeSplitsTableRow(const TDocRange& range) {
  const bool startIn = ParInTable(*this, range.Start.Par);
  const bool endIn = ParInTable(*this, range.End.Par);
  if (startIn && endIn) {
    TDocRange a, b;
    TableCellRange(*this, range.Start.Par, a);
    TableCellRange(*this, range.End.Par, b);
    if (SameRange(a, b) && ComparePositions(range.End, b.End) < 0) return false;
  }
  TDocRange row;
  if (startIn) {
    TableRowRange(*this, range.Start.Par, row);
    if (ComparePositions(range.Start, row.Start) > 0) return true;
  }
  if (endIn) {
    TableRowRange(*this, range.End.Par, row);
    if (ComparePositions(range.End, row.End) < 0) return true;
  }
  return false;
}

bool TDoc::RangeHasNoteEndMark(const TDocRange& range) const {
  if (!InNoteStory(*this, range.Start.Par) && !InNoteStory(*this, range.End.Par)) return false;
  const std::vector<TFieldSpan> notes = ScanFieldsInRange(*this, range, fkNoteText);
  for (size_t i = notes.size(); i-- > 0;) {
    const TDocRange mark = LastCharBefore(*this, notes[i].Range.End);
    if (IntersectRanges(nullptr, range, mark)) return true;
  }
  return false;
}

bool TDoc::SelectionHasNoteEndMark() const {
  if (!HasSelection()) return false;
  for (const TDocRange& r : RangesOf(*Selection))
    if (RangeHasNoteEndMark(r)) return true;
  return false;
}

bool TDoc::SelectionInNotes() const {
  if (!HasSelection()) return InNoteStory(*this, std::clamp(Caret.Par, 0, ParCount() - 1));
  for (const TDocRange& r : RangesOf(*Selection))
    if (InNoteStory(*this, r.Start.Par)) return true;
  return false;
}

bool TDoc::IsNoteEndAt(const TDocPosition& position) const {
  if (StoryCounts[stFootnotes] + StoryCounts[stEndnotes] == 0) return false;
  const TFieldSpan* innermost = nullptr;
  const std::vector<TFieldSpan> spans = ScanFieldSpans(*this, position.Par, position.Par);
  for (const TFieldSpan& s : spans) {
    if (s.Field->Kind != fkNoteText || !PositionInRange(position, s.Range)) continue;
    if (innermost == nullptr || ComparePositions(s.Range.Start, innermost->Range.Start) >= 0)
      innermost = &s;
  }
  if (innermost == nullptr) return false;
  const TDocRange last = LastCharBefore(*this, innermost->Range.End);
  return SamePlace(last.Start, position);
}

bool TDoc::RangeCutsMultiParField(const TDocRange& range) const {
  for (const TFieldSpan& s : ScanFieldsInRange(*this, range, -1)) {
    if (s.Range.Start.Par == s.Range.End.Par) continue;
    if (s.Range.Start.Par >= range.Start.Par || s.Range.End.Par <= range.End.Par) return true;
  }
  return false;
}

bool TDoc::RangeHasSpecialChars(const TDocRange& range) const {
  const int32_t lastPar = std::min(range.End.Par, ParCount() - 1);
  for (int32_t p = std::max(range.Start.Par, 0); p <= lastPar; ++p) {
    const TPar& par = *Par(p);
    const int32_t from = p == range.Start.Par ? std::max(range.Start.Offset, 0) : 0;
    const int32_t to = p == range.End.Par ? std::min(range.End.Offset, par.CharCount())
                                          : par.CharCount();
    for (int32_t i = from; i < to; ++i) {
      const uint8_t c = par.CodeAt(i);
      if (c < 32 && c != scWideChar) return true;
    }
  }
  return false;
}

uint8_t TDoc::GetSelectionStory() const {
  if (!HasSelection())
    return static_cast<uint8_t>(StoryOfParagraph(std::clamp(Caret.Par, 0, ParCount() - 1)));
  const int32_t story = StoryOfParagraph(Selection->GetRange(0)->Start.Par);
  for (int32_t i = 1; i < Selection->Count(); ++i)
    if (StoryOfParagraph(Selection->GetRange(i)->Start.Par) != story) return 255;
  return static_cast<uint8_t>(story);
}

TFragmentRef TDoc::GetSelectionFragment() const {
  TFragmentRef f = CloneFragment(*Selection);
  if (!HasSelection()) {
    const int32_t par = std::clamp(Caret.Par, 0, ParCount() - 1);
    f->SetSingleRange(par, 0, par, ParLen(*this, par));
  }
  return f;
}

}  // namespace qv
