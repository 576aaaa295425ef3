#include "layout/paint/box_painter.h"

#include <algorithm>
#include <vector>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/line.h"
#include "document/table_fitting.h"
#include "document/table_row.h"
#include "foundation/graphics/colour_manager.h"
#include "layout/box.h"
#include "layout/floating_shapes.h"
#include "layout/page.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/line_painter.h"
#include "layout/paint/page_decorations.h"
#include "layout/paint/shape_painter.h"
#include "layout/paint/selection_rects.h"
#include "layout/paint/view_paint_state.h"
#include "platform/gfx/canvas.h"
#include "platform/gfx/region.h"

namespace qv {

namespace {

constexpr uint32_t kPaperColour = 0xFFFFFF;
constexpr int32_t kMaxDepth = 64;

uint32_t BorderColour(const TBorderLine& b) {
  return (static_cast<uint32_t>(b.Color) & 0xFF000000u) != 0 ? 0x000000 : static_cast<uint32_t>(b.Color);
}

bool HasBorder(const TBorderLine& b) { return b.Width > 0 && b.Style != BorderStyleNone; }

// A cell whose paragraphs are dimmed (the main text while a header or footer is edited in place,
// or the reverse) shows its borders pale and its shading lightened, like its text.
bool IsCellDimmed(const TCellBox& cell) {
  const TDoc* doc = cell.Doc;
  return doc != nullptr && !doc->IsDocFlagSet(dfPreview) && doc->IsParagraphDimmed(cell.CellRange.Start.Par);
}

bool Overlap(int32_t a1, int32_t a2, int32_t b1, int32_t b2) { return a1 < b2 && b1 < a2; }

enum class TSide { Left, Above, Right, Below };

// The cell of the same table box that shares the edge on that side; null when none does.
const TCellBox* Neighbour(const TBox& cell, TSide side) {
  const TBox* table = cell.Parent;
  if (table == nullptr) return nullptr;
  const plat::Rect& r = cell.PixelRect;
  for (const TBoxRef& other : table->Children) {
    if (other.get() == &cell || !other->HasFlag(TBox::CellBoxFlag)) continue;
    const auto& o = static_cast<const TCellBox&>(*other);
    if (o.CellIndex < 0 || o.HasFlag(TBox::MergeHolder)) continue;
    const plat::Rect& q = o.PixelRect;
    const bool across = Overlap(r.left, r.right, q.left, q.right);
    const bool along = Overlap(r.top, r.bottom, q.top, q.bottom);
    switch (side) {
      case TSide::Left: if (q.right == r.left && along) return &o; break;
      case TSide::Above: if (q.bottom == r.top && across) return &o; break;
      case TSide::Right: if (q.left == r.right && along) return &o; break;
      case TSide::Below: if (q.top == r.bottom && across) return &o; break;
    }
  }
  return nullptr;
}

// The border of a shared edge: the stronger of the two cells' borders there.
const TBorderLine& SharedBorder(const TBorderLine& own, const TCellBox* other, TSide side) {
  if (other == nullptr || other->Cell == nullptr) return own;
  const TBorderLine& theirs = side == TSide::Above ? other->Cell->BorderBottom : other->Cell->BorderRight;
  if (!HasBorder(theirs)) return own;
  if (!HasBorder(own)) return theirs;
  return CompareBorderStrength(own, theirs) >= 0 ? own : theirs;
}

void PaintCellBorders(const TCellBox& cell, plat::Canvas& canvas, const plat::Rect& r) {
  if (cell.Cell == nullptr || cell.CellIndex < 0) return;
  const TTableCell& c = *cell.Cell;
  const TDoc* doc = cell.Doc;
  const bool gridlines = GridlinesShown(doc);
  const uint32_t gridColour = gridlines ? GetColorManager().AdjustToBackground(0x808080) : 0;
  const plat::Point phase = doc != nullptr ? doc->View.ScrollPos : plat::Point{};
  const bool dimmed = IsCellDimmed(cell);
  const uint32_t dimmedColour = dimmed ? GetColorManager().AdjustToBackground(0xC0C0C0) : 0;
  auto draw = [&](const TBorderLine& b, bool vertical, const plat::Rect& edge) {
    if (!HasBorder(b)) {
      // A cell edge without a border shows as a dotted gridline when gridlines are on.
      if (!gridlines) return;
      if (vertical) DottedVLine(canvas, edge.left, edge.top, edge.bottom - 1, 2, gridColour, phase.y);
      else DottedHLine(canvas, edge.left, edge.right - 1, edge.top, 2, gridColour, phase.x);
      return;
    }
    const int32_t w = CellBorderPixels(doc, b.Width, !vertical);
    plat::Rect bar = edge;
    if (vertical) bar.right = bar.left + w;
    else bar.bottom = bar.top + w;
    canvas.FillRect(bar, dimmed ? dimmedColour : BorderColour(b));
  };
  // A shared edge is drawn once, by the cell below or to the right of it, with the stronger of
  // the two borders.
  draw(SharedBorder(c.BorderTop, Neighbour(cell, TSide::Above), TSide::Above), false,
       {r.left, r.top, r.right, r.bottom});
  draw(SharedBorder(c.BorderLeft, Neighbour(cell, TSide::Left), TSide::Left), true,
       {r.left, r.top, r.right, r.bottom});
  if (Neighbour(cell, TSide::Right) == nullptr) {
    const int32_t w = HasBorder(c.BorderRight) ? CellBorderPixels(doc, c.BorderRight.Width, false) : 1;
    draw(c.BorderRight, true, {r.right - w, r.top, r.right, r.bottom});
  }
  if (Neighbour(cell, TSide::Below) == nullptr) {
    const int32_t w = HasBorder(c.BorderBottom) ? CellBorderPixels(doc, c.BorderBottom.Width, true) : 1;
    draw(c.BorderBottom, false, {r.left, r.bottom - w, r.right, r.bottom});
  }
}

void PaintCellDecorations(const TCellBox& cell, plat::Canvas& canvas, const plat::Rect& r) {
  const uint32_t shading = CellShadingColor(cell, IsCellDimmed(cell));
  if ((shading & 0xFF000000u) == 0) canvas.FillRect(r, shading);
  PaintCellBorders(cell, canvas, r);
}

// A cell that a range of the pass holds from its start to its end is tinted as a whole; its
// lines then add nothing of their own for that pass.
bool IsWhollyInPass(const TBox& box, const TCompoundFragment& pass) {
  const TCellBox* cell = GetCellBox(const_cast<TBox*>(&box));
  if (cell == nullptr) return false;
  const TDocRange& c = cell->CellRange;
  if (IsRangeEmpty(c)) return false;
  for (int32_t i = 0; i < pass.Count(); ++i) {
    const TDocRange& r = *pass.GetRange(i);
    if (ComparePositions(r.Start, c.Start) <= 0 && ComparePositions(c.End, r.End) <= 0) return true;
  }
  return false;
}

void AddCellTints(const TBox& cell, const plat::Rect& r, TViewPaintState& view) {
  for (size_t pass = 0; pass < view.Passes.size(); ++pass)
    if (view.Passes[pass] != nullptr && IsWhollyInPass(cell, *view.Passes[pass]))
      view.Tints[pass].push_back(r);
}

void AddLineTints(TLine& line, int32_t x, int32_t y, TViewPaintState& view) {
  // The list label and line-number paragraphs show no selection of their own.
  if (line.Par == nullptr || (line.Par->Flags & pfNumberPar) != 0) return;
  for (size_t pass = 0; pass < view.Passes.size(); ++pass) {
    const TCompoundFragment* f = view.Passes[pass];
    if (f == nullptr || IsWhollyInPass(*line.Box, *f)) continue;
    AddLineSelectionRects(line, x, y, *f, view.Tints[pass]);
  }
}

void PaintOneLine(TLine& line, plat::Canvas& canvas, const plat::Rect& r,
                  TLinePaintObserver* observer, TViewPaintState* view) {
  const TDoc* doc = line.Box->Doc;
  const int32_t top = r.top + (doc != nullptr ? doc->TwipsToPixelsY(line.Top) : line.Top / 15);
  PaintLine(line, canvas, r.left, top, observer);
  if (view != nullptr) AddLineTints(line, r.left, top, *view);
}

// The lines the box itself lays out, in order.
std::vector<TLine*> OwnLines(TBox& box) {
  std::vector<TLine*> lines;
  for (TLine* line : box.Lines)
    if (line != nullptr && line->Box == &box) lines.push_back(line);
  return lines;
}

bool LineMeetsFragment(const TLine& line, const TCompoundFragment& fragment) {
  if (line.Par == nullptr) return false;
  const int32_t par = line.Par->Index;
  const int32_t first = line.FirstChar;
  const int32_t last = line.FirstChar + std::max(line.Count, 1);
  for (int32_t i = 0; i < fragment.Count(); ++i) {
    const TDocRange& r = *fragment.GetRange(i);
    if (r.Start.Par > par || r.End.Par < par) continue;
    const int32_t a = r.Start.Par == par ? r.Start.Offset : INT32_MIN;
    const int32_t b = r.End.Par == par ? r.End.Offset : INT32_MAX;
    // An empty range (a caret) meets the line that holds it, end included.
    if (a == b ? (a >= first && a <= last) : (a < last && b > first)) return true;
  }
  return false;
}

// Lines with the same paragraph and row number are the pieces of one visual row.
bool SameRow(const TLine& a, const TLine& b) { return a.Par == b.Par && a.RowNumber == b.RowNumber; }

size_t RowStart(const std::vector<TLine*>& lines, size_t i) {
  while (i > 0 && SameRow(*lines[i - 1], *lines[i])) --i;
  return i;
}

size_t RowEnd(const std::vector<TLine*>& lines, size_t i) {
  while (i + 1 < lines.size() && SameRow(*lines[i + 1], *lines[i])) ++i;
  return i;
}

constexpr int32_t kContextRows = 4;

int32_t LineTopPixels(const TBox& box, const TLine& line, const plat::Rect& r) {
  const TDoc* doc = box.Doc;
  return r.top + (doc != nullptr ? doc->TwipsToPixelsY(line.Top) : line.Top / 15);
}

// A partial repaint of a box that holds lines: every line that meets the fragment is painted
// again with up to four rows of context above and below, inside bands that are cleared first and
// that the window copies afterwards. Painting is clipped to the bands, so the context rows only
// add what reaches into them (tall glyphs, underlines of the line above).
void PaintChangedLines(TBox& box, plat::Canvas& canvas, const plat::Rect& r,
                       TLinePaintObserver* observer, TViewPaintState& view, bool everyLine) {
  const std::vector<TLine*> lines = OwnLines(box);
  if (lines.empty()) return;
  const plat::Rect text{r.left + box.PixelMargins.left, r.top + box.PixelMargins.top,
                        r.right - box.PixelMargins.right, r.bottom - box.PixelMargins.bottom};
  const plat::Rect drawable = canvas.ClipBox();
  std::vector<bool> marked(lines.size(), false);
  std::vector<plat::Rect> bands;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!everyLine && !LineMeetsFragment(*lines[i], *view.Fragment)) continue;
    size_t lo = RowStart(lines, i), hi = RowEnd(lines, i);
    const size_t rowEnd = hi;
    for (int k = 0; k < kContextRows && lo > 0; ++k) lo = RowStart(lines, lo - 1);
    for (int k = 0; k < kContextRows && hi + 1 < lines.size(); ++k) hi = RowEnd(lines, hi + 1);
    for (size_t k = lo; k <= hi; ++k) marked[k] = true;
    const TLine& line = *lines[i];
    const int32_t lineTop = LineTopPixels(box, line, r);
    const int32_t top = i > 0 ? LineTopPixels(box, *lines[i - 1], r) : lineTop;
    int32_t bottom = lineTop + LineHeightPixels(line) + 3;
    if (rowEnd + 1 < lines.size()) {
      const TLine& next = *lines[RowEnd(lines, rowEnd + 1)];
      bottom = std::max(bottom, LineTopPixels(box, next, r) + LineHeightPixels(next));
    }
    const plat::Rect band =
        plat::Rect{text.left, std::max(top, text.top), text.right, std::min(bottom, text.bottom)}
            .Intersect(drawable);
    if (!band.IsEmpty()) bands.push_back(band);
  }
  if (bands.empty()) return;
  const plat::Region region = plat::Region::FromRects(bands);
  view.Changed.insert(view.Changed.end(), region.Rects().begin(), region.Rects().end());
  const TCellBox* shaded = GetCellBox(&box);
  const uint32_t shading = CellShadingColor(box, shaded != nullptr && IsCellDimmed(*shaded));
  const uint32_t background = (shading & 0xFF000000u) == 0 ? shading : view.PageBackground;
  canvas.SaveState();
  plat::Region clip = canvas.ClipRegion();
  clip.Intersect(region);
  canvas.SetClipRegion(clip);
  for (const plat::Rect& band : region.Rects()) canvas.FillRect(band, background);
  // A band that reaches a cell's edge took its border or gridline with it.
  if (const TCellBox* cell = GetCellBox(&box); cell != nullptr) {
    const plat::Point in = BoxOffsetInPixels(box, {0, 0}, cell);
    const plat::Point at{r.left - in.x, r.top - in.y};
    PaintCellBorders(*cell, canvas,
                     {at.x, at.y, at.x + cell->PixelRect.Width(), at.y + cell->PixelRect.Height()});
  }
  for (size_t i = 0; i < lines.size(); ++i)
    if (marked[i]) PaintOneLine(*lines[i], canvas, r, observer, &view);
  canvas.RestoreState();
}

// The table box that starts the table (its first part) in the box tree; null when none does.
const TTableBox* FindTableStart(const TBox& box, int32_t firstPar, int32_t depth) {
  if (box.Kind == TBoxKind::Table) {
    const auto& table = static_cast<const TTableBox&>(box);
    return table.FirstPar == firstPar && table.HasFlag(TBox::TableStarts) ? &table : nullptr;
  }
  if (depth >= kMaxDepth) return nullptr;
  for (const TBoxRef& child : box.Children)
    if (const TTableBox* found = FindTableStart(*child, firstPar, depth + 1)) return found;
  return nullptr;
}

// The first part of the table that this part continues, on an earlier page.
const TTableBox* FirstTablePart(const TTableBox& part) {
  if (part.Doc == nullptr) return nullptr;
  for (TPage* page : part.Doc->Pages) {
    if (page == nullptr || page == part.Page) break;
    if (const TTableBox* found = FindTableStart(*page, part.FirstPar, 0)) return found;
  }
  return nullptr;
}

void PaintBoxAt(TBox& box, plat::Canvas& canvas, int32_t x, int32_t y, TLinePaintObserver* observer,
                TViewPaintState* view, int32_t depth, bool everyLine);

// A table part that continues a table with header rows shows them again in the room the layout
// left at its top: the first part's header cells, painted at the same place in this part.
void PaintRepeatedHeaderRows(const TTableBox& part, plat::Canvas& canvas, const plat::Rect& r,
                             TLinePaintObserver* observer, int32_t depth) {
  if (part.HasFlag(TBox::TableStarts) || part.HeaderRowCount <= 0) return;
  const TTableBox* first = FirstTablePart(part);
  if (first == nullptr) return;
  for (const TBoxRef& child : first->Children) {
    if (child->Kind != TBoxKind::Cell || child->HasFlag(TBox::RowEndHolder)) continue;
    if (static_cast<const TCellBox&>(*child).RowRange.End.Par > first->LastHeaderPar) continue;
    PaintBoxAt(*child, canvas, r.left, r.top, observer, nullptr, depth + 1, false);
  }
}

void PaintBoxAt(TBox& box, plat::Canvas& canvas, int32_t x, int32_t y, TLinePaintObserver* observer,
                TViewPaintState* view, int32_t depth, bool everyLine) {
  // The zero-height holder of a merged cell's continuation shows nothing: the merge's first cell
  // covers its place, borders and shading included.
  if (box.HasFlag(TBox::MergeHolder)) return;
  const plat::Rect r = box.PixelRect.Offset(x, y);
  // A box outside what may be drawn is skipped with its subtree (cells may reach beyond their
  // box's height only by their borders, which lie inside their rectangle).
  if (!canvas.RectVisible({r.left - 5, r.top - 5, r.right + 5, r.bottom + 5})) return;
  const bool partial = view != nullptr && view->Partial();
  if (box.Kind == TBoxKind::Cell) {
    // A partial repaint leaves the cell's shading and borders as they are: its bands are filled
    // with the shading before their lines are painted again.
    if (!partial) PaintCellDecorations(static_cast<TCellBox&>(box), canvas, r);
    if (view != nullptr) AddCellTints(box, r, *view);
  }
  if (partial) {
    PaintChangedLines(box, canvas, r, observer, *view, everyLine);
    // The boxes inside a box with lines (tables among its paragraphs) are painted whole.
    everyLine = everyLine || !OwnLines(box).empty();
  } else {
    for (TLine* line : OwnLines(box)) PaintOneLine(*line, canvas, r, observer, view);
  }
  if (depth >= kMaxDepth) return;
  if (box.Kind == TBoxKind::Table && !partial)
    PaintRepeatedHeaderRows(static_cast<const TTableBox&>(box), canvas, r, observer, depth);
  for (const TBoxRef& child : box.Children)
    PaintBoxAt(*child, canvas, r.left, r.top, observer, view, depth + 1, everyLine);
  // Rules lie outside the bands a partial repaint clears: they stay as they are.
  if (partial) return;
  PaintNoteSeparator(box, canvas, r);
  PaintColumnLines(box, canvas, r);
}

}  // namespace

void PaintBox(TBox& box, plat::Canvas& canvas, int32_t x, int32_t y, TLinePaintObserver* observer,
              TViewPaintState* view) {
  canvas.SaveState();
  PaintBoxAt(box, canvas, x, y, observer, view, 0, false);
  canvas.RestoreState();
}

namespace {

// The header or footer that is edited in place shows its live lines on its own page; any other
// page that shows it lays it out afresh, which takes those lines away, so the edited page gets
// its area laid out again afterwards.
void RestoreInPlaceArea(TDoc& doc, const TPage& painted) {
  TField* field = doc.HeaderFooterInPlace;
  const int32_t index = doc.HeaderFooterPage;
  if (field == nullptr || index < 0 || index >= doc.PageCount()) return;
  TPage* page = doc.Pages[static_cast<size_t>(index)];
  if (page == nullptr || page == &painted) return;
  if (field != painted.HeaderField && field != painted.FooterField) return;
  ReflowPageHeaderFooter(*page, field);
  TBox* band = field == page->FooterField ? page->FooterBox : page->HeaderBox;
  if (band != nullptr) UpdateBoxPixelRects(*band);
}

}  // namespace

void PaintPage(TPage& page, plat::Canvas& canvas, int32_t x, int32_t y, TLinePaintObserver* observer,
               TViewPaintState* view) {
  const plat::Rect paper{x, y, x + page.PixelRect.Width(), y + page.PixelRect.Height()};
  const bool partial = view != nullptr && view->Partial();
  if (partial && !page.Shapes.empty()) {
    // Clearing a band would wipe the floating shapes under and over its lines: a page with
    // floating shapes is painted whole, and all of it counts as changed.
    const TCompoundFragment* kept = view->Fragment;
    view->Fragment = nullptr;
    PaintPage(page, canvas, x, y, observer, view);
    view->Fragment = kept;
    if (const plat::Rect r = paper.Intersect(canvas.ClipBox()); !r.IsEmpty()) view->Changed.push_back(r);
    return;
  }
  canvas.SaveState();
  const bool decorated = !partial && PageShowsDecorations(page);
  if (!partial) canvas.FillRect(paper, kPaperColour);
  canvas.IntersectClipRect(paper);
  if (decorated) PaintPageMarginShading(page, canvas, paper);
  // The header and footer paragraphs are shared by every page, so their lines belong to the
  // page they were last laid out for: a full repaint lays them out again for this page, which
  // also drops what another page's layout left behind in this page's bands. A partial repaint
  // keeps what the page shows.
  TDoc* doc = page.Doc;
  bool tookInPlace = false;
  for (TBox* band : {page.HeaderBox, page.FooterBox}) {
    if (band == nullptr || partial) continue;
    TField* field = band == page.HeaderBox ? page.HeaderField : page.FooterField;
    if (field == nullptr) continue;
    const bool inPlace = doc != nullptr && field == doc->HeaderFooterInPlace;
    if (inPlace && doc->HeaderFooterPage >= 0 && doc->HeaderFooterPage < doc->PageCount() &&
        doc->Pages[static_cast<size_t>(doc->HeaderFooterPage)] == &page)
      continue;
    tookInPlace = tookInPlace || inPlace;
    ReflowPageHeaderFooter(page, field);
    UpdateBoxPixelRects(*band);
  }
  PaintFloatingShapes(page, canvas, x, y, true);
  for (const TBoxRef& child : page.Children)
    PaintBoxAt(*child, canvas, x, y, observer, view, 1, false);
  PaintFloatingShapes(page, canvas, x, y, false);
  if (decorated) {
    PaintPageMarginBorders(page, canvas, paper);
    PaintHeaderFooterLabels(page, canvas, paper);
  }
  plat::Rect mark;
  if (doc != nullptr && !doc->IsDocFlagSet(dfPreview) && !doc->PrintPreview && AnchorMarkRect(page, mark))
    DrawAnchorMark(canvas, mark.Offset(x - page.PixelRect.left, y - page.PixelRect.top));
  if (tookInPlace) RestoreInPlaceArea(*doc, page);
  canvas.RestoreState();
}

}  // namespace qv
