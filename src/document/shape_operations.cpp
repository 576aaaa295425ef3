// Shapes joining and leaving a document, z-order numbers per layer, copies of shapes, and the
// "format picture" edit that applies new properties, moves, resizes and z-order changes to a
// list of shapes (turning inline shapes into floating ones and back), every change recorded.
#include <algorithm>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/object_edit_services.h"
#include "document/par.h"
#include "document/selection_flags.h"
#include "document/shape.h"

namespace qv {

namespace {

using W = TShapeProps::TWrapStyle;

bool TakesPartInZOrder(const TShape& s) { return s.IsFloating() && !s.IsRemoved(); }

bool IsDraft(const TDoc& doc) { return doc.ViewMode != vmPrintLayout; }

bool RectSet(const std::array<int32_t, 4>& r) {
  return r[0] != kShapePropUnset && r[1] != kShapePropUnset && r[2] != kShapePropUnset &&
         r[3] != kShapePropUnset;
}

constexpr std::array<int32_t, 4> kUnsetRect{kShapePropUnset, kShapePropUnset, kShapePropUnset,
                                            kShapePropUnset};

int32_t AnchorParIndex(const TShape& shape) {
  return shape.AnchorPar != nullptr ? shape.AnchorPar->Index : -1;
}

// Replaces an inline shape's character by a shape-anchor field at its place.
void MakeFloating(TDoc& doc, TShape& shape, TShapeProps& props) {
  const int32_t par = AnchorParIndex(shape);
  if (par < 0) return;
  const TDocPosition at{par, shape.AnchorOffset};
  EditServices().DeleteContent(doc, TDocRange{at, {par, shape.AnchorOffset + 1}});
  props.ZOrder = doc.NextZOrder(shape.Layer);
  auto field = std::make_unique<TField>();
  field->Kind = fkShapeAnchor;
  field->Shape = &shape;
  shape.AnchorField = EditServices().InsertEmptyField(doc, std::move(field), at, 0);
  doc.InvalidateFieldIndex();
  doc.ClearSelection();
  if (std::find(doc.SelectedShapes.begin(), doc.SelectedShapes.end(), &shape) == doc.SelectedShapes.end())
    doc.SelectedShapes.push_back(&shape);
}

// Puts a floating shape back into the text as a character where its anchor field was.
void MakeInline(TDoc& doc, TShape& shape) {
  TField* anchor = shape.AnchorField;
  TDocRange range;
  if (anchor == nullptr || !doc.GetFieldRange(anchor, range)) return;
  // The anchor goes before the character comes: taking out an anchor takes its shape out of the
  // z-order and marks it removed, putting in a shape character marks it present again.
  doc.RemoveField(anchor);
  shape.AnchorField = nullptr;
  TMemory tag;
  AppendContentTag(tag, ctInlineShape, TagRefOf(&shape));
  EditServices().InsertContent(doc, tag, range.Start, doc.StoryOfParagraph(range.Start.Par), 0);
  if (doc.Selection && doc.Selection->Count() > 0) {
    TDocRange* sel = doc.Selection->GetRange(0);
    if (ComparePositions(range.Start, sel->Start) < 0) sel->Start = range.Start;
    if (ComparePositions(sel->End, range.Start) <= 0) sel->End = {range.Start.Par, range.Start.Offset + 1};
  }
  std::erase(doc.SelectedShapes, &shape);
}

// Moves the anchor field's marks (kept in the field list) to the new place.
void MoveAnchor(TDoc& doc, TShape& shape, const TDocPosition& to) {
  TField* anchor = shape.AnchorField;
  TDocRange range;
  if (anchor == nullptr || !doc.GetFieldRange(anchor, range)) return;
  EditServices().InsDelFieldMarks(doc, 1, anchor, 2, range.Start, 0, range.End, 0, nullptr);
  EditServices().InsDelFieldMarks(doc, 1, anchor, 1, range.Start, 0, range.End, 0, nullptr);
  EditServices().InsDelFieldMarks(doc, 0, anchor, 1, to, 0, to, 1, nullptr);
  EditServices().InsDelFieldMarks(doc, 0, anchor, 2, to, 0, to, 1, nullptr);
  doc.InvalidateFieldIndex();
}

// The new properties of a move or resize.
TShapeProps MovedOrResized(const TDoc& doc, TShape& shape, uint8_t mode, const TShapeMove* move) {
  TShapeProps props = shape.Props;
  auto& rect = props.ShapeRect;
  const auto& drag = shape.DragRect;
  if (IsDraft(doc)) {
    if (mode == 2) {
      if (RectSet(drag)) rect = drag;
      const int32_t posh = props.GetProp(spPosH);
      if (posh != 2 && posh != 3) props.SetProp(spPosH, 1);
    } else if (move != nullptr) {
      props.SetProp(spPosH, move->PosH);
    }
    if (RectSet(rect)) {
      rect[3] -= rect[1];
      rect[1] = 0;
    }
  } else if (mode == 1) {
    props.SetProp(spPosH, 0);
    props.SetProp(spPosV, 0);
    if (RectSet(drag)) rect = drag;
  } else {
    auto d = drag;
    const int32_t posh = props.GetProp(spPosH), posv = props.GetProp(spPosV);
    if (posh >= 1 && posh <= 3 && d[0] != kShapePropUnset && d[2] != kShapePropUnset) {
      rect[2] = rect[0] + (d[2] - d[0]);
      d[0] = d[2] = kShapePropUnset;
    }
    if (posv >= 1 && posv <= 3 && d[1] != kShapePropUnset && d[3] != kShapePropUnset) {
      rect[3] = rect[1] + (d[3] - d[1]);
      d[1] = d[3] = kShapePropUnset;
    }
    for (size_t i = 0; i < 4; ++i)
      if (d[i] != kShapePropUnset) rect[i] = d[i];
  }
  shape.DragRect = kUnsetRect;
  return props;
}

void ChangeZOrders(TDoc& doc, const std::vector<TShape*>& shapes, uint8_t direction,
                   int32_t& firstPar) {
  std::vector<TShape*> sorted = shapes;
  std::stable_sort(sorted.begin(), sorted.end(), [](const TShape* a, const TShape* b) {
    if ((a->Layer == 3) != (b->Layer == 3)) return a->Layer == 3;
    return a->Props.ZOrder < b->Props.ZOrder;
  });
  if (direction == 0 || direction == 3) std::reverse(sorted.begin(), sorted.end());
  for (TShape* s : sorted) {
    if (!TakesPartInZOrder(*s)) continue;
    const int32_t top = std::max(0, doc.NextZOrder(s->Layer) - 1);
    int32_t z = s->Props.ZOrder;
    switch (direction) {
      case 0: z += 1; break;
      case 1: z -= 1; break;
      case 2: z = top; break;
      default: z = 0; break;
    }
    // Numbers stay within the layer's range: no gaps above, nothing below 0.
    z = std::clamp(z, 0, top);
    if (z == s->Props.ZOrder) continue;
    ObjectEditServices().ChangeShapeZOrder(doc, *s, z);
    const int32_t par = AnchorParIndex(*s);
    if (par >= 0 && par < firstPar) {
      firstPar = par;
      TPostActions& post = doc.CurrentPostActions();
      post.FirstPar = par;
      post.FirstParOffset = s->AnchorOffset;
    }
  }
}

}  // namespace

TShape* TDoc::AddShape(std::unique_ptr<TShape> shape) {
  if (!shape) return nullptr;
  shape->Doc = this;
  TShape* s = shape.get();
  if (!s->Graphic->Unloaded() && IsPictureMemoryOverLimit()) s->Graphic->SetUnloaded(true);
  Shapes.push_back(std::move(shape));
  SetDocFlag(dfFloatingShapesKnown, false);
  return s;
}

void TDoc::DeleteShape(TShape* shape) {
  for (auto it = Shapes.begin(); it != Shapes.end(); ++it) {
    if (it->get() != shape) continue;
    std::erase(SelectedShapes, shape);
    std::erase(ShapesInSelection, shape);
    if (WrapEditShape == shape) WrapEditShape = nullptr;
    Shapes.erase(it);  // the picture's decoded memory is given back as it is freed
    SetDocFlag(dfFloatingShapesKnown, false);
    return;
  }
}

TShape* TDoc::CopyShape(const TShape& source) {
  auto shape = std::make_unique<TShape>(this);
  shape->Props = source.Props;
  shape->Layer = source.Layer;
  source.Graphic->SetUnloaded(true);
  if (!shape->Graphic->CopyFrom(*source.Graphic)) shape->Graphic->PictureKind = source.Graphic->PictureKind;
  return AddShape(std::move(shape));
}

void TDoc::SortShapesByZOrder() {
  std::stable_sort(Shapes.begin(), Shapes.end(), [](const auto& a, const auto& b) {
    if ((a->Layer == 3) != (b->Layer == 3)) return a->Layer == 3;
    return a->Props.ZOrder < b->Props.ZOrder;
  });
}

int32_t TDoc::NextZOrder(uint8_t layer) {
  SortShapesByZOrder();
  int32_t next = 0;
  for (const auto& s : Shapes)
    if (TakesPartInZOrder(*s) && (s->Layer == 3) == (layer == 3)) next = std::max(next, s->Props.ZOrder + 1);
  return next;
}

void TDoc::AssignNewZOrder(TShape* shape) {
  if (shape == nullptr || !shape->IsFloating()) return;
  if (HeaderFooterInPlace != nullptr) shape->Layer = 3;
  shape->Props.ZOrder = -1;  // not counted while the next number is found
  int32_t next = 0;
  for (const auto& s : Shapes)
    if (s.get() != shape && TakesPartInZOrder(*s) && (s->Layer == 3) == (shape->Layer == 3))
      next = std::max(next, s->Props.ZOrder + 1);
  shape->Props.ZOrder = next;
}

void TDoc::RemoveShapeFromZOrder(TShape* shape) {
  if (shape == nullptr || !TakesPartInZOrder(*shape)) return;
  ObjectEditServices().RemoveShapeFromZOrder(*this, *shape);
}

void TDoc::RemoveAnchoredShape(TShape* shape) {
  if (shape == nullptr || !shape->IsFloating() || shape->IsRemoved()) return;
  TField* anchor = shape->AnchorField;
  TDocRange range;
  if (anchor == nullptr || !GetFieldRange(anchor, range)) return;
  if (std::find(SelectedShapes.begin(), SelectedShapes.end(), shape) != SelectedShapes.end()) {
    std::vector<TShape*> rest = SelectedShapes;
    std::erase(rest, shape);
    ObjectEditServices().SelectShapes(*this, std::move(rest));
  }
  std::erase(ShapesInSelection, shape);
  if (WrapEditShape == shape) WrapEditShape = nullptr;
  RemoveField(anchor);  // takes the shape out of the z-order too
}

void TDoc::FormatShapes(const std::vector<TShape*>& shapes, uint8_t mode, const void* data) {
  ObjectEditServices().SelectShapes(*this, SelectedShapes);
  int32_t firstPar = INT32_MAX;
  if (mode == 4) {
    ChangeZOrders(*this, shapes, data != nullptr ? *static_cast<const uint8_t*>(data) : 0, firstPar);
  } else {
    const auto* dialog = mode == 0 ? static_cast<const std::vector<TShapeProps>*>(data) : nullptr;
    const auto* move = mode == 1 ? static_cast<const TShapeMove*>(data) : nullptr;
    for (size_t i = shapes.size(); i-- > 0;) {
      TShape& shape = *shapes[i];
      TDocPosition anchor{AnchorParIndex(shape), shape.AnchorOffset};
      if (move != nullptr) anchor = {move->Par, move->Offset};
      TShapeProps props;
      if (mode == 0) {
        if (dialog == nullptr || i >= dialog->size()) continue;
        props = (*dialog)[i];
        if (props.WrapStyle != W::Tight && props.WrapStyle != W::Through) props.WrapPolygon.clear();
        const bool wasInline = !shape.IsFloating();
        const bool toFloating = props.WrapStyle != W::Inline;
        const int32_t story = anchor.Par >= 0 ? StoryOfParagraph(anchor.Par) : stMain;
        if (wasInline && toFloating) {
          if (story == stFootnotes || story == stEndnotes) {
            props = shape.Props;  // no floating shapes in notes
          } else {
            MakeFloating(*this, shape, props);
          }
        } else if (!wasInline && !toFloating) {
          MakeInline(*this, shape);
        }
      } else {
        props = MovedOrResized(*this, shape, mode, move);
      }
      ObjectEditServices().FormatShape(*this, shape, props);
      if (move != nullptr && (anchor.Par != AnchorParIndex(shape) || anchor.Offset != shape.AnchorOffset) &&
          anchor.Par >= 0 && anchor.Par < ParCount())
        MoveAnchor(*this, shape, anchor);
      if (anchor.Par >= 0) firstPar = std::min(firstPar, anchor.Par);
    }
  }
  TPostActions& post = CurrentPostActions();
  if (!post.Selection) post.Selection = AcquireFragment();
  if (Selection) post.Selection->Assign(*Selection);
  post.Caret = Caret;
  post.HasCaret = true;
  ObjectEditServices().SelectShapes(*this, SelectedShapes);
  SetDocFlag(dfKeepSelectedShapes, true);
}

}  // namespace qv
