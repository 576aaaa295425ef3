#include <gtest/gtest.h>

#include "document/field.h"
#include "document/selection_fixture.h"
#include "document/selection_flags.h"

namespace {

// A window that shows three paragraphs from `Top`, each 100 pixels high.
struct Window : TSelectionServices {
  int32_t Top = 0;
  int32_t CaretScrolls = 0;
  bool IsRangeVisible(TDoc&, const TDocRange& r) override {
    return r.End.Par >= Top && r.Start.Par < Top + 3;
  }
  plat::Rect ViewRect(TDoc&) override { return {0, Top * 100, 500, Top * 100 + 300}; }
  plat::Rect GetCaretRect(TDoc& doc) override {
    return {0, doc.Caret.Par * 100, 2, doc.Caret.Par * 100 + 20};
  }
  void ScrollCaretIntoView(TDoc& doc, int32_t) override {
    Top = doc.Caret.Par;
    ++CaretScrolls;
  }
  void ScrollTo(TDoc&, plat::Point origin) override { Top = origin.y / 100; }
};

struct SteppingThroughSelections : ::testing::Test {
  TTestDoc t;
  TDoc& doc = t.doc;
  ScopedService<TSelectionServices, Window> window;
  void SetUp() override {
    for (int i = 0; i < 10; ++i) t.Text("line " + std::to_string(i));
  }
  void Select(std::initializer_list<TDocRange> ranges) {
    doc.Selection->SetCount(0);
    for (const TDocRange& r : ranges) doc.Selection->InsertRange(doc.Selection->Count(), r);
  }
};

TEST_F(SteppingThroughSelections, TheNextRangeOutOfViewIsBroughtIn) {
  Select({Range(1, 0, 1, 2), Range(6, 0, 6, 2)});
  doc.Caret = Pos(4, 1);
  EXPECT_FALSE(doc.SelectionFullyInView());
  EXPECT_FALSE(doc.SelectionOutOfView());
  doc.ScrollToNextSelectedItem();
  EXPECT_EQ(window->Top, 6);                   // the range below the window
  EXPECT_TRUE(SamePlace(doc.Caret, Pos(4, 1)));  // the caret is put back
  doc.ScrollToNextSelectedItem();
  EXPECT_EQ(window->Top, 1);                   // none below: the first one above
  EXPECT_FALSE(doc.IsDocFlagSet(dfKeepSelectedShapes));
}

TEST_F(SteppingThroughSelections, NothingMovesWhenEverythingIsInView) {
  Select({Range(0, 0, 0, 2), Range(2, 0, 2, 2)});
  EXPECT_TRUE(doc.SelectionFullyInView());
  doc.ScrollToNextSelectedItem();
  EXPECT_EQ(window->Top, 0);
  EXPECT_EQ(window->CaretScrolls, 0);
}

TEST_F(SteppingThroughSelections, ARangeCutByTheWindowsBottomScrollsDown) {
  Select({Range(1, 0, 5, 2)});
  doc.ScrollToNextSelectedItem();
  EXPECT_EQ(window->Top, 2);  // 90 percent of the 300-pixel view
  EXPECT_EQ(window->CaretScrolls, 0);
}

// Shapes are opaque to the selection: these stand for them.
struct FakeShape {
  int wrap;
};

struct Shapes : TSelectionServices {
  std::vector<TShape*> All;
  int32_t Redraws = 0;
  std::vector<TShape*> DocumentShapes(TDoc&) override { return All; }
  int32_t ShapeWrapKind(const TShape* s) override {
    return reinterpret_cast<const FakeShape*>(s)->wrap;
  }
  void ScheduleRedraw(TDoc&, int32_t) override { ++Redraws; }
};

TEST(SelectedShapes, FloatingShapesWrapEditingAndLockedRanges) {
  static FakeShape inlineShape{0}, floating{4};
  TShape* const in = reinterpret_cast<TShape*>(&inlineShape);
  TShape* const out = reinterpret_cast<TShape*>(&floating);
  ScopedService<TSelectionServices, Shapes> shapes;
  TTestDoc t;
  t.Text("text");
  TDoc& doc = t.doc;

  shapes->All = {in};
  EXPECT_FALSE(doc.HasFloatingShapes());
  shapes->All = {in, out};
  EXPECT_FALSE(doc.HasFloatingShapes());  // the answer is kept until the next edit
  doc.SetDocFlag(dfFloatingShapesKnown, false);
  EXPECT_TRUE(doc.HasFloatingShapes());

  // A wrap outline is edited only on a selected shape with an editable outline.
  doc.SelectedShapes = {out};
  doc.WrapEditShape = out;
  doc.ValidateWrapEditShape();
  EXPECT_EQ(doc.WrapEditShape, out);
  // A text selection drops the shape selection and with it the wrap editing.
  doc.SetSelection(0, 0, 0, 2);
  EXPECT_TRUE(doc.SelectedShapes.empty());
  EXPECT_EQ(doc.WrapEditShape, nullptr);
  EXPECT_GE(shapes->Redraws, 1);
  doc.SelectedShapes = {out};
  doc.SetScopedFlag(dfKeepSelectedShapes);
  doc.SetSelection(0, 1, 0, 3);
  doc.RestoreScopedFlag();
  EXPECT_EQ(doc.SelectedShapes.size(), 1u);

  // Locked ranges are painted through the selection's machinery.
  EXPECT_FALSE(doc.HasLockedRanges());
  auto locked = std::make_unique<TField>();
  locked->Kind = fkLockedSelection;
  doc.Fields.push_back(std::move(locked));
  EXPECT_TRUE(doc.HasLockedRanges());
  doc.SetScopedFlag(dfPreview);
  EXPECT_FALSE(doc.HasLockedRanges());
  doc.RestoreScopedFlag();
  const uint32_t selectionColor = doc.SelectionColor;
  TCompoundFragment* selection = doc.Selection.get();
  doc.SwapLockedRanges();
  EXPECT_NE(doc.Selection.get(), selection);
  EXPECT_EQ(doc.LockedRangeColor, selectionColor);
  EXPECT_TRUE(doc.IsDocFlagSet(dfPaintingLockedRanges));
  doc.SwapLockedRanges();
  EXPECT_EQ(doc.Selection.get(), selection);
  EXPECT_FALSE(doc.IsDocFlagSet(dfPaintingLockedRanges));
}

TEST(SelectionInCells, ParagraphsOfOneCellAreNotWidened) {
  TTestDoc t;
  t.Add(TStreamBuilder().Text("x").End(), stMain, true);                // cell 1, first paragraph
  t.Add(TStreamBuilder().Text("y").Tag(ctCellEnd, 0), stMain, true);   // cell 1 ends
  t.Add(TStreamBuilder().Text("z").Tag(ctCellEnd, 0), stMain, true);   // cell 2
  t.Add(TStreamBuilder().Tag(ctRowEnd, 0), stMain, true);
  t.Text("after");
  TDoc& doc = t.doc;
  doc.SetSelection(0, 0, 1, 1);
  EXPECT_EQ(Describe(*doc.Selection), "(0,0)-(1,1)");
  doc.SetScopedFlag(dfSelectTableAsRows);
  doc.SetSelection(0, 1, 1, 1);
  EXPECT_EQ(Describe(*doc.Selection), "(0,1)-(1,1)");
  doc.RestoreScopedFlag();
  doc.SetSelection(0, 1, 2, 1);  // into the next cell: both cells whole
  EXPECT_EQ(Describe(*doc.Selection), "(0,0)-(2,2)");
}

}  // namespace
