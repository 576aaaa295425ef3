#include "docwindow/hit_test.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <span>
#include <vector>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par.h"
#include "document/selection_services.h"
#include "document/shape.h"
#include "document/styles.h"
#include "docwindow/doc_form.h"
#include "docwindow/view_geometry.h"
#include "layout/box.h"
#include "layout/line_metrics.h"
#include "layout/page.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/line_backgrounds.h"
#include "layout/paint/line_painter.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

// Word field types the plain field leaves out: INDEX and TOC (ranges of generated text) and
// HYPERLINK (answered on its own).
constexpr uint8_t ftIndex = 8;

int32_t S(int32_t pixels96) { return TDocForm::Scaled(pixels96); }

plat::Rect ShapePixelRect(const TDoc& doc, const TShape& shape) {
  return const_cast<TDoc&>(doc).RectTwipsToPixels(
      {shape.PlacedRect[0], shape.PlacedRect[1], shape.PlacedRect[2], shape.PlacedRect[3]});
}

bool Contains(const plat::Rect& r, plat::Point p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

plat::Rect BoxViewRect(const TBox& box) {
  const plat::Point o = BoxToViewPoint(box, {0, 0});
  return {o.x, o.y, o.x + box.PixelRect.Width(), o.y + box.PixelRect.Height()};
}

// The deepest box of the tree that holds the point (relative to the root's pixel rectangle).
TBox* DeepestBoxAt(TBox& root, int32_t x, int32_t y) {
  for (const TBoxRef& child : root.Children) {
    const plat::Rect& r = child->PixelRect;
    if (x < r.left || y < r.top || x >= r.right || y >= r.bottom) continue;
    if (TBox* deeper = DeepestBoxAt(*child, x - r.left, y - r.top)) return deeper;
    return child.get();
  }
  return nullptr;
}

void CollectCells(TBox& box, std::vector<TCellBox*>& cells, std::vector<TTableBox*>& tables) {
  for (const TBoxRef& child : box.Children) {
    if (child->Kind == TBoxKind::Cell) cells.push_back(static_cast<TCellBox*>(child.get()));
    if (child->Kind == TBoxKind::Table) tables.push_back(static_cast<TTableBox*>(child.get()));
    CollectCells(*child, cells, tables);
  }
}

bool IsSelected(const TDoc& doc, const TShape* shape) {
  return std::find(doc.SelectedShapes.begin(), doc.SelectedShapes.end(), shape) != doc.SelectedShapes.end();
}

bool IsLastCellOfRow(const TCellBox& cell) {
  return cell.Row != nullptr && cell.CellIndex == cell.Row->CellCount - 1;
}

bool IsHeading(const TPar& par) {
  if (const TStyle* style = par.GetStyle(); style != nullptr && style->IsHeading()) return true;
  return par.Format.OutlineLevel != ParUnset8 && par.Format.OutlineLevel >= 0 && par.Format.OutlineLevel <= 8;
}

// The areas a hit searches for text: the story set's, or the header or footer being edited in
// place, or the body text (main text and notes).
uint32_t AreasOf(const TDoc& doc, uint32_t storySet) {
  if (storySet != 0) return storySet & 0xF;
  return doc.HeaderFooterInPlace != nullptr ? AreaBit(TBox::AreaHeaderFooter) : BodyAreas;
}

class THitTester {
 public:
  THitTester(TDocForm& form, TDoc& doc, THitTestInfo& info, bool keyboard)
      : form_(form), doc_(doc), info_(info), keyboard_(keyboard) {}

  void Run(int32_t x, int32_t y, uint32_t storySet) {
    DropStaleWrapEditShape();
    point_ = form_.ClientToDoc({x, y});
    if (!keyboard_) TestWrapPolygon();
    if (keyboard_) {
      FromCaret();
    } else {
      TPage* page = FindPage();
      if (page == nullptr) return;
      pagePoint_ = {point_.x - page->PixelRect.left, point_.y - page->PixelRect.top};
      if (doc_.HeaderFooterInPlace == nullptr || doc_.HeaderFooterPage == page->Index) TestShapes(*page);
      if (form_.HasFlag(TDocForm::dfSelectingByDrag) && doc_.ParCount() > 0) {
        const int32_t anchor = std::clamp(doc_.SelectionAnchor.Par, 0, doc_.ParCount() - 1);
        storySet = 1u << doc_.StoryOfParagraph(anchor);
      }
      FindBoxes(*page, storySet);
      TestTables(*page);
      if (info_.TextBox != nullptr) TestText();
    }
    if (info_.HasPosition()) TestFields();
    if (info_.FloatingShape != nullptr && info_.FloatingShape->IsBehindText() && info_.HasPosition() &&
        !info_.OnShapeBorder && (plat::CurrentShiftState() & plat::ssAlt) == 0)
      info_.FloatingShape = nullptr;
    TestSpotlight();
  }

 private:
  void DropStaleWrapEditShape() {
    TShape* shape = doc_.WrapEditShape;
    if (shape == nullptr) return;
    using W = TShapeProps::TWrapStyle;
    const W wrap = shape->GetEffectiveWrap();
    if (!IsSelected(doc_, shape) || (wrap != W::Tight && wrap != W::Through)) doc_.WrapEditShape = nullptr;
  }

  void TestWrapPolygon() {
    TShape* shape = doc_.WrapEditShape;
    if (shape == nullptr || doc_.SelectedShapes.size() != 1 || doc_.SelectedShapes[0] != shape ||
        doc_.PrintPreview)
      return;
    plat::Rect frame;
    if (!FloatingShapeViewRect(*shape, frame)) return;
    const std::vector<std::array<int32_t, 2>> pts =
        shape->GetWrapPolygon({frame.left, frame.top, frame.right, frame.bottom}, INT32_MIN, {0, 0});
    if (pts.size() < 2) return;
    const std::vector<TShapeProps::TPoint>& stored =
        shape->Props.HasWrapPolygon() ? shape->Props.WrapPolygon : DefaultWrapPolygon();
    const int32_t half = S(kWrapPointSquare) / 2;
    // The closing point repeats the first one: the points are the ones before it.
    const int32_t count = static_cast<int32_t>(pts.size()) - 1;
    for (int32_t i = count - 1; i >= 0; --i) {
      const auto& p = pts[static_cast<size_t>(i)];
      if (std::abs(point_.x - p[0]) <= half && std::abs(point_.y - p[1]) <= half) {
        info_.WrapPoint = i;
        if (i < static_cast<int32_t>(stored.size())) {
          info_.WrapX = stored[static_cast<size_t>(i)].X;
          info_.WrapY = stored[static_cast<size_t>(i)].Y;
        }
        return;
      }
    }
    const int32_t tolerance = S(kWrapEdgeTolerance);
    for (int32_t i = 0; i < count; ++i) {
      const auto& a = pts[static_cast<size_t>(i)];
      const auto& b = pts[static_cast<size_t>(i) + 1];
      if (DistanceToSegment(a, b) > tolerance) continue;
      info_.WrapEdge = i + 1;
      const int32_t w = std::max(1, frame.Width()), h = std::max(1, frame.Height());
      info_.WrapX = static_cast<int32_t>(int64_t{point_.x - frame.left} * kWrapPolygonSpan / w);
      info_.WrapY = static_cast<int32_t>(int64_t{point_.y - frame.top} * kWrapPolygonSpan / h);
      return;
    }
  }

  int64_t DistanceToSegment(const std::array<int32_t, 2>& a, const std::array<int32_t, 2>& b) const {
    const double ax = a[0], ay = a[1], bx = b[0], by = b[1], px = point_.x, py = point_.y;
    const double dx = bx - ax, dy = by - ay;
    const double len = dx * dx + dy * dy;
    double t = len > 0 ? ((px - ax) * dx + (py - ay) * dy) / len : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double cx = ax + t * dx - px, cy = ay + t * dy - py;
    return static_cast<int64_t>(std::sqrt(cx * cx + cy * cy) + 0.5);
  }

  TPage* FindPage() {
    const int32_t count = doc_.PageCount();
    if (count == 0) return nullptr;
    const bool printLayout = doc_.ViewMode == vmPrintLayout;
    const int32_t first = std::max(0, doc_.FirstVisiblePage() - 1);
    const int32_t last = std::min(count - 1, doc_.LastVisiblePage() + 1);
    for (int32_t i = first; i <= last; ++i) {
      TPage* page = doc_.Pages[static_cast<size_t>(i)];
      if (page == nullptr) continue;
      const plat::Rect r = page->PixelRect;
      if (printLayout && !doc_.PrintPreview) {
        const int32_t band = S(i == 0 && !WhiteSpaceHidden(doc_) ? 10 : 5);
        if (point_.y >= r.top - band && point_.y <= r.top && point_.x >= r.left && point_.x < r.right) {
          info_.OnPageGap = 1;
          return nullptr;
        }
      }
      const bool inside = printLayout ? Contains(r, point_) : point_.y >= r.top && point_.y < r.bottom;
      if (inside) return Take(page);
    }
    if (printLayout) return nullptr;
    TPage* firstPage = doc_.Pages.front();
    if (firstPage != nullptr && point_.y < firstPage->PixelRect.top) return Take(firstPage);
    return Take(doc_.Pages.back());
  }

  TPage* Take(TPage* page) {
    if (page != nullptr) info_.PageIndex = page->Index;
    return page;
  }

  void TestShapes(TPage& page) {
    plat::Rect mark;
    if (AnchorMarkRect(page, mark) && Contains(mark, point_)) info_.OnAnchorMark = 1;  // window pixels
    TDocRange story;
    doc_.GetCurrentStoryRange(story);
    std::vector<TShape*> shapes = page.Shapes;
    // Topmost first: the shapes in front of the text above those behind it, each by stacking.
    std::stable_sort(shapes.begin(), shapes.end(), [](const TShape* a, const TShape* b) {
      if (a->IsBehindText() != b->IsBehindText()) return !a->IsBehindText();
      return a->Props.ZOrder > b->Props.ZOrder;
    });
    for (TShape* s : shapes) {
      if (s == nullptr || s->AnchorPar == nullptr) continue;
      const int32_t anchor = s->AnchorPar->Index;
      if (anchor < story.Start.Par || anchor > story.End.Par) continue;
      const plat::Rect r = ShapePixelRect(doc_, *s);
      if (!Contains(r, pagePoint_)) continue;
      info_.FloatingShape = s;
      if (IsSelected(doc_, s)) {
        const int32_t zone = S(kShapeBorderZone);
        const plat::Rect inner{r.left + zone, r.top + zone, r.right - zone, r.bottom - zone};
        info_.OnShapeBorder = !Contains(inner, pagePoint_);
      }
      break;
    }
    for (auto it = doc_.SelectedShapes.rbegin(); it != doc_.SelectedShapes.rend(); ++it) {
      TShape* s = *it;
      if (std::find(page.Shapes.begin(), page.Shapes.end(), s) == page.Shapes.end()) continue;
      const plat::Rect r = ShapePixelRect(doc_, *s);
      const TShape::THandleRects h = s->GetHandleRects({r.left, r.top, r.right, r.bottom});
      int32_t found = 0;
      for (int32_t i = 1; i <= 8; ++i) {
        if ((h.Mask & (1u << i)) == 0) continue;
        const auto& q = h.Rects[static_cast<size_t>(i)];
        if (Contains(plat::Rect{q[0], q[1], q[2], q[3]}, pagePoint_)) found = i;
      }
      if (found == 0) continue;
      const auto& q = h.Rects[static_cast<size_t>(found)];
      info_.ShapeHandle = static_cast<uint8_t>(found);
      info_.HandleShape = s;
      info_.HandleOffsetX = q[0] - pagePoint_.x;
      info_.HandleOffsetY = q[1] - pagePoint_.y;
      break;
    }
  }

  void FindBoxes(TPage& page, uint32_t storySet) {
    containing_ = DeepestBoxAt(page, pagePoint_.x, pagePoint_.y);
    info_.Box = containing_;
    TBoxHitFilter filter;
    filter.Areas = AreasOf(doc_, storySet);
    filter.UseAreas = true;
    // A point in the area of a story that is not searched has no text position.
    for (const TBox* b = containing_; b != nullptr; b = b->Parent) {
      if (b->Area == TBox::AreaNone) continue;
      if ((filter.Areas & AreaBit(b->Area)) == 0) return;
      break;
    }
    info_.TextBox = BoxAtPoint(page, pagePoint_.x, pagePoint_.y, filter);
    if (info_.Box == nullptr) info_.Box = info_.TextBox;
  }

  void TestTables(TPage& page) {
    TCellBox* cell = GetCellBox(containing_);
    info_.CellBox = cell;
    if (cell != nullptr) TestCellZones(*cell);
    std::vector<TCellBox*> cells;
    std::vector<TTableBox*> tables;
    CollectCells(page, cells, tables);
    if (info_.CellBox == nullptr) TestRowZone(cells);
    TestBorders(cells);
    TestTableHandles(tables, cells);
  }

  bool CellDimmed(const TCellBox& cell) const {
    const int32_t par = cell.CellRange.Start.Par;
    return par >= 0 && par < doc_.ParCount() && doc_.IsParagraphDimmed(par);
  }

  void TestCellZones(TCellBox& cell) {
    if (IsInSelectedCell(cell)) info_.OverSelection = 1;
    if (CellDimmed(cell)) return;
    const plat::Rect r = BoxViewRect(cell);
    const int32_t zone = S(kTableZoneWidth);
    if (point_.x >= r.left && point_.x < r.left + zone) info_.OnCellSelectArea = 1;
    const TTableBox* table = GetTableBox(&cell);
    const bool firstRow = cell.HasFlag(TBox::FirstRowCell) &&
                          (table == nullptr || table->HasFlag(TBox::TableStarts));
    if (firstRow && point_.y >= r.top && point_.y < r.top + zone) info_.OnColumnSelectArea = 1;
  }

  // Left of a row's first cell, within its height: the row selection zone.
  void TestRowZone(const std::vector<TCellBox*>& cells) {
    for (TCellBox* cell : cells) {
      if (cell->CellIndex != 0 || CellDimmed(*cell)) continue;
      const plat::Rect r = BoxViewRect(*cell);
      if (point_.y < r.top || point_.y >= r.bottom) continue;
      if (point_.x < r.left - S(5) && point_.x >= r.left - S(30)) {
        info_.OnRowSelectArea = 1;
        info_.CellBox = cell;
        return;
      }
    }
  }

  void TestBorders(const std::vector<TCellBox*>& cells) {
    const int32_t d = S(2);
    for (TCellBox* cell : cells) {
      if (cell->CellIndex < 0 || CellDimmed(*cell)) continue;
      const plat::Rect r = BoxViewRect(*cell);
      const bool between = point_.y > r.top + d && point_.y < r.bottom - d;
      uint8_t kind = 0;
      if (between && std::abs(point_.x - r.left) <= d) kind = 4;
      else if (between && std::abs(point_.x - r.right) <= d) kind = 5;
      else if (IsLastCellOfRow(*cell) && std::abs(point_.y - r.bottom) <= d && point_.x >= r.left - d &&
               point_.x <= r.right + d)
        kind = 7;
      if (kind == 0) continue;
      info_.TableBorderKind = kind;
      info_.BorderCell = cell;
      return;
    }
  }

  void TestTableHandles(const std::vector<TTableBox*>& tables, const std::vector<TCellBox*>& cells) {
    TTableBox* table = GetTableBox(info_.Box);
    if (table == nullptr) {
      for (TTableBox* t : tables) {
        const plat::Rect r = BoxViewRect(*t);
        if (point_.x >= r.left - S(30) && point_.x < r.right + S(30) && point_.y >= r.top &&
            point_.y < r.bottom) {
          table = t;
          break;
        }
      }
    }
    if (table == nullptr) return;
    info_.Table = table;
    const plat::Point origin = BoxToViewPoint(*table, {0, 0});
    const plat::Rect move = table->MoveHandlePx.Offset(origin.x, origin.y);
    const plat::Rect size = table->SizeHandlePx.Offset(origin.x, origin.y);
    if (doc_.ViewMode == vmPrintLayout && !move.IsEmpty() && Contains(move, point_)) {
      info_.OnTableMoveHandle = 1;
      info_.HandleOffsetX = move.left - point_.x;
      info_.HandleOffsetY = move.top - point_.y;
      return;
    }
    if (!size.IsEmpty() && Contains(size, point_)) {
      info_.OnTableSizeHandle = 1;
      info_.HandleOffsetX = size.left - point_.x;
      info_.HandleOffsetY = size.top - point_.y;
    }
    TestEdgeMarkers(*table, cells);
  }

  void TestEdgeMarkers(TTableBox& table, const std::vector<TCellBox*>& cells) {
    const int32_t near = S(4);
    const int32_t reach = S(20);
    const plat::Rect tr = BoxViewRect(table);
    for (TCellBox* cell : cells) {
      if (GetTableBox(cell) != &table || cell->CellIndex < 0) continue;
      const plat::Rect r = BoxViewRect(*cell);
      if (cell->CellIndex == 0 && std::abs(point_.y - r.top) <= near && point_.x <= r.left &&
          point_.x >= r.left - S(3) - near) {
        SetEdge(1, cell->Row != nullptr ? cell->Row->RowIndex : 0, r.left, r.top, reach);
        return;
      }
      if (cell->HasFlag(TBox::FirstRowCell) && std::abs(point_.y - tr.top) <= near &&
          std::abs(point_.x - r.right) <= near) {
        SetEdge(2, cell->CellIndex + 1, r.right, tr.top, reach);
        return;
      }
    }
  }

  void SetEdge(int32_t kind, int32_t boundary, int32_t x, int32_t y, int32_t reach) {
    TTableEdgeHit& e = info_.TableEdge;
    e.Kind = kind;
    e.Boundary = boundary;
    e.MarkerX = x;
    e.MarkerY = y;
    const int32_t at = kind == 1 ? y : x;
    e.Low = at - reach;
    e.High = at + reach;
  }

  // The line of the text box under the point: the last whose top lies above it.
  TLine* LineUnderPoint(TBox& box, plat::Point inBox) {
    TLine* found = nullptr;
    TLine* previous = nullptr;
    TLine* beforeFound = nullptr;
    for (TLine* line : box.Lines) {
      if (line == nullptr || line->Par == nullptr) continue;
      const int32_t top = doc_.TwipsToPixelsY(line->Top);
      if (found != nullptr && top > inBox.y) break;
      if (found == nullptr || top <= inBox.y) {
        beforeFound = previous;
        found = line;
      }
      previous = line;
    }
    // A segment that continues a row round a floating object yields to the segment before it
    // when the point lies left of that segment's end.
    while (found != nullptr && beforeFound != nullptr && found->HasFlag(lfSegment) &&
           !found->HasFlag(lfBandFirst) && beforeFound->Top == found->Top &&
           inBox.x < LineTextX(*beforeFound, beforeFound->Count)) {
      found = beforeFound;
      beforeFound = nullptr;
      for (TLine* line : box.Lines) {
        if (line == found) break;
        if (line != nullptr && line->Par != nullptr) beforeFound = line;
      }
    }
    return found;
  }

  void TestText() {
    TBox& box = *info_.TextBox;
    const plat::Point origin = BoxToViewPoint(box, {0, 0});
    const plat::Point inBox{point_.x - origin.x, point_.y - origin.y};
    TLine* line = LineUnderPoint(box, inBox);
    if (line == nullptr) return;
    info_.Line = line;
    TPar& par = *line->Par;
    const int32_t top = doc_.TwipsToPixelsY(line->Top);
    info_.InLineVertically = inBox.y >= top && inBox.y < top + LineHeightPixels(*line);
    const int32_t textStart = LineTextX(*line, 0);
    const int32_t textEnd = LineTextX(*line, line->Count);
    info_.LineX = inBox.x - textStart;
    info_.InText = inBox.x >= textStart && inBox.x <= textEnd;
    if (inBox.x < textStart) TestLeftOfText(*line, inBox.x, textStart);
    if (doc_.StoryOfParagraph(par.Index) == stMain && par.Format.InTable != 1 && IsHeading(par))
      info_.HeadingPar = &par;
    PlaceOnLine(*line, inBox.x);
  }

  // Left of the text: the selection bar (further left than its width from the text start),
  // the list label.
  void TestLeftOfText(TLine& line, int32_t x, int32_t textStart) {
    int32_t bar = S(kSelectionBarWidth);
    if (LineHasListLabel(line)) {
      TLine& label = *line.Par->NumberPar->Lines.front();
      const int32_t left = textStart - (LineTextX(label, label.Count) - LineTextX(label, 0));
      bar = S(kSelectionBarWidthWithLabel);
      if (x >= left) info_.OnListLabel = 1;
    }
    if (x < textStart - bar) info_.InSelectionBar = 1;
  }

  // Position, the character under the point and the inline picture there, for a pixel x in the
  // line's box.
  void PlaceOnLine(TLine& line, int32_t x) {
    TPar& par = *line.Par;
    std::vector<int32_t> edges(static_cast<size_t>(line.Count) + 1);
    for (int32_t i = 0; i <= line.Count; ++i) edges[static_cast<size_t>(i)] = LineTextX(line, i);
    int32_t under = line.Count > 0 ? line.Count - 1 : 0;
    for (int32_t i = 0; i < line.Count; ++i) {
      if (edges[static_cast<size_t>(i)] < x) continue;
      under = x < edges[static_cast<size_t>(i)] ? std::max(0, i - 1) : i;
      break;
    }
    int32_t index = line.Count;
    for (int32_t i = 0; i <= line.Count; ++i) {
      if (edges[static_cast<size_t>(i)] < x) continue;
      index = i;
      if (i > 0 && x - edges[static_cast<size_t>(i) - 1] < edges[static_cast<size_t>(i)] - x) index = i - 1;
      break;
    }
    const bool lastLine = line.LastChar() >= par.CharCount();
    if (index == line.Count && line.Count > 0 && (lastLine || LineEndsWithBreak(line))) index = line.Count - 1;
    info_.Position = TDocPosition{par.Index, line.FirstChar + index, info_.PageIndex, line.LineIndex};
    info_.CharPos = TDocPosition{par.Index, line.FirstChar + under, info_.PageIndex, line.LineIndex};
    TestOverSelection(line);
    SetCharLeft();
    TestWebAddress();
    TestInlineShape(line, under, edges);
    pointLeftOfPosition_ = x < edges[static_cast<size_t>(index)];
  }

  void TestOverSelection(TLine& line) {
    const TCompoundFragment& sel = *doc_.Selection;
    if (!info_.InText || !info_.InLineVertically || !doc_.HasSelection()) return;
    if (!PositionInFragment(info_.CharPos, std::span<const TDocRange>(sel.GetRange(0), static_cast<size_t>(sel.Count()))))
      return;
    // A selection that ends at this line's end does not take the point beyond its last character.
    const TDocRange& last = *sel.GetRange(sel.Count() - 1);
    if (last.End.Par == line.Par->Index && last.End.Offset == line.LastChar() &&
        info_.Position.Offset >= line.LastChar())
      return;
    info_.OverSelection = 1;
  }

  void SetCharLeft() {
    const TDocPosition& p = info_.Position;
    if (p.Offset <= 0) return;
    const TPar& par = *doc_.Par(p.Par);
    info_.CharLeft = p;
    --info_.CharLeft.Offset;
    if (par.CodeAt(info_.CharLeft.Offset) == ' ') info_.CharLeft.Offset = kNoHitPosition;
  }

  void TestWebAddress() {
    const TTextRun run = doc_.UrlTokenAt(info_.Position);
    if (run.Length <= 0) return;
    info_.WebAddress = run;
    const TDocPosition& s = run.Position;
    const TDocPosition& p = info_.Position;
    info_.InWebAddress = p.Par == s.Par && p.Offset >= s.Offset && p.Offset < s.Offset + run.Length;
  }

  void TestInlineShape(TLine& line, int32_t under, const std::vector<int32_t>& edges) {
    const TPar& par = *line.Par;
    const int32_t at = line.FirstChar + under;
    if (at >= par.CharCount() || par.CodeAt(at) != scInlineShape || !info_.InLineVertically) return;
    const int32_t left = edges[static_cast<size_t>(under)];
    const int32_t right = edges[static_cast<size_t>(under) + 1];
    const plat::Point origin = BoxToViewPoint(*line.Box, {0, doc_.TwipsToPixelsY(line.Top)});
    if (point_.x < origin.x + left || point_.x >= origin.x + right) return;
    info_.OnInlineShape = 1;
    info_.InlineShape = doc_.GetShapeAt(info_.CharPos);
    info_.InlineShapeRect = {origin.x + left, origin.y, origin.x + right, origin.y + LineHeightPixels(line)};
    TDocRange single;
    MakeCharRange(par.Index, at, single);
    const bool selected = doc_.Selection->Count() == 1 && SameRange(*doc_.Selection->GetRange(0), single);
    if (selected && info_.InlineShape != nullptr && !info_.InlineShape->IsHorizontalRule())
      info_.InlineHandle = NearestInlineHandle(info_.InlineShapeRect);
  }

  uint8_t NearestInlineHandle(const plat::Rect& r) const {
    const int32_t cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const plat::Point centres[9] = {{0, 0},          {r.left, r.top},    {cx, r.top},
                                    {r.right, r.top}, {r.left, cy},      {r.right, cy},
                                    {r.left, r.bottom}, {cx, r.bottom},  {r.right, r.bottom}};
    const int32_t half = S(kInlineHandleSquare) / 2;
    uint8_t best = 0;
    int64_t bestDistance = INT64_MAX;
    for (uint8_t i = 1; i <= 8; ++i) {
      const int64_t dx = point_.x - centres[i].x, dy = point_.y - centres[i].y;
      if (std::abs(dx) > half || std::abs(dy) > half) continue;
      const int64_t d = dx * dx + dy * dy;
      if (d < bestDistance) {
        bestDistance = d;
        best = i;
      }
    }
    return best;
  }

  void FromCaret() {
    if (doc_.ParCount() == 0) return;
    TDocPosition caret = doc_.Caret;
    const TPar& par = *doc_.Par(std::clamp(caret.Par, 0, doc_.ParCount() - 1));
    info_.Position = caret;
    info_.CharPos = caret;
    info_.OverSelection = doc_.HasSelection() ? 1 : 0;
    info_.InText = info_.InLineVertically = 1;
    if (par.HasFlag(pfLinesValid) && !par.Lines.empty()) {
      TLine* line = par.Lines[static_cast<size_t>(std::clamp(caret.Line, 0, static_cast<int32_t>(par.Lines.size()) - 1))];
      info_.Line = line;
      info_.TextBox = info_.Box = line->Box;
      if (line->Box != nullptr && line->Box->Page != nullptr) info_.PageIndex = line->Box->Page->Index;
    }
    SetCharLeft();
    TestWebAddress();
  }

  void TestFields() {
    const TDocPosition& p = info_.Position;
    static const std::vector<uint8_t> kPlainExcluded = {ftIndex, ftToc, ftHyperlink};
    static const std::vector<uint8_t> kNone;
    info_.PlainField = Counting(doc_.GetFieldAt(p, &range_, kPlainExcluded, 255, fkField));
    info_.HyperlinkField = Counting(doc_.GetFieldAt(p, &range_, kNone, ftHyperlink, fkField));
    info_.NoteTextField = doc_.GetFieldAt(p, &range_, kNone, 255, fkNoteText);
    const TDocPosition& left = info_.CharLeft.Offset != kNoHitPosition ? info_.CharLeft : p;
    info_.NoteRefField = doc_.GetFieldAt(left, &range_, kNone, 255, fkNoteReference);
    if (info_.NoteRefField == nullptr) info_.NoteRefField = doc_.GetFieldAt(p, &range_, kNone, 255, fkNoteReference);
    const int32_t story = doc_.StoryOfParagraph(p.Par);
    if (story == stFootnotes || story == stEndnotes)
      info_.NoteMarkField = doc_.GetFieldAt(p, &range_, kNone, 255, fkNoteMark);
  }

  // A field that starts exactly at the position does not count when the point lies left of
  // that position (on the character before the field).
  TField* Counting(TField* field) {
    if (field == nullptr || keyboard_) return field;
    if (SamePlace(range_.Start, info_.Position) && pointLeftOfPosition_) return nullptr;
    return field;
  }

  void TestSpotlight() {
    if (!doc_.IsSpotlightActive()) return;
    TDocRange spot;
    SelectionServices().GetSpotlightRange(doc_, spot);
    const bool inside = info_.HasPosition() && info_.PageIndex >= 0 && info_.InLineVertically &&
                        PositionInRangeInclusive(info_.Position, spot);
    info_.OutsideSpotlight = inside ? 0 : 1;
  }

  TDocForm& form_;
  TDoc& doc_;
  THitTestInfo& info_;
  bool keyboard_;
  plat::Point point_;
  plat::Point pagePoint_;
  TDocRange range_{};
  bool pointLeftOfPosition_ = false;
  TBox* containing_ = nullptr;
};

}  // namespace

bool FloatingShapeViewRect(const TShape& shape, plat::Rect& out, int32_t* pageIndex) {
  const TDoc* doc = shape.Doc;
  if (doc == nullptr) return false;
  for (TPage* page : doc->Pages) {
    if (page == nullptr) continue;
    if (std::find(page->Shapes.begin(), page->Shapes.end(), &shape) == page->Shapes.end()) continue;
    out = ShapePixelRect(*doc, shape).Offset(page->PixelRect.left, page->PixelRect.top);
    if (pageIndex != nullptr) *pageIndex = page->Index;
    return true;
  }
  return false;
}

uint8_t TDocForm::HitTest(int32_t x, int32_t y, THitTestInfo& info, uint32_t storySet) {
  info = THitTestInfo{};
  if (doc_ == nullptr || doc_->ParCount() == 0) return 0;
  THitTester(*this, *doc_, info, HasFlag(dfKeyboardContextMenu)).Run(x, y, storySet);
  return info.OutsideSpotlight;
}

plat::Point TDocForm::ClientToShapeSpace(int32_t x, int32_t y) {
  TShape* shape = doc_ != nullptr ? doc_->WrapEditShape : nullptr;
  plat::Rect r;
  if (shape == nullptr || !FloatingShapeViewRect(*shape, r)) return {0, 0};
  const plat::Point p = ClientToDoc({x, y});
  const int32_t w = std::max(1, r.Width()), h = std::max(1, r.Height());
  return {static_cast<int32_t>(int64_t{p.x - r.left} * kWrapPolygonSpan / w),
          static_cast<int32_t>(int64_t{p.y - r.top} * kWrapPolygonSpan / h)};
}

}  // namespace qv
