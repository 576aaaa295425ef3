// Lists as a whole: removing and joining lists, new lists from old ones, changed definitions,
// bigger and smaller numbers, numbers turned into text and style-controlled lists, each edit
// undone and redone exactly.
#include <gtest/gtest.h>

#include "document/list_numbering.h"
#include "document/list_operations.h"
#include "document/number_formats.h"
#include "document/par.h"
#include "foundation/ui/message_dlg_service.h"
#include "object_edit_support.h"

using namespace qv;

namespace {

TAutoList& AddList(TDoc& doc, int32_t number, int32_t format = nfArabic) {
  auto l = std::make_unique<TAutoList>();
  l->Number = number;
  for (int32_t i = 0; i < ListLevelCount; ++i) {
    TListLevel& lv = l->ListLevels[static_cast<size_t>(i)];
    lv.LevelText = std::u16string(1, static_cast<char16_t>(i)) + u".";
    lv.NumberFormat = format;
    lv.ParFormat.LeftIndent = static_cast<int16_t>(360 * (i + 1));
    lv.ParFormat.FirstIndent = -360;
  }
  doc.Lists.push_back(std::move(l));
  return *doc.Lists.back();
}

void Put(TDoc& doc, int32_t par, const TAutoList& list, int32_t level = 0) {
  doc.Par(par)->Format.List = list.Number;
  doc.Par(par)->Format.ListLevel = static_cast<int8_t>(level);
  doc.Par(par)->Format.LeftIndent = list.ListLevels[static_cast<size_t>(level)].ParFormat.LeftIndent;
}

void Select(TDoc& doc, int32_t first, int32_t last) {
  if (!doc.Selection) doc.Selection = AcquireFragment();
  doc.Selection->SetSingleRange(first, 0, last, doc.Par(last)->CharCount() - 1);
}

void Edit(TDoc& doc, uint8_t code, void* a0 = nullptr, void* a1 = nullptr) {
  void* args[2] = {a0, a1};
  doc.ExecuteEdit(code, args, 1);
}

// The dump without the list definitions (a list made by an edit stays in the document).
std::string DumpWithoutLists(TDoc& doc) {
  std::string out, line;
  for (char c : DumpAll(doc)) {
    line.push_back(c);
    if (c != '\n') continue;
    if (line[0] != 'L') out += line;
    line.clear();
  }
  return out + line;
}

// Runs the edit, checks the state, then undo gives the state before and redo the state after.
template <class Check>
void EditUndoRedo(TDoc& doc, uint8_t code, void* a0, void* a1, Check check, bool listsStay = false) {
  auto dump = [&] { return listsStay ? DumpWithoutLists(doc) : DumpAll(doc); };
  const std::string before = dump();
  Edit(doc, code, a0, a1);
  check();
  const std::string after = dump();
  doc.Undo();
  EXPECT_EQ(dump(), before);
  doc.Redo();
  EXPECT_EQ(dump(), after);
}

TEST(ListDefinitions, RemovingAListTakesItFromParagraphsAndStyles) {
  TObjectEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"a", "b", "plain", "c"});
  TAutoList& list = AddList(doc, 3);
  for (int32_t p : {0, 1, 3}) Put(doc, p, list);
  while (doc.Styles->Count() < 2) doc.Styles->AddNew().DisplayName = "Body";
  (*doc.Styles)[1].ParFmt.List = 3;
  Select(doc, 2, 2);
  doc.Caret = {2, 1};
  EditUndoRedo(doc, 53, &list, nullptr, [&] {
    EXPECT_TRUE(ListParagraphs(doc, list, ListScope::All).empty());
    EXPECT_FALSE(doc.IsListOfStyle(&list));
    EXPECT_EQ(doc.Caret.Par, 0);
    ASSERT_TRUE(doc.Selection && doc.Selection->Count() > 0);
    EXPECT_EQ(doc.Selection->GetRange(0)->Start.Par, 2);
  });
}

TEST(ListDefinitions, IsListWithinSelection) {
  TDoc doc(true);
  SetMainText(doc, {"a", "b", "c", "d"});
  TAutoList& list = AddList(doc, 1);
  Put(doc, 0, list, 0);
  Put(doc, 1, list, 1);
  Put(doc, 3, list, 1);
  Select(doc, 0, 1);
  EXPECT_FALSE(doc.IsListWithinSelection(&list, ParUnset32));
  EXPECT_TRUE(doc.IsListWithinSelection(&list, 0));
  EXPECT_FALSE(doc.IsListWithinSelection(&list, 1));
  Select(doc, 0, 3);
  EXPECT_TRUE(doc.IsListWithinSelection(&list, ParUnset32));
  TAutoList& empty = AddList(doc, 2);
  EXPECT_FALSE(doc.IsListWithinSelection(&empty, ParUnset32));
}

TEST(ListDefinitions, InsertedListsJoinTheirNeighbours) {
  TObjectEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"one", "two", "three", "four"});
  TAutoList& old = AddList(doc, 1);
  TAutoList& pasted = AddList(doc, 2);
  Put(doc, 0, old);
  Put(doc, 1, old);
  Put(doc, 2, pasted);
  Put(doc, 3, pasted);
  doc.NewLists = {&pasted};
  Select(doc, 3, 3);
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 13);
  doc.BeginOperation(op.get());
  doc.ContinueInsertedLists();
  doc.EndOperation();
  doc.CommitOperation(std::move(op));
  EXPECT_EQ(ListParagraphs(doc, old, ListScope::All), (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_TRUE(doc.NewLists.empty());
  ASSERT_TRUE(doc.Selection && doc.Selection->Count() > 0);
  EXPECT_EQ(doc.Selection->GetRange(0)->Start.Par, 3);
}

TEST(ListDefinitions, NumberSizesGrowAndShrinkWithinLimits) {
  TObjectEngineScope engine;
  struct Case {
    int32_t size;
    uint8_t grow;
    int32_t want;  // CharUnset: unchanged, nothing recorded
  } cases[] = {{8, 0, CharUnset}, {140, 1, 144}, {24, 1, 28}, {24, 0, 20}, {60, 1, 69}, {144, 1, CharUnset}};
  for (const Case& c : cases) {
    TDoc doc(true);
    SetMainText(doc, {"a", "b"});
    TAutoList& list = AddList(doc, 1);
    list.ListLevels[0].CharFormat.Size = c.size;
    Put(doc, 0, list);
    Select(doc, 0, 1);
    EXPECT_EQ(doc.ChangeListNumberSize(c.grow != 0, false), c.want != CharUnset);
    const size_t undoBefore = doc.UndoList.size();
    Edit(doc, 57, const_cast<uint8_t*>(&c.grow));
    EXPECT_EQ(list.ListLevels[0].CharFormat.Size, c.want == CharUnset ? c.size : c.want) << c.size;
    EXPECT_EQ(doc.UndoList.size(), undoBefore + (c.want != CharUnset ? 1 : 0));
  }
}

TEST(ListDefinitions, ChangedIndentsReformatOnlyTheirLevel) {
  TObjectEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"a", "b", "c"});
  TAutoList& list = AddList(doc, 1);
  Put(doc, 0, list, 0);
  Put(doc, 1, list, 1);
  Put(doc, 2, list, 1);
  doc.Par(0)->Format.LeftIndent = 500;  // its own indent: level 0 keeps its indents
  TAutoList definition;
  definition.Assign(list);
  definition.ListLevels[1].ParFormat.LeftIndent = 2000;
  definition.ListLevels[0].NumberFormat = nfUpperRoman;
  EditUndoRedo(doc, 58, &list, &definition, [&] {
    EXPECT_EQ(list.ListLevels[0].NumberFormat, nfUpperRoman);
    EXPECT_EQ(int32_t{doc.Par(1)->Format.LeftIndent}, 2000);
    EXPECT_EQ(int32_t{doc.Par(2)->Format.LeftIndent}, 2000);
    EXPECT_EQ(int32_t{doc.Par(0)->Format.LeftIndent}, 500);
  });
}

TEST(ListDefinitions, ANewListFromAnOldOneKeepsTheLevelsFormatting) {
  TObjectEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"a", "b", "c"});
  TAutoList& list = AddList(doc, 1);
  Put(doc, 0, list, 0);
  doc.Par(0)->Format.SpaceAfter = 120;
  Select(doc, 2, 2);
  EditUndoRedo(doc, 54, &list, nullptr, [&] {
    ASSERT_EQ(doc.Lists.size(), 2u);
    const TAutoList& fresh = *doc.Lists.back();
    EXPECT_TRUE(fresh.SameFormat(list, 0));
    EXPECT_EQ(int32_t{doc.Par(2)->Format.List}, fresh.Number);
    EXPECT_EQ(int32_t{doc.Par(2)->Format.SpaceAfter}, 120);
  }, true);
}

TEST(ListDefinitions, NumbersBecomeTextAndIndentsStay) {
  TObjectEngineScope engine;
  TDoc doc(true);
  SetMainText(doc, {"one", "two"});
  TAutoList& list = AddList(doc, 1);
  Put(doc, 0, list);
  Put(doc, 1, list);
  doc.Caret = {1, 2};
  EditUndoRedo(doc, 55, &list, nullptr, [&] {
    BuildParagraphWideText(*doc.Par(1));
    EXPECT_EQ(doc.Par(1)->WideText, u"2.\ttwo\x2");
    EXPECT_EQ(int32_t{doc.Par(1)->Format.List}, 0);
    EXPECT_EQ(int32_t{doc.Par(1)->Format.LeftIndent}, 360);
    EXPECT_EQ(doc.Caret.Par, 0);  // removing the list puts the caret at its first paragraph
    EXPECT_EQ(doc.Caret.Offset, 0);
  });
}

struct RecordingBox : TMessageDlgService {
  int32_t Show(const TMessageDlgInfo& info) override {
    Texts.push_back(info.Text);
    return mrNo;
  }
  std::vector<std::string> Texts;
};

TEST(ListDefinitions, StyleControlledListsRefuseDirectFormatting) {
  ScopedService<TMessageDlgService, RecordingBox> box;
  TDoc doc(true);
  TAutoList& list = AddList(doc, 1);
  while (doc.Styles->Count() < 2) doc.Styles->AddNew().DisplayName = "Body";
  doc.CurParFormat.Style = ParUnset16;
  EXPECT_TRUE(doc.CanFormatListDirectly());
  doc.CurParFormat.Style = 1;
  EXPECT_TRUE(doc.CanFormatListDirectly());  // a style without a list
  (*doc.Styles)[1].ParFmt.List = list.Number;
  EXPECT_FALSE(doc.CanFormatListDirectly());
  ASSERT_EQ(box->Texts.size(), 1u);
  EXPECT_NE(box->Texts[0].find("\"" + (*doc.Styles)[1].DisplayName + "\" style right now?"), std::string::npos);
}

}  // namespace
