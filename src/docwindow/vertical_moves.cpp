// Up and Down: to the line above or below as laid out on the pages (rows of lines in a box, the
// nearest box of the page, earlier or later pages), keeping the goal column; and, while the
// selection is extended or a header or footer edited in place, in paragraph order.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par.h"
#include "docwindow/caret.h"
#include "docwindow/caret_movement.h"
#include "docwindow/doc_form.h"
#include "docwindow/scroll_into_view.h"
#include "layout/box.h"
#include "layout/line_metrics.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/line_painter.h"
#include "platform/win/keys.h"

namespace qv {

namespace {

// Pages laid out at a time when Down searches past the last laid-out page.
constexpr int32_t kPagesAhead = 5;

TDocPosition Pos(int32_t par, int32_t offset) {
  TDocPosition p;
  MakePosition(par, offset, p);
  return p;
}

// The areas a move may go to: the header or footer being edited, or the body text.
uint32_t AreasOfCaret(const TDoc& doc) {
  return doc.StoryOfParagraph(doc.Caret.Par) == stHeadersFooters ? AreaBit(TBox::AreaHeaderFooter) : BodyAreas;
}

int32_t BoxLeft(const TBox& box) { return BoxToPagePoint(box, {0, 0}).x; }

int32_t LineTop(const TLine& line) {
  const TDoc& doc = *line.Box->Doc;
  return BoxToPagePoint(*line.Box, {0, doc.TwipsToPixelsY(line.Top)}).y;
}

int32_t LineBottom(const TLine& line) { return LineTop(line) + LineHeightPixels(line); }

std::vector<TLine*> LinesOf(const TBox& box) {
  std::vector<TLine*> lines;
  for (TLine* l : box.Lines)
    if (l != nullptr && l->Par != nullptr && l->Box != nullptr) lines.push_back(l);
  return lines;
}

class TVerticalMove {
 public:
  TVerticalMove(TKeyMove& k, int32_t dir) : k_(k), doc_(k.Doc), column_(k.Form.Column), dir_(dir) {}

  void Run() {
    if (k_.Mode == cmExtend && !doc_.HasSelection()) SetGoalColumn(k_.Form);
    TLine* line = CaretLineOf(doc_);
    if (line == nullptr) return;
    if (RowWiseOutOfTable(k_, dir_ < 0)) return;
    const TDocRange story = StoryRange();
    const bool headerFooterEdge = doc_.HeaderFooterInPlace != nullptr &&
                                  doc_.Caret.Par == (dir_ < 0 ? story.Start.Par : story.End.Par);
    if (k_.Mode == cmExtend || headerFooterEdge) ParagraphOrder(*line, story);
    else LayoutOrder(*line, AreasOfCaret(doc_));
  }

 private:
  TDocRange StoryRange() const {
    TDocRange r;
    doc_.GetCurrentStoryRange(r);
    return r;
  }

  int32_t GoalPageX() const { return column_.GoalX + column_.BoxX; }

  // The line of a row whose extent holds the goal, else the nearest.
  TLine* ChooseInRow(const std::vector<TLine*>& row) const {
    TLine* best = nullptr;
    int64_t bestDistance = INT64_MAX;
    const int32_t goal = GoalPageX();
    for (TLine* l : row) {
      const int32_t left = BoxLeft(*l->Box) + LineTextX(*l, 0);
      const int32_t right = BoxLeft(*l->Box) + LineTextX(*l, l->Count);
      const int64_t d = goal < left ? left - goal : goal > right ? goal - right : 0;
      if (d < bestDistance) {
        bestDistance = d;
        best = l;
      }
    }
    return best;
  }

  // The character boundary of the line nearest to the goal column.
  TDocPosition TargetOnLine(TLine& line) const {
    const int32_t o = k_.Mode == cmMove ? BoxLeft(*line.Box) - column_.BoxX : 0;
    const int32_t goal = column_.GoalX;
    const bool lastLine = line.LastChar() >= line.Par->CharCount();
    const bool endOffered = k_.Mode == cmExtend || !(lastLine || LineEndsWithBreak(line));
    const int32_t n = endOffered ? line.Count : std::max(0, line.Count - 1);
    int32_t index = n;
    for (int32_t i = 0; i <= n; ++i) {
      const int32_t x = LineTextX(line, i) + o;
      if (x < goal) continue;
      index = i;
      if (i > 0 && std::abs(LineTextX(line, i - 1) + o - goal) < std::abs(x - goal)) index = i - 1;
      break;
    }
    TDocPosition p = Pos(line.Par->Index, line.FirstChar + index);
    // Extending upwards past the anchor never ends after a paragraph mark.
    if (k_.Mode == cmExtend && ComparePositions(p, doc_.SelectionAnchor) < 0)
      p.Offset = std::min(p.Offset, std::max(0, line.Par->CharCount() - 1));
    return p;
  }

  void MoveTo(TLine& line) {
    const TDocPosition target = TargetOnLine(line);
    MoveCaretByKey(doc_, target, k_.Mode, k_.Key, line.LineIndex);
  }

  // --- Layout order ---

  void LayoutOrder(TLine& line, uint32_t areas) {
    TLine* target = InBox(line);
    if (target == nullptr) target = OnPages(line, areas);
    if (target != nullptr) MoveTo(*target);
  }

  // The neighbouring row of lines in the line's own box.
  TLine* InBox(TLine& line) const {
    const std::vector<TLine*> lines = LinesOf(*line.Box);
    auto it = std::find(lines.begin(), lines.end(), &line);
    if (it == lines.end()) return nullptr;
    int32_t i = static_cast<int32_t>(it - lines.begin());
    const int32_t top = line.Top;
    // Step over the caret's own row, then take the row beyond it.
    while (i >= 0 && i < static_cast<int32_t>(lines.size()) && lines[static_cast<size_t>(i)]->Top == top) i += dir_;
    if (i < 0 || i >= static_cast<int32_t>(lines.size())) return nullptr;
    const int32_t rowTop = lines[static_cast<size_t>(i)]->Top;
    std::vector<TLine*> row;
    for (; i >= 0 && i < static_cast<int32_t>(lines.size()) && lines[static_cast<size_t>(i)]->Top == rowTop; i += dir_)
      row.push_back(lines[static_cast<size_t>(i)]);
    return ChooseInRow(row);
  }

  TLine* OnPages(TLine& line, uint32_t areas) {
    TPage* page = line.Box->Page;
    if (page == nullptr) return nullptr;
    const int32_t ref = dir_ < 0 ? LineTop(line) : LineBottom(line);
    if (TLine* l = SearchPage(*page, ref, areas, line.Box)) return l;
    for (int32_t p = page->Index + dir_; p >= 0; p += dir_) {
      if (dir_ > 0 && p >= doc_.PageCount()) {
        if (doc_.Layout.LaidOutToEnd) break;
        const int32_t before = doc_.PageCount();
        doc_.Paginate(before, before + kPagesAhead);
        if (doc_.PageCount() <= p) break;
      }
      TPage* other = doc_.Pages[static_cast<size_t>(p)];
      if (other == nullptr) continue;
      if (TLine* l = SearchPage(*other, dir_ < 0 ? INT32_MAX : INT32_MIN, areas, nullptr)) return l;
    }
    return nullptr;
  }

  static void CollectBoxes(TBox& box, uint32_t areas, std::vector<TBox*>& out) {
    if (box.Area != TBox::AreaNone && (areas & AreaBit(box.Area)) == 0) return;
    if (!LinesOf(box).empty()) out.push_back(&box);
    for (const TBoxRef& child : box.Children) CollectBoxes(*child, areas, out);
  }

  // The nearest box of the page above (below) the reference y and its line nearest to it.
  TLine* SearchPage(TPage& page, int32_t ref, uint32_t areas, const TBox* exclude) const {
    std::vector<TBox*> boxes;
    CollectBoxes(page, areas, boxes);
    const int32_t goal = GoalPageX();
    for (int pass = column_.Table >= 0 ? 0 : 1; pass < 2; ++pass) {
      TBox* best = nullptr;
      int64_t bestV = INT64_MAX, bestH = INT64_MAX;
      for (TBox* box : boxes) {
        if (box == exclude) continue;
        if (pass == 0) {
          const TTableBox* table = GetTableBox(box);
          if (table == nullptr || table->FirstPar != column_.Table) continue;
        }
        if (NearestLine(*box, ref) == nullptr) continue;
        const plat::Point o = BoxToPagePoint(*box, {0, 0});
        const int32_t top = o.y, bottom = o.y + box->PixelRect.Height();
        const int32_t left = o.x, right = o.x + box->PixelRect.Width();
        const int64_t v = dir_ < 0 ? std::max<int64_t>(0, int64_t{ref} - bottom) : std::max<int64_t>(0, int64_t{top} - ref);
        const int64_t h = goal < left ? left - goal : goal > right ? goal - right : 0;
        if (v < bestV || (v == bestV && h < bestH)) {
          best = box;
          bestV = v;
          bestH = h;
        }
      }
      if (best != nullptr) return NearestLine(*best, ref);
    }
    return nullptr;
  }

  // The line of the box on the move's side of the reference y whose top is nearest to it.
  TLine* NearestLine(const TBox& box, int32_t ref) const {
    TLine* best = nullptr;
    for (TLine* l : LinesOf(box)) {
      const int32_t top = LineTop(*l);
      if (dir_ < 0 ? top >= ref : top < ref) continue;
      if (best == nullptr || (dir_ < 0 ? top > LineTop(*best) : top < LineTop(*best))) best = l;
    }
    return best;
  }

  // --- Paragraph order ---

  // The paragraph's lines grouped by row (pieces of one row side by side share it).
  static std::vector<std::vector<TLine*>> Rows(TPar& par) {
    std::vector<std::vector<TLine*>> rows;
    for (TLine* l : par.Lines) {
      if (l == nullptr || l->Box == nullptr) continue;
      if (rows.empty() || rows.back().front()->RowNumber != l->RowNumber) rows.emplace_back();
      rows.back().push_back(l);
    }
    return rows;
  }

  static int32_t RowIndexOf(const std::vector<std::vector<TLine*>>& rows, const TLine& line) {
    for (size_t i = 0; i < rows.size(); ++i)
      if (std::find(rows[i].begin(), rows[i].end(), &line) != rows[i].end()) return static_cast<int32_t>(i);
    return -1;
  }

  std::vector<std::vector<TLine*>> RowsOf(int32_t par) {
    doc_.EnsureParagraphLaidOut(par);
    return Rows(*doc_.Par(par));
  }

  // In a table cell the row above or below is found as laid out, within the caret's story.
  bool CellEdgeInTable(TLine& line) {
    if (k_.Mode != cmExtend || line.Par->Format.InTable != 1) return false;
    TDocRange cell;
    doc_.GetCellRange(line.Par->Index, cell);
    const int32_t par = line.Par->Index;
    if (par != (dir_ < 0 ? cell.Start.Par : cell.End.Par)) return false;
    if (doc_.HasSelection()) {
      const TDocPosition& start = doc_.Selection->GetRange(0)->Start;
      if (start.Par < cell.Start.Par || start.Par > cell.End.Par) return false;
    }
    LayoutOrder(line, AreaBit(static_cast<uint8_t>(doc_.StoryOfParagraph(par))));
    return true;
  }

  void ParagraphOrder(TLine& line, const TDocRange& story) {
    TPar& par = *line.Par;
    std::vector<std::vector<TLine*>> rows = Rows(par);
    int32_t row = RowIndexOf(rows, line);
    if (row < 0) return;
    if (dir_ > 0 && row + 1 < static_cast<int32_t>(rows.size()) &&
        doc_.Caret.Offset == rows[static_cast<size_t>(row) + 1].front()->FirstChar) {
      // A caret at a soft line end whose column falls on the same place in the next line counts
      // as standing on that next line.
      TLine* next = ChooseInRow(rows[static_cast<size_t>(row) + 1]);
      if (next != nullptr && SamePlace(TargetOnLine(*next), doc_.Caret)) ++row;
    }
    const int32_t beyond = row + dir_;
    if (beyond >= 0 && beyond < static_cast<int32_t>(rows.size())) {
      if (TLine* l = ChooseInRow(rows[static_cast<size_t>(beyond)])) MoveTo(*l);
      return;
    }
    if (CellEdgeInTable(line)) return;
    const int32_t other = NeighbourParagraph(doc_, par.Index, dir_, true);
    if (other < 0) {
      StoryEdge(story);
      return;
    }
    std::vector<std::vector<TLine*>> otherRows = RowsOf(other);
    if (otherRows.empty()) return;
    if (dir_ < 0) {
      if (TLine* l = ChooseInRow(otherRows.back())) MoveTo(*l);
      return;
    }
    TLine* first = ChooseInRow(otherRows.front());
    if (first == nullptr) return;
    const bool afterMark = doc_.Caret.Offset >= par.CharCount();
    if (afterMark && TargetOnLine(*first).Offset == 0) {
      // From after a paragraph mark the column at the next paragraph's start goes one line on.
      if (otherRows.size() > 1) {
        if (TLine* l = ChooseInRow(otherRows[1])) MoveTo(*l);
        return;
      }
      const int32_t following = NeighbourParagraph(doc_, other, 1, true);
      if (following < 0) {
        MoveCaretByKey(doc_, Pos(other, doc_.ParLength(other)), k_.Mode, k_.Key, INT32_MAX);
        return;
      }
      std::vector<std::vector<TLine*>> followingRows = RowsOf(following);
      if (!followingRows.empty())
        if (TLine* l = ChooseInRow(followingRows.front())) MoveTo(*l);
      return;
    }
    MoveTo(*first);
  }

  // At the story's first or last line: the story's end while extending; another page's header
  // or footer while one is edited in place; otherwise the caret stays.
  void StoryEdge(const TDocRange& story) {
    if (k_.Mode == cmExtend) {
      const TDocPosition target = dir_ < 0 ? Pos(story.Start.Par, 0) : Pos(story.End.Par, doc_.ParLength(story.End.Par));
      MoveCaretByKey(doc_, target, k_.Mode, k_.Key, dir_ < 0 ? 0 : INT32_MAX);
      return;
    }
    if (doc_.HeaderFooterInPlace != nullptr) SwitchHeaderFooter();
  }

  void SwitchHeaderFooter() {
    const int32_t current = doc_.HeaderFooterPage;
    if (current < 0 || current >= doc_.PageCount()) return;
    const bool footer = doc_.Pages[static_cast<size_t>(current)]->FooterField == doc_.HeaderFooterInPlace;
    for (int32_t p = current + dir_; p >= 0 && p < doc_.PageCount(); p += dir_) {
      TPage* page = doc_.Pages[static_cast<size_t>(p)];
      TField* field = page != nullptr ? (footer ? page->FooterField : page->HeaderField) : nullptr;
      if (field == nullptr) continue;
      doc_.EditHeaderFooter(field, p);
      TDocRange range;
      if (!doc_.GetHeaderFooterRange(field, range)) return;
      std::vector<std::vector<TLine*>> rows = RowsOf(range.Start.Par);
      if (rows.empty()) return;
      if (TLine* l = ChooseInRow(rows.front())) MoveTo(*l);
      return;
    }
  }

  TKeyMove& k_;
  TDoc& doc_;
  TCaretColumn& column_;
  int32_t dir_;
};

}  // namespace

void VerticalMove(TKeyMove& k, int32_t dir) { TVerticalMove(k, dir).Run(); }

}  // namespace qv
