// Floating shapes leaving with the text: the shapes anchored in paragraphs that a deletion
// removes whole, and the selected shapes of a deletion that takes them; the z-order closes up
// and undo brings shapes, numbers and the shape selection back exactly.
#include <gtest/gtest.h>

#include "../object_edit_support.h"
#include "document/field.h"
#include "ops_test_support.h"

using namespace qv;

namespace {

// A floating shape of the layer with the z-order, anchored at the start of the paragraph.
TShape* AnchoredShape(TDoc& doc, int32_t par, int32_t z, uint8_t layer = 0) {
  auto s = std::make_unique<TShape>(&doc);
  s->Props.WrapStyle = TShapeProps::TWrapStyle::Square;
  s->Props.ZOrder = z;
  s->Layer = layer;
  TShape* shape = doc.AddShape(std::move(s));
  auto anchor = std::make_unique<TField>();
  anchor->Kind = fkShapeAnchor;
  anchor->Shape = shape;
  shape->AnchorField = doc.InsertFieldMarks(std::move(anchor), {Pos(par, 0), Pos(par, 0)});
  return shape;
}

// Each shape's z-order number ("-" when removed), then the count of selected shapes.
std::string ShapeState(const TDoc& doc, const std::vector<TShape*>& shapes) {
  std::string s;
  for (const TShape* x : shapes) s += (x->IsRemoved() ? "-" : std::to_string(x->Props.ZOrder)) + " ";
  return s + "sel" + std::to_string(doc.SelectedShapes.size());
}

struct ShapeDeletion : ::testing::Test {
  TObjectEngineScope objects;
  OpsScope ops;
  TDoc doc{true};

  TShape* Anchored(int32_t par, int32_t z) { return AnchoredShape(doc, par, z); }
  std::string State(const std::vector<TShape*>& shapes) { return ShapeState(doc, shapes); }
};

TEST_F(ShapeDeletion, ShapesAnchoredInWhollyDeletedParagraphsGoWithThem) {
  SetMainText(doc, {"one", "two", "three"});
  const std::vector<TShape*> shapes = {Anchored(1, 0), Anchored(2, 1), Anchored(0, 2)};
  doc.SelectedShapes = {shapes[0]};
  Caret(doc, 0, 0);
  const std::string before = DumpAll(doc);
  DeleteRange(doc, {Pos(1, 0), Pos(2, 0)});
  EXPECT_EQ(MainText(doc), "one/three");
  EXPECT_EQ(State(shapes), "- 0 1 sel0");
  const std::string after = DumpAll(doc);
  doc.Undo();
  EXPECT_EQ(DumpAll(doc), before);
  doc.Redo();
  EXPECT_EQ(DumpAll(doc), after);

  // A deletion inside the paragraph keeps its shape.
  doc.Undo();
  DeleteRange(doc, {Pos(1, 1), Pos(1, 3)});
  EXPECT_FALSE(shapes[0]->IsRemoved());
  EXPECT_EQ(shapes[2]->Props.ZOrder, 2);
}

TEST_F(ShapeDeletion, SelectedShapesGoAndUndoSelectsThemAgain) {
  SetMainText(doc, {"one", "two"});
  const std::vector<TShape*> shapes = {Anchored(0, 0), Anchored(1, 1), Anchored(1, 2)};
  doc.SelectedShapes = {shapes[0], shapes[2]};
  Caret(doc, 0, 0);
  const std::string before = DumpAll(doc);
  DeleteRange(doc, {Pos(0, 0), Pos(0, 0)}, idfSelectedShapes);
  EXPECT_EQ(MainText(doc), "one/two");
  EXPECT_EQ(State(shapes), "- 0 - sel0");
  const std::string after = DumpAll(doc);
  doc.Undo();
  EXPECT_EQ(DumpAll(doc), before);
  EXPECT_EQ(State(shapes), "0 1 2 sel2");
  doc.Redo();
  EXPECT_EQ(DumpAll(doc), after);

  // Without owning the objects only the selection is recorded: the shapes stay.
  doc.Undo();
  DeleteRange(doc, {Pos(0, 0), Pos(0, 0)}, idfSelectedShapes | idfKeepObjects);
  EXPECT_EQ(State(shapes), "0 1 2 sel2");
}

TEST(ShapeAnchors, RemovingAnAnchorFieldTakesItsShapeOutOfTheZOrder) {
  struct Case {
    const char* name;
    size_t removed;    // the shape whose anchor field is removed
    const char* want;  // the z-order numbers afterwards
  } cases[] = {
      {"the shapes above close up", 1, "0 - 1 2 0 sel0"},
      {"the lowest: every other moves down", 0, "- 0 1 2 0 sel0"},
      {"the highest: nothing moves", 3, "0 1 2 - 0 sel0"},
      {"a header shape leaves the body's numbers alone", 4, "0 1 2 3 - sel0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TObjectEngineScope objects;
    OpsScope ops;
    TDoc doc(true);
    SetMainText(doc, {"one", "two"});
    const std::vector<TShape*> shapes = {AnchoredShape(doc, 0, 0), AnchoredShape(doc, 1, 1),
                                         AnchoredShape(doc, 1, 2), AnchoredShape(doc, 0, 3),
                                         AnchoredShape(doc, 0, 0, 3)};
    Caret(doc, 0, 0);
    const std::string before = DumpAll(doc);
    std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 0);
    doc.BeginOperation(op.get());
    doc.RemoveField(shapes[c.removed]->AnchorField);
    doc.EndOperation();
    doc.PostEditUpdate();
    doc.CommitOperation(std::move(op));
    EXPECT_EQ(ShapeState(doc, shapes), c.want);
    const std::string after = DumpAll(doc);
    doc.Undo();
    EXPECT_EQ(DumpAll(doc), before);
    doc.Redo();
    EXPECT_EQ(DumpAll(doc), after);
  }
}

}  // namespace
