// Shift and the arrows over a block of table cells: the block grows and shrinks by columns and
// rows from the anchor's cell, and leaves the table past its first or last row.
#include <algorithm>
#include <climits>
#include <span>
#include <vector>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/fragment_pool.h"
#include "document/line.h"
#include "document/par.h"
#include "document/table_row.h"
#include "docwindow/caret.h"
#include "docwindow/caret_movement.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/scroll_into_view.h"
#include "layout/paint/line_painter.h"
#include "platform/win/keys.h"

namespace qv {

namespace {

// The horizontal boundary beyond every cell: the row-end column.
constexpr int32_t kRowEndBound = 0x3FFFFFFF;

TDocPosition Pos(int32_t par, int32_t offset) {
  TDocPosition p;
  MakePosition(par, offset, p);
  return p;
}

class TCellBlock {
 public:
  TCellBlock(TKeyMove& k, const TDocRange& table) : k_(k), doc_(k.Doc), table_(table) {
    for (int32_t p = table.Start.Par; p <= table.End.Par && p < doc_.ParCount();) {
      TDocRange row;
      doc_.GetRowRange(p, row);
      rows_.push_back(row);
      p = std::max(row.End.Par, p) + 1;
    }
  }

  void Run() {
    const TDocPosition anchor = doc_.SelectionAnchor;
    anchorRow_ = RowOf(anchor.Par);
    if (anchorRow_ < 0) return;
    const TCompoundFragment& sel = *doc_.Selection;
    otherRow_ = RowOf(sel.GetRange(0)->Start.Par);
    if (otherRow_ == anchorRow_) otherRow_ = RowOf(sel.LastRange->End.Par);
    if (otherRow_ < 0) otherRow_ = anchorRow_;
    anchorColumn_ = doc_.GetCellIndex(anchor.Par);
    firstColumn_ = lastColumn_ = anchorColumn_;
    bool any = false;
    for (int32_t c = 0; c <= CellCount(anchorRow_); ++c) {
      if (!CellSelected(anchorRow_, c)) continue;
      if (!any) firstColumn_ = c;
      lastColumn_ = c;
      any = true;
    }
    const bool inLast = doc_.GetCellIndex(doc_.Caret.Par) == lastColumn_;
    moving_ = inLast ? lastColumn_ : firstColumn_;
    const bool caretAfter = ComparePositions(doc_.Caret, anchor) > 0;
    const bool single = firstColumn_ == lastColumn_ && otherRow_ == anchorRow_;
    switch (k_.Key) {
      case plat::VK_LEFT:
        if (single && caretAfter) return OrdinaryFromStart(-1);
        if (moving_ > anchorColumn_) --lastColumn_;
        else if (firstColumn_ == 0) --otherRow_;
        else --firstColumn_;
        break;
      case plat::VK_RIGHT:
        if (single && !caretAfter) return OrdinaryFromStart(1);
        if (moving_ < anchorColumn_) ++firstColumn_;
        else if (lastColumn_ < CellCount(anchorRow_)) ++lastColumn_;
        else ++otherRow_;
        break;
      case plat::VK_UP:
        --otherRow_;
        break;
      default:
        ++otherRow_;
        break;
    }
    if (otherRow_ < 0) return LeaveTable(-1);
    if (otherRow_ >= static_cast<int32_t>(rows_.size())) return LeaveTable(1);
    SelectBlock();
  }

 private:
  int32_t RowOf(int32_t par) const {
    for (size_t i = 0; i < rows_.size(); ++i)
      if (par >= rows_[i].Start.Par && par <= rows_[i].End.Par) return static_cast<int32_t>(i);
    return -1;
  }
  int32_t CellCount(int32_t row) const { return doc_.GetCellIndex(rows_[static_cast<size_t>(row)].End.Par); }
  // The first paragraph of a cell of a row (the row-end paragraph for the row-end column).
  int32_t CellPar(int32_t row, int32_t column) const {
    const TDocRange& r = rows_[static_cast<size_t>(row)];
    for (int32_t p = r.Start.Par; p <= r.End.Par; ++p)
      if (doc_.GetCellIndex(p) >= column) return p;
    return r.End.Par;
  }
  bool CellSelected(int32_t row, int32_t column) const {
    const TCompoundFragment& sel = *doc_.Selection;
    const TDocPosition p = Pos(CellPar(row, column), 0);
    return PositionInFragmentInclusive(p, std::span<const TDocRange>(sel.GetRange(0), static_cast<size_t>(sel.Count())));
  }

  // The block is one cell: the key extends the selection as outside a block.
  void OrdinaryFromStart(int32_t dir) {
    TDocPosition target = doc_.Selection->GetRange(0)->Start;
    if (dir < 0) {
      if (!PrevCharPosition(doc_, target)) return;
    } else {
      ++target.Offset;
    }
    MoveCaretByKey(doc_, target, cmExtend, k_.Key, dir < 0 ? INT32_MAX : 0);
  }

  void LeaveTable(int32_t dir) {
    TDocPosition target;
    if (dir < 0) {
      const int32_t before = table_.Start.Par - 1;
      if (before < 0) return;
      const int32_t length = doc_.ParLength(before);
      int32_t offset = length - 1;
      if (k_.Key == plat::VK_UP) offset = std::min(offset, OffsetAtColumn(before, true));
      target = Pos(before, std::max(0, offset));
    } else {
      const int32_t after = table_.End.Par + 1;
      if (after >= doc_.ParCount()) return;
      int32_t offset = std::min(1, doc_.ParLength(after));
      if (k_.Key == plat::VK_DOWN) offset = std::max(offset, OffsetAtColumn(after, false));
      target = Pos(after, offset);
    }
    MoveCaretByKey(doc_, target, cmExtend, k_.Key, dir < 0 ? INT32_MAX : 0);
  }

  // The offset of the paragraph's last (first) line nearest to the goal column.
  int32_t OffsetAtColumn(int32_t par, bool lastLine) {
    doc_.EnsureParagraphLaidOut(par);
    TPar& p = *doc_.Par(par);
    if (p.Lines.empty() || !k_.Form.Column.IsSet()) return 0;
    TLine& line = *(lastLine ? p.Lines.back() : p.Lines.front());
    int32_t best = 0;
    int32_t bestDistance = INT32_MAX;
    for (int32_t i = 0; i <= line.Count; ++i) {
      const int32_t d = std::abs(LineTextX(line, i) - k_.Form.Column.GoalX);
      if (d < bestDistance) {
        bestDistance = d;
        best = i;
      }
    }
    return line.FirstChar + best;
  }

  void SelectBlock() {
    int32_t left = 0, right = 0, unused = 0;
    doc_.GetCellHorzBounds(CellPar(anchorRow_, firstColumn_), left, unused);
    if (lastColumn_ >= CellCount(anchorRow_)) right = kRowEndBound;
    else doc_.GetCellHorzBounds(CellPar(anchorRow_, lastColumn_), unused, right);
    const int32_t lo = std::min(anchorRow_, otherRow_), hi = std::max(anchorRow_, otherRow_);
    TFragmentRef cells = doc_.GetCellsInColumnSpan(table_, lo, left, right, hi);
    doc_.ExpandFragmentsToCells(*cells);
    const TDocPosition anchor = doc_.SelectionAnchor;
    doc_.Selection->Assign(*cells);
    doc_.SelectionAnchor = anchor;
    doc_.SelectionChanged();
    k_.Form.RedrawView();
    DocWindowServices().RequestInterfaceUpdate();
    const TCompoundFragment& sel = *doc_.Selection;
    const TDocPosition start = sel.GetRange(0)->Start, end = sel.LastRange->End;
    TDocPosition caret;
    if (k_.Key == plat::VK_UP || k_.Key == plat::VK_DOWN) caret = otherRow_ < anchorRow_ ? start : end;
    else if (sel.Count() == 1) caret = ComparePositions(doc_.Caret, anchor) < 0 ? start : end;
    else caret = moving_ < anchorColumn_ ? start : end;
    MoveCaretByKey(doc_, caret, cmMoveKeepSelection, k_.Key, ComparePositions(caret, start) == 0 ? 0 : INT32_MAX);
  }

  TKeyMove& k_;
  TDoc& doc_;
  TDocRange table_;
  std::vector<TDocRange> rows_;
  int32_t anchorRow_ = 0, otherRow_ = 0, anchorColumn_ = 0, firstColumn_ = 0, lastColumn_ = 0, moving_ = 0;
};

}  // namespace

void CellBlockKey(TKeyMove& k, const TDocRange& table) { TCellBlock(k, table).Run(); }

}  // namespace qv
