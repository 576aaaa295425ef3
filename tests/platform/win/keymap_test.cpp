// The X key symbol to virtual-key table.
#include <gtest/gtest.h>

#include "platform/backend/x11_keymap.h"
#include "platform/win/keys.h"

using namespace plat;

TEST(X11Keymap, KeySymbolsMapToVirtualKeys) {
  struct Case {
    uint32_t keysym;
    uint32_t keycode;
    uint8_t vk;
    bool extended;
  } cases[] = {
      {'a', 38, 'A', false},          {'z', 52, 'Z', false},          {'Q', 24, 'Q', false},
      {'0', 19, '0', false},          {'7', 16, '7', false},          {0xFFBE, 0, VK_F1, false},
      {0xFFC7, 0, VK_F10, false},     {0xFFD5, 0, VK_F24, false},     {0xFFB0, 0, VK_NUMPAD0, false},
      {0xFFB9, 0, 0x69, false},       {0xFFAA, 0, VK_MULTIPLY, false}, {0xFFAB, 0, VK_ADD, false},
      {0xFFAD, 0, VK_SUBTRACT, false}, {0xFFAE, 0, VK_DECIMAL, false}, {0xFFAF, 0, VK_DIVIDE, true},
      {0xFF9D, 0, VK_CLEAR, false},   {0xFF0B, 0, VK_CLEAR, false},   {0xFF8D, 0, VK_RETURN, true},
      {';', 47, VK_OEM_1, false},     {'=', 21, VK_OEM_PLUS, false},  {',', 59, VK_OEM_COMMA, false},
      {'-', 20, VK_OEM_MINUS, false}, {'.', 60, VK_OEM_PERIOD, false}, {'/', 61, VK_OEM_2, false},
      {'`', 49, VK_OEM_3, false},     {'[', 34, VK_OEM_4, false},     {'\\', 51, VK_OEM_5, false},
      {']', 35, VK_OEM_6, false},     {'\'', 48, VK_OEM_7, false},    {'<', 94, VK_OEM_102, false},
      {0xFFE1, 50, VK_LSHIFT, false}, {0xFFE2, 62, VK_RSHIFT, false}, {0xFFE3, 37, VK_LCONTROL, false},
      {0xFFE4, 105, VK_RCONTROL, true}, {0xFFE9, 64, VK_LMENU, false}, {0xFFEA, 108, VK_RMENU, true},
      {0xFE03, 108, VK_RMENU, true},  {0xFF08, 22, VK_BACK, false},   {0xFF09, 23, VK_TAB, false},
      {0xFE20, 23, VK_TAB, false},    {0xFF0D, 36, VK_RETURN, false}, {0xFF1B, 9, VK_ESCAPE, false},
      {' ', 65, VK_SPACE, false},     {0xFF51, 113, VK_LEFT, true},   {0xFF55, 112, VK_PRIOR, true},
      {0xFFFF, 119, VK_DELETE, true}, {0xFF63, 118, VK_INSERT, true}, {0xFF96, 83, VK_LEFT, false},
      {0xFFE5, 66, VK_CAPITAL, false}, {0xFF7F, 77, VK_NUMLOCK, true}, {0xFF67, 135, VK_APPS, true},
      // Symbols without a number of their own take the US key at their place.
      {0x00E4, 48, VK_OEM_7, false},  {0x06C6, 38, 'A', false},       {0x00DF, 20, VK_OEM_MINUS, false},
      {0x12345, 0, 0, false},
  };
  for (const Case& c : cases) {
    KeyTranslation t = TranslateKeysym(c.keysym, c.keycode);
    EXPECT_EQ(t.vk, c.vk) << std::hex << c.keysym;
    EXPECT_EQ(t.extended, c.extended) << std::hex << c.keysym;
  }
}
