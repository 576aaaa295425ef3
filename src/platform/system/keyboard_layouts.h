#pragma once
// Keyboard layouts: which layouts are installed, which one is current, which key types a character
// on a layout, and what a key gives on another layout.
//
// A layout handle is a 32-bit value whose low 16 bits are the layout's language id (0x04090409 is
// US English). Keys are Windows virtual-key numbers; a shift state of 1 in the high byte of a
// key-scan result means Shift. Letters have the virtual key of their letter on Latin layouts; the
// Russian layout uses the keys of the US positions, as the system does.
//
// Without a display (and until the X11 backend registers a source that asks XKB), the layout list
// is the fixed list US English, German, French, Russian with US English current.
#include <cstdint>
#include <memory>
#include <vector>

namespace plat {

constexpr uint32_t kLayoutUS = 0x04090409u;
constexpr uint32_t kLayoutGerman = 0x04070407u;
constexpr uint32_t kLayoutFrench = 0x040C040Cu;
constexpr uint32_t kLayoutRussian = 0x04190419u;

// Where the installed layouts come from. The default is the fixed list above.
class KeyboardLayoutSource {
 public:
  virtual ~KeyboardLayoutSource() = default;
  virtual std::vector<uint32_t> InstalledLayouts();
  virtual uint32_t CurrentLayout();
};

// Null restores the fixed list.
void SetKeyboardLayoutSource(std::unique_ptr<KeyboardLayoutSource> source);

std::vector<uint32_t> GetKeyboardLayoutList();
uint32_t GetKeyboardLayout();

// The key typing the character on the layout: virtual key in the low byte, shift state in the high
// byte; 0xFFFF when no key types it (or the layout's keys are unknown: only the fixed four are).
uint16_t VkKeyScanEx(char16_t ch, uint32_t layout);
// The character a key gives with or without Shift on the layout; 0 when it gives none.
char16_t KeyToCharacter(uint8_t virtualKey, bool shift, uint32_t layout);

}  // namespace plat
