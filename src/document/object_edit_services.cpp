#include "document/object_edit_services.h"

#include <algorithm>
#include <utility>

#include "document/auto_list.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"
#include "document/pictures.h"
#include "document/shape.h"
#include "document/styles.h"
#include "foundation/base/service_slot.h"

namespace qv {

void TObjectEditServices::SelectShapes(TDoc& doc, std::vector<TShape*> shapes) {
  doc.SelectedShapes = std::move(shapes);
}

void TObjectEditServices::ChangeShapeGraphic(TDoc&, TShape& shape, std::unique_ptr<TDocGraphic> graphic) {
  graphic->Shape = &shape;
  shape.Graphic = std::move(graphic);
}

void TObjectEditServices::FormatShape(TDoc&, TShape& shape, const TShapeProps& props) {
  shape.Props = props;
  shape.Flags &= static_cast<uint8_t>(~TShape::FlagWrapRectsValid);
}

void TObjectEditServices::RemoveShapeFromZOrder(TDoc& doc, TShape& shape) {
  for (auto& s : doc.Shapes)
    if (s.get() != &shape && s->IsFloating() && !s->IsRemoved() && s->Layer == shape.Layer &&
        s->Props.ZOrder > shape.Props.ZOrder)
      --s->Props.ZOrder;
}

void TObjectEditServices::ChangeShapeZOrder(TDoc& doc, TShape& shape, int32_t zOrder) {
  SwapShapeZOrder(doc, shape, zOrder);
}

void TObjectEditServices::MoveParagraphs(TDoc& doc, int32_t first, int32_t count, int32_t target,
                                         int32_t fromStory, int32_t toStory) {
  MoveParagraphBlock(doc, first, count, target, fromStory, toStory);
}

void TObjectEditServices::ConvertNotes(TDoc&, std::vector<TField*> notes) {
  for (TField* f : notes) {
    f->NoteClass = f->NoteClass ? 0 : 1;
    if (f->LinkedField != nullptr) f->LinkedField->NoteClass = f->NoteClass;
  }
}

void TObjectEditServices::FormatListLevel(TDoc&, TAutoList& list, int32_t level,
                                          const TCharFormat& format) {
  list.ListLevels[static_cast<size_t>(level)].CharFormat = format;
}

void TObjectEditServices::FormatAutoList(TDoc&, TAutoList& list, const TAutoList& definition) {
  list.Assign(definition);
}

void TObjectEditServices::DetachListFromStyles(TDoc& doc, const TAutoList& list) {
  for (int32_t i = 0; i < doc.Styles->Count(); ++i)
    if ((*doc.Styles)[i].ParFmt.List == list.Number) (*doc.Styles)[i].ParFmt.List = 0;
}

void TObjectEditServices::FormatCharacters(TDoc&, const TDocRange&, const TCharFormat&) {}

void TObjectEditServices::ApplyStyle(TDoc& doc, const TDocRange& range, int32_t style) {
  for (int32_t p = range.Start.Par; p <= range.End.Par && p < doc.ParCount(); ++p)
    doc.Par(p)->Format.Style = static_cast<int16_t>(style);
}

void TObjectEditServices::InstallStyles(TDoc& doc, std::unique_ptr<TStyleList> styles,
                                        std::vector<int32_t>) {
  doc.Styles->Assign(*styles);
}

void RegisterObjectEditServices(std::unique_ptr<TObjectEditServices> services) {
  RegisterService(std::move(services));
}
TObjectEditServices& ObjectEditServices() { return Service<TObjectEditServices>(); }

void SwapShapeZOrder(TDoc& doc, TShape& shape, int32_t& zOrder) {
  doc.SortShapesByZOrder();
  const int32_t old = shape.Props.ZOrder;
  const int32_t now = zOrder;
  zOrder = old;
  shape.Props.ZOrder = now;
  const int32_t lo = std::min(old, now), hi = std::max(old, now);
  const bool header = shape.Layer == 3;
  int32_t next = lo;
  for (auto& s : doc.Shapes) {
    if (s.get() == &shape || !s->IsFloating() || s->IsRemoved() || (s->Layer == 3) != header) continue;
    if (s->Props.ZOrder < lo || s->Props.ZOrder > hi) continue;
    if (next == now) ++next;
    s->Props.ZOrder = next++;
  }
  doc.SortShapesByZOrder();
}

int32_t MoveParagraphBlock(TDoc& doc, int32_t first, int32_t count, int32_t target,
                           int32_t fromStory, int32_t toStory) {
  auto& v = doc.Paragraphs;
  const auto begin = v.begin() + first;
  int32_t newFirst;
  if (target > first) {
    std::rotate(begin, begin + count, v.begin() + target);
    newFirst = target - count;
  } else {
    std::rotate(v.begin() + target, begin, begin + count);
    newFirst = target;
  }
  doc.StoryCounts[static_cast<size_t>(fromStory)] -= count;
  doc.StoryCounts[static_cast<size_t>(toStory)] += count;
  const int32_t from = std::min(first, target);
  doc.ReindexParagraphs(from);
  for (int32_t i = from; i < std::max(first + count, target) && i < doc.ParCount(); ++i)
    doc.Par(i)->ReleaseLines(0);
  doc.InvalidateFieldIndex();
  doc.ClearTableCache();
  return newFirst;
}

}  // namespace qv
