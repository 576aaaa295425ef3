#include <gtest/gtest.h>

#include "document/field.h"
#include "document/selection_fixture.h"
#include "document/selection_tables.h"
#include "document/styles.h"

namespace {

// Main text 0-1, a footnote 2-3 (its note field ends after the last mark), an endnote 4,
// a header 5.
struct Stories : ::testing::Test {
  TTestDoc t;
  TDoc& doc = t.doc;
  TField footnote, endnote;
  void SetUp() override {
    footnote.Kind = fkNoteText;
    endnote.Kind = fkNoteText;
    endnote.NoteClass = 1;
    t.Text("main one");
    t.Text("main two");
    t.Add(TStreamBuilder().Ref(ctFieldStart, &footnote).Text("first").End(), stFootnotes);
    t.Add(TStreamBuilder().Text("second").End().Ref(ctFieldEnd, &footnote), stFootnotes);
    t.Add(TStreamBuilder().Ref(ctFieldStart, &endnote).Text("end").End().Ref(ctFieldEnd, &endnote),
          stEndnotes);
    t.Text("header", stHeadersFooters);
  }
  void Select(std::initializer_list<TDocRange> ranges) {
    doc.Selection->SetCount(0);
    for (const TDocRange& r : ranges) doc.Selection->InsertRange(doc.Selection->Count(), r);
  }
};

TEST_F(Stories, StoryRanges) {
  TDocRange r;
  doc.GetWholeDocRange(r);
  EXPECT_TRUE(SameRange(r, Range(0, 0, 5, 7)));
  doc.GetMainTextRange(r);
  EXPECT_TRUE(SameRange(r, Range(0, 0, 1, 9)));
  doc.GetTextAndNotesRange(r);
  EXPECT_TRUE(SameRange(r, Range(0, 0, 4, 4)));
  doc.Caret = Pos(3, 1);
  doc.GetCurrentStoryRange(r);
  EXPECT_TRUE(SameRange(r, Range(2, 0, 3, 7)));

  TFragmentRef f = AcquireFragment();
  doc.GetTextStoriesFragment(*f);
  EXPECT_EQ(Describe(*f), "(0,0)-(1,9) (2,0)-(3,7) (4,0)-(4,4)");

  std::vector<TField*> notes;
  doc.ListNotesOfStory(notes, stFootnotes);
  EXPECT_EQ(notes, std::vector<TField*>{&footnote});
  doc.ListNotesOfStory(notes, stEndnotes);
  EXPECT_EQ(notes, std::vector<TField*>{&endnote});
}

TEST(StoryRanges, TextStoriesLeaveOutEmptyStories) {
  TTestDoc t;
  t.Text("text");
  t.Text("endnote", stEndnotes);
  TFragmentRef f = AcquireFragment();
  t.doc.GetTextStoriesFragment(*f);
  EXPECT_EQ(Describe(*f), "(0,0)-(0,5) (1,0)-(1,8)");
}

TEST_F(Stories, StoryOfTheSelection) {
  doc.Caret = Pos(4, 0);
  EXPECT_FALSE(doc.HasSelection());
  EXPECT_EQ(doc.GetSelectionStory(), stEndnotes);
  EXPECT_TRUE(doc.SelectionInNotes());
  Select({Range(0, 0, 0, 2), Range(2, 0, 2, 2), Range(1, 0, 1, 2)});
  EXPECT_EQ(doc.GetSelectionStory(), 255);
  EXPECT_FALSE(doc.IsSingleFragmentSelection());
  EXPECT_TRUE(doc.IsPositionSelected(Pos(2, 1)));
  EXPECT_FALSE(doc.IsPositionSelected(Pos(2, 2)));
  Select({Range(4, 0, 4, 1), Range(4, 2, 4, 3)});
  EXPECT_EQ(doc.GetSelectionStory(), stEndnotes);
  Select({Range(0, 0, 0, 2)});
  EXPECT_FALSE(doc.SelectionInNotes());
  EXPECT_TRUE(doc.IsSingleFragmentSelection());
}

TEST_F(Stories, NoteEndMarks) {
  // Inside the footnote up to its final paragraph mark, then over it.
  EXPECT_FALSE(doc.RangeHasNoteEndMark(Range(3, 0, 3, 6)));
  EXPECT_TRUE(doc.RangeHasNoteEndMark(Range(3, 0, 3, 7)));
  EXPECT_FALSE(doc.RangeHasNoteEndMark(Range(2, 0, 2, 6)));  // a mark, but not the note's last
  EXPECT_FALSE(doc.RangeHasNoteEndMark(Range(0, 0, 1, 9)));  // main text
  EXPECT_TRUE(doc.IsNoteEndAt(Pos(3, 6)));
  EXPECT_FALSE(doc.IsNoteEndAt(Pos(3, 5)));
  Select({Range(4, 1, 4, 4)});
  EXPECT_TRUE(doc.SelectionHasNoteEndMark());
  // The footnote spans two paragraphs: a range through one of them cuts it.
  EXPECT_TRUE(doc.RangeCutsMultiParField(Range(2, 1, 2, 3)));
  EXPECT_FALSE(doc.RangeCutsMultiParField(Range(4, 1, 4, 2)));
}

TEST_F(Stories, SpecialCharactersAndHeadings) {
  EXPECT_FALSE(doc.RangeHasSpecialChars(Range(0, 0, 0, 8)));
  EXPECT_TRUE(doc.RangeHasSpecialChars(Range(0, 0, 0, 9)));  // the paragraph mark
  EXPECT_TRUE(doc.RangeHasSpecialChars(Range(0, 5, 1, 2)));

  doc.Styles->AddNew().BuiltIn = bsNormal;  // the style of every other paragraph
  TStyle& heading = doc.Styles->AddNew();
  heading.BuiltIn = 1;
  doc.Par(1)->Format.Style = static_cast<int16_t>(doc.Styles->Count() - 1);
  doc.Caret = Pos(1, 0);
  EXPECT_TRUE(doc.SelectionHasHeadings());  // nothing selected: the caret's paragraph
  Select({Range(0, 0, 0, 3)});
  EXPECT_FALSE(doc.SelectionHasHeadings());
  EXPECT_FALSE(doc.IsParagraphWhollySelected(0));
  Select({Range(0, 0, 0, 8)});
  EXPECT_FALSE(doc.IsParagraphWhollySelected(0));  // stops before the mark
  Select({Range(0, 0, 1, 0)});
  EXPECT_TRUE(doc.IsParagraphWhollySelected(0));  // reaches into the next paragraph
  Select({Range(0, 0, 0, 9)});
  EXPECT_TRUE(doc.IsParagraphWhollySelected(0));
  TFragmentRef f = doc.GetSelectionFragment();
  EXPECT_EQ(Describe(*f), "(0,0)-(0,9)");
  doc.Selection->Clear();
  doc.Caret = Pos(1, 3);
  f = doc.GetSelectionFragment();
  EXPECT_EQ(Describe(*f), "(1,0)-(1,9)");
}

// "before"; two rows of cells a, b, c; "after".
struct TableQueries : ::testing::Test {
  TTestDoc t;
  TDoc& doc = t.doc;
  void SetUp() override {
    t.Text("before");
    t.Row({"a1", "b1", "c1"});  // 1 2 3, row end 4
    t.Row({"a2", "b2", "c2"});  // 5 6 7, row end 8
    t.Text("after");            // 9
  }
};

TEST_F(TableQueries, RowEndMarks) {
  doc.SetSelection(4, 0, 4, 1);
  EXPECT_TRUE(doc.SelectionOnlyRowEnds());
  EXPECT_TRUE(doc.AtRowEndMark());
  EXPECT_TRUE(doc.SelectionInOneTable());
  EXPECT_TRUE(ParFormatsEqual(doc.CurParFormat, TableParFormat));

  doc.ClearSelection();
  doc.Caret = Pos(4, 0);
  doc.SelectionChanged();
  EXPECT_TRUE(doc.AtRowEndMark());
  EXPECT_FALSE(doc.SelectionOnlyRowEnds());

  doc.SetSelection(1, 1, 1, 2);
  EXPECT_FALSE(doc.AtRowEndMark());
  doc.SetSelection(0, 1, 0, 2);
  EXPECT_FALSE(doc.SelectionInOneTable());
}

TEST_F(TableQueries, RowSplitsAndCellSelections) {
  EXPECT_FALSE(doc.RangeSplitsTableRow(Range(1, 1, 1, 2)));  // text inside one cell
  EXPECT_TRUE(doc.RangeSplitsTableRow(Range(1, 1, 2, 1)));   // into the next cell
  EXPECT_FALSE(doc.RangeSplitsTableRow(Range(1, 0, 4, 1)));  // a whole row
  EXPECT_TRUE(doc.RangeSplitsTableRow(Range(0, 2, 2, 1)));   // from outside into a row

  TFragmentRef f = AcquireFragment();
  f->SetSingleRange(1, 0, 2, 3);
  EXPECT_TRUE(doc.IsCellSelection(*f));
  f->SetSingleRange(1, 0, 1, 1);  // stops short of its cell's end
  EXPECT_FALSE(doc.IsCellSelection(*f));
  f->SetSingleRange(0, 0, 2, 3);  // starts outside the table
  EXPECT_FALSE(doc.IsCellSelection(*f));
}

TEST_F(TableQueries, SplitByRowsLeavesRowEndsOut) {
  struct Case {
    TDocRange range;
    const char* pieces;
  } cases[] = {
      {Range(1, 0, 8, 1), "(1,0)-(3,3) (5,0)-(7,3)"},
      {Range(1, 0, 6, 1), "(1,0)-(3,3) (5,0)-(8,1)"},  // the row of a cut-off end stays whole
      {Range(4, 0, 4, 1), "(4,0)-(4,0)"},              // only a row-end mark: nothing
  };
  for (const Case& c : cases) {
    TFragmentRef f = AcquireFragment();
    *f->GetRange(0) = c.range;
    TFragmentRef pieces = SplitFragmentsByTableRows(doc, *f);
    EXPECT_EQ(Describe(*pieces), c.pieces);
  }
}

}  // namespace
