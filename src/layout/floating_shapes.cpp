#include "layout/floating_shapes.h"

#include <algorithm>

#include "document/doc.h"
#include "document/par.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/shape_placement.h"
#include "layout/box.h"
#include "layout/layout_common.h"
#include "layout/paint/shape_painter.h"
#include "platform/gfx/canvas.h"

namespace qv {

namespace {

int32_t Value16(int16_t v) { return v == ParUnset16 ? 0 : v; }

}  // namespace

TShapePlacementFrame ShapePlacementFrame(const TDoc& doc, const TBox& box, const TPar* anchor) {
  TShapePlacementFrame f;
  const TPage* page = box.Page;
  f.PageNumber = page != nullptr ? page->Index + 1 : 1;
  if (const TSection* s = page != nullptr ? page->Section : nullptr) {
    const TPageParams& pp = s->PageParams;
    f.PageWidth = pp.PageWidth;
    f.PageHeight = pp.PageHeight;
    const bool swap = pp.Mirror != 0 && f.PageNumber % 2 == 0;
    f.MarginLeft = swap ? pp.RightMargin : pp.LeftMargin;
    f.MarginRight = swap ? pp.LeftMargin : pp.RightMargin;
    f.TextTop = f.SectionTop = pp.TopMargin;
    f.TextBottom = f.SectionBottom = pp.BottomMargin;
    f.SectionTextWidth = pp.TextWidth;
  }
  f.BoxWidth = box.Width();
  f.InsetLeft = box.Margins.left;
  f.InsetRight = box.Margins.right;
  f.InsetTop = box.Margins.top;
  f.OwnTop = box.Rect.top;
  for (const TBox* b = &box; b != nullptr && b->Kind != TBoxKind::Page; b = b->Parent) {
    f.OffsetLeft += b->Rect.left;
    f.OffsetTop += b->Rect.top;
  }
  f.HeaderFooterBox = box.Area == TBox::AreaHeaderFooter;
  f.DraftView = IsDraftView(doc);
  if (anchor != nullptr) {
    f.InTable = IsInTable(*anchor);
    f.ParLeftIndent = Value16(anchor->Format.LeftIndent);
    f.ParRightIndent = Value16(anchor->Format.RightIndent);
    f.ParAlignment = anchor->Format.Alignment == ParUnset8 ? 0 : anchor->Format.Alignment;
  }
  return f;
}

namespace {

bool TakesPart(const TShape& s) {
  return s.IsFloating() && !s.IsRemoved();
}

void Place(TShape& shape, const TBox& box, const TPar& par) {
  const TShapePlacementFrame frame = ShapePlacementFrame(*box.Doc, box, &par);
  std::array<int32_t, 4> stored = shape.Props.ShapeRect;
  if (stored[0] == kShapePropUnset || stored[1] == kShapePropUnset || stored[2] == kShapePropUnset ||
      stored[3] == kShapePropUnset) {
    const auto scale = shape.GetScale();
    stored = {0, 0, static_cast<int32_t>(int64_t{shape.Props.PicWidth} * scale[0] / 100),
              static_cast<int32_t>(int64_t{shape.Props.PicHeight} * scale[1] / 100)};
  }
  std::array<int32_t, 4> r{};
  PositionFloatingShape(shape, stored, frame, r, box.FillPos);
  // Kept on the page: inside it horizontally, and vertically where it has room.
  const int32_t w = r[2] - r[0], h = r[3] - r[1];
  const int32_t left = std::clamp(r[0], 0, std::max(0, frame.PageWidth - w));
  const int32_t top = std::clamp(r[1], 0, std::max(0, frame.PageHeight - h));
  shape.PlacedRect = {left, top, left + w, top + h};
  shape.LayoutBox = &box;
  shape.Flags &= static_cast<uint8_t>(~TShape::FlagWrapRectsValid);
}

}  // namespace

int32_t LaidOutShapeCount(const TDoc& doc) {
  int32_t n = 0;
  for (const auto& s : doc.Shapes) n += TakesPart(*s);
  return n;
}

bool PlaceAnchoredShapes(TBox& box, TPar& par) {
  if (!par.HasFlag(pfAnchoredShapes) || box.Page == nullptr || box.Area != TBox::AreaMain) return false;
  TPage& page = *box.Page;
  bool placed = false;
  for (TShape* shape : par.AnchoredShapes) {
    if (shape == nullptr || !TakesPart(*shape)) continue;
    if (std::find(page.Shapes.begin(), page.Shapes.end(), shape) != page.Shapes.end()) continue;
    Place(*shape, box, par);
    page.Shapes.push_back(shape);
    placed = true;
  }
  return placed;
}

std::vector<plat::Rect> ShapeExclusions(TBox& box, int32_t fromY) {
  std::vector<plat::Rect> out;
  if (box.Page == nullptr || box.Page->Shapes.empty()) return out;
  int32_t originX = box.Margins.left, originY = box.Margins.top;
  for (const TBox* b = &box; b != nullptr && b->Kind != TBoxKind::Page; b = b->Parent) {
    originX += b->Rect.left;
    originY += b->Rect.top;
  }
  const int32_t width = box.InnerWidth();
  using W = TShapeProps::TWrapStyle;
  for (TShape* s : box.Page->Shapes) {
    if (s == nullptr || !TakesPart(*s)) continue;
    const W wrap = s->GetEffectiveWrap();
    if (wrap == W::None) continue;
    std::vector<std::array<int32_t, 4>> rects;
    if ((wrap == W::Tight || wrap == W::Through) && s->Props.HasWrapPolygon()) {
      s->GetWrapRects(rects);
    } else {
      std::array<int32_t, 4> r = s->PlacedRect;
      for (size_t i = 0; i < 4; ++i) r[i] -= i % 2 == 0 ? originX : originY;
      s->GetWrapBounds(r, width);
      for (size_t i = 0; i < 4; ++i) r[i] += i % 2 == 0 ? originX : originY;
      rects.push_back(r);
    }
    for (const auto& r : rects) {
      const plat::Rect local{r[0] - originX, r[1] - originY, r[2] - originX, r[3] - originY};
      if (local.bottom <= fromY || local.right <= 0 || local.left >= width || local.IsEmpty()) continue;
      out.push_back(local);
    }
  }
  return out;
}

void PaintFloatingShapes(TPage& page, plat::Canvas& canvas, int32_t x, int32_t y, bool behind) {
  TDoc* doc = page.Doc;
  if (doc == nullptr) return;
  std::vector<TShape*> shapes = page.Shapes;
  std::stable_sort(shapes.begin(), shapes.end(),
                   [](const TShape* a, const TShape* b) { return a->Props.ZOrder < b->Props.ZOrder; });
  for (TShape* s : shapes) {
    if (s == nullptr || s->IsBehindText() != behind) continue;
    TShapePaint paint;
    paint.Rect = doc->RectTwipsToPixels({s->PlacedRect[0], s->PlacedRect[1], s->PlacedRect[2], s->PlacedRect[3]});
    paint.Rect = paint.Rect.Offset(x, y);
    if (std::find(doc->SelectedShapes.begin(), doc->SelectedShapes.end(), s) != doc->SelectedShapes.end())
      paint.Flags |= TShapePaint::Selected;
    DrawShape(*s, canvas, paint);
  }
}

}  // namespace qv
