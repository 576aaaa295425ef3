#pragma once
// Translation of X key symbols into virtual-key numbers. A pure table: no display needed, so the
// mapping can be tested on its own.
#include <cstdint>

namespace plat {

struct KeyTranslation {
  uint8_t vk = 0;         // 0 when the key has no virtual-key number
  bool extended = false;  // the key sits in the extended block (right Ctrl/Alt, navigation keys)
};

// keysym: the key's symbol without Shift (group 0, level 0); xkeycode: the X key code (evdev
// code + 8), used for keys whose symbol has no number of its own (letters of other scripts,
// national punctuation), which then take the number of the key at that place on a US keyboard.
KeyTranslation TranslateKeysym(uint32_t keysym, uint32_t xkeycode = 0);

}  // namespace plat
