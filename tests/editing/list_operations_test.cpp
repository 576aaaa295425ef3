// Lists applied to and removed from paragraphs as undoable operations.
#include <gtest/gtest.h>

#include "document/list_operations.h"
#include "document/number_formats.h"
#include "edit_test_support.h"

using namespace qv;

namespace {

TAutoList& AddNumberedList(TDoc& doc, int32_t number) {
  auto l = std::make_unique<TAutoList>();
  l->Number = number;
  l->ListLevels[0].LevelText = std::u16string(u"\0.", 2);
  for (int32_t i = 0; i < ListLevelCount; ++i)
    l->ListLevels[static_cast<size_t>(i)].ParFormat.LeftIndent = static_cast<int16_t>(360 * (i + 1));
  doc.Lists.push_back(std::move(l));
  return *doc.Lists.back();
}

void SelectParagraphs(TDoc& doc, int32_t first, int32_t last) {
  if (!doc.Selection) doc.Selection = AcquireFragment();
  doc.Selection->SetSingleRange(first, 0, last, doc.Par(last)->CharCount() - 1);
}

TEST(ListOperations, TypedMarkersAreRecognised) {
  TDoc doc(true);
  struct Case {
    const char* text;
    int32_t want;
  } cases[] = {
      {"1. one", 3}, {"(iv)\tfour", 5}, {"* star", 2}, {"*star", 0}, {"- 5 items", 2},
      {"> quote", 2}, {"plain text", 0}, {"x no", 0}, {"", 0}, {"1234567890123. long", 0},
  };
  for (const Case& c : cases) {
    SetMainText(doc, {c.text});
    EXPECT_EQ(TypedListMarkerLength(doc, 0), c.want) << c.text;
  }
}

TEST(ListOperations, ApplyingRemovesTypedNumbersAndUndoes) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"1. one", "2. two", "plain"});
  TAutoList& list = AddNumberedList(doc, 5);
  const std::string before = DumpDoc(doc);
  SelectParagraphs(doc, 0, 1);
  doc.Caret = {2, 3};  // in an unchanged paragraph: stays where it is
  doc.ApplyList(&list);
  EXPECT_EQ(MainText(doc), "one/two/plain");
  EXPECT_EQ(doc.Caret.Offset, 3);
  for (int32_t i = 0; i < 2; ++i) {
    EXPECT_EQ(int32_t{doc.Par(i)->Format.List}, 5) << i;
    EXPECT_EQ(int32_t{doc.Par(i)->Format.LeftIndent}, 360) << i;
  }
  EXPECT_NE(int32_t{doc.Par(2)->Format.List}, 5);
  const std::string applied = DumpDoc(doc);
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
  doc.Redo();
  EXPECT_EQ(DumpDoc(doc), applied);
}

TEST(ListOperations, CaretMovesOnlyInTheParagraphWhoseMarkerWentAway) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"intro text", "* item"});
  TAutoList& list = AddNumberedList(doc, 2);
  SelectParagraphs(doc, 0, 1);
  doc.Caret = {0, 5};
  doc.ApplyList(&list);
  EXPECT_EQ(MainText(doc), "intro text/item");
  EXPECT_EQ(doc.Caret.Offset, 5);
}

TEST(ListOperations, LevelsFollowFirstLinePositions) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"a", "b", "c", "d"});
  const int16_t indents[] = {0, 720, 1440, 720};
  for (int32_t i = 0; i < 4; ++i) doc.Par(i)->Format.LeftIndent = indents[i];
  TAutoList& list = AddNumberedList(doc, 3);
  SelectParagraphs(doc, 0, 3);
  doc.ApplyList(&list);
  const int want[] = {0, 1, 2, 1};
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(int32_t{doc.Par(i)->Format.ListLevel}, want[i]) << i;
    EXPECT_EQ(int32_t{doc.Par(i)->Format.List}, 3) << i;
  }
}

TEST(ListOperations, RemovingListFormatTakesTheEarlierNeighboursIndentsAndUndoes) {
  TEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"before", "one", "two", "after"});
  TAutoList& list = AddNumberedList(doc, 4);
  doc.Par(0)->Format.LeftIndent = 100;
  doc.Par(3)->Format.LeftIndent = 200;
  for (int32_t i = 1; i <= 2; ++i) {
    doc.Par(i)->Format.List = list.Number;
    doc.Par(i)->Format.ListLevel = 0;
    doc.Par(i)->Format.LeftIndent = 360;
  }
  const std::string before = DumpDoc(doc);
  SelectParagraphs(doc, 1, 2);
  doc.RemoveListFormat();
  for (int32_t i = 1; i <= 2; ++i) {
    EXPECT_EQ(int32_t{doc.Par(i)->Format.List}, 0) << i;
    EXPECT_EQ(int32_t{doc.Par(i)->Format.LeftIndent}, 100) << i;
  }
  EXPECT_EQ(ListParagraphs(doc, list, ListScope::All).size(), 0u);
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

}  // namespace

namespace {

TEST(ListOperations, ListsToContinue) {
  struct Case {
    const char* name;
    std::vector<int32_t> listed;  // paragraphs already in the existing list
    bool bullets;
    bool sameFormat;
    bool want;
  } cases[] = {
      {"adjacent", {1, 2}, false, true, true},
      {"one item 10 away", {10}, false, true, true},
      {"one item 12 away", {12}, false, true, false},
      {"contiguous block far away", {20, 21, 22}, false, true, false},
      {"scattered within twice the spacing", {6, 10}, false, true, true},
      {"bullets anywhere", {25}, true, true, true},
      {"other format", {1, 2}, false, false, false},
  };
  for (const Case& c : cases) {
    TDoc doc(true);
    SetMainText(doc, std::vector<std::string>(30, "text"));
    TAutoList& existing = AddNumberedList(doc, 1);
    TAutoList& wanted = AddNumberedList(doc, 2);
    for (TAutoList* l : {&existing, &wanted})
      for (TListLevel& level : l->ListLevels) level.NumberFormat = c.bullets ? nfFirstBullet : nfArabic;
    if (!c.sameFormat) existing.ListLevels[0].NumberFormat = nfUpperRoman;
    for (int32_t p : c.listed) doc.Par(p)->Format.List = 1;
    TFragmentRef work = AcquireFragment();  // the new formatting goes to paragraph 0
    work->SetSingleRange(0, 0, 0, 4);
    TAutoList* found = doc.FindListToContinue(&wanted, work.get());
    EXPECT_EQ(found == &existing, c.want) << c.name;
  }
}

}  // namespace
