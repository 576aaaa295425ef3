// The picture, horizontal line and drop cap commands of the picture, section and table handler.
#include <algorithm>
#include <string>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_ids.h"
#include "commands/command_routines.h"
#include "commands/format_dialog_services.h"
#include "commands/picture_section_commands.h"
#include "commands/selection_objects.h"
#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/drop_caps.h"
#include "document/page_params.h"
#include "document/section.h"
#include "document/fragment_pool.h"
#include "document/pictures.h"
#include "document/shape.h"
#include "document/shape_props_table.h"
#include "editing/edit_codes.h"

namespace qv {

namespace {

using W = TShapeProps::TWrapStyle;

constexpr uint8_t ecReducePictureColors = 56;
constexpr uint8_t kShapeProperties = 0;
constexpr uint8_t kShapeZOrder = 4;
constexpr uint8_t kHorizontalLineName = 66;
constexpr int32_t kSavingSelection = 17;
constexpr int32_t kSelectingObjects = 18;
constexpr uint32_t kDeleteObjects = 0x10000;
constexpr uint8_t kPictures = 1;
constexpr uint8_t kHorizontalLines = 2;


// The selected shapes of the kind, the one at the caret first when it is one of them.
std::vector<TShape*> SelectedShapes(TDoc& doc, uint8_t kind) {
  std::vector<TShape*> shapes;
  doc.GetSelectedShapes(&shapes, nullptr, kind);
  TShape* atCaret = doc.GetShapeAt(doc.Caret);
  auto it = std::find(shapes.begin(), shapes.end(), atCaret);
  if (it != shapes.end()) std::rotate(shapes.begin(), it, it + 1);
  return shapes;
}

// Runs the property change for the shapes whose copies differ from their properties.
void FormatChangedShapes(TDoc& doc, const std::vector<TShape*>& shapes, const std::vector<TShapeProps>& copies) {
  std::vector<TShape*> changed;
  std::vector<TShapeProps> props;
  for (size_t i = 0; i < shapes.size() && i < copies.size(); ++i) {
    if (copies[i] == shapes[i]->Props) continue;
    changed.push_back(shapes[i]);
    props.push_back(copies[i]);
  }
  if (changed.empty()) return;
  uint8_t mode = kShapeProperties;
  ExecuteEditWith(doc, ecFormatShapes, {&changed, &mode, &props});
}

std::vector<TShapeProps> CopiesOf(const std::vector<TShape*>& shapes) {
  std::vector<TShapeProps> copies;
  for (const TShape* shape : shapes) copies.push_back(shape->Props);
  return copies;
}

void FormatPictures(TDoc& doc) {
  const std::vector<TShape*> shapes = SelectedShapes(doc, kPictures);
  if (shapes.empty()) return;
  std::vector<TShapeProps> copies = CopiesOf(shapes);
  if (!FormatDialogServices().ExecuteShapeFormatDialog(shapes, copies)) return;
  FormatChangedShapes(doc, shapes, copies);
}

void FormatHorizontalLines(TDoc& doc) {
  const std::vector<TShape*> shapes = SelectedShapes(doc, kHorizontalLines);
  if (shapes.empty()) return;
  std::vector<TShapeProps> copies = CopiesOf(shapes);
  // The available width: the widest text of the sections of the selected ranges.
  int32_t width = 0;
  if (doc.HasSelection()) {
    for (const TSection* section : doc.SectionsOfFragment(*doc.Selection))
      width = std::max(width, section->PageParams.TextWidth);
  }
  if (width == 0) {
    TPageParams page;
    doc.GetCaretPageParams(page);
    width = page.TextWidth;
  }
  TFormatDialogServices& dialogs = FormatDialogServices();
  if (!dialogs.ExecuteHorizontalLineDialog(copies.front(), width)) return;
  dialogs.SetHorizontalLineDefaults(copies.front());
  if (copies.front() == shapes.front()->Props) return;
  for (TShapeProps& copy : copies) copy = copies.front();
  doc.OperationNameOverride = kHorizontalLineName;
  FormatChangedShapes(doc, shapes, copies);
  doc.OperationNameOverride = 255;
}

// Selects the pictures (inline in the fragment, floating as selected shapes), the horizontal
// lines or the drop caps of the selection.
void SelectObjects(TDoc& doc, int32_t id) {
  TScopedDocFlag selecting(doc, kSelectingObjects);
  TFragmentRef fragment = AcquireFragment();
  if (id == 15131) {
    for (TField* field : CollectSelectionObjects(doc).DropCaps) {
      TDocRange r;
      if (!doc.GetFieldRange(field, r)) continue;
      fragment->SetCount(fragment->Count() + 1);
      *fragment->LastRange = r;
    }
  } else {
    std::vector<TShape*> shapes;
    doc.GetSelectedShapes(&shapes, fragment.get(), id == 15045 ? kPictures : kHorizontalLines);
    doc.SelectedShapes.clear();
    if (id == 15045)
      for (TShape* shape : shapes)
        if (shape->IsFloating()) doc.SelectedShapes.push_back(shape);
  }
  if (fragment->Count() > 0) {
    doc.Selection->Assign(*fragment);
    if (!PositionInFragmentInclusive(doc.Caret, std::span<const TDocRange>(fragment->GetRange(0), fragment->Count())))
      doc.Caret = fragment->GetRange(0)->Start;
  } else {
    doc.ClearSelection();
  }
  doc.SelectionChanged();
  ApplyMouseModeToSelection();
}

void CopyPictures(TCommandManager& manager, TDoc& doc) {
  TScopedDocFlag saving(doc, kSavingSelection);
  TFragmentRef saved = CloneFragment(*doc.Selection);
  const TDocPosition caret = doc.Caret;
  const std::vector<TShape*> shapes = doc.SelectedShapes;
  manager.Execute(15045);
  manager.Execute(cmd::Copy);
  doc.Selection->Assign(*saved);
  doc.Caret = caret;
  doc.SelectedShapes = shapes;
  doc.SelectionChanged();
}

void DeleteObjects(TCommandManager& manager, TDoc& doc, int32_t selectId) {
  {
    TScopedDocFlag saving(doc, kSavingSelection);
    manager.Execute(selectId);
  }
  if (!doc.HasSelection() && doc.SelectedShapes.empty()) return;
  CommandEnvironment().DeleteSelection(doc, kDeleteObjects, false);
}

// The new wrapping of one picture's copy for the commands 15081-15089 and the position presets.
void Rewrap(int32_t id, TShape& shape, TShapeProps& copy) {
  const W old = copy.WrapStyle;
  const bool tightOrThrough = old == W::Tight || old == W::Through;
  auto traced = [&] {
    if (!copy.HasWrapPolygon() && !tightOrThrough && shape.Graphic != nullptr) {
      std::vector<TShapeProps::TPoint> points;
      for (const auto& p : shape.Graphic->TraceWrapPolygon()) points.push_back({p[0], p[1]});
      copy.SetWrapPolygon(points);
    }
  };
  switch (id) {
    case 15081: copy.WrapStyle = W::Inline; copy.RemoveProp(spBehindDocument); break;
    case 15082: copy.WrapStyle = W::Square; copy.RemoveProp(spBehindDocument); break;
    case 15083: copy.WrapStyle = W::TopBottom; copy.RemoveProp(spBehindDocument); break;
    case 15084: copy.WrapStyle = W::None; copy.SetProp(spBehindDocument, 1); break;
    case 15085: copy.WrapStyle = W::None; copy.RemoveProp(spBehindDocument); break;
    case 15086: case 15087:
      traced();
      copy.WrapStyle = id == 15086 ? W::Tight : W::Through;
      copy.SetProp(spBehindDocument, 1);
      break;
    case 15088:
      if (!tightOrThrough) {
        traced();
        copy.WrapStyle = W::Tight;
        copy.SetProp(spBehindDocument, 1);
      }
      break;
    case 15089: copy.SetWrapPolygon({}); break;
    default: {  // 15097-15105: the nine position presets
      const int32_t index = id - 15097;
      if (!tightOrThrough) {
        copy.WrapStyle = W::Square;
        copy.RemoveProp(spBehindDocument);
      }
      copy.SetProp(spPosH, 1 + index / 3);
      copy.SetProp(spPosV, 1 + index % 3);
      copy.SetProp(spPosRelH, 0);
      copy.SetProp(spPosRelV, 0);
      break;
    }
  }
}

// Adjusts a copy of the shape's properties for a change between inline and floating: the
// shape's own adjustment runs on the copy and the shape is left as it was.
void AdjustToFloating(TShape& shape, bool floating, TShapeProps& copy) {
  const TShapeProps saved = shape.Props;
  const std::array<int32_t, 4> placed = shape.PlacedRect;
  shape.Props = copy;
  shape.Props.WrapStyle = saved.WrapStyle;
  shape.SetFloating(floating, {});
  copy = shape.Props;
  shape.Props = saved;
  shape.PlacedRect = placed;
}

void WrapPictures(TCommandManager& manager, TDoc& doc, int32_t id) {
  std::vector<TShape*> shapes = SelectedShapes(doc, kPictures);
  if (shapes.empty()) return;
  std::vector<TShapeProps> copies = CopiesOf(shapes);
  for (size_t i = 0; i < shapes.size(); ++i) {
    const bool wasFloating = shapes[i]->IsFloating();
    Rewrap(id, *shapes[i], copies[i]);
    const W target = copies[i].WrapStyle;
    const bool floating = target != W::Inline;
    if (floating != wasFloating) AdjustToFloating(*shapes[i], floating, copies[i]);
    copies[i].WrapStyle = target;
  }
  TShape* const first = shapes.front();
  const bool endEditing = id == 15088 && doc.WrapEditShape == first;
  FormatChangedShapes(doc, shapes, copies);
  if (id != 15088) return;
  // The shape's wrap points are edited from now on (it is selected for that), or no longer.
  if (endEditing) {
    doc.WrapEditShape = nullptr;
  } else {
    manager.Execute(15045);
    doc.WrapEditShape = first;
  }
}

void ZOrder(TDoc& doc, int32_t id) {
  std::vector<TShape*> shapes = SelectedShapes(doc, kPictures);
  if (shapes.empty()) return;
  uint8_t mode = kShapeZOrder;
  uint8_t direction = static_cast<uint8_t>(id - 15090);
  ExecuteEditWith(doc, ecFormatShapes, {&shapes, &mode, &direction});
}

void DropCapFormat(TCommandManager& manager, TDoc& doc) {
  std::vector<TField*> fields = CollectSelectionObjects(doc).DropCaps;
  TDropCapChoice choice;
  if (!fields.empty()) {
    const TDropCapSettings first = DropCapSettingsOf(*fields.front());
    choice.Kind = first.First;
    choice.Lines = first.Lines;
    choice.Distance = first.Value16;
    for (const TField* field : fields) {
      const TDropCapSettings s = DropCapSettingsOf(*field);
      if (s.First != first.First) choice.Kind = TDropCapSettings::Unchanged8;
      if (s.Lines != first.Lines) choice.Lines = TDropCapSettings::Unchanged8;
      if (s.Value16 != first.Value16) choice.Distance = TDropCapSettings::Unchanged16;
    }
    TDocRange r;
    if (doc.GetFieldRange(fields.front(), r)) choice.Sample = doc.GetParagraphDisplayText(r.Start.Par);
  }
  if (!FormatDialogServices().ExecuteDropCapDialog(choice)) return;
  if (choice.Kind == 0) {
    manager.Execute(15132);
    return;
  }
  TDropCapSettings settings;
  settings.First = choice.Kind;
  settings.Lines = static_cast<uint8_t>(choice.Lines);
  settings.Value16 = static_cast<uint16_t>(choice.Distance);
  std::vector<TField*>* list = fields.empty() ? nullptr : &fields;
  ExecuteEditWith(doc, ecFormatDropCaps, {list, &settings, &choice.FontName});
}

}  // namespace

bool RunPictureCommand(TCommandManager& manager, int32_t id, TDoc* doc) {
  if (doc == nullptr) return false;
  switch (id) {
    case 15000: FormatPictures(*doc); return true;
    case 15110: FormatHorizontalLines(*doc); return true;
    case 15045: case 15115: case 15131: SelectObjects(*doc, id); return true;
    case 15046: CopyPictures(manager, *doc); return true;
    case 15047: DeleteObjects(manager, *doc, 15045); return true;
    case 15120: DeleteObjects(manager, *doc, 15115); return true;
    case 15130: DropCapFormat(manager, *doc); return true;
    case 15132: ExecuteEditWith(*doc, ecFormatDropCaps); return true;
    default: break;
  }
  if (id >= 15050 && id <= 15057) {
    uint8_t colours = static_cast<uint8_t>(id - 15050);
    ExecuteEditWith(*doc, ecReducePictureColors, {&colours});
    return true;
  }
  if ((id >= 15081 && id <= 15089) || (id >= 15097 && id <= 15105)) {
    WrapPictures(manager, *doc, id);
    return true;
  }
  if (id >= 15090 && id <= 15093) {
    ZOrder(*doc, id);
    return true;
  }
  return false;
}

}  // namespace qv
