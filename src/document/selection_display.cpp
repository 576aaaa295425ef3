// What a selection change repaints, whether the selection is in view, stepping the view through
// a multiple selection, the shapes that belong to the selection, and the locked ranges painted
// with the selection's machinery.
#include <algorithm>
#include <climits>
#include <utility>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/selection_flags.h"
#include "document/selection_services.h"
#include "document/selection_tables.h"
#include "document/shape_binding.h"

namespace qv {

namespace {

bool DocHasTables(const TDoc& doc) {
  for (int32_t p = 0; p < doc.ParCount(); ++p)
    if (ParInTable(doc, p)) return true;
  return false;
}

// Some range takes in the last character of a paragraph that ends a cell or a row: the painted
// cell or row borders around it change too.
bool TouchesCellEnds(const TDoc& doc, const TCompoundFragment& f) {
  for (int32_t i = 0; i < f.Count(); ++i) {
    const TDocRange& r = *f.GetRange(i);
    const int32_t last = std::min(r.End.Par, doc.ParCount() - 1);
    for (int32_t p = std::max(r.Start.Par, 0); p <= last; ++p) {
      const TPar& par = *doc.Par(p);
      const int32_t n = par.CharCount();
      if (n == 0 || (par.CodeAt(n - 1) != scCellEnd && par.CodeAt(n - 1) != scRowEnd)) continue;
      TDocPosition lastChar;
      MakePosition(p, n - 1, lastChar);
      if (PositionInRange(lastChar, r)) return true;
    }
  }
  return false;
}

bool RectsMeet(const plat::Rect& a, const plat::Rect& b) { return !a.Intersect(b).IsEmpty(); }

int32_t NinetyPercent(int32_t v) { return static_cast<int32_t>((int64_t{v} * 90 + 50) / 100); }

// A range or a shape that the view can be brought to, with the top it would be brought to.
struct TStepTarget {
  bool IsShape = false;
  TDocRange Range{};
  plat::Rect Rect{};
  int32_t Top = INT32_MAX;
  bool Valid = false;
};

void ConsiderTarget(TStepTarget& best, const TStepTarget& candidate) {
  if (!best.Valid || candidate.Top < best.Top) best = candidate;
}

}  // namespace

void TDoc::RepaintRange(const TDocRange* range, const TCompoundFragment* fragment) {
  TFragmentRef own;
  if (range != nullptr) {
    own = AcquireFragment();
    *own->GetRange(0) = *range;
    fragment = own.get();
  }
  if (IsFragmentEmpty(fragment)) return;
  TSelectionServices& services = SelectionServices();
  bool whole = DocHasTables(*this) && TouchesCellEnds(*this, *fragment);
  if (!whole && Spotlight && !PrintPreview) {
    TDocRange now;
    services.GetSpotlightRange(*this, now);
    if (!SameRange(now, PaintedSpotlightRange) || IsDocFlagSet(dfRepaintAllOnSelection)) {
      whole = true;
      PaintedSpotlightRange = now;
      SetDocFlag(dfRepaintAllOnSelection, false);
    }
  }
  services.Repaint(*this, whole ? nullptr : fragment);
}

void TDoc::RepaintSelectionChange(const TDocRange& previous) {
  TDocRange a{}, b{};
  const int parts = RangeSymmetricDifference(a, b, Selection->GetExtent(), previous);
  if (parts == 1) {
    RepaintRange(&a, nullptr);
  } else if (parts == 2) {
    TFragmentRef two = AcquireFragment();
    *two->GetRange(0) = a;
    two->InsertRange(1, b);
    RepaintRange(nullptr, two.get());
  }
}

bool TDoc::SelectionFullyInView() {
  TSelectionServices& services = SelectionServices();
  services.PaginateAll(*this);
  const plat::Rect view = services.ViewRect(*this);
  int32_t visible = 0;
  const int32_t ranges = HasSelection() ? Selection->Count() : 0;
  for (int32_t i = 0; i < ranges; ++i)
    if (services.IsRangeVisible(*this, *Selection->GetRange(i))) ++visible;
  for (TShape* s : SelectedShapes) {
    plat::Rect r;
    if (services.GetShapeRect(*this, s, r) && RectsMeet(r, view)) ++visible;
  }
  return visible == ranges + static_cast<int32_t>(SelectedShapes.size());
}

bool TDoc::SelectionOutOfView() {
  TSelectionServices& services = SelectionServices();
  services.PaginateAll(*this);
  const plat::Rect view = services.ViewRect(*this);
  int32_t invisible = 0;
  const int32_t ranges = HasSelection() ? Selection->Count() : 0;
  for (int32_t i = 0; i < ranges; ++i)
    if (!services.IsRangeVisible(*this, *Selection->GetRange(i))) ++invisible;
  for (TShape* s : SelectedShapes) {
    plat::Rect r;
    if (!services.GetShapeRect(*this, s, r) || !RectsMeet(r, view)) ++invisible;
  }
  return invisible == ranges + static_cast<int32_t>(SelectedShapes.size());
}

namespace {

// The selection's ranges and floating shapes, split by whether the window shows them.
struct TViewItems {
  std::vector<TDocRange> Shown, Hidden;
  std::vector<plat::Rect> ShownShapes, HiddenShapes;
};

TViewItems SplitByVisibility(TDoc& doc, TSelectionServices& services, const plat::Rect& view) {
  TViewItems items;
  for (int32_t i = 0; doc.HasSelection() && i < doc.Selection->Count(); ++i) {
    const TDocRange& r = *doc.Selection->GetRange(i);
    (services.IsRangeVisible(doc, r) ? items.Shown : items.Hidden).push_back(r);
  }
  for (TShape* s : doc.SelectedShapes) {
    plat::Rect r;
    if (services.ShapeWrapKind(s) == 0 || !services.GetShapeRect(doc, s, r)) continue;
    (RectsMeet(r, view) ? items.ShownShapes : items.HiddenShapes).push_back(r);
  }
  return items;
}

bool CharVisible(TDoc& doc, TSelectionServices& services, const TDocPosition& at) {
  TDocRange one;
  MakeCharRange(at.Par, at.Offset, one);
  return services.IsRangeVisible(doc, one);
}

TDocPosition LastCharOf(const TDocRange& r) {
  TDocPosition p = r.End;
  if (p.Offset > 0) --p.Offset;
  return p;
}

// The top of the caret placed at the range's start, laid out and measured.
int32_t RangeTop(TDoc& doc, TSelectionServices& services, const TDocRange& r) {
  services.SetCaret(doc, r.Start.Par, r.Start.Offset, 0, INT32_MAX);
  doc.SetScopedFlag(dfMeasuringSelection);
  services.EnsureLaidOut(doc, doc.Caret, 0);
  services.UpdateCaretMetrics(doc);
  services.CalcCaretPoint(doc);
  const int32_t top = services.GetCaretRect(doc).top;
  doc.RestoreScopedFlag();
  return top;
}

// A shown item cut by the window's bottom edge: the view scrolls down by 90 percent of its
// height. True when it moved.
bool ScrollPastCutItems(TDoc& doc, TSelectionServices& services, const TViewItems& items,
                        const plat::Rect& view) {
  const bool rangeCut = std::any_of(items.Shown.begin(), items.Shown.end(), [&](const TDocRange& r) {
    return !CharVisible(doc, services, LastCharOf(r));
  });
  const bool shapeCut = std::any_of(items.ShownShapes.begin(), items.ShownShapes.end(),
                                    [&](const plat::Rect& r) { return r.bottom > view.bottom; });
  if (!rangeCut && !shapeCut) return false;
  services.ScrollTo(doc, {view.left, view.top + NinetyPercent(view.Height())});
  return services.ViewRect(doc).top > view.top;
}

// The next item to bring into view: the nearest hidden item below the window, else the first
// hidden one; when everything is shown, the first item that sticks out above the window.
TStepTarget ChooseTarget(TDoc& doc, TSelectionServices& services, const TViewItems& items,
                         const plat::Rect& view) {
  TStepTarget target;
  if (!items.Hidden.empty() || !items.HiddenShapes.empty()) {
    std::vector<TStepTarget> hidden;
    for (const TDocRange& r : items.Hidden)
      hidden.push_back({false, r, {}, RangeTop(doc, services, r), true});
    for (const plat::Rect& r : items.HiddenShapes) hidden.push_back({true, {}, r, r.top, true});
    for (int pass = 0; pass < 2 && !target.Valid; ++pass)
      for (const TStepTarget& item : hidden)
        if (pass == 1 || item.Top >= view.bottom) ConsiderTarget(target, item);
    return target;
  }
  for (const TDocRange& r : items.Shown) {
    if (CharVisible(doc, services, r.Start) && CharVisible(doc, services, LastCharOf(r))) continue;
    const int32_t top = RangeTop(doc, services, r);
    if (top < view.top) ConsiderTarget(target, {false, r, {}, top, true});
  }
  for (const plat::Rect& r : items.ShownShapes)
    if (r.top < view.top || r.bottom > view.bottom) ConsiderTarget(target, {true, {}, r, r.top, true});
  return target;
}

}  // namespace

void TDoc::ScrollToNextSelectedItem() {
  TSelectionServices& services = SelectionServices();
  SetScopedFlag(dfKeepSelectedShapes);
  services.PaginateAll(*this);
  const TDocPosition savedCaret = Caret;
  const plat::Rect view = services.ViewRect(*this);
  const TViewItems items = SplitByVisibility(*this, services, view);
  if (!ScrollPastCutItems(*this, services, items, view)) {
    const TStepTarget target = ChooseTarget(*this, services, items, view);
    if (target.Valid) {
      SetScopedFlag(dfArrangeOnZoom);
      if (target.IsShape) {
        services.ScrollTo(*this, services.CalcScrollToRect(*this, target.Rect, 1));
      } else {
        services.SetCaret(*this, target.Range.Start.Par, target.Range.Start.Offset, 0, INT32_MAX);
        services.ScrollCaretIntoView(*this, 1);
      }
      SetDocFlag(dfViewStepped162, false);
      SetDocFlag(dfViewStepped163, false);
      services.Redraw(*this);
      RestoreScopedFlag();
    }
  }
  Caret = savedCaret;
  RestoreScopedFlag();
}

int32_t TDoc::GetSelectedShapes(std::vector<TShape*>* list, TCompoundFragment* fragment,
                                uint8_t flags) {
  if (list != nullptr) list->clear();
  int32_t count = 0;
  TSelectionServices& services = SelectionServices();
  const bool pictures = (flags & 1) != 0;
  const bool rules = (flags & 2) != 0;
  for (int32_t i = 0; HasSelection() && i < Selection->Count(); ++i) {
    const TDocRange r = *Selection->GetRange(i);
    const int32_t last = std::min(r.End.Par, ParCount() - 1);
    for (int32_t p = std::max(r.Start.Par, 0); p <= last; ++p) {
      TPar& par = *Par(p);
      NormalizeParagraphTags(par);
      if (!((pictures && par.HasFlag(pfInlineShapes)) || (rules && par.HasFlag(pfHorizontalRule))))
        continue;
      const int32_t from = p == r.Start.Par ? r.Start.Offset : 0;
      const int32_t to = p == r.End.Par ? std::min(r.End.Offset, par.CharCount()) : par.CharCount();
      for (int32_t c = std::max(from, 0); c < to; ++c) {
        if (par.CodeAt(c) != scInlineShape) continue;
        TDocPosition at;
        MakePosition(p, c, at);
        TShape* shape = GetShapeAt(at);
        const bool rule = ShapeBinding().IsHorizontalRule(shape);
        if (!((pictures && !rule) || (rules && rule))) continue;
        ++count;
        if (list != nullptr) {
          services.SetShapeParIndex(shape, p);
          list->push_back(shape);
        }
        if (fragment != nullptr) {
          fragment->SetCount(count);
          MakeCharRange(p, c, *fragment->LastRange);
        }
      }
    }
  }
  if (pictures) {
    count += static_cast<int32_t>(SelectedShapes.size() + ShapesInSelection.size());
    if (list != nullptr) {
      list->insert(list->end(), SelectedShapes.begin(), SelectedShapes.end());
      list->insert(list->end(), ShapesInSelection.begin(), ShapesInSelection.end());
    }
  }
  return count;
}

bool TDoc::HasFloatingShapes() {
  if (IsDocFlagSet(dfFloatingShapesKnown)) return IsDocFlagSet(dfHasFloatingShapes);
  SetDocFlag(dfFloatingShapesKnown, true);
  TSelectionServices& services = SelectionServices();
  const std::vector<TShape*> shapes = services.DocumentShapes(*this);
  bool any = false;
  for (size_t i = shapes.size(); i-- > 0 && !any;)
    any = !services.IsShapeRemoved(shapes[i]) && services.ShapeWrapKind(shapes[i]) != 0;
  SetDocFlag(dfHasFloatingShapes, any);
  return any;
}

void TDoc::ValidateWrapEditShape() {
  if (WrapEditShape == nullptr) return;
  const int32_t wrap = SelectionServices().ShapeWrapKind(WrapEditShape);
  const bool selected = std::find(SelectedShapes.begin(), SelectedShapes.end(), WrapEditShape) !=
                        SelectedShapes.end();
  if (selected && (wrap == 4 || wrap == 5)) return;
  WrapEditShape = nullptr;
  SelectionServices().ScheduleRedraw(*this, 0);
}

bool TDoc::HasLockedRanges() const {
  if (IsDocFlagSet(dfPreview) || LockedRangesHidden) return false;
  return std::any_of(Fields.begin(), Fields.end(),
                     [](const auto& f) { return f->Kind == fkLockedSelection; });
}

void TDoc::SwapLockedRanges() {
  if (!LockedRanges) LockedRanges = AcquireFragment();
  std::swap(Selection, LockedRanges);
  std::swap(SelectionColor, LockedRangeColor);
  SetDocFlag(dfPaintingLockedRanges, !IsDocFlagSet(dfPaintingLockedRanges));
}

}  // namespace qv
