// Sections formatted and headers and footers created as undoable operations.
#include <gtest/gtest.h>

#include "edit_test_support.h"

using namespace qv;

namespace {

TEST(SectionsEditing, EnteringHeaderEditingCreatesSixFieldsAsOneUndoableOperation) {
  TEngineScope engine;
  TDoc doc(true);
  doc.InitNewDocument();
  SetMainText(doc, {"body"});
  const std::string before = DumpDoc(doc);
  doc.ToggleHeaderFooterEditing(nullptr, 0, nullptr);
  EXPECT_EQ(doc.StoryCounts[stHeadersFooters], 6);
  EXPECT_NE(doc.Sections.front()->HeaderFooter[hfOddHeader], nullptr);
  EXPECT_NE(doc.HeaderFooterInPlace, nullptr);
  doc.ToggleHeaderFooterEditing(nullptr, 0, nullptr);
  EXPECT_EQ(doc.Caret.Par, 0);
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST(SectionsEditing, FormatSectionsAppliesColumnsAndUndoes) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"a", "b"});
  const std::string before = DumpDoc(doc);
  TSectionFormat f = doc.Sections.front()->Format;
  f.ColumnCount = 2;
  EXPECT_TRUE(doc.FormatSections(0, nullptr, nullptr, &f, nullptr, nullptr, 1));
  EXPECT_EQ(doc.Sections.front()->Format.ColumnCount, 2);
  // The same settings again change nothing and record nothing.
  EXPECT_FALSE(doc.FormatSections(0, nullptr, nullptr, &f, nullptr, nullptr, 1));
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST(SectionsEditing, PageNumbersFillEmptyFootersAndRefuseFootersWithText) {
  TEngineScope engine;
  TDoc doc(true);
  doc.InitNewDocument();
  SetMainText(doc, {"body"});
  const std::string before = DumpDoc(doc);
  // Outside alignment: odd pages right, even pages left, different odd and even pages.
  EXPECT_TRUE(doc.InsertPageNumbers(1, 4, 1));
  TSection& s = *doc.Sections.front();
  EXPECT_EQ(s.PageParams.DiffOddEven, 1);
  EXPECT_EQ(s.PageParams.DiffFirstPage, 0);
  TDocRange odd, even;
  ASSERT_TRUE(doc.GetHeaderFooterRange(s.HeaderFooter[hfOddFooter], odd));
  ASSERT_TRUE(doc.GetHeaderFooterRange(s.HeaderFooter[hfEvenFooter], even));
  EXPECT_EQ(GetParFormatProp(doc.Par(odd.Start.Par)->Format, ppAlignment), 2);
  EXPECT_EQ(GetParFormatProp(doc.Par(even.Start.Par)->Format, ppAlignment), 0);
  int pageFields = 0;
  for (auto& f : doc.Fields) pageFields += f->Kind == fkField && f->FieldType == 33;
  EXPECT_EQ(pageFields, 3);
  // Again over footers that hold only page fields: no new fields.
  EXPECT_TRUE(doc.InsertPageNumbers(1, 1, 1));
  pageFields = 0;
  for (auto& f : doc.Fields) pageFields += f->Kind == fkField && f->FieldType == 33;
  EXPECT_EQ(pageFields, 3);
  // Undo takes everything back, the created footers included.
  while (doc.UndoPosition >= 0) doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
  EXPECT_EQ(doc.HeaderFooterInPlace, nullptr);
  // A footer with other text refuses.
  doc.ToggleHeaderFooterEditing(nullptr, 0, nullptr);
  TDocRange r;
  ASSERT_TRUE(doc.GetHeaderFooterRange(doc.Sections.front()->HeaderFooter[hfOddFooter], r));
  TPar& p = *doc.Par(r.Start.Par);
  p.Content.Insert("text", 7, 4);
  p.RebuildCodes();
  p.ContentChanged();
  const uint32_t serial = doc.LastOperationSerial();
  EXPECT_FALSE(doc.InsertPageNumbers(1, 1, 1));
  EXPECT_EQ(doc.LastOperationSerial(), serial);
}

}  // namespace

namespace {

TEST(SectionsEditing, ThisPointForwardInsertsASectionBreakAndUndoesIt) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"a", "b", "c"});
  const std::string before = DumpDoc(doc);
  MakePosition(1, 0, doc.Caret);
  std::vector<int32_t> choices;
  int32_t choice = 255;
  doc.FillApplyToList(1, choices, choice);
  EXPECT_EQ(choices, (std::vector<int32_t>{0, 1}));
  TSectionFormat f = doc.Sections.front()->Format;
  f.ColumnCount = 3;
  EXPECT_TRUE(doc.FormatSections(1, nullptr, nullptr, &f, nullptr, nullptr, 1));
  doc.UpdateSectionRanges();
  ASSERT_EQ(doc.Sections.size(), 2u);
  EXPECT_EQ(doc.Sections[0]->Format.ColumnCount, 1);
  EXPECT_EQ(doc.Sections[1]->Format.ColumnCount, 3);
  EXPECT_EQ(doc.SectionOfParagraph(0), doc.Sections[0].get());
  EXPECT_EQ(doc.SectionOfParagraph(2), doc.Sections[1].get());
  EXPECT_EQ(MainText(doc), "a/b/c");
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST(SectionsEditing, SectionQueriesOverContinuousBreaks) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"a", "b", "c"});
  EXPECT_EQ(doc.SectionOfParagraph(2), doc.Sections.front().get());
  std::vector<int32_t> choices;
  int32_t choice = 0;
  MakePosition(0, 0, doc.Caret);
  doc.FillApplyToList(0, choices, choice);
  EXPECT_EQ(choices, (std::vector<int32_t>{0}));  // no "This point forward" at the very start
}

}  // namespace
