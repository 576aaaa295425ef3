#include "layout/floating_shapes.h"

#include <algorithm>
#include <climits>

#include "document/doc.h"
#include "document/par.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/shape_placement.h"
#include "document/line.h"
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

// The largest side of a placed shape, twips (far more than any page).
constexpr int64_t kMaxSide = 0x1000000;

bool TakesPart(const TShape& s) {
  return s.IsFloating() && !s.IsRemoved();
}

bool Contains(const std::vector<TShape*>& list, const TShape* s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}

bool Overlap(const std::array<int32_t, 4>& a, const std::array<int32_t, 4>& b) {
  return a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3];
}

// In the draft views shapes do not overlap: one that meets another of the page moves down below
// it, as often as it takes.
void MoveBelowOthers(const TPage& page, const TShape& shape, std::array<int32_t, 4>& r) {
  for (size_t round = 0; round <= page.Shapes.size(); ++round) {
    bool moved = false;
    for (const TShape* other : page.Shapes) {
      if (other == &shape || other == nullptr || !Overlap(r, other->PlacedRect)) continue;
      const int32_t dy = other->PlacedRect[3] - r[1];
      r[1] += dy;
      r[3] += dy;
      moved = true;
    }
    if (!moved) return;
  }
}

void Place(TShape& shape, TBox& box, const TPar& par) {
  const TShapePlacementFrame frame = ShapePlacementFrame(*box.Doc, box, &par);
  std::array<int32_t, 4> stored = shape.Props.ShapeRect;
  if (stored[0] == kShapePropUnset || stored[1] == kShapePropUnset || stored[2] == kShapePropUnset ||
      stored[3] == kShapePropUnset) {
    const auto scale = shape.GetScale();
    stored = {0, 0, static_cast<int32_t>(int64_t{shape.Props.PicWidth} * scale[0] / 100),
              static_cast<int32_t>(int64_t{shape.Props.PicHeight} * scale[1] / 100)};
  }
  // A damaged size (negative, or too large to add to a position) is cut to what a page can hold.
  const auto side = [](int32_t from, int32_t to) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{to} - from, 0, kMaxSide));
  };
  const int32_t w = side(stored[0], stored[2]), h = side(stored[1], stored[3]);
  stored[0] = static_cast<int32_t>(std::clamp<int64_t>(stored[0], -kMaxSide, kMaxSide));
  stored[1] = static_cast<int32_t>(std::clamp<int64_t>(stored[1], -kMaxSide, kMaxSide));
  stored[2] = stored[0] + w;
  stored[3] = stored[1] + h;
  std::array<int32_t, 4> r{};
  PositionFloatingShape(shape, stored, frame, r, box.FillPos);
  if (frame.DraftView && box.Page != nullptr) MoveBelowOthers(*box.Page, shape, r);
  int32_t left = r[0], top = r[1];
  if (frame.InTable) {
    // A shape of a table cell keeps to its box: inside the cell across, its place below the
    // cell's top kept relative to the box until the page is finished.
    left = std::clamp(left, 0, std::max(0, box.Width() - w));
    shape.VerticalBox = &box;
  } else {
    // Kept on the page: inside it horizontally, and vertically where it has room (a footer's
    // shapes move with the footer instead).
    left = std::clamp(left, 0, std::max(0, frame.PageWidth - w));
    if (!IsInFooter(&box)) top = std::clamp(top, 0, std::max(0, frame.PageHeight - h));
    shape.VerticalBox = nullptr;
  }
  shape.PlacedRect = {left, top, left + w, top + h};
  shape.LayoutBox = &box;
  shape.Flags &= static_cast<uint8_t>(~TShape::FlagWrapRectsValid);
}

// The shape is anchored in the cell of the box (or, outside tables, outside any table).
bool BelongsTo(const TShape& s, const TCellBox* cell) {
  if (s.AnchorPar == nullptr) return false;
  if (cell == nullptr) return !IsInTable(*s.AnchorPar);
  const int32_t p = s.AnchorPar->Index;
  return IsInTable(*s.AnchorPar) && p >= cell->CellRange.Start.Par && p <= cell->CellRange.End.Par;
}

}  // namespace

int32_t LaidOutShapeCount(const TDoc& doc) {
  int32_t n = 0;
  for (const auto& s : doc.Shapes) n += TakesPart(*s);
  return n;
}

bool IsHeaderFooterShape(const TShape& shape) {
  return shape.AnchorPar != nullptr && shape.Doc != nullptr &&
         shape.Doc->StoryOfParagraph(shape.AnchorPar->Index) == stHeadersFooters;
}

TLine* AnchorLine(const TShape& shape) {
  const TPar* par = shape.AnchorPar;
  if (par == nullptr || !par->HasFlag(pfLinesValid) || par->Lines.empty()) return nullptr;
  const int32_t i = par->LineIndexOfChar(shape.AnchorOffset, INT32_MAX, false);
  return i >= 0 && i < static_cast<int32_t>(par->Lines.size()) ? par->Lines[static_cast<size_t>(i)] : nullptr;
}

bool IsAnchorLinePlaced(const TShape& shape, const TPage& page) {
  const TLine* line = AnchorLine(shape);
  return line != nullptr && line->Box != nullptr && line->Box->Page == &page;
}

bool PlaceAnchoredShapes(TBox& box, TPar& par, int32_t from, int32_t to) {
  if (!par.HasFlag(pfAnchoredShapes) || box.Page == nullptr) return false;
  TPage& page = *box.Page;
  bool placed = false;
  for (TShape* shape : par.AnchoredShapes) {
    if (shape == nullptr || !TakesPart(*shape) || shape->AnchorOffset < from || shape->AnchorOffset >= to) continue;
    if (Contains(page.Shapes, shape) || Contains(page.DeferredShapes, shape)) continue;
    Place(*shape, box, par);
    page.Shapes.push_back(shape);
    placed = true;
  }
  return placed;
}

std::vector<plat::Rect> ShapeExclusions(TBox& box, int32_t fromY) {
  std::vector<plat::Rect> out;
  if (box.Page == nullptr || box.Page->Shapes.empty()) return out;
  const TCellBox* cell = GetCellBox(&box);
  // Page shapes are in page coordinates; a cell's shapes are kept relative to their box.
  const plat::Point page = box.OffsetInPage();
  const int32_t width = box.InnerWidth();
  using W = TShapeProps::TWrapStyle;
  for (TShape* s : box.Page->Shapes) {
    if (s == nullptr || !TakesPart(*s) || !BelongsTo(*s, cell)) continue;
    if (cell != nullptr && s->VerticalBox != &box) continue;
    const W wrap = s->GetEffectiveWrap();
    if (wrap == W::None) continue;
    const int32_t originX = (cell != nullptr ? 0 : page.x) + box.Margins.left;
    const int32_t originY = (cell != nullptr ? 0 : page.y) + box.Margins.top;
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

int32_t CellShapesBottom(TBox& box) {
  int32_t bottom = INT32_MIN;
  const TCellBox* cell = GetCellBox(&box);
  if (cell == nullptr || box.Page == nullptr) return bottom;
  for (TShape* s : box.Page->Shapes) {
    if (s == nullptr || !TakesPart(*s) || !BelongsTo(*s, cell)) continue;
    // The text box of the cell was made again (a new round): the shape follows it.
    s->VerticalBox = &box;
    s->LayoutBox = &box;
    bottom = std::max(bottom, s->PlacedRect[3]);
  }
  return bottom;
}

void ShiftShapesOfBox(TPage& page, const TBox& box, int32_t dy, bool all) {
  if (dy == 0) return;
  for (TShape* s : page.Shapes) {
    if (s == nullptr) continue;
    const auto* placedIn = static_cast<const TBox*>(s->LayoutBox);
    if (placedIn == nullptr || (placedIn != &box && !IsAncestor(placedIn, &box))) continue;
    if (all) {
      s->PlacedRect[1] += dy;
      s->PlacedRect[3] += dy;
    } else {
      s->ShiftVertically(dy);
    }
  }
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
