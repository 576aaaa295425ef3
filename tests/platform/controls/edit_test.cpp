// Single-line and multi-line edits: typing, selection by keys and mouse, undo, clipboard,
// maximum length, read-only.
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "platform/win/clipboard_text.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/edit.h"
#include "platform/controls/memo.h"

using namespace plat;
using namespace ctltest;

namespace {

struct EditForm {
  Form form;
  Edit& edit = form.Add<Edit>();
  Memo& memo = form.Add<Memo>();
  EditForm() {
    form.SetBounds(50, 50, 300, 200);
    edit.SetBounds(10, 10, 200, 21);
    memo.SetBounds(10, 40, 200, 100);
  }
};

}  // namespace

TEST_F(ControlsTest, EditKeysEditAndSelect) {
  struct Case {
    const char* name;
    std::vector<std::pair<uint8_t, uint8_t>> keys;  // key, shift bits
    const char* typed;                               // typed after the keys
    std::u16string text;
    int32_t selStart, selLength;
  };
  const Case cases[] = {
      {"type", {}, "abc", u"hello worldabc", 14, 0},
      {"home then type", {{VK_HOME, 0}}, "X", u"Xhello world", 1, 0},
      {"shift+left selects", {{VK_LEFT, 1}, {VK_LEFT, 1}}, "", u"hello world", 9, 2},
      {"ctrl+shift+left selects a word", {{VK_LEFT, 5}}, "", u"hello world", 6, 5},
      {"typing replaces the selection", {{VK_HOME, 0}, {VK_RIGHT, 5}}, "J", u"Jworld", 1, 0},
      {"backspace", {{VK_BACK, 0}, {VK_BACK, 0}}, "", u"hello wor", 9, 0},
      {"delete at home", {{VK_HOME, 0}, {VK_DELETE, 0}}, "", u"ello world", 0, 0},
      {"ctrl+a", {{'A', 4}}, "", u"hello world", 0, 11},
      {"ctrl+backspace deletes a word", {{VK_BACK, 4}}, "", u"hello ", 6, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EditForm f;
    f.edit.SetText(u"hello world");
    ShowForm(f.form);
    f.edit.SetFocus();
    f.edit.SetSel(11, 0);
    for (auto [k, s] : c.keys) Press(k, s);
    Type(c.typed);
    EXPECT_EQ(f.edit.Text(), c.text);
    EXPECT_EQ(f.edit.SelStart(), c.selStart);
    EXPECT_EQ(f.edit.SelLength(), c.selLength);
  }
}

TEST_F(ControlsTest, EditUndoTakesBackATypingRunAndRedoes) {
  EditForm f;
  ShowForm(f.form);
  f.edit.SetFocus();
  Type("abc");
  Press(VK_LEFT);
  Type("X");  // a new run after the caret moved
  EXPECT_EQ(f.edit.Text(), u"abXc");
  Press('Z', 4);
  EXPECT_EQ(f.edit.Text(), u"abc");
  Press('Z', 4);  // undo of the undo
  EXPECT_EQ(f.edit.Text(), u"abXc");
  int changes = 0;
  f.edit.OnChange = [&](Control&) { ++changes; };
  f.edit.Undo();
  EXPECT_EQ(changes, 1);
  f.edit.SetText(u"fresh");  // setting the text clears the undo
  EXPECT_FALSE(f.edit.CanUndo());
}

TEST_F(ControlsTest, EditClipboardCutCopyPaste) {
  EditForm f;
  SetClipboardText(nullptr);
  ShowForm(f.form);
  f.edit.SetFocus();
  f.edit.SetText(u"one two");
  f.edit.SetSel(0, 3);
  Press('C', 4);
  EXPECT_EQ(GetClipboardText().GetText(), u"one");
  f.edit.SetSel(3, 4);
  Press('X', 4);
  EXPECT_EQ(f.edit.Text(), u"one");
  EXPECT_EQ(GetClipboardText().GetText(), u" two");
  Press(VK_HOME);
  Press('V', 4);
  EXPECT_EQ(f.edit.Text(), u" twoone");
  // A single-line field takes only the first line of pasted text.
  GetClipboardText().SetText(u"line1\r\nline2");
  f.edit.SetText(u"");
  Press(VK_INSERT, 1);
  EXPECT_EQ(f.edit.Text(), u"line1");
  // Password fields do not give their text away.
  f.edit.SetPasswordChar(u'*');
  f.edit.SelectAll();
  Press('C', 4);
  EXPECT_EQ(GetClipboardText().GetText(), u"line1\r\nline2");
}

TEST_F(ControlsTest, EditMaxLengthAndReadOnly) {
  EditForm f;
  ShowForm(f.form);
  f.edit.SetFocus();
  f.edit.SetMaxLength(5);
  Type("abcdefg");
  EXPECT_EQ(f.edit.Text(), u"abcde");
  GetClipboardText().SetText(u"XYZ");
  f.edit.SetSel(1, 1);
  f.edit.PasteFromClipboard();  // replaces one character: room for one more
  EXPECT_EQ(f.edit.Text(), u"aXcde");
  f.edit.SetReadOnly(true);
  Type("q");
  Press(VK_BACK);
  f.edit.SelectAll();
  Press('X', 4);
  EXPECT_EQ(f.edit.Text(), u"aXcde");
  EXPECT_EQ(GetClipboardText().GetText(), u"XYZ");  // cut refused, nothing copied either
  Press('C', 4);
  EXPECT_EQ(GetClipboardText().GetText(), u"aXcde");  // copying still works
}

TEST_F(ControlsTest, EditMouseSelection) {
  EditForm f;
  f.edit.SetText(u"abcdefghij");
  ShowForm(f.form);
  // Click far right: caret at the end; drag back to the left edge selects everything.
  headless::Drag(f.edit.Handle(), {190, 10}, {1, 10});
  PumpPending();
  EXPECT_EQ(f.edit.SelStart(), 0);
  EXPECT_EQ(f.edit.SelLength(), 10);
  EXPECT_EQ(Focus(), &f.edit);
  ClickAt(f.edit, {1, 10});
  EXPECT_EQ(f.edit.SelLength(), 0);
  ClickAt(f.edit, {190, 10}, 1);  // Shift+click extends
  EXPECT_EQ(f.edit.SelLength(), 10);
}

TEST_F(ControlsTest, MemoLinesAndKeys) {
  EditForm f;
  ShowForm(f.form);
  f.memo.SetFocus();
  Type("first");
  Press(VK_RETURN);
  Type("second");
  EXPECT_EQ(f.memo.Text(), u"first\r\nsecond");
  EXPECT_EQ(f.memo.Lines(), (std::vector<std::u16string>{u"first", u"second"}));
  Press(VK_UP);
  EXPECT_EQ(f.memo.CaretLineColumn().y, 0);
  Press(VK_END);
  Press(VK_RIGHT);  // over the line break as one step
  EXPECT_EQ(f.memo.CaretPos(), 7);
  Press(VK_LEFT, 1);
  EXPECT_EQ(f.memo.SelText(), u"\r\n");
  Press(VK_DELETE);
  EXPECT_EQ(f.memo.Text(), u"firstsecond");
  // Without WantReturns, Enter goes to the form.
  f.memo.SetWantReturns(false);
  Press(VK_RETURN);
  EXPECT_EQ(f.memo.LineCount(), 1);
  // Scrolling keeps the caret line in view.
  std::vector<std::u16string> many(40, u"x");
  f.memo.SetLines(many);
  Press(VK_NEXT);
  Press(VK_NEXT);
  Press(VK_NEXT);
  EXPECT_GT(f.memo.TopLineIndex(), 0);
  EXPECT_LE(f.memo.TopLineIndex(), f.memo.CaretLineColumn().y);
}

TEST_F(ControlsTest, MemoWrapsWordsToItsWidth) {
  EditForm f;
  ShowForm(f.form);
  f.memo.SetFocus();
  std::u16string text = u"alpha beta gamma delta epsilon zeta eta theta iota kappa lambda";
  f.memo.SetText(text);
  EXPECT_EQ(f.memo.LineCount(), 1);
  int32_t shown = f.memo.ShownLineCount();
  EXPECT_GT(shown, 1);
  // Down walks the shown lines; the caret always stands at a word start or inside a word.
  Press(VK_HOME, 4);
  for (int32_t i = 1; i < shown; ++i) {
    Press(VK_DOWN);
    EXPECT_EQ(f.memo.CaretLineColumn().y, i);
    int32_t pos = f.memo.CaretPos();
    EXPECT_TRUE(pos == 0 || text[size_t(pos) - 1] != u' ' || text[size_t(pos)] != u' ');
  }
  // Every shown line fits the width.
  CaretInfo caret = GetCaretInfo();
  EXPECT_LT(caret.rect.right, f.memo.Width());
  f.memo.SetWordWrap(false);
  EXPECT_EQ(f.memo.ShownLineCount(), 1);
  Press(VK_END);
  EXPECT_LT(GetCaretInfo().rect.right, f.memo.Width());  // scrolled to keep the caret in view
  EXPECT_EQ(f.memo.Text(), text);
}

// A character outside the basic plane arrives as one code point and enters every text field
// whole, as one change: never cut to 16 bits, never a lone surrogate half in between.
TEST_F(ControlsTest, CharactersBeyondTheBasicPlaneEnterWhole) {
  EditForm f;
  ComboBox& combo = f.form.Add<ComboBox>();
  combo.SetBounds(10, 150, 150, 23);
  ShowForm(f.form);
  struct Case {
    const char* name;
    Edit* field;
  };
  const Case cases[] = {{"edit", &f.edit}, {"memo", &f.memo}, {"combo field", combo.Field()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.field, nullptr);
    std::vector<std::u16string> seen;
    c.field->OnChange = [&](Control&) { seen.push_back(c.field->Text()); };
    c.field->SetFocus();
    Type("a\xF0\x9F\x98\x80" "b");
    EXPECT_EQ(c.field->Text(), u"a\U0001F600b");
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"a", u"a\U0001F600", u"a\U0001F600b"}));
    Press(VK_LEFT);
    Press(VK_BACK);
    EXPECT_EQ(c.field->Text(), u"ab");
  }
}
