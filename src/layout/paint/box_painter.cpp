#include "layout/paint/box_painter.h"

#include <algorithm>

#include "document/doc.h"
#include "document/line.h"
#include "document/table_row.h"
#include "layout/box.h"
#include "layout/floating_shapes.h"
#include "layout/page.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/line_painter.h"
#include "platform/gfx/canvas.h"

namespace qv {

namespace {

constexpr uint32_t kPaperColour = 0xFFFFFF;
constexpr int32_t kMaxDepth = 64;

uint32_t BorderColour(const TBorderLine& b) {
  return (static_cast<uint32_t>(b.Color) & 0xFF000000u) != 0 ? 0x000000 : static_cast<uint32_t>(b.Color);
}

bool HasBorder(const TBorderLine& b) { return b.Width > 0 && b.Style != BorderStyleNone; }

bool Overlap(int32_t a1, int32_t a2, int32_t b1, int32_t b2) { return a1 < b2 && b1 < a2; }

// Another cell of the table box starts where this one ends, on the right or below.
bool HasNeighbour(const TBox& cell, bool below) {
  const TBox* table = cell.Parent;
  if (table == nullptr) return false;
  const plat::Rect& r = cell.PixelRect;
  for (const TBoxRef& other : table->Children) {
    if (other.get() == &cell || !other->HasFlag(TBox::CellBoxFlag)) continue;
    const auto& o = static_cast<const TCellBox&>(*other);
    if (o.CellIndex < 0) continue;
    const plat::Rect& q = o.PixelRect;
    if (below ? (q.top == r.bottom && Overlap(r.left, r.right, q.left, q.right))
              : (q.left == r.right && Overlap(r.top, r.bottom, q.top, q.bottom)))
      return true;
  }
  return false;
}

void PaintCellDecorations(const TCellBox& cell, plat::Canvas& canvas, const plat::Rect& r) {
  const uint32_t shading = CellShadingColor(cell, false);
  if ((shading & 0xFF000000u) == 0) canvas.FillRect(r, shading);
  if (cell.Cell == nullptr || cell.CellIndex < 0) return;
  const TTableCell& c = *cell.Cell;
  const TDoc* doc = cell.Doc;
  auto draw = [&](const TBorderLine& b, bool vertical, const plat::Rect& edge) {
    if (!HasBorder(b)) return;
    const int32_t w = CellBorderPixels(doc, b.Width, !vertical);
    plat::Rect bar = edge;
    if (vertical) bar.right = bar.left + w;
    else bar.bottom = bar.top + w;
    canvas.FillRect(bar, BorderColour(b));
  };
  draw(c.BorderTop, false, {r.left, r.top, r.right, r.bottom});
  draw(c.BorderLeft, true, {r.left, r.top, r.right, r.bottom});
  if (!HasNeighbour(cell, false)) {
    const int32_t w = HasBorder(c.BorderRight) ? CellBorderPixels(doc, c.BorderRight.Width, false) : 0;
    draw(c.BorderRight, true, {r.right - w, r.top, r.right, r.bottom});
  }
  if (!HasNeighbour(cell, true)) {
    const int32_t w = HasBorder(c.BorderBottom) ? CellBorderPixels(doc, c.BorderBottom.Width, true) : 0;
    draw(c.BorderBottom, false, {r.left, r.bottom - w, r.right, r.bottom});
  }
}

void PaintBoxAt(TBox& box, plat::Canvas& canvas, int32_t x, int32_t y, TLinePaintObserver* observer,
                int32_t depth) {
  const plat::Rect r = box.PixelRect.Offset(x, y);
  // A box outside what may be drawn is skipped with its subtree (cells may reach beyond their
  // box's height only by their borders, which lie inside their rectangle).
  if (!canvas.RectVisible({r.left - 5, r.top - 5, r.right + 5, r.bottom + 5})) return;
  if (box.Kind == TBoxKind::Cell) PaintCellDecorations(static_cast<TCellBox&>(box), canvas, r);
  for (TLine* line : box.Lines) {
    if (line == nullptr || line->Box != &box) continue;
    const TDoc* doc = box.Doc;
    const int32_t top = doc != nullptr ? doc->TwipsToPixelsY(line->Top) : line->Top / 15;
    PaintLine(*line, canvas, r.left, r.top + top, observer);
  }
  if (depth >= kMaxDepth) return;
  for (const TBoxRef& child : box.Children) PaintBoxAt(*child, canvas, r.left, r.top, observer, depth + 1);
}

}  // namespace

void PaintBox(TBox& box, plat::Canvas& canvas, int32_t x, int32_t y, TLinePaintObserver* observer) {
  canvas.SaveState();
  PaintBoxAt(box, canvas, x, y, observer, 0);
  canvas.RestoreState();
}

void PaintPage(TPage& page, plat::Canvas& canvas, int32_t x, int32_t y, TLinePaintObserver* observer) {
  canvas.SaveState();
  const plat::Rect paper{x, y, x + page.PixelRect.Width(), y + page.PixelRect.Height()};
  canvas.FillRect(paper, kPaperColour);
  canvas.IntersectClipRect(paper);
  // The header and footer paragraphs are shared by every page, so their lines belong to the
  // page they were last laid out for: lay them out again for this page, which also drops what
  // another page's layout left behind in this page's bands.
  for (TBox* band : {page.HeaderBox, page.FooterBox}) {
    if (band == nullptr) continue;
    TField* field = band == page.HeaderBox ? page.HeaderField : page.FooterField;
    if (field == nullptr) continue;
    ReflowPageHeaderFooter(page, field);
    UpdateBoxPixelRects(*band);
  }
  PaintFloatingShapes(page, canvas, x, y, true);
  for (const TBoxRef& child : page.Children)
    PaintBoxAt(*child, canvas, x, y, observer, 1);
  PaintFloatingShapes(page, canvas, x, y, false);
  canvas.RestoreState();
}

}  // namespace qv
