#include <gtest/gtest.h>

#include "document/field.h"
#include "document/selection_fixture.h"
#include "document/selection_flags.h"

namespace {

// "Text", a field "res", an automatic note reference, a non-breaking space, an em dash, the euro
// sign as a UTF-16 character, a page break, an inline picture and a tab.
struct RangeText : ::testing::Test {
  TTestDoc t;
  TDoc& doc = t.doc;
  TField field, reference;
  int picture = 0;  // stands for a shape
  void SetUp() override {
    reference.Kind = fkNoteReference;
    t.Add(TStreamBuilder()
              .Text("Text").Ref(ctFieldStart, &field).Text("res").Ref(ctFieldEnd, &field)
              .Ref(ctFieldStart, &reference).Tag(ctSpecialChar, scAutoNoteMark)
              .Ref(ctFieldEnd, &reference)
              .Tag(ctSpecialChar, scNonBreakingSpace).Tag(ctSpecialChar, scEmDash)
              .Tag(ctWideChar, 0x20AC).Tag(ctSpecialChar, scPageBreak)
              .Ref(ctInlineShape, reinterpret_cast<const TShape*>(&picture)).Tag(ctSpecialChar, scTab).End());
    t.Text("abc");
    t.Text("def");
  }
  TTextRun Whole(int32_t par) {
    return TTextRun{Pos(par, 0), doc.Par(par)->CharCount()};
  }
};

TEST_F(RangeText, SpecialCharactersByFlags) {
  struct Case {
    uint8_t flags;
    std::u16string text;
  } cases[] = {
      {0, u"Textres \u2014\u20AC\f \t\r\n"},
      {TDoc::wtBreaksAsSpaces | TDoc::wtNbspAsA0, u"Textres\u00A0\u2014\u20AC    "},
      {TDoc::wtFindPattern, u"Textres ^+\u20AC^m^g^t^p"},
      {TDoc::wtVisibleNames,
       u"Textres \u2014\u20AC<page break><picture><tab character>\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(doc.GetWideTextRun(Whole(0), c.flags), c.text) << int(c.flags);
  EXPECT_EQ(doc.GetTextRun(Whole(0)), "Textres \x97  ");
}

TEST(RangeTextRuns, EightBitAndPatternForms) {
  TTestDoc t;
  t.Add(TStreamBuilder().Text("a").Tag(ctSpecialChar, scTab).Text("b")
            .Tag(ctSpecialChar, scEmDash).Text("c").End());
  t.Add(TStreamBuilder().Tag(ctSpecialChar, scTab).Text("^").End());
  t.Add(TStreamBuilder().End());
  TDoc& doc = t.doc;
  EXPECT_EQ(doc.GetTextRun({Pos(0, 0), 5}), "a b\x97" "c");
  EXPECT_EQ(doc.GetWideTextRun({Pos(1, 0), 3}, TDoc::wtFindPattern), u"^t^^^p");
  EXPECT_EQ(doc.GetWideTextRun({Pos(2, 0), 1}, TDoc::wtBreaksAsSpaces | TDoc::wtVisibleNames),
            u"<paragraph end mark>");
  EXPECT_EQ(doc.GetWideTextRun({Pos(1, 0), 3}, TDoc::wtBreaksAsSpaces | TDoc::wtVisibleNames),
            u"<tab character>^");  // something precedes the mark: nothing for it
}

TEST_F(RangeText, TextOfRanges) {
  EXPECT_EQ(doc.GetRangeFullWideText(Range(1, 1, 2, 2), 0), u"bc\r\nde");
  EXPECT_EQ(doc.GetRangeWideText(Range(1, 1, 2, 2), 0), u"bc");  // the first paragraph only
  EXPECT_EQ(doc.GetRangeText(Range(1, 1, 2, 2)), "bc");
  EXPECT_EQ(doc.GetRangeText(Range(1, 0, 1, 2)), "ab");
  EXPECT_EQ(doc.GetRangeFullWideText(Range(0, 2, 0, 10), 0), u"xtres \u2014");
}

TEST(RangeTextTables, CellAndRowEnds) {
  TTestDoc t;
  t.Row({"a", "b"});
  t.Text("after");
  TDoc& doc = t.doc;
  const TDocRange row = Range(0, 0, 2, 1);
  EXPECT_EQ(doc.GetRangeFullWideText(row, 0), u"a\r\nb\r\n\r\n");
  EXPECT_EQ(doc.GetRangeFullWideText(row, TDoc::wtBreaksAsSpaces), u"a b  ");
  doc.SetScopedFlag(dfCellEndsAsTabs);
  EXPECT_EQ(doc.GetRangeFullWideText(row, 0), u"a\tb\r\n");
  doc.RestoreScopedFlag();
}

TEST(RangeTextDisplay, ParagraphTextForListsAndTitles) {
  TTestDoc t;
  TField bookmark;
  bookmark.Kind = fkBookmark;
  t.Add(TStreamBuilder().Tag(10, 1).Text("  loud").Ref(ctFieldStart, &bookmark)
            .Tag(ctSpecialChar, scEnDash).Ref(ctFieldEnd, &bookmark).Text("it  ").End());
  t.Add(TStreamBuilder().Text(" quiet ").Tag(ctSpecialChar, scTab).Text("x").End());
  EXPECT_EQ(t.doc.GetParagraphDisplayText(0), u"LOUD-IT");
  EXPECT_EQ(t.doc.GetParagraphDisplayText(1), u"quiet  x");
}

}  // namespace
