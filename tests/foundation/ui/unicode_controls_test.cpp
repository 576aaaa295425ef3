#include "foundation/ui/unicode_controls.h"

#include <gtest/gtest.h>

#include "foundation/app_fixture.h"

using namespace qv;

namespace {

template <class Base>
class Counting : public Base {
 public:
  int textChanged = 0;
  intptr_t WndProc(uint32_t msg, uintptr_t w, intptr_t l) override {
    if (msg == plat::CM_TEXTCHANGED) ++textChanged;
    return Base::WndProc(msg, w, l);
  }
};

using UnicodeControlsTest = apptest::AppTest;

TEST_F(UnicodeControlsTest, TypedLettersOfAnyScriptAreKept) {
  plat::Form f;
  f.SetBounds(10, 10, 300, 200);
  auto& edit = f.Add<TEditW>();
  edit.SetBounds(10, 10, 200, 24);
  ShowForm(f);
  edit.SetFocus();
  Pump();
  plat::headless::TypeText("\xD0\x96\xCE\xA9 \xE4\xB8\xAD\xF0\x9F\x98\x80");  // Zhe, Omega, a CJK ideograph, an emoji
  Pump();
  EXPECT_EQ(edit.GetTextW(), u"\u0416\u03A9 \u4E2D\U0001F600");
  edit.SetSel(1, 1);
  edit.ReplaceSelW(u"\u0101");
  EXPECT_EQ(edit.GetTextW(), u"\u0416\u0101 \u4E2D\U0001F600");
}

TEST_F(UnicodeControlsTest, SettingTheSameTextSendsNoChange) {
  Counting<TEditW> edit;
  Counting<TMemoW> memo;
  Counting<TLabelW> label;
  Counting<TComboBoxW> combo;
  auto check = [](auto& c, const char* name) {
    c.SetTextW(u"\u0391\u03B2\u03B3");
    EXPECT_EQ(c.textChanged, 1) << name;
    EXPECT_EQ(c.GetTextW(), u"\u0391\u03B2\u03B3") << name;
    c.SetTextW(u"\u0391\u03B2\u03B3");
    EXPECT_EQ(c.textChanged, 1) << name;
    c.SetTextW(u"");
    EXPECT_EQ(c.textChanged, 2) << name;
  };
  check(edit, "edit");
  check(memo, "memo");
  check(label, "label");
  check(combo, "combo");
  memo.SetTextW(std::u16string(u"cut") + u'\0' + u"off");
  EXPECT_EQ(memo.GetTextW(), u"cut");
}

TEST_F(UnicodeControlsTest, ItemListsTravelWithTheirObjects) {
  TWideStringList items = {{u"\u05D0\u05D1", 7}, {u"\u0E01", -3}, {u"plain", 0}};
  TComboBoxW a, b;
  a.SetItemsW(items);
  TWideStringList back;
  a.GetItemsW(back);
  EXPECT_EQ(back, items);

  b.SetItemsW({{u"other", 1}});
  b.AssignItemsW(a);
  b.GetItemsW(back);
  EXPECT_EQ(back, items);
  // Same texts: the items stay as they are, objects included.
  b.SetItemsW({{u"\u05D0\u05D1", 1}, {u"\u0E01", 2}, {u"plain", 3}});
  b.AssignItemsW(a);
  b.GetItemsW(back);
  EXPECT_EQ(back[0].Object, 1);

  TListBoxW list;
  list.SetItemsW(items);
  list.GetItemsW(back);
  EXPECT_EQ(back, items);
  list.SetItemsW({});
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
