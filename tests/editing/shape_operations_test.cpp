// Shapes added to documents, ordered, formatted, made floating and inline again, each edit
// undone and redone exactly.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "object_edit_support.h"

using namespace qv;

namespace {

using W = TShapeProps::TWrapStyle;

TShape* AddFloating(TDoc& doc, int32_t z, uint8_t layer = 0) {
  auto s = std::make_unique<TShape>(&doc);
  s->Props.WrapStyle = W::Square;
  s->Props.ZOrder = z;
  s->Layer = layer;
  return doc.AddShape(std::move(s));
}

void FormatShapes(TDoc& doc, std::vector<TShape*> shapes, uint8_t mode, const void* data) {
  void* args[3] = {&shapes, &mode, const_cast<void*>(data)};
  doc.ExecuteEdit(85, args, 2);
}

std::vector<int32_t> ZOrders(const std::vector<TShape*>& shapes) {
  std::vector<int32_t> z;
  for (const TShape* s : shapes) z.push_back(s->Props.ZOrder);
  return z;
}

TEST(ShapeOperations, ZOrderChangesUndoAndRedo) {
  TObjectEngineScope engine;
  struct Case {
    int target;  // A, B or C
    uint8_t direction;
    std::vector<int32_t> want;
  } cases[] = {
      {0, 0, {1, 0, 2}},  // bring A forward
      {2, 3, {1, 2, 0}},  // send C to back
      {0, 2, {2, 0, 1}},  // bring A to front
      {2, 1, {0, 2, 1}},  // send C backward
      {2, 0, {0, 1, 2}},  // the top one cannot go further: nothing recorded
      {0, 1, {0, 1, 2}},
  };
  for (const Case& c : cases) {
    TDoc doc(true);
    std::vector<TShape*> abc = {AddFloating(doc, 0), AddFloating(doc, 1), AddFloating(doc, 2)};
    const std::string before = DumpAll(doc);
    FormatShapes(doc, {abc[static_cast<size_t>(c.target)]}, 4, &c.direction);
    EXPECT_EQ(ZOrders(abc), c.want) << c.target << "/" << int{c.direction};
    const std::string after = DumpAll(doc);
    doc.Undo();
    EXPECT_EQ(DumpAll(doc), before);
    doc.Redo();
    EXPECT_EQ(DumpAll(doc), after);
  }
}

TEST(ShapeOperations, LayersCountApart) {
  TObjectEngineScope engine;
  TDoc doc(true);
  AddFloating(doc, 0);
  AddFloating(doc, 0, 3);
  AddFloating(doc, 1, 3);
  EXPECT_EQ(doc.NextZOrder(0), 1);
  EXPECT_EQ(doc.NextZOrder(3), 2);
  doc.SortShapesByZOrder();
  EXPECT_EQ(doc.Shapes.front()->Layer, 3);
  auto inlineShape = std::make_unique<TShape>(&doc);
  inlineShape->Props.ZOrder = 7;  // inline shapes take no part
  doc.AddShape(std::move(inlineShape));
  EXPECT_EQ(doc.NextZOrder(0), 1);
}

TEST(ShapeOperations, RemovingFromTheZOrderClosesTheGapAndUndoRestoresIt) {
  TObjectEngineScope engine;
  TDoc doc(true);
  std::vector<TShape*> s = {AddFloating(doc, 0), AddFloating(doc, 1), AddFloating(doc, 2), AddFloating(doc, 0, 3)};
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 36);
  doc.BeginOperation(op.get());
  doc.RemoveShapeFromZOrder(s[1]);
  doc.EndOperation();
  doc.CommitOperation(std::move(op));
  EXPECT_EQ(ZOrders(s), (std::vector<int32_t>{0, 1, 1, 0}));
  doc.Undo();
  EXPECT_EQ(ZOrders(s), (std::vector<int32_t>{0, 1, 2, 0}));
  doc.Redo();
  EXPECT_EQ(ZOrders(s), (std::vector<int32_t>{0, 1, 1, 0}));
}

// A main text "ab<shape>c" with the shape inline, and the shape.
TShape* InlineShapeDoc(TDoc& doc, int32_t story = stMain) {
  SetMainText(doc, {"ab", "next"});
  auto shape = std::make_unique<TShape>(&doc);
  shape->Props.PicWidth = 1440;
  shape->Props.PicHeight = 720;
  TShape* s = doc.AddShape(std::move(shape));
  TPar* par = doc.Par(0);
  if (story != stMain) par = doc.AppendParagraph(story, DefaultParFormat);
  par->Content.Clear();
  par->Content.AppendString("ab");
  AppendContentTag(par->Content, ctInlineShape, TagRefOf(s));
  par->Content.AppendString("c");
  AppendContentTag(par->Content, ctSpecialChar, scParagraphEnd);
  par->RebuildCodes();
  par->ContentChanged();
  NormalizeParagraphTags(*par);
  return s;
}

TEST(ShapeOperations, InlineToFloatingAndBackUndoAndRedo) {
  TObjectEngineScope engine;
  TDoc doc(true);
  TShape* shape = InlineShapeDoc(doc);
  ASSERT_EQ(shape->AnchorPar, doc.Par(0));
  ASSERT_EQ(shape->AnchorOffset, 2);
  const std::string before = DumpAll(doc);
  std::vector<TShapeProps> props = {shape->Props};
  props[0].WrapStyle = W::Square;
  props[0].ShapeRect = {0, 0, 1440, 720};
  FormatShapes(doc, {shape}, 0, &props);
  EXPECT_EQ(doc.Par(0)->CharCount(), 4);  // "abc" and the mark: the character went
  ASSERT_NE(shape->AnchorField, nullptr);
  EXPECT_EQ(shape->AnchorField->Kind, fkShapeAnchor);
  EXPECT_EQ(doc.SelectedShapes, std::vector<TShape*>{shape});
  EXPECT_TRUE(shape->IsFloating());
  EXPECT_FALSE(shape->IsRemoved());
  const std::string floating = DumpAll(doc);

  // And back: the picture is a character again where the anchor was.
  props[0].WrapStyle = W::Inline;
  FormatShapes(doc, {shape}, 0, &props);
  EXPECT_EQ(doc.Par(0)->CharCount(), 5);
  EXPECT_EQ(doc.Par(0)->CodeAt(2), scInlineShape);
  EXPECT_TRUE(doc.SelectedShapes.empty());
  EXPECT_FALSE(shape->IsRemoved());
  const std::string back = DumpAll(doc);

  doc.Undo();
  EXPECT_EQ(DumpAll(doc), floating);
  doc.Undo();
  EXPECT_EQ(DumpAll(doc), before);
  doc.Redo();
  EXPECT_EQ(DumpAll(doc), floating);
  doc.Redo();
  EXPECT_EQ(DumpAll(doc), back);
}

TEST(ShapeOperations, ABookmarkEndingAtAPictureKeepsItsEndWhenThePictureFloats) {
  TObjectEngineScope engine;
  TDoc doc(true);
  TShape* shape = InlineShapeDoc(doc);
  // "<ab>" is bookmarked: its end mark stands where the picture's character starts.
  auto mark = std::make_unique<TField>();
  mark->Kind = fkBookmark;
  mark->Instruction = u"ab";
  TField* bookmark = mark.get();
  doc.Fields.push_back(std::move(mark));
  TPar& p = *doc.Par(0);
  TMemory start, end;
  AppendContentTag(start, ctFieldStart, TagRefOf(bookmark));
  AppendContentTag(end, ctFieldEnd, TagRefOf(bookmark));
  p.Content.Insert(end.Data, 2, end.Length);
  p.Content.Insert(start.Data, 0, start.Length);
  p.RebuildCodes();
  p.ContentChanged();
  doc.InvalidateFieldIndex();
  const std::string before = DumpAll(doc);
  std::vector<TShapeProps> props = {shape->Props};
  props[0].WrapStyle = W::Square;
  FormatShapes(doc, {shape}, 0, &props);
  ASSERT_TRUE(shape->IsFloating());
  TDocRange r;
  ASSERT_TRUE(doc.GetFieldRange(bookmark, r));
  EXPECT_EQ(r.Start.Offset, 0);
  EXPECT_EQ(r.End.Offset, 2);
  const std::string floating = DumpAll(doc);
  doc.Undo();
  EXPECT_EQ(DumpAll(doc), before);
  doc.Redo();
  EXPECT_EQ(DumpAll(doc), floating);
}

TEST(ShapeOperations, NoFloatingShapesInNotes) {
  TObjectEngineScope engine;
  TDoc doc(true);
  TShape* shape = InlineShapeDoc(doc, stFootnotes);
  const int32_t par = shape->AnchorPar->Index;
  std::vector<TShapeProps> props = {shape->Props};
  props[0].WrapStyle = W::Square;
  FormatShapes(doc, {shape}, 0, &props);
  EXPECT_FALSE(shape->IsFloating());
  EXPECT_EQ(doc.Par(par)->CodeAt(2), scInlineShape);
}

TEST(ShapeOperations, MoveAndResizeAreRecorded) {
  TObjectEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"one", "two"});
  TShape* shape = AddFloating(doc, 0);
  shape->Props.ShapeRect = {100, 100, 1100, 600};
  shape->Props.SetProp(spPosH, 2);
  const std::string before = DumpAll(doc);
  shape->DragRect = {300, 400, 1300, 900};
  TShapeMove move{0, 0, 0};
  FormatShapes(doc, {shape}, 1, &move);
  EXPECT_EQ(shape->Props.ShapeRect, (std::array<int32_t, 4>{300, 400, 1300, 900}));
  EXPECT_FALSE(shape->Props.HasProp(spPosH));
  shape->DragRect = {kShapePropUnset, 400, kShapePropUnset, 1400};
  FormatShapes(doc, {shape}, 2, nullptr);
  EXPECT_EQ(shape->Props.ShapeRect, (std::array<int32_t, 4>{300, 400, 1300, 1400}));
  doc.Undo();
  doc.Undo();
  EXPECT_EQ(DumpAll(doc), before);
}

TEST(ShapeOperations, CopiesHaveTheirOwnPictureFile) {
  TObjectEngineScope engine;
  TDoc doc(true);
  auto source = std::make_unique<TShape>(&doc);
  const uint8_t bytes[] = {1, 2, 3, 4};
  ASSERT_TRUE(source->Graphic->AttachData(bytes, TDocGraphic::TKind::Png));
  source->Props.ScaleX = 40;
  TShape* a = doc.AddShape(std::move(source));
  TShape* b = doc.CopyShape(*a);
  EXPECT_EQ(b->Props, a->Props);
  EXPECT_NE(b->Graphic->FileName, a->Graphic->FileName);
  EXPECT_EQ(b->Graphic->PictureKind, TDocGraphic::TKind::Png);
  const std::string copyFile = b->Graphic->FileName;
  doc.DeleteShape(b);
  EXPECT_EQ(doc.Shapes.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(copyFile));
  EXPECT_TRUE(std::filesystem::exists(a->Graphic->FileName));
}

TEST(ShapeOperations, HorizontalRulesGetASolidPicture) {
  TShape rule(nullptr);
  rule.Props.SetProp(spPctHR, 1000);
  rule.Props.SetProp(spFillColor, 0x0000FF);
  ASSERT_TRUE(rule.MakeSolidFillPicture());
  EXPECT_EQ(rule.Graphic->PictureKind, TDocGraphic::TKind::Png);
  std::ifstream in(rule.Graphic->FileName, std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), {});
  ASSERT_GT(data.size(), 8u);
  EXPECT_EQ(data.substr(1, 3), "PNG");
}

TEST(ShapeOperations, DeletedCharactersAndAnchorsMarkTheirShapesRemoved) {
  TObjectEngineScope engine;
  TDoc doc(true);
  TShape* shape = InlineShapeDoc(doc);
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 20);
  doc.BeginOperation(op.get());
  EditServices().DeleteContent(doc, TDocRange{{0, 1}, {0, 3}});
  doc.EndOperation();
  doc.CommitOperation(std::move(op));
  EXPECT_TRUE(shape->IsRemoved());
  EXPECT_EQ(doc.Shapes.size(), 1u);  // kept for undo
  doc.Undo();
  EXPECT_FALSE(shape->IsRemoved());
  doc.Redo();
  EXPECT_TRUE(shape->IsRemoved());
}

TEST(ShapeOperations, RecordsRunTwiceRestoreTheDocument) {
  TObjectEngineScope engine;
  TDoc doc(true);
  TShape* a = AddFloating(doc, 0);
  TShape* b = AddFloating(doc, 1);
  auto graphic = std::make_unique<TDocGraphic>(nullptr);
  const uint8_t bytes[] = {9, 9};
  ASSERT_TRUE(graphic->AttachData(bytes, TDocGraphic::TKind::Jpeg));
  TShapeProps props = a->Props;
  props.ScaleX = 50;
  std::vector<std::unique_ptr<TSubOperation>> records;
  records.push_back(std::make_unique<TSelShapesOperation>(doc, std::vector<TShape*>{b}));
  records.push_back(std::make_unique<TChangeShapeGraphicOperation>(doc, a, std::move(graphic)));
  records.push_back(std::make_unique<TFormatShapeOperation>(doc, a, props));
  records.push_back(std::make_unique<TChangeShapeZOrderOperation>(doc, a, 1));
  auto state = [&] {
    return DumpShapes(doc) + " " + a->Graphic->FileName + " " + std::to_string(a->Props.ScaleX) + " " +
           std::to_string(a->Props.ZOrder) + "/" + std::to_string(b->Props.ZOrder);
  };
  for (auto& record : records) {
    const std::string before = state();
    record->Redo();
    const std::string after = state();
    EXPECT_NE(after, before) << record->ClassName();
    doc.SetDocFlag(dfUndoing, true);
    record->Undo();
    doc.SetDocFlag(dfUndoing, false);
    EXPECT_EQ(state(), before) << record->ClassName();
    record->Redo();
    EXPECT_EQ(state(), after) << record->ClassName();
    record->Undo();
  }
}

}  // namespace
