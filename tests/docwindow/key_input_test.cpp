// Keys and typed characters in the document window, delivered through the application object's
// loop as the running program gets them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "docwindow/caret.h"
#include "docwindow/char_by_code.h"
#include "docwindow/keystroke_sounds.h"
#include "editing/operation.h"
#include "editing/undo_stack.h"
#include "doc_window_fixture.h"

using namespace qv;

namespace {

constexpr uint32_t kEditTabChangesListLevel = 0x400;

class KeyInputTest : public dwtest::DocWindowTest {
 protected:
  dwtest::RecWindowServices& S() { return *(*services); }
  dwtest::RecEditProviders& E() { return *(*edits); }
  bool Offered(uint8_t key) {
    const std::vector<uint8_t>& keys = S().HotKeys;
    return std::find(keys.begin(), keys.end(), key) != keys.end();
  }
  void Caret(int32_t par, int32_t offset) { SetCaret(Doc(), par, offset, scClearSelection, 0); }
};

TEST_F(KeyInputTest, EnterOnAShownWordCompletionPopupTakesItsChoice) {
  b->Add("Text");
  Show();
  S().WordPopup = true;
  Press(plat::VK_RETURN);
  EXPECT_EQ(S().WordAccepted, 1);
  EXPECT_FALSE(Offered(plat::VK_RETURN));
}

TEST_F(KeyInputTest, EnterAtARowEndInsertsARowAndReachesNoHotKey) {
  b->Row({"A", "B"});
  b->Add("After");
  Show();
  const int32_t rowEnd = 2;
  ASSERT_TRUE(Doc().IsRowEndPar(rowEnd));
  Caret(rowEnd, 0);
  Press(plat::VK_RETURN);
  EXPECT_EQ(E().Codes(), std::vector<uint8_t>{70});
  EXPECT_FALSE(Offered(plat::VK_RETURN));
  // Elsewhere Enter goes to the hot-key manager (which runs "Insert paragraph end mark").
  Caret(3, 0);
  Press(plat::VK_RETURN);
  EXPECT_TRUE(Offered(plat::VK_RETURN));
}

TEST_F(KeyInputTest, TabMovesBetweenTableCells) {
  b->Row({"A", "B"});
  b->Row({"C", "D"});
  b->Add("After");
  Show();
  Caret(0, 0);
  Press(plat::VK_TAB);
  EXPECT_EQ(E().Codes(), std::vector<uint8_t>{62});
  EXPECT_FALSE(Offered(plat::VK_TAB));
  // Shift+Tab goes back to the previous cell, across the row end; not before the first cell.
  Caret(3, 1);
  Press(plat::VK_TAB, plat::ssShift);
  EXPECT_EQ(Doc().Caret.Par, 1);
  EXPECT_EQ(Doc().Caret.Offset, 0);
  Caret(0, 0);
  Press(plat::VK_TAB, plat::ssShift);
  EXPECT_EQ(Doc().Caret.Par, 0);
}

TEST_F(KeyInputTest, BackspaceAtTheStartOfAListParagraph) {
  b->Add("Plain");
  b->Format.List = 1;
  b->Add("Item");
  Show();
  const uint32_t flags = GetOptions().Edit.Flags;
  // With Tab and Backspace changing list levels: the promote command when it is enabled.
  GetOptions().Edit.Flags |= kEditTabChangesListLevel;
  S().Enabled = {9340};
  Caret(1, 0);
  Press(plat::VK_BACK);
  EXPECT_EQ(S().Commands, std::vector<int32_t>{9340});
  // Without the option: the list formatting goes.
  GetOptions().Edit.Flags &= ~kEditTabChangesListLevel;
  Press(plat::VK_BACK);
  EXPECT_EQ(E().Codes(), std::vector<uint8_t>{52});
  EXPECT_FALSE(Offered(plat::VK_BACK));
  // Anywhere else Backspace is the hot-key manager's ("Delete selection / character before").
  Caret(0, 2);
  Press(plat::VK_BACK);
  EXPECT_TRUE(Offered(plat::VK_BACK));
  GetOptions().Edit.Flags = flags;
}

TEST_F(KeyInputTest, NavigationKeysMoveTheCaretUnlessAHotKeyTakesThem) {
  b->Add("Hello world");
  b->Add("Second line");
  Show();
  Caret(0, 0);
  Press(plat::VK_RIGHT);
  EXPECT_EQ(Doc().Caret.Offset, 1);
  Press(plat::VK_END);
  EXPECT_EQ(Doc().Caret.Offset, 11);
  Press(plat::VK_DOWN);
  EXPECT_EQ(Doc().Caret.Par, 1);
  Press(plat::VK_HOME, plat::ssShift);
  ASSERT_TRUE(Doc().HasSelection());
  EXPECT_EQ(Doc().Selection->GetRange(0)->Start.Offset, 0);
  S().BoundKeys = {plat::VK_LEFT};
  Caret(0, 5);
  Press(plat::VK_LEFT);
  EXPECT_EQ(Doc().Caret.Offset, 5);
}

TEST_F(KeyInputTest, EscapeLeavesTheFirstModeThatApplies) {
  b->Add("Text");
  Show();
  struct Case {
    const char* name;
    uint8_t mouse;
    bool full;
    bool preview;
    int32_t command;
  };
  for (const Case& c : {Case{"mouse tool", 1, true, true, 700}, Case{"full screen", 0, true, true, 7000},
                        Case{"print preview", 0, false, true, 290}}) {
    S().Commands.clear();
    S().Mouse = c.mouse;
    S().Full = c.full;
    Doc().PrintPreview = c.preview;
    Press(plat::VK_ESCAPE);
    EXPECT_EQ(S().Commands, std::vector<int32_t>{c.command}) << c.name;
  }
  Doc().PrintPreview = false;
}

TEST_F(KeyInputTest, ATypedCharacterIsTextInputMarkedAsTyping) {
  b->Add("");
  Show();
  Type("a ");
  ASSERT_EQ(E().Calls.size(), 2u);
  EXPECT_EQ(E().Calls[0].Code, 13);
  EXPECT_EQ(E().Calls[0].Text, "a");
  EXPECT_EQ(E().Calls[0].Flags, 0);
  EXPECT_EQ(ParText(0), "a ");
  EXPECT_EQ(Doc().Caret.Offset, 2);
  const TOperation* letter = OperationAt(Doc(), 0);
  const TOperation* space = OperationAt(Doc(), 1);
  ASSERT_NE(letter, nullptr);
  ASSERT_NE(space, nullptr);
  EXPECT_TRUE(letter->HasFlag(TOperation::ofTypedChar));
  EXPECT_TRUE(space->HasFlag(TOperation::ofTypedSpace));
  EXPECT_EQ(letter->NameIndex, 15);
}

TEST_F(KeyInputTest, CharactersTheCodePageCannotHoldGoInWholeByTheirCode) {
  b->Add("");
  Show();
  // A Greek letter on a Western code page, and a character outside the basic plane.
  Type("\xCE\xB1\xF0\x9F\x98\x80");
  ASSERT_EQ(E().Calls.size(), 2u);
  EXPECT_EQ(E().Calls[0].Code, 46);
  EXPECT_EQ(E().Calls[0].Value, 0x3B1);
  EXPECT_EQ(E().Calls[0].Kind, 2);
  EXPECT_FALSE(E().Calls[0].Face.empty());
  // One call with the whole code point: never two halves of a surrogate pair, never "?".
  EXPECT_EQ(E().Calls[1].Code, 46);
  EXPECT_EQ(E().Calls[1].Value, 0x1F600);
  for (const auto& call : E().Calls) EXPECT_NE(call.Text, "?");
}

TEST_F(KeyInputTest, InputMethodResultsArriveOneWholeCharacterPerMessage) {
  b->Add("");
  Show();
  S().ImeAvailable = true;
  S().Ime = std::u16string(u"x") + u"\U0001F600" + char16_t(0xD800) + u"y";
  for (int i = 0; i < 3; ++i) form->Perform(TDocForm::kWmImeChar, 0, 0);
  std::vector<int32_t> values;
  for (const auto& call : E().Calls) values.push_back(call.Value);
  // The lone surrogate is dropped; the pair goes in as one character.
  EXPECT_EQ(values, (std::vector<int32_t>{'x', 0x1F600, 'y'}));
  EXPECT_TRUE(TDocForm::PendingImeText.empty());
}

TEST_F(KeyInputTest, CapsLockWarningReplacesTheKeystrokeSoundOnce) {
  b->Add("");
  Show();
  S().SchemeSounds = {12470};
  S().Keystrokes = true;
  Press(plat::VK_CAPITAL);
  // The lock key sounds its own keystroke event.
  EXPECT_EQ(S().Sounds, std::vector<int32_t>{12420});
  S().Sounds.clear();
  Type("a");
  EXPECT_EQ(S().Sounds, std::vector<int32_t>{12470});
  Type("b");
  EXPECT_EQ(S().Sounds, (std::vector<int32_t>{12470, 12000}));
}

TEST_F(KeyInputTest, KeystrokeSoundsFollowTheKeyCode) {
  struct Case {
    uint32_t key;
    int32_t id;
  };
  for (const Case& c : {Case{32, 12300}, Case{'0', 12200}, Case{'9', 12209}, Case{'A', 12100},
                        Case{'Z', 12125}, Case{96, 12200}, Case{97, 12100}, Case{105, 12108},
                        Case{'[', 0}, Case{13, 0}})
    EXPECT_EQ(KeystrokeSoundId(c.key), c.id) << c.key;
}

TEST_F(KeyInputTest, CharacterCodesByTheirTypedForm) {
  struct Case {
    const char* text;
    bool valid;
    TCharCode::Kind kind;
    uint32_t value;
  };
  using K = TCharCode::Kind;
  const Case cases[] = {
      {"00233", true, K::Unicode, 233}, {"0233", true, K::Ansi, 233},   {"233", true, K::Oem, 233},
      {"X2665", true, K::Unicode, 0x2665}, {"31", true, K::Oem, 31},   {"0256", true, K::Unicode, 256},
      {"X1F600", true, K::Unicode, 0x1F600}, {"00010", false, K::Oem, 0}, {"0", false, K::Oem, 0},
      {"", false, K::Oem, 0},             {"12a", false, K::Oem, 0},    {"XD800", false, K::Oem, 0},
      {"XFFFE", false, K::Oem, 0},        {"X110000", false, K::Oem, 0},
      {"99999999999999999999", false, K::Oem, 0},
  };
  for (const Case& c : cases) {
    TCharCode code;
    ASSERT_EQ(ParseCharCode(c.text, code), c.valid) << c.text;
    if (!c.valid) continue;
    EXPECT_EQ(code.CodeKind, c.kind) << c.text;
    EXPECT_EQ(code.Value, c.value) << c.text;
  }
  EXPECT_EQ(OemCodeToChar(31), 0x25BCu);
  EXPECT_EQ(OemCodeToChar(1), 0x263Au);
  EXPECT_EQ(OemCodeToChar(233), 0x0398u);
}

}  // namespace
