#include "foundation/ui/shortcut_text.h"

#include <gtest/gtest.h>

#include "platform/win/keys.h"

using namespace qv;

namespace {

constexpr uint8_t kShift = plat::SHIFT_BIT_SHIFT, kAlt = plat::SHIFT_BIT_ALT, kCtrl = plat::SHIFT_BIT_CTRL;

TEST(ShortCutText, KeyCombinations) {
  struct Case {
    uint32_t key;
    uint8_t shift;
    const char16_t* text;
  } cases[] = {
      {'O', kCtrl, u"Ctrl+O"},
      {plat::VK_F1 + 4, kCtrl | kShift, u"Ctrl+Shift+F5"},
      {plat::VK_NUMPAD0 + 7, kAlt, u"Alt+7 (NumPad)"},
      {plat::VK_F1 + 23, 0, u"F24"},
      {plat::VK_CLEAR, 0, u"5 (NumPad)"},
      {plat::VK_MULTIPLY, kCtrl, u"Ctrl+* (NumPad)"},
      {107, 0, u"+ (NumPad)"},
      {109, 0, u"- (NumPad)"},
      {111, kShift, u"Shift+/ (NumPad)"},
      {8, 0, u"BkSp"},
      {9, kCtrl, u"Ctrl+Tab"},
      {13, kAlt, u"Alt+Enter"},
      {19, 0, u"Pause"},
      {27, 0, u"Esc"},
      {32, kCtrl | kShift | kAlt, u"Ctrl+Shift+Alt+Space"},
      {33, 0, u"PgUp"},
      {34, 0, u"PgDn"},
      {35, 0, u"End"},
      {36, 0, u"Home"},
      {37, 0, u"Left"},
      {38, 0, u"Up"},
      {39, 0, u"Right"},
      {40, kShift, u"Shift+Down"},
      {45, 0, u"Ins"},
      {46, kCtrl, u"Ctrl+Del"},
      {'0', kCtrl, u"Ctrl+0"},
      {'Z', kAlt | kShift, u"Shift+Alt+Z"},
      // Keys outside the table take the keyboard layout's name (the US layout headless).
      {plat::VK_OEM_1, kCtrl, u"Ctrl+;"},
      {17, 0, u"Ctrl"},
      // A key without any name gives nothing, not even the modifiers.
      {0xFF, kCtrl, u""},
      {0, kShift, u""},
  };
  for (const Case& c : cases) {
    plat::ShortCut sc = plat::MakeShortCut(c.key, c.shift);
    EXPECT_EQ(ShortCutToText(sc), std::u16string(c.text)) << "key " << c.key << " shift " << int(c.shift);
  }
  // A key above the low byte makes no shortcut.
  EXPECT_EQ(plat::MakeShortCut(0x100 + 'A', kCtrl), 0);
  EXPECT_EQ(ShortCutToText(0), u"");
}

}  // namespace
