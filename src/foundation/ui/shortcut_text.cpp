#include "foundation/ui/shortcut_text.h"

#include <cstdio>
#include <string_view>

#include "platform/system/keyboard_layouts.h"

namespace qv {
namespace {

std::u16string Ascii(std::string_view s) { return std::u16string(s.begin(), s.end()); }

std::u16string NumPad(const std::u16string& name) { return name + u" (NumPad)"; }

// The program's own names of the keys it knows.
std::u16string TableName(uint8_t key) {
  switch (key) {
    case 8: return u"BkSp";
    case 9: return u"Tab";
    case 12: return NumPad(u"5");  // the keypad's 5 without Num Lock
    case 13: return u"Enter";
    case 19: return u"Pause";
    case 27: return u"Esc";
    case 32: return u"Space";
    case 33: return u"PgUp";
    case 34: return u"PgDn";
    case 35: return u"End";
    case 36: return u"Home";
    case 37: return u"Left";
    case 38: return u"Up";
    case 39: return u"Right";
    case 40: return u"Down";
    case 45: return u"Ins";
    case 46: return u"Del";
    case 106: return u"*";
    case 107: return u"+";
    case 109: return u"-";
    case 111: return u"/";
    default: break;
  }
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::u16string(1, char16_t(key));
  if (key >= 96 && key <= 105) return std::u16string(1, char16_t(u'0' + (key - 96)));
  if (key >= 112 && key <= 135) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "F%d", key - 111);
    return Ascii(buf);
  }
  return {};
}

// What the system calls the keys that type no character.
std::u16string SystemKeyName(uint8_t key) {
  switch (key) {
    case 3: return u"Break";
    case 16: return u"Shift";
    case 17: return u"Ctrl";
    case 18: return u"Alt";
    case 20: return u"Caps Lock";
    case 44: return u"Prnt Scrn";
    case 91: return u"Left Windows";
    case 92: return u"Right Windows";
    case 93: return u"Application";
    case 144: return u"Num Lock";
    case 145: return u"Scroll Lock";
    default: break;
  }
  // The names are those of the layout that was current when they were first needed, so that
  // they do not change while the program runs.
  static const uint32_t layout = plat::GetKeyboardLayout();
  char16_t ch = plat::KeyToCharacter(key, false, layout);
  return ch ? std::u16string(1, ch) : std::u16string();
}

}  // namespace

std::u16string ShortCutKeyName(uint8_t key) {
  std::u16string name = TableName(key);
  if (!name.empty()) {
    // The keypad digits and operators of the table carry the keypad mark as well.
    return key >= 96 && key <= 111 ? NumPad(name) : name;
  }
  name = SystemKeyName(key);
  if (key >= 96 && key <= 111) {
    // A keypad key is named only by a one-character system name.
    return name.size() == 1 ? NumPad(name) : std::u16string();
  }
  return name;
}

std::u16string ShortCutToText(plat::ShortCut shortcut) {
  std::u16string name = ShortCutKeyName(uint8_t(shortcut & 0xFF));
  if (name.empty()) return {};
  std::u16string text;
  if (shortcut & plat::scCtrl) text += u"Ctrl+";
  if (shortcut & plat::scShift) text += u"Shift+";
  if (shortcut & plat::scAlt) text += u"Alt+";
  return text + name;
}

}  // namespace qv
