// Deletion and replacement: story marks kept, tables not cut into, whole paragraphs at the end
// of the main text, the whole story deleted, note texts going with their references.
#include <gtest/gtest.h>

#include "../../document/doc_builder.h"
#include "document/field.h"
#include "document/section.h"
#include "document/styles.h"
#include "editing/ops/deletion.h"
#include "editing/ops/multi_selection.h"
#include "ops_test_support.h"

using namespace qv;

namespace {

TEST(Deletion, RangesAtStoryEndsAndTables) {
  struct Case {
    const char* name;
    std::vector<std::string> pars;
    int tablePar;  // -1 none
    TDocRange range;
    int32_t flags;
    const char* want;
  } cases[] = {
      {"the story's last mark stays", {"ab", "cd"}, -1, {Pos(0, 1), Pos(1, 3)}, 0, "a"},
      {"whole last paragraphs go with flag 0x100", {"ab", "cd", "ef"}, -1,
       {Pos(1, 0), Pos(2, 3)}, idfWholeLastParagraph, "ab"},
      {"without it the last mark stays", {"ab", "cd", "ef"}, -1, {Pos(1, 0), Pos(2, 3)}, 0,
       "ab/"},
      {"from a paragraph's middle into a table nothing", {"ab", "cd"}, 1, {Pos(0, 1), Pos(1, 1)},
       0, "ab/cd"},
      {"a mark before a table stays", {"ab", "cd"}, 1, {Pos(0, 1), Pos(0, 3)}, 0, "a/cd"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpsScope scope;
    TDoc doc(true);
    SetMainText(doc, c.pars);
    if (c.tablePar >= 0) doc.Par(c.tablePar)->Format.InTable = 1;
    Caret(doc, 0, 0);
    const std::string before = DumpDoc(doc);
    DeleteRange(doc, c.range, c.flags);
    EXPECT_EQ(MainText(doc), c.want);
    if (MainText(doc) != before.substr(0, 0) && DumpDoc(doc) != before) ExpectUndoRedoExact(doc, before);
  }
}

TEST(Deletion, DeletingTheWholeStoryLeavesOneNormalParagraphWithoutFields) {
  OpsScope scope;
  TDoc doc(true);
  doc.InitNewDocument();
  ASSERT_GT(doc.Styles->Count(), 1);
  SetMainText(doc, {"one", "two"});
  doc.Par(1)->Format.Style = 1;
  auto bm = std::make_unique<TField>();
  bm->Kind = fkBookmark;
  bm->Instruction = u"mark";
  doc.InsertFieldMarks(std::move(bm), {Pos(0, 0), Pos(0, 2)});
  Select(doc, {{Pos(0, 0), Pos(1, 4)}});
  const std::string before = DumpDoc(doc);
  doc.SetScopedFlag(dfDeletingWholeStory);
  TDocRange r{Pos(0, 0), Pos(1, 4)};
  int32_t count = 0, flags = idfWholeLastParagraph;
  void* args[] = {nullptr, &r, &count, &flags};
  doc.ExecuteEdit(ecDeleteText, args, 3);
  doc.RestoreScopedFlag();
  EXPECT_EQ(MainText(doc), "");
  EXPECT_EQ(doc.Par(0)->Format.Style, 0);
  EXPECT_TRUE(doc.Fields.empty());
  ExpectUndoRedoExact(doc, before);
}

TEST(Deletion, ReplacingWithTextEndingInAMarkTakesTheReplacedFormat) {
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"x|Bbold|b y"});
  Caret(doc, 0, 0);
  const std::string before = DumpDoc(doc);
  TDocPosition s = Pos(0, 1), e = Pos(0, 5);
  TMemory text;
  text.AppendString("new\r");
  int32_t flags = 0;
  void* args[] = {&s, &e, &text, &flags};
  doc.ExecuteEdit(ecReplaceWithText, args, 3);
  EXPECT_EQ(MainText(doc), "xnew/ y");
  TCharFormat f;
  doc.Par(0)->GetCharFormatAt(2, f);
  EXPECT_EQ(f.Bold, 1);
  ExpectUndoRedoExact(doc, before);
}

TEST(Deletion, TheRestOfTheMainTextKeepsTheFirstSectionsFormatWhenTheBreaksGo) {
  struct Case {
    const char* name;
    TDocRange range;
    const char* text;
    int32_t columns, width;  // of the first section afterwards
  } cases[] = {
      {"from the first section to the end", {Pos(0, 1), Pos(2, 5)}, "o", 2, 10000},
      {"short of the end the text joins the next section", {Pos(0, 1), Pos(2, 2)}, "oree", 1, 14000},
      {"from the last section the first keeps its own", {Pos(2, 1), Pos(2, 5)}, "one/two/t", 2, 10000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpsScope scope;
    TDoc doc(true);
    TDocBuilder b(doc);
    b.Add("one");
    b.SectionBreak("two", sbNextPage);
    b.Add("three");
    b.Finish();
    doc.Sections[0]->Format.ColumnCount = 2;
    doc.Sections[0]->PageParams.PageWidth = 10000;
    doc.Sections[1]->PageParams.PageWidth = 14000;
    Caret(doc, 0, 0);
    const std::string before = DumpDoc(doc);
    DeleteRange(doc, c.range);
    EXPECT_EQ(MainText(doc), c.text);
    doc.UpdateSectionRanges();
    EXPECT_EQ(doc.Sections[0]->Format.ColumnCount, c.columns);
    EXPECT_EQ(doc.Sections[0]->PageParams.PageWidth, c.width);
    ExpectUndoRedoExact(doc, before);
  }
}

TEST(Deletion, HeadersAndFootersOfDeletedSectionsGoUnlessHandedOn) {
  const struct Case {
    const char* name;
    int32_t flags;
    const char* headers;  // the header and footer story afterwards
  } cases[] = {
      {"the first section's footer moves on, the other headers go", 0, "F1/H3"},
      {"with flag 0x10 they stay", idfKeepNotes, "H1/F1/H2/H3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpsScope scope;
    TDoc doc(true);
    TDocBuilder b(doc);
    b.Add("one");
    b.SectionBreak("two", sbNextPage);
    b.SectionBreak("three", sbNextPage);
    b.Add("four");
    TField* h1 = b.HeaderFooter(*doc.Sections[0], hfOddHeader, "H1");
    TField* f1 = b.HeaderFooter(*doc.Sections[0], hfOddFooter, "F1");
    b.HeaderFooter(*doc.Sections[1], hfOddHeader, "H2");
    TField* h3 = b.HeaderFooter(*doc.Sections[2], hfOddHeader, "H3");
    b.Finish();
    Caret(doc, 0, 0);
    const std::string before = DumpDoc(doc);
    // From the first section into the last: the first two sections' breaks go.
    DeleteRange(doc, {Pos(0, 1), Pos(3, 2)}, c.flags);
    EXPECT_EQ(MainText(doc), "our");
    std::string headers;
    for (int32_t i = doc.FirstParagraphOfStory(stHeadersFooters); i < doc.ParCount(); ++i) {
      const TPar& p = *doc.Par(i);
      if (!headers.empty()) headers += '/';
      for (int32_t k = 0; k + 1 < p.CharCount(); ++k) headers.push_back(static_cast<char>(p.CodeAt(k)));
    }
    EXPECT_EQ(headers, c.headers);
    doc.UpdateSectionRanges();
    ASSERT_EQ(doc.Sections.size(), 1u);
    EXPECT_EQ(doc.Sections[0]->HeaderFooter[hfOddHeader], h3);
    EXPECT_EQ(doc.Sections[0]->HeaderFooter[hfOddFooter], f1);
    TDocRange r;
    EXPECT_EQ(doc.GetFieldRange(h1, r), c.flags != 0);
    ExpectUndoRedoExact(doc, before);
  }
}

TEST(Deletion, TheFindEnginesReplacementGivesNewParagraphsTheOldFormatsInOrder) {
  struct Case {
    bool replacing;
    std::vector<int32_t> indents;  // of the new paragraphs
    std::vector<int32_t> boldMarks;
  } cases[] = {
      // The second saved format is the last one: the third new paragraph gets none of them.
      {true, {100, 200, 100, 300}, {0, 1, 0, 0}},
      {false, {100, 100, 100, 100}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.replacing);
    OpsScope scope;
    static_cast<TestTextServices&>(TextEditServices()).Replacing = c.replacing;
    TDoc doc(true);
    SetMainText(doc, {"one", "two|B", "three"});
    for (int32_t p = 0; p < 3; ++p) doc.Par(p)->Format.LeftIndent = 100 * (p + 1);
    Caret(doc, 0, 0);
    const std::string before = DumpDoc(doc);
    TDocPosition s = Pos(0, 1), e = Pos(2, 2);
    TMemory text;
    text.AppendString("X\rY\rZ\rW");
    int32_t flags = 0;
    void* args[] = {&s, &e, &text, &flags};
    doc.ExecuteEdit(ecReplaceWithText, args, 3);
    EXPECT_EQ(MainText(doc), "oX/Y/Z/Wree");
    for (int32_t p = 0; p < 4; ++p) {
      EXPECT_EQ(doc.Par(p)->Format.LeftIndent, c.indents[static_cast<size_t>(p)]) << p;
      TCharFormat mark;
      doc.Par(p)->GetCharFormatAt(doc.ParLength(p) - 1, mark);
      EXPECT_EQ(mark.Bold == 1, c.boldMarks[static_cast<size_t>(p)] == 1) << p;
    }
    ExpectUndoRedoExact(doc, before);
  }
}

TEST(MultiSelection, TypingIntoThreeRangesReplacesEachAndUndoEndsTheMode) {
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"aa bb cc"});
  Select(doc, {{Pos(0, 0), Pos(0, 2)}, {Pos(0, 3), Pos(0, 5)}, {Pos(0, 6), Pos(0, 8)}});
  const std::string before = DumpDoc(doc);
  doc.ExecuteEdit(83, nullptr, -1);
  EXPECT_EQ(MainText(doc), "  ");
  const std::vector<TField*> markers = TypingMarkers(doc);
  ASSERT_EQ(markers.size(), 3u);
  doc.SetDocFlag(dfMultiSelectionTyping, true);
  // The window types at every marker, the last first.
  for (auto it = markers.rbegin(); it != markers.rend(); ++it) {
    TDocRange r;
    ASSERT_TRUE(doc.GetFieldRange(*it, r));
    Caret(doc, r.Start.Par, r.Start.Offset);
    TypeBytes(doc, "X");
  }
  EXPECT_EQ(MainText(doc), "X X X");
  for (int i = 0; i < 3; ++i) doc.Undo();
  EXPECT_TRUE(doc.IsDocFlagSet(dfMultiSelectionTyping));
  doc.Undo();
  EXPECT_FALSE(doc.IsDocFlagSet(dfMultiSelectionTyping));
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST(MultiSelection, FastNavigationMarksTakeTheNextFreeNumber) {
  OpsScope scope;
  TDoc doc(true);
  SetMainText(doc, {"alpha beta"});
  Caret(doc, 0, 2);
  int32_t slot = 3;
  void* args[] = {&slot};
  doc.ExecuteEdit(84, args, 0);
  Caret(doc, 0, 7);
  int32_t other = 4;
  void* args2[] = {&other};
  doc.ExecuteEdit(84, args2, 0);
  const TFastNavSlot& s3 = TextEditServices().FastNavSlot(3);
  const TFastNavSlot& s4 = TextEditServices().FastNavSlot(4);
  ASSERT_EQ(s3.Marks.size(), 1u);
  ASSERT_EQ(s4.Marks.size(), 1u);
  EXPECT_EQ(s3.Marks[0]->Instruction, u"__fastnav1");
  EXPECT_EQ(s4.Marks[0]->Instruction, u"__fastnav2");
  EXPECT_EQ(s4.Doc, &doc);
  EXPECT_EQ(s4.Marks[0]->Flags, kFastNavMarkFlags);
}

}  // namespace
