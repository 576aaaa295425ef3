#include "layout/box_geometry.h"

#include <algorithm>
#include <climits>

#include "document/doc.h"
#include "document/par.h"
#include "document/shape.h"
#include "document/table_row.h"
#include "layout/box.h"
#include "layout/layout_common.h"

namespace qv {

namespace {

int32_t Saturate(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Half the drawn bottom border of a cell box (0 for other boxes).
int32_t HalfBottomBorder(const TBox& child) {
  if (child.Kind != TBoxKind::Cell) return 0;
  const auto& cell = static_cast<const TCellBox&>(child);
  if (cell.Row == nullptr || cell.CellIndex < 0 ||
      cell.CellIndex >= static_cast<int32_t>(cell.Row->DrawnBorders.size()))
    return 0;
  return cell.Row->DrawnBorders[static_cast<size_t>(cell.CellIndex)].Bottom / 2;
}

// The height the parent's content needs around the child.
int64_t NeededContentHeight(const TBox& parent, const TBox& child) {
  if (parent.Kind == TBoxKind::Table) return int64_t{child.Rect.bottom} + HalfBottomBorder(child);
  if (parent.HasFlag(TBox::ColumnBody) || parent.HasFlag(TBox::AreaBox) || parent.Parent == nullptr) {
    int64_t sum = 0;
    for (const TBoxRef& c : parent.Children) sum += c->Height();
    return sum;
  }
  return child.Height();
}

// A table on a page with floating shapes moves down below every shape (anchored outside tables,
// wrapping the text) that its cells would meet once grown by delta; the shift it took.
int32_t MoveTableBelowShapes(TBox& table, int32_t delta) {
  if (table.Page == nullptr || table.Page->Shapes.empty()) return 0;
  int32_t left = INT32_MAX, right = INT32_MIN, top = INT32_MAX;
  for (const TBoxRef& c : table.Children) {
    if (c->Kind != TBoxKind::Cell) continue;
    left = std::min(left, c->Rect.left);
    right = std::max(right, c->Rect.right);
    top = std::min(top, c->Rect.top);
  }
  if (left == INT32_MAX) return 0;
  const plat::Point at = table.OffsetInPage();
  const std::vector<TShape*>& shapes = table.Page->Shapes;
  int64_t shift = 0;
  for (size_t round = 0; round <= shapes.size(); ++round) {
    bool moved = false;
    for (const TShape* s : shapes) {
      if (s == nullptr || s->AnchorPar == nullptr || IsInTable(*s->AnchorPar) ||
          s->GetEffectiveWrap() == TShapeProps::TWrapStyle::None)
        continue;
      const std::array<int32_t, 4>& r = s->PlacedRect;
      const int64_t t = int64_t{at.y} + top + shift;
      const int64_t b = int64_t{at.y} + table.Height() + delta + shift;
      if (r[0] < int64_t{at.x} + right && int64_t{at.x} + left < r[2] && r[1] < b && t < r[3]) {
        shift += r[3] - t;
        moved = true;
      }
    }
    if (!moved) break;
  }
  const int32_t dy = Saturate(std::min<int64_t>(shift, INT32_MAX / 4));
  if (dy > 0)
    for (TBoxRef& c : table.Children) c->Rect = c->Rect.Offset(0, dy);
  return dy;
}

}  // namespace

bool GrowBox(TBox* parent, TBox& child, int32_t delta, bool force, int32_t* granted) {
  if (granted != nullptr) *granted = 0;
  if (delta <= 0) return true;
  if (child.Kind == TBoxKind::Table) delta = Saturate(int64_t{delta} + MoveTableBelowShapes(child, delta));
  const int32_t requested = delta;
  const int64_t height = child.Height();
  if (height + delta > child.MaxHeight) {
    if (!force) return false;
    delta = Saturate(int64_t{child.MaxHeight} - height);
    if (delta < 1) return false;
  }
  if (parent == nullptr) return false;  // a page cannot grow
  {
    const int64_t extra = NeededContentHeight(*parent, child) + delta + parent->Margins.top +
                          parent->Margins.bottom - parent->Height();
    if (extra > 0) {
      int32_t got = 0;
      GrowBox(parent->Parent, *parent, Saturate(extra), force, &got);
      if (got < extra && !force) delta = Saturate(delta - (extra - got));
      if (delta <= 0) return false;
    }
  }
  child.Rect.bottom = Saturate(int64_t{child.Rect.bottom} + delta);
  if (granted != nullptr) *granted = delta;
  return delta == requested || force;
}

void StackChildBoxes(TBox& box) {
  int64_t y = box.Margins.top;
  for (TBoxRef& c : box.Children) {
    const int32_t h = c->Height();
    c->Rect.top = Saturate(y);
    c->Rect.bottom = Saturate(y + h);
    y += h;
  }
}

void StackChildBoxesFromBottom(TBox& box) {
  int64_t y = int64_t{box.Height()} - box.Margins.bottom;
  for (auto it = box.Children.rbegin(); it != box.Children.rend(); ++it) {
    const int32_t h = (*it)->Height();
    (*it)->Rect.bottom = Saturate(y);
    (*it)->Rect.top = Saturate(y - h);
    y -= h;
  }
}

void CentreChildBoxes(TBox& box) {
  int64_t total = 0;
  for (const TBoxRef& c : box.Children) total += c->Height();
  int64_t y = box.Margins.top + std::max<int64_t>(0, (box.InnerHeight() - total) / 2);
  for (TBoxRef& c : box.Children) {
    const int32_t h = c->Height();
    c->Rect.top = Saturate(y);
    c->Rect.bottom = Saturate(y + h);
    y += h;
  }
}

void ReleaseChildBoxes(TBox& box) {
  box.TruncateLines(0);
  box.Children.clear();
}

int32_t BoxTextWidth(const TBox& box, int32_t sectionTextWidth) {
  if (box.Doc != nullptr && box.Doc->ViewMode != vmPrintLayout && box.Kind != TBoxKind::Cell &&
      GetCellBox(const_cast<TBox*>(&box)) == nullptr)
    return sectionTextWidth;
  return box.InnerWidth();
}

bool IsBoxAtBodyTop(const TBox& box) {
  if (!IsBoxEmpty(box)) return false;
  const TBox* b = &box;
  while (b->Parent != nullptr && !b->HasFlag(TBox::ColumnBody)) {
    const TBox* parent = b->Parent;
    if (b->Kind == TBoxKind::Cell) {
      for (const TBoxRef& sibling : parent->Children)
        if (sibling.get() != b && sibling->Kind == TBoxKind::Cell && sibling->Rect.top < b->Rect.top)
          return false;
    } else if (parent->Children.empty() || parent->Children.front().get() != b) {
      return false;
    }
    b = parent;
  }
  if (b->HasFlag(TBox::ColumnBody) && b->Parent != nullptr) {
    const TBox* band = b->Parent;
    const TBox* page = band->Parent;
    if (page != nullptr) {
      for (const TBoxRef& sibling : page->Children) {
        if (sibling.get() == band) break;
        if (sibling->HasFlag(TBox::SectionBand)) return false;
      }
    }
  }
  return true;
}

}  // namespace qv
