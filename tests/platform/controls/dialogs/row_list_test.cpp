// The dialogs' row list: keyboard and mouse selection in single and multiple mode.
#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "platform/controls/dialogs/row_list.h"
#include "platform/controls/form.h"

namespace {
using namespace plat;

class RowListTest : public dlgtest::DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    form = std::make_unique<Form>();
    form->SetBounds(50, 50, 300, 200);
    list = &form->Add<RowList>();
    list->SetBounds(0, 0, 280, 6 * 20);
    std::vector<ListRow> rows;
    for (const char16_t* n : {u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i", u"j"}) rows.push_back({{n}, false});
    list->SetRows(rows);
    list->OnSelect = [this](RowList&) { ++events; };
    form->Show();
    list->SetFocus();
    PumpPending();
  }
  void TearDown() override {
    form.reset();
    DialogTest::TearDown();
  }
  std::unique_ptr<Form> form;
  RowList* list = nullptr;
  int events = 0;
};

TEST_F(RowListTest, KeysSelectRangesAndToggleInMultipleMode) {
  list->SetMultiSelect(true);
  struct Step { uint8_t vk; uint8_t shift; std::vector<int32_t> selected; };
  const Step steps[] = {
      {VK_DOWN, 0, {1}},          {VK_DOWN, 1, {1, 2}},  {VK_DOWN, 1, {1, 2, 3}}, {VK_UP, 1, {1, 2}},
      {VK_END, 0, {9}},           {VK_HOME, 1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}}, {VK_DOWN, 4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
  };
  for (const Step& s : steps) {
    headless::PressKey(s.vk, s.shift);
    PumpPending();
    EXPECT_EQ(list->SelectedRows(), s.selected) << int(s.vk) << "/" << int(s.shift);
  }
  // Ctrl moved the focus to row 1 without selecting; Space toggles it off.
  headless::TypeText(" ");
  PumpPending();
  EXPECT_EQ(list->SelectedRows(), (std::vector<int32_t>{0, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_GE(list->TopRow(), 0);
  EXPECT_EQ(events, 7);  // every change but the Ctrl move
}

TEST_F(RowListTest, ClicksInSingleModeSelectOneAndDoubleClickActivates) {
  int32_t activated = -1;
  list->OnActivate = [&](RowList&, int32_t row) { activated = row; };
  int32_t h = list->RowHeight();
  headless::Click(list->Handle(), {10, 1 + 2 * h + 3});
  headless::KeyDown(VK_CONTROL);
  headless::Click(list->Handle(), {10, 1 + 4 * h + 3});  // no toggling in single mode
  headless::KeyUp(VK_CONTROL);
  PumpPending();
  EXPECT_EQ(list->SelectedRows(), std::vector<int32_t>{4});
  headless::Click(list->Handle(), {10, 1 + 4 * h + 3});
  PumpPending();
  EXPECT_EQ(activated, 4);
  headless::PressKey(VK_NEXT);  // a page down moves by the rows that fit
  PumpPending();
  EXPECT_EQ(list->FocusRow(), std::min(9, 4 + list->VisibleRows()));
  EXPECT_EQ(list->RowAt({10, 1 + 100 * h}), -1);
}

}  // namespace
