#include "layout/paint/box_geometry.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/line.h"
#include "document/par.h"
#include "document/table_row.h"
#include "foundation/base/units.h"
#include "layout/box.h"
#include "layout/pictures/bitmap_resample.h"
#include "layout/pictures/bitmap_utils.h"

namespace qv {

namespace {

// Without a document (boxes of a test or a measuring pass) the screen's 96 pixels per inch.
int32_t ToPixelsX(const TDoc* doc, int32_t twips) {
  return doc != nullptr ? doc->TwipsToPixelsX(twips) : TwipsToScreenPixels(twips);
}
int32_t ToPixelsY(const TDoc* doc, int32_t twips) {
  return doc != nullptr ? doc->TwipsToPixelsY(twips) : TwipsToScreenPixels(twips);
}

plat::Rect ToPixels(const TDoc* doc, const plat::Rect& r) {
  return {ToPixelsX(doc, r.left), ToPixelsY(doc, r.top), ToPixelsX(doc, r.right),
          ToPixelsY(doc, r.bottom)};
}

void PlaceTableHandles(TTableBox& table) {
  const TDoc* doc = table.Doc;
  table.CellExtentPx = ToPixels(doc, table.CellExtent);
  table.MoveHandlePx = {};
  table.SizeHandlePx = {};
  const plat::Rect& frame = table.CellExtentPx;
  const int32_t h = TableMoveHandleSize();
  const TBox* page = table.Page;
  if (table.HasFlag(TBox::TableStarts)) {
    plat::Rect r{frame.left - h, frame.top - h, frame.left, frame.top};
    // The handle stays on the page: moved right and down by what would stick out.
    const plat::Point onPage = BoxToPagePoint(table, {r.left, r.top});
    r = r.Offset(std::max(0, -onPage.x), std::max(0, -onPage.y));
    table.MoveHandlePx = r;
  }
  if (table.HasFlag(TBox::TableEnds)) {
    const int32_t s = h / 2 + 1;
    plat::Rect r{frame.right, frame.bottom, frame.right + s, frame.bottom + s};
    if (page != nullptr) {
      const plat::Point onPage = BoxToPagePoint(table, {r.right, r.bottom});
      r = r.Offset(-std::max(0, onPage.x - page->PixelRect.Width()),
                   -std::max(0, onPage.y - page->PixelRect.Height()));
    }
    table.SizeHandlePx = r;
  }
}

int32_t DistanceOutside(int32_t v, int32_t size) {
  if (v < 0) return v == INT32_MIN ? INT32_MAX : -v;
  if (v < size) return 0;
  return v - size + 1;
}

struct HitState {
  TBox* Best = nullptr;
  int32_t BestContainDepth = -1;
  int64_t BestDistance = 0;
};

void VisitForHit(TBox& box, int32_t x, int32_t y, int32_t depth, int32_t containDepth,
                 const TBoxHitFilter& filter, HitState& state) {
  if (filter.UseAreas && box.Area != TBox::AreaNone &&
      (filter.Areas & AreaBit(box.Area)) == 0)
    return;
  const int32_t dx = DistanceOutside(x, box.PixelRect.Width());
  const int32_t dy = DistanceOutside(y, box.PixelRect.Height());
  if (dx == 0 && dy == 0) containDepth = depth;
  const bool candidate = filter.EmptyBoxesCount || !box.Lines.empty();
  if (candidate) {
    const int64_t distance = int64_t{dx} + dy;
    const bool contains = dx == 0 && dy == 0;
    if (contains || state.Best == nullptr || containDepth > state.BestContainDepth ||
        (containDepth == state.BestContainDepth && distance <= state.BestDistance)) {
      state.Best = &box;
      state.BestContainDepth = containDepth;
      state.BestDistance = distance;
    }
  }
  if (depth >= 64) return;  // a tree this deep is damaged; the deeper boxes are not searched
  for (const TBoxRef& child : box.Children)
    VisitForHit(*child, x - child->PixelRect.left, y - child->PixelRect.top, depth + 1,
                containDepth, filter, state);
}

}  // namespace

int32_t TableMoveHandleSize() {
  const int32_t h = ScaleByDpi(15);
  return h % 2 == 0 ? h + 1 : h;
}

int32_t TableMarkerSize() { return ScaleByDpi(20); }

void UpdateBoxPixelRects(TBox& box) {
  const TDoc* doc = box.Doc;
  box.PixelRect = ToPixels(doc, box.Rect);
  if (box.Parent != nullptr) {
    box.PixelRect.right = std::min(box.PixelRect.right, box.Parent->PixelRect.Width());
    box.PixelRect.bottom = std::min(box.PixelRect.bottom, box.Parent->PixelRect.Height());
  }
  box.PixelMargins = ToPixels(doc, box.Margins);
  for (const TBoxRef& child : box.Children) UpdateBoxPixelRects(*child);
  // Handles are placed last: they need the page position of the frame only.
  if (box.Kind == TBoxKind::Table) PlaceTableHandles(static_cast<TTableBox&>(box));
}

int32_t CellBorderPixels(const TDoc* doc, int32_t twips, bool vertical) {
  if (twips <= 0) return 0;
  return std::max(1, vertical ? ToPixelsY(doc, twips) : ToPixelsX(doc, twips));
}

plat::Point BoxOffsetInTwips(const TBox& box, plat::Point point, const TBox* ancestor) {
  for (const TBox* b = &box; b != nullptr && b != ancestor; b = b->Parent) {
    point.x += b->Rect.left;
    point.y += b->Rect.top;
  }
  return point;
}

plat::Point BoxOffsetInPixels(const TBox& box, plat::Point point, const TBox* ancestor) {
  for (const TBox* b = &box; b != nullptr && b != ancestor; b = b->Parent) {
    point.x += b->PixelRect.left;
    point.y += b->PixelRect.top;
  }
  return point;
}

plat::Point BoxToViewPoint(const TBox& box, plat::Point point) {
  return BoxOffsetInPixels(box, point, nullptr);
}

plat::Point BoxToPagePoint(const TBox& box, plat::Point point) {
  // The page's own origin is its place in the view, not part of the page.
  const TBox* page = box.Page;
  if (&box == page) return point;
  return BoxOffsetInPixels(box, point, page);
}

TBox* GetBodyBox(TBox* box) {
  for (; box != nullptr; box = box->Parent)
    if (box->HasFlag(TBox::ColumnBody)) return box;
  return nullptr;
}

TBox* GetBodyOrAreaBox(TBox* box) {
  if (TBox* body = GetBodyBox(box)) return body;
  for (; box != nullptr; box = box->Parent)
    if (box->HasFlag(TBox::AreaBox) && !box->HasFlag(TBox::TableBoxFlag) &&
        !box->HasFlag(TBox::CellBoxFlag))
      return box;
  return nullptr;
}

TBox* BoxAtPoint(TBox& root, int32_t x, int32_t y, const TBoxHitFilter& filter) {
  HitState state;
  for (const TBoxRef& child : root.Children)
    VisitForHit(*child, x - child->PixelRect.left, y - child->PixelRect.top, 0, -1, filter, state);
  return state.Best;
}

TLine* GetLastLineOfBox(const TBox& box, uint32_t areas) {
  if (box.Area != TBox::AreaNone && (areas & AreaBit(box.Area)) == 0) return nullptr;
  for (auto it = box.Children.rbegin(); it != box.Children.rend(); ++it)
    if (TLine* line = GetLastLineOfBox(**it, areas)) return line;
  for (auto it = box.Lines.rbegin(); it != box.Lines.rend(); ++it)
    if (*it != nullptr) return *it;
  return nullptr;
}

TLine* FirstLineOfRow(TLine& line) {
  if (line.Par == nullptr) return &line;
  for (TLine* l : line.Par->Lines)
    if (l != nullptr && l->RowNumber == line.RowNumber) return l;
  return &line;
}

TLine* LastLineOfRow(TLine& line) {
  if (line.Par == nullptr) return &line;
  const auto& lines = line.Par->Lines;
  for (auto it = lines.rbegin(); it != lines.rend(); ++it)
    if (*it != nullptr && (*it)->RowNumber == line.RowNumber) return *it;
  return &line;
}

bool IsInSelectedCell(const TBox& box) {
  const TCellBox* cell = GetCellBox(const_cast<TBox*>(&box));
  const TDoc* doc = box.Doc;
  if (cell == nullptr || doc == nullptr || IsFragmentEmpty(doc->Selection)) return false;
  const TDocPosition& at = cell->CellRange.Start;
  const TCompoundFragment& sel = *doc->Selection;
  auto before = [](const TDocPosition& a, const TDocPosition& b) {
    return a.Par < b.Par || (a.Par == b.Par && a.Offset < b.Offset);
  };
  for (int32_t i = 0; i < sel.Count(); ++i) {
    const TDocRange& r = *sel.GetRange(i);
    if (!before(at, r.Start) && !before(r.End, at)) return true;
  }
  return false;
}

uint32_t CellShadingColor(const TBox& box, bool dimmed) {
  const TCellBox* cell = GetCellBox(const_cast<TBox*>(&box));
  if (cell == nullptr || cell->CellIndex < 0 || cell->Cell == nullptr) return 0xFF000000u;
  const uint32_t colour = static_cast<uint32_t>(cell->Cell->ShadingColor);
  if ((colour & 0xFF000000u) != 0) return 0xFF000000u;
  return dimmed ? LightenColor(colour) : colour;
}

}  // namespace qv
