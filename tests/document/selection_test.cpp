#include <gtest/gtest.h>

#include "document/doc_builder.h"
#include "document/table_row.h"
#include "document/selection_fixture.h"
#include "document/selection_flags.h"
#include "document/shape_binding.h"

namespace {

// "abc", "defg", "hi", "jk": lengths 4, 5, 3, 3 with their marks.
struct SelectionModel : ::testing::Test {
  TTestDoc t;
  TDoc& doc = t.doc;
  void SetUp() override {
    for (const char* text : {"abc", "defg", "hi", "jk"}) t.Text(text);
  }
};

TEST_F(SelectionModel, RangeEndsArePlacedCanonically) {
  struct Case {
    int32_t sp, so, ep, eo;
    const char* selected;
  } cases[] = {
      {0, 4, 2, 0, "(1,0)-(1,5)"},   // after a mark to offset 0: the paragraphs in between
      {2, 1, 0, 1, "(0,1)-(2,1)"},   // ends given in reverse
      {1, 3, 1, 1, "(1,1)-(1,3)"},   // offsets given in reverse
      {1, 99, 3, 99, "(2,0)-(3,3)"}, // offsets clamped to the paragraphs
      {3, 3, 3, 3, "(0,0)-(0,0)"},   // empty: stored zero-filled
  };
  for (const Case& c : cases) {
    doc.SetSelection(c.sp, c.so, c.ep, c.eo);
    EXPECT_EQ(Describe(*doc.Selection), c.selected) << c.sp << "," << c.so;
  }
}

TEST_F(SelectionModel, AnchorFollowsTheFirstPositionGivenUnlessItLiesInside) {
  doc.SetSelection(2, 1, 0, 1);
  EXPECT_TRUE(SamePlace(doc.SelectionAnchor, Pos(2, 1)));
  doc.SetSelection(0, 0, 3, 2);  // the anchor (2,1) lies inside: it stays
  EXPECT_TRUE(SamePlace(doc.SelectionAnchor, Pos(2, 1)));
  doc.SetSelection(3, 0, 3, 2);  // outside now: the new start
  EXPECT_TRUE(SamePlace(doc.SelectionAnchor, Pos(3, 0)));

  doc.Caret = Pos(1, 2);
  doc.ClearSelection();
  EXPECT_EQ(Describe(*doc.Selection), "(0,0)-(0,0)");
  EXPECT_TRUE(SamePlace(doc.Caret, Pos(1, 2)));
  EXPECT_FALSE(doc.HasSelection());
}

// Without a selection (stored zero-filled) the caret is the start: it stays, and so it does not
// leave a header being edited or jump to the document's start.
TEST_F(SelectionModel, TheCaretGoesToTheSelectionStartOnlyWhenThereIsOne) {
  doc.SetSelection(1, 1, 2, 1);
  doc.Caret = Pos(2, 1);
  doc.CaretToSelectionStart();
  EXPECT_TRUE(SamePlace(doc.Caret, Pos(1, 1)));
  EXPECT_TRUE(SamePlace(doc.SelectionAnchor, Pos(1, 1)));
  doc.SetSelection(3, 1, 3, 1);  // empty
  ASSERT_FALSE(doc.HasSelection());
  doc.Caret = Pos(3, 1);
  doc.CaretToSelectionStart();
  EXPECT_TRUE(SamePlace(doc.Caret, Pos(3, 1)));
  EXPECT_TRUE(SamePlace(doc.SelectionAnchor, Pos(3, 1)));
}

TEST_F(SelectionModel, MultipleSelectionsStaySortedAndMerged) {
  doc.SetSelection(2, 0, 2, 2);
  doc.SaveSelectionBase();
  doc.SetSelection(0, 1, 0, 3, TDoc::ssAddToBase);
  EXPECT_EQ(Describe(*doc.Selection), "(0,1)-(0,3) (2,0)-(2,2)");
  EXPECT_FALSE(doc.IsSelectionContiguous());

  doc.SaveSelectionBase();
  doc.SetSelection(0, 2, 1, 1, TDoc::ssAddToBase);  // overlaps the first range
  EXPECT_EQ(Describe(*doc.Selection), "(0,1)-(1,1) (2,0)-(2,2)");

  doc.SaveSelectionBase();
  doc.SetSelection(1, 1, 2, 0, TDoc::ssAddToBase);  // fills the gap up to the next paragraph
  EXPECT_EQ(Describe(*doc.Selection), "(0,1)-(2,2)");
  EXPECT_TRUE(doc.IsSelectionContiguous());

  doc.SetSelection(3, 0, 3, 1);  // a plain selection ends the multiple selection
  EXPECT_EQ(Describe(*doc.Selection), "(3,0)-(3,1)");
  EXPECT_TRUE(IsFragmentEmpty(doc.SelectionBase));
}

TEST_F(SelectionModel, InversionSelectsTheGapsOfTheStory) {
  doc.SetSelection(1, 1, 1, 3);
  doc.InvertSelection();
  EXPECT_EQ(Describe(*doc.Selection), "(0,0)-(1,1) (1,3)-(3,3)");
  doc.SelectAll();
  EXPECT_EQ(Describe(*doc.Selection), "(0,0)-(3,3)");
  doc.InvertSelection();
  EXPECT_EQ(Describe(*doc.Selection), "(0,0)-(0,0)");
  EXPECT_FALSE(doc.HasSelection());
}

TEST_F(SelectionModel, AnchorSnapsToTheNearerEnd) {
  doc.SetSelection(0, 0, 3, 2);
  struct Case {
    TDocPosition anchor, snapped;
  } cases[] = {
      {Pos(1, 0), Pos(0, 0)},  // one paragraph from the start, two from the end
      {Pos(2, 0), Pos(3, 2)},
      {Pos(0, 0), Pos(0, 0)},  // already an end
  };
  for (const Case& c : cases) {
    doc.SelectionAnchor = c.anchor;
    doc.SnapAnchorToSelection();
    EXPECT_TRUE(SamePlace(doc.SelectionAnchor, c.snapped)) << c.anchor.Par;
  }
}

TEST_F(SelectionModel, RepaintCoversOnlyWhatChanged) {
  ScopedService<TSelectionServices, TRecordingSelectionServices> rec;
  doc.SetSelection(1, 1, 1, 3);
  doc.SetSelection(1, 1, 1, 4);
  doc.SetSelection(1, 2, 1, 4);
  doc.SetScopedFlag(dfNoSelectionRepaint);
  doc.SetSelection(0, 0, 0, 1);
  doc.RestoreScopedFlag();
  EXPECT_EQ(rec->Repaints,
            (std::vector<std::string>{"(1,1)-(1,3)", "(1,3)-(1,4)", "(1,1)-(1,2)"}));
  // Nothing selected and no shapes: the selection is both wholly in view and wholly out of it.
  doc.ClearSelection();
  EXPECT_TRUE(doc.SelectionFullyInView());
  EXPECT_TRUE(doc.SelectionOutOfView());
}

// "before"; two rows of cells a, b, c; "after".
struct TableSelection : ::testing::Test {
  TTestDoc t;
  TDoc& doc = t.doc;
  void SetUp() override {
    t.Text("before");           // 0
    t.Row({"a1", "b1", "c1"});  // 1 2 3, row end 4
    t.Row({"a2", "b2", "c2"});  // 5 6 7, row end 8
    t.Text("after");            // 9
  }
};

TEST_F(TableSelection, CrossingCellsSelectsWholeCells) {
  struct Case {
    int32_t sp, so, ep, eo;
    bool asRows;
    const char* selected;
  } cases[] = {
      // From inside one cell into another: the block of cells between them, row by row.
      {1, 1, 6, 1, false, "(1,0)-(2,3) (5,0)-(6,3)"},
      {6, 1, 1, 1, false, "(1,0)-(2,3) (5,0)-(6,3)"},
      {2, 1, 7, 1, false, "(2,0)-(3,3) (6,0)-(7,3)"},
      // The Select Table mode: whole rows.
      {1, 1, 6, 1, true, "(1,0)-(8,1)"},
      // Reaching into the table from outside: through the end of the whole row.
      {0, 2, 6, 1, false, "(0,2)-(8,1)"},
      {6, 1, 9, 2, false, "(5,0)-(9,2)"},
      // A range up to a cell's end covers the cell; inside a cell nothing widens.
      {1, 1, 1, 3, false, "(1,0)-(1,3)"},
      {2, 0, 2, 1, false, "(2,0)-(2,1)"},
      // A whole table is left as one range.
      {1, 0, 8, 1, false, "(1,0)-(8,1)"},
  };
  for (const Case& c : cases) {
    if (c.asRows) doc.SetScopedFlag(dfSelectTableAsRows);
    doc.SetSelection(c.sp, c.so, c.ep, c.eo);
    if (c.asRows) doc.RestoreScopedFlag();
    EXPECT_EQ(Describe(*doc.Selection), c.selected)
        << c.sp << "," << c.so << " - " << c.ep << "," << c.eo;
  }
}

TEST_F(TableSelection, EndsStayInTheirCells) {
  // A start after the last mark of a cell stays in that cell.
  int32_t sp = 1, so = 3, ep = 2, eo = 2;
  doc.AdjustRangeEnds(sp, so, ep, eo, 1);
  EXPECT_EQ(sp, 1);
  EXPECT_EQ(so, 3);
  // An end at offset 0 of a table paragraph stays there with the cell flag, and moves back
  // without it.
  sp = 1, so = 1, ep = 2, eo = 0;
  doc.AdjustRangeEnds(sp, so, ep, eo, 1);
  EXPECT_EQ(ep, 2);
  doc.AdjustRangeEnds(sp, so, ep, eo, 0);
  EXPECT_EQ(ep, 1);
  EXPECT_EQ(eo, 3);
}

TEST_F(TableSelection, SplittingAtCellsAndSelectionRepaint) {
  TFragmentRef f = AcquireFragment();
  f->SetSingleRange(0, 2, 6, 1);
  doc.SplitFragmentsAtCells(*f);
  EXPECT_EQ(Describe(*f), "(0,2)-(0,7) (1,0)-(1,3) (2,0)-(2,3) (3,0)-(3,3) (4,0)-(4,1) "
                          "(5,0)-(5,3) (6,0)-(6,1)");

  ScopedService<TSelectionServices, TRecordingSelectionServices> rec;
  doc.SetSelection(1, 0, 1, 1);  // inside a cell: only the change
  doc.SetSelection(1, 0, 1, 3);  // reaches the cell-end mark: the whole view
  EXPECT_EQ(rec->Repaints, (std::vector<std::string>{"(1,0)-(1,1)", "all"}));
}

TEST_F(SelectionModel, CollapsedTextIsLeftOutButPaintedAsSelected) {
  struct Collapsed : TSelectionServices {
    int32_t UpdateCollapsedRanges(TDoc&) override { return 1; }
    std::vector<std::pair<int32_t, int32_t>> CollapsedRanges(TDoc&) override { return {{2, 2}}; }
  };
  ScopedService<TSelectionServices, Collapsed> services;
  doc.SetSelection(1, 0, 3, 2);
  EXPECT_EQ(Describe(*doc.Selection), "(1,0)-(1,5) (3,0)-(3,2)");
  EXPECT_EQ(Describe(*doc.VisibleSelection), "(1,0)-(3,2)");

  TFragmentRef f = AcquireFragment();
  f->SetSingleRange(0, 0, 1, 5);  // whole paragraphs up to the collapsed one
  EXPECT_TRUE(doc.ExtendOverCollapsedText(*f));
  EXPECT_EQ(Describe(*f), "(0,0)-(2,3)");
}

TEST_F(SelectionModel, AllOfTheSelectionHiddenLeavesTheCaretsFormats) {
  struct Collapsed : TSelectionServices {
    int32_t UpdateCollapsedRanges(TDoc&) override { return 1; }
    std::vector<std::pair<int32_t, int32_t>> CollapsedRanges(TDoc&) override { return {{2, 2}}; }
  };
  ScopedService<TSelectionServices, Collapsed> services;
  doc.Par(0)->Format.Alignment = 0;
  doc.Par(1)->Format.Alignment = 2;
  doc.Caret = Pos(1, 1);
  doc.SetSelection(2, 0, 2, 3);  // only hidden text
  EXPECT_FALSE(doc.HasSelection());
  EXPECT_EQ(GetParFormatProp(doc.CurParFormat, ppAlignment), 2);  // the caret's paragraph
}

TEST(SelectionSurrogates, NoSelectionEndFallsInsideAPair) {
  TTestDoc t;
  // "a", U+1F600 as its two halves, "b".
  t.Add(TStreamBuilder().Text("a").Tag(ctWideChar, 0xD83D).Tag(ctWideChar, 0xDE00).Text("b").End());
  TDoc& doc = t.doc;
  doc.SetSelection(0, 0, 0, 2);
  EXPECT_EQ(Describe(*doc.Selection), "(0,0)-(0,3)");
  doc.SetSelection(0, 2, 0, 4);
  EXPECT_EQ(Describe(*doc.Selection), "(0,1)-(0,4)");
  doc.SetSelection(0, 2, 0, 2);
  EXPECT_FALSE(doc.HasSelection());
}

// Shapes are opaque to the selection: these stand for them.
struct FakeShape {
  int id;
};

TEST_F(SelectionModel, SelectedShapesCountInlinePicturesRulesAndFloatingShapes) {
  static FakeShape picture1{1}, picture2{2}, rule{3}, floating{4};
  struct Rules : TShapeBinding {
    bool IsHorizontalRule(const TShape* s) const override {
      return s == reinterpret_cast<const TShape*>(&rule);
    }
  };
  ScopedService<TShapeBinding, Rules> rules;
  t.Add(TStreamBuilder()
            .Ref(ctInlineShape, reinterpret_cast<const TShape*>(&picture1))
            .Text("x")
            .Ref(ctInlineShape, reinterpret_cast<const TShape*>(&rule))
            .Ref(ctInlineShape, reinterpret_cast<const TShape*>(&picture2))
            .End());  // paragraph 4
  doc.SetSelection(4, 0, 4, 5);
  doc.SelectedShapes.push_back(reinterpret_cast<TShape*>(&floating));
  std::vector<TShape*> list;
  EXPECT_EQ(doc.GetSelectedShapes(&list, nullptr, 1), 3);
  EXPECT_EQ(list.size(), 3u);
  TFragmentRef f = AcquireFragment();
  EXPECT_EQ(doc.GetSelectedShapes(nullptr, f.get(), 2), 1);
  EXPECT_EQ(Describe(*f), "(4,2)-(4,3)");
  EXPECT_FALSE(doc.IsInlineShapeSelected());
  doc.SetSelection(4, 0, 4, 1);
  EXPECT_TRUE(doc.IsInlineShapeSelected());
  EXPECT_EQ(doc.GetShapeAt(Pos(4, 3)), reinterpret_cast<TShape*>(&picture2));
}

}  // namespace

// Cell blocks follow the rows' own cell boundaries, not the cells' indexes: a block from the wide
// middle cell of the first row down to the second row takes every cell of that row that lies
// under the span.
TEST(TableSelectionGeometry, BlocksFollowTheRowsCellBoundaries) {
  TDoc doc(true);
  TDocBuilder b(doc);
  b.Add("before");                                 // 0
  TTableRow* first = b.Row({"a1", "b1", "c1"});   // 1 2 3, row end 4
  TTableRow* second = b.Row({"a2", "b2", "c2"});  // 5 6 7, row end 8
  b.Add("after");                                  // 9
  b.Finish();
  const int32_t rights1[] = {1000, 5000, 6000}, rights2[] = {3000, 4000, 6000};
  for (size_t i = 0; i < 3; ++i) {
    first->Cells[i].Right = rights1[i];
    second->Cells[i].Right = rights2[i];
  }
  ASSERT_EQ(doc.Par(4)->CharCount(), 1);
  // From b1 (1000..5000) to a2 (0..3000): the span 0..5000 takes a1 and b1, and a2, b2 and c2
  // (whose left edge, 4000, lies inside it).
  doc.SetSelection(2, 1, 5, 1);
  EXPECT_EQ(Describe(*doc.Selection), "(1,0)-(2,3) (5,0)-(7,3)");
}
