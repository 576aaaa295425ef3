// Keys on selected floating shapes: Tab and Shift+Tab select the next or previous shape in
// reading order; the arrows move every selected shape, or with Shift resize it about its centre
// keeping its proportions, as one "format picture" edit.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "document/doc.h"
#include "document/par.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/shape_placement.h"
#include "docwindow/caret.h"
#include "docwindow/caret_movement.h"
#include "docwindow/doc_form.h"
#include "docwindow/hit_test.h"
#include "docwindow/view_flags.h"
#include "layout/box.h"
#include "layout/floating_shapes.h"
#include "layout/page.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

constexpr uint8_t kFormatShapes = 85;
constexpr int32_t kStep = 20;
constexpr int32_t kHeldStep = 160;
constexpr uint32_t kHoldTime = 2000;
constexpr int32_t kMinShapeSize = 360;
constexpr int32_t kMaxShapeSize = 31680;
// Horizontal alignments of the posh property.
constexpr int32_t kAlignLeft = 1, kAlignCentre = 2, kAlignRight = 3;

using TRect4 = std::array<int32_t, 4>;

bool InText(const TDoc& doc, const TShape& shape) {
  if (shape.AnchorPar == nullptr) return false;
  const int32_t par = shape.AnchorPar->Index;
  const int32_t story = doc.StoryOfParagraph(par);
  if (story != stHeadersFooters) return true;
  TDocRange range;
  if (doc.HeaderFooterInPlace == nullptr || !doc.GetHeaderFooterRange(doc.HeaderFooterInPlace, range)) return false;
  return par >= range.Start.Par && par <= range.End.Par;
}

// The page's shapes of the text in reading order: by top, then left, then stacking.
std::vector<TShape*> ReadingOrder(const TDoc& doc, const TPage& page, bool backwards) {
  std::vector<TShape*> shapes;
  for (TShape* s : page.Shapes)
    if (s != nullptr && InText(doc, *s)) shapes.push_back(s);
  std::stable_sort(shapes.begin(), shapes.end(), [](const TShape* a, const TShape* b) {
    if (a->PlacedRect[1] != b->PlacedRect[1]) return a->PlacedRect[1] < b->PlacedRect[1];
    if (a->PlacedRect[0] != b->PlacedRect[0]) return a->PlacedRect[0] < b->PlacedRect[0];
    return a->Props.ZOrder < b->Props.ZOrder;
  });
  if (backwards) std::reverse(shapes.begin(), shapes.end());
  return shapes;
}

TShape* NextShape(TDoc& doc, TShape* current, bool backwards) {
  int32_t pageIndex = -1;
  plat::Rect unused;
  if (!FloatingShapeViewRect(*current, unused, &pageIndex)) return nullptr;
  const int32_t count = doc.PageCount();
  const std::vector<TShape*> here = ReadingOrder(doc, *doc.Pages[static_cast<size_t>(pageIndex)], backwards);
  auto it = std::find(here.begin(), here.end(), current);
  if (it != here.end() && it + 1 != here.end()) return *(it + 1);
  const int32_t dir = backwards ? -1 : 1;
  // The following pages, then round from the other end up to this page.
  for (int32_t i = 1; i < count; ++i) {
    const int32_t p = ((pageIndex + dir * i) % count + count) % count;
    const std::vector<TShape*> shapes = ReadingOrder(doc, *doc.Pages[static_cast<size_t>(p)], backwards);
    if (!shapes.empty()) return shapes.front();
  }
  if (!here.empty() && here.front() != current) return here.front();
  return nullptr;
}

void SelectShapeByTab(TDocForm& form, TDoc& doc, bool backwards) {
  doc.PaginateAll();
  TShape* next = NextShape(doc, doc.SelectedShapes.front(), backwards);
  if (next == nullptr) return;
  doc.SelectedShapes.assign(1, next);
  doc.SetScopedFlag(vfKeepSelectedShapes);
  doc.SetScopedFlag(vfNoScrollIntoView);
  if (next->AnchorPar != nullptr && next->AnchorPar->Index != doc.Caret.Par)
    SetCaret(doc, next->AnchorPar->Index, next->AnchorOffset, 0, 0);
  doc.RestoreScopedFlags(2);
  form.RedrawView();
}

// What the placement knows of the box that holds the shape's anchor line.
TShapePlacementFrame FrameOf(const TDoc& doc, const TShape& shape, const TBox& box) {
  return ShapePlacementFrame(doc, box, shape.AnchorPar);
}

// The properties of the shape placed at the rectangle (page twips).
TShapeProps PropsForRect(const TDoc& doc, const TShape& shape, const TRect4& placed) {
  TShapeProps props = shape.Props;
  const auto* box = static_cast<const TBox*>(shape.LayoutBox);
  TRect4 stored{};
  if (box != nullptr) {
    ComputeAnchoredRect(placed, FrameOf(doc, shape, *box), stored, 0, props);
  } else {
    const TRect4& old = shape.PlacedRect;
    const TRect4& rect = props.ShapeRect;
    for (size_t i = 0; i < 4; ++i) stored[i] = (rect[i] == kShapePropUnset ? 0 : rect[i]) + placed[i] - old[i];
  }
  props.ShapeRect = stored;
  return props;
}

// Shift and an arrow: about the centre, keeping the proportions; nothing when the new size
// leaves the allowed range.
bool Resized(const TShape& shape, int32_t step, TRect4& rect) {
  rect = shape.PlacedRect;
  const int32_t w = rect[2] - rect[0], h = rect[3] - rect[1];
  if (w <= 0 || h <= 0) return false;
  const double ratio = static_cast<double>(w) / h;
  int32_t dx = 0, dy = 0;
  if (ratio < 0) {
    dx = step;
    dy = static_cast<int32_t>(std::lround(step / ratio));
  } else {
    dy = step;
    dx = static_cast<int32_t>(std::lround(step * ratio));
  }
  const int32_t nw = w + 2 * dx, nh = h + 2 * dy;
  if (nw < kMinShapeSize || nw > kMaxShapeSize || nh < kMinShapeSize || nh > kMaxShapeSize) return false;
  rect = {rect[0] - dx, rect[1] - dy, rect[2] + dx, rect[3] + dy};
  return true;
}

bool IsFooterOfShapePage(const TDoc& doc, const TShape& shape) {
  const auto* box = static_cast<const TBox*>(shape.LayoutBox);
  return doc.HeaderFooterInPlace != nullptr && box != nullptr && box->Page != nullptr &&
         box->Page->FooterField == doc.HeaderFooterInPlace;
}

void ArrowOnShapes(TDocForm& form, TDoc& doc, uint8_t key, bool shift) {
  const bool held = form.ArrowHoldStart != 0 && plat::GetTickCount() - form.ArrowHoldStart > kHoldTime;
  int32_t step = held ? kHeldStep : kStep;
  const bool horizontal = key == plat::VK_LEFT || key == plat::VK_RIGHT;
  std::vector<TShape*> shapes;
  std::vector<TShapeProps> props;
  for (TShape* shape : doc.SelectedShapes) {
    if (shape == nullptr) continue;
    TShapeProps p = shape->Props;
    if (shift) {
      const int32_t s = key == plat::VK_LEFT || key == plat::VK_DOWN ? -step : step;
      TRect4 rect;
      if (!Resized(*shape, s, rect)) continue;
      p = PropsForRect(doc, *shape, rect);
    } else if (doc.ViewMode != vmPrintLayout) {
      if (!horizontal) continue;
      const int32_t posh = p.GetProp(spPosH);
      int32_t next = posh;
      if (key == plat::VK_RIGHT) next = posh == kAlignLeft ? kAlignCentre : posh == kAlignCentre ? kAlignRight : posh;
      else next = posh == kAlignRight ? kAlignCentre : posh == kAlignCentre ? kAlignLeft : posh;
      if (next == posh) continue;
      p.SetProp(spPosH, next);
    } else {
      const int32_t s = key == plat::VK_LEFT || key == plat::VK_UP ? -step : step;
      TRect4 rect = shape->PlacedRect;
      if (horizontal) {
        rect[0] += s;
        rect[2] += s;
      } else {
        rect[1] += s;
        rect[3] += s;
      }
      // A footer edited in place is shown moved up by its offset.
      const int32_t posrelv = shape->Props.GetProp(spPosRelV);
      if (IsFooterOfShapePage(doc, *shape) && (horizontal || posrelv == 2 || posrelv == 3)) {
        rect[1] -= doc.FooterEditOffset();
        rect[3] -= doc.FooterEditOffset();
      }
      p = PropsForRect(doc, *shape, rect);
      p.SetProp(horizontal ? spPosH : spPosV, 0);
    }
    shapes.push_back(shape);
    props.push_back(p);
  }
  if (shapes.empty()) return;
  uint8_t mode = 0;
  void* args[] = {&shapes, &mode, &props};
  doc.ExecuteEdit(kFormatShapes, args, 2);
}

}  // namespace

bool HandleShapeKey(TDocForm& form, uint8_t key, uint8_t shift) {
  if (form.DocPtr() == nullptr) return false;
  TDoc& doc = form.Doc();
  if (doc.HasSelection() || doc.SelectedShapes.empty() || (shift & ~plat::ssShift) != 0) return false;
  if (key == plat::VK_TAB) {
    SelectShapeByTab(form, doc, shift == plat::ssShift);
    return true;
  }
  if (key < plat::VK_LEFT || key > plat::VK_DOWN) return false;
  ArrowOnShapes(form, doc, key, shift == plat::ssShift);
  return true;
}

}  // namespace qv
