// Section operations: formats of the sections of a range, breaks, joining sections, headers and
// footers linked to the previous section or given their own, notes, document properties and field
// types, each undone and redone exactly.
#include <gtest/gtest.h>

#include "document/doc_properties.h"
#include "table_test_support.h"

using namespace qv;

namespace {

class SectionOps : public ::testing::Test {
 protected:
  TTableEngineScope scope;
  TDoc doc{true};
  // "a" | break | "b" | break | "c": three sections of one paragraph each.
  void ThreeSections() {
    TDocBuilder b(doc);
    b.SectionBreak("a", sbNextPage);
    b.SectionBreak("b", sbNextPage);
    b.Add("c");
    b.Finish();
    doc.SectionRangesStale = true;
    doc.UpdateSectionRanges();
  }
};

TEST_F(SectionOps, FormattingTheSectionsOfARange) {
  ThreeSections();
  struct TCase {
    TDocRange range;
    const char* columns;  // per section
  };
  const TCase cases[] = {{{{1, 0}, {1, 1}}, "1 2 1 "}, {{{0, 1}, {1, 1}}, "2 2 1 "}};
  for (const TCase& c : cases) {
    TDoc d(true);
    TDocBuilder b(d);
    b.SectionBreak("a", sbNextPage);
    b.SectionBreak("b", sbNextPage);
    b.Add("c");
    b.Finish();
    d.UpdateSectionRanges();
    TSectionFormat request = d.Sections[0]->Format;
    request.ColumnCount = 2;
    request.EqualWidth = INT32_MIN;
    request.SeparatorLine = INT32_MIN;
    request.BreakKind = 255;
    TDocRange range = c.range;
    ExpectUndoRedoExact(d, [&] { Edit(d, ecApplySectionFormat, {&request, &range}); });
    std::string columns;
    for (auto& s : d.Sections) columns += std::to_string(s->Format.ColumnCount) + " ";
    EXPECT_EQ(columns, c.columns);
    EXPECT_EQ(d.Sections[0]->Format.BreakKind, sbNextPage);
  }
}

TEST_F(SectionOps, EqualWidthRequestRewritesUnequalColumnRecords) {
  ThreeSections();
  TSection& s = *doc.Sections[0];
  s.Format.ColumnCount = 2;
  s.Format.EqualWidth = 0;
  s.Format.Columns[0] = {0, 3000, 500, 0, 0};
  s.Format.Columns[1] = {3500, 5860, 0, 0, 0};
  TSectionFormat request;
  request.ColumnCount = INT32_MIN;
  request.EqualWidth = -1;
  request.SeparatorLine = INT32_MIN;
  request.BreakKind = 255;
  TDocRange range{{0, 0}, {0, 1}};
  Edit(doc, ecApplySectionFormat, {&request, &range});
  EXPECT_EQ(s.Format.EqualWidth, 0);  // unequal before: stays unequal
  EXPECT_EQ(s.Format.Columns[0].Width, s.Format.Columns[1].Width);
  EXPECT_EQ(s.Format.Columns[0].Width, (s.PageParams.TextWidth - s.Format.Spacing) / 2);
}

TEST_F(SectionOps, ABreakOfTheSameKindRecordsNothing) {
  ThreeSections();
  int32_t par = 0;
  uint8_t kind = sbNextPage;
  const int32_t position = doc.UndoPosition;
  Edit(doc, ecChangeSectionBreak, {&par, &kind});
  EXPECT_EQ(doc.UndoPosition, position);
  kind = sbContinuous;
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecChangeSectionBreak, {&par, &kind}); });
  EXPECT_EQ(doc.Sections[0]->Format.BreakKind, sbContinuous);
}

TEST_F(SectionOps, MergingTwoSectionsRemovesTheBreakBetweenThem) {
  ThreeSections();
  doc.Sections[0]->Format.ColumnCount = 3;
  TSection* staying = doc.Sections[1].get();
  TSection* other = doc.Sections[0].get();
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecMergeSections, {staying, other}); });
  doc.UpdateSectionRanges();
  ASSERT_EQ(doc.Sections.size(), 2u);
  EXPECT_EQ(MainText(doc), "a/b/c");
  EXPECT_EQ(doc.SectionOfParagraph(0), doc.SectionOfParagraph(1));
  EXPECT_EQ(doc.SectionOfParagraph(0)->Format.ColumnCount, 3);  // the other's formatting
}

TEST_F(SectionOps, HeadersLinkedToThePreviousSectionOrTheirOwn) {
  TDocBuilder b(doc);
  b.SectionBreak("a", sbNextPage);
  b.Add("b");
  TField* head = b.HeaderFooter(*doc.Sections[0], hfOddHeader, "Head");
  b.Finish();
  doc.UpdateSectionRanges();
  doc.HeaderFooterInPlace = head;
  MakePosition(1, 0, doc.HeaderFooterSavedCaret);
  TDocRange r;
  ASSERT_TRUE(doc.GetHeaderFooterRange(head, r));
  MakePosition(r.Start.Par, 0, doc.Caret);
  ASSERT_TRUE(doc.IsHeaderFooterSameAsPrevious());
  Edit(doc, ecToggleSameAsPrevious);
  TField* own = doc.Sections[1]->HeaderFooter[hfOddHeader];
  ASSERT_NE(own, nullptr);
  ASSERT_NE(own, head);
  ASSERT_TRUE(doc.GetHeaderFooterRange(own, r));
  EXPECT_EQ(ParText(doc, r.Start.Par), "Head");
  EXPECT_EQ(doc.HeaderFooterInPlace, own);
  EXPECT_FALSE(doc.IsHeaderFooterSameAsPrevious());
  // (Undo and redo restore the document; which field is edited in place is the undo list's.)
  doc.Undo();
  doc.HeaderFooterInPlace = head;
  MakePosition(r.Start.Par, 0, doc.Caret);
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecToggleSameAsPrevious); });
  own = doc.Sections[1]->HeaderFooter[hfOddHeader];
  doc.HeaderFooterInPlace = own;
  ASSERT_TRUE(doc.GetHeaderFooterRange(own, r));
  MakePosition(r.Start.Par, 0, doc.Caret);
  // Linking again drops the copy and shows the previous section's header.
  const int32_t stories = doc.StoryCounts[stHeadersFooters];
  const std::string linked = TableDump(doc);
  Edit(doc, ecToggleSameAsPrevious);
  EXPECT_EQ(doc.Sections[1]->HeaderFooter[hfOddHeader], nullptr);
  EXPECT_EQ(doc.StoryCounts[stHeadersFooters], stories - 1);
  EXPECT_EQ(doc.HeaderFooterInPlace, head);
  const std::string unlinked = TableDump(doc);
  doc.Undo();
  EXPECT_EQ(TableDump(doc), linked);
  doc.Redo();
  EXPECT_EQ(TableDump(doc), unlinked);
}

TEST_F(SectionOps, NoteSettingsThatChangeNothingRecordNothing) {
  ThreeSections();
  TDocRange range{{0, 0}, {2, 1}};
  const int32_t position = doc.UndoPosition;
  RunInOperation(doc, [&] {
    doc.FormatNoteSettings(range, doc.Sections[0]->Footnotes, doc.FootnoteMarkFormat,
                           doc.EndnoteMarkFormat, doc.Sections[0]->Endnotes);
  });
  EXPECT_EQ(doc.UndoPosition, position);
  TNoteSettings footnotes = doc.Sections[0]->Footnotes;
  footnotes.NumberFormat = 3;
  ExpectUndoRedoExact(doc, [&] {
    RunInOperation(doc, [&] {
      doc.FormatNoteSettings(range, footnotes, doc.FootnoteMarkFormat, doc.EndnoteMarkFormat,
                             doc.Sections[0]->Endnotes);
    });
  });
  for (auto& s : doc.Sections) EXPECT_EQ(s->Footnotes.NumberFormat, 3);
}

TEST_F(SectionOps, SeparatorsPropertiesAndFieldTypes) {
  SetMainText(doc, {"a"});
  uint8_t flags = 1;
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecSetNoteSeparator, {&flags}); });
  EXPECT_EQ(doc.NoteSeparatorFlags, 1);
  TDocProps props = doc.Props;
  props.Title = u"Report";
  ExpectUndoRedoExact(doc, [&] { Edit(doc, ecChangeDocProperties, {&props}); });
  EXPECT_EQ(doc.Props.Title, u"Report");
  MakePosition(0, 1, doc.Caret);
  TField* f = nullptr;
  RunInOperation(doc, [&] { f = doc.InsertNewField(33, u""); });
  ASSERT_NE(f, nullptr);
  const std::string before = MainText(doc);
  std::vector<TField*> fields{f};
  uint8_t type = ftTime;
  std::vector<std::u16string> arguments{u"\\@ \"HH:mm\""};
  const std::string dumped = TableDump(doc);
  Edit(doc, ecChangeFieldTypes, {&fields, &type, &arguments});
  EXPECT_EQ(f->FieldType, ftTime);
  EXPECT_EQ(f->Instruction, u"TIME \\@ \"HH:mm\"");
  // The field shows the time at once: hours and minutes.
  const std::string shown = MainText(doc);
  ASSERT_EQ(shown.size(), 6u) << shown;
  EXPECT_EQ(shown[3], ':');
  doc.Undo();
  EXPECT_EQ(TableDump(doc), dumped);
  EXPECT_EQ(MainText(doc), before);
  EXPECT_EQ(f->FieldType, 33);
}

}  // namespace
