#include "editing/shape_records.h"

#include <algorithm>
#include <utility>

#include "document/auto_list.h"
#include "document/object_edit_services.h"
#include "document/par.h"
#include "document/selection_flags.h"
#include "editing/edit_flags.h"
#include "document/styles.h"
#include "editing/format_operations.h"
#include "editing/format_records.h"
#include "editing/style_operations.h"

namespace qv {

namespace {

int32_t AnchorParOf(const TShape* shape) {
  return shape != nullptr && shape->AnchorPar != nullptr ? shape->AnchorPar->Index : -1;
}

bool ValidPar(const TDoc& doc, int32_t par) { return par >= 0 && par < doc.ParCount(); }

class TEngineObjectEditServices : public TObjectEditServices {
 public:
  void SelectShapes(TDoc& doc, std::vector<TShape*> shapes) override {
    TSubOperation::Execute(std::make_unique<TSelShapesOperation>(doc, std::move(shapes)));
  }
  void ChangeShapeGraphic(TDoc& doc, TShape& shape, std::unique_ptr<TDocGraphic> graphic) override {
    TSubOperation::Execute(std::make_unique<TChangeShapeGraphicOperation>(doc, &shape, std::move(graphic)));
  }
  void FormatShape(TDoc& doc, TShape& shape, const TShapeProps& props) override {
    TSubOperation::Execute(std::make_unique<TFormatShapeOperation>(doc, &shape, props));
  }
  void RemoveShapeFromZOrder(TDoc& doc, TShape& shape) override {
    TSubOperation::Execute(std::make_unique<TRemoveShapeFromZOrderOperation>(doc, &shape));
  }
  void ChangeShapeZOrder(TDoc& doc, TShape& shape, int32_t zOrder) override {
    TSubOperation::Execute(std::make_unique<TChangeShapeZOrderOperation>(doc, &shape, zOrder));
  }
  void MoveParagraphs(TDoc& doc, int32_t first, int32_t count, int32_t target, int32_t fromStory,
                      int32_t toStory) override {
    if (fromStory == toStory)
      TSubOperation::Execute(std::make_unique<TMoveParsOperation>(doc, first, count, target));
    else
      TSubOperation::Execute(
          std::make_unique<TMoveParsOperation>(doc, first, count, target, fromStory, toStory));
  }
  void ConvertNotes(TDoc& doc, std::vector<TField*> notes) override {
    TSubOperation::Execute(std::make_unique<TConvertNotesOperation>(doc, std::move(notes)));
  }
  void FormatListLevel(TDoc& doc, TAutoList& list, int32_t level, const TCharFormat& format) override {
    TSubOperation::Execute(std::make_unique<TFormatListLevelOperation>(doc, &list, level, format));
  }
  void FormatAutoList(TDoc& doc, TAutoList& list, const TAutoList& definition) override {
    auto copy = std::make_unique<TAutoList>();
    copy->Assign(definition);
    TSubOperation::Execute(std::make_unique<TFormatAutoListOperation>(doc, &list, std::move(copy)));
  }
  void DetachListFromStyles(TDoc& doc, const TAutoList& list) override {
    auto info = std::make_unique<TFormatStyleListInfo>();
    info->NewStyles = std::make_unique<TStyleList>(&doc);
    info->NewStyles->Assign(*doc.Styles);
    for (int32_t i = 0; i < info->NewStyles->Count(); ++i) {
      TStyle& style = (*info->NewStyles)[i];
      if (style.ParFmt.List != list.Number) continue;
      style.ParFmt.List = 0;
      info->Changed.push_back(i);
    }
    if (!info->Changed.empty()) FormatDocumentStyles(doc, nullptr, nullptr, std::move(info));
  }
  void FormatCharacters(TDoc& doc, const TDocRange& range, const TCharFormat& format) override {
    FormatFont(doc, nullptr, &range, 0, format);
  }
  void ApplyStyle(TDoc& doc, const TDocRange& range, int32_t style) override {
    qv::ApplyStyle(doc, nullptr, &range, nullptr, nullptr, true, style);
  }
  void InstallStyles(TDoc& doc, std::unique_ptr<TStyleList> styles, std::vector<int32_t> changed) override {
    auto info = std::make_unique<TFormatStyleListInfo>();
    info->NewStyles = std::move(styles);
    info->Changed = std::move(changed);
    FormatDocumentStyles(doc, nullptr, nullptr, std::move(info));
  }
};

}  // namespace

void TSelShapesOperation::Undo() {
  std::swap(Doc->SelectedShapes, Shapes);
  Doc->SetDocFlag(dfKeepSelectedShapes, true);
}

void TChangeShapeGraphicOperation::Undo() {
  if (Shape == nullptr || !Graphic) return;
  Graphic->Shape = Shape;
  std::swap(Shape->Graphic, Graphic);
  Graphic->SetUnloaded(true);
  Shape->Flags &= static_cast<uint8_t>(~TShape::FlagWrapRectsValid);
  const int32_t par = AnchorParOf(Shape);
  if (ValidPar(*Doc, par)) RelayoutParagraph(*Doc, par);
}

void TFormatShapeOperation::Undo() {
  if (Shape == nullptr) return;
  std::swap(Shape->Props, Props);
  if (Shape->IsHorizontalRule()) Shape->MakeSolidFillPicture();
  Shape->Flags &= static_cast<uint8_t>(~TShape::FlagWrapRectsValid);
  Doc->SetDocFlag(dfFloatingShapesKnown, false);
  const int32_t par = AnchorParOf(Shape);
  if (ValidPar(*Doc, par)) {
    Doc->InvalidateFromParagraph(par);
    Doc->Par(par)->ReleaseLines(0);
  }
}

void TRemoveShapeFromZOrderOperation::Undo() {
  if (Shape == nullptr) return;
  const bool undoing = Doc->IsDocFlagSet(dfUndoing);
  const bool header = Shape->Layer == 3;
  for (auto& s : Doc->Shapes) {
    if (s.get() == Shape || !s->IsFloating() || s->IsRemoved() || (s->Layer == 3) != header) continue;
    if (undoing && s->Props.ZOrder >= Shape->Props.ZOrder) ++s->Props.ZOrder;
    else if (!undoing && s->Props.ZOrder > Shape->Props.ZOrder) --s->Props.ZOrder;
  }
}

void TChangeShapeZOrderOperation::Undo() {
  if (Shape == nullptr) return;
  SwapShapeZOrder(*Doc, *Shape, ZOrder);
  const int32_t par = AnchorParOf(Shape);
  if (ValidPar(*Doc, par)) RelayoutParagraph(*Doc, par);
}

std::unique_ptr<TObjectEditServices> MakeObjectEditServices() {
  return std::make_unique<TEngineObjectEditServices>();
}

}  // namespace qv
