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

}  // namespace
