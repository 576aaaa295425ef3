#pragma once
// Shortcut values and their readable text ("Ctrl+Shift+F5", "Alt+7 (NumPad)"), as menus show
// them right-aligned after a tab and as the hot-key manager names its keys.
//
// A shortcut is the class layer's 16-bit value (platform/controls/menu.h): the virtual key in
// the low byte, + 0x2000 for Shift, + 0x4000 for Ctrl, + 0x8000 for Alt. plat::MakeShortCut
// builds one from a key and the shift bits (1 Shift, 2 Alt, 4 Ctrl).
#include <cstdint>
#include <string>

#include "platform/controls/menu.h"

namespace qv {

// The name of the key in the shortcut's low byte, then the modifiers in front in the order
// "Ctrl+", "Shift+", "Alt+". Keys without a name of the program's own table take the name the
// keyboard layout gives them (the layout current when the names were first asked for); a key
// without any name gives an empty text, without modifiers.
std::u16string ShortCutToText(plat::ShortCut shortcut);

// The key name alone (no modifiers); empty when the key has none.
std::u16string ShortCutKeyName(uint8_t key);

}  // namespace qv
